# Helpers shared by the folders of the project.

# Runs a Windows program of this build under Wine 64 (see scripts/wine-exec).
if(WIN32 AND CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
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
  if(NOT TILLORA_TESTS OR TILLORA_HOST)
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
  # Descriptions written by the build (the splash's, with the internal skin).
  if(DEFINED TILLORA_PROGRAM_SKINS AND "${form_files}" MATCHES "${TILLORA_PROGRAM_SKINS}")
    add_dependencies(${target} tillora_program_skins)
  endif()
endfunction()

# tillora_shadow_resources(<target>)
# The built-in form shadows "vxSHDA" and "vxSHDI" (PNG, raw-data resources) from the program's
# skins (tillora_program_skins, register/ui).
function(tillora_shadow_resources target)
  set(shadows ${TILLORA_PROGRAM_SKINS}/vxSHDA.png ${TILLORA_PROGRAM_SKINS}/vxSHDI.png)
  set(rc_file ${CMAKE_CURRENT_BINARY_DIR}/${target}_shadows.rc)
  file(CONFIGURE OUTPUT ${rc_file}
       CONTENT "vxSHDA RCDATA \"${TILLORA_PROGRAM_SKINS}/vxSHDA.png\"\nvxSHDI RCDATA \"${TILLORA_PROGRAM_SKINS}/vxSHDI.png\"\n")
  target_sources(${target} PRIVATE ${rc_file})
  set_source_files_properties(${rc_file} PROPERTIES OBJECT_DEPENDS "${shadows}")
  add_dependencies(${target} tillora_program_skins)
endfunction()

# tillora_gauge_light_resources(<target>)
# The light of animated gauges "VXGL" (PNG, raw-data resource) from the program's skins
# (tillora_program_skins, register/ui).
function(tillora_gauge_light_resources target)
  set(rc_file ${CMAKE_CURRENT_BINARY_DIR}/${target}_gauge_light.rc)
  file(CONFIGURE OUTPUT ${rc_file} CONTENT "VXGL RCDATA \"${TILLORA_PROGRAM_SKINS}/VXGL.png\"\n")
  target_sources(${target} PRIVATE ${rc_file})
  set_source_files_properties(${rc_file} PROPERTIES OBJECT_DEPENDS "${TILLORA_PROGRAM_SKINS}/VXGL.png")
  add_dependencies(${target} tillora_program_skins)
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

# --- Platform-free modules: host tests, fuzz targets and benchmarks -------------------------
# A folder defines its platform-free library first, adds its host tests, fuzz targets and host
# benchmarks with the functions below, and stops there on the host (if(TILLORA_HOST) return()).
# The Windows part of the folder follows.

# tillora_add_host_test(<name> SOURCES ... [LIBS ...] [TIMEOUT s])
# A GoogleTest program of a platform-free module. The host build runs it natively under
# AddressSanitizer and UndefinedBehaviorSanitizer (any finding fails it); the Windows builds
# build it as tillora_add_test does, and the x64 one runs it under Wine as before.
function(tillora_add_host_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  if(NOT TILLORA_HOST)
    tillora_add_test(${name} SOURCES ${T_SOURCES} LIBS ${T_LIBS} TIMEOUT ${T_TIMEOUT})
    return()
  endif()
  if(NOT TILLORA_TESTS)
    return()
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main GTest::gmock)
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1 WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT} ENVIRONMENT "${TILLORA_SANITIZER_ENV}")
endfunction()

# tillora_add_fuzz_target(<name> SOURCES ... [LIBS ...] CORPUS <folder>)
# A libFuzzer target (the sources define LLVMFuzzerTestOneInput) with its seed corpus, a
# folder of small files kept in the repository. Host build only: the program is
# fuzz/fuzz_<name> in the build folder; CTest runs it once over the seed corpus (test
# fuzz_<name>_corpus), so every target keeps building and every kept input keeps passing.
# scripts/fuzz <name> [seconds] runs it for real.
function(tillora_add_fuzz_target name)
  cmake_parse_arguments(T "" "CORPUS" "SOURCES;LIBS" ${ARGN})
  if(NOT TILLORA_HOST OR NOT TILLORA_SANITIZE)
    return()
  endif()
  get_filename_component(corpus "${T_CORPUS}" ABSOLUTE)
  if(NOT IS_DIRECTORY "${corpus}")
    message(FATAL_ERROR "fuzz target ${name}: no seed corpus folder ${corpus}")
  endif()
  add_executable(fuzz_${name} ${T_SOURCES})
  target_link_libraries(fuzz_${name} PRIVATE ${T_LIBS})
  target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
  set_target_properties(fuzz_${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
  # scripts/fuzz finds the seed corpus here.
  file(WRITE ${CMAKE_BINARY_DIR}/fuzz/fuzz_${name}.corpus "${corpus}\n")
  if(TILLORA_TESTS)
    add_test(NAME fuzz_${name}_corpus COMMAND fuzz_${name} -runs=0 -timeout=10 ${corpus})
    set_tests_properties(fuzz_${name}_corpus PROPERTIES TIMEOUT 300 ENVIRONMENT "${TILLORA_SANITIZER_ENV}")
  endif()
endfunction()

# tillora_add_host_bench(<name> SOURCES ... [LIBS ...])
# A Google Benchmark program (<name> ends in _bench) of a platform-free module, built by the
# host builds; scripts/bench runs it from the unsanitized host build. Not a test.
function(tillora_add_host_bench name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  if(NOT TILLORA_HOST)
    return()
  endif()
  find_package(benchmark REQUIRED)
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} benchmark::benchmark_main)
endfunction()

# tillora_add_bench(<name> SOURCES ... [LIBS ...])
# A Windows benchmark program (<name> ends in _bench): built with the tests of the x64 and
# x86 builds, not run by scripts/test; scripts/bench runs every one under Wine and prints the
# lines it writes to standard output, one figure a line ("<what>: <value> <unit>").
function(tillora_add_bench name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  if(TILLORA_HOST OR NOT TILLORA_TESTS)
    return()
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS})
endfunction()

# --- Build-time tools ---------------------------------------------------------------------------
# Tools that run while building are built for the build machine (skin/engine/tools): in the
# Windows builds they land in host-tools/ of the build folder.
set(TILLORA_HOST_TOOLS ${CMAKE_BINARY_DIR}/host-tools)

# tillora_vtzpack(<output.vtz> FOLDER <skin folder> [LEVEL 0-9])
# Packs a skin folder into a container at build time ("Options.dat" first, then the other
# files by name; zlib level 9 unless given). A target that needs the file lists it among its
# sources or depends on a custom target that does.
function(tillora_vtzpack output)
  cmake_parse_arguments(P "" "FOLDER;LEVEL" "" ${ARGN})
  if(NOT DEFINED P_LEVEL)
    set(P_LEVEL 9)
  endif()
  get_filename_component(folder "${P_FOLDER}" ABSOLUTE)
  file(GLOB inputs CONFIGURE_DEPENDS "${folder}/*")
  if(TILLORA_HOST)
    set(tool $<TARGET_FILE:vtzpack>)
    set(tool_deps vtzpack)
  else()
    set(tool ${TILLORA_HOST_TOOLS}/vtzpack)
    set(tool_deps vtzpack_host ${TILLORA_HOST_TOOLS}/vtzpack)
  endif()
  add_custom_command(OUTPUT ${output} COMMAND ${tool} -${P_LEVEL} ${folder} ${output}
                     DEPENDS ${tool_deps} ${inputs} COMMENT "Packing ${folder}" VERBATIM)
endfunction()

# tillora_test_skins(<output folder>)
# Writes the test skins of skin/engine/tools/TestSkinLayout.h into the folder at build time
# (skingen); the target skin_test_skins makes them. Tests that read them depend on it.
function(tillora_test_skins output)
  if(TILLORA_HOST)
    set(tool $<TARGET_FILE:skingen>)
    set(tool_deps skingen)
  else()
    set(tool ${TILLORA_HOST_TOOLS}/skingen)
    set(tool_deps vtzpack_host ${TILLORA_HOST_TOOLS}/skingen)
  endif()
  add_custom_command(OUTPUT ${output}/skingen.stamp COMMAND ${tool} ${output}
                     DEPENDS ${tool_deps} ${CMAKE_SOURCE_DIR}/skin/engine/tools/TestSkinLayout.h
                     COMMENT "Writing the test skins" VERBATIM)
  add_custom_target(skin_test_skins DEPENDS ${output}/skingen.stamp)
endfunction()
