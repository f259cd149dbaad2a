# add_report_module(<Name> [TEST] [PROBE] SOURCES ...)
# Builds <Name>_core (static, what the module's tests link) and the plug-in <Name>.so: the module's
# sources plus the frame's entry unit, hidden visibility, exporting only ClassDll and Imprimir.
# A module compiles against the contract only (frame/include) and modules/common; the host's own
# headers are out of its reach. Report modules land in ${NRW_MODULE_DIR}; TEST modules (those that
# exist only to exercise the host) in ${NRW_TEST_MODULE_DIR}, so that nrw never lists them. A PROBE
# is only the core, never built by default: the boundary test builds it on purpose.
set(NRW_TEST_MODULE_DIR ${CMAKE_BINARY_DIR}/test_modules)

function(add_report_module name)
  cmake_parse_arguments(ARG "TEST;PROBE" "" "SOURCES" ${ARGN})
  if(ARG_PROBE)
    add_library(${name}_core STATIC EXCLUDE_FROM_ALL ${ARG_SOURCES})
  else()
    add_library(${name}_core STATIC ${ARG_SOURCES})
  endif()
  target_link_libraries(${name}_core PUBLIC nrwhost nrwmodcommon)
  target_include_directories(${name}_core PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  set_target_properties(${name}_core PROPERTIES CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
  if(ARG_PROBE)
    return()
  endif()

  if(ARG_TEST)
    set(output_dir ${NRW_TEST_MODULE_DIR})
  else()
    set(output_dir ${NRW_MODULE_DIR})
  endif()
  add_library(${name} MODULE ${NRW_FRAME_ENTRY})
  target_link_libraries(${name} PRIVATE nrwhost
    "-Wl,--whole-archive" ${name}_core "-Wl,--no-whole-archive" nrwmodcommon
    "-Wl,--version-script=${NRW_FRAME_EXPORTS}" "-Wl,--exclude-libs,ALL" "-Wl,--no-undefined")
  set_target_properties(${name} PROPERTIES
    PREFIX "" OUTPUT_NAME ${name}
    LIBRARY_OUTPUT_DIRECTORY ${output_dir}
    CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON
    LINK_DEPENDS ${NRW_FRAME_EXPORTS}
    BUILD_RPATH "$ORIGIN/../lib" INSTALL_RPATH "$ORIGIN/../lib")
  if(NOT ARG_TEST)
    add_dependencies(modules_all ${name})
  endif()
endfunction()
