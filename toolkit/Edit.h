// The status line's read-only edit, and the etched frame around a group of controls.
#pragma once

#include "toolkit/Control.h"

// A read-only single-line edit on the button face, with a text colour of its own.
class Edit : public Control {
 public:
  explicit Edit(const ControlSite& site);

  // A COLORREF or a SystemColor.
  void SetTextColor(COLORREF color);

 protected:
  HBRUSH HandleCtlColor(HDC dc) override;

 private:
  COLORREF textColor_ = SystemColor(COLOR_WINDOWTEXT);
};

class Bevel : public Control {
 public:
  explicit Bevel(const ControlSite& site);
};
