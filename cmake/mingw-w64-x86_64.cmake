# Cross-compiles the native Windows programs (tapsmith.exe, tapsmith-cli.exe)
# with Debian's mingw-w64 (package g++-mingw-w64-x86-64):
#
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
#
# The executables are linked statically, C and C++ runtimes included, so that
# they run on a bare Windows (or Wine) without any DLL beside them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TAPSMITH_MINGW_PREFIX x86_64-w64-mingw32)
# The posix thread model: its standard library has std::thread and std::mutex
# (the win32 model of GCC 12 has not); winpthread is linked in statically.
find_program(CMAKE_C_COMPILER NAMES ${TAPSMITH_MINGW_PREFIX}-gcc-posix ${TAPSMITH_MINGW_PREFIX}-gcc)
find_program(CMAKE_CXX_COMPILER NAMES ${TAPSMITH_MINGW_PREFIX}-g++-posix ${TAPSMITH_MINGW_PREFIX}-g++)
find_program(CMAKE_RC_COMPILER NAMES ${TAPSMITH_MINGW_PREFIX}-windres)
if(NOT CMAKE_CXX_COMPILER)
  message(FATAL_ERROR "The mingw-w64 cross compiler ${TAPSMITH_MINGW_PREFIX}-g++ is missing: "
                      "install the Debian package g++-mingw-w64-x86-64 (tools/install-deps.sh does).")
endif()

set(CMAKE_FIND_ROOT_PATH /usr/${TAPSMITH_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# The header-only libraries of the console program (CLI11, nlohmann-json) are
# taken from the build machine's include folder, but only they: adding all of
# /usr/include would put the C library's headers before mingw's own.
set(TAPSMITH_HEADER_ONLY_INCLUDE /usr/include CACHE PATH
    "Folder that holds CLI/CLI.hpp and nlohmann/json.hpp for the cross build")
set(CLI11_DIR ${CMAKE_CURRENT_LIST_DIR}/mingw-header-only CACHE PATH "" FORCE)
set(nlohmann_json_DIR ${CMAKE_CURRENT_LIST_DIR}/mingw-header-only CACHE PATH "" FORCE)
