// A list of texts whose items may carry a reference to the object each stands for. The drop-down
// lists implement it; the code that fills them (the counter catalogue, the port probe) knows only this.
#pragma once

#include <string>

class StringList {
 public:
  virtual void Clear() = 0;
  virtual void AddObject(const std::string& text, void* object) = 0;
  virtual int Count() const = 0;
  void Add(const std::string& text) { AddObject(text, nullptr); }

 protected:
  ~StringList() = default;
};
