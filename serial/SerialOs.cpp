#include "serial/SerialOs.h"

namespace {

class KernelSerialOs final : public SerialOs {
 public:
  HANDLE Open(const char* name) override {
    return ::CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  // The kernel's prototypes take writable pointers although they only read the records.
  BOOL SetCommState(HANDLE port, const DCB& settings) override {
    DCB copy = settings;
    return ::SetCommState(port, &copy);
  }
  BOOL SetCommTimeouts(HANDLE port, const COMMTIMEOUTS& timeouts) override {
    COMMTIMEOUTS copy = timeouts;
    return ::SetCommTimeouts(port, &copy);
  }
  BOOL SetupComm(HANDLE port, DWORD inQueue, DWORD outQueue) override {
    return ::SetupComm(port, inQueue, outQueue);
  }
  BOOL PurgeComm(HANDLE port, DWORD flags) override { return ::PurgeComm(port, flags); }
  BOOL WriteFile(HANDLE port, const void* data, DWORD count, DWORD* written) override {
    return ::WriteFile(port, data, count, written, nullptr);
  }
  BOOL CloseHandle(HANDLE port) override { return ::CloseHandle(port); }
};

}  // namespace

SerialOs& RealSerialOs() {
  static KernelSerialOs os;
  return os;
}
