# Cross-compiles for Windows with MinGW-w64 on Linux; the toolchain files of the two bitnesses
# set `triple` and CMAKE_SYSTEM_PROCESSOR, then include this.
set(CMAKE_SYSTEM_NAME Windows)

# The thread model of the C++ runtime: posix for the test trees, whose libstdc++ has std::mutex and
# std::thread (GoogleTest needs them); win32 for the program we ship (app/CMakeLists.txt), whose
# runtime then needs nothing newer than Windows 98 SE and NT 4.0. The program's own sources use
# neither std::mutex nor std::thread. Everything links statically: the program needs nothing but
# system DLLs.
if(NOT DVX_THREAD_MODEL)
  set(DVX_THREAD_MODEL posix)
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES DVX_THREAD_MODEL)
set(CMAKE_C_COMPILER ${triple}-gcc-${DVX_THREAD_MODEL})
set(CMAKE_CXX_COMPILER ${triple}-g++-${DVX_THREAD_MODEL})
set(CMAKE_RC_COMPILER ${triple}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
