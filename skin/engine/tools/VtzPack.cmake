# The packer vtzpack and the test-skin generator skingen run while building, so they are built
# for the build machine. The host build makes them as ordinary targets. The Windows builds
# cross-compile everything else, so they build tools/ as a project of its own with the
# machine's clang (ExternalProject, in the build folder's host-tools/) and run them from there.
# tillora_vtzpack and tillora_test_skins (cmake/Tillora.cmake) call them.
if(TILLORA_HOST)
  add_subdirectory(tools)
else()
  include(ExternalProject)
  ExternalProject_Add(vtzpack_host
    SOURCE_DIR ${CMAKE_CURRENT_LIST_DIR}
    BINARY_DIR ${TILLORA_HOST_TOOLS}
    CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=clang++
    BUILD_ALWAYS ON
    INSTALL_COMMAND ""
    BUILD_BYPRODUCTS ${TILLORA_HOST_TOOLS}/vtzpack ${TILLORA_HOST_TOOLS}/skingen ${TILLORA_HOST_TOOLS}/tilloraskins)
endif()
