# 64-bit Windows through MinGW-w64 (posix threads): the set-up program kit only.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain-common.cmake)
