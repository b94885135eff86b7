#include "toolkit/Controls.h"

#include <algorithm>

CheckBox::CheckBox(const ControlSite& site) : Control(site) {
  AddPart(site, "BUTTON", site.caption.c_str(), BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP, 0,
          site.bounds);
}

bool CheckBox::Checked() const { return Send(BM_GETCHECK) == BST_CHECKED; }

void CheckBox::SetChecked(bool checked) { Send(BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED); }

namespace {

// Room for the group box's caption above the buttons and for its frame below them.
constexpr int kCaptionSpace = 14;
constexpr int kBottomSpace = 4;
constexpr int kButtonIndent = 8;
constexpr int kButtonHeight = 17;

}  // namespace

// WS_CLIPSIBLINGS: the box must not paint over its buttons, which lie above it.
RadioGroup::RadioGroup(const ControlSite& site) : Control(site), site_(site) {
  AddPart(site, "BUTTON", site.caption.c_str(), BS_GROUPBOX | WS_CLIPSIBLINGS | WS_GROUP, 0,
          site.bounds);
}

void RadioGroup::SetItems(const std::vector<std::string>& items) {
  DestroyParts(1);
  index_ = -1;
  const RECT& box = site_.bounds;
  const int count = static_cast<int>(items.size());
  const int rowHeight = count ? (box.bottom - box.top - kCaptionSpace - kBottomSpace) / count : 0;
  const int buttonHeight = std::min(rowHeight, kButtonHeight);

  // The buttons go right above the box in the z-order, which keeps them in the form's tab order
  // where the group stands.
  const HWND above = GetWindow(Handle(), GW_HWNDPREV);
  HWND insertAfter = above ? above : HWND_TOP;
  for (int index = 0; index < count; ++index) {
    const int top = box.top + kCaptionSpace + index * rowHeight + (rowHeight - buttonHeight) / 2;
    const RECT bounds{box.left + kButtonIndent, top, box.right - kButtonIndent, top + buttonHeight};
    // The first button opens the dialog-manager group that the arrow keys move in.
    const DWORD style = BS_AUTORADIOBUTTON | (index == 0 ? WS_GROUP | WS_TABSTOP : 0);
    const HWND button = AddPart(site_, "BUTTON", items[index].c_str(), style, 0, bounds);
    SetWindowPos(button, insertAfter, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    insertAfter = button;
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
