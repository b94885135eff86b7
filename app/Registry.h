// One open registry key, with the typed reads and writes the settings need. Every failure raises
// RegistryError; the settings store decides what to do with it.
#pragma once

#include <windows.h>

#include <string>

#include "base/Errors.h"
#include "base/UniqueResource.h"

class RegistryError : public Error {
 public:
  explicit RegistryError(const std::string& message) : Error(message) {}
};

class RegistryKey {
 public:
  // An existing key only, for reading; IsOpen() false when it cannot be opened.
  static RegistryKey Open(HKEY root, const char* path);
  // For writing: opens the key, creating it and every missing part of its path.
  static RegistryKey OpenOrCreate(HKEY root, const char* path);

  bool IsOpen() const { return key_.Valid(); }
  bool ValueExists(const char* name) const;

  // REG_DWORD of at most 4 bytes, read as a signed 32-bit number.
  int ReadInteger(const char* name) const;
  // REG_SZ or REG_EXPAND_SZ (not expanded), ending at its first zero byte whatever its stored size.
  std::string ReadString(const char* name) const;

  void WriteInteger(const char* name, int value) const;
  // REG_SZ with its terminating zero byte.
  void WriteString(const char* name, const std::string& value) const;

 private:
  explicit RegistryKey(HKEY key) : key_(key) {}
  KeyHandle key_;
};
