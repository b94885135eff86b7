// A tab control whose pages are groups of the form's controls: only the active page's are shown.
// Its tabs have one width and fill the row.
#pragma once

#include <string>
#include <vector>

#include "toolkit/Control.h"

class PageControl : public Control {
 public:
  explicit PageControl(const ControlSite& site);

  void AddPage(const std::string& caption);
  int PageCount() const { return static_cast<int>(pages_.size()); }
  int ActivePage() const;
  // Switches pages without a notification.
  void SetActivePage(int page);
  // The page area in the parent's client coordinates.
  RECT DisplayRect() const;
  // Puts a control on a page; it is shown only while that page is active.
  void AddToPage(int page, Control& control);
  // The first control of the active page that takes the focus by Tab; nullptr when none does.
  HWND FirstTabStop() const;

  void Place(const Placement& placement) override;

 protected:
  bool HandleNotify(const NMHDR& header, LRESULT& result) override;

 private:
  void ShowPage(int page);

  std::vector<std::vector<Control*>> pages_;
};
