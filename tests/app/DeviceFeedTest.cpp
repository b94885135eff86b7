// The device feed against the serial double, without a window: what a tick writes in each write
// mode and returns to show, what the needles at rest are, and what the port's failures leave.
#include "app/DeviceFeed.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "app/Modules.h"
#include "counters/Counters.h"
#include "tests/support/FakeSerialOs.h"
#include "tests/support/FixedPercent.h"
#include "base/Errors.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Labels = std::vector<std::optional<std::string>>;

class FailingCounter : public TPercentCounter {
 public:
  std::string GetName() const override { return "fails"; }
  long double GetValue() const override { throw Error("Invalid floating point operation"); }
};

// The program's catalogue, then the figures of the README's worked example (12.5 %, 50 % and
// 37.5 %: the bytes 0x20, 0x80 by rounding half to even, and 0x60) and a counter that fails.
class DeviceFeedTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    InitializeModules();
    example = CounterCount();
    RegisterCounter(new FixedPercent("12.5", 12.5L));
    RegisterCounter(new FixedPercent("50", 50));
    RegisterCounter(new FixedPercent("37.5", 37.5L));
    RegisterCounter(new FailingCounter);
  }
  static void TearDownTestSuite() { FinalizeModules(); }

  // Channels 1..3 on the example, 4 not used, 5 without a choice, 6..8 not used; port COM1.
  static Settings Example(int writeMode) {
    Settings settings;
    settings.writeMode = writeMode;
    settings.port = 1;
    settings.channels = {example, example + 1, example + 2, 0, -1, 0, 0, 0};
    return settings;
  }
  static Labels LabelsOf(const TickResult& result) { return {result.labels.begin(), result.labels.end()}; }

  static inline int example = 0;
  static inline const Labels kExampleLabels = {"12,50 %", "50,00 %", "37,50 %", "нет",
                                               std::nullopt, "нет", "нет", "нет"};
  FakeSerialOs serial;
  DeviceFeed feed{serial};
};

TEST_F(DeviceFeedTest, EachWriteModeSendsItsBytesAtItsRateAndRestsAtZero) {
  const struct {
    const char* what;
    int mode;
    DWORD baud;
    Bytes bytes;
    Bytes rest;
  } cases[] = {
      {"one byte: channel 1's", 0, 9600, {0x20}, {0x00}},
      {"eight channels", 1, 115200, {0x11, 0x22, 0x20, 0x80, 0x60, 0, 0, 0, 0, 0, 0xC0},
       {0x11, 0x22, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {"full scale whatever the counters", 2, 115200,
       {0x11, 0x22, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00},
       {0x11, 0x22, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {"zero scale", 3, 115200, {0x11, 0x22, 0, 0, 0, 0, 0, 0, 0, 0, 0},
       {0x11, 0x22, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FakeSerialOs os;
    DeviceFeed fed(os);
    const Settings settings = Example(c.mode);
    const TickResult result = fed.Tick(settings);
    EXPECT_EQ(LabelsOf(result), kExampleLabels) << "every mode shows the figures";
    EXPECT_FALSE(result.error);
    fed.Rest(settings);
    ASSERT_EQ(os.writes.size(), 2u);
    EXPECT_EQ(os.writes[0].port, "COM1");
    EXPECT_EQ(os.writes[0].baud, c.baud);
    EXPECT_EQ(os.writes[0].bytes, c.bytes);
    EXPECT_EQ(os.writes[1].baud, c.baud);
    EXPECT_EQ(os.writes[1].bytes, c.rest);
  }

  // No mode: the figures still show, nothing is sent, and the port stays as it was.
  feed.Tick(Example(1));
  const TickResult result = feed.Tick(Example(wmNone));
  feed.Rest(Example(wmNone));
  EXPECT_EQ(LabelsOf(result), kExampleLabels);
  EXPECT_EQ(serial.writes.size(), 1u);
  EXPECT_EQ(serial.OpenPorts(), 1);
}

TEST_F(DeviceFeedTest, APortThatFailsIsReportedAndLeftAsTheFailureLeavesIt) {
  const struct {
    const char* what;
    int port;
    const char* failingCall;
    DWORD code;
    DWORD shortBy;
    std::optional<std::string> status;
    int openPorts;
  } cases[] = {
      {"no port listed: nothing opened or said", 0, nullptr, 0, 0, std::nullopt, 0},
      {"no such port", 7, nullptr, 0, 0, "Ошибка открытия COM порта (2)", 0},
      {"held by another program", 1, "Open", ERROR_ACCESS_DENIED, 0, "Ошибка открытия COM порта (5)", 0},
      {"a line it refuses", 1, "SetCommState", ERROR_INVALID_PARAMETER, 0,
       "Ошибка открытия COM порта (87)", 0},
      {"the adapter pulled out: let go for a fresh open", 1, "WriteFile", ERROR_NOT_READY, 0,
       "Ошибка записи в COM порт (21)", 0},
      {"a write that timed out: the device is slow, not gone", 1, nullptr, 0, 1,
       "Ошибка записи в COM порт (1460)", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FakeSerialOs os;
    if (c.failingCall) os.failing[c.failingCall] = c.code;
    os.writeShortBy = c.shortBy;
    DeviceFeed fed(os);
    Settings settings = Example(1);
    settings.port = c.port;
    const TickResult result = fed.Tick(settings);
    EXPECT_EQ(result.error, c.status);
    EXPECT_EQ(LabelsOf(result), kExampleLabels);
    EXPECT_EQ(os.OpenPorts(), c.openPorts);
    // Not reported, whatever happens; a port the failure closed is not opened to rest.
    const int opens = os.opens;
    fed.Rest(settings);
    EXPECT_EQ(os.opens, opens);
    EXPECT_EQ(os.writes.size(), c.openPorts ? 2u : 0u);
  }
}

// A device that holds the line: a tick waits out the port's time-outs, a rest only its own short
// limit, so a sleep or the session's end is answered in time.
TEST_F(DeviceFeedTest, ARestTheDeviceDoesNotTakeIsDroppedWithinItsLimit) {
  const Settings settings = Example(1);
  feed.Tick(settings);
  EXPECT_EQ(serial.timeouts.WriteTotalTimeoutConstant, 1000u);
  serial.stalled = true;  // the double waits out the time-out in force
  feed.Rest(settings);
  EXPECT_EQ(serial.timeouts.WriteTotalTimeoutMultiplier, 0u);
  EXPECT_EQ(serial.timeouts.WriteTotalTimeoutConstant, DWORD{DeviceFeed::kRestWriteLimitMs});
  ASSERT_EQ(serial.writes.size(), 2u);
  EXPECT_EQ(serial.writes[1].bytes, (Bytes{0x11, 0x22, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(DeviceFeedTest, ADeviceThatGoesAwayIsTriedEveryTickUntilItIsBack) {
  const Settings settings = Example(1);
  serial.failing["WriteFile"] = ERROR_NOT_READY;
  feed.Tick(settings);
  serial.failing["Open"] = ERROR_FILE_NOT_FOUND;
  const int opensBefore = serial.opens;
  feed.Tick(settings);
  EXPECT_EQ(feed.Tick(settings).error, "Ошибка открытия COM порта (2)");
  EXPECT_EQ(serial.opens - opensBefore, 2);  // once a tick, no more

  serial.failing.clear();
  serial.writes.clear();
  EXPECT_FALSE(feed.Tick(settings).error);
  EXPECT_EQ(serial.writes.size(), 1u);
}

TEST_F(DeviceFeedTest, SwitchingBetweenOneAndEightChannelsReopensThePortOncePerChange) {
  feed.Tick(Example(1));
  const int opensBefore = serial.opens;
  feed.Tick(Example(0));
  feed.Tick(Example(0));
  feed.Tick(Example(1));
  EXPECT_EQ(serial.opens - opensBefore, 2);
  EXPECT_EQ(serial.OpenPorts(), 1);
  EXPECT_EQ(serial.writes.back().baud, 115200u);
}

TEST_F(DeviceFeedTest, ACounterThatFailsEndsTheTickAfterTheLabelsBeforeIt) {
  Settings settings = Example(1);
  settings.channels[3] = example + 3;
  const TickResult result = feed.Tick(settings);
  EXPECT_EQ(result.error, "Invalid floating point operation");
  EXPECT_TRUE(result.endedEarly);
  EXPECT_EQ(result.labels[2], "37,50 %");
  EXPECT_FALSE(result.labels[3]);
  EXPECT_TRUE(serial.writes.empty());
}

}  // namespace
