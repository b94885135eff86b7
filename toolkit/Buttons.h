// Check boxes and a group of radio buttons, never smaller than the glyph the system draws.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "toolkit/Control.h"

class CheckBox : public Control {
 public:
  explicit CheckBox(const ControlSite& site);

  bool Checked() const;
  void SetChecked(bool checked);

  // The user's clicks, which check or clear the box.
  std::function<void(CheckBox&)> OnClick;

  // At least as wide as its glyph and caption, and as high as the glyph.
  void Place(const Placement& placement) override;

 protected:
  bool HandleCommand(HWND part, WORD code) override;
};

// A captioned group box with one column of radio buttons.
class RadioGroup : public Control {
 public:
  explicit RadioGroup(const ControlSite& site);

  // Makes the buttons, once.
  void SetItems(const std::vector<std::string>& items);
  int ItemIndex() const;
  void SetItemIndex(int index);

  std::function<void(RadioGroup&)> OnClick;

  // The box, and its buttons in one column inside it, evenly spaced.
  void Place(const Placement& placement) override;

 protected:
  bool HandleCommand(HWND part, WORD code) override;

 private:
  int ButtonCount() const { return static_cast<int>(Parts().size()) - 1; }

  Placement placement_;
  int index_ = -1;
};
