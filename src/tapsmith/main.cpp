// tapsmith: the window program on Qt 6 Widgets.
#include "form.h"
#include "qt_window_system.h"

namespace {

// The start command of a program that was given none (SW_SHOWDEFAULT).
constexpr int kShowDefault = 10;

}  // namespace

int main(int argc, char** argv) {
  tapsmith::QtWindowSystem system(argc, argv);
  return tapsmith::RunTapsmith(&system, kShowDefault);
}
