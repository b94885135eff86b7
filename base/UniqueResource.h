// One move-only owner for every kind of handle the program holds, as WIL's unique_any writes it: a
// kind is the handle's type, the function that closes it and its "no handle" value (0 for events,
// fonts and keys; -1, INVALID_HANDLE_VALUE, for what CreateFileA opens), one line each below.
#pragma once

#include <windows.h>

#include <cstdint>
#include <utility>

template <class T, auto Close, std::intptr_t Invalid = 0>
class UniqueResource {
 public:
  UniqueResource() = default;
  explicit UniqueResource(T value) noexcept : value_(value) {}
  UniqueResource(UniqueResource&& other) noexcept : value_(other.Release()) {}
  UniqueResource& operator=(UniqueResource&& other) noexcept {
    if (this != &other) {
      Reset();
      value_ = other.Release();
    }
    return *this;
  }
  UniqueResource(const UniqueResource&) = delete;
  UniqueResource& operator=(const UniqueResource&) = delete;
  ~UniqueResource() { Reset(); }

  T Get() const noexcept { return value_; }
  bool Valid() const noexcept { return value_ != None(); }
  explicit operator bool() const noexcept { return Valid(); }

  T Release() noexcept { return std::exchange(value_, None()); }
  // Closes what it holds, if anything: nothing useful can be done about a handle that will not
  // close, so the result is dropped.
  void Reset() noexcept {
    if (Valid()) Close(Release());
  }

 private:
  static T None() noexcept { return reinterpret_cast<T>(Invalid); }

  T value_ = None();
};

using KernelHandle = UniqueResource<HANDLE, &CloseHandle>;      // events, threads, processes
using FileHandle = UniqueResource<HANDLE, &CloseHandle, -1>;    // what CreateFileA opens
using KeyHandle = UniqueResource<HKEY, &RegCloseKey>;           // registry keys
using IconHandle = UniqueResource<HICON, &DestroyIcon>;         // icons loaded at a size of their own
template <class T>
using GdiObject = UniqueResource<T, &DeleteObject>;             // fonts and brushes
