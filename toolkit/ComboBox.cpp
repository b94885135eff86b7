#include "toolkit/Controls.h"

#include <cstdio>

#include "toolkit/Dpi.h"
#include "toolkit/Errors.h"

namespace {

constexpr int kDroppedItems = 10;

[[noreturn]] void RaiseIndexError(int index) {
  char message[48];
  std::snprintf(message, sizeof message, "List index out of bounds (%d)", index);
  throw Error(message);
}

}  // namespace

ComboBox::ComboBox(const ControlSite& site) : Control(site), dpi_(site.dpi) {
  AddPart(site, "COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP, 0, site.bounds);
  FitList(site.bounds);
}

void ComboBox::Relayout(const ControlSite& site) {
  dpi_ = site.dpi;
  Control::Relayout(site);
  FitList(site.bounds);
  // Every item measured again in the new font.
  Send(CB_SETDROPPEDWIDTH, 0);
  for (int index = 0, count = Count(); index < count; ++index) WidenListFor(ItemText(index));
}

void ComboBox::FitList(const RECT& bounds) {
  // The window's height is the closed box plus the dropped list, here about ten items.
  const int itemHeight = static_cast<int>(Send(CB_GETITEMHEIGHT, 0));
  SetWindowPos(Handle(), nullptr, 0, 0, bounds.right - bounds.left,
               bounds.bottom - bounds.top + kDroppedItems * itemHeight + 2,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ComboBox::Clear() { Send(CB_RESETCONTENT); }

void ComboBox::Add(const std::string& text) {
  if (Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())) < 0)
    throw Error("Out of system resources");
  WidenListFor(text);
}

void ComboBox::Insert(int index, const std::string& text) {
  if (Send(CB_INSERTSTRING, index, reinterpret_cast<LPARAM>(text.c_str())) < 0)
    throw Error("Out of system resources");
  WidenListFor(text);
}

void ComboBox::WidenListFor(const std::string& text) {
  const HDC dc = GetDC(Handle());
  if (!dc) return;
  const HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HGDIOBJ>(Send(WM_GETFONT)));
  SIZE extent{};
  GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &extent);
  SelectObject(dc, previous);
  ReleaseDC(Handle(), dc);
  // The list's frame, the item's margins and a scroll bar beside the text.
  const LRESULT needed =
      extent.cx + 4 * ControlMetric(SM_CXEDGE, dpi_) + ControlMetric(SM_CXVSCROLL, dpi_);
  if (needed > Send(CB_GETDROPPEDWIDTH)) Send(CB_SETDROPPEDWIDTH, needed);
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
  if (length == CB_ERR) RaiseIndexError(index);
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
