// A recording window system for tests: no window, no screen. It implements
// every operation of WindowSystem on plain state (control texts, marks,
// enabled flags, rectangles, scroll bars with the platform's clamping as the
// Qt backend's bars keep it (ScrollBarModel), the main window's rectangle)
// and records every call in order, so that tests can assert both on the end
// state and on the sequence of calls.
//
// It can be given text metrics, a virtual screen's origin and size, the
// answer to Yes/No questions, and failures: a control id whose creation
// fails, a main window that cannot be created, unreadable metrics, window
// rectangle or bars.
//
// What it lacks: no painting of its own (tests call Paint with a
// FakePaintSurface), no message queue (RunMessageLoop runs a test-provided
// script, then returns the posted exit code), and no size notifications of
// its own when the window is moved (tests call SendSize).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "scroll_bar_model.h"
#include "window_system.h"

namespace tapsmith {

enum class FakeCallKind {
  CreateMainWindow,
  ShowMainWindow,
  RunMessageLoop,
  PostQuit,
  SendDestroy,
  CreateControl,
  SetText,
  GetText,
  SetCheck,
  EnableControl,
  GetTextMetrics,
  InvalidateClientArea,
  UpdateWindow,
  SetScrollRange,
  SetScrollPosition,
  GetScrollBar,
  ScrollClientArea,
  MoveWindow,
  ResizeWindow,
  GetWindowRect,
  GetVirtualScreenOrigin,
  GetVirtualScreenSize,
  AskYesNo,
  ShowError,
};

// One recorded call. Only the fields the kind uses are filled.
struct FakeCall {
  explicit FakeCall(FakeCallKind callKind) : kind(callKind) {}

  FakeCallKind kind;
  int id = -1;            // control id; -1 for the main window or none
  std::string text;       // control texts, window captions, message texts
  std::string caption;    // message box captions
  std::string buttons[2];  // a question's Yes and No labels
  ControlClass controlClass = ControlClass::Static;
  uint32_t style = 0;
  PixelRect rect{};       // control rectangle, window moves (x, y, x+w, y+h)
  ScrollBarKind bar = ScrollBarKind::Horizontal;
  int values[3] = {0, 0, 0};  // min/max/page, pos, dx/dy, exit code, size
  bool flag = false;      // check mark, enabled, erase, answer, result
  bool hasOwner = false;  // message boxes: owned by the main window
};

/// "SetText 42", "SetCheck 5 1", "EnableControl 34 0", "ScrollClientArea 0 -16"
/// and so on: a short form of the call for readable expectations.
std::string Describe(const FakeCall& call);

struct FakeControl {
  ControlClass controlClass;
  std::string text;
  uint32_t style;
  PixelRect rect;  // client coordinates; ScrollClientArea moves it
  int id;
  bool checked = false;
  bool enabled = true;
};

class FakeWindowSystem : public WindowSystem {
 public:
  FakeWindowSystem();

  // --- Configuration ----------------------------------------------------
  TextMetrics textMetrics{8, 16, 0, 0};  // what GetTextMetrics reports
  bool textMetricsFail = false;
  int virtualScreenX = 0;  // the virtual screen's left and top edges
  int virtualScreenY = 0;
  int virtualScreenWidth = 1920;
  int virtualScreenHeight = 1080;
  bool answerYes = false;                 // the answer of AskYesNo
  bool createMainWindowFails = false;     // CreateMainWindow returns null
  int failingControlId = -1;              // CreateControl with this id fails
  bool windowRectFails = false;
  bool scrollBarsFail = false;            // GetScrollBar returns false
  /// When above 0, a scroll bar that appears or disappears takes or gives
  /// back this many pixels of the client area, and the new size is reported
  /// from inside SetScrollRange, as Windows does.
  int scrollBarThickness = 0;
  /// Runs inside RunMessageLoop, standing in for the user.
  std::function<void()> userScript;

  // --- Driving the window, as the platform would ------------------------
  /// WM_SIZE: records the new client size and calls OnSize.
  void SendSize(int clientWidth, int clientHeight);
  /// WM_COMMAND with notification 0: calls OnCommand.
  void Click(int id);
  /// WM_VSCROLL / WM_HSCROLL: calls OnVScroll or OnHScroll.
  void SendScroll(ScrollBarKind bar, int code);
  /// WM_PAINT on `surface`.
  void Paint(PaintSurface& surface);
  /// The user types into a control: replaces its text without a call record.
  void TypeText(int id, const std::string& text);
  /// The thumb dragged to `pos` (the bar's track position, clamped).
  void SetTrackPosition(ScrollBarKind bar, int pos);

  // --- Inspection ---------------------------------------------------------
  const std::vector<FakeCall>& calls() const { return calls_; }
  /// The recorded calls of one kind, described.
  std::vector<std::string> Described(FakeCallKind kind) const;
  /// Every call since `from` (an index into calls()), described.
  std::vector<std::string> DescribedSince(size_t from) const;
  void ClearCalls() { calls_.clear(); }
  /// The control with `id`, or null if none was created.
  const FakeControl* Control(int id) const;
  const std::vector<FakeControl>& controls() const { return controls_; }
  WindowHandle mainWindow() const { return mainWindow_; }
  WindowEvents* events() const { return events_; }
  const PixelRect& windowRect() const { return windowRect_; }
  void SetWindowRect(const PixelRect& rect) { windowRect_ = rect; }
  ScrollBarState scrollBar(ScrollBarKind bar) const;
  bool quitPosted() const { return quitPosted_; }
  int quitCode() const { return quitCode_; }
  int showCommand() const { return showCommand_; }
  int clientWidth() const { return clientWidth_; }
  int clientHeight() const { return clientHeight_; }

  // --- WindowSystem -----------------------------------------------------
  WindowHandle CreateMainWindow(const char* caption, uint32_t style,
                                WindowEvents* events) override;
  void ShowMainWindow(WindowHandle window, int showCommand) override;
  int RunMessageLoop() override;
  void PostQuit(int exitCode) override;
  void SendDestroy(WindowHandle window) override;
  WindowHandle CreateControl(ControlClass controlClass, const char* text, uint32_t style,
                             int x, int y, int width, int height, WindowHandle parent,
                             int id) override;
  void SetText(WindowHandle control, const char* text) override;
  int GetText(WindowHandle control, char* buffer, int capacity) override;
  void SetCheck(WindowHandle control, bool checked) override;
  void EnableControl(WindowHandle control, bool enabled) override;
  bool GetTextMetrics(WindowHandle window, TextMetrics* metrics) override;
  void InvalidateClientArea(WindowHandle window, bool erase) override;
  void UpdateWindow(WindowHandle window) override;
  void SetScrollRange(WindowHandle window, ScrollBarKind bar, int min, int max,
                      int page) override;
  void SetScrollPosition(WindowHandle window, ScrollBarKind bar, int pos) override;
  bool GetScrollBar(WindowHandle window, ScrollBarKind bar, ScrollBarState* state) override;
  void ScrollClientArea(WindowHandle window, int dx, int dy) override;
  void MoveWindow(WindowHandle window, int x, int y, int width, int height) override;
  void ResizeWindow(WindowHandle window, int width, int height) override;
  bool GetWindowRect(WindowHandle window, PixelRect* rect) override;
  void GetVirtualScreenOrigin(int* x, int* y) override;
  void GetVirtualScreenSize(int* width, int* height) override;
  bool AskYesNo(WindowHandle owner, const char* text, const char* caption, const char* yesLabel,
                const char* noLabel) override;
  void ShowError(WindowHandle owner, const char* text, const char* caption) override;

 private:
  FakeControl* ControlOf(WindowHandle control);
  bool IsMainWindow(WindowHandle window) const;
  void Record(FakeCall call) { calls_.push_back(std::move(call)); }

  std::vector<FakeCall> calls_;
  std::vector<FakeControl> controls_;
  WindowHandle mainWindow_ = nullptr;
  WindowEvents* events_ = nullptr;
  PixelRect windowRect_{0, 0, 0, 0};
  // Without a range and hidden until the form gives them one.
  ScrollBarModel bars_[2]{ScrollBarModel(false), ScrollBarModel(false)};
  int clientWidth_ = 0;
  int clientHeight_ = 0;
  int showCommand_ = -1;
  bool quitPosted_ = false;
  int quitCode_ = 0;
};

/// Records what the paint handler draws.
class FakePaintSurface : public PaintSurface {
 public:
  struct DrawnText {
    std::string text;
    PixelRect rect;
    uint32_t format;
  };
  struct DrawnEdge {
    PixelRect rect;
    uint32_t edge;
    uint32_t flags;
  };

  void SetTextColor(SystemColor color) override { textColor = color; colorsSet = true; }
  void SetBackgroundColor(SystemColor color) override { backgroundColor = color; }
  void DrawText(const char* text, const PixelRect& rect, uint32_t format) override {
    texts.push_back(DrawnText{text, rect, format});
  }
  void DrawEdge(const PixelRect& rect, uint32_t edge, uint32_t flags) override {
    edges.push_back(DrawnEdge{rect, edge, flags});
  }

  bool colorsSet = false;
  SystemColor textColor = SystemColor::ButtonFace;
  SystemColor backgroundColor = SystemColor::ButtonText;
  std::vector<DrawnText> texts;
  std::vector<DrawnEdge> edges;
};

}  // namespace tapsmith
