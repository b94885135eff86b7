// The Processor performance object: one instance per processor and "_Total", each with the
// processor's idle time as counter 6, which a consumer turns into load as 1 - Δidle / Δtime.
#pragma once

#include <windows.h>
#include <winternl.h>

namespace dvxperf {

// Processors one query reports at most. Windows shows a 32-bit process no more than 32; Wine may
// show it every processor of the host. 64 records still fit the stack without probing it.
constexpr DWORD MaxCpus = 64;

// Bytes the object takes for cpuCount processors: a multiple of 8, like every record in it.
DWORD ProcessorObjectSize(DWORD cpuCount);

// Lays the object out at `at`, which has ProcessorObjectSize(cpuCount) bytes of room.
void WriteProcessorObject(BYTE* at, const SYSTEM_PROCESSOR_PERFORMANCE_INFORMATION* cpus, DWORD cpuCount);

}  // namespace dvxperf
