#include "serial/Com32.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "toolkit/Errors.h"

using ::testing::_;
using ::testing::DoAll;
using ::testing::InSequence;
using ::testing::Invoke;
using ::testing::NiceMock;
using ::testing::Return;
using ::testing::SaveArg;
using ::testing::SetArgPointee;
using ::testing::StrEq;
using ::testing::StrictMock;

namespace {

const HANDLE kPort = reinterpret_cast<HANDLE>(0x1234);
const HANDLE kOtherPort = reinterpret_cast<HANDLE>(0x5678);

class MockSerialOs : public SerialOs {
 public:
  MOCK_METHOD(HANDLE, Open, (const char* name), (override));
  MOCK_METHOD(BOOL, SetCommState, (HANDLE port, const DCB& settings), (override));
  MOCK_METHOD(BOOL, SetCommTimeouts, (HANDLE port, const COMMTIMEOUTS& timeouts), (override));
  MOCK_METHOD(BOOL, SetupComm, (HANDLE port, DWORD inQueue, DWORD outQueue), (override));
  MOCK_METHOD(BOOL, PurgeComm, (HANDLE port, DWORD flags), (override));
  MOCK_METHOD(BOOL, WriteFile, (HANDLE port, const void* data, DWORD count, DWORD* written),
              (override));
  MOCK_METHOD(BOOL, CloseHandle, (HANDLE port), (override));
  MOCK_METHOD(bool, NtFamily, (), (override));

  // Every call succeeds and every port exists unless a test says otherwise.
  void SucceedByDefault() {
    ON_CALL(*this, Open).WillByDefault(Return(kPort));
    ON_CALL(*this, SetCommState).WillByDefault(Return(TRUE));
    ON_CALL(*this, SetCommTimeouts).WillByDefault(Return(TRUE));
    ON_CALL(*this, SetupComm).WillByDefault(Return(TRUE));
    ON_CALL(*this, PurgeComm).WillByDefault(Return(TRUE));
    ON_CALL(*this, CloseHandle).WillByDefault(Return(TRUE));
  }
};

// What a failing kernel call does: leave its code for GetLastError and report failure.
template <typename Result>
auto FailWith(DWORD code, Result result) {
  return Invoke([code, result](auto&&...) {
    SetLastError(code);
    return result;
  });
}

class VectorStringList : public StringList {
 public:
  void Clear() override { items.clear(); }
  void AddObject(const std::string& text, void*) override { items.push_back(text); }
  int Count() const override { return static_cast<int>(items.size()); }
  std::vector<std::string> items{"stale"};
};

class CommPortTest : public ::testing::Test {
 protected:
  CommPortTest() { os.SucceedByDefault(); }

  // Opens the port, then forgets the calls so far: the test's expectations start from here.
  void OpenQuietly(TCommPort& port) {
    port.OpenPort();
    ::testing::Mock::VerifyAndClearExpectations(&os);
    os.SucceedByDefault();
  }

  NiceMock<MockSerialOs> os;
};

}  // namespace

// --- Opening and setting up the line -------------------------------------------------------

TEST_F(CommPortTest, NewPortIsClosedOnCom1At9600AndTouchesNothing) {
  StrictMock<MockSerialOs> strict;
  TCommPort port(strict);
  EXPECT_FALSE(port.IsOpen());
  EXPECT_EQ(port.PortNumber(), 1);
  EXPECT_EQ(port.BaudRate(), 9600);
}

TEST_F(CommPortTest, OpenSetsLinePurgesSizesQueuesThenSetsTimeouts) {
  TCommPort port(os);
  port.SetPortNumber(7);
  port.SetBaudRate(115200);

  DCB dcb{};
  COMMTIMEOUTS timeouts{};
  {
    InSequence order;
    EXPECT_CALL(os, Open(StrEq("COM7"))).WillOnce(Return(kPort));
    EXPECT_CALL(os, SetCommState(kPort, _)).WillOnce(DoAll(SaveArg<1>(&dcb), Return(TRUE)));
    EXPECT_CALL(os, PurgeComm(kPort, 0x0Fu)).WillOnce(Return(TRUE));
    EXPECT_CALL(os, SetupComm(kPort, 1024u, 1024u)).WillOnce(Return(TRUE));
    EXPECT_CALL(os, SetCommTimeouts(kPort, _)).WillOnce(DoAll(SaveArg<1>(&timeouts), Return(TRUE)));
  }
  port.OpenPort();
  EXPECT_TRUE(port.IsOpen());

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
  std::memcpy(actual.data(), &dcb, sizeof dcb);
  EXPECT_EQ(actual, expected);

  EXPECT_EQ(timeouts.ReadIntervalTimeout, 1u);
  EXPECT_EQ(timeouts.ReadTotalTimeoutMultiplier, 0u);
  EXPECT_EQ(timeouts.ReadTotalTimeoutConstant, 1u);
  EXPECT_EQ(timeouts.WriteTotalTimeoutMultiplier, 100u);
  EXPECT_EQ(timeouts.WriteTotalTimeoutConstant, 1000u);
}

// Each step of the open failing in turn: the error carries that call's code, and a handle that
// was already open is closed exactly once, leaving the port closed and its settings kept.
enum class FailingCall { Open, SetCommState, PurgeComm, SetupComm, SetCommTimeouts };

const char* Name(FailingCall call) {
  const char* const names[] = {"Open", "SetCommState", "PurgeComm", "SetupComm",
                               "SetCommTimeouts"};
  return names[static_cast<int>(call)];
}
// Short parameter texts keep the test names that CTest shows readable.
void PrintTo(FailingCall call, std::ostream* out) { *out << Name(call); }
std::string FailingCallName(const ::testing::TestParamInfo<FailingCall>& info) {
  return Name(info.param);
}

class OpenFailureTest : public CommPortTest, public ::testing::WithParamInterface<FailingCall> {};

TEST_P(OpenFailureTest, RaisesTheCallsCodeAndLeavesThePortClosed) {
  constexpr DWORD kCode = 87;
  switch (GetParam()) {
    case FailingCall::Open:
      EXPECT_CALL(os, Open).WillOnce(FailWith(ERROR_FILE_NOT_FOUND, INVALID_HANDLE_VALUE));
      break;
    case FailingCall::SetCommState:
      EXPECT_CALL(os, SetCommState).WillOnce(FailWith(kCode, FALSE));
      break;
    case FailingCall::PurgeComm:
      EXPECT_CALL(os, PurgeComm).WillOnce(FailWith(kCode, FALSE));
      break;
    case FailingCall::SetupComm:
      EXPECT_CALL(os, SetupComm).WillOnce(FailWith(kCode, FALSE));
      break;
    case FailingCall::SetCommTimeouts:
      EXPECT_CALL(os, SetCommTimeouts).WillOnce(FailWith(kCode, FALSE));
      break;
  }
  const bool handleWasOpened = GetParam() != FailingCall::Open;
  if (handleWasOpened) {
    // The failing call's code must survive the close that follows it.
    EXPECT_CALL(os, CloseHandle(kPort)).WillOnce(FailWith(ERROR_INVALID_HANDLE, FALSE));
  } else {
    EXPECT_CALL(os, CloseHandle).Times(0);
  }

  TCommPort port(os);
  port.SetPortNumber(3);
  port.SetBaudRate(115200);
  try {
    port.OpenPort();
    FAIL() << "OpenPort succeeded";
  } catch (const OSError& error) {
    EXPECT_EQ(error.Code(), handleWasOpened ? kCode : DWORD{ERROR_FILE_NOT_FOUND});
  }
  EXPECT_FALSE(port.IsOpen());
  EXPECT_EQ(port.PortNumber(), 3);
  EXPECT_EQ(port.BaudRate(), 115200);
}

INSTANTIATE_TEST_SUITE_P(EveryCall, OpenFailureTest,
                         ::testing::Values(FailingCall::Open, FailingCall::SetCommState,
                                           FailingCall::PurgeComm, FailingCall::SetupComm,
                                           FailingCall::SetCommTimeouts),
                         FailingCallName);

// --- Port number and baud rate -------------------------------------------------------------

struct ClampCase {
  int given;
  int kept;
};

void PrintTo(const ClampCase& c, std::ostream* out) { *out << c.given; }
std::string ClampCaseName(const ::testing::TestParamInfo<ClampCase>& info) {
  const int given = info.param.given;
  return (given < 0 ? "Minus" : "") + std::to_string(given < 0 ? -given : given);
}

class PortNumberClampTest : public CommPortTest, public ::testing::WithParamInterface<ClampCase> {};
TEST_P(PortNumberClampTest, KeepsTheNumberIn1To255) {
  TCommPort port(os);
  port.SetPortNumber(GetParam().given);
  EXPECT_EQ(port.PortNumber(), GetParam().kept);
}
INSTANTIATE_TEST_SUITE_P(Bounds, PortNumberClampTest,
                         ::testing::Values(ClampCase{0, 1}, ClampCase{-5, 1}, ClampCase{300, 255},
                                           ClampCase{255, 255}, ClampCase{2, 2}),
                         ClampCaseName);

class BaudRateClampTest : public CommPortTest, public ::testing::WithParamInterface<ClampCase> {};
TEST_P(BaudRateClampTest, KeepsTheRateIn110To256000) {
  TCommPort port(os);
  port.SetBaudRate(GetParam().given);
  EXPECT_EQ(port.BaudRate(), GetParam().kept);
}
INSTANTIATE_TEST_SUITE_P(Bounds, BaudRateClampTest,
                         ::testing::Values(ClampCase{50, 110}, ClampCase{1000000, 256000},
                                           ClampCase{110, 110}, ClampCase{256000, 256000},
                                           ClampCase{12345, 12345}),
                         ClampCaseName);

TEST_F(CommPortTest, ChangesOnAClosedPortAreOnlyStored) {
  StrictMock<MockSerialOs> strict;
  TCommPort port(strict);
  port.SetPortNumber(4);
  port.SetBaudRate(115200);
  EXPECT_FALSE(port.IsOpen());
}

TEST_F(CommPortTest, SameValuesAgainLeaveAnOpenPortAlone) {
  TCommPort port(os);
  OpenQuietly(port);
  EXPECT_CALL(os, CloseHandle).Times(0);
  EXPECT_CALL(os, Open).Times(0);
  EXPECT_CALL(os, PurgeComm).Times(0);
  port.SetPortNumber(1);
  port.SetPortNumber(0);  // clamps to the current number
  port.SetBaudRate(9600);
  EXPECT_TRUE(port.IsOpen());
  ::testing::Mock::VerifyAndClearExpectations(&os);
}

TEST_F(CommPortTest, NewRateOrNumberOnAnOpenPortReopensItAtOnce) {
  TCommPort port(os);
  OpenQuietly(port);
  DCB dcb{};
  InSequence order;
  EXPECT_CALL(os, CloseHandle(kPort)).WillOnce(Return(TRUE));
  EXPECT_CALL(os, Open(StrEq("COM1"))).WillOnce(Return(kOtherPort));
  EXPECT_CALL(os, SetCommState(kOtherPort, _)).WillOnce(DoAll(SaveArg<1>(&dcb), Return(TRUE)));
  EXPECT_CALL(os, CloseHandle(kOtherPort)).WillOnce(Return(TRUE));
  EXPECT_CALL(os, Open(StrEq("COM4"))).WillOnce(Return(kPort));
  EXPECT_CALL(os, SetCommState(kPort, _)).WillOnce(Return(TRUE));
  EXPECT_CALL(os, CloseHandle(kPort)).WillOnce(Return(TRUE));  // at destruction

  port.SetBaudRate(115200);
  EXPECT_TRUE(port.IsOpen());
  EXPECT_EQ(dcb.BaudRate, 115200u);
  port.SetPortNumber(4);
  EXPECT_TRUE(port.IsOpen());
}

TEST_F(CommPortTest, FailedReopenLeavesThePortClosedWithTheNewValue) {
  TCommPort port(os);
  OpenQuietly(port);
  EXPECT_CALL(os, Open(StrEq("COM9"))).WillOnce(FailWith(ERROR_FILE_NOT_FOUND, INVALID_HANDLE_VALUE));
  EXPECT_THROW(port.SetPortNumber(9), OSError);
  EXPECT_FALSE(port.IsOpen());
  EXPECT_EQ(port.PortNumber(), 9);
}

// --- Purge, line settings and closing ------------------------------------------------------

struct PurgeCase {
  const char* name;
  bool input;
  bool output;
  DWORD flags;
};
void PrintTo(const PurgeCase& c, std::ostream* out) { *out << c.name; }

class PurgeFlagsTest : public CommPortTest, public ::testing::WithParamInterface<PurgeCase> {};
TEST_P(PurgeFlagsTest, AbortsAndClearsTheChosenDirections) {
  TCommPort port(os);
  OpenQuietly(port);
  EXPECT_CALL(os, PurgeComm(kPort, GetParam().flags)).WillOnce(Return(TRUE));
  port.PurgeBuffers(GetParam().input, GetParam().output);
}
INSTANTIATE_TEST_SUITE_P(Directions, PurgeFlagsTest,
                         ::testing::Values(PurgeCase{"Both", true, true, 0x0F},
                                           PurgeCase{"Input", true, false, 0x0A},
                                           PurgeCase{"Output", false, true, 0x05},
                                           PurgeCase{"Neither", false, false, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CommPortTest, LineCallsOnAClosedPortDoNothing) {
  StrictMock<MockSerialOs> strict;
  TCommPort port(strict);
  port.ApplyLineSettings();
  port.PurgeBuffers(true, true);
  port.ClosePort();
  EXPECT_FALSE(port.IsOpen());
}

TEST_F(CommPortTest, ClosingTwiceOrDestroyingAfterwardsClosesOnce) {
  EXPECT_CALL(os, CloseHandle(kPort)).Times(1);
  TCommPort port(os);
  port.OpenPort();
  port.ClosePort();
  port.ClosePort();
  EXPECT_FALSE(port.IsOpen());
}

// --- Writing -------------------------------------------------------------------------------

TEST_F(CommPortTest, WholeBufferGoesOutInOneCall) {
  TCommPort port(os);
  OpenQuietly(port);
  const std::uint8_t frame[11] = {0x11, 0x22, 1, 2, 3, 4, 5, 6, 7, 8, 8};
  EXPECT_CALL(os, WriteFile(kPort, frame, 11u, _)).WillOnce(DoAll(SetArgPointee<3>(11), Return(TRUE)));
  port.WriteBytes(frame, 11);
  EXPECT_TRUE(port.IsOpen());
}

TEST_F(CommPortTest, ZeroBytesMakeNoCall) {
  TCommPort port(os);
  OpenQuietly(port);
  EXPECT_CALL(os, WriteFile).Times(0);
  const std::uint8_t byte = 0x20;
  port.WriteBytes(&byte, 0);
}

TEST_F(CommPortTest, ShortWriteRaisesButKeepsThePortOpen) {
  TCommPort port(os);
  OpenQuietly(port);
  EXPECT_CALL(os, WriteFile).WillOnce(DoAll(SetArgPointee<3>(4), Return(TRUE)));
  EXPECT_CALL(os, CloseHandle).Times(0);
  const std::uint8_t frame[11]{};
  try {
    port.WriteBytes(frame, 11);
    FAIL() << "WriteBytes succeeded";
  } catch (const WriteError& error) {
    EXPECT_STREQ(error.what(), "Stream write error");
    EXPECT_EQ(error.Code(), static_cast<std::uint32_t>(ERROR_TIMEOUT));
  }
  EXPECT_TRUE(port.IsOpen());
  ::testing::Mock::VerifyAndClearExpectations(&os);
}

TEST_F(CommPortTest, FailedWriteClosesThePortSoTheNextOpenStartsAfresh) {
  TCommPort port(os);
  OpenQuietly(port);
  EXPECT_CALL(os, WriteFile).WillOnce(FailWith(ERROR_NOT_READY, FALSE));
  // The close may set a code of its own: the error carries the write's.
  EXPECT_CALL(os, CloseHandle(kPort)).WillOnce([](HANDLE) {
    SetLastError(ERROR_INVALID_HANDLE);
    return TRUE;
  });
  const std::uint8_t byte = 0x20;
  try {
    port.WriteBytes(&byte, 1);
    FAIL() << "WriteBytes succeeded";
  } catch (const WriteError& error) {
    EXPECT_EQ(error.Code(), static_cast<std::uint32_t>(ERROR_NOT_READY));
  }
  EXPECT_FALSE(port.IsOpen());
  ::testing::Mock::VerifyAndClearExpectations(&os);
}

// --- The port probe ------------------------------------------------------------------------

struct ProbeCase {
  const char* name;
  int highest;
  bool stopAtFirstMissing;
  std::vector<std::string> probed;
  std::vector<std::string> listed;
  bool ntFamily = true;
};
void PrintTo(const ProbeCase& c, std::ostream* out) { *out << c.name; }

class EnumComPortsTest : public ::testing::TestWithParam<ProbeCase> {};

// COM1, COM3 and COM12 exist; every other port does not. Each open gets the port's name on the
// case's family: from 10 on, NT knows a port only by its device path.
TEST_P(EnumComPortsTest, ListsThePortsThatOpenAndClosesEach) {
  StrictMock<MockSerialOs> os;
  EXPECT_CALL(os, NtFamily).WillRepeatedly(Return(GetParam().ntFamily));
  const std::string com12 = GetParam().ntFamily ? "\\\\.\\COM12" : "COM12";
  std::vector<std::string> probed;
  EXPECT_CALL(os, Open).WillRepeatedly(Invoke([&](const char* name) {
    probed.emplace_back(name);
    if (std::string(name) == "COM1") return kPort;
    if (std::string(name) == "COM3" || name == com12) return kOtherPort;
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }));
  const int opened = static_cast<int>(GetParam().listed.size());
  EXPECT_CALL(os, CloseHandle).Times(opened).WillRepeatedly(Return(TRUE));

  VectorStringList list;
  EXPECT_EQ(EnumComPorts(&list, GetParam().highest, GetParam().stopAtFirstMissing, os), opened);
  EXPECT_EQ(probed, GetParam().probed);
  EXPECT_EQ(list.items, GetParam().listed);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EnumComPortsTest,
    ::testing::Values(
        ProbeCase{"ZeroProbesCom1Only", 0, false, {"COM1"}, {"1"}},
        ProbeCase{"ListsNumbersAlone", 4, false, {"COM1", "COM2", "COM3", "COM4"}, {"1", "3"}},
        ProbeCase{"StopsAtFirstMissing", 4, true, {"COM1", "COM2"}, {"1"}},
        ProbeCase{"NtNamesTenAndAboveByDevicePath", 12, false,
                  {"COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8", "COM9",
                   "\\\\.\\COM10", "\\\\.\\COM11", "\\\\.\\COM12"},
                  {"1", "3", "12"}},
        ProbeCase{"Win98NamesEveryPortCOMn", 12, false,
                  {"COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8", "COM9",
                   "COM10", "COM11", "COM12"},
                  {"1", "3", "12"}, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EnumComPorts, WithoutAListOnlyCounts) {
  NiceMock<MockSerialOs> os;
  os.SucceedByDefault();
  EXPECT_CALL(os, CloseHandle).Times(25);
  EXPECT_EQ(EnumComPorts(nullptr, 25, false, os), 25);
}
