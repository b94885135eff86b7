// The program's settings key in the test prefix, read and written the way a user would with an
// editor: before a start, and after a run (or a window's shutdown, in-process).
#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

void DeleteSettings();
void CreateEmptySettingsKey();
void StoreSetting(const char* name, DWORD value);
void StoreSetting(const char* name, const std::string& text, DWORD type = REG_SZ);
void StoreRawSetting(const char* name, DWORD type, const void* data, DWORD size);
// Gives the key the rights of `dacl`, in the system's notation, as a policy or an administrator
// may: "D:P(A;;KR;;;WD)" lets everyone read it and nothing else.
void RestrictSettings(const char* dacl);

struct StoredValue {
  DWORD type = REG_NONE;
  std::vector<BYTE> data;

  // The value as the program reads a REG_DWORD (signed); nothing when it is no REG_DWORD.
  std::optional<long> Dword() const;
  // A REG_SZ up to its first zero; nothing when it is no REG_SZ.
  std::optional<std::string> Text() const;
};

// Every value under the key by name; empty when there is no key.
std::map<std::string, StoredValue> StoredSettings();
