#include "tests/e2e/Tray.h"

#include <commctrl.h>

#include "tests/e2e/ProcessMemory.h"

namespace e2e {
namespace {

HWND TrayWindow() { return FindWindowA("Shell_TrayWnd", nullptr); }

void Click(const TrayIcon& icon, UINT down, UINT up, WPARAM buttons) {
  const HWND tray = TrayWindow();
  const LPARAM at = MAKELPARAM((icon.place.left + icon.place.right) / 2,
                               (icon.place.top + icon.place.bottom) / 2);
  PostMessageA(tray, WM_MOUSEMOVE, 0, at);
  PostMessageA(tray, down, buttons, at);
  PostMessageA(tray, up, 0, at);
}

}  // namespace

std::vector<TrayIcon> TrayIcons() {
  std::vector<TrayIcon> icons;
  const HWND tray = TrayWindow();
  if (!tray) return icons;
  constexpr SIZE_T kTextOffset = 256, kTextChars = 128;
  const ProcessMemory memory(tray, kTextOffset + kTextChars * sizeof(WCHAR));
  for (HWND tooltip = FindWindowExA(nullptr, nullptr, TOOLTIPS_CLASSA, nullptr); tooltip;
       tooltip = FindWindowExA(nullptr, tooltip, TOOLTIPS_CLASSA, nullptr)) {
    if (GetWindow(tooltip, GW_OWNER) != tray) continue;
    const int tools = static_cast<int>(SendMessageA(tooltip, TTM_GETTOOLCOUNT, 0, 0));
    for (int index = 0; index < tools; ++index) {
      TTTOOLINFOW tool{};
      tool.cbSize = TTTOOLINFOW_V1_SIZE;
      memory.Write(0, &tool, sizeof tool);
      if (!SendMessageW(tooltip, TTM_ENUMTOOLSW, index, reinterpret_cast<LPARAM>(memory.Address()))) continue;
      memory.Read(0, &tool, sizeof tool);
      if (IsRectEmpty(&tool.rect)) continue;

      WCHAR text[kTextChars] = {};
      memory.Write(kTextOffset, text, sizeof text);
      tool.lpszText = static_cast<LPWSTR>(memory.Address(kTextOffset));
      memory.Write(0, &tool, sizeof tool);
      SendMessageW(tooltip, TTM_GETTEXTW, kTextChars, reinterpret_cast<LPARAM>(memory.Address()));
      memory.Read(kTextOffset, text, sizeof text - sizeof(WCHAR));
      char tip[kTextChars * 2] = {};
      WideCharToMultiByte(CP_ACP, 0, text, -1, tip, sizeof tip, nullptr, nullptr);
      icons.push_back(TrayIcon{tool.rect, tip});
    }
  }
  return icons;
}

std::vector<TrayIcon> DialvoxTrayIcons() {
  std::vector<TrayIcon> icons = TrayIcons();
  std::erase_if(icons, [](const TrayIcon& icon) { return icon.tip != "Dialvox"; });
  return icons;
}

void LeftClick(const TrayIcon& icon) { Click(icon, WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON); }

void RightClick(const TrayIcon& icon) { Click(icon, WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON); }

}  // namespace e2e
