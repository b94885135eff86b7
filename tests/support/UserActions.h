// What a user does to a control, done to its window from a test, in this process or another.
#pragma once

#include <windows.h>

// Picks item `index` of a drop-down list as the user does: the list selects it, then tells its
// parent (CB_SETCURSEL alone tells nobody).
inline void PickItem(HWND list, int index) {
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(list, CB_SETCURSEL, index, 0, SMTO_NORMAL, 5000, &ignored);
  SendMessageTimeoutA(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), CBN_SELCHANGE),
                      reinterpret_cast<LPARAM>(list), SMTO_NORMAL, 5000, &ignored);
}
