# The web server's core (tools/src/serve/) with what it serves: shared by the
# ferrolit tool, its unit test and the fuzz target of its requests. Included
# by each directory that uses it (its variables are per directory).

# The page's files, embedded into the program.
set(FERROLIT_WEB_DIR ${PROJECT_SOURCE_DIR}/tools/web)
set(FERROLIT_WEB_FILES index.html app.js app.css)

# The HTML calculation record the server hands out.
set(FERROLIT_RECORD_SOURCES
  ${PROJECT_SOURCE_DIR}/tools/src/plot/plot_frame.cpp
  ${PROJECT_SOURCE_DIR}/tools/src/record/check_tables.cpp
  ${PROJECT_SOURCE_DIR}/tools/src/record/contour_drawing.cpp
  ${PROJECT_SOURCE_DIR}/tools/src/record/data_tables.cpp
  ${PROJECT_SOURCE_DIR}/tools/src/record/html_record.cpp
  ${PROJECT_SOURCE_DIR}/tools/src/record/record_style.cpp
  ${PROJECT_SOURCE_DIR}/tools/src/record/section_drawing.cpp)

set(FERROLIT_SERVE_CORE_SOURCES
  ${PROJECT_SOURCE_DIR}/tools/src/serve/server_core.cpp
  ${PROJECT_SOURCE_DIR}/tools/src/svg.cpp
  ${PROJECT_SOURCE_DIR}/tools/src/example.cpp
  ${FERROLIT_RECORD_SOURCES})

# Adds the core and the embedded page (regenerated when a file of tools/web changes) to a target.
function(ferrolit_add_serve_core target)
  set(generated ${CMAKE_CURRENT_BINARY_DIR}/web_assets.cpp)
  list(TRANSFORM FERROLIT_WEB_FILES PREPEND ${FERROLIT_WEB_DIR}/ OUTPUT_VARIABLE web_paths)
  add_custom_command(
    OUTPUT ${generated}
    COMMAND ${CMAKE_COMMAND} -DOUTPUT=${generated} -DBASE_DIR=${FERROLIT_WEB_DIR} "-DFILES=${FERROLIT_WEB_FILES}"
            -P ${PROJECT_SOURCE_DIR}/cmake/embed_files.cmake
    DEPENDS ${web_paths} ${PROJECT_SOURCE_DIR}/cmake/embed_files.cmake
    COMMENT "Embedding the web page (tools/web)"
    VERBATIM)
  target_sources(${target} PRIVATE ${FERROLIT_SERVE_CORE_SOURCES} ${generated})
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/tools/src)
endfunction()
