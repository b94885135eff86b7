// Times bare queries of HKEY_PERFORMANCE_DATA the way the sampler makes them, and prints the wall
// and process CPU time each query costs, as "key value" lines:
//   perfquery.exe [count] [query]      (defaults: 100 queries of "238")
#include <windows.h>
#include <winperf.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "tools/bench/Probe.h"

int main(int argc, char** argv) {
  const int count = argc > 1 ? std::atoi(argv[1]) : 100;
  const char* query = argc > 2 ? argv[2] : "238";
  if (count <= 0) {
    std::fprintf(stderr, "usage: perfquery [count] [query]\n");
    return 2;
  }

  std::vector<BYTE> buffer(8192);
  DWORD size = 0;
  LONG result = ERROR_SUCCESS;
  const double wallStart = WallMs();
  const double cpuStart = ProcessCpuMs();
  for (int i = 0; i < count && result == ERROR_SUCCESS; ++i) {
    result = QueryPerformanceData(query, buffer, size);
  }
  const double cpuMs = ProcessCpuMs() - cpuStart;
  const double wallMs = WallMs() - wallStart;
  RegCloseKey(HKEY_PERFORMANCE_DATA);
  if (result != ERROR_SUCCESS) {
    std::fprintf(stderr, "perfquery: the query failed with error %ld\n", result);
    return 1;
  }

  const auto* block = reinterpret_cast<const PERF_DATA_BLOCK*>(buffer.data());
  std::printf("queries %d\nquery %s\nbytes %lu\nobjects %lu\n", count, query, size, block->NumObjectTypes);
  std::printf("wall_ms_per_query %.3f\ncpu_ms_per_query %.3f\n", wallMs / count, cpuMs / count);
  return 0;
}
