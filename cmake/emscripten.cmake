# Compiles the core and the console's core to WebAssembly with Debian's
# Emscripten (package emscripten), for the page (`make web`):
#
#   cmake -S . -B build-web -DCMAKE_TOOLCHAIN_FILE=cmake/emscripten.cmake
#
# Emscripten's own toolchain file does the work; this one finds it and gives
# the console's header-only libraries as the Windows cross build takes them.
execute_process(COMMAND em-config EMSCRIPTEN_ROOT OUTPUT_VARIABLE TAPSMITH_EMSCRIPTEN_ROOT
                OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE found)
if(NOT found EQUAL 0 OR NOT EXISTS "${TAPSMITH_EMSCRIPTEN_ROOT}/cmake/Modules/Platform/Emscripten.cmake")
  message(FATAL_ERROR "Emscripten is missing: install the Debian package emscripten "
                      "(tools/install-deps.sh does).")
endif()
include(${TAPSMITH_EMSCRIPTEN_ROOT}/cmake/Modules/Platform/Emscripten.cmake)

set(TAPSMITH_HEADER_ONLY_INCLUDE /usr/include CACHE PATH
    "Folder that holds CLI/CLI.hpp and nlohmann/json.hpp for the WebAssembly build")
set(CLI11_DIR ${CMAKE_CURRENT_LIST_DIR}/mingw-header-only CACHE PATH "" FORCE)
set(nlohmann_json_DIR ${CMAKE_CURRENT_LIST_DIR}/mingw-header-only CACHE PATH "" FORCE)
