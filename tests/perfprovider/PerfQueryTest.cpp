// The provider as the program meets it: registered in the test prefix and reached through
// RegQueryValueExA(HKEY_PERFORMANCE_DATA), Wine 8.0's misplaced provider pointer included.
#include <windows.h>
#include <winternl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "tests/perfprovider/PerfDataReader.h"

namespace {

constexpr DWORD ProcessorIndex = 238;
constexpr LONGLONG Ms = 10000;  // in 100 ns units

LONG Query(const char* name, std::vector<BYTE>& buffer) {
  DWORD size = static_cast<DWORD>(buffer.size());
  const LONG result = RegQueryValueExA(HKEY_PERFORMANCE_DATA, name, nullptr, nullptr, buffer.data(), &size);
  if (result == ERROR_SUCCESS) buffer.resize(size);
  return result;
}

// Grows the buffer in the sampler's steps until the data fits.
std::vector<BYTE> QueryData(const char* name) {
  std::vector<BYTE> buffer(4096);
  LONG result;
  while ((result = Query(name, buffer)) == ERROR_MORE_DATA) buffer.resize(buffer.size() + 4096);
  EXPECT_EQ(result, ERROR_SUCCESS);
  return buffer;
}

struct ProcessorSample {
  LONGLONG time;  // the block's SystemTime
  std::vector<ProcessorInstance> instances;
};

std::optional<ProcessorObjectReading> ReadProcessors(const std::vector<BYTE>& data) {
  const PERF_OBJECT_TYPE* object = FindObject(data, ProcessorIndex);
  if (!object) {
    ADD_FAILURE() << "no Processor object in " << data.size() << " bytes";
    return std::nullopt;
  }
  const auto* start = reinterpret_cast<const BYTE*>(object);
  return ReadProcessorObject(start, data.data() + data.size() - start);
}

ProcessorSample SampleProcessors() {
  const std::vector<BYTE> data = QueryData("238");
  const auto reading = ReadProcessors(data);
  FILETIME time;
  SystemTimeToFileTime(&reinterpret_cast<const PERF_DATA_BLOCK*>(data.data())->SystemTime, &time);
  return {static_cast<LONGLONG>((ULONGLONG{time.dwHighDateTime} << 32) | time.dwLowDateTime),
          reading ? reading->instances : std::vector<ProcessorInstance>{}};
}

std::vector<LONGLONG> IdleTimesNow() {
  SYSTEM_PROCESSOR_PERFORMANCE_INFORMATION cpus[64];
  ULONG filled = 0;
  EXPECT_TRUE(NT_SUCCESS(NtQuerySystemInformation(SystemProcessorPerformanceInformation, cpus, sizeof cpus, &filled)));
  std::vector<LONGLONG> idle;
  for (ULONG i = 0; i < filled / sizeof cpus[0]; ++i) idle.push_back(cpus[i].IdleTime.QuadPart);
  return idle;
}

LONGLONG Average(const std::vector<LONGLONG>& values) {
  LONGLONG sum = 0;
  for (LONGLONG v : values) sum += v;
  return sum / static_cast<LONGLONG>(values.size());
}

std::string WindowsPath(std::string path) {
  std::replace(path.begin(), path.end(), '/', '\\');
  return "Z:" + path;
}

}  // namespace

TEST(PerfQuery, ProviderRegisteredIsTheOneBuiltHere) {
  char library[MAX_PATH] = {};
  DWORD size = sizeof library;
  ASSERT_EQ(RegGetValueA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Services\\DialvoxPerf\\Performance",
                         "Library", RRF_RT_REG_SZ, nullptr, library, &size),
            ERROR_SUCCESS)
      << "the test prefix has no DialvoxPerf provider";
  EXPECT_STRCASEEQ(library, WindowsPath(DVXPERF_DLL).c_str());
}

TEST(PerfQuery, ProcessorObjectHasEveryProcessorThenTotal) {
  const std::vector<BYTE> data = QueryData("238");
  EXPECT_EQ(reinterpret_cast<const PERF_DATA_BLOCK*>(data.data())->TotalByteLength, data.size());
  const auto reading = ReadProcessors(data);
  ASSERT_TRUE(reading);
  EXPECT_EQ(reading->counterType, static_cast<DWORD>(PERF_100NSEC_TIMER_INV));

  SYSTEM_INFO system;
  GetSystemInfo(&system);
  const auto& instances = reading->instances;
  ASSERT_EQ(instances.size(), system.dwNumberOfProcessors + 1);
  std::vector<LONGLONG> perCpu;
  for (size_t i = 0; i + 1 < instances.size(); ++i) {
    EXPECT_EQ(instances[i].name, std::to_wstring(i));
    perCpu.push_back(instances[i].idleTime);
  }
  EXPECT_EQ(instances.back().name, L"_Total");
  EXPECT_EQ(instances.back().idleTime, Average(perCpu));
}

// Two samples 200 ms apart: every instance's idle time lies between the system's own readings
// taken around them, and grows by no more than the time that passed, in 100 ns units.
TEST(PerfQuery, IdleTimesAreTheSystemsAndGrowWithinElapsedTime) {
  const std::vector<LONGLONG> before = IdleTimesNow();
  const ProcessorSample first = SampleProcessors();
  Sleep(200);
  const ProcessorSample second = SampleProcessors();
  const std::vector<LONGLONG> after = IdleTimesNow();
  ASSERT_EQ(first.instances.size(), before.size() + 1);
  ASSERT_EQ(second.instances.size(), first.instances.size());

  const LONGLONG elapsed = second.time - first.time;
  EXPECT_GE(elapsed, 190 * Ms);
  // The idle times come in 10 ms ticks and the time stamp is taken after them.
  const LONGLONG tolerance = 20 * Ms;
  for (size_t i = 0; i < first.instances.size(); ++i) {
    SCOPED_TRACE(testing::Message() << "instance " << i);
    const bool total = i == before.size();
    EXPECT_GE(first.instances[i].idleTime, total ? Average(before) : before[i]);
    EXPECT_LE(second.instances[i].idleTime, total ? Average(after) : after[i]);
    const LONGLONG grown = second.instances[i].idleTime - first.instances[i].idleTime;
    EXPECT_GE(grown, 0);
    EXPECT_LE(grown, elapsed + tolerance);
  }
}

TEST(PerfQuery, OnlyQueriesNamingProcessorGetIt) {
  const struct {
    const char* query;
    bool answered;
  } cases[] = {
      {"238", true},   {"Global", true},  {"global", true}, {"", true},         {"2 238 4", true},
      {" 238 ", true}, {"0238", true},    {"2", false},     {"2380", false},    {"1238", false},
      {"23", false},   {"238x", false},   {"2 4", false},   {"Costly", false},  {"99999999999238", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << '"' << c.query << '"');
    const std::vector<BYTE> data = QueryData(c.query);
    EXPECT_EQ(FindObject(data, ProcessorIndex) != nullptr, c.answered);
  }
}

// One byte short of the answer asks for more, and the sampler's grown buffer then gets it; the
// exact size fits without a byte written past it, which a provider trusting Wine 8.0's pointer
// would overrun.
TEST(PerfQuery, BufferTooSmallAsksForMoreAndExactSizeFits) {
  const size_t needed = QueryData("238").size();
  std::vector<BYTE> buffer(needed - 1);
  ASSERT_EQ(Query("238", buffer), ERROR_MORE_DATA);
  buffer.resize(buffer.size() + 4096);
  ASSERT_EQ(Query("238", buffer), ERROR_SUCCESS);
  EXPECT_NE(FindObject(buffer, ProcessorIndex), nullptr);

  constexpr BYTE Guard = 0xA5;
  buffer.assign(needed + 128, Guard);
  DWORD size = static_cast<DWORD>(needed);
  ASSERT_EQ(RegQueryValueExA(HKEY_PERFORMANCE_DATA, "238", nullptr, nullptr, buffer.data(), &size), ERROR_SUCCESS);
  EXPECT_EQ(size, needed);
  EXPECT_TRUE(std::all_of(buffer.begin() + needed, buffer.end(), [](BYTE b) { return b == Guard; }))
      << "bytes written past the buffer";
}
