// The NT path through the real HKEY_PERFORMANCE_DATA. Wine answers with the Processor object only
// when our performance provider (dvxperf.dll) is registered in the test prefix.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

#include "cpuusage/CpuUsage.h"

namespace {

// Keeps this thread busy, so there is load to see.
void Spin(DWORD milliseconds) {
  const DWORD start = GetTickCount();
  volatile unsigned long sink = 0;
  while (GetTickCount() - start < milliseconds) sink = sink + 1;
}

TEST(LivePerformanceData, TwoSamplesGiveLoadsBetweenZeroAndOne) {
  InitCpuUsage();
  SampleCpuTimes();
  const int instances = CpuInstanceCount();
  ASSERT_GE(instances, 2) << "one instance per processor and one for all of them";
  Spin(400);
  SampleCpuTimes();

  double busiest = 0.0;
  for (int i = 0; i < instances; ++i) {
    const double load = CpuLoadFraction(i);
    EXPECT_GE(load, 0.0) << i;
    EXPECT_LE(load, 1.0) << i;
    busiest = std::max(busiest, load);
  }
  EXPECT_GT(busiest, 0.0) << "this thread kept a processor busy";
  FinalizeCpuUsage();
}

}  // namespace
