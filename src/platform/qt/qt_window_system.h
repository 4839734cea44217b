// The window system on Qt 6 Widgets.
//
// Implements every operation of WindowSystem with the native semantics:
// push buttons, plain check boxes and radio buttons (only SetCheck moves a
// mark), group frames behind their controls, left- or right-aligned labels,
// line edits and plain-text editors for the multi-line edits, the window's
// own scroll bars with the native clamping, ScrollWindow moving pixels and
// controls, and the paint handler drawing through a QPainter. Texts cross as
// code-page-932 bytes with CR LF; an edit whose text is still the one it was
// given gives back exactly the bytes it was given, so that bytes with no
// Unicode form survive a run untouched.
//
// Lacks: controls inside controls (a control's parent must be a main window);
// the width limit of a single-line edit without ES_AUTOHSCROLL (it scrolls
// like the others); the automatic button kinds (taken as the plain ones).
//
// This header includes no toolkit header, so that the program's main can
// construct the backend without seeing Qt.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "window_system.h"

class QApplication;
class QWidget;

namespace tapsmith {

class QtMainWindow;

class QtWindowSystem final : public WindowSystem {
 public:
  /// Uses the running QApplication, or makes one from the command line and
  /// owns it. `argc` and `argv` must outlive the backend.
  QtWindowSystem(int& argc, char** argv);
  ~QtWindowSystem() override;
  QtWindowSystem(const QtWindowSystem&) = delete;
  QtWindowSystem& operator=(const QtWindowSystem&) = delete;

  WindowHandle CreateMainWindow(const char* caption, uint32_t style, WindowEvents* events) override;
  void ShowMainWindow(WindowHandle window, int showCommand) override;
  int RunMessageLoop() override;
  void PostQuit(int exitCode) override;
  void SendDestroy(WindowHandle window) override;

  WindowHandle CreateControl(ControlClass controlClass, const char* text, uint32_t style, int x,
                             int y, int width, int height, WindowHandle parent, int id) override;
  void SetText(WindowHandle control, const char* text) override;
  int GetText(WindowHandle control, char* buffer, int capacity) override;
  void SetCheck(WindowHandle control, bool checked) override;
  void EnableControl(WindowHandle control, bool enabled) override;

  bool GetTextMetrics(WindowHandle window, TextMetrics* metrics) override;
  void InvalidateClientArea(WindowHandle window, bool erase) override;
  void UpdateWindow(WindowHandle window) override;

  void SetScrollRange(WindowHandle window, ScrollBarKind bar, int min, int max, int page) override;
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

  // For the window tests: the widgets behind the handles.

  /// The main window created last, while it is not destroyed; else null.
  WindowHandle LastMainWindow() const;
  /// The live control with command id `id` under `window`; else null.
  WindowHandle ControlWithId(WindowHandle window, int id) const;
  /// The widget of a live handle; else null.
  QWidget* WidgetOf(WindowHandle handle) const;

 private:
  enum class Kind {
    MainWindow,
    PushButton,
    CheckBox,
    RadioButton,
    GroupBox,
    Label,
    LineEdit,
    TextEditor,
  };
  struct Record {
    QWidget* widget;
    Kind kind;
    WindowHandle parent;  // the main window; null for a main window
    int id;
    std::string bytes;  // the text last set
    std::string shown;  // an edit's text (UTF-8) as the toolkit took it
  };

  Record* Find(WindowHandle handle);
  const Record* Find(WindowHandle handle) const;
  QtMainWindow* FindMainWindow(WindowHandle handle);
  static Kind KindOf(ControlClass controlClass, uint32_t style);
  QWidget* NewWidget(Kind kind, uint32_t style, QWidget* parent, WindowHandle window, int id);
  void ShowText(Record* record);
  static std::string EditText(const Record& record);
  void ForgetWindow(WindowHandle window);

  // Declared first, so that it goes last, after every window.
  std::unique_ptr<QApplication> ownedApplication_;
  std::map<WindowHandle, Record> records_;
  // Destroyed ones too, until the end.
  std::map<WindowHandle, std::unique_ptr<QtMainWindow>> mainWindows_;
  WindowHandle lastMainWindow_ = nullptr;
  bool quitPosted_ = false;
  int quitCode_ = 0;
};

}  // namespace tapsmith
