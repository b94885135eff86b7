# Builds dialvox.exe once more, from the same sources in a directory of its own, and fails unless
# the result has the same bytes as the one given: what we ship can be rebuilt and checked by anyone.
#   cmake -DSOURCE=dir -DWORK=dir -DEXPECTED=dialvox.exe -DGENERATOR=Ninja -DARGS="a|b|..."
#         -P CheckReproducible.cmake
# ARGS: the configure arguments of the program's own build, separated by "|".
string(REPLACE "|" ";" args "${ARGS}")
file(REMOVE_RECURSE ${WORK})
execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE} -B ${WORK} -G ${GENERATOR} ${args}
                OUTPUT_VARIABLE log ERROR_VARIABLE log RESULT_VARIABLE failed)
if(NOT failed)
  execute_process(COMMAND ${CMAKE_COMMAND} --build ${WORK} --target dialvox
                  OUTPUT_VARIABLE log ERROR_VARIABLE log RESULT_VARIABLE failed)
endif()
if(failed)
  message(FATAL_ERROR "the second build of dialvox.exe failed:\n${log}")
endif()

file(SHA256 ${EXPECTED} expected)
file(SHA256 ${WORK}/app/dialvox.exe rebuilt)
if(NOT expected STREQUAL rebuilt)
  execute_process(COMMAND cmp -l ${EXPECTED} ${WORK}/app/dialvox.exe OUTPUT_VARIABLE differences)
  string(SUBSTRING "${differences}" 0 400 differences)
  message(FATAL_ERROR "dialvox.exe built twice from the same sources differs:\n"
          "  ${EXPECTED}: ${expected}\n  ${WORK}/app/dialvox.exe: ${rebuilt}\n"
          "first differing bytes (offset, octal values):\n${differences}")
endif()
file(REMOVE_RECURSE ${WORK})
message(STATUS "dialvox.exe built twice from the same sources: the same bytes (SHA-256 ${rebuilt})")
