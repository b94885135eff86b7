// A string list that keeps what it is given, for the code that fills the program's lists.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "toolkit/StringList.h"

class RecordingList : public StringList {
 public:
  void Clear() override { items.clear(); }
  void AddObject(const std::string& text, void* object) override { items.emplace_back(text, object); }
  int Count() const override { return static_cast<int>(items.size()); }

  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const auto& item : items) texts.push_back(item.first);
    return texts;
  }

  std::vector<std::pair<std::string, void*>> items;
};
