// Move-only owners of kernel handles. Each handle kind has its own "no handle" value: NULL for
// events and threads (Handle), INVALID_HANDLE_VALUE for what CreateFileA opens.
#pragma once

#include <windows.h>

template <HANDLE (*Invalid)()>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(HANDLE handle) : handle_(handle) {}
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    Reset(other.Release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { Reset(); }

  HANDLE Get() const { return handle_; }
  bool Valid() const { return handle_ != Invalid(); }
  explicit operator bool() const { return Valid(); }

  HANDLE Release() {
    HANDLE handle = handle_;
    handle_ = Invalid();
    return handle;
  }
  void Reset(HANDLE handle = Invalid()) {
    if (Valid()) CloseHandle(handle_);
    handle_ = handle;
  }

 private:
  HANDLE handle_ = Invalid();
};

inline HANDLE NullHandle() { return nullptr; }

using Handle = UniqueHandle<NullHandle>;
