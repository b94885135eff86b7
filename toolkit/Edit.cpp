#include "toolkit/Edit.h"

Edit::Edit(const ControlSite& site) : Control(site) {
  AddPart("EDIT", site.caption.c_str(), ES_READONLY | ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP,
          WS_EX_CLIENTEDGE);
}

void Edit::SetTextColor(COLORREF color) {
  textColor_ = color;
  InvalidateRect(Handle(), nullptr, TRUE);
}

// A read-only edit asks its parent with WM_CTLCOLORSTATIC.
HBRUSH Edit::HandleCtlColor(HDC dc) {
  ::SetTextColor(dc, ResolveColor(textColor_));
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  return GetSysColorBrush(COLOR_BTNFACE);
}

// WS_CLIPSIBLINGS: the frame lies below the controls inside it and must not paint over them.
Bevel::Bevel(const ControlSite& site) : Control(site) {
  AddPart("STATIC", "", SS_ETCHEDFRAME | WS_CLIPSIBLINGS | WS_GROUP);
}
