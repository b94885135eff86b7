#include "tests/e2e/Tray.h"

#include <commctrl.h>

#include <stdexcept>

#include "toolkit/UniqueResource.h"

namespace e2e {
namespace {

HWND TrayWindow() { return FindWindowA("Shell_TrayWnd", nullptr); }

// The tooltip messages that fill a structure take a pointer in the shell's own address space.
class ShellMemory {
 public:
  ShellMemory(HWND shellWindow, SIZE_T size) {
    DWORD processId = 0;
    GetWindowThreadProcessId(shellWindow, &processId);
    process_ = KernelHandle(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId));
    if (process_) address_ = VirtualAllocEx(process_.Get(), nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    if (!address_) throw std::runtime_error("no memory in the shell's process");
  }
  ~ShellMemory() { VirtualFreeEx(process_.Get(), address_, 0, MEM_RELEASE); }
  ShellMemory(const ShellMemory&) = delete;
  ShellMemory& operator=(const ShellMemory&) = delete;

  void* Address(SIZE_T offset = 0) const { return static_cast<char*>(address_) + offset; }
  void Write(SIZE_T offset, const void* data, SIZE_T size) const {
    WriteProcessMemory(process_.Get(), Address(offset), data, size, nullptr);
  }
  void Read(SIZE_T offset, void* data, SIZE_T size) const {
    ReadProcessMemory(process_.Get(), Address(offset), data, size, nullptr);
  }

 private:
  KernelHandle process_;
  void* address_ = nullptr;
};

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
  const ShellMemory memory(tray, kTextOffset + kTextChars * sizeof(WCHAR));
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
