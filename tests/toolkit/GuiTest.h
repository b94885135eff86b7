// Shared by the toolkit's window tests: the application is initialised once per process, forms
// stay hidden, and anything that needs a message loop pumps one with a time limit.
#pragma once

#include <windows.h>

#include <functional>
#include <span>
#include <utility>

#include "tests/support/Waiting.h"
#include "toolkit/Form.h"


// A hidden form built from a layout table.
class TestForm : public Form {
 public:
  explicit TestForm(std::span<const ControlSpec> layout = {}) : Form(0, 0, 300, 280) {
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

#include "toolkit/Thread.h"

// A thread whose body is given by the test. It is waited for when it goes.
class LambdaThread : public Thread {
 public:
  explicit LambdaThread(std::function<void(LambdaThread&)> body) : body_(std::move(body)) {}
  ~LambdaThread() override { WaitFor(); }
  using Thread::Synchronize;

  bool Finished() const { return WaitForSingleObject(Handle(), 0) == WAIT_OBJECT_0; }

 protected:
  void Execute() override { body_(*this); }

 private:
  std::function<void(LambdaThread&)> body_;
};
