#include "toolkit/Control.h"

#include <algorithm>

#include "base/Errors.h"

int TextWidth(HFONT font, const std::string& text) {
  const HDC dc = GetDC(nullptr);
  if (!dc) return 0;
  const HGDIOBJ previous = SelectObject(dc, font ? font : GetStockObject(SYSTEM_FONT));
  SIZE extent{};
  GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &extent);
  SelectObject(dc, previous);
  ReleaseDC(nullptr, dc);
  return extent.cx;
}

Control::~Control() {
  for (HWND part : parts_)
    if (IsWindow(part)) DestroyWindow(part);
}

bool Control::Owns(HWND window) const {
  return std::find(parts_.begin(), parts_.end(), window) != parts_.end();
}

void Control::Place(const Placement& placement) {
  const RECT& bounds = placement.bounds;
  SetWindowPos(Handle(), nullptr, bounds.left, bounds.top, bounds.right - bounds.left,
               bounds.bottom - bounds.top, SWP_NOZORDER | SWP_NOACTIVATE);
  for (HWND part : parts_) SendMessageA(part, WM_SETFONT, reinterpret_cast<WPARAM>(placement.font), TRUE);
}

HWND Control::AddPart(const char* className, const char* caption, DWORD style, DWORD exStyle) {
  style |= WS_CHILD;
  if (visible_ && pageShown_) style |= WS_VISIBLE;
  const HWND part = CreateWindowExA(exStyle, className, caption, style, 0, 0, 0, 0, parent_,
                                    reinterpret_cast<HMENU>(INT_PTR{id_}), GetModuleHandleA(nullptr), nullptr);
  if (!part) RaiseLastOSError();
  parts_.push_back(part);
  return part;
}

LRESULT Control::Send(UINT message, WPARAM wParam, LPARAM lParam) const {
  return SendMessageA(Handle(), message, wParam, lParam);
}

std::string Control::Text() const {
  std::string text(GetWindowTextLengthA(Handle()) + 1, '\0');
  text.resize(GetWindowTextA(Handle(), text.data(), static_cast<int>(text.size())));
  return text;
}

void Control::SetText(const std::string& text) {
  settingText_ = true;
  SetWindowTextA(Handle(), text.c_str());
  settingText_ = false;
}

void Control::SetVisible(bool visible) {
  visible_ = visible;
  ApplyVisibility();
}

void Control::SetPageShown(bool shown) {
  pageShown_ = shown;
  ApplyVisibility();
}

void Control::ApplyVisibility() {
  const int command = visible_ && pageShown_ ? SW_SHOWNA : SW_HIDE;
  for (HWND part : parts_) ShowWindow(part, command);
}

bool Control::HandleCommand(HWND, WORD) { return false; }
bool Control::HandleNotify(const NMHDR&, LRESULT&) { return false; }
HBRUSH Control::HandleCtlColor(HDC) { return nullptr; }
bool Control::HandleSetCursor() { return false; }
