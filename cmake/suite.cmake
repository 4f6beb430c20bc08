# Helpers every library, program and test of the suite goes through.
#
# suite_library(<Name> SOURCES ... DEFS ... [LINK <suite libs>] [SYSLIBS <platform libs>] [HEADER <file>])
#   A DLL <Name>.dll in bin/ that exports exactly what its .def fragments list (by ordinal, and by
#   name where a line has no NONAME).  The fragments hold only export lines; they are joined into
#   one .def.  Callers link <Name>_imp, an import library made from the same .def, so they bind by
#   ordinal.  The fragments carry the 32-bit decorated names (Name@argbytes); on the x64 lane, which
#   has no stdcall decoration, the decorations are taken off.  HEADER (default include/<name in lower case>.h) is checked against the .def by the
#   tests/ folder.
# suite_program(<Name> SOURCES ... [LINK ...] [SYSLIBS ...] [GUI])
# suite_test(<Name> SOURCES ... [LINK ...] [SYSLIBS ...] [LOCALE ja|C] [OWN_MAIN])
#   One GoogleTest program = one CTest entry, run under Wine in its own working folder.

include_directories(${SUITE_ROOT}/include)
add_compile_definitions(_WIN32_WINNT=0x0600 WINVER=0x0600 NOMINMAX)
add_compile_options(-Wall -Wno-unknown-pragmas)
find_program(SUITE_DLLTOOL ${SUITE_TRIPLET}-dlltool REQUIRED)

# The C++ and GCC runtimes are linked into each module; the threads runtime is one shared
# libwinpthread-1.dll beside the programs (a static copy in every DLL took a thread-local slot per
# load and never gave it back).
set(SUITE_RUNTIME_LINK -static-libgcc -static-libstdc++)
file(COPY /usr/${SUITE_TRIPLET}/lib/libwinpthread-1.dll DESTINATION ${CMAKE_BINARY_DIR}/bin)
find_program(SUITE_PYTHON python3 REQUIRED)

# suite_lane_def(<out> <name> <fragment>...)
#   Joins .def fragments into one .def for this lane (build tree defs/<name>.def) and sets <out> to
#   its path.  A fragment holding its own LIBRARY and EXPORTS lines is used alone.
function(suite_lane_def out name)
  set(def ${CMAKE_BINARY_DIR}/defs/${name}.def)
  set(text "LIBRARY ${name}.dll\nEXPORTS\n")
  foreach(f ${ARGN})
    get_filename_component(abs ${f} ABSOLUTE)
    file(READ ${abs} part)
    if(part MATCHES "(^|\n)LIBRARY ")
      set(text "")
    endif()
    if(SUITE_LANE STREQUAL "x64")
      string(REGEX REPLACE "([A-Za-z_][A-Za-z0-9_]*)@[0-9]+" "\\1" part "${part}")
    endif()
    string(APPEND text "${part}\n")
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${abs})
  endforeach()
  file(WRITE ${CMAKE_BINARY_DIR}/defs/${name}.def.tmp "${text}")
  configure_file(${CMAKE_BINARY_DIR}/defs/${name}.def.tmp ${def} COPYONLY)
  set(${out} ${def} PARENT_SCOPE)
endfunction()

# suite_plain_dll(<Name> SOURCES ... DEF <file> [LINK ...] [SYSLIBS ...])
#   A DLL for tests and helpers that is not export-checked: its one .def, no import library.
function(suite_plain_dll name)
  cmake_parse_arguments(A "" "DEF" "SOURCES;LINK;SYSLIBS" ${ARGN})
  add_library(${name} SHARED ${A_SOURCES})
  set_target_properties(${name} PROPERTIES PREFIX "" OUTPUT_NAME ${name})
  set(link -Wl,--kill-at ${SUITE_RUNTIME_LINK})
  if(A_DEF)
    suite_lane_def(def ${name} ${A_DEF})
    set_target_properties(${name} PROPERTIES LINK_DEPENDS ${def})
    list(PREPEND link ${def})
  endif()
  target_link_options(${name} PRIVATE ${link})
  suite_link(${name} "${A_LINK}" "${A_SYSLIBS}")
endfunction()

function(suite_library name)
  cmake_parse_arguments(A "" "HEADER" "SOURCES;DEFS;LINK;SYSLIBS" ${ARGN})
  suite_lane_def(def ${name} ${A_DEFS})

  add_library(${name} SHARED ${A_SOURCES})
  set_target_properties(${name} PROPERTIES PREFIX "" OUTPUT_NAME ${name}
    LINK_DEPENDS ${def})
  target_link_options(${name} PRIVATE ${def} -Wl,--kill-at ${SUITE_RUNTIME_LINK})
  foreach(lib ${A_LINK})
    target_link_libraries(${name} PRIVATE ${lib}_imp)
  endforeach()
  target_link_libraries(${name} PRIVATE ${A_SYSLIBS})

  set(implib ${CMAKE_BINARY_DIR}/lib/lib${name}.ord.a)
  add_custom_command(OUTPUT ${implib}
    COMMAND ${SUITE_DLLTOOL} -d ${def} -l ${implib} -k
    DEPENDS ${def} VERBATIM)
  add_custom_target(${name}_implib DEPENDS ${implib})
  add_library(${name}_imp INTERFACE)
  target_link_libraries(${name}_imp INTERFACE ${implib})
  add_dependencies(${name}_imp ${name}_implib ${name})

  if(NOT A_HEADER)
    string(TOLOWER ${name} lower)
    set(A_HEADER ${SUITE_ROOT}/include/${lower}.h)
  endif()
  set_property(GLOBAL APPEND PROPERTY SUITE_LIBRARIES ${name})
  set_property(GLOBAL PROPERTY SUITE_DEF_${name} ${def})
  set_property(GLOBAL PROPERTY SUITE_HEADER_${name} ${A_HEADER})
endfunction()

# Links a program against suite libraries (through their ordinal import libraries) or any other
# CMake target or library, then the platform libraries.
function(suite_link name libs syslibs)
  foreach(lib ${libs})
    if(TARGET ${lib}_imp)
      target_link_libraries(${name} PRIVATE ${lib}_imp)
    else()
      target_link_libraries(${name} PRIVATE ${lib})
    endif()
  endforeach()
  target_link_libraries(${name} PRIVATE ${syslibs})
endfunction()

function(suite_program name)
  cmake_parse_arguments(A "GUI" "" "SOURCES;LINK;SYSLIBS" ${ARGN})
  if(A_GUI)
    add_executable(${name} WIN32 ${A_SOURCES})
  else()
    add_executable(${name} ${A_SOURCES})
  endif()
  target_link_options(${name} PRIVATE ${SUITE_RUNTIME_LINK})
  suite_link(${name} "${A_LINK}" "${A_SYSLIBS}")
endfunction()

function(suite_test name)
  cmake_parse_arguments(A "OWN_MAIN" "LOCALE" "SOURCES;LINK;SYSLIBS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_include_directories(${name} PRIVATE ${SUITE_ROOT}/tests)
  target_link_options(${name} PRIVATE ${SUITE_RUNTIME_LINK})
  if(A_OWN_MAIN)
    target_link_libraries(${name} PRIVATE gtest)
  else()
    target_link_libraries(${name} PRIVATE gtest gtest_main)
  endif()
  suite_link(${name} "${A_LINK}" "${A_SYSLIBS}")
  if(NOT A_LOCALE OR A_LOCALE STREQUAL "ja")
    set(locale ja_JP.UTF-8)
  else()
    set(locale ${A_LOCALE})
  endif()
  set(work ${CMAKE_BINARY_DIR}/testwork/${name})
  file(MAKE_DIRECTORY ${work})
  add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY ${work})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "LC_ALL=${locale}" TIMEOUT 600)
endfunction()

# suite_folder_library(<Name> [LINK ...] [SYSLIBS ...] [EXTRA_SOURCES ...] [TEST_LINK ...])
#   A library made of every *.cpp, *.c, *.rc and *.def of the calling folder (several people can
#   add files to one library without touching its CMakeLists).  Each tests/<x>_test.cpp becomes
#   its own test program <name>_<x>_test (one CTest entry); files named *_c_test.cpp run with
#   code page 1252 (LC_ALL=C), all others with code page 932.
function(suite_folder_library name)
  cmake_parse_arguments(A "" "" "LINK;SYSLIBS;EXTRA_SOURCES;TEST_LINK;TEST_SYSLIBS" ${ARGN})
  set(dir ${CMAKE_CURRENT_SOURCE_DIR})
  file(GLOB srcs CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.c ${dir}/*.rc)
  file(GLOB defs CONFIGURE_DEPENDS ${dir}/*.def)
  if(NOT srcs)
    return()   # nothing written yet
  endif()
  suite_library(${name} SOURCES ${srcs} ${A_EXTRA_SOURCES} DEFS ${defs}
    LINK ${A_LINK} SYSLIBS ${A_SYSLIBS})
  string(TOLOWER ${name} lower)
  file(GLOB tests CONFIGURE_DEPENDS ${dir}/tests/*_test.cpp)
  foreach(t ${tests})
    get_filename_component(base ${t} NAME_WE)
    set(locale ja)
    if(base MATCHES "_c_test$")
      set(locale C)
    endif()
    suite_test(${lower}_${base} SOURCES ${t} LINK ${name} ${A_LINK} ${A_TEST_LINK}
      SYSLIBS ${A_SYSLIBS} ${A_TEST_SYSLIBS} LOCALE ${locale})
  endforeach()
endfunction()
