// An operating system for the CPU usage sampler that serves prepared performance data blocks and
// 95/98 statistics, and records what the sampler asked of it.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "cpuusage/CpuUsageOs.h"

class FakeCpuUsageOs : public CpuUsageOs {
 public:
  // Version query.
  BOOL versionResult = TRUE;
  DWORD platformId = VER_PLATFORM_WIN32_NT;

  // Performance data: each query answers with the next block, the last one over and over.
  // A block larger than the buffer gets ERROR_MORE_DATA, as the real query does.
  std::vector<std::vector<BYTE>> blocks;
  LONG queryError = ERROR_SUCCESS;  // when set, every query fails with it
  bool alwaysMoreData = false;
  std::size_t reportedShortBy = 0;  // the answer's size is reported this much short
  std::vector<DWORD> querySizes;    // the buffer size of every query, in order

  // HKEY_DYN_DATA: the "KERNEL\CPUUsage" value of each key that exists.
  std::map<std::string, DWORD> dynData;
  std::vector<std::string> calls;  // "open KEY", "read KEY", "close KEY"

  void AddBlock(const std::vector<BYTE>& block) { blocks.push_back(block); }

  int OpenKeyCount() const {
    int open = 0;
    for (const std::string& call : calls) {
      if (call.rfind("open ", 0) == 0) ++open;
      if (call.rfind("close ", 0) == 0) --open;
    }
    return open;
  }

  BOOL QueryVersion(OSVERSIONINFOA* info) override {
    if (info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA)) return FALSE;
    info->dwPlatformId = platformId;
    return versionResult;
  }

  LONG QueryPerformanceData(const char* valueName, BYTE* data, DWORD* size) override {
    if (std::strcmp(valueName, "238") != 0) return ERROR_FILE_NOT_FOUND;
    querySizes.push_back(*size);
    if (queryError != ERROR_SUCCESS) return queryError;
    const std::vector<BYTE>& block = blocks.at(std::min(served_, blocks.size() - 1));
    if (alwaysMoreData || block.size() > *size) return ERROR_MORE_DATA;
    std::copy(block.begin(), block.end(), data);
    *size = static_cast<DWORD>(block.size() - reportedShortBy);
    ++served_;
    return ERROR_SUCCESS;
  }

  LONG OpenDynDataKey(const char* subKey, REGSAM, HKEY* key) override {
    if (!dynData.count(subKey)) return ERROR_FILE_NOT_FOUND;
    keys_.push_back(subKey);
    *key = reinterpret_cast<HKEY>(keys_.size());
    calls.push_back("open " + keys_.back());
    return ERROR_SUCCESS;
  }

  LONG QueryValue(HKEY key, const char* valueName, BYTE* data, DWORD* size) override {
    const std::string& name = KeyName(key);
    calls.push_back("read " + name);
    if (std::strcmp(valueName, "KERNEL\\CPUUsage") != 0 || *size < sizeof(DWORD)) {
      return ERROR_FILE_NOT_FOUND;
    }
    const DWORD value = dynData.at(name);
    std::memcpy(data, &value, sizeof value);
    *size = sizeof value;
    return ERROR_SUCCESS;
  }

  LONG CloseKey(HKEY key) override {
    calls.push_back("close " + KeyName(key));
    return ERROR_SUCCESS;
  }

 private:
  const std::string& KeyName(HKEY key) const {
    return keys_.at(reinterpret_cast<std::size_t>(key) - 1);
  }

  std::size_t served_ = 0;
  std::vector<std::string> keys_;
};
