// Run in a prefix whose performance data has no Processor object: dialvox.exe must say so in a
// message box before any window of its own exists, and end with exit code 1 once it is closed.
// Prints what it found; exits 0 when everything was as it should be.
#include <windows.h>

#include <cstdio>
#include <string>

#include "tests/e2e/Dialvox.h"
#include "tests/support/Waiting.h"

namespace {

const char kExpectedText[] = "Unable to locate the \"Processor\" performance object";

struct Search {
  DWORD processId;
  HWND found = nullptr;
};

BOOL CALLBACK FindMessageBox(HWND window, LPARAM context) {
  auto& search = *reinterpret_cast<Search*>(context);
  char className[16] = {};
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  GetClassNameA(window, className, sizeof className);
  if (processId == search.processId && std::string(className) == "#32770") search.found = window;
  return search.found == nullptr;
}

// The message box's text is its one static control with a text (the other holds the icon).
std::string MessageText(HWND box) {
  for (HWND child = FindWindowExA(box, nullptr, "Static", nullptr); child;
       child = FindWindowExA(box, child, "Static", nullptr)) {
    const std::string text = e2e::WindowText(child);
    if (!text.empty()) return text;
  }
  return "";
}

}  // namespace

int main() {
  e2e::Dialvox dialvox;
  Search search{dialvox.ProcessId()};
  // The box exists a moment before its text does.
  std::string text;
  if (!WaitUntil([&] {
        EnumWindows(FindMessageBox, reinterpret_cast<LPARAM>(&search));
        if (search.found) text = MessageText(search.found);
        return !text.empty();
      }, 20000)) {
    std::printf("FAIL: no message box with a text appeared\n");
    return 1;
  }
  std::printf("message box: \"%s\"\n", text.c_str());
  const bool noMainWindow = e2e::RunningCopies().empty();

  PostMessageA(search.found, WM_COMMAND, IDOK, 0);
  const auto exitCode = dialvox.WaitForExit();
  if (exitCode) std::printf("exit code: %lu\n", *exitCode);

  const bool ok = text == kExpectedText && noMainWindow && exitCode == 1u;
  if (!noMainWindow) std::printf("FAIL: a main window exists beside the message box\n");
  std::printf(ok ? "PASS\n" : "FAIL\n");
  return ok ? 0 : 1;
}
