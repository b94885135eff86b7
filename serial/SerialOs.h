// The handful of kernel calls the serial link makes, behind one interface, so that tests can make
// any of them fail with a chosen code or write fewer bytes than asked. Each reports failure the
// way the real call does (FALSE or INVALID_HANDLE_VALUE, the code left for GetLastError).
#pragma once

#include <windows.h>

class SerialOs {
 public:
  // CreateFileA for a device the program writes to: read and write access, exclusive, existing only.
  virtual HANDLE Open(const char* name) = 0;
  virtual BOOL SetCommState(HANDLE port, const DCB& settings) = 0;
  virtual BOOL SetCommTimeouts(HANDLE port, const COMMTIMEOUTS& timeouts) = 0;
  virtual BOOL SetupComm(HANDLE port, DWORD inQueue, DWORD outQueue) = 0;
  virtual BOOL PurgeComm(HANDLE port, DWORD flags) = 0;
  // Synchronous: no overlapped structure.
  virtual BOOL WriteFile(HANDLE port, const void* data, DWORD count, DWORD* written) = 0;
  virtual BOOL CloseHandle(HANDLE port) = 0;

 protected:
  ~SerialOs() = default;
};

// The real calls; lives as long as the program.
SerialOs& RealSerialOs();
