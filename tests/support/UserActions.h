// What a user does to a control and what the user sees of it, done to its window from a test.
#pragma once

#include <windows.h>
#include <dbt.h>

// Picks item `index` of a drop-down list as the user does: the list selects it, then tells its
// parent (CB_SETCURSEL alone tells nobody).
inline void PickItem(HWND list, int index) {
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(list, CB_SETCURSEL, index, 0, SMTO_NORMAL, 5000, &ignored);
  SendMessageTimeoutA(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), CBN_SELCHANGE),
                      reinterpret_cast<LPARAM>(list), SMTO_NORMAL, 5000, &ignored);
}

// Clicks radio button `index` (0..) of the group `groupId` in `parent`, as the user does.
inline void ClickRadioButton(HWND parent, int groupId, int index) {
  for (HWND child = FindWindowExA(parent, nullptr, "Button", nullptr); child;
       child = FindWindowExA(parent, child, "Button", nullptr)) {
    const bool isRadio = (GetWindowLongA(child, GWL_STYLE) & BS_TYPEMASK) == BS_AUTORADIOBUTTON;
    if (GetDlgCtrlID(child) == groupId && isRadio && index-- == 0) {
      DWORD_PTR ignored = 0;
      SendMessageTimeoutA(child, BM_CLICK, 0, 0, SMTO_NORMAL, 5000, &ignored);
      return;
    }
  }
}

// What Windows tells every top-level window when a device arrives or goes (`event`), with the
// device's type and name in the record, as a port's arrival is announced.
inline void AnnounceDevice(HWND window, WPARAM event, DWORD deviceType, const char* name) {
  struct {
    DEV_BROADCAST_PORT_A port;
    char rest[16];
  } record{};
  record.port.dbcp_size = sizeof record;
  record.port.dbcp_devicetype = deviceType;
  lstrcpynA(record.port.dbcp_name, name, sizeof record.rest);
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(window, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(&record), SMTO_NORMAL,
                      5000, &ignored);
}

// The colour a read-only control's text is painted in: what its parent answers when the control
// asks before painting (in this process).
inline COLORREF TextColourOf(HWND control) {
  const HDC dc = CreateCompatibleDC(nullptr);
  SendMessageA(GetParent(control), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
               reinterpret_cast<LPARAM>(control));
  const COLORREF colour = GetTextColor(dc);
  DeleteDC(dc);
  return colour;
}
