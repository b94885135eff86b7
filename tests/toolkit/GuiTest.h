// Shared by the toolkit's window tests: the application is initialised once per process, forms
// stay hidden, and anything that needs a message loop pumps one with a time limit.
#pragma once

#include <windows.h>

#include <functional>
#include <span>

#include "tests/support/Waiting.h"
#include "toolkit/Application.h"
#include "toolkit/Form.h"


// A hidden form built from a layout table.
class TestForm : public Form {
 public:
  explicit TestForm(std::span<const ControlSpec> layout = {}) : Form(App().Handle(), 0, 0, 300, 280) {
    CreateControls(layout);
  }

  // What the form answers to a control's notification, as if the control had sent it.
  LRESULT Notify(const Control& control, WORD code) {
    return SendMessageA(Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control.Handle()), code),
                        reinterpret_cast<LPARAM>(control.Handle()));
  }
};

// A control's window rectangle in its parent's client coordinates.
RECT BoundsInParent(HWND window);

// Runs `body` on a thread of its own while this thread serves its messages (a message the other
// thread sends to one of this thread's windows waits for that), until the body has ended.
bool RunOnAnotherThread(const std::function<void()>& body, DWORD timeoutMs = 5000);
