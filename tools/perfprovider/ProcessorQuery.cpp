#include "tools/perfprovider/ProcessorQuery.h"

namespace dvxperf {
namespace {

// Whether [begin, end) is a decimal number equal to the index.
bool IsIndex(const wchar_t* begin, const wchar_t* end, unsigned index) {
  unsigned value = 0;
  for (const wchar_t* c = begin; c != end; ++c) {
    if (*c < L'0' || *c > L'9') return false;
    // Once the number is past the index it can never come back; stop before it overflows.
    if (value <= index) value = value * 10 + (*c - L'0');
  }
  return value == index;
}

bool IsWord(const wchar_t* begin, const wchar_t* end, const char* word) {
  for (const wchar_t* c = begin; c != end; ++c, ++word) {
    wchar_t upper = (*c >= L'a' && *c <= L'z') ? *c - (L'a' - L'A') : *c;
    wchar_t wanted = (*word >= 'a' && *word <= 'z') ? *word - ('a' - 'A') : *word;
    if (!*word || upper != wanted) return false;
  }
  return !*word;
}

}  // namespace

bool AsksForProcessor(const wchar_t* query) {
  if (!query || !*query) return true;
  const wchar_t* c = query;
  while (*c) {
    while (*c == L' ') ++c;
    const wchar_t* begin = c;
    while (*c && *c != L' ') ++c;
    if (begin != c && (IsIndex(begin, c, ProcessorObjectIndex) || IsWord(begin, c, "Global"))) return true;
  }
  return false;
}

}  // namespace dvxperf
