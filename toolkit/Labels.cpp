#include "toolkit/Controls.h"

Label::Label(const ControlSite& site, bool wrap)
    : Label(site, static_cast<DWORD>(wrap ? SS_LEFT : SS_LEFTNOWORDWRAP)) {}

Label::Label(const ControlSite& site, DWORD extraStyle) : Control(site) {
  AddPart(site, "STATIC", site.caption.c_str(), extraStyle | WS_GROUP, 0, site.bounds);
}

namespace {

HFONT UnderlinedCopy(HFONT font) {
  LOGFONTA description{};
  GetObjectA(font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)), sizeof description,
             &description);
  description.lfUnderline = TRUE;
  return CreateFontIndirectA(&description);
}

}  // namespace

// SS_NOTIFY makes the text clickable; a plain static lets the mouse through to what lies below.
LinkLabel::LinkLabel(const ControlSite& site)
    : Label(site, static_cast<DWORD>(SS_LEFTNOWORDWRAP | SS_NOTIFY)),
      underlined_(UnderlinedCopy(site.font)) {
  Send(WM_SETFONT, reinterpret_cast<WPARAM>(underlined_.Get()), FALSE);
}

bool LinkLabel::HandleCommand(HWND, WORD code) {
  if (code != STN_CLICKED) return false;
  if (OnClick) OnClick(*this);
  return true;
}

HBRUSH LinkLabel::HandleCtlColor(HDC dc) {
  SetTextColor(dc, RGB(0, 0, 255));
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  return GetSysColorBrush(COLOR_BTNFACE);
}

bool LinkLabel::HandleSetCursor() {
  // The system's hand came with Windows 98 and 2000; before them LoadCursorA answers NULL, and
  // SetCursor(NULL) would hide the pointer.
  static const HCURSOR hand = [] {
    HCURSOR cursor = LoadCursorA(nullptr, IDC_HAND);
    if (!cursor) cursor = LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1));
    return cursor ? cursor : LoadCursorA(nullptr, IDC_ARROW);
  }();
  SetCursor(hand);
  return true;
}
