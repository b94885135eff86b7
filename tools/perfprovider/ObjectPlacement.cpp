#include "tools/perfprovider/ObjectPlacement.h"

#include <winperf.h>

#include <cstdint>

namespace dvxperf {
namespace {

constexpr std::uintptr_t PageSize = 4096;

bool RunningUnderWine() {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

bool Readable(std::uintptr_t page) {
  MEMORY_BASIC_INFORMATION info;
  if (!VirtualQuery(reinterpret_cast<const void*>(page), &info, sizeof info) || info.State != MEM_COMMIT)
    return false;
  constexpr DWORD readable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                             PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
  return (info.Protect & readable) && !(info.Protect & PAGE_GUARD);
}

// Whether a data block starts at `at` whose next object's place is `data`, or `data` less the stray
// step of Wine 8.0.
bool IsBlockBehind(std::uintptr_t at, std::uintptr_t data) {
  const auto* block = reinterpret_cast<const PERF_DATA_BLOCK*>(at);
  if (block->Signature[0] != L'P' || block->Signature[1] != L'E' || block->Signature[2] != L'R' ||
      block->Signature[3] != L'F')
    return false;
  if (block->LittleEndian != 1 || block->Version != PERF_DATA_VERSION) return false;
  if (block->HeaderLength < sizeof(PERF_DATA_BLOCK) || block->TotalByteLength < block->HeaderLength)
    return false;
  const std::uintptr_t distance = data - at;
  return distance == block->TotalByteLength || distance == block->TotalByteLength + sizeof(PERF_DATA_BLOCK);
}

// The block lies at the start of the consumer's buffer, before the objects other providers wrote:
// search backwards from `data`, reading only pages that are committed and readable.
const PERF_DATA_BLOCK* FindBlockBehind(std::uintptr_t data) {
  std::uintptr_t readableFrom = data;  // [readableFrom, data) has been checked
  for (std::uintptr_t at = data - sizeof(PERF_DATA_BLOCK); at < data; --at) {
    while (at < readableFrom) {
      const std::uintptr_t page = (readableFrom - 1) & ~(PageSize - 1);
      if (!Readable(page)) return nullptr;
      readableFrom = page;
    }
    if (IsBlockBehind(at, data)) return reinterpret_cast<const PERF_DATA_BLOCK*>(at);
  }
  return nullptr;
}

}  // namespace

BYTE* WhereConsumerLooks(BYTE* data) {
  if (!RunningUnderWine()) return data;
  const PERF_DATA_BLOCK* block = FindBlockBehind(reinterpret_cast<std::uintptr_t>(data));
  if (!block) return data;
  return reinterpret_cast<BYTE*>(const_cast<PERF_DATA_BLOCK*>(block)) + block->TotalByteLength;
}

}  // namespace dvxperf
