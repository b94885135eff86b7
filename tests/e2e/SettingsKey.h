// The program's settings key in the test prefix, read and written the way a user would with an
// editor: before a start, and after a run.
#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

void DeleteSettings();
void StoreSetting(const char* name, DWORD value);
void StoreSetting(const char* name, const std::string& text);

struct StoredValue {
  DWORD type = REG_NONE;
  std::vector<BYTE> data;

  // The value as the program reads a REG_DWORD (signed); nothing when it is no REG_DWORD.
  std::optional<long> Dword() const;
};

// Every value under the key by name; empty when there is no key.
std::map<std::string, StoredValue> StoredSettings();

}  // namespace e2e
