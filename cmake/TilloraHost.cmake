# Settings of the host build (preset "host"): the machine's clang, the sanitizers, libFuzzer
# instrumentation, and the code page of text literals. Included from the top-level file on
# the host only; the functions that folders call are in Tillora.cmake.

if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  message(FATAL_ERROR "The host build needs clang (libFuzzer); configure it with the preset 'host'.")
endif()

# ON: AddressSanitizer and UndefinedBehaviorSanitizer in every object, any finding aborts the
# program, and the coverage hooks of libFuzzer so that the fuzz targets can link. OFF is the
# plain optimised build in which scripts/bench measures the host benchmarks.
option(TILLORA_SANITIZE "Host build with the sanitizers and fuzz targets" ON)
set(TILLORA_TRIPLET x86_64-linux-gnu)

if(TILLORA_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer
                      -fsanitize=fuzzer-no-link)
  add_link_options(-fsanitize=address,undefined -fno-sanitize-recover=all)
endif()

# The Windows builds turn the UTF-8 sources' literals into code page 1252. Clang knows no
# other execution character set than UTF-8, so each source file of the repository is handed
# to it converted to code page 1252 (scripts/host-cc, with #line naming the original file):
# the literals then hold the very bytes the Windows builds hold, and clang takes them as they
# are.
add_compile_options($<$<COMPILE_LANGUAGE:C,CXX>:-Wno-invalid-source-encoding>)
set(CMAKE_C_COMPILER_LAUNCHER ${CMAKE_SOURCE_DIR}/scripts/host-cc ${CMAKE_SOURCE_DIR})
set(CMAKE_CXX_COMPILER_LAUNCHER ${CMAKE_SOURCE_DIR}/scripts/host-cc ${CMAKE_SOURCE_DIR})

# Sanitizer settings of every host test: stop at the first finding, leaks count as findings.
set(TILLORA_SANITIZER_ENV
    "ASAN_OPTIONS=abort_on_error=0:detect_leaks=1:strict_string_checks=1;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
