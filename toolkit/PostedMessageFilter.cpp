#include "toolkit/PostedMessageFilter.h"

namespace {

// One filter at a time: the user-interface thread's, while its loop runs.
HHOOK hook = nullptr;

}  // namespace

PostedMessageFilter::PostedMessageFilter() {
  hook = SetWindowsHookExA(WH_GETMESSAGE, &Filter, nullptr, GetCurrentThreadId());
}

PostedMessageFilter::~PostedMessageFilter() {
  if (hook) UnhookWindowsHookEx(hook);
  hook = nullptr;
}

LRESULT CALLBACK PostedMessageFilter::Filter(int code, WPARAM removal, LPARAM lParam) {
  if (code == HC_ACTION) {
    MSG& message = *reinterpret_cast<MSG*>(lParam);
    switch (message.message) {
      case WM_NOTIFY:
      case WM_DEVICECHANGE:
      case WM_DPICHANGED:
      case WM_GETDPISCALEDSIZE:
      case WM_POWERBROADCAST:
        message.message = WM_NULL;
    }
  }
  // Windows 95, 98 and Me pass the message on only with the handle of the hook itself; the NT
  // family ignores it.
  return CallNextHookEx(hook, code, removal, lParam);
}
