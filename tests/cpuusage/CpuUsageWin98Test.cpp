// The 95/98 path against Wine's real HKEY_DYN_DATA. The test prefix makes Wine report Windows 98
// to a program named cpuusage_win98_tests.exe, and this program prepares the statistics keys that
// Wine does not have itself.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>


#include "cpuusage/CpuUsage.h"
#include "base/Errors.h"

namespace {

using ::testing::StrEq;
using ::testing::ThrowsMessage;

const char kStart[] = "PerfStats\\StartStat";
const char kData[] = "PerfStats\\StatData";
const char kStop[] = "PerfStats\\StopStat";

void SetStatistic(const char* subKey, DWORD percent) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_DYN_DATA, subKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueExA(key, "KERNEL\\CPUUsage", 0, REG_BINARY,
                           reinterpret_cast<const BYTE*>(&percent), sizeof percent),
            ERROR_SUCCESS);
  RegCloseKey(key);
}

class Win98Statistics : public ::testing::Test {
 protected:
  void SetUp() override {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    ASSERT_TRUE(GetVersionExA(&version));
    ASSERT_EQ(version.dwPlatformId, static_cast<DWORD>(VER_PLATFORM_WIN32_WINDOWS))
        << "the test prefix must report Windows 98 to this program";
    for (const char* key : {kStart, kData, kStop}) SetStatistic(key, 37);
    InitCpuUsage();
  }
  void TearDown() override { FinalizeCpuUsage(); }
};

TEST_F(Win98Statistics, OneInstanceWhoseLoadIsTheStatistic) {
  EXPECT_EQ(CpuInstanceCount(), 1);
  EXPECT_EQ(CpuLoadFraction(0), 0.37);
  for (const int index : {1, -1}) {
    EXPECT_THAT([=] { CpuLoadFraction(index); },
                ThrowsMessage<Error>(StrEq("CPU index out of bounds")));
  }
}

TEST_F(Win98Statistics, SamplesFollowTheStatisticAndStopEndsThem) {
  SampleCpuTimes();
  SetStatistic(kData, 100);
  EXPECT_EQ(CpuLoadFraction(0), 0.37) << "read at the next sample";
  SampleCpuTimes();
  EXPECT_EQ(CpuLoadFraction(0), 1.0);

  StopCpuMonitoring();
  SetStatistic(kData, 55);
  EXPECT_EQ(CpuLoadFraction(0), 0.55) << "a load after the stop starts the statistics again";
}

TEST_F(Win98Statistics, WithoutStartStatTheStatisticsCannotStart) {
  ASSERT_EQ(RegDeleteKeyA(HKEY_DYN_DATA, kStart), ERROR_SUCCESS);
  EXPECT_THAT([] { SampleCpuTimes(); }, ThrowsMessage<Error>(StrEq("Unable to start performance monitoring")));
}

}  // namespace
