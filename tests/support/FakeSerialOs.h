// The serial seam's double: ports that exist or not, each call written down, any call made to
// fail with a chosen code. It stands in for what Wine cannot show (an exclusive open, an empty
// machine, a device that fails a call).
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "serial/SerialOs.h"

class FakeSerialOs : public SerialOs {
 public:
  struct Write {
    std::string port;
    DWORD baud;
    std::vector<std::uint8_t> bytes;
  };

  std::set<std::string> present{"COM1", "COM3"};  // the names that open
  // Calls that fail, by name ("Open", "SetCommState", "WriteFile", ...), with their error code.
  std::map<std::string, DWORD> failing;
  DWORD writeShortBy = 0;  // bytes each write leaves unwritten (a time-out)
  DWORD closeLeaves = 0;   // an error code that CloseHandle leaves behind, failing or not
  // A device that takes nothing: each write waits out the write time-out in force, then comes back
  // with nothing written (still written down among the writes).
  bool stalled = false;

  // Every call in order, with the port's name: "Open COM7", "SetCommState COM7 115200",
  // "PurgeComm COM7 15", "SetupComm COM7 1024 1024", "SetCommTimeouts COM7", "WriteFile COM7 11",
  // "CloseHandle COM7".
  std::vector<std::string> calls;
  int opens = 0;
  int closes = 0;
  std::vector<Write> writes;
  std::function<void()> onWrite;  // after each write is written down
  DCB dcb{};                    // the last line settings
  COMMTIMEOUTS timeouts{};      // the last time-outs

  HANDLE Open(const char* name) override {
    ++opens;
    calls.push_back(std::string("Open ") + name);
    if (Fails("Open")) return INVALID_HANDLE_VALUE;
    if (!present.count(name)) {
      SetLastError(ERROR_FILE_NOT_FOUND);
      return INVALID_HANDLE_VALUE;
    }
    const HANDLE handle = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(0x100 + opens));
    ports_[handle] = Port{name, 0};
    return handle;
  }
  BOOL SetCommState(HANDLE port, const DCB& settings) override {
    Log(port, "SetCommState", " " + std::to_string(settings.BaudRate));
    dcb = settings;
    if (Fails("SetCommState")) return FALSE;
    ports_[port].baud = settings.BaudRate;
    return TRUE;
  }
  BOOL SetCommTimeouts(HANDLE port, const COMMTIMEOUTS& settings) override {
    Log(port, "SetCommTimeouts", "");
    timeouts = settings;
    return !Fails("SetCommTimeouts");
  }
  BOOL SetupComm(HANDLE port, DWORD inQueue, DWORD outQueue) override {
    Log(port, "SetupComm", " " + std::to_string(inQueue) + " " + std::to_string(outQueue));
    return !Fails("SetupComm");
  }
  BOOL PurgeComm(HANDLE port, DWORD flags) override {
    Log(port, "PurgeComm", " " + std::to_string(flags));
    return !Fails("PurgeComm");
  }
  BOOL WriteFile(HANDLE port, const void* data, DWORD count, DWORD* written) override {
    Log(port, "WriteFile", " " + std::to_string(count));
    *written = 0;
    if (Fails("WriteFile")) return FALSE;
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    writes.push_back({ports_[port].name, ports_[port].baud, {bytes, bytes + count}});
    if (onWrite) onWrite();
    if (stalled) {
      Sleep(timeouts.WriteTotalTimeoutMultiplier * count + timeouts.WriteTotalTimeoutConstant);
      return TRUE;
    }
    *written = count - writeShortBy;
    return TRUE;
  }
  BOOL CloseHandle(HANDLE port) override {
    ++closes;
    Log(port, "CloseHandle", "");
    ports_.erase(port);
    const BOOL result = !Fails("CloseHandle");
    if (closeLeaves) SetLastError(closeLeaves);
    return result;
  }

  int OpenPorts() const { return static_cast<int>(ports_.size()); }

 private:
  struct Port {
    std::string name;
    DWORD baud;
  };

  bool Fails(const std::string& call) const {
    const auto found = failing.find(call);
    if (found == failing.end()) return false;
    SetLastError(found->second);
    return true;
  }
  void Log(HANDLE port, const char* call, const std::string& details) {
    const auto found = ports_.find(port);
    calls.push_back(std::string(call) + " " + (found == ports_.end() ? "?" : found->second.name) +
                    details);
  }

  std::map<HANDLE, Port> ports_;
};
