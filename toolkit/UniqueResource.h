// One move-only owner for every kind of handle the program holds. A close policy names the
// handle's type, its "no handle" value (NULL for events, threads, fonts and keys;
// INVALID_HANDLE_VALUE for what CreateFileA opens) and how it is closed. A policy may carry state,
// the seam a port or key was opened through, so that it is closed through the same one; it travels
// with the handle, as a deleter does in unique_ptr.
#pragma once

#include <windows.h>

#include <utility>

template <class Policy>
class UniqueResource {
 public:
  using Value = typename Policy::Value;

  UniqueResource() = default;
  explicit UniqueResource(Value value, Policy policy = {}) noexcept : policy_(policy), value_(value) {}
  UniqueResource(UniqueResource&& other) noexcept : policy_(other.policy_), value_(other.Release()) {}
  UniqueResource& operator=(UniqueResource&& other) noexcept {
    if (this != &other) {
      Reset();
      policy_ = other.policy_;
      value_ = other.Release();
    }
    return *this;
  }
  UniqueResource(const UniqueResource&) = delete;
  UniqueResource& operator=(const UniqueResource&) = delete;
  ~UniqueResource() { Reset(); }

  Value Get() const noexcept { return value_; }
  bool Valid() const noexcept { return value_ != Policy::Invalid(); }
  explicit operator bool() const noexcept { return Valid(); }

  Value Release() noexcept { return std::exchange(value_, Policy::Invalid()); }
  // Closes what it holds, if anything: nothing useful can be done about a handle that will not
  // close, so the result is dropped.
  void Reset() noexcept {
    if (Valid()) policy_.Close(Release());
  }

 private:
  Policy policy_{};
  Value value_ = Policy::Invalid();
};

struct KernelHandlePolicy {
  using Value = HANDLE;
  static HANDLE Invalid() { return nullptr; }
  void Close(HANDLE handle) const noexcept { CloseHandle(handle); }
};
// Events and threads.
using KernelHandle = UniqueResource<KernelHandlePolicy>;

struct FileHandlePolicy {
  using Value = HANDLE;
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  void Close(HANDLE handle) const noexcept { CloseHandle(handle); }
};
// Files and devices opened with CreateFileA.
using FileHandle = UniqueResource<FileHandlePolicy>;

template <class T>
struct GdiObjectPolicy {
  using Value = T;
  static T Invalid() { return nullptr; }
  void Close(T object) const noexcept { DeleteObject(object); }
};
// Fonts and brushes.
template <class T>
using GdiObject = UniqueResource<GdiObjectPolicy<T>>;

struct IconPolicy {
  using Value = HICON;
  static HICON Invalid() { return nullptr; }
  void Close(HICON icon) const noexcept { DestroyIcon(icon); }
};
// Icons loaded at a size of their own (not shared with the system's cache).
using IconHandle = UniqueResource<IconPolicy>;
