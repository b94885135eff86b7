# GoogleTest from Debian's source package, built with whichever compiler this tree uses.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
include(GoogleTest)

# dvx_add_gtest(name SOURCES ... [LIBS ...] [PROPERTIES ...])
# One test binary; every TEST in it becomes a CTest test, listed when the tests run (under Wine for Windows).
function(dvx_add_gtest name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;PROPERTIES" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} gmock gtest_main)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
    PROPERTIES TIMEOUT 120 ${T_PROPERTIES})
endfunction()
