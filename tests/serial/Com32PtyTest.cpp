// TCommPort against a real serial line: COM1 and COM2 of the test prefix are the two ends of one
// socat pty pair, which the CTest fixture starts and stops. COM1 is the program's port; the tests
// read what arrives on COM2 with the plain kernel calls.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "serial/Com32.h"
#include "tests/support/UnixShell.h"
#include "tests/support/Waiting.h"
#include "base/UniqueResource.h"
#include "base/Errors.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

const char* PortsDir() {
  const char* dir = std::getenv("DVX_PORTS_DIR");
  return dir ? dir : "";
}

// The script's mark of a running pair. (The links themselves cannot be looked at from here:
// Windows takes a file named "com1", or "com1." anything, for the device COM1.)
bool PairIsUp() {
  const std::string path = WindowsPath(std::string(PortsDir()) + "/pair-com1.pid");
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void RunPtyPair(const std::string& arguments) {
  const ShellResult result = RunShell(std::string(DVX_PTY_PAIR) + " " + arguments);
  ASSERT_EQ(result.status, 0) << "pty-pair.sh " << arguments << ": " << result.output;
}

void StopPair() {
  RunPtyPair(std::string("stop ") + PortsDir() + " com1");
  ASSERT_TRUE(WaitUntil([] { return !PairIsUp(); }, 15000)) << "the pty pair did not stop";
}

void StartPair() {
  RunPtyPair(std::string("start ") + PortsDir() + " com1 com2");
  ASSERT_TRUE(WaitUntil(PairIsUp, 15000)) << "the pty pair did not start";
}

// The device's end of the cable: COM2, raw, a read returning what arrived within 300 ms.
FileHandle OpenDeviceEnd() {
  FileHandle port(CreateFileA("COM2", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                              nullptr));
  if (!port) RaiseLastOSError();
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  dcb.BaudRate = 115200;
  dcb.fBinary = TRUE;
  dcb.ByteSize = 8;
  COMMTIMEOUTS timeouts{MAXDWORD, 0, 300, 0, 0};
  if (!SetCommState(port.Get(), &dcb) || !SetCommTimeouts(port.Get(), &timeouts) ||
      !PurgeComm(port.Get(), PURGE_RXCLEAR | PURGE_RXABORT)) {
    RaiseLastOSError();
  }
  return port;
}

// What arrives: waits up to about 2 s for `expected` bytes, then one quiet read more so that
// stray bytes after them show up too.
Bytes Receive(const FileHandle& port, std::size_t expected) {
  Bytes received;
  for (int quietReads = 0; quietReads < (received.size() < expected ? 6 : 1);) {
    std::uint8_t buffer[64];
    DWORD got = 0;
    if (!ReadFile(port.Get(), buffer, sizeof buffer, &got, nullptr)) RaiseLastOSError();
    received.insert(received.end(), buffer, buffer + got);
    quietReads = got ? 0 : quietReads + 1;
  }
  return received;
}

class PtyPortTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(PairIsUp()) << "no pty pair under " << PortsDir();
  }
};

}  // namespace

TEST_F(PtyPortTest, FrameAndSingleByteArriveIntact) {
  FileHandle device = OpenDeviceEnd();
  TCommPort port;
  port.SetBaudRate(115200);
  port.OpenPort();

  // Bytes a cooked line would eat or change: XON/XOFF, interrupt, CR, LF, DEL, NUL, 0xFF.
  const Bytes frame{0x11, 0x22, 0x13, 0x11, 0x03, 0x0D, 0x0A, 0x7F, 0x00, 0xFF, 0x8D};
  port.WriteBytes(frame.data(), static_cast<int>(frame.size()));
  EXPECT_EQ(Receive(device, frame.size()), frame);

  port.SetBaudRate(9600);
  ASSERT_TRUE(port.IsOpen());
  const Bytes single{0x20};
  port.WriteBytes(single.data(), 1);
  EXPECT_EQ(Receive(device, 1), single);
}

TEST_F(PtyPortTest, WriteFailsWhileTheLineIsGoneAndAFreshOpenWritesAgain) {
  // Whatever happens below, the next test finds the pair running.
  struct Restart {
    ~Restart() {
      if (!PairIsUp()) StartPair();
    }
  } restart;

  TCommPort port;
  port.OpenPort();
  const Bytes byte{0x42};
  port.WriteBytes(byte.data(), 1);

  StopPair();
  EXPECT_THROW(port.WriteBytes(byte.data(), 1), WriteError);
  EXPECT_FALSE(port.IsOpen());

  StartPair();
  FileHandle device = OpenDeviceEnd();
  port.OpenPort();
  const Bytes again{0x43};
  port.WriteBytes(again.data(), 1);
  EXPECT_EQ(Receive(device, 1), again);
}

TEST_F(PtyPortTest, ProbeListsThePortsWhoseLinesExist) {
  EXPECT_EQ(EnumComPorts(2, false), (std::vector<int>{1, 2}));
}
