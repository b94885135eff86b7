#include "app/Utils.h"

#include <shellapi.h>

#include <cstring>

#include "toolkit/Controls.h"
#include "toolkit/SystemFunction.h"

void SelectFirstIfNone(ComboBox& list) {
  if (list.ItemIndex() == -1 && list.Count() > 0) list.SetItemIndex(0);
}

void AllowAnyProcessTheForeground() {
  using AllowSetForegroundWindowProc = BOOL(WINAPI*)(DWORD);
  const auto allow =
      FindSystemFunction<AllowSetForegroundWindowProc>("user32.dll", "AllowSetForegroundWindow");
  if (allow) allow(ASFW_ANY);
}

void TrayIconAction(HWND window, HICON icon, const std::string& tip, int action,
                    UINT callbackMessage) {
  // The first version of the record: every shell since Windows 95 understands it. Its size is
  // that of its layout, which holds a window and an icon handle: 88 bytes on 32-bit Windows, 104
  // on x64, where the handles are 8 bytes wide and aligned to 8.
  static_assert(NOTIFYICONDATAA_V1_SIZE == (sizeof(void*) == 4 ? 88 : 104));
  NOTIFYICONDATAA data;
  std::memset(&data, 0, sizeof data);
  data.cbSize = NOTIFYICONDATAA_V1_SIZE;
  data.hWnd = window;
  data.uID = 1;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = callbackMessage;
  data.hIcon = icon;
  std::strncpy(data.szTip, tip.c_str(), 63);  // the 64th byte stays zero
  const DWORD message = action == taAdd ? NIM_ADD : NIM_DELETE;
  Shell_NotifyIconA(message, &data);
}
