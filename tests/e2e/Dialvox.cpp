#include "tests/e2e/Dialvox.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <stdexcept>

#include "tests/support/UnixShell.h"
#include "tests/support/UserActions.h"
#include "tests/support/Waiting.h"

namespace e2e {
namespace {

constexpr char kWindowClass[] = "DialvoxWindow";
constexpr char kTitle[] = "Dialvox";
// A copy busy in a poll cycle answers within one write time-out; one that does not answer in
// this time is hung.
constexpr UINT kAnswerTimeoutMs = 5000;

LRESULT Ask(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, kAnswerTimeoutMs, &result))
    return -1;
  return static_cast<LRESULT>(result);
}

bool IsDialvoxWindow(HWND window) {
  char className[sizeof kWindowClass + 1] = {};
  GetClassNameA(window, className, sizeof className);
  return std::string(className) == kWindowClass;
}

BOOL CALLBACK VisitTopLevel(HWND window, LPARAM visit) {
  (*reinterpret_cast<const std::function<void(HWND)>*>(visit))(window);
  return TRUE;
}

// The visitor must not throw: it runs inside a system callback.
void ForEachTopLevel(const std::function<void(HWND)>& visit) {
  EnumWindows(VisitTopLevel, reinterpret_cast<LPARAM>(&visit));
}

DWORD ProcessOf(HWND window) {
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  return processId;
}

// The main window: of the program's class, captioned with its title and owned by the taskbar
// window (which has the same class and caption but no owner).
bool IsMainWindow(HWND window) {
  // A top-level window's caption is known to the system: no need to ask a copy still starting.
  char caption[sizeof kTitle + 1] = {};
  GetWindowTextA(window, caption, sizeof caption);
  return IsDialvoxWindow(window) && GetWindow(window, GW_OWNER) && std::string(caption) == kTitle;
}

}  // namespace

std::string WindowText(HWND window) {
  char text[512] = {};
  if (Ask(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text)) < 0) return "";
  return text;
}

std::vector<std::string> ListItems(HWND list) {
  std::vector<std::string> items;
  for (LRESULT i = 0, count = Ask(list, CB_GETCOUNT); i < count; ++i) {
    // Asked in UTF-16: Wine hands an ANSI CB_GETLBTEXT from another process back cut to one
    // character.
    wchar_t text[128] = {};
    DWORD_PTR length = 0;
    if (Ask(list, CB_GETLBTEXTLEN, i) < 128)
      SendMessageTimeoutW(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text), SMTO_NORMAL,
                          kAnswerTimeoutMs, &length);
    char item[256] = {};
    WideCharToMultiByte(CP_ACP, 0, text, -1, item, sizeof item, nullptr, nullptr);
    items.emplace_back(item);
  }
  return items;
}

Dialvox::Dialvox() {
  // Quoted: the build tree's path may hold spaces.
  const std::string path = WindowsPath(DVX_DIALVOX_EXE);
  std::string commandLine = "\"";
  commandLine += path;
  commandLine += '"';
  const PROCESS_INFORMATION info = StartProcess(commandLine, "dialvox.exe");
  process_ = KernelHandle(info.hProcess);
  processId_ = info.dwProcessId;
}

Dialvox::~Dialvox() {
  if (!Running()) return;
  TerminateProcess(process_.Get(), 1);
  WaitForSingleObject(process_.Get(), kAnswerTimeoutMs);
}

bool Dialvox::Running() const { return WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT; }

bool Dialvox::WaitUntilStarted(DWORD timeoutMs) {
  return WaitUntil(
      [this] {
        if (!main_) {
          ForEachTopLevel([this](HWND window) {
            if (!main_ && ProcessOf(window) == processId_ && IsMainWindow(window)) main_ = window;
          });
        }
        return main_ && !StatusText().empty();
      },
      timeoutMs);
}

std::optional<DWORD> Dialvox::WaitForExit(DWORD timeoutMs) const {
  if (WaitForSingleObject(process_.Get(), timeoutMs) != WAIT_OBJECT_0) return std::nullopt;
  DWORD code = 0;
  GetExitCodeProcess(process_.Get(), &code);
  return code;
}

void Dialvox::Minimize() const { PostMessageA(main_, WM_SYSCOMMAND, SC_MINIMIZE, 0); }

void Dialvox::Close() const { PostMessageA(main_, WM_CLOSE, 0, 0); }

HWND Dialvox::Part(int id, const char* className) const {
  // Some controls are several windows under one id (the spin box: an edit and its arrows).
  for (HWND child = FindWindowExA(main_, nullptr, className, nullptr); child;
       child = FindWindowExA(main_, child, className, nullptr)) {
    if (GetDlgCtrlID(child) == id) return child;
  }
  return nullptr;
}

std::string Dialvox::StatusText() const { return WindowText(Part(idStatusLine)); }

bool Dialvox::StatusInRed() const {
  // Read off the screen: the colour is the program's own drawing, not a property anyone can ask.
  RECT bounds;
  if (!GetWindowRect(Part(idStatusLine), &bounds)) return false;
  const int width = bounds.right - bounds.left, height = bounds.bottom - bounds.top;
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  const HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  const HDC screen = GetDC(nullptr);
  const HDC memory = CreateCompatibleDC(screen);
  const HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, bounds.left, bounds.top, SRCCOPY);
  GdiFlush();
  const auto* pixels = static_cast<const std::uint32_t*>(bits);
  const auto red = std::count_if(pixels, pixels + width * height,
                                 [](std::uint32_t pixel) { return (pixel & 0xFFFFFF) == 0xFF0000; });
  SelectObject(memory, old);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  DeleteObject(bitmap);
  // A few letters' worth: anti-aliasing leaves other shades at the edges.
  return red > 20;
}

std::string Dialvox::ValueLabel(int channel) const { return WindowText(Part(ValueLabelId(channel))); }

int Dialvox::ChannelChoice(int channel) const {
  return static_cast<int>(Ask(Part(CounterListId(channel)), CB_GETCURSEL));
}

int Dialvox::CatalogueSize() const { return static_cast<int>(Ask(Part(CounterListId(1)), CB_GETCOUNT)); }

int Dialvox::WriteMode() const { return static_cast<int>(Ask(Part(idWriteMode), CB_GETCURSEL)); }

std::vector<std::string> Dialvox::Ports() const { return ListItems(Part(idPortList)); }

int Dialvox::PortChoice() const { return static_cast<int>(Ask(Part(idPortList), CB_GETCURSEL)); }

void Dialvox::ChooseMinimizeMode(int mode) const { ClickRadioButton(main_, idMinMode, mode); }

void Dialvox::Choose(int listId, int index) const { PickItem(Part(listId), index); }

std::string Dialvox::IntervalText() const { return WindowText(Part(idInterval, "Edit")); }

std::vector<HWND> RunningCopies() {
  std::vector<HWND> windows;
  ForEachTopLevel([&windows](HWND window) {
    if (IsMainWindow(window)) windows.push_back(window);
  });
  return windows;
}

void EndAllCopies() {
  // By the taskbar windows as well: a copy killed early may have no main window yet.
  std::vector<DWORD> processes;
  ForEachTopLevel([&processes](HWND window) {
    const DWORD processId = ProcessOf(window);
    if (IsDialvoxWindow(window) && processId != GetCurrentProcessId() &&
        std::find(processes.begin(), processes.end(), processId) == processes.end()) {
      processes.push_back(processId);
    }
  });
  for (const DWORD processId : processes) {
    const KernelHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId));
    if (!process) continue;
    TerminateProcess(process.Get(), 1);
    WaitForSingleObject(process.Get(), kAnswerTimeoutMs);
  }
}

}  // namespace e2e
