#include "tests/support/SettingsKey.h"

#include <sddl.h>

#include <cstring>
#include <stdexcept>

#include "app/Settings.h"

namespace {

class Key {
 public:
  explicit Key(bool create) {
    const LONG result =
        create ? RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                 nullptr, &key_, nullptr)
               : RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key_);
    if (result != ERROR_SUCCESS) key_ = nullptr;
    if (create && !key_) throw std::runtime_error("cannot create the settings key");
  }
  ~Key() {
    if (key_) RegCloseKey(key_);
  }
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;

  HKEY Get() const { return key_; }

  void Set(const char* name, DWORD type, const void* data, DWORD size) const {
    if (RegSetValueExA(key_, name, 0, type, static_cast<const BYTE*>(data), size) != ERROR_SUCCESS)
      throw std::runtime_error(std::string("cannot store ") + name);
  }

 private:
  HKEY key_ = nullptr;
};

}  // namespace

void RestrictSettings(const char* dacl) {
  // The key's owner may always change its rights.
  HKEY key = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, WRITE_DAC, &key) != ERROR_SUCCESS) return;
  const bool done = ConvertStringSecurityDescriptorToSecurityDescriptorA(dacl, SDDL_REVISION_1, &descriptor, nullptr) &&
                    RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor) == ERROR_SUCCESS;
  LocalFree(descriptor);
  RegCloseKey(key);
  if (!done) throw std::runtime_error(std::string("cannot give the settings key the rights ") + dacl);
}

void DeleteSettings() {
  RestrictSettings("D:P(A;;KA;;;WD)");
  const LONG result = RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);
  if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND)
    throw std::runtime_error("cannot delete the settings key, error " + std::to_string(result));
}

void CreateEmptySettingsKey() { Key(true); }

void StoreRawSetting(const char* name, DWORD type, const void* data, DWORD size) {
  Key(true).Set(name, type, data, size);
}

void StoreSetting(const char* name, DWORD value) {
  StoreRawSetting(name, REG_DWORD, &value, sizeof value);
}

void StoreSetting(const char* name, const std::string& text, DWORD type) {
  StoreRawSetting(name, type, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

std::optional<long> StoredValue::Dword() const {
  if (type != REG_DWORD || data.size() != sizeof(DWORD)) return std::nullopt;
  LONG value;
  std::memcpy(&value, data.data(), sizeof value);
  return value;
}

std::optional<std::string> StoredValue::Text() const {
  if (type != REG_SZ) return std::nullopt;
  const std::string text(data.begin(), data.end());
  return text.substr(0, text.find('\0'));
}

std::map<std::string, StoredValue> StoredSettings() {
  std::map<std::string, StoredValue> values;
  const Key key(false);
  if (!key.Get()) return values;
  for (DWORD index = 0;; ++index) {
    char name[256];
    DWORD nameLength = sizeof name;
    BYTE data[1024];
    DWORD size = sizeof data;
    DWORD type = REG_NONE;
    if (RegEnumValueA(key.Get(), index, name, &nameLength, nullptr, &type, data, &size) != ERROR_SUCCESS)
      break;
    values[std::string(name, nameLength)] = StoredValue{type, std::vector<BYTE>(data, data + size)};
  }
  return values;
}
