# The page that computes in the browser (preset web, make web): the library
# and the tool's socket-free core compiled by Emscripten to one WebAssembly
# module, embedded in base64 into ferrolit.js together with its JavaScript
# API (web/module_api.js), and the page's files beside it in FERROLIT_WEB_DIR.
# Nothing is fetched at run time: the page works from file:// and offline.

add_executable(ferrolit_web src/web/module.cpp src/web/no_assets.cpp ${tool_core_sources})
target_include_directories(ferrolit_web PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/include)
target_link_libraries(ferrolit_web PRIVATE ferrolit::ferrolit nlohmann_json::nlohmann_json)
target_compile_options(ferrolit_web PRIVATE ${FERROLIT_CXX_FLAGS})
target_compile_definitions(ferrolit_web PRIVATE FERROLIT_STATIC)
set_target_properties(ferrolit_web PROPERTIES OUTPUT_NAME ferrolit_module SUFFIX .js)
add_dependencies(ferrolit_web ferrolit_build_id)
# A factory function (no global Module), for browsers only, growing its heap
# as a large record needs; the two entry points, malloc() and free() are all it exports.
target_link_options(ferrolit_web PRIVATE
  -sMODULARIZE=1 -sEXPORT_NAME=createFerrolitModule -sENVIRONMENT=web -sALLOW_MEMORY_GROWTH=1
  -sFILESYSTEM=0 -sEXPORTED_FUNCTIONS=_ferrolit_web_call,_ferrolit_web_request,_malloc,_free)

find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(web_module ${FERROLIT_WEB_DIR}/ferrolit.js)
list(TRANSFORM web_files PREPEND ${web_dir}/ OUTPUT_VARIABLE web_paths)
list(TRANSFORM web_files PREPEND ${FERROLIT_WEB_DIR}/ OUTPUT_VARIABLE web_copies)
add_custom_command(
  OUTPUT ${web_module} ${web_copies}
  COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/cmake/bundle_web_module.py
          --glue $<TARGET_FILE:ferrolit_web> --wasm $<TARGET_FILE_DIR:ferrolit_web>/ferrolit_module.wasm
          --api ${web_dir}/module_api.js --output ${web_module}
  COMMAND ${CMAKE_COMMAND} -E copy ${web_paths} ${FERROLIT_WEB_DIR}
  DEPENDS ferrolit_web ${web_dir}/module_api.js ${web_paths} ${PROJECT_SOURCE_DIR}/cmake/bundle_web_module.py
  COMMENT "Writing the page that computes in the browser to ${FERROLIT_WEB_DIR}"
  VERBATIM)
add_custom_target(ferrolit_web_page ALL DEPENDS ${web_module} ${web_copies})
