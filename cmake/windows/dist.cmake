# Writes ferrolit-VERSION-win64.zip from a built Windows tree (make dist-windows):
#   cmake -DSOURCE_DIR=. -DBUILD_DIR=build-windows -P cmake/windows/dist.cmake
# bin: the DLL and the program; lib: the import library and the export list;
# include: the public headers; examples: the C host, its source and build.
file(STRINGS ${BUILD_DIR}/CMakeCache.txt version_line REGEX "^CMAKE_PROJECT_VERSION:")
string(REGEX REPLACE ".*=" "" version "${version_line}")
set(name ferrolit-${version}-win64)
set(stage ${BUILD_DIR}/dist/${name})
file(REMOVE_RECURSE ${BUILD_DIR}/dist)
file(MAKE_DIRECTORY ${stage}/bin ${stage}/lib ${stage}/include ${stage}/examples)
file(COPY ${BUILD_DIR}/bin/ferrolit.dll ${BUILD_DIR}/bin/ferrolit.exe DESTINATION ${stage}/bin)
file(COPY ${BUILD_DIR}/ferrolit.dll.a ${BUILD_DIR}/bin/ferrolit.def DESTINATION ${stage}/lib)
file(COPY ${SOURCE_DIR}/include/ferrolit DESTINATION ${stage}/include)
file(COPY ${SOURCE_DIR}/examples/typical_use.c ${BUILD_DIR}/bin/typical_use.exe DESTINATION ${stage}/examples)
file(COPY ${SOURCE_DIR}/LICENSE DESTINATION ${stage})
configure_file(${SOURCE_DIR}/cmake/windows/README-windows.md ${stage}/README-windows.md COPYONLY)
set(zip ${BUILD_DIR}/${name}.zip)
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${zip} --format=zip ${name}
                WORKING_DIRECTORY ${BUILD_DIR}/dist COMMAND_ERROR_IS_FATAL ANY)
message(STATUS "Written ${zip}")
