// The operating-system calls of the CPU usage sampler, behind one narrow interface so that tests
// can serve synthetic performance data, 95/98 statistics and failures. The program uses
// SystemCpuUsageOs(), the real calls.
#pragma once

#include <windows.h>

class CpuUsageOs {
 public:
  // GetVersionExA.
  virtual BOOL QueryVersion(OSVERSIONINFOA* info) = 0;
  // RegQueryValueExA on HKEY_PERFORMANCE_DATA, no type wanted: the error code, ERROR_MORE_DATA
  // when the buffer is too small; on success *size holds the bytes returned.
  virtual LONG QueryPerformanceData(const char* valueName, BYTE* data, DWORD* size) = 0;
  // RegOpenKeyExA under HKEY_DYN_DATA.
  virtual LONG OpenDynDataKey(const char* subKey, REGSAM access, HKEY* key) = 0;
  // RegQueryValueExA on a key opened above, no type wanted.
  virtual LONG QueryValue(HKEY key, const char* valueName, BYTE* data, DWORD* size) = 0;
  // RegCloseKey.
  virtual LONG CloseKey(HKEY key) = 0;

 protected:
  ~CpuUsageOs() = default;
};

CpuUsageOs& SystemCpuUsageOs();
