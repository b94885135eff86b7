#include "tools/bench/Probe.h"

namespace {

constexpr std::size_t kPerfDataGrowth = 4096;

ULONGLONG Ticks(const FILETIME& time) {
  return (ULONGLONG{time.dwHighDateTime} << 32) | time.dwLowDateTime;
}

}  // namespace

double ProcessCpuMs() {
  FILETIME creation, exit, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &creation, &exit, &kernel, &user);
  return (Ticks(kernel) + Ticks(user)) / 10000.0;
}

double WallMs() {
  LARGE_INTEGER frequency, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&now);
  return now.QuadPart * 1000.0 / frequency.QuadPart;
}

LONG QueryPerformanceData(const char* query, std::vector<BYTE>& buffer, DWORD& size) {
  for (;;) {
    size = static_cast<DWORD>(buffer.size());
    const LONG result =
        RegQueryValueExA(HKEY_PERFORMANCE_DATA, query, nullptr, nullptr, buffer.data(), &size);
    if (result != ERROR_MORE_DATA) return result;
    buffer.resize(buffer.size() + kPerfDataGrowth);
  }
}
