// The Win32 backend of the window system: every operation is the one USER32
// or GDI32 call that its contract in window_system.h names, with the ANSI
// ("A") functions throughout, so that texts stay code-page-932 bytes from the
// slots to the controls and back (they show as Japanese where the system's
// ANSI code page is 932).
//
// Implements: the main window class "Tapsmith" and its window procedure, which
// hands creation, destruction, size, paint, click commands and both scroll
// bars to the WindowEvents and leaves every other message to DefWindowProcA;
// the message loop; the system control classes; painting with the system
// colours and the font a fresh device context carries.
// Lacks on purpose: fonts, keyboard navigation, accelerators, the mouse wheel.
#pragma once

#include "win32_api.h"
#include "window_system.h"

namespace tapsmith {

class Win32WindowSystem : public WindowSystem {
 public:
  /// `instance` is the module instance the class and the windows belong to
  /// (WinMain's first argument).
  explicit Win32WindowSystem(HINSTANCE instance);
  /// Destroys a main window that is still there (without telling its events,
  /// which have already seen their WM_DESTROY or never will) and unregisters
  /// the class, so that a later instance in the same process can register it.
  ~Win32WindowSystem() override;

  Win32WindowSystem(const Win32WindowSystem&) = delete;
  Win32WindowSystem& operator=(const Win32WindowSystem&) = delete;

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

  /// The main window once CreateMainWindow has succeeded; null before and if
  /// it failed.
  HWND mainWindow() const { return mainWindow_; }

 private:
  static LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HINSTANCE instance_;
  bool classRegistered_ = false;
  HWND mainWindow_ = nullptr;
  WindowEvents* events_ = nullptr;  // null: every message goes to DefWindowProcA
};

/// The class name of the main window.
extern const char kMainWindowClassName[];

}  // namespace tapsmith
