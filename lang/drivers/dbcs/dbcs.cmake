# The character tables of a double-byte driver, made at build time from its code page by
# tools/gen_dbcs_tables.py into <build>/<folder>/dbcs_tables.inc (included by the driver's code);
# ENDINGS adds the ending rules of a UTF-8 source as data resource 103 (in Shift-JIS); WORD_TESTS
# turns a UTF-8 table of words in sentences into <build>/<folder>/word_tests.inc for the driver's
# tests; CODE_FROM compiles the code of another driver folder into this one (the Korean driver is
# the Chinese driver's code with its own tables).
#
# suite_dbcs_tables(<name> <folder> <lang> [ENDINGS <source>] [WORD_TESTS <source>] [CODE_FROM <folder>])
function(suite_dbcs_tables name folder lang)
  cmake_parse_arguments(A "" "ENDINGS;WORD_TESTS;CODE_FROM" "" ${ARGN})
  set(target lingo_${name})
  set(gen ${CMAKE_CURRENT_BINARY_DIR}/${folder})
  set(inc ${gen}/dbcs_tables.inc)
  set(tool ${SUITE_ROOT}/tools/gen_dbcs_tables.py)
  set(args --lang ${lang} --out ${inc})
  set(outputs ${inc})
  set(depends ${tool})
  if(A_ENDINGS)
    set(src ${SUITE_DRIVER_DIR}/${folder}/${A_ENDINGS})
    list(APPEND args --endings ${src} --bin ${gen}/${name}_endings.bin --rc ${gen}/${target}_endings.rc)
    list(APPEND outputs ${gen}/${name}_endings.bin ${gen}/${target}_endings.rc)
    list(APPEND depends ${src})
  endif()
  if(A_WORD_TESTS)
    set(src ${SUITE_DRIVER_DIR}/${folder}/${A_WORD_TESTS})
    list(APPEND args --word-tests ${src} --word-tests-out ${gen}/word_tests.inc)
    list(APPEND outputs ${gen}/word_tests.inc)
    list(APPEND depends ${src})
  endif()
  add_custom_command(OUTPUT ${outputs}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${gen}
    COMMAND ${SUITE_PYTHON} ${tool} ${args}
    DEPENDS ${depends} VERBATIM)
  target_sources(${target} PRIVATE ${inc})
  if(A_ENDINGS)
    target_sources(${target} PRIVATE ${gen}/${target}_endings.rc)
  endif()
  if(A_WORD_TESTS)
    target_sources(${target} PRIVATE ${gen}/word_tests.inc)  # made with the driver, before its tests
  endif()
  target_include_directories(${target} PRIVATE ${gen})
  if(A_CODE_FROM)
    file(GLOB code CONFIGURE_DEPENDS ${SUITE_DRIVER_DIR}/${A_CODE_FROM}/*.cpp)
    target_sources(${target} PRIVATE ${code})
  endif()
endfunction()
