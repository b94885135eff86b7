// What the timing probes share: the clocks they read and the performance-data query they time.
#pragma once

#include <windows.h>

#include <vector>

// CPU time of every thread of this process so far; under Wine in whole clock ticks (10 ms).
double ProcessCpuMs();

// A monotonic wall clock.
double WallMs();

// Queries HKEY_PERFORMANCE_DATA for `query` the way the sampler does: `buffer` grows in the
// sampler's steps while the answer does not fit, and stays grown. Sets `size` to the answer's size.
LONG QueryPerformanceData(const char* query, std::vector<BYTE>& buffer, DWORD& size);
