// A percentage counter that reads what the test gives it, and says when it is freed.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "counters/Counters.h"

class FixedPercent : public TPercentCounter {
 public:
  FixedPercent(std::string name, long double value, std::vector<std::string>* freed = nullptr)
      : name_(std::move(name)), value_(value), freed_(freed) {}
  ~FixedPercent() override {
    if (freed_) freed_->push_back(name_);
  }
  std::string GetName() const override { return name_; }
  long double GetValue() const override { return value_; }
  void Rename(std::string name) { name_ = std::move(name); }

 private:
  std::string name_;
  long double value_;
  std::vector<std::string>* freed_;
};
