// Move-only owner of an open COM port. Ports are opened with CreateFileA, so "no port" is
// INVALID_HANDLE_VALUE, not NULL; the handle is closed through the same seam that opened it.
#pragma once

#include <windows.h>

#include <utility>

#include "serial/SerialOs.h"

class PortHandle {
 public:
  explicit PortHandle(SerialOs& os, HANDLE handle = INVALID_HANDLE_VALUE) noexcept
      : os_(&os), handle_(handle) {}
  PortHandle(PortHandle&& other) noexcept
      : os_(other.os_), handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE)) {}
  PortHandle& operator=(PortHandle&& other) noexcept {
    if (this != &other) {
      Close();
      os_ = other.os_;
      handle_ = std::exchange(other.handle_, INVALID_HANDLE_VALUE);
    }
    return *this;
  }
  PortHandle(const PortHandle&) = delete;
  PortHandle& operator=(const PortHandle&) = delete;
  ~PortHandle() { Close(); }

  HANDLE Get() const noexcept { return handle_; }
  bool Valid() const noexcept { return handle_ != INVALID_HANDLE_VALUE; }
  explicit operator bool() const noexcept { return Valid(); }

  // Nothing useful can be done about a port that will not close, so the result is dropped.
  void Close() noexcept {
    if (Valid()) os_->CloseHandle(std::exchange(handle_, INVALID_HANDLE_VALUE));
  }

 private:
  SerialOs* os_;
  HANDLE handle_;
};
