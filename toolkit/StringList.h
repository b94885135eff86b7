// A list of texts. The drop-down lists implement it; the code that fills them (the counter
// catalogue, the port probe) knows only this.
#pragma once

#include <string>

class StringList {
 public:
  virtual void Clear() = 0;
  virtual void Add(const std::string& text) = 0;
  virtual int Count() const = 0;

 protected:
  ~StringList() = default;
};
