#include "win32_window_system.h"

#include "win32_paint_surface.h"

namespace tapsmith {

const char kMainWindowClassName[] = "Tapsmith";

namespace {

HWND ToHwnd(WindowHandle handle) { return reinterpret_cast<HWND>(handle); }

WindowHandle ToHandle(HWND window) { return reinterpret_cast<WindowHandle>(window); }

const char* ClassName(ControlClass controlClass) {
  switch (controlClass) {
    case ControlClass::Button:
      return "button";
    case ControlClass::Static:
      return "static";
    case ControlClass::Edit:
      return "edit";
  }
  return "static";
}

int BarCode(ScrollBarKind bar) { return bar == ScrollBarKind::Vertical ? SB_VERT : SB_HORZ; }

}  // namespace

Win32WindowSystem::Win32WindowSystem(HINSTANCE instance) : instance_(instance) {}

Win32WindowSystem::~Win32WindowSystem() {
  events_ = nullptr;
  // A main window that got its WM_DESTROY by SendDestroy is still there.
  if (mainWindow_ != nullptr && IsWindow(mainWindow_)) DestroyWindow(mainWindow_);
  if (classRegistered_) UnregisterClassA(kMainWindowClassName, instance_);
}

// --- The main window --------------------------------------------------------

WindowHandle Win32WindowSystem::CreateMainWindow(const char* caption, uint32_t style,
                                                 WindowEvents* events) {
  if (!classRegistered_) {
    WNDCLASSA windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = 0;
    windowClass.hInstance = instance_;
    windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszMenuName = nullptr;
    windowClass.lpszClassName = kMainWindowClassName;
    if (RegisterClassA(&windowClass) == 0) return nullptr;
    classRegistered_ = true;
  }
  events_ = events;
  // The window procedure finds this object through the creation parameter
  // from WM_CREATE on; the messages before it take the default processing.
  HWND window =
      CreateWindowExA(0, kMainWindowClassName, caption, style, CW_USEDEFAULT, CW_USEDEFAULT,
                      CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance_, this);
  if (window == nullptr) {
    events_ = nullptr;
    mainWindow_ = nullptr;
  }
  return ToHandle(window);
}

void Win32WindowSystem::ShowMainWindow(WindowHandle window, int showCommand) {
  if (window == nullptr) return;
  ShowWindow(ToHwnd(window), showCommand);
  ::UpdateWindow(ToHwnd(window));
}

int Win32WindowSystem::RunMessageLoop() {
  MSG message;
  for (;;) {
    BOOL got = GetMessageA(&message, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(message.wParam);
    // GetMessageA fails only for a bad window filter, which a null one never
    // is; should it fail all the same, end with an error rather than spin.
    if (got == -1) return 1;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

void Win32WindowSystem::PostQuit(int exitCode) { PostQuitMessage(exitCode); }

void Win32WindowSystem::SendDestroy(WindowHandle window) {
  if (window == nullptr) return;
  SendMessageA(ToHwnd(window), WM_DESTROY, 0, 0);
}

LRESULT CALLBACK Win32WindowSystem::MainWindowProc(HWND window, UINT message, WPARAM wParam,
                                                   LPARAM lParam) {
  auto* system = reinterpret_cast<Win32WindowSystem*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (message == WM_CREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    system = static_cast<Win32WindowSystem*>(create->lpCreateParams);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(system));
  }
  if (system == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  return system->HandleMessage(window, message, wParam, lParam);
}

LRESULT Win32WindowSystem::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCDESTROY) {
    // The last message the window gets: forget it, then let it go.
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    if (window == mainWindow_) mainWindow_ = nullptr;
    events_ = nullptr;
    return DefWindowProcA(window, message, wParam, lParam);
  }
  if (events_ == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  WindowHandle handle = ToHandle(window);
  switch (message) {
    case WM_CREATE:
      mainWindow_ = window;
      if (events_->OnCreate(handle)) return 0;
      // CreateWindowExA now destroys the window; the form never saw it live,
      // so its destruction handling must not run.
      events_ = nullptr;
      return -1;
    case WM_DESTROY:
      events_->OnDestroy(handle);
      return 0;
    case WM_SIZE:
      events_->OnSize(handle, LOWORD(lParam), HIWORD(lParam));
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      Win32PaintSurface surface(dc);
      events_->OnPaint(handle, surface);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_COMMAND:
      // Only clicks (notification code 0) are commands; an edit box's change
      // and focus notifications and a radio button's double-click are not.
      if (HIWORD(wParam) == 0) events_->OnCommand(handle, LOWORD(wParam));
      return 0;
    case WM_HSCROLL:
      events_->OnHScroll(handle, LOWORD(wParam));
      return 0;
    case WM_VSCROLL:
      events_->OnVScroll(handle, LOWORD(wParam));
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

// --- Child controls ---------------------------------------------------------

WindowHandle Win32WindowSystem::CreateControl(ControlClass controlClass, const char* text,
                                              uint32_t style, int x, int y, int width, int height,
                                              WindowHandle parent, int id) {
  if (parent == nullptr) return nullptr;
  HWND parentWindow = ToHwnd(parent);
  auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parentWindow, GWLP_HINSTANCE));
  HWND control =
      CreateWindowExA(0, ClassName(controlClass), text, style, x, y, width, height, parentWindow,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
  return ToHandle(control);
}

void Win32WindowSystem::SetText(WindowHandle control, const char* text) {
  if (control == nullptr) return;
  SendMessageA(ToHwnd(control), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

int Win32WindowSystem::GetText(WindowHandle control, char* buffer, int capacity) {
  if (capacity <= 0) return 0;
  buffer[0] = '\0';
  if (control == nullptr) return 0;
  return GetWindowTextA(ToHwnd(control), buffer, capacity);
}

void Win32WindowSystem::SetCheck(WindowHandle control, bool checked) {
  if (control == nullptr) return;
  SendMessageA(ToHwnd(control), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void Win32WindowSystem::EnableControl(WindowHandle control, bool enabled) {
  if (control == nullptr) return;
  EnableWindow(ToHwnd(control), enabled ? TRUE : FALSE);
}

// --- Metrics and painting ---------------------------------------------------

bool Win32WindowSystem::GetTextMetrics(WindowHandle window, TextMetrics* metrics) {
  // GetDC(NULL) would be the screen's context: measure nothing instead.
  if (window == nullptr) return false;
  HDC dc = GetDC(ToHwnd(window));
  if (dc == nullptr) return false;
  TEXTMETRICA textMetrics;
  bool read = GetTextMetricsA(dc, &textMetrics) != 0;
  ReleaseDC(ToHwnd(window), dc);
  if (!read) return false;
  metrics->aveCharWidth = textMetrics.tmAveCharWidth;
  metrics->height = textMetrics.tmHeight;
  metrics->externalLeading = textMetrics.tmExternalLeading;
  metrics->pitchAndFamily = textMetrics.tmPitchAndFamily;
  return true;
}

void Win32WindowSystem::InvalidateClientArea(WindowHandle window, bool erase) {
  // InvalidateRect(NULL, ...) would invalidate every window on the desktop.
  if (window == nullptr) return;
  InvalidateRect(ToHwnd(window), nullptr, erase ? TRUE : FALSE);
}

void Win32WindowSystem::UpdateWindow(WindowHandle window) {
  if (window == nullptr) return;
  ::UpdateWindow(ToHwnd(window));
}

// --- Scrolling --------------------------------------------------------------

void Win32WindowSystem::SetScrollRange(WindowHandle window, ScrollBarKind bar, int min, int max,
                                       int page) {
  if (window == nullptr) return;
  SCROLLINFO info = {};
  info.cbSize = sizeof info;
  info.fMask = SIF_RANGE | SIF_PAGE;
  info.nMin = min;
  info.nMax = max;
  info.nPage = static_cast<UINT>(page < 0 ? 0 : page);
  SetScrollInfo(ToHwnd(window), BarCode(bar), &info, TRUE);
}

void Win32WindowSystem::SetScrollPosition(WindowHandle window, ScrollBarKind bar, int pos) {
  if (window == nullptr) return;
  SCROLLINFO info = {};
  info.cbSize = sizeof info;
  info.fMask = SIF_POS;
  info.nPos = pos;
  SetScrollInfo(ToHwnd(window), BarCode(bar), &info, TRUE);
}

bool Win32WindowSystem::GetScrollBar(WindowHandle window, ScrollBarKind bar,
                                     ScrollBarState* state) {
  if (window == nullptr) return false;
  SCROLLINFO info = {};
  info.cbSize = sizeof info;
  info.fMask = SIF_ALL;
  if (!GetScrollInfo(ToHwnd(window), BarCode(bar), &info)) return false;
  state->min = info.nMin;
  state->max = info.nMax;
  state->page = static_cast<int>(info.nPage);
  state->pos = info.nPos;
  state->trackPos = info.nTrackPos;
  return true;
}

void Win32WindowSystem::ScrollClientArea(WindowHandle window, int dx, int dy) {
  if (window == nullptr) return;
  // With no scroll rectangle ScrollWindow moves the child windows as well.
  ScrollWindow(ToHwnd(window), dx, dy, nullptr, nullptr);
}

// --- Placement --------------------------------------------------------------

void Win32WindowSystem::MoveWindow(WindowHandle window, int x, int y, int width, int height) {
  if (window == nullptr) return;
  ::MoveWindow(ToHwnd(window), x, y, width, height, TRUE);
}

void Win32WindowSystem::ResizeWindow(WindowHandle window, int width, int height) {
  if (window == nullptr) return;
  SetWindowPos(ToHwnd(window), HWND_TOP, 0, 0, width, height, SWP_NOMOVE | SWP_NOOWNERZORDER);
}

bool Win32WindowSystem::GetWindowRect(WindowHandle window, PixelRect* rect) {
  if (window == nullptr) return false;
  RECT outer;
  if (!::GetWindowRect(ToHwnd(window), &outer)) return false;
  *rect = PixelRect{outer.left, outer.top, outer.right, outer.bottom};
  return true;
}

void Win32WindowSystem::GetVirtualScreenOrigin(int* x, int* y) {
  *x = GetSystemMetrics(SM_XVIRTUALSCREEN);
  *y = GetSystemMetrics(SM_YVIRTUALSCREEN);
}

void Win32WindowSystem::GetVirtualScreenSize(int* width, int* height) {
  *width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
  *height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
}

// --- Message boxes ----------------------------------------------------------

bool Win32WindowSystem::AskYesNo(WindowHandle owner, const char* text, const char* caption,
                                 const char*, const char*) {
  return MessageBoxA(ToHwnd(owner), text, caption, MB_YESNO) == IDYES;
}

void Win32WindowSystem::ShowError(WindowHandle owner, const char* text, const char* caption) {
  MessageBoxA(ToHwnd(owner), text, caption, MB_ICONERROR);
}

}  // namespace tapsmith
