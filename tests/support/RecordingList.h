// A string list that keeps what it is given, for the code that fills the program's lists.
#pragma once

#include <string>
#include <vector>

#include "toolkit/StringList.h"

class RecordingList : public StringList {
 public:
  void Clear() override { items.clear(); }
  void Add(const std::string& text) override { items.push_back(text); }
  int Count() const override { return static_cast<int>(items.size()); }

  std::vector<std::string> items;
};
