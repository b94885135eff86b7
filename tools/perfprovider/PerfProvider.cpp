// dvxperf.dll: a performance extension (the V1 Open/Collect/Close kind) that gives Wine's
// HKEY_PERFORMANCE_DATA the Processor object, with each processor's real idle time, which Wine
// itself does not report. Wine loads, opens, collects, closes and frees the DLL on every query:
// it starts no C runtime, keeps no state and does work only for queries that ask for the object,
// and it pins itself at its first load, so that the later loads and frees only count a reference.
#include <windows.h>
#include <winternl.h>

#include "tools/perfprovider/ObjectPlacement.h"
#include "tools/perfprovider/ProcessorObject.h"
#include "tools/perfprovider/ProcessorQuery.h"

using namespace dvxperf;

extern "C" {

// The entry point itself (there is no C runtime to start in front of it). Pinned at its first
// load: mapping the file, binding its imports and unmapping it again on every query of the
// program's every tick is most of what the provider costs.
BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
  HMODULE pinned = nullptr;
  if (reason == DLL_PROCESS_ATTACH) {
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_PIN | GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                       reinterpret_cast<LPCWSTR>(self), &pinned);
  }
  return TRUE;
}

__declspec(dllexport) DWORD WINAPI PerfOpen(LPWSTR) { return ERROR_SUCCESS; }

__declspec(dllexport) DWORD WINAPI PerfClose() { return ERROR_SUCCESS; }

__declspec(dllexport) DWORD WINAPI PerfCollect(LPWSTR query, LPVOID* data, LPDWORD size, LPDWORD objects) {
  const DWORD room = *size;
  *size = 0;
  *objects = 0;
  if (!AsksForProcessor(query)) return ERROR_SUCCESS;

  SYSTEM_PROCESSOR_PERFORMANCE_INFORMATION cpus[MaxCpus];
  ULONG filled = 0;
  if (!NT_SUCCESS(NtQuerySystemInformation(SystemProcessorPerformanceInformation, cpus, sizeof cpus, &filled)))
    return ERROR_SUCCESS;
  const DWORD cpuCount = filled / sizeof cpus[0];
  if (cpuCount == 0) return ERROR_SUCCESS;

  const DWORD bytes = ProcessorObjectSize(cpuCount);
  if (bytes > room) return ERROR_MORE_DATA;
  WriteProcessorObject(WhereConsumerLooks(static_cast<BYTE*>(*data)), cpus, cpuCount);
  // The host moves on by what Collect reports, from the pointer it handed over, wherever the
  // object went.
  *data = static_cast<BYTE*>(*data) + bytes;
  *size = bytes;
  *objects = 1;
  return ERROR_SUCCESS;
}

}  // extern "C"
