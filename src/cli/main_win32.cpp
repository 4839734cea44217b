// tapsmith-cli.exe: the console search on Windows. Its output is UTF-8, as on
// every other platform (JSON must be, and files compare alike); the console
// is switched to UTF-8 for the run, so that the Japanese status reads right
// there, and switched back afterwards. Arguments stay in the ANSI code page,
// the one the file functions take paths in.
#include <windows.h>

#include <iostream>

#include "cli_app.h"

int main(int argc, char** argv) {
  UINT previous = GetConsoleOutputCP();  // 0 without a console
  SetConsoleOutputCP(CP_UTF8);
  int status = tapsmith::RunCli(argc, argv, std::cout, std::cerr);
  std::cout.flush();
  std::cerr.flush();
  if (previous != 0) SetConsoleOutputCP(previous);
  return status;
}
