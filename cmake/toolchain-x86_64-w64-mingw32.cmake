# 64-bit Windows: the same program for x64 systems, and the tests' build on machines that run no
# 32-bit code.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(triple x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
