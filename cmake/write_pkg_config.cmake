# Writes ferrolit.pc at installation time, when the prefix is known (it may
# be given with cmake --install --prefix): absolute, normalised paths, and a
# runtime path in Libs so that a program linked with
# `pkg-config --libs ferrolit` finds the library without LD_LIBRARY_PATH,
# unless the library lies in a folder the system searches anyway. Run by
# cmake_install.cmake after the FERROLIT_PC_* variables are set.

function(ferrolit_full_path out dir)
  if(IS_ABSOLUTE "${dir}")
    set(full "${dir}")
  else()
    set(full "${FERROLIT_PC_PREFIX}/${dir}")
  endif()
  cmake_path(NORMAL_PATH full)
  string(REGEX REPLACE "(.)/$" "\\1" full "${full}")
  set(${out} "${full}" PARENT_SCOPE)
endfunction()

get_filename_component(FERROLIT_PC_PREFIX "${CMAKE_INSTALL_PREFIX}" ABSOLUTE)
cmake_path(NORMAL_PATH FERROLIT_PC_PREFIX)
string(REGEX REPLACE "(.)/$" "\\1" FERROLIT_PC_PREFIX "${FERROLIT_PC_PREFIX}")
ferrolit_full_path(FERROLIT_PC_FULL_LIBDIR "${FERROLIT_PC_LIBDIR}")
ferrolit_full_path(FERROLIT_PC_FULL_INCLUDEDIR "${FERROLIT_PC_INCLUDEDIR}")
# Written with the variables, so that a moved installation can be used with
# pkg-config --define-variable=prefix=NEW (paths below the prefix follow it).
foreach(dir LIBDIR INCLUDEDIR)
  string(FIND "${FERROLIT_PC_FULL_${dir}}/" "${FERROLIT_PC_PREFIX}/" at)
  if(at EQUAL 0)
    string(LENGTH "${FERROLIT_PC_PREFIX}" length)
    string(SUBSTRING "${FERROLIT_PC_FULL_${dir}}" ${length} -1 below)
    set(FERROLIT_PC_FULL_${dir} "\${prefix}${below}")
  endif()
endforeach()

set(FERROLIT_PC_RPATH " -Wl,-rpath,\${libdir}")
ferrolit_full_path(real_libdir "${FERROLIT_PC_LIBDIR}")
foreach(system_dir IN LISTS FERROLIT_PC_SYSTEM_DIRS)
  cmake_path(NORMAL_PATH system_dir)
  string(REGEX REPLACE "(.)/$" "\\1" system_dir "${system_dir}")
  if(real_libdir STREQUAL system_dir)
    set(FERROLIT_PC_RPATH "")
  endif()
endforeach()

ferrolit_full_path(pc_dir "${FERROLIT_PC_LIBDIR}/pkgconfig")
set(pc_file "$ENV{DESTDIR}${pc_dir}/ferrolit.pc")
configure_file("${FERROLIT_PC_TEMPLATE}" "${pc_file}" @ONLY)
message(STATUS "Installing: ${pc_file}")
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${pc_dir}/ferrolit.pc")
