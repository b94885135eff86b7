#include "serial/Com32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "tests/support/FakeSerialOs.h"
#include "base/Errors.h"

namespace {

using Calls = std::vector<std::string>;

// The set-up of an open, as the port's calls show it.
Calls OpenCalls(const std::string& name, int baud) {
  return {"Open " + name, "SetCommState " + name + " " + std::to_string(baud),
          "PurgeComm " + name + " 15", "SetupComm " + name + " 1024 1024",
          "SetCommTimeouts " + name};
}

long CountOf(const Calls& calls, const std::string& call) {
  return std::count(calls.begin(), calls.end(), call);
}

class CommPortTest : public ::testing::Test {
 protected:
  // Opens COM1, then forgets the calls so far: the test's checks start from there.
  void OpenQuietly(TCommPort& port) {
    port.OpenPort();
    os.calls.clear();
  }

  FakeSerialOs os;
};

// --- Opening and setting up the line -------------------------------------------------------

TEST_F(CommPortTest, NewPortIsClosedOnCom1At9600AndTouchesNothing) {
  const TCommPort port(os);
  EXPECT_FALSE(port.IsOpen());
  EXPECT_EQ(port.PortNumber(), 1);
  EXPECT_EQ(port.BaudRate(), 9600);
  EXPECT_TRUE(os.calls.empty());
}

TEST_F(CommPortTest, OpenSetsLinePurgesSizesQueuesThenSetsTimeouts) {
  os.present = {"COM7"};
  TCommPort port(os);
  port.SetPortNumber(7);
  port.SetBaudRate(115200);
  port.OpenPort();
  EXPECT_TRUE(port.IsOpen());
  EXPECT_EQ(os.calls, OpenCalls("COM7", 115200));

  // The device control block byte for byte: 115200 = 0x0001C200, flags 0x11 (binary, DTR on).
  const std::array<std::uint8_t, 28> expected{
      28,   0,    0, 0,     // DCBlength
      0x00, 0xC2, 1, 0,     // BaudRate
      0x11, 0,    0, 0,     // flag bits
      0,    0,              // wReserved
      0x00, 0x01,           // XonLim 256
      0x01, 0x00,           // XoffLim 1
      8,    0,    0,        // ByteSize, Parity, StopBits
      0x11, 0x13,           // XonChar, XoffChar
      0,    0,    0,        // ErrorChar, EofChar, EvtChar
      0,    0};             // wReserved1
  static_assert(sizeof(DCB) == 28);
  std::array<std::uint8_t, 28> actual{};
  std::memcpy(actual.data(), &os.dcb, sizeof os.dcb);
  EXPECT_EQ(actual, expected);

  EXPECT_EQ(os.timeouts.ReadIntervalTimeout, 1u);
  EXPECT_EQ(os.timeouts.ReadTotalTimeoutMultiplier, 0u);
  EXPECT_EQ(os.timeouts.ReadTotalTimeoutConstant, 1u);
  EXPECT_EQ(os.timeouts.WriteTotalTimeoutMultiplier, 100u);
  EXPECT_EQ(os.timeouts.WriteTotalTimeoutConstant, 1000u);

  // A limited write gives up after its total alone, whatever its length; the reads stay.
  port.LimitWriteTime(200);
  EXPECT_EQ(os.timeouts.WriteTotalTimeoutMultiplier, 0u);
  EXPECT_EQ(os.timeouts.WriteTotalTimeoutConstant, 200u);
  EXPECT_EQ(os.timeouts.ReadIntervalTimeout, 1u);
}

// Each step of the open failing in turn: the error carries that call's code (not the code the
// close that follows leaves), a handle already open is closed exactly once, and the port stays
// closed with its settings kept.
TEST_F(CommPortTest, AFailingOpenStepRaisesItsCodeAndLeavesThePortClosed) {
  for (const char* step : {"Open", "SetCommState", "PurgeComm", "SetupComm", "SetCommTimeouts"}) {
    SCOPED_TRACE(step);
    FakeSerialOs os;
    os.present = {"COM3"};
    os.failing = {{step, 87}, {"CloseHandle", ERROR_INVALID_HANDLE}};
    const bool handleWasOpened = std::string(step) != "Open";
    {
      TCommPort port(os);
      port.SetPortNumber(3);
      port.SetBaudRate(115200);
      try {
        port.OpenPort();
        ADD_FAILURE() << "OpenPort succeeded";
      } catch (const OSError& error) {
        EXPECT_EQ(error.Code(), 87u);
      }
      EXPECT_FALSE(port.IsOpen());
      EXPECT_EQ(port.PortNumber(), 3);
      EXPECT_EQ(port.BaudRate(), 115200);
    }
    EXPECT_EQ(CountOf(os.calls, "CloseHandle COM3"), handleWasOpened ? 1 : 0);
  }
}

// --- Port number and baud rate -------------------------------------------------------------

TEST_F(CommPortTest, PortNumberAndRateAreKeptInTheirRanges) {
  const struct {
    int given, port, rate;
  } cases[] = {
      {0, 1, 110},       {-5, 1, 110},          {300, 255, 300},      {255, 255, 255},
      {2, 2, 110},       {50, 50, 110},         {1000000, 255, 256000}, {110, 110, 110},
      {256000, 255, 256000}, {12345, 255, 12345},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.given);
    TCommPort port(os);
    port.SetPortNumber(c.given);
    port.SetBaudRate(c.given);
    EXPECT_EQ(port.PortNumber(), c.port);
    EXPECT_EQ(port.BaudRate(), c.rate);
  }
}

TEST_F(CommPortTest, ChangesOnAClosedPortAreOnlyStored) {
  TCommPort port(os);
  port.SetPortNumber(4);
  port.SetBaudRate(115200);
  EXPECT_FALSE(port.IsOpen());
  EXPECT_TRUE(os.calls.empty());
}

TEST_F(CommPortTest, SameValuesAgainLeaveAnOpenPortAlone) {
  TCommPort port(os);
  OpenQuietly(port);
  port.SetPortNumber(1);
  port.SetPortNumber(0);  // clamps to the current number
  port.SetBaudRate(9600);
  EXPECT_TRUE(port.IsOpen());
  EXPECT_TRUE(os.calls.empty());
}

TEST_F(CommPortTest, NewRateOrNumberOnAnOpenPortReopensItAtOnce) {
  os.present = {"COM1", "COM4"};
  {
    TCommPort port(os);
    OpenQuietly(port);
    port.SetBaudRate(115200);
    EXPECT_TRUE(port.IsOpen());
    port.SetPortNumber(4);
    EXPECT_TRUE(port.IsOpen());
  }
  Calls expected{"CloseHandle COM1"};
  for (const auto& call : OpenCalls("COM1", 115200)) expected.push_back(call);
  expected.push_back("CloseHandle COM1");
  for (const auto& call : OpenCalls("COM4", 115200)) expected.push_back(call);
  expected.push_back("CloseHandle COM4");  // at destruction
  EXPECT_EQ(os.calls, expected);
}

TEST_F(CommPortTest, FailedReopenLeavesThePortClosedWithTheNewValue) {
  TCommPort port(os);
  OpenQuietly(port);
  EXPECT_THROW(port.SetPortNumber(9), OSError);  // there is no COM9
  EXPECT_FALSE(port.IsOpen());
  EXPECT_EQ(port.PortNumber(), 9);
}

// --- Purge, line settings and closing ------------------------------------------------------

TEST_F(CommPortTest, PurgeAbortsAndClearsTheChosenDirections) {
  const struct {
    bool input, output;
    const char* call;
  } cases[] = {
      {true, true, "PurgeComm COM1 15"},
      {true, false, "PurgeComm COM1 10"},
      {false, true, "PurgeComm COM1 5"},
      {false, false, "PurgeComm COM1 0"},
  };
  TCommPort port(os);
  OpenQuietly(port);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.call);
    os.calls.clear();
    port.PurgeBuffers(c.input, c.output);
    EXPECT_EQ(os.calls, Calls{c.call});
  }
}

TEST_F(CommPortTest, LineCallsOnAClosedPortDoNothing) {
  TCommPort port(os);
  port.ApplyLineSettings();
  port.PurgeBuffers(true, true);
  port.ClosePort();
  EXPECT_FALSE(port.IsOpen());
  EXPECT_TRUE(os.calls.empty());
}

TEST_F(CommPortTest, ClosingTwiceOrDestroyingAfterwardsClosesOnce) {
  {
    TCommPort port(os);
    port.OpenPort();
    port.ClosePort();
    port.ClosePort();
    EXPECT_FALSE(port.IsOpen());
  }
  EXPECT_EQ(os.closes, 1);
}

// --- Writing -------------------------------------------------------------------------------

TEST_F(CommPortTest, WholeBufferGoesOutInOneCall) {
  TCommPort port(os);
  OpenQuietly(port);
  const std::uint8_t frame[11] = {0x11, 0x22, 1, 2, 3, 4, 5, 6, 7, 8, 8};
  port.WriteBytes(frame, 11);
  EXPECT_EQ(os.calls, Calls{"WriteFile COM1 11"});
  ASSERT_EQ(os.writes.size(), 1u);
  EXPECT_EQ(os.writes[0].bytes, std::vector<std::uint8_t>(frame, frame + 11));
  EXPECT_TRUE(port.IsOpen());
}

TEST_F(CommPortTest, ZeroBytesMakeNoCall) {
  TCommPort port(os);
  OpenQuietly(port);
  const std::uint8_t byte = 0x20;
  port.WriteBytes(&byte, 0);
  EXPECT_TRUE(os.calls.empty());
}

TEST_F(CommPortTest, ShortWriteRaisesButKeepsThePortOpen) {
  TCommPort port(os);
  OpenQuietly(port);
  os.writeShortBy = 7;  // 4 of 11 bytes taken
  const std::uint8_t frame[11]{};
  try {
    port.WriteBytes(frame, 11);
    ADD_FAILURE() << "WriteBytes succeeded";
  } catch (const WriteError& error) {
    EXPECT_STREQ(error.what(), "Stream write error");
    EXPECT_EQ(error.Code(), static_cast<std::uint32_t>(ERROR_TIMEOUT));
  }
  EXPECT_TRUE(port.IsOpen());
  EXPECT_EQ(os.closes, 0);
}

TEST_F(CommPortTest, FailedWriteClosesThePortSoTheNextOpenStartsAfresh) {
  TCommPort port(os);
  OpenQuietly(port);
  os.failing["WriteFile"] = ERROR_NOT_READY;
  os.closeLeaves = ERROR_INVALID_HANDLE;  // the close's own code must not replace the write's
  const std::uint8_t byte = 0x20;
  try {
    port.WriteBytes(&byte, 1);
    ADD_FAILURE() << "WriteBytes succeeded";
  } catch (const WriteError& error) {
    EXPECT_EQ(error.Code(), static_cast<std::uint32_t>(ERROR_NOT_READY));
  }
  EXPECT_FALSE(port.IsOpen());
  EXPECT_EQ(os.calls, (Calls{"WriteFile COM1 1", "CloseHandle COM1"}));
}

// --- The port probe ------------------------------------------------------------------------

// COM1, COM3 and COM12 exist; every other port does not. From 10 on a port is known by its device
// path alone, on the 95/98 family as on NT.
TEST(EnumComPorts, ListsThePortsThatOpenAndClosesEach) {
  const struct {
    const char* what;
    int highest;
    bool stopAtFirstMissing;
    Calls probed;
    std::vector<int> listed;
  } cases[] = {
      {"0 probes COM1 only", 0, false, {"COM1"}, {1}},
      {"numbers alone are listed", 4, false, {"COM1", "COM2", "COM3", "COM4"}, {1, 3}},
      {"stops at the first missing", 4, true, {"COM1", "COM2"}, {1}},
      {"10 and above by device path", 12, false,
       {"COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8", "COM9", "\\\\.\\COM10",
        "\\\\.\\COM11", "\\\\.\\COM12"},
       {1, 3, 12}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FakeSerialOs os;
    os.present = {"COM1", "COM3", "\\\\.\\COM12"};
    EXPECT_EQ(EnumComPorts(c.highest, c.stopAtFirstMissing, os), c.listed);
    Calls probed;
    for (const auto& call : os.calls)
      if (call.starts_with("Open ")) probed.push_back(call.substr(5));
    EXPECT_EQ(probed, c.probed);
    EXPECT_EQ(os.closes, static_cast<int>(c.listed.size()));
  }
}

TEST(EnumComPorts, EveryPortThatOpensIsListedAndClosed) {
  FakeSerialOs os;
  for (int n = 1; n <= 25; ++n) os.present.insert(n < 10 ? "COM" + std::to_string(n) : "\\\\.\\COM" + std::to_string(n));
  EXPECT_EQ(EnumComPorts(25, false, os).size(), 25u);
  EXPECT_EQ(os.closes, 25);
}

}  // namespace
