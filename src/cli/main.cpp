#include <unistd.h>

#include <iostream>

#include "cli_app.h"

int main(int argc, char** argv) {
  // The board's progress line only where someone watches it.
  return tapsmith::RunCli(argc, argv, std::cout, std::cerr, isatty(STDERR_FILENO) ? &std::cerr : nullptr);
}
