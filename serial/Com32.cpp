#include "serial/Com32.h"

#include <algorithm>
#include <string>
#include <utility>

#include "base/Errors.h"

namespace {

constexpr int kLowestPort = 1;
constexpr int kHighestPort = 255;
constexpr int kLowestRate = 110;
constexpr int kHighestRate = 256000;
constexpr DWORD kQueueSize = 1024;

// A read would return after about 1 ms (the program never reads); a write of n bytes gives up
// after 100 * n + 1000 ms and returns short.
constexpr COMMTIMEOUTS kTimeouts{1, 0, 1, 100, 1000};

// Only COM1..COM9 are device names of their own: "COM12" is a file in the current folder, on the
// 95/98 family as on NT, and the port is reached by its device path.
std::string DeviceName(int number) {
  return (number >= 10 ? "\\\\.\\COM" : "COM") + std::to_string(number);
}

// Built from nothing rather than read back from the port, so whatever another program left on
// the line never leaks into ours. The XON/XOFF characters and limits are filled in although
// XON/XOFF flow control stays off both ways.
DCB DeviceLineSettings(int baudRate) {
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  dcb.BaudRate = static_cast<DWORD>(baudRate);
  dcb.fBinary = TRUE;
  dcb.fDtrControl = DTR_CONTROL_ENABLE;
  dcb.fRtsControl = RTS_CONTROL_DISABLE;
  dcb.XonLim = 256;
  dcb.XoffLim = 1;
  dcb.ByteSize = 8;
  dcb.Parity = NOPARITY;
  dcb.StopBits = ONESTOPBIT;
  dcb.XonChar = 0x11;
  dcb.XoffChar = 0x13;
  return dcb;
}

}  // namespace

TCommPort::TCommPort(SerialOs& os) : os_(os) {}

TCommPort::~TCommPort() { ClosePort(); }

void TCommPort::SetPortNumber(int number) {
  ChangeSetting(portNumber_, std::clamp(number, kLowestPort, kHighestPort));
}

void TCommPort::SetBaudRate(int rate) {
  ChangeSetting(baudRate_, std::clamp(rate, kLowestRate, kHighestRate));
}

// An open port moves to a changed setting at once; a closed one takes it at the next open.
void TCommPort::ChangeSetting(int& setting, int value) {
  if (value == setting) return;
  setting = value;
  if (IsOpen()) {
    ClosePort();
    OpenPort();
  }
}

void TCommPort::OpenPort() {
  ClosePort();
  handle_ = os_.Open(DeviceName(portNumber_).c_str());
  if (!IsOpen()) RaiseLastOSError();
  try {
    ApplyLineSettings();
    if (!os_.SetCommTimeouts(handle_, kTimeouts)) RaiseLastOSError();
  } catch (...) {
    ClosePort();
    throw;
  }
}

void TCommPort::ClosePort() noexcept {
  if (IsOpen()) os_.CloseHandle(std::exchange(handle_, INVALID_HANDLE_VALUE));
}

void TCommPort::LimitWriteTime(int milliseconds) {
  if (!IsOpen()) return;
  COMMTIMEOUTS limited = kTimeouts;
  limited.WriteTotalTimeoutMultiplier = 0;
  limited.WriteTotalTimeoutConstant = static_cast<DWORD>(milliseconds);
  if (!os_.SetCommTimeouts(handle_, limited)) RaiseLastOSError();
}

void TCommPort::WriteBytes(const std::uint8_t* data, int count) {
  if (count <= 0) return;
  DWORD written = 0;
  if (!os_.WriteFile(handle_, data, static_cast<DWORD>(count), &written)) {
    const DWORD code = GetLastError();  // before the close can change it
    ClosePort();
    throw WriteError(code);
  }
  // A synchronous write on a port with write time-outs comes back short only when they ran out.
  if (written != static_cast<DWORD>(count)) throw WriteError(ERROR_TIMEOUT);
}

void TCommPort::ApplyLineSettings() {
  if (!IsOpen()) return;
  if (!os_.SetCommState(handle_, DeviceLineSettings(baudRate_))) RaiseLastOSError();
  PurgeBuffers(true, true);
  if (!os_.SetupComm(handle_, kQueueSize, kQueueSize)) RaiseLastOSError();
}

void TCommPort::PurgeBuffers(bool input, bool output) {
  if (!IsOpen()) return;
  DWORD flags = 0;
  if (output) flags |= PURGE_TXABORT | PURGE_TXCLEAR;
  if (input) flags |= PURGE_RXABORT | PURGE_RXCLEAR;
  if (!os_.PurgeComm(handle_, flags)) RaiseLastOSError();
}

std::vector<int> EnumComPorts(int highest, bool stopAtFirstMissing, SerialOs& os) {
  highest = std::max(highest, kLowestPort);
  std::vector<int> ports;
  for (int number = kLowestPort; number <= highest; ++number) {
    // The probe only opens and closes.
    const HANDLE port = os.Open(DeviceName(number).c_str());
    if (port == INVALID_HANDLE_VALUE) {
      if (stopAtFirstMissing) break;
      continue;
    }
    os.CloseHandle(port);
    ports.push_back(number);
  }
  return ports;
}
