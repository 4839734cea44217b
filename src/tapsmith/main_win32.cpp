// tapsmith.exe: the form on the Win32 backend.
#include "form.h"
#include "win32_window_system.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  tapsmith::Win32WindowSystem system(instance);
  return tapsmith::RunTapsmith(&system, showCommand);
}
