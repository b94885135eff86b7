#include "app/Registry.h"

#include <vector>

namespace {

void Check(LONG result, const char* what, const char* name) {
  // The Reg* functions return their error instead of setting the thread's last error.
  if (result != ERROR_SUCCESS) {
    throw RegistryError(std::string(what) + " \"" + name + "\" failed: " +
                        std::to_string(result));
  }
}

}  // namespace

// Each key is opened for what is done with it: a key that a policy or an administrator made
// readable only must still load, and one that is writable only must still store.
RegistryKey RegistryKey::Open(HKEY root, const char* path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) key = nullptr;
  return RegistryKey(key);
}

RegistryKey RegistryKey::OpenOrCreate(HKEY root, const char* path) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr,
                      &key, nullptr) != ERROR_SUCCESS) {
    key = nullptr;
  }
  return RegistryKey(key);
}

bool RegistryKey::ValueExists(const char* name) const {
  return RegQueryValueExA(key_.Get(), name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

int RegistryKey::ReadInteger(const char* name) const {
  DWORD type = 0;
  DWORD size = 0;
  Check(RegQueryValueExA(key_.Get(), name, nullptr, &type, nullptr, &size), "Reading", name);
  if (type != REG_DWORD || size > sizeof(DWORD)) {
    throw RegistryError(std::string("Invalid data type for \"") + name + "\"");
  }
  DWORD value = 0;  // a shorter value fills the low bytes only
  size = sizeof value;
  Check(RegQueryValueExA(key_.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size),
        "Reading", name);
  return static_cast<int>(value);
}

std::string RegistryKey::ReadString(const char* name) const {
  DWORD type = 0;
  DWORD size = 0;
  Check(RegQueryValueExA(key_.Get(), name, nullptr, &type, nullptr, &size), "Reading", name);
  if (type != REG_SZ && type != REG_EXPAND_SZ) {
    throw RegistryError(std::string("Invalid data type for \"") + name + "\"");
  }
  if (size == 0) return std::string();
  // One spare zero byte: a value stored without its terminator still ends inside the buffer.
  std::vector<char> buffer(size + 1, '\0');
  Check(RegQueryValueExA(key_.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                         &size),
        "Reading", name);
  return std::string(buffer.data());
}

void RegistryKey::WriteInteger(const char* name, int value) const {
  const DWORD data = static_cast<DWORD>(value);
  Check(RegSetValueExA(key_.Get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                       sizeof data),
        "Writing", name);
}

void RegistryKey::WriteString(const char* name, const std::string& value) const {
  Check(RegSetValueExA(key_.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1)),
        "Writing", name);
}
