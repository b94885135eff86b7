#include "base/Errors.h"

#include <windows.h>

#include <cstdio>

namespace {

std::string OSErrorMessage(std::uint32_t code) {
  if (code == 0) return "A call to an OS function failed";
  char head[48];
  std::snprintf(head, sizeof head, "System Error.  Code: %d.", static_cast<int>(code));
  return std::string(head) + "\r\n" + SystemErrorText(code);
}

}  // namespace

OSError::OSError(std::uint32_t code) : Error(OSErrorMessage(code)), code_(code) {}

void RaiseLastOSError() {
  const DWORD code = GetLastError();
  throw OSError(code);
}

std::string SystemErrorText(std::uint32_t code) {
  char buffer[512];
  DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS |
                                    FORMAT_MESSAGE_ARGUMENT_ARRAY,
                                nullptr, code, 0, buffer, sizeof buffer, nullptr);
  while (length > 0) {
    const unsigned char last = static_cast<unsigned char>(buffer[length - 1]);
    if (last > ' ' && last != '.') break;
    --length;
  }
  return std::string(buffer, length);
}
