#include "cpuusage/CpuUsage.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>

#include "cpuusage/CpuUsageOs.h"
#include "cpuusage/PerfDataWalk.h"
#include "base/Errors.h"

namespace {

constexpr DWORD kInitialPerfDataSize = 8192;
constexpr DWORD kPerfDataGrowth = 4096;
// A Processor object for thousands of processors still fits many times over; a query that keeps
// asking for more past this is broken, and growing further would only exhaust memory.
constexpr DWORD kPerfDataLimit = 16 * 1024 * 1024;
// Wine 8.0 can write up to 88 bytes past the size it is given; the buffer keeps spare room for
// that beyond the size it reports.
constexpr std::size_t kOverrunRoom = 128;

constexpr char kProcessorValueName[] = "238";
constexpr char kCpuUsageValueName[] = "KERNEL\\CPUUsage";

static_assert(sizeof(OSVERSIONINFOA) == 148);
static_assert(sizeof(PerfSystemTime) == sizeof(SYSTEMTIME));

// A key under HKEY_DYN_DATA, closed through the same operating system that opened it.
struct DynDataKeyCloser {
  CpuUsageOs* os = nullptr;
  void operator()(HKEY key) const noexcept { os->CloseKey(key); }
};
using DynDataKey = std::unique_ptr<HKEY__, DynDataKeyCloser>;

DynDataKey OpenDynDataKey(CpuUsageOs& os, const char* subKey, REGSAM access) {
  HKEY key = nullptr;
  if (os.OpenDynDataKey(subKey, access, &key) != ERROR_SUCCESS) return {};
  return DynDataKey(key, {&os});
}

struct CpuUsageState {
  explicit CpuUsageState(CpuUsageOs& system) : os(system) {}

  CpuUsageOs& os;
  bool isNtPlatform = false;

  // NT path.
  std::vector<BYTE> perfData = std::vector<BYTE>(kInitialPerfDataSize + kOverrunRoom);
  DWORD perfDataSize = kInitialPerfDataSize;
  DWORD perfDataLength = 0;  // bytes of the last answer; nothing but those is ever walked
  int processorInstances = -1;
  std::vector<std::int64_t> currentCounters;
  std::vector<std::int64_t> previousCounters;
  std::int64_t currentTime = 0;
  std::int64_t previousTime = 0;

  // 95/98 path: the statistics run while statData is open.
  DynDataKey statData;
  DWORD cpuUsageValue = 0;
};

std::unique_ptr<CpuUsageState> state;

CpuUsageState& State() {
  if (!state) throw std::logic_error("the CPU usage sampler is used before InitCpuUsage");
  return *state;
}

// Fills perfData with the answer to the query "238", growing the buffer while it is too small. A
// failure other than ERROR_MORE_DATA leaves the last answer to be walked again: its time stamp
// repeats, so the loads read 0.0 until a query succeeds.
void QueryProcessorData(CpuUsageState& s) {
  DWORD size = s.perfDataSize;
  LONG result = s.os.QueryPerformanceData(kProcessorValueName, s.perfData.data(), &size);
  while (result == ERROR_MORE_DATA) {
    if (s.perfDataSize >= kPerfDataLimit) {
      throw Error("The performance data does not fit in 16 MiB");
    }
    s.perfDataSize += kPerfDataGrowth;
    s.perfData.resize(s.perfDataSize + kOverrunRoom);
    size = s.perfDataSize;
    result = s.os.QueryPerformanceData(kProcessorValueName, s.perfData.data(), &size);
  }
  if (result == ERROR_SUCCESS) s.perfDataLength = std::min(size, s.perfDataSize);
}

std::int64_t FileTimeOf(const PerfSystemTime& time) {
  SYSTEMTIME system;
  std::memcpy(&system, &time, sizeof system);
  FILETIME file{};
  SystemTimeToFileTime(&system, &file);
  return static_cast<std::int64_t>(static_cast<std::uint64_t>(file.dwHighDateTime) << 32 |
                                   file.dwLowDateTime);
}

void SampleNt(CpuUsageState& s) {
  QueryProcessorData(s);
  const PerfBytes block(s.perfData.data(), s.perfDataLength);
  const auto processor = FindPerfObject(block, kProcessorObjectTitle);
  if (!processor) throw Error("Unable to locate the \"Processor\" performance object");

  // The count of the first sample holds for the whole run, even when the counter is missing then.
  if (s.processorInstances < 0) {
    s.processorInstances = processor->instanceCount;
    s.currentCounters.assign(s.processorInstances, 0);
    s.previousCounters.assign(s.processorInstances, 0);
  }

  const auto counterOffset = FindCounterOffset(block, *processor, kCpuUsageCounterTitle);
  // The new values go over the previous ones, which are done with; a failed read leaves them.
  if (!counterOffset ||
      !ReadInstanceCounters(block, *processor, *counterOffset, s.previousCounters)) {
    throw Error("Unable to locate the \"% of CPU usage\" performance counter");
  }
  s.currentCounters.swap(s.previousCounters);

  s.previousTime = s.currentTime;
  s.currentTime = FileTimeOf(ReadPerfDataBlock(block)->SystemTime);
}

double NtLoadFraction(CpuUsageState& s, int index) {
  if (s.processorInstances < 0) SampleNt(s);
  if (index < 0 || index >= s.processorInstances) throw Error("CPU index out of bounds");
  if (s.previousTime == s.currentTime) return 0.0;
  // Two's-complement differences: a counter or clock that wrapped still gives the true step.
  const auto delta = [](std::int64_t now, std::int64_t before) {
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(now) -
                                     static_cast<std::uint64_t>(before));
  };
  const long double idle = delta(s.currentCounters[index], s.previousCounters[index]);
  const long double elapsed = delta(s.currentTime, s.previousTime);
  return static_cast<double>(1.0L - idle / elapsed);
}

void ReadCpuUsageValue(CpuUsageState& s, HKEY key) {
  DWORD size = sizeof s.cpuUsageValue;
  s.os.QueryValue(key, kCpuUsageValueName, reinterpret_cast<BYTE*>(&s.cpuUsageValue), &size);
}

void SampleDynData(CpuUsageState& s) {
  if (!s.statData) {
    {
      // Reading the statistic under StartStat is what starts it.
      const DynDataKey start = OpenDynDataKey(s.os, "PerfStats\\StartStat", KEY_ALL_ACCESS);
      if (!start) throw Error("Unable to start performance monitoring");
      ReadCpuUsageValue(s, start.get());
    }
    s.statData = OpenDynDataKey(s.os, "PerfStats\\StatData", KEY_READ);
    if (!s.statData) throw Error("Unable to read performance data");
  }
  ReadCpuUsageValue(s, s.statData.get());
}

double DynDataLoadFraction(CpuUsageState& s, int index) {
  if (index != 0) throw Error("CPU index out of bounds");
  if (!s.statData) SampleDynData(s);
  return static_cast<double>(static_cast<long double>(s.cpuUsageValue) / 100.0L);
}

}  // namespace

void InitCpuUsage() { InitCpuUsage(SystemCpuUsageOs()); }

void InitCpuUsage(CpuUsageOs& os) {
  FinalizeCpuUsage();
  auto fresh = std::make_unique<CpuUsageState>(os);
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  if (!os.QueryVersion(&version)) throw Error("Can't get the Windows version");
  fresh->isNtPlatform = version.dwPlatformId == VER_PLATFORM_WIN32_NT;
  state = std::move(fresh);
}

void FinalizeCpuUsage() noexcept {
  StopCpuMonitoring();
  state.reset();
}

void SampleCpuTimes() {
  CpuUsageState& s = State();
  if (s.isNtPlatform) {
    SampleNt(s);
  } else {
    SampleDynData(s);
  }
}

int CpuInstanceCount() {
  CpuUsageState& s = State();
  if (!s.isNtPlatform) return 1;
  if (s.processorInstances < 0) SampleNt(s);
  return s.processorInstances;
}

double CpuLoadFraction(int index) {
  CpuUsageState& s = State();
  return s.isNtPlatform ? NtLoadFraction(s, index) : DynDataLoadFraction(s, index);
}

void StopCpuMonitoring() noexcept {
  if (!state || state->isNtPlatform || !state->statData) return;
  CpuUsageState& s = *state;
  s.statData.reset();
  // Reading the statistic under StopStat is what stops it; without the key there is nothing to stop.
  const DynDataKey stop = OpenDynDataKey(s.os, "PerfStats\\StopStat", KEY_ALL_ACCESS);
  if (stop) ReadCpuUsageValue(s, stop.get());
}
