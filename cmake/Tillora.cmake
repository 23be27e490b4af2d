# Helpers shared by the folders of the project.

# Runs a Windows program of this build under Wine 64 (see scripts/wine-exec).
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/scripts/wine-exec CACHE STRING "" FORCE)
  set(TILLORA_CAN_RUN_TESTS ON)
else()
  set(TILLORA_CAN_RUN_TESTS OFF)
endif()

# tillora_version_resource(<target> <file name> <description> <major.minor.patch.build>)
function(tillora_version_resource target filename description version)
  string(REPLACE "." "," version_commas "${version}")
  set(TV_FILENAME "${filename}")
  set(TV_DESCRIPTION "${description}")
  set(TV_VERSION "${version}")
  set(TV_VERSION_COMMAS "${version_commas}")
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "SHARED_LIBRARY")
    set(TV_FILETYPE "0x2L")
  else()
    set(TV_FILETYPE "0x1L")
  endif()
  configure_file(${CMAKE_SOURCE_DIR}/cmake/version.rc.in ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc @ONLY)
  target_sources(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
endfunction()

# tillora_add_test(<name> SOURCES ... [LIBS ...] [SERIAL] [TIMEOUT s])
# A GoogleTest program for the target; CTest runs it under Wine on the x64 build.
# SERIAL marks tests that open windows or use fixed ports, so they do not run side by side.
function(tillora_add_test name)
  cmake_parse_arguments(T "SERIAL" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(NOT TILLORA_TESTS)
    return()
  endif()
  add_executable(${name} ${T_SOURCES})
  # testmain (tests/support): GoogleTest's main with a report of crashing tests.
  target_link_libraries(${name} PRIVATE ${T_LIBS} testmain GTest::gmock)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  if(TILLORA_CAN_RUN_TESTS)
    add_test(NAME ${name} COMMAND ${name} --gtest_brief=1 WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
    if(NOT T_TIMEOUT)
      set(T_TIMEOUT 300)
    endif()
    set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT})
    if(T_SERIAL)
      set_tests_properties(${name} PROPERTIES RUN_SERIAL ON)
    endif()
  endif()
endfunction()

# tillora_form_resources(<target> <file.form> ...)
# Compiles form descriptions into the target's resources: each file becomes an RCDATA resource
# named after the file (TKassTip.form -> resource "TKassTip"), which the form class of that name
# reads when it is created.
function(tillora_form_resources target)
  set(rc_text "")
  set(form_files "")
  foreach(form ${ARGN})
    get_filename_component(path "${form}" ABSOLUTE)
    get_filename_component(name "${form}" NAME_WE)
    string(APPEND rc_text "${name} RCDATA \"${path}\"\n")
    list(APPEND form_files "${path}")
  endforeach()
  set(rc_file ${CMAKE_CURRENT_BINARY_DIR}/${target}_forms.rc)
  file(CONFIGURE OUTPUT ${rc_file} CONTENT "${rc_text}")
  target_sources(${target} PRIVATE ${rc_file})
  set_source_files_properties(${rc_file} PROPERTIES OBJECT_DEPENDS "${form_files}")
endfunction()

# tillora_add_card_test(<name> SOURCES ... [LIBS ...] [TIMEOUT s])
# A test of the card library against the simulated card: it runs in the folder of the virtual
# reader (bin/simreader) with QsmTool.dll and qsmsim.exe beside it, and Wine loads the virtual
# reader in place of its own winscard. Card tests share ports and windows, so they run alone.
function(tillora_add_card_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  tillora_add_test(${name} SOURCES ${T_SOURCES} LIBS ${T_LIBS} testsupport ws2_32 SERIAL TIMEOUT ${T_TIMEOUT})
  if(NOT TARGET ${name})
    return()
  endif()
  set(dir ${CMAKE_BINARY_DIR}/bin/simreader)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${dir})
  # QsmTool.dll and qsmsim.exe beside the virtual reader, copied again whenever they change.
  if(NOT TARGET card_test_folder)
    add_custom_command(OUTPUT ${dir}/QsmTool.dll ${dir}/qsmsim.exe
      COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:QsmTool> $<TARGET_FILE:qsmsim> ${dir}
      DEPENDS QsmTool qsmsim $<TARGET_FILE:QsmTool> $<TARGET_FILE:qsmsim> VERBATIM)
    add_custom_target(card_test_folder ALL DEPENDS ${dir}/QsmTool.dll ${dir}/qsmsim.exe)
    add_dependencies(card_test_folder simreader_winscard)
  endif()
  add_dependencies(${name} card_test_folder)
  if(TILLORA_CAN_RUN_TESTS)
    set_tests_properties(${name} PROPERTIES WORKING_DIRECTORY ${dir}
      ENVIRONMENT "WINEDLLOVERRIDES=mscoree,mshtml,winemenubuilder.exe=\;winscard=n")
  endif()
endfunction()
