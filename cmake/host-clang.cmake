# The host build: the machine's own clang (see cmake/TilloraHost.cmake).
set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
