// Shared helpers of the window tests: one QApplication for the test program,
// a WindowEvents that records what the backend reports, and pixel probes.
#pragma once

#include <QApplication>
#include <QImage>
#include <QRect>
#include <functional>
#include <vector>

#include "test_util.h"
#include "window_system.h"

namespace tapsmith::testing {

// The one QApplication of the test program, on the offscreen platform unless
// the environment names another; it lives until the process ends.
inline void EnsureApplication() {
  if (QApplication::instance() != nullptr) return;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "window_tests";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);
}

// Records every event; a test may add behaviour through the hooks.
class RecordingEvents : public WindowEvents {
 public:
  bool OnCreate(WindowHandle window) override {
    ++creates;
    return onCreate ? onCreate(window) : true;
  }
  void OnDestroy(WindowHandle window) override {
    ++destroys;
    if (onDestroy) onDestroy(window);
  }
  void OnSize(WindowHandle, int width, int height) override { sizes.push_back({width, height}); }
  void OnPaint(WindowHandle window, PaintSurface& surface) override {
    ++paints;
    if (onPaint) onPaint(window, surface);
  }
  void OnCommand(WindowHandle, int id) override { commands.push_back(id); }
  void OnHScroll(WindowHandle window, int code) override {
    hscrolls.push_back(code);
    if (onScroll) onScroll(window, ScrollBarKind::Horizontal, code);
  }
  void OnVScroll(WindowHandle window, int code) override {
    vscrolls.push_back(code);
    if (onScroll) onScroll(window, ScrollBarKind::Vertical, code);
  }

  struct Size {
    int width;
    int height;
    bool operator==(const Size&) const = default;
  };
  int creates = 0;
  int destroys = 0;
  int paints = 0;
  std::vector<Size> sizes;
  std::vector<int> commands;
  std::vector<int> hscrolls;
  std::vector<int> vscrolls;
  std::function<bool(WindowHandle)> onCreate;
  std::function<void(WindowHandle)> onDestroy;
  std::function<void(WindowHandle, PaintSurface&)> onPaint;
  std::function<void(WindowHandle, ScrollBarKind, int)> onScroll;
};

// Pixels in `area` of `image` darker than mid grey: text was drawn there.
inline int DarkPixels(const QImage& image, const QRect& area) {
  int dark = 0;
  const QRect inside = area.intersected(image.rect());
  for (int y = inside.top(); y <= inside.bottom(); ++y)
    for (int x = inside.left(); x <= inside.right(); ++x)
      if (qGray(image.pixel(x, y)) < 128) ++dark;
  return dark;
}

}  // namespace tapsmith::testing
