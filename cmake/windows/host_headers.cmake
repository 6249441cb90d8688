# An imported header-only target whose include folder holds only the host
# header folder `folder` (a link to /usr/include/<folder>).
function(ferrolit_host_headers target folder)
  if(TARGET ${target})
    return()
  endif()
  set(staged ${CMAKE_BINARY_DIR}/host-headers/${folder})
  file(MAKE_DIRECTORY ${staged})
  if(NOT EXISTS ${staged}/${folder})
    file(CREATE_LINK /usr/include/${folder} ${staged}/${folder} SYMBOLIC)
  endif()
  add_library(${target} INTERFACE IMPORTED)
  set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${staged})
endfunction()
