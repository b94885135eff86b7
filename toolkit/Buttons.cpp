#include "toolkit/Buttons.h"

#include <algorithm>

#include "toolkit/Dpi.h"

namespace {

// The check box and radio button glyph grows with the DPI (13, 15, 19 and 27 pixels at 96, 120,
// 144 and 192 DPI); a button is never lower than its glyph.
int GlyphSize(int dpi) { return ControlMetric(SM_CYMENUCHECK, dpi); }

// As designed, scaled: the room between the glyph and the caption, one character.
constexpr int kCaptionGap = 6;

}  // namespace

CheckBox::CheckBox(const ControlSite& site) : Control(site) {
  AddPart("BUTTON", site.caption.c_str(), BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP);
}

void CheckBox::Place(const Placement& placement) {
  Placement fitted = placement;
  RECT& bounds = fitted.bounds;
  const int glyph = GlyphSize(placement.dpi);
  const std::string caption = Text();
  const int beside = caption.empty() ? 0 : placement.scale.X(kCaptionGap) + TextWidth(placement.font, caption);
  bounds.right = std::max<LONG>(bounds.right, bounds.left + glyph + beside);
  bounds.bottom = std::max<LONG>(bounds.bottom, bounds.top + glyph);
  Control::Place(fitted);
}

bool CheckBox::Checked() const { return Send(BM_GETCHECK) == BST_CHECKED; }

void CheckBox::SetChecked(bool checked) { Send(BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED); }

bool CheckBox::HandleCommand(HWND, WORD code) {
  // BM_SETCHECK tells nobody, so this is always the user's click.
  if (code != BN_CLICKED) return false;
  if (OnClick) OnClick(*this);
  return true;
}

namespace {

// As designed, scaled with the layout: room for the group box's caption above the buttons and
// for its frame below them.
constexpr int kCaptionSpace = 14;
constexpr int kBottomSpace = 4;
constexpr int kButtonIndent = 8;
constexpr int kButtonHeight = 17;

}  // namespace

// WS_CLIPSIBLINGS: the box must not paint over its buttons, which lie above it.
RadioGroup::RadioGroup(const ControlSite& site) : Control(site) {
  AddPart("BUTTON", site.caption.c_str(), BS_GROUPBOX | WS_CLIPSIBLINGS | WS_GROUP);
}

void RadioGroup::SetItems(const std::vector<std::string>& items) {
  // The buttons go right above the box in the z-order, which keeps them in the form's tab order
  // where the group stands.
  const HWND above = GetWindow(Handle(), GW_HWNDPREV);
  HWND insertAfter = above ? above : HWND_TOP;
  for (std::size_t index = 0; index < items.size(); ++index) {
    // The first button opens the dialog-manager group that the arrow keys move in.
    const DWORD style = BS_AUTORADIOBUTTON | (index == 0 ? WS_GROUP | WS_TABSTOP : 0);
    const HWND button = AddPart("BUTTON", items[index].c_str(), style);
    SetWindowPos(button, insertAfter, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    insertAfter = button;
  }
  Place(placement_);
}

void RadioGroup::Place(const Placement& placement) {
  placement_ = placement;
  Control::Place(placement);
  const RECT& box = placement.bounds;
  const LayoutScale& scale = placement.scale;
  const int captionSpace = scale.Y(kCaptionSpace);
  const int count = ButtonCount();
  const int rowHeight =
      count ? (box.bottom - box.top - captionSpace - scale.Y(kBottomSpace)) / count : 0;
  const int buttonHeight =
      std::max(std::min(rowHeight, scale.Y(kButtonHeight)), GlyphSize(placement.dpi));
  for (int index = 0; index < count; ++index) {
    const int top = box.top + captionSpace + index * rowHeight + (rowHeight - buttonHeight) / 2;
    const int left = box.left + scale.X(kButtonIndent);
    SetWindowPos(Parts()[index + 1], nullptr, left, top, box.right - scale.X(kButtonIndent) - left,
                 buttonHeight, SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

int RadioGroup::ItemIndex() const { return index_; }

void RadioGroup::SetItemIndex(int index) {
  index_ = index >= 0 && index < ButtonCount() ? index : -1;
  for (int button = 0; button < ButtonCount(); ++button)
    SendMessageA(Parts()[button + 1], BM_SETCHECK, button == index_ ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool RadioGroup::HandleCommand(HWND part, WORD code) {
  const auto& parts = Parts();
  const auto found = std::find(parts.begin() + 1, parts.end(), part);
  if (code != BN_CLICKED || found == parts.end()) return false;
  // A click on the button already chosen changes nothing and tells nobody.
  const int index = static_cast<int>(found - parts.begin()) - 1;
  if (index == index_) return true;
  SetItemIndex(index);
  if (OnClick) OnClick(*this);
  return true;
}
