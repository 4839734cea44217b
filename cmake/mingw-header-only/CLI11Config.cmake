# CLI11 for the mingw-w64 cross build (see mingw-w64-x86_64.cmake).
include(${CMAKE_CURRENT_LIST_DIR}/header_only_package.cmake)
tapsmith_header_only_package(CLI11::CLI11 CLI)
