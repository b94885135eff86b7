#include "toolkit/Labels.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "base/Errors.h"
#include "toolkit/Window.h"

Label::Label(const ControlSite& site, bool wrap)
    : Label(site, static_cast<DWORD>(wrap ? SS_LEFT : SS_LEFTNOWORDWRAP)) {}

Label::Label(const ControlSite& site, DWORD extraStyle) : Control(site) {
  AddPart("STATIC", site.caption.c_str(), extraStyle | WS_GROUP);
}

namespace {

// What a value label's window owns; its window procedure frees it with the window.
struct ValueWindow {
  std::string text;
  HFONT font = nullptr;
};

ValueWindow& StateOf(HWND window) {
  return *reinterpret_cast<ValueWindow*>(GetWindowLongPtrA(window, 0));
}

void PaintValue(HWND window, HDC dc, const ValueWindow& state) {
  RECT client;
  GetClientRect(window, &client);
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  ExtTextOutA(dc, 0, 0, ETO_OPAQUE | ETO_CLIPPED, &client, state.text.data(),
              static_cast<UINT>(state.text.size()), nullptr);
}

LRESULT HandleValueMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCCREATE:
      SetWindowLongPtrA(window, 0, reinterpret_cast<LONG_PTR>(new ValueWindow));
      break;
    case WM_NCDESTROY:
      delete &StateOf(window);
      SetWindowLongPtrA(window, 0, 0);
      break;
    case WM_SETTEXT: {
      ValueWindow& state = StateOf(window);
      const char* text = lParam ? reinterpret_cast<const char*>(lParam) : "";
      if (state.text == text) return TRUE;
      state.text = text;
      if (IsWindowVisible(window)) {
        const HDC dc = GetDC(window);
        PaintValue(window, dc, state);
        ReleaseDC(window, dc);
      }
      return TRUE;
    }
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(StateOf(window).text.size());
    case WM_GETTEXT: {
      if (wParam == 0) return 0;
      const std::string& text = StateOf(window).text;
      lstrcpynA(reinterpret_cast<char*>(lParam), text.c_str(), static_cast<int>(wParam));
      return static_cast<LRESULT>(std::min<std::size_t>(text.size(), wParam - 1));
    }
    case WM_SETFONT: {
      // The window's own context keeps the font from now on.
      StateOf(window).font = reinterpret_cast<HFONT>(wParam);
      const HDC dc = GetDC(window);
      SelectObject(dc, wParam ? reinterpret_cast<HGDIOBJ>(wParam) : GetStockObject(SYSTEM_FONT));
      ReleaseDC(window, dc);
      if (LOWORD(lParam)) InvalidateRect(window, nullptr, FALSE);
      return 0;
    }
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(StateOf(window).font);
    case WM_ERASEBKGND:
      return TRUE;  // the paint fills the whole window
    case WM_PAINT: {
      PAINTSTRUCT paint;
      const HDC dc = BeginPaint(window, &paint);
      PaintValue(window, dc, StateOf(window));
      EndPaint(window, &paint);
      return 0;
    }
    case WM_NCHITTEST:
      return HTTRANSPARENT;  // like a plain static, it lets the mouse through
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK ValueWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  try {
    return HandleValueMessage(window, message, wParam, lParam);
  } catch (...) {
    HandleException(std::current_exception());
    return 0;
  }
}

const char* ValueWindowClass() {
  static const char* const name = [] {
    WNDCLASSA windowClass{};
    windowClass.style = CS_OWNDC;
    windowClass.lpfnWndProc = &ValueWindowProc;
    windowClass.cbWndExtra = sizeof(ValueWindow*);
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = "ValueLabel";
    if (!RegisterClassA(&windowClass)) RaiseLastOSError();
    return windowClass.lpszClassName;
  }();
  return name;
}

HFONT UnderlinedCopy(HFONT font) {
  LOGFONTA description{};
  GetObjectA(font, sizeof description, &description);
  description.lfUnderline = TRUE;
  return CreateFontIndirectA(&description);
}

}  // namespace

// Created without a caption, so that the system's own copy of the text is empty rather than stale:
// the window answers for its text itself.
ValueLabel::ValueLabel(const ControlSite& site) : Control(site) {
  AddPart(ValueWindowClass(), "", 0);
  SetText(site.caption);
}

// SS_NOTIFY makes the text clickable; a plain static lets the mouse through to what lies below.
LinkLabel::LinkLabel(const ControlSite& site)
    : Label(site, static_cast<DWORD>(SS_LEFTNOWORDWRAP | SS_NOTIFY)) {}

void LinkLabel::Place(const Placement& placement) {
  // The old copy goes once the label draws with the new one.
  const GdiObject<HFONT> previous =
      std::exchange(underlined_, GdiObject<HFONT>(UnderlinedCopy(placement.font)));
  Placement underlinedPlacement = placement;
  underlinedPlacement.font = underlined_.Get();
  Label::Place(underlinedPlacement);
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
  const bool system = textColor_ & 0x80000000u;
  ::SetTextColor(dc, system ? GetSysColor(static_cast<int>(textColor_ & 0xFF)) : textColor_);
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  return GetSysColorBrush(COLOR_BTNFACE);
}

// WS_CLIPSIBLINGS: the frame lies below the controls inside it and must not paint over them.
Bevel::Bevel(const ControlSite& site) : Control(site) {
  AddPart("STATIC", "", SS_ETCHEDFRAME | WS_CLIPSIBLINGS | WS_GROUP);
}
