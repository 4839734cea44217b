// Runs the whole window program (RunTapsmith on the real Win32 backend) with
// a script in the user's place: once the main window is shown, the script
// drives it through real messages on the window's own thread, then the
// program's message loop runs until the quit message, as it would for a user.
//
// Everything the program draws with DrawTextA is recorded on the way, so that
// the painted status line can be read back.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "win32_window_system.h"

namespace tapsmith {

struct DrawnText {
  std::string text;  // code-page-932 bytes
  PixelRect rect;
};

class ScriptedProgram : public Win32WindowSystem {
 public:
  using Script = std::function<void(ScriptedProgram& program, HWND mainWindow)>;

  explicit ScriptedProgram(Script script);

  /// Runs RunTapsmith with SW_SHOWNORMAL. If the script leaves the window
  /// open, it is closed the way the close button does (WM_CLOSE), so that
  /// every run ends with the destruction handling. Returns the exit code.
  int Run();

  /// Handles every message already waiting (at most a bounded number, so a
  /// message storm fails the test instead of hanging it). A quit message met
  /// on the way is kept for the program's own loop.
  void HandlePendingMessages();

  /// Paints what is invalid at once and returns the texts drawn by it.
  std::vector<DrawnText> PaintNow(HWND mainWindow);

  bool destroyed() const { return events_.destroyed; }
  /// The error messages the program showed; Run fails the test if there is
  /// one, unless the test expects them.
  const std::vector<std::string>& errors() const { return errors_; }
  void ExpectErrors() { errorsExpected_ = true; }

  WindowHandle CreateMainWindow(const char* caption, uint32_t style, WindowEvents* events) override;
  int RunMessageLoop() override;
  /// Records the message instead of showing a modal box, which no one would
  /// answer; the test then fails with its text.
  void ShowError(WindowHandle owner, const char* text, const char* caption) override;

 private:
  // Forwards every event to the form, recording what its painting draws.
  struct RecordingEvents : WindowEvents {
    bool OnCreate(WindowHandle window) override { return form->OnCreate(window); }
    void OnDestroy(WindowHandle window) override;
    void OnSize(WindowHandle window, int width, int height) override {
      form->OnSize(window, width, height);
    }
    void OnPaint(WindowHandle window, PaintSurface& surface) override;
    void OnCommand(WindowHandle window, int id) override { form->OnCommand(window, id); }
    void OnHScroll(WindowHandle window, int code) override { form->OnHScroll(window, code); }
    void OnVScroll(WindowHandle window, int code) override { form->OnVScroll(window, code); }

    WindowEvents* form = nullptr;
    std::vector<DrawnText> drawn;
    bool destroyed = false;
  };

  Script script_;
  RecordingEvents events_;
  std::vector<std::string> errors_;
  bool errorsExpected_ = false;
};

/// Runs in a fresh, empty working directory (under the system's temporary
/// folder) for its lifetime, so that each test has its own Tapsmith.ini.
class ScratchDirectory {
 public:
  ScratchDirectory();
  ~ScratchDirectory();
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;

  const std::string& path() const { return path_; }
  /// The whole file `name` in this directory; "" if it cannot be read.
  std::string ReadFile(const char* name) const;

 private:
  std::string previous_;
  std::string path_;
};

}  // namespace tapsmith
