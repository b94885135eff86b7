#include "toolkit/Controls.h"

#include "toolkit/Errors.h"

namespace {

// The control object behind each of its windows sits in GWLP_USERDATA, which belongs to whoever
// creates the window. (A window property would do as well, but under Wine every GetPropA is a
// round trip to the wineserver, and the form looks a control up for each of its colour requests.)
void Attach(HWND part, Control* control) {
  SetWindowLongPtrA(part, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(control));
}

}  // namespace

COLORREF ResolveColor(COLORREF color) {
  return (color & 0x80000000u) ? GetSysColor(static_cast<int>(color & 0xFF)) : color;
}

Control::Control(const ControlSite& site) : name_(site.name) {}

Control::~Control() {
  Detach();
  for (HWND part : parts_)
    if (IsWindow(part)) DestroyWindow(part);
}

Control* Control::FromHandle(HWND window) {
  return window ? reinterpret_cast<Control*>(GetWindowLongPtrA(window, GWLP_USERDATA)) : nullptr;
}

HWND Control::AddPart(const ControlSite& site, const char* className, const char* caption,
                      DWORD style, DWORD exStyle, const RECT& bounds) {
  style |= WS_CHILD;
  if (visible_ && pageShown_) style |= WS_VISIBLE;
  if (!parts_.empty() && !IsWindowEnabled(Handle())) style |= WS_DISABLED;
  const HWND part = CreateWindowExA(exStyle, className, caption, style, bounds.left, bounds.top,
                                    bounds.right - bounds.left, bounds.bottom - bounds.top,
                                    site.parent, reinterpret_cast<HMENU>(INT_PTR{site.id}),
                                    GetModuleHandleA(nullptr), nullptr);
  if (!part) RaiseLastOSError();
  parts_.push_back(part);
  Attach(part, this);
  if (site.font) SendMessageA(part, WM_SETFONT, reinterpret_cast<WPARAM>(site.font), FALSE);
  return part;
}

void Control::DestroyParts(std::size_t first) {
  while (parts_.size() > first) {
    Attach(parts_.back(), nullptr);
    DestroyWindow(parts_.back());
    parts_.pop_back();
  }
}

void Control::Detach() {
  for (HWND part : parts_) Attach(part, nullptr);
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

bool Control::Enabled() const { return IsWindowEnabled(Handle()); }

void Control::SetEnabled(bool enabled) {
  for (HWND part : parts_) EnableWindow(part, enabled);
}

bool Control::HandleCommand(HWND, WORD) { return false; }
bool Control::HandleNotify(const NMHDR&, LRESULT&) { return false; }
HBRUSH Control::HandleCtlColor(HDC) { return nullptr; }
bool Control::HandleSetCursor() { return false; }
