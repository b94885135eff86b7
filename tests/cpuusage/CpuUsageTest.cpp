#include "cpuusage/CpuUsage.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>
#include <winperf.h>

#include <cstddef>
#include <limits>
#include <string>
#include <vector>

#include "tests/cpuusage/FakeCpuUsageOs.h"
#include "tests/cpuusage/SyntheticSamples.h"
#include "base/Errors.h"

// The walk's own layouts are the platform's.
static_assert(sizeof(PerfDataBlock) == sizeof(PERF_DATA_BLOCK));
static_assert(offsetof(PerfDataBlock, HeaderLength) == offsetof(PERF_DATA_BLOCK, HeaderLength));
static_assert(offsetof(PerfDataBlock, NumObjectTypes) == offsetof(PERF_DATA_BLOCK, NumObjectTypes));
static_assert(offsetof(PerfDataBlock, SystemTime) == offsetof(PERF_DATA_BLOCK, SystemTime));
static_assert(sizeof(PerfObjectType) == sizeof(PERF_OBJECT_TYPE));
static_assert(offsetof(PerfObjectType, DefinitionLength) ==
              offsetof(PERF_OBJECT_TYPE, DefinitionLength));
static_assert(offsetof(PerfObjectType, HeaderLength) == offsetof(PERF_OBJECT_TYPE, HeaderLength));
static_assert(offsetof(PerfObjectType, ObjectNameTitleIndex) ==
              offsetof(PERF_OBJECT_TYPE, ObjectNameTitleIndex));
static_assert(offsetof(PerfObjectType, NumCounters) == offsetof(PERF_OBJECT_TYPE, NumCounters));
static_assert(offsetof(PerfObjectType, NumInstances) == offsetof(PERF_OBJECT_TYPE, NumInstances));
static_assert(sizeof(PerfCounterDefinition) == sizeof(PERF_COUNTER_DEFINITION));
static_assert(offsetof(PerfCounterDefinition, CounterNameTitleIndex) ==
              offsetof(PERF_COUNTER_DEFINITION, CounterNameTitleIndex));
static_assert(offsetof(PerfCounterDefinition, CounterOffset) ==
              offsetof(PERF_COUNTER_DEFINITION, CounterOffset));
static_assert(sizeof(PerfInstanceDefinition) == sizeof(PERF_INSTANCE_DEFINITION));
static_assert(sizeof(PerfCounterBlock) == sizeof(PERF_COUNTER_BLOCK));

namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::StrEq;
using ::testing::ThrowsMessage;

const char kNoProcessor[] = "Unable to locate the \"Processor\" performance object";
const char kNoCounter[] = "Unable to locate the \"% of CPU usage\" performance counter";
const char kOutOfBounds[] = "CPU index out of bounds";

class CpuUsageTest : public ::testing::Test {
 protected:
  void TearDown() override { FinalizeCpuUsage(); }
  FakeCpuUsageOs os;
};

using NtCpuUsage = CpuUsageTest;

TEST_F(NtCpuUsage, VersionQueryFailureStopsStartUp) {
  os.versionResult = FALSE;
  EXPECT_THAT([&] { InitCpuUsage(os); }, ThrowsMessage<Error>(StrEq("Can't get the Windows version")));
}

TEST_F(NtCpuUsage, LoadIsTheShareOfElapsedTimeNotSpentIdle) {
  constexpr std::int64_t elapsed = 100 * kTicksPerMs;
  constexpr std::int64_t base = 5'000'000'000'000;
  constexpr std::int64_t nearWrap = std::numeric_limits<std::int64_t>::max() - elapsed / 8;
  struct Case {
    std::int64_t before, idle;
    double load;
  };
  const Case cases[] = {
      {base, elapsed / 4, 0.75},
      {base, 0, 1.0},
      {base, elapsed, 0.0},
      {base, elapsed + elapsed / 20, -0.05},  // not clamped here
      {base, -elapsed / 5, 1.2},
      {nearWrap, elapsed / 4, 0.75},  // a count that wraps past the 64-bit maximum
  };
  std::vector<std::int64_t> before, after;
  for (const Case& c : cases) {
    before.push_back(c.before);
    after.push_back(static_cast<std::int64_t>(static_cast<std::uint64_t>(c.before) + c.idle));
  }
  os.AddBlock(ProcessorSample(before, 0));
  os.AddBlock(ProcessorSample(after, 100));
  InitCpuUsage(os);
  SampleCpuTimes();
  SampleCpuTimes();

  ASSERT_EQ(CpuInstanceCount(), 6);
  for (int i = 0; i < 6; ++i) EXPECT_DOUBLE_EQ(CpuLoadFraction(i), cases[i].load) << i;
  EXPECT_THAT([] { CpuLoadFraction(-1); }, ThrowsMessage<Error>(StrEq(kOutOfBounds)));
  EXPECT_THAT([] { CpuLoadFraction(6); }, ThrowsMessage<Error>(StrEq(kOutOfBounds)));
}

TEST_F(NtCpuUsage, EqualTimeStampsGiveNoLoad) {
  os.AddBlock(ProcessorSample({1000, 2000}, 250));
  os.AddBlock(ProcessorSample({9000, 2000}, 250));
  InitCpuUsage(os);
  SampleCpuTimes();
  SampleCpuTimes();
  EXPECT_EQ(CpuLoadFraction(0), 0.0);
  EXPECT_EQ(CpuLoadFraction(1), 0.0);
}

TEST_F(NtCpuUsage, FirstQuestionTakesTheFirstSample) {
  os.AddBlock(ProcessorSample({1, 2, 3}, 0));
  InitCpuUsage(os);
  EXPECT_EQ(CpuInstanceCount(), 3);
  EXPECT_EQ(os.querySizes.size(), 1u);

  FinalizeCpuUsage();
  InitCpuUsage(os);
  CpuLoadFraction(0);
  EXPECT_EQ(os.querySizes.size(), 2u);
  EXPECT_EQ(CpuInstanceCount(), 3);
  EXPECT_EQ(os.querySizes.size(), 2u);
}

TEST_F(NtCpuUsage, TheInstanceCountOfTheFirstSampleHolds) {
  os.AddBlock(ProcessorSample({0, 0}, 0));
  os.AddBlock(ProcessorSample({50 * kTicksPerMs, 25 * kTicksPerMs, 0, 0}, 100));
  InitCpuUsage(os);
  SampleCpuTimes();
  SampleCpuTimes();
  EXPECT_EQ(CpuInstanceCount(), 2);
  EXPECT_DOUBLE_EQ(CpuLoadFraction(0), 0.5);
  EXPECT_DOUBLE_EQ(CpuLoadFraction(1), 0.75);
  EXPECT_THAT([] { CpuLoadFraction(2); }, ThrowsMessage<Error>(StrEq(kOutOfBounds)));
}

TEST_F(NtCpuUsage, BufferGrowsUntilTheAnswerFitsAndKeepsItsSize) {
  // 230 instances: a block of a little over 12288 bytes.
  std::vector<std::int64_t> idle(230, 0);
  os.AddBlock(ProcessorSample(idle, 0));
  ASSERT_GT(os.blocks[0].size(), 12288u);
  ASSERT_LE(os.blocks[0].size(), 16384u);
  idle.assign(230, 10 * kTicksPerMs);
  os.AddBlock(ProcessorSample(idle, 100));
  InitCpuUsage(os);

  SampleCpuTimes();
  EXPECT_THAT(os.querySizes, ElementsAre(8192, 12288, 16384));
  SampleCpuTimes();
  EXPECT_THAT(os.querySizes, ElementsAre(8192, 12288, 16384, 16384));
  EXPECT_DOUBLE_EQ(CpuLoadFraction(229), 0.9);
}

TEST_F(NtCpuUsage, BufferStopsGrowingAt16MiB) {
  os.AddBlock(ProcessorSample({0}, 0));
  os.alwaysMoreData = true;
  InitCpuUsage(os);
  EXPECT_THAT([] { SampleCpuTimes(); }, ThrowsMessage<Error>(HasSubstr("16 MiB")));
  EXPECT_EQ(os.querySizes.back(), 16u * 1024 * 1024);
  EXPECT_EQ(os.querySizes.size(), (16u * 1024 * 1024 - 8192) / 4096 + 1);
}

TEST_F(NtCpuUsage, BlocksWithoutTheProcessorObjectFailEverySample) {
  struct Case {
    const char* what;
    std::vector<BYTE> block;
    std::size_t shortBy;
  };
  const Case cases[] = {
      {"no Processor object", BuildPerfBlock({OtherObject(2), OtherObject(4)}).bytes, 0},
      // The bytes are all in the buffer, but the query said it returned fewer.
      {"answer shorter than its lengths", ProcessorSample({1, 2}, 0), 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    os.blocks = {c.block};
    os.reportedShortBy = c.shortBy;
    InitCpuUsage(os);
    EXPECT_THAT([] { SampleCpuTimes(); }, ThrowsMessage<Error>(StrEq(kNoProcessor)));
    EXPECT_THAT([] { SampleCpuTimes(); }, ThrowsMessage<Error>(StrEq(kNoProcessor)));
  }
}

TEST_F(NtCpuUsage, FailedQueryBeforeAnyAnswerFindsNoProcessor) {
  os.AddBlock(ProcessorSample({1, 2}, 0));
  os.queryError = ERROR_ACCESS_DENIED;
  InitCpuUsage(os);
  EXPECT_THAT([] { SampleCpuTimes(); }, ThrowsMessage<Error>(StrEq(kNoProcessor)));
}

TEST_F(NtCpuUsage, FailedQueryRepeatsTheLastAnswerSoTheLoadReadsZero) {
  os.AddBlock(ProcessorSample({0}, 0));
  os.AddBlock(ProcessorSample({25 * kTicksPerMs}, 100));
  InitCpuUsage(os);
  SampleCpuTimes();
  SampleCpuTimes();
  ASSERT_DOUBLE_EQ(CpuLoadFraction(0), 0.75);
  os.queryError = ERROR_ACCESS_DENIED;
  SampleCpuTimes();
  EXPECT_EQ(CpuLoadFraction(0), 0.0);
}

TEST_F(NtCpuUsage, MissingCounterAtTheFirstSampleStillFixesTheCount) {
  os.AddBlock(BuildPerfBlock({{kProcessorObjectTitle, {142}, {{1}, {2}, {3}}}}).bytes);
  InitCpuUsage(os);
  EXPECT_THAT([] { SampleCpuTimes(); }, ThrowsMessage<Error>(StrEq(kNoCounter)));
  EXPECT_EQ(CpuInstanceCount(), 3);
  EXPECT_EQ(CpuLoadFraction(2), 0.0);
  EXPECT_EQ(os.querySizes.size(), 1u);
}

TEST_F(NtCpuUsage, FailedSampleKeepsTheLastLoads) {
  os.AddBlock(ProcessorSample({0, 0}, 0));
  os.AddBlock(ProcessorSample({25 * kTicksPerMs, 0}, 100));
  std::vector<BYTE> broken = ProcessorSample({0, 0}, 200);
  // The second instance's counter block claims no bytes at all.
  broken[broken.size() - 24] = 0;
  os.AddBlock(broken);
  InitCpuUsage(os);
  SampleCpuTimes();
  SampleCpuTimes();
  EXPECT_THAT([] { SampleCpuTimes(); }, ThrowsMessage<Error>(StrEq(kNoCounter)));
  EXPECT_DOUBLE_EQ(CpuLoadFraction(0), 0.75);
  EXPECT_DOUBLE_EQ(CpuLoadFraction(1), 1.0);
}

TEST_F(NtCpuUsage, NeverTouchesTheStatisticsKeys) {
  os.AddBlock(ProcessorSample({0}, 0));
  InitCpuUsage(os);
  SampleCpuTimes();
  StopCpuMonitoring();
  FinalizeCpuUsage();
  EXPECT_TRUE(os.calls.empty());
}

class Win98CpuUsage : public CpuUsageTest {
 protected:
  void SetUp() override {
    os.platformId = VER_PLATFORM_WIN32_WINDOWS;
    os.dynData = {{kStart, 37}, {kData, 37}, {kStop, 37}};
    InitCpuUsage(os);
  }
  static constexpr const char* kStart = "PerfStats\\StartStat";
  static constexpr const char* kData = "PerfStats\\StatData";
  static constexpr const char* kStop = "PerfStats\\StopStat";
};

TEST_F(Win98CpuUsage, OneInstanceKnownWithoutOpeningAnything) {
  EXPECT_EQ(CpuInstanceCount(), 1);
  EXPECT_TRUE(os.calls.empty());
}

TEST_F(Win98CpuUsage, FirstUseStartsTheStatisticsAndLaterSamplesOnlyRead) {
  CpuLoadFraction(0);
  EXPECT_THAT(os.calls, ElementsAre("open PerfStats\\StartStat", "read PerfStats\\StartStat",
                                    "close PerfStats\\StartStat", "open PerfStats\\StatData",
                                    "read PerfStats\\StatData"));
  os.calls.clear();
  SampleCpuTimes();
  EXPECT_THAT(os.calls, ElementsAre("read PerfStats\\StatData"));
}

TEST_F(Win98CpuUsage, StopReadsStopStatAndClosesEveryKey) {
  SampleCpuTimes();
  os.calls.clear();
  StopCpuMonitoring();
  EXPECT_THAT(os.calls, ElementsAre("close PerfStats\\StatData", "open PerfStats\\StopStat",
                                    "read PerfStats\\StopStat", "close PerfStats\\StopStat"));
  os.calls.clear();
  StopCpuMonitoring();
  FinalizeCpuUsage();
  EXPECT_TRUE(os.calls.empty());
}

TEST_F(Win98CpuUsage, StopWithoutStopStatIsSilent) {
  os.dynData.erase(kStop);
  SampleCpuTimes();
  StopCpuMonitoring();
  EXPECT_EQ(os.OpenKeyCount(), 0);
}

TEST_F(Win98CpuUsage, FailedStartIsTriedAgainInFullAtTheNextSample) {
  struct Case {
    const char* missing;
    const char* message;
  };
  const Case cases[] = {{kStart, "Unable to start performance monitoring"},
                        {kData, "Unable to read performance data"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.missing);
    InitCpuUsage(os);
    const DWORD value = os.dynData[c.missing];
    os.dynData.erase(c.missing);
    EXPECT_THAT([] { SampleCpuTimes(); }, ThrowsMessage<Error>(StrEq(c.message)));
    EXPECT_EQ(os.OpenKeyCount(), 0);
    os.dynData[c.missing] = value;
    os.calls.clear();
    SampleCpuTimes();
    EXPECT_EQ(os.calls.front(), "open PerfStats\\StartStat");
    EXPECT_EQ(CpuLoadFraction(0), 0.37);
  }
}

}  // namespace
