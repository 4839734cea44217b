// The window-system interface the form is written against.
//
// Each operation is one window-system call of the native platform (named in
// its comment), so that a Win32 backend maps onto it one to one; the Qt
// backend and the recording fake provide the same semantics. Texts cross this
// interface as code-page-932 bytes with CR LF line breaks.
//
// Events flow the other way: the backend calls the `WindowEvents` of the main
// window (creation, destruction, size, paint, command, scroll) and decides
// nothing itself.
#pragma once

#include <cstdint>

namespace tapsmith {

struct NativeWindow;                  // never defined: an opaque handle
using WindowHandle = NativeWindow*;   // HWND; null where there is no window

enum class ControlClass { Button, Static, Edit };  // "button", "static", "edit"

// Window styles of the controls, with their Win32 values.
constexpr uint32_t kStyleChildVisible = 0x50000000;  // WS_CHILD | WS_VISIBLE
constexpr uint32_t kStyleBorder = 0x00800000;        // WS_BORDER
constexpr uint32_t kStyleVScroll = 0x00200000;       // WS_VSCROLL
constexpr uint32_t kStyleHScroll = 0x00100000;       // WS_HSCROLL
constexpr uint32_t kStyleOverlappedWindow = 0x00CF0000;  // WS_OVERLAPPEDWINDOW
constexpr uint32_t kButtonKindMask = 0x0000000F;     // BS_TYPEMASK
constexpr uint32_t kButtonPush = 0x0;                // BS_PUSHBUTTON
constexpr uint32_t kButtonCheckBox = 0x2;            // BS_CHECKBOX
constexpr uint32_t kButtonRadio = 0x4;               // BS_RADIOBUTTON
constexpr uint32_t kButtonGroupBox = 0x7;            // BS_GROUPBOX
constexpr uint32_t kStaticRight = 0x2;               // SS_RIGHT
constexpr uint32_t kEditMultiLine = 0x4;             // ES_MULTILINE
constexpr uint32_t kEditAutoHScroll = 0x80;          // ES_AUTOHSCROLL
constexpr uint32_t kDrawTextWordBreak = 0x10;        // DT_WORDBREAK

struct PixelRect {
  int left;
  int top;
  int right;
  int bottom;
};

// The fields of TEXTMETRIC the form measures its cell with.
struct TextMetrics {
  int aveCharWidth;
  int height;
  int externalLeading;
  uint32_t pitchAndFamily;  // bit 0x01 set: a variable-pitch font (TMPF_FIXED_PITCH)
};
constexpr uint32_t kPitchVariable = 0x01;

enum class ScrollBarKind { Horizontal = 0, Vertical = 1 };  // SB_HORZ, SB_VERT

// SCROLLINFO: the bar keeps pos within min .. max - max(page - 1, 0) and is
// hidden while the page covers the whole range.
struct ScrollBarState {
  int min;
  int max;
  int page;
  int pos;
  int trackPos;  // the thumb's position during a drag
};

// Scroll codes of WM_HSCROLL / WM_VSCROLL.
enum ScrollCode : int {
  kScrollLineUp = 0,
  kScrollLineDown = 1,
  kScrollPageUp = 2,
  kScrollPageDown = 3,
  kScrollThumbPosition = 4,
  kScrollThumbTrack = 5,
  kScrollTop = 6,
  kScrollBottom = 7,
  kScrollEnd = 8,
};

enum class SystemColor { ButtonText, ButtonFace };  // COLOR_BTNTEXT, COLOR_BTNFACE

/// What the paint handler draws on, valid only inside `WindowEvents::OnPaint`
/// (between BeginPaint and EndPaint). Background mode is opaque.
class PaintSurface {
 public:
  virtual ~PaintSurface() = default;
  /// SetTextColor(GetSysColor(color)).
  virtual void SetTextColor(SystemColor color) = 0;
  /// SetBkColor(GetSysColor(color)).
  virtual void SetBackgroundColor(SystemColor color) = 0;
  /// DrawTextA: `text` (code-page-932 bytes) into `rect` with `format`
  /// (DT_WORDBREAK: word-wrapped, clipped to the rectangle).
  virtual void DrawText(const char* text, const PixelRect& rect, uint32_t format) = 0;
  /// DrawEdge around `rect` with edge kind `edge` and flags `flags`.
  virtual void DrawEdge(const PixelRect& rect, uint32_t edge, uint32_t flags) = 0;
};

/// The main window's message handler, implemented by the form.
class WindowEvents {
 public:
  virtual ~WindowEvents() = default;
  /// WM_CREATE, while CreateMainWindow runs. Returns false to refuse the
  /// window, which CreateMainWindow then reports as failure.
  virtual bool OnCreate(WindowHandle window) = 0;
  /// WM_DESTROY: the child controls still exist.
  virtual void OnDestroy(WindowHandle window) = 0;
  /// WM_SIZE with the new client width and height in pixels.
  virtual void OnSize(WindowHandle window, int clientWidth, int clientHeight) = 0;
  /// WM_PAINT; `surface` is valid for this call only.
  virtual void OnPaint(WindowHandle window, PaintSurface& surface) = 0;
  /// WM_COMMAND with a notification code of 0 (a click): the control's id.
  /// Other notifications never reach the form.
  virtual void OnCommand(WindowHandle window, int id) = 0;
  /// WM_HSCROLL / WM_VSCROLL of the window's own bars with a ScrollCode.
  virtual void OnHScroll(WindowHandle window, int code) = 0;
  virtual void OnVScroll(WindowHandle window, int code) = 0;
};

/// The window system. Every method that takes a handle does nothing (and
/// returns 0 or false) when the handle is null.
class WindowSystem {
 public:
  virtual ~WindowSystem() = default;

  // --- The main window --------------------------------------------------

  /// RegisterClassA + CreateWindowExA of the top-level window with `caption`
  /// and `style`, at the platform's default position and size. Calls
  /// `events->OnCreate` before it returns. Returns null when the class cannot
  /// be registered, the window cannot be created or OnCreate refuses it.
  virtual WindowHandle CreateMainWindow(const char* caption, uint32_t style,
                                        WindowEvents* events) = 0;
  /// ShowWindow(`showCommand`) + UpdateWindow.
  virtual void ShowMainWindow(WindowHandle window, int showCommand) = 0;
  /// GetMessageA / TranslateMessage / DispatchMessageA until the quit message;
  /// returns its exit code.
  virtual int RunMessageLoop() = 0;
  /// PostQuitMessage(`exitCode`): the message loop ends once the current
  /// message is handled.
  virtual void PostQuit(int exitCode) = 0;
  /// SendMessageA(WM_DESTROY): runs `OnDestroy` at once.
  virtual void SendDestroy(WindowHandle window) = 0;

  // --- Child controls ---------------------------------------------------

  /// CreateWindowExA(0, class, `text`, `style`, x, y, width, height, `parent`,
  /// id). Returns null when the control cannot be created.
  virtual WindowHandle CreateControl(ControlClass controlClass, const char* text,
                                     uint32_t style, int x, int y, int width,
                                     int height, WindowHandle parent, int id) = 0;
  /// WM_SETTEXT.
  virtual void SetText(WindowHandle control, const char* text) = 0;
  /// GetWindowTextA: at most `capacity` - 1 bytes and a terminator into
  /// `buffer`; returns the number of bytes copied (0 for a null handle).
  virtual int GetText(WindowHandle control, char* buffer, int capacity) = 0;
  /// BM_SETCHECK: 1 checked, 0 unchecked.
  virtual void SetCheck(WindowHandle control, bool checked) = 0;
  /// EnableWindow.
  virtual void EnableControl(WindowHandle control, bool enabled) = 0;

  // --- Metrics and painting ---------------------------------------------

  /// GetDC + GetTextMetricsA + ReleaseDC with no font selected: the metrics of
  /// the font the controls draw with. Returns false if they cannot be read.
  virtual bool GetTextMetrics(WindowHandle window, TextMetrics* metrics) = 0;
  /// InvalidateRect(window, NULL, `erase`): the whole client area.
  virtual void InvalidateClientArea(WindowHandle window, bool erase) = 0;
  /// UpdateWindow: paints what is invalid at once.
  virtual void UpdateWindow(WindowHandle window) = 0;

  // --- Scrolling --------------------------------------------------------

  /// SetScrollInfo(SIF_RANGE | SIF_PAGE, redraw). The bar clamps its position.
  virtual void SetScrollRange(WindowHandle window, ScrollBarKind bar, int min, int max,
                              int page) = 0;
  /// SetScrollInfo(SIF_POS, redraw). The bar clamps the position.
  virtual void SetScrollPosition(WindowHandle window, ScrollBarKind bar, int pos) = 0;
  /// GetScrollInfo(SIF_ALL). Returns false if the bar cannot be read.
  virtual bool GetScrollBar(WindowHandle window, ScrollBarKind bar,
                            ScrollBarState* state) = 0;
  /// ScrollWindow(window, dx, dy, NULL, NULL): moves the client area's pixels
  /// and every child control by (dx, dy) and marks the uncovered strip invalid.
  virtual void ScrollClientArea(WindowHandle window, int dx, int dy) = 0;

  // --- Placement --------------------------------------------------------

  /// MoveWindow(window, x, y, width, height, TRUE): outer rectangle.
  virtual void MoveWindow(WindowHandle window, int x, int y, int width, int height) = 0;
  /// SetWindowPos(window, HWND_TOP, 0, 0, width, height,
  /// SWP_NOMOVE | SWP_NOOWNERZORDER): new outer size, same place, on top.
  virtual void ResizeWindow(WindowHandle window, int width, int height) = 0;
  /// GetWindowRect: the outer (frame) rectangle in screen pixels. Returns
  /// false if it cannot be read.
  virtual bool GetWindowRect(WindowHandle window, PixelRect* rect) = 0;
  /// GetSystemMetrics(SM_XVIRTUALSCREEN / SM_YVIRTUALSCREEN): the left and
  /// top edges of the virtual screen (all monitors), negative where a monitor
  /// lies left of or above the primary one.
  virtual void GetVirtualScreenOrigin(int* x, int* y) = 0;
  /// GetSystemMetrics(SM_CXVIRTUALSCREEN / SM_CYVIRTUALSCREEN).
  virtual void GetVirtualScreenSize(int* width, int* height) = 0;

  // --- Message boxes ----------------------------------------------------

  /// MessageBoxA(owner, text, caption, MB_YESNO): true for IDYES. The form
  /// names the buttons in its language, `yesLabel` and `noLabel`; a backend
  /// that draws its own box labels them so, while MessageBoxA labels them in
  /// the system's language and takes no labels.
  virtual bool AskYesNo(WindowHandle owner, const char* text, const char* caption,
                        const char* yesLabel, const char* noLabel) = 0;
  /// MessageBoxA(owner, text, caption, MB_ICONERROR); `owner` may be null.
  virtual void ShowError(WindowHandle owner, const char* text, const char* caption) = 0;
};

}  // namespace tapsmith
