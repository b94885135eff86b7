#include "counters/RealCounters.h"

#include <windows.h>

#include <cstdio>

#include "cpuusage/CpuUsage.h"
#include "base/Errors.h"
#include "base/SystemFunction.h"

namespace {

// The memory figures of the last refresh. Zero until the first refresh.
MemoryFigures memStatus{};

// GlobalMemoryStatus clamps its 32-bit figures (to 2 GB, or to 0xFFFFFFFF above 4 GB), so a
// machine of today would show 0 % physical load. GlobalMemoryStatusEx gives 64-bit figures; the
// 95/98 family lacks it.
MemoryFigures ReadMemoryFigures() {
  static const auto globalMemoryStatusEx =
      FindSystemFunction<decltype(&GlobalMemoryStatusEx)>("kernel32.dll", "GlobalMemoryStatusEx");
  if (globalMemoryStatusEx) {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    if (globalMemoryStatusEx(&status)) return MemoryFiguresOf(status);
  }
  MEMORYSTATUS status{};
  GlobalMemoryStatus(&status);
  return MemoryFiguresOf(status);
}

}  // namespace

MemoryFigures MemoryFiguresOf(const MEMORYSTATUSEX& status) {
  return {status.ullAvailPhys,    status.ullTotalPhys,     status.ullAvailVirtual,
          status.ullTotalVirtual, status.ullAvailPageFile, status.ullTotalPageFile};
}

MemoryFigures MemoryFiguresOf(const MEMORYSTATUS& status) {
  return {status.dwAvailPhys,    status.dwTotalPhys,     status.dwAvailVirtual,
          status.dwTotalVirtual, status.dwAvailPageFile, status.dwTotalPageFile};
}

TCPUCounter::TCPUCounter(int index, int count) : InstanceIndex(index), InstanceCount(count) {}

std::string TCPUCounter::GetName() const {
  if (InstanceCount <= 1) return "Загрузка CPU";
  // On the NT path the last instance stands for all processors together.
  if (InstanceIndex == InstanceCount - 1) return "Загрузка CPU (все)";
  char name[32];
  std::snprintf(name, sizeof name, "Загрузка CPU %d", InstanceIndex + 1);
  return name;
}

long double TCPUCounter::GetValue() const {
  const long double percent = CpuLoadFraction(InstanceIndex) * 100.0L;
  if (!(percent >= 0)) return 0;  // NaN as well
  if (percent > 100) return 100;
  return percent;
}

std::string TMemLoadCounter::GetName() const { return "Загрузка физ. памяти"; }
long double TMemLoadCounter::GetValue() const {
  return LoadPercent(memStatus.availPhys, memStatus.totalPhys);
}

std::string TVirtLoadCounter::GetName() const { return "Загрузка вирт. памяти"; }
long double TVirtLoadCounter::GetValue() const {
  return LoadPercent(memStatus.availVirtual, memStatus.totalVirtual);
}

std::string TSwapLoadCounter::GetName() const { return "Загрузка swap"; }
long double TSwapLoadCounter::GetValue() const {
  return LoadPercent(memStatus.availPageFile, memStatus.totalPageFile);
}

long double LoadPercent(std::uint64_t avail, std::uint64_t total) {
  // The FPU runs with its exceptions masked; a zero total is refused here instead of becoming an
  // infinity or a NaN on the device.
  if (total == 0) {
    throw Error(avail == 0 ? "Invalid floating point operation" : "Floating point division by zero");
  }
  // Both convert exactly: the extended format holds any 64-bit integer.
  return (1.0L - static_cast<long double>(avail) / static_cast<long double>(total)) * 100.0L;
}

void RefreshLoadData() { RefreshLoadData(ReadMemoryFigures()); }

void RefreshLoadData(const MemoryFigures& memory) {
  memStatus = memory;
  SampleCpuTimes();
}

void RegisterLoadCounters() {
  SampleCpuTimes();
  const int instances = CpuInstanceCount();
  for (int i = 0; i < instances; ++i) RegisterCounter(new TCPUCounter(i, instances));
  RegisterCounter(new TMemLoadCounter);
  RegisterCounter(new TVirtLoadCounter);
  RegisterCounter(new TSwapLoadCounter);
}
