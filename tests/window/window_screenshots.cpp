// Takes the README's pictures of the real program: starts it on the display
// it is given, runs Execute on the defaults, and grabs the window from the
// screen in Japanese and, after the language button, in English.
//
//   cd "$(mktemp -d)"
//   QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" BUILD/tests/window_screenshots DOCS
//
// Not a test: it saves DOCS/window-ja.png and DOCS/window-en.png and
// fails when it cannot.
#include <QApplication>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <string>

#include "form.h"
#include "qt_window_system.h"

namespace {

constexpr int kRowLanguage = 1;
constexpr int kRowExecute = 34;

bool SaveWindow(QWidget* window, const std::string& path) {
  QApplication::processEvents();
  QTest::qWait(300);
  const QPixmap shot = window->screen()->grabWindow(window->winId());
  if (shot.isNull() || !shot.save(QString::fromStdString(path))) {
    std::fprintf(stderr, "window_screenshots: cannot save %s\n", path.c_str());
    return false;
  }
  std::printf("%s: %d x %d\n", path.c_str(), shot.width(), shot.height());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: window_screenshots DOCS\n");
    return 2;
  }
  const std::string docs = argv[1];
  tapsmith::QtWindowSystem system(argc, argv);
  bool saved = false;
  QTimer::singleShot(0, [&] {
    const tapsmith::WindowHandle window = system.LastMainWindow();
    QWidget* main = system.WidgetOf(window);
    if (main == nullptr || !QTest::qWaitForWindowExposed(main)) {
      system.PostQuit(1);
      return;
    }
    QTest::mouseClick(system.WidgetOf(system.ControlWithId(window, kRowExecute)), Qt::LeftButton);
    saved = SaveWindow(main, docs + "/window-ja.png");
    QTest::mouseClick(system.WidgetOf(system.ControlWithId(window, kRowLanguage)), Qt::LeftButton);
    saved = SaveWindow(main, docs + "/window-en.png") && saved;
    main->close();
  });
  const int code = tapsmith::RunTapsmith(&system, 10);
  return saved && code == 0 ? 0 : 1;
}
