# Third-party libraries of the build, found where the machine's packages put them:
#   Tillora::gcrypt     libgcrypt of the mingw package (static), with Tillora::gpg_error
#   Tillora::gpg_error  libgpg-error of the mingw package (static), with the socket library
#   TILLORA_GTEST_SOURCE_DIR  the GoogleTest sources of the googletest package, built with the
#                             project's own compiler (set it on the command line to use others)

# Searches the target's library folders first (the toolchain's find root), the plain ones
# after; static libraries are preferred, as the programs link everything in.
function(tillora_find_static_library var header)
  cmake_parse_arguments(L "" "" "NAMES" ${ARGN})
  set(names)
  foreach(n ${L_NAMES})
    list(APPEND names lib${n}.a ${n})
  endforeach()
  find_library(${var}_LIBRARY NAMES ${names})
  find_path(${var}_INCLUDE_DIR NAMES ${header})
  if(NOT ${var}_LIBRARY OR NOT ${var}_INCLUDE_DIR)
    message(FATAL_ERROR "${L_NAMES} (${header}) not found for ${TILLORA_TRIPLET}: scripts/setup installs it")
  endif()
endfunction()

tillora_find_static_library(TILLORA_GPG_ERROR gpg-error.h NAMES gpg-error)
if(NOT TARGET Tillora::gpg_error)
  add_library(Tillora::gpg_error STATIC IMPORTED GLOBAL)
  set_target_properties(Tillora::gpg_error PROPERTIES
    IMPORTED_LOCATION ${TILLORA_GPG_ERROR_LIBRARY}
    INTERFACE_INCLUDE_DIRECTORIES ${TILLORA_GPG_ERROR_INCLUDE_DIR}
    INTERFACE_LINK_LIBRARIES ws2_32)
endif()

tillora_find_static_library(TILLORA_GCRYPT gcrypt.h NAMES gcrypt)
if(NOT TARGET Tillora::gcrypt)
  add_library(Tillora::gcrypt STATIC IMPORTED GLOBAL)
  set_target_properties(Tillora::gcrypt PROPERTIES
    IMPORTED_LOCATION ${TILLORA_GCRYPT_LIBRARY}
    INTERFACE_INCLUDE_DIRECTORIES ${TILLORA_GCRYPT_INCLUDE_DIR}
    INTERFACE_LINK_LIBRARIES Tillora::gpg_error)
endif()

if(TILLORA_TESTS)
  # The sources of the distribution's googletest package (src/googletest under a system prefix).
  find_path(TILLORA_GTEST_SOURCE_DIR NAMES googletest/include/gtest/gtest.h googlemock/CMakeLists.txt
            PATH_SUFFIXES src/googletest CMAKE_FIND_ROOT_PATH_BOTH)
  if(NOT TILLORA_GTEST_SOURCE_DIR)
    message(FATAL_ERROR "GoogleTest sources not found: scripts/setup installs the googletest package")
  endif()
endif()
