#include "toolkit/ComboBox.h"

#include <algorithm>
#include <string>

#include "toolkit/Dpi.h"
#include "base/Errors.h"

namespace {

constexpr int kDroppedItems = 10;

}  // namespace

ComboBox::ComboBox(const ControlSite& site) : Control(site) {
  AddPart("COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP);
}

void ComboBox::Place(const Placement& placement) {
  dpi_ = placement.dpi;
  // Measured in the new font: every item, and one item's height in the dropped list, about ten of
  // which the window holds below the closed box.
  Send(WM_SETFONT, reinterpret_cast<WPARAM>(placement.font), FALSE);
  Placement fitted = placement;
  RECT& bounds = fitted.bounds;
  for (int index = 0, count = Count(); index < count; ++index)
    bounds.right = std::max<LONG>(bounds.right, bounds.left + WidthFor(ItemText(index)));
  bounds.bottom += kDroppedItems * static_cast<int>(Send(CB_GETITEMHEIGHT, 0)) + 2;
  Control::Place(fitted);
}

int ComboBox::WidthFor(const std::string& text) const {
  // The box's frame, the item's margins and the arrow (in the dropped list, its scroll bar) beside
  // the text, as the system draws them at the window's DPI.
  return TextWidth(reinterpret_cast<HFONT>(Send(WM_GETFONT)), text) +
         4 * ControlMetric(SM_CXEDGE, dpi_) + ControlMetric(SM_CXVSCROLL, dpi_);
}

void ComboBox::WidenFor(const std::string& text) {
  RECT box;
  GetWindowRect(Handle(), &box);
  if (const int needed = WidthFor(text); needed > box.right - box.left)
    SetWindowPos(Handle(), nullptr, 0, 0, needed, box.bottom - box.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ComboBox::Add(const std::string& text) {
  if (Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())) < 0)
    throw Error("Out of system resources");
  WidenFor(text);
}

void ComboBox::Insert(int index, const std::string& text) {
  if (Send(CB_INSERTSTRING, index, reinterpret_cast<LPARAM>(text.c_str())) < 0)
    throw Error("Out of system resources");
  WidenFor(text);
}

int ComboBox::Count() const { return static_cast<int>(Send(CB_GETCOUNT)); }

int ComboBox::ItemIndex() const { return static_cast<int>(Send(CB_GETCURSEL)); }

void ComboBox::SetItemIndex(int index) { Send(CB_SETCURSEL, index); }

std::string ComboBox::Text() const {
  const int index = ItemIndex();
  return index < 0 ? std::string() : ItemText(index);
}

std::string ComboBox::ItemText(int index) const {
  const LRESULT length = Send(CB_GETLBTEXTLEN, index);
  if (length == CB_ERR) throw Error("List index out of bounds (" + std::to_string(index) + ")");
  std::string text(length + 1, '\0');
  text.resize(Send(CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data())));
  return text;
}

bool ComboBox::HandleCommand(HWND, WORD code) {
  // CB_SETCURSEL sends nothing, so this is always the user's choice.
  if (code != CBN_SELCHANGE) return false;
  if (OnChange) OnChange(*this);
  return true;
}
