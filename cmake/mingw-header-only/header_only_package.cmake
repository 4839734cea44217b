# Makes an imported target for a header-only library of the build machine in
# the cross build: its one folder of headers is linked into a private include
# folder of the build tree, so that nothing else of the machine's include
# folder is seen by the cross compiler.
function(tapsmith_header_only_package target folder)
  if(TARGET ${target})
    return()
  endif()
  set(source "${TAPSMITH_HEADER_ONLY_INCLUDE}/${folder}")
  if(NOT IS_DIRECTORY "${source}")
    message(FATAL_ERROR "${source} is missing: install the Debian packages libcli11-dev and "
                        "nlohmann-json3-dev, or set TAPSMITH_HEADER_ONLY_INCLUDE.")
  endif()
  set(include "${CMAKE_BINARY_DIR}/header-only-include")
  file(MAKE_DIRECTORY "${include}")
  if(NOT EXISTS "${include}/${folder}")
    file(CREATE_LINK "${source}" "${include}/${folder}" SYMBOLIC)
  endif()
  add_library(${target} INTERFACE IMPORTED GLOBAL)
  set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES "${include}")
endfunction()
