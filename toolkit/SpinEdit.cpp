#include "toolkit/SpinEdit.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

SpinEdit::SpinEdit(const ControlSite& site) : Control(site) {
  AddPart("EDIT", "0", ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP, WS_EX_CLIENTEDGE);
  // No thousands separator: in a Russian locale it is a space, and the text would be no number.
  AddPart(UPDOWN_CLASSA, "", UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS);
  SetRange(minimum_, maximum_);
}

void SpinEdit::Place(const Placement& placement) {
  // The edit takes the whole width; naming it the buddy puts the arrows inside that width, beside
  // the text they write.
  Control::Place(placement);
  SendMessageA(UpDown(), UDM_SETBUDDY, reinterpret_cast<WPARAM>(Handle()), 0);
}

void SpinEdit::SetRange(int minimum, int maximum) {
  minimum_ = minimum;
  maximum_ = maximum;
  // UDM_SETRANGE32 would need comctl32 4.71; this one takes 16-bit limits, upper in the low word.
  SendMessageA(UpDown(), UDM_SETRANGE, 0, MAKELPARAM(static_cast<short>(maximum), static_cast<short>(minimum)));
}

void SpinEdit::SetIncrement(int increment) {
  UDACCEL step{0, static_cast<UINT>(increment)};
  SendMessageA(UpDown(), UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&step));
}

bool SpinEdit::Parse(int& value) const {
  const std::string text = Control::Text();
  if (text.empty() || !(text[0] == '-' || text[0] == '+' || (text[0] >= '0' && text[0] <= '9')))
    return false;
  char* end = nullptr;
  errno = 0;
  const long number = std::strtol(text.c_str(), &end, 10);
  if (*end != '\0' || errno == ERANGE) return false;
  value = static_cast<int>(number);
  return true;
}

int SpinEdit::Value() const {
  int value = 0;
  return Parse(value) ? value : minimum_;
}

// The up-down control reads the text before each step, so the text is the whole state.
void SpinEdit::SetValue(int value) { SetText(std::to_string(value)); }

bool SpinEdit::HandleCommand(HWND part, WORD code) {
  if (part != Handle()) return false;
  if (code == EN_CHANGE) {
    // Typing and the arrows both change the text; SetValue changes it too, but silently.
    if (!SettingText() && OnChange) OnChange(*this);
    return true;
  }
  if (code == EN_KILLFOCUS) {
    int value = 0;
    if (Parse(value) && (value < minimum_ || value > maximum_)) {
      SetValue(std::clamp(value, minimum_, maximum_));
      if (OnChange) OnChange(*this);
    }
    return true;
  }
  return false;
}
