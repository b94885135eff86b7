// The message loop ends once per process, so these cases live in a binary of their own.
#include <gtest/gtest.h>

#include <atomic>

#include "tests/toolkit/GuiTest.h"
#include "toolkit/Application.h"

namespace {

TEST(Shutdown, WorkersInTheMiddleOfSynchronisedCallsGetFalseOnceTheLoopHasEnded) {
  TestForm form;
  std::atomic<int> steps{0};
  std::atomic<int> answeredTrue{0};
  std::atomic<bool> answeredFalse{false};
  // Two workers call in a tight loop, so the loop's end meets calls in every stage.
  const auto body = [&](LambdaThread& self) {
    while (self.Synchronize([&] { ++steps; })) ++answeredTrue;
    answeredFalse = true;
  };
  LambdaThread first(body), second(body);

  // Closed by a posted message: a timer would tick only when the workers' calls leave the queue
  // empty for a moment, which takes seconds at times.
  LambdaThread stop([&form](LambdaThread&) {
    Sleep(100);
    PostMessageA(form.Handle(), WM_CLOSE, 0, 0);
  });
  first.Start();
  second.Start();
  stop.Start();
  App().Run(form);

  ASSERT_EQ(WaitForSingleObject(first.Handle(), 5000), WAIT_OBJECT_0);
  ASSERT_EQ(WaitForSingleObject(second.Handle(), 5000), WAIT_OBJECT_0);
  EXPECT_TRUE(answeredFalse);
  EXPECT_GT(steps, 0);
  EXPECT_EQ(steps, answeredTrue);  // no step ran without its caller knowing, nor the other way

  // A call after the end does not run, and a request pumped late by some other loop is dropped.
  bool ran = false;
  LambdaThread late([&ran](LambdaThread& self) { EXPECT_FALSE(self.Synchronize([&ran] { ran = true; })); });
  late.Start();
  ASSERT_EQ(WaitForSingleObject(late.Handle(), 5000), WAIT_OBJECT_0);
  PumpUntil([] { return false; }, 100);
  EXPECT_FALSE(ran);
}

}  // namespace
