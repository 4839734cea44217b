// The main window's event handler: hands each event of the window system to
// the form engine, the command handler or the scrolling.
#pragma once

#include <string>

#include "form.h"

namespace tapsmith {

class MainWindow : public WindowEvents {
 public:
  /// `state` and `system` must outlive the window.
  MainWindow(AppState* state, WindowSystem* system);

  /// The creation sequence: measure the cell; initialise the state, resolve
  /// the settings path and load the file; create and label the controls;
  /// place the window. Always accepts the window.
  bool OnCreate(WindowHandle window) override;
  /// With a settings path: collects the edit texts, stores the outer window
  /// rectangle into settings 1 to 4 (left as they are if it cannot be read)
  /// and saves, telling the user if the save fails. Without a path, tells the
  /// user that nothing could be kept. Then posts quit 0.
  void OnDestroy(WindowHandle window) override;
  void OnSize(WindowHandle window, int clientWidth, int clientHeight) override;
  void OnPaint(WindowHandle window, PaintSurface& surface) override;
  void OnCommand(WindowHandle window, int id) override;
  void OnHScroll(WindowHandle window, int code) override;
  void OnVScroll(WindowHandle window, int code) override;

  const Form& form() const { return form_; }

 private:
  /// Shows the failed-save message with `reason` (code-page bytes, as the
  /// path is) on a line of its own.
  void ReportFailedSave(const std::string& reason);

  Form form_;
};

}  // namespace tapsmith
