# GoogleTest from Debian's source package, built with whichever compiler this tree uses.
set(DVX_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's source tree")
set(DVX_TESTS OFF)
if(EXISTS ${DVX_GOOGLETEST_SOURCE}/CMakeLists.txt)
  set(DVX_TESTS ON)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${DVX_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  include(GoogleTest)
else()
  message(STATUS "No GoogleTest at ${DVX_GOOGLETEST_SOURCE}: building the program without its tests")
endif()

# dvx_add_gtest(name SOURCES ... [LIBS ...] [PROPERTIES ...])
# One test binary; every TEST in it becomes a CTest test, listed when the tests run (under Wine for Windows).
function(dvx_add_gtest name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;PROPERTIES" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} gmock gtest_main)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
    PROPERTIES TIMEOUT 120 ${T_PROPERTIES})
endfunction()
