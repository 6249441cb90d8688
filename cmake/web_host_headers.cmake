# Emscripten builds search packages only in its own sysroot. The one host
# package the library needs, nlohmann-json, is header-only: find_package is
# redirected to a target whose include directory holds nothing but a link to
# the host's nlohmann/ headers, so that no other host header (glibc's) can
# shadow Emscripten's.
set(web_host_include ${CMAKE_BINARY_DIR}/host-include)
file(MAKE_DIRECTORY ${web_host_include})
if(NOT EXISTS /usr/include/nlohmann/json.hpp)
  message(FATAL_ERROR "nlohmann-json not found: install it with make deps (Debian: nlohmann-json3-dev)")
endif()
file(CREATE_LINK /usr/include/nlohmann ${web_host_include}/nlohmann SYMBOLIC)
file(WRITE ${CMAKE_FIND_PACKAGE_REDIRECTS_DIR}/nlohmann_json-config.cmake "
if(NOT TARGET nlohmann_json::nlohmann_json)
  add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
  set_target_properties(nlohmann_json::nlohmann_json PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${web_host_include})
endif()
")
file(WRITE ${CMAKE_FIND_PACKAGE_REDIRECTS_DIR}/nlohmann_json-config-version.cmake "
set(PACKAGE_VERSION 3)
set(PACKAGE_VERSION_COMPATIBLE TRUE)
")
