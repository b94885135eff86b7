#include "cpuusage/CpuUsageOs.h"

namespace {

class SystemOs final : public CpuUsageOs {
 public:
  BOOL QueryVersion(OSVERSIONINFOA* info) override { return GetVersionExA(info); }

  LONG QueryPerformanceData(const char* valueName, BYTE* data, DWORD* size) override {
    return RegQueryValueExA(HKEY_PERFORMANCE_DATA, valueName, nullptr, nullptr, data, size);
  }

  LONG OpenDynDataKey(const char* subKey, REGSAM access, HKEY* key) override {
    return RegOpenKeyExA(HKEY_DYN_DATA, subKey, 0, access, key);
  }

  LONG QueryValue(HKEY key, const char* valueName, BYTE* data, DWORD* size) override {
    return RegQueryValueExA(key, valueName, nullptr, nullptr, data, size);
  }

  LONG CloseKey(HKEY key) override { return RegCloseKey(key); }
};

}  // namespace

CpuUsageOs& SystemCpuUsageOs() {
  static SystemOs os;
  return os;
}
