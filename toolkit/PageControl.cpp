#include "toolkit/PageControl.h"

#include <uxtheme.h>

#include "base/Errors.h"
#include "base/SystemFunction.h"

namespace {

// Wine themes the tab control and paints the page area white, while the controls on the page keep
// the button face. Without a theme the page shows the form's button face, as on a classic desktop.
// uxtheme.dll only exists from Windows XP on.
void RemoveTheme(HWND window) {
  static const auto setWindowTheme = FindSystemFunction<decltype(&SetWindowTheme)>("uxtheme.dll", "SetWindowTheme");
  if (setWindowTheme) setWindowTheme(window, L" ", L" ");
}

}  // namespace

// WS_CLIPSIBLINGS: the pages' controls lie above the tab control, which must not paint over them.
PageControl::PageControl(const ControlSite& site) : Control(site) {
  RemoveTheme(AddPart(WC_TABCONTROLA, "", TCS_FIXEDWIDTH | WS_CLIPSIBLINGS | WS_TABSTOP | WS_GROUP));
}

void PageControl::AddPage(const std::string& caption) {
  TCITEMA item{};
  item.mask = TCIF_TEXT;
  item.pszText = const_cast<char*>(caption.c_str());
  if (Send(TCM_INSERTITEMA, pages_.size(), reinterpret_cast<LPARAM>(&item)) < 0)
    throw Error("Out of system resources");
  pages_.emplace_back();
  if (ActivePage() < 0) SetActivePage(0);
}

int PageControl::ActivePage() const { return static_cast<int>(Send(TCM_GETCURSEL)); }

void PageControl::SetActivePage(int page) {
  Send(TCM_SETCURSEL, page);
  ShowPage(ActivePage());
}

void PageControl::ShowPage(int page) {
  // Hide first, so that two pages are never on screen together.
  for (int index = 0; index < PageCount(); ++index)
    if (index != page)
      for (Control* control : pages_[index]) control->SetPageShown(false);
  if (page >= 0 && page < PageCount())
    for (Control* control : pages_[page]) control->SetPageShown(true);
}

void PageControl::Place(const Placement& placement) {
  Control::Place(placement);
  // A margin of 6 design pixels along the row. A height of 0 leaves the tabs as high as the
  // control's font makes them.
  RECT client;
  GetClientRect(Handle(), &client);
  if (PageCount() > 0)
    Send(TCM_SETITEMSIZE, 0, MAKELPARAM((client.right - placement.scale.X(6)) / PageCount(), 0));
}

RECT PageControl::DisplayRect() const {
  RECT area;
  GetClientRect(Handle(), &area);
  Send(TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
  MapWindowPoints(Handle(), GetParent(Handle()), reinterpret_cast<POINT*>(&area), 2);
  return area;
}

void PageControl::AddToPage(int page, Control& control) {
  if (page < 0 || page >= PageCount()) throw Error("Control \"" + control.Name() + "\" is on a missing page");
  pages_[page].push_back(&control);
  control.SetPageShown(page == ActivePage());
}

HWND PageControl::FirstTabStop() const {
  const int page = ActivePage();
  if (page < 0 || page >= PageCount()) return nullptr;
  for (const Control* control : pages_[page])
    for (const HWND part : control->Parts())
      if ((GetWindowLongA(part, GWL_STYLE) & (WS_TABSTOP | WS_VISIBLE | WS_DISABLED)) ==
          (WS_TABSTOP | WS_VISIBLE))
        return part;
  return nullptr;
}

bool PageControl::HandleNotify(const NMHDR& header, LRESULT&) {
  // Only the user's tab clicks notify; SetActivePage shows its page itself.
  if (header.code != TCN_SELCHANGE) return false;
  ShowPage(ActivePage());
  return true;
}
