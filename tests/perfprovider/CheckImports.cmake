# Wine loads the provider on every performance query: it may import from kernel32 and ntdll only
# (no C runtime DLL to start), and must export its entry points under their plain names.
#   cmake -DOBJDUMP=... -DDLL=... -P CheckImports.cmake
execute_process(COMMAND ${OBJDUMP} -p ${DLL} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${OBJDUMP} -p ${DLL} failed")
endif()
string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
foreach(import IN LISTS imports)
  string(TOLOWER "${import}" import)
  if(NOT import MATCHES "^dll name: (kernel32|ntdll)\\.dll$")
    message(FATAL_ERROR "dvxperf.dll imports from something else: ${import}")
  endif()
endforeach()
foreach(entry PerfOpen PerfCollect PerfClose)
  if(NOT dump MATCHES "\\] ${entry}\n")
    message(FATAL_ERROR "dvxperf.dll does not export ${entry} undecorated")
  endif()
endforeach()
