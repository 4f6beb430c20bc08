# One code base, two add-ins: bridge_addin(<Name> <rgs file> [SLIDE]) builds <Name>.dll from the
# word-processor add-in's sources, with BRIDGE_SLIDE for the presentation program.
if(NOT TARGET addins_common)
  add_subdirectory(${SUITE_ROOT}/addins/common ${CMAKE_BINARY_DIR}/addins/common)
endif()
set(BRIDGE_SRC ${SUITE_ROOT}/addins/docbridge)
# The common layer's settings as its folder made them (another add-in may have added it first).
foreach(var ADDINS_COMMON_LINK ADDINS_COMMON_SYSLIBS ADDINS_WIDL)
  get_directory_property(${var} DIRECTORY ${SUITE_ROOT}/addins/common DEFINITION ${var})
endforeach()
get_directory_property(ADDINS_STDOLE_DIR DIRECTORY ${SUITE_ROOT}/addins/common DEFINITION stdole_dir)
set(ADDINS_COMMON_DIR ${SUITE_ROOT}/addins/common)

function(bridge_addin name rgs)
  set(gen ${CMAKE_CURRENT_BINARY_DIR}/gen)
  file(MAKE_DIRECTORY ${gen})
  set(defs "")
  if(ARGN STREQUAL "SLIDE")
    set(defs -DBRIDGE_SLIDE)
  endif()
  add_custom_command(OUTPUT ${gen}/bridge.tlb
    COMMAND ${ADDINS_WIDL} -t ${defs} -I ${ADDINS_COMMON_DIR} -L ${ADDINS_STDOLE_DIR} -o ${gen}/bridge.tlb ${BRIDGE_SRC}/bridge.idl
    DEPENDS ${BRIDGE_SRC}/bridge.idl ${ADDINS_COMMON_DIR}/addin_base.idl VERBATIM)
  set(faces "")
  foreach(glyph translate lookup options)
    add_custom_command(OUTPUT ${gen}/face_${glyph}.bmp
      COMMAND ${SUITE_PYTHON} ${ADDINS_COMMON_DIR}/gen_addin_images.py ${gen}/face_${glyph}.bmp ${glyph}
      DEPENDS ${ADDINS_COMMON_DIR}/gen_addin_images.py VERBATIM)
    list(APPEND faces ${gen}/face_${glyph}.bmp)
  endforeach()
  add_custom_command(OUTPUT ${gen}/icon_209.ico
    COMMAND ${SUITE_PYTHON} ${SUITE_ROOT}/outside/Uiassets/gen_images.py ${SUITE_ROOT}/addins/webbridge/images.txt ${gen}
    DEPENDS ${SUITE_ROOT}/outside/Uiassets/gen_images.py ${SUITE_ROOT}/addins/webbridge/images.txt VERBATIM)
  add_custom_target(${name}_resources DEPENDS ${gen}/bridge.tlb ${faces} ${gen}/icon_209.ico)
  set_source_files_properties(${BRIDGE_SRC}/bridge.rc PROPERTIES OBJECT_DEPENDS
    "${gen}/bridge.tlb;${faces};${gen}/icon_209.ico;${rgs};${BRIDGE_SRC}/bridge_int.h;${ADDINS_COMMON_DIR}/addin_common.h")
  get_filename_component(rgs_dir ${rgs} DIRECTORY)
  set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001 -I ${gen} -I ${rgs_dir} -I ${BRIDGE_SRC} -I ${ADDINS_COMMON_DIR} -I ${SUITE_ROOT}/include" PARENT_SCOPE)
  string(TOLOWER ${name} lower)
  suite_plain_dll(${name} SOURCES ${BRIDGE_SRC}/addin.cpp ${BRIDGE_SRC}/late.cpp ${BRIDGE_SRC}/bridge.rc
    DEF ${rgs_dir}/${lower}.def LINK addins_common ${ADDINS_COMMON_LINK} SYSLIBS ${ADDINS_COMMON_SYSLIBS})
  target_include_directories(${name} PRIVATE ${BRIDGE_SRC} ${ADDINS_COMMON_DIR})
  if(ARGN STREQUAL "SLIDE")
    target_compile_definitions(${name} PRIVATE BRIDGE_SLIDE)
  endif()
  add_dependencies(${name} ${name}_resources)
endfunction()
