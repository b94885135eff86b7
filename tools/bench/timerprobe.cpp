// The least a timer-driven program can cost: a message loop and a SetTimer at a given interval,
// doing nothing on each tick but note its time; or, given a query, making that performance-data
// query and nothing else on each tick, which is what the query costs a program that sleeps between
// its ticks (caches and the wineserver are no longer warm from the query before, as they are when
// perfquery.exe makes them back to back). Prints, as "key value" lines, how many ticks came, their
// gaps and the process CPU time per tick, counted from the first tick to the last:
//   timerprobe.exe [interval_ms] [duration_ms] [query]      (defaults: 50 ms for 10 000 ms)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "tools/bench/Probe.h"

namespace {

double Percentile(std::vector<double> values, double fraction) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[static_cast<std::size_t>(fraction * (values.size() - 1) + 0.5)];
}

}  // namespace

int main(int argc, char** argv) {
  const int interval = argc > 1 ? std::atoi(argv[1]) : 50;
  const int duration = argc > 2 ? std::atoi(argv[2]) : 10000;
  const char* query = argc > 3 ? argv[3] : nullptr;
  if (interval <= 0 || duration <= 0) {
    std::fprintf(stderr, "usage: timerprobe [interval_ms] [duration_ms] [query]\n");
    return 2;
  }

  // A thread timer: no window is needed, so the probe runs with or without a display.
  const UINT_PTR timer = SetTimer(nullptr, 0, static_cast<UINT>(interval), nullptr);
  if (!timer) {
    std::fprintf(stderr, "timerprobe: SetTimer failed with error %lu\n", GetLastError());
    return 1;
  }

  std::vector<BYTE> buffer(8192);
  DWORD size = 0;
  LONG result = ERROR_SUCCESS;
  std::vector<double> tickTimes;
  tickTimes.reserve(duration / interval + 16);
  double cpuAtFirstTick = 0;
  const double wallStart = WallMs();
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (message.message != WM_TIMER || message.wParam != timer) {
      DispatchMessageA(&message);
      continue;
    }
    const double now = WallMs();
    if (tickTimes.empty()) cpuAtFirstTick = ProcessCpuMs();
    tickTimes.push_back(now);
    if (query) {
      result = QueryPerformanceData(query, buffer, size);
      if (result != ERROR_SUCCESS) break;
    }
    if (now - wallStart >= duration) break;
  }
  const double cpuMs = ProcessCpuMs() - cpuAtFirstTick;
  KillTimer(nullptr, timer);
  if (result != ERROR_SUCCESS) {
    std::fprintf(stderr, "timerprobe: the query failed with error %ld\n", result);
    return 1;
  }

  std::vector<double> gaps;
  for (std::size_t i = 1; i < tickTimes.size(); ++i) {
    gaps.push_back(tickTimes[i] - tickTimes[i - 1]);
  }
  const std::size_t intervals = gaps.size();
  std::printf("interval_ms %d\nquery %s\nticks %zu\n", interval, query ? query : "none",
              tickTimes.size());
  std::printf("gap_p50_ms %.1f\ngap_p90_ms %.1f\ngap_max_ms %.1f\n", Percentile(gaps, 0.5),
              Percentile(gaps, 0.9), intervals ? *std::max_element(gaps.begin(), gaps.end()) : 0.0);
  std::printf("cpu_ms %.1f\ncpu_ms_per_tick %.4f\n", cpuMs, intervals ? cpuMs / intervals : 0.0);
  return 0;
}
