#include "counters/RealCounters.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "counters/RegionalSettings.h"
#include "cpuusage/CpuUsage.h"
#include "tests/cpuusage/FakeCpuUsageOs.h"
#include "tests/cpuusage/SyntheticSamples.h"
#include "base/Errors.h"

namespace {

using ::testing::ElementsAreArray;
using ::testing::StrEq;
using ::testing::ThrowsMessage;

constexpr std::uint64_t kGiB = 1ull << 30;

TEST(LoadPercent, IsTheShareNotAvailableInPercent) {
  const struct {
    std::uint64_t avail, total;
    long double percent;
  } cases[] = {
      {25, 100, 75},
      {100, 100, 0},
      {0, 100, 100},
      {200, 100, -100},  // not clamped
      // Figures of 2 GiB and more are large positive numbers, not negative ones.
      {3 * kGiB, 3 * kGiB, 0},
      {2 * kGiB, 4 * kGiB, 50},
      {0xFFFFFFFF, 0xFFFFFFFF, 0},
      {4 * kGiB, 16 * kGiB, 75},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LoadPercent(c.avail, c.total), c.percent) << c.avail << " of " << c.total;
  }
  EXPECT_NEAR(static_cast<double>(LoadPercent(1 * kGiB, 3 * kGiB)), 200.0 / 3, 1e-12);
}

TEST(LoadPercent, ZeroTotalIsAnError) {
  EXPECT_THAT([] { LoadPercent(5, 0); }, ThrowsMessage<Error>(StrEq("Floating point division by zero")));
  EXPECT_THAT([] { LoadPercent(0, 0); }, ThrowsMessage<Error>(StrEq("Invalid floating point operation")));
}

TEST(TCPUCounter, NameTellsTheProcessorAndTheTotal) {
  const struct {
    int index, count;
    const char* name;
  } cases[] = {{0, 1, "Загрузка CPU"},
               {0, 2, "Загрузка CPU 1"},
               {1, 2, "Загрузка CPU (все)"},
               {3, 5, "Загрузка CPU 4"},
               {4, 5, "Загрузка CPU (все)"}};
  for (const auto& c : cases) EXPECT_EQ(TCPUCounter(c.index, c.count).GetName(), c.name);
}

class LoadCounters : public ::testing::Test {
 protected:
  void SetUp() override {
    InitRegionalSettings();
    InitCounters();
  }
  void TearDown() override {
    FinalizeCpuUsage();
    FinalizeCounters();
  }
  std::vector<std::string> CatalogueNames() {
    std::vector<std::string> names;
    for (int i = 0; i < CounterCount(); ++i) names.push_back(CounterByIndex(i)->GetName());
    return names;
  }
  FakeCpuUsageOs os;
};

TEST_F(LoadCounters, CpuValueIsTheLoadInPercentClampedToZeroToHundred) {
  constexpr std::int64_t elapsed = 80 * kTicksPerMs;
  // Loads 0.125, -0.05, 1.2, 1.0 and 0.0.
  os.AddBlock(ProcessorSample({0, 0, 0, 0, 0}, 0));
  os.AddBlock(ProcessorSample(
      {elapsed * 7 / 8, elapsed + elapsed / 20, -elapsed / 5, 0, elapsed}, 80));
  InitCpuUsage(os);
  SampleCpuTimes();
  SampleCpuTimes();
  const long double expected[] = {12.5L, 0, 100, 100, 0};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(TCPUCounter(i, 5).GetValue(), expected[i]) << i;

  const TCPUCounter eighth(0, 5);
  EXPECT_EQ(eighth.GetByte(), 32);
  EXPECT_EQ(eighth.GetText(), "12,50 %");
  EXPECT_THAT([] { TCPUCounter(5, 5).GetText(); }, ThrowsMessage<Error>(StrEq("CPU index out of bounds")));
}

TEST_F(LoadCounters, CatalogueHoldsOneCpuCounterPerInstanceThenTheMemoryCounters) {
  const std::vector<std::string> memory = {"Загрузка физ. памяти", "Загрузка вирт. памяти",
                                           "Загрузка swap"};
  const auto with = [&](std::vector<std::string> names) {
    names.insert(names.begin(), "Не используется");
    names.insert(names.end(), memory.begin(), memory.end());
    return names;
  };

  os.AddBlock(ProcessorSample({0, 0, 0, 0, 0}, 0));
  InitCpuUsage(os);
  RegisterLoadCounters();
  EXPECT_THAT(CatalogueNames(),
              ElementsAreArray(with({"Загрузка CPU 1", "Загрузка CPU 2", "Загрузка CPU 3",
                                     "Загрузка CPU 4", "Загрузка CPU (все)"})));
  EXPECT_EQ(os.querySizes.size(), 1u);

  InitCounters();
  os.platformId = VER_PLATFORM_WIN32_WINDOWS;
  os.dynData = {{"PerfStats\\StartStat", 0}, {"PerfStats\\StatData", 0}};
  InitCpuUsage(os);
  RegisterLoadCounters();
  EXPECT_THAT(CatalogueNames(), ElementsAreArray(with({"Загрузка CPU"})));

  InitCounters();
  os.platformId = VER_PLATFORM_WIN32_NT;
  os.blocks = {ProcessorSample({}, 0)};
  InitCpuUsage(os);
  RegisterLoadCounters();
  EXPECT_THAT(CatalogueNames(), ElementsAreArray(with({})));
}

TEST_F(LoadCounters, RefreshReadsTheMemoryFiguresAndTakesACpuSample) {
  os.AddBlock(ProcessorSample({0}, 0));
  InitCpuUsage(os);
  RegisterLoadCounters();
  RefreshLoadData();
  EXPECT_EQ(os.querySizes.size(), 2u);

  // Something always occupies physical memory: a load of 0 means clamped 32-bit figures.
  const long double physical = TMemLoadCounter().GetValue();
  EXPECT_GT(physical, 0);
  EXPECT_LE(physical, 100);
  for (const long double load : {TVirtLoadCounter().GetValue(), TSwapLoadCounter().GetValue()}) {
    EXPECT_GE(load, 0);
    EXPECT_LE(load, 100);
  }

  // Each counter reads its own two fields, from either form of the system's status: every figure
  // differs from the others, so any mix-up of fields changes a load.
  MEMORYSTATUSEX extended{};
  extended.ullAvailPhys = 3 * kGiB, extended.ullTotalPhys = 4 * kGiB;
  extended.ullAvailVirtual = 5 * kGiB, extended.ullTotalVirtual = 10 * kGiB;
  extended.ullAvailPageFile = 4 * kGiB, extended.ullTotalPageFile = 16 * kGiB;
  MEMORYSTATUS classic{};
  classic.dwAvailPhys = 300, classic.dwTotalPhys = 400;
  classic.dwAvailVirtual = 500, classic.dwTotalVirtual = 1000;
  classic.dwAvailPageFile = 200, classic.dwTotalPageFile = 800;
  for (const MemoryFigures& figures : {MemoryFiguresOf(extended), MemoryFiguresOf(classic)}) {
    RefreshLoadData(figures);
    EXPECT_EQ(TMemLoadCounter().GetValue(), 25);
    EXPECT_EQ(TVirtLoadCounter().GetValue(), 50);
    EXPECT_EQ(TSwapLoadCounter().GetValue(), 75);
  }
}

}  // namespace
