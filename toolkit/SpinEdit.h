// A numeric edit with an up-down control beside it.
#pragma once

#include <functional>

#include "toolkit/Control.h"

class SpinEdit : public Control {
 public:
  explicit SpinEdit(const ControlSite& site);

  // Limits within -32768..32767, as the up-down control of every Windows takes them.
  void SetRange(int minimum, int maximum);
  // Each arrow click moves the value by this much.
  void SetIncrement(int increment);
  // The text read as a decimal integer; the minimum while the text is not a number.
  int Value() const;
  void SetValue(int value);

  // The user's typing and arrow clicks, and the correction of an out-of-range value on focus loss.
  std::function<void(SpinEdit&)> OnChange;

  void Place(const Placement& placement) override;

 protected:
  bool HandleCommand(HWND part, WORD code) override;

 private:
  HWND UpDown() const { return Parts()[1]; }
  bool Parse(int& value) const;

  int minimum_ = 0;
  int maximum_ = 100;
};
