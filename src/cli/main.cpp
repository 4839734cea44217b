#include <iostream>

#include "cli_app.h"

int main(int argc, char** argv) { return tapsmith::RunCli(argc, argv, std::cout, std::cerr); }
