// A serial seam that records what the window does to the ports and fails where a test says,
// standing in for the ports that Wine cannot take away (an exclusive open, an empty machine).
#pragma once

#include <windows.h>

#include <cstdint>
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

  std::set<std::string> present{"COM1", "COM3"};  // the ports that open
  DWORD openError = 0;       // when set, every open fails with this code
  BOOL writeResult = TRUE;   // FALSE: the write call itself fails (device gone)
  DWORD writeShortBy = 0;    // bytes the write leaves unwritten (a time-out)

  int opens = 0;
  int closes = 0;
  std::vector<Write> writes;

  HANDLE Open(const char* name) override {
    ++opens;
    if (openError != 0 || !present.count(name)) {
      SetLastError(openError != 0 ? openError : ERROR_FILE_NOT_FOUND);
      return INVALID_HANDLE_VALUE;
    }
    const HANDLE handle = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(0x100 + opens));
    ports_[handle] = Port{name, 0};
    return handle;
  }
  BOOL SetCommState(HANDLE port, const DCB& settings) override {
    ports_[port].baud = settings.BaudRate;
    return TRUE;
  }
  BOOL SetCommTimeouts(HANDLE, const COMMTIMEOUTS&) override { return TRUE; }
  BOOL SetupComm(HANDLE, DWORD, DWORD) override { return TRUE; }
  BOOL PurgeComm(HANDLE, DWORD) override { return TRUE; }
  BOOL WriteFile(HANDLE port, const void* data, DWORD count, DWORD* written) override {
    if (!writeResult) {
      *written = 0;
      SetLastError(ERROR_NOT_READY);
      return FALSE;
    }
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    writes.push_back({ports_[port].name, ports_[port].baud, {bytes, bytes + count}});
    *written = count - writeShortBy;
    return TRUE;
  }
  bool NtFamily() override { return true; }
  BOOL CloseHandle(HANDLE port) override {
    ++closes;
    ports_.erase(port);
    return TRUE;
  }

  int OpenPorts() const { return static_cast<int>(ports_.size()); }

 private:
  struct Port {
    std::string name;
    DWORD baud;
  };
  std::map<HANDLE, Port> ports_;
};
