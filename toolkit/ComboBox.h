// A pick-only drop-down list, as high as it is laid out when closed and as wide, unless an item
// needs more room beside the arrow.
#pragma once

#include <functional>
#include <string>

#include "toolkit/Control.h"

class ComboBox : public Control {
 public:
  explicit ComboBox(const ControlSite& site);

  void Add(const std::string& text);
  // Puts an item at `index`, moving the ones from there on down.
  void Insert(int index, const std::string& text);
  int Count() const;

  int ItemIndex() const;
  void SetItemIndex(int index);
  // The selected item's text, "" when nothing is selected.
  std::string Text() const override;
  std::string ItemText(int index) const;

  std::function<void(ComboBox&)> OnChange;

  void Place(const Placement& placement) override;

 protected:
  bool HandleCommand(HWND part, WORD code) override;

 private:
  // The room an item's text needs, beside the arrow.
  int WidthFor(const std::string& text) const;
  void WidenFor(const std::string& text);

  int dpi_ = USER_DEFAULT_SCREEN_DPI;
};
