#include "app/Utils.h"

#include <shellapi.h>

#include <cstring>
#include <string>

#include "toolkit/Controls.h"
#include "toolkit/SystemFunction.h"

void SelectFirstIfNone(ComboBox& list) {
  if (list.ItemIndex() == -1 && list.Count() > 0) list.SetItemIndex(0);
}

int PortNumberOf(const std::string& name, const char* prefix) {
  const std::size_t digits = std::strlen(prefix);
  if (name.size() <= digits || name.size() > digits + 3) return 0;
  if (lstrcmpiA(name.substr(0, digits).c_str(), prefix) != 0) return 0;
  int number = 0;
  for (std::size_t i = digits; i < name.size(); ++i) {
    if (name[i] < '0' || name[i] > '9') return 0;
    number = number * 10 + (name[i] - '0');
  }
  return number >= 1 && number <= 255 ? number : 0;
}

int InsertPort(ComboBox& portList, int number) {
  int index = 0;
  for (const int count = portList.Count(); index < count; ++index) {
    const int listed = PortNumberOf(portList.ItemText(index));
    if (listed == number) return index;
    if (listed > number) break;
  }
  portList.Insert(index, std::to_string(number));
  return index;
}

void AllowAnyProcessTheForeground() {
  using AllowSetForegroundWindowProc = BOOL(WINAPI*)(DWORD);
  const auto allow =
      FindSystemFunction<AllowSetForegroundWindowProc>("user32.dll", "AllowSetForegroundWindow");
  if (allow) allow(ASFW_ANY);
}

bool TrayIconAction(HWND window, HICON icon, const std::string& tip, int action,
                    UINT callbackMessage, ShellNotifyIconFunction shell) {
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
  const DWORD message = action == taAdd ? NIM_ADD : action == taModify ? NIM_MODIFY : NIM_DELETE;
  return shell(message, &data);
}
