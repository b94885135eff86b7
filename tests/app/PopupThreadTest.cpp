// The waiting thread against a real event and a window of the test's own: what each signal posts,
// a queue that refuses posts, the stop that wins at the end, and a failure of the thread itself.
#include "app/PopupThread.h"

#include <gtest/gtest.h>

#include <atomic>

#include "base/Errors.h"
#include "tests/support/Waiting.h"

namespace {

constexpr UINT kSignal = WM_APP + 7;

// PostMessageA on a queue that is full, as Windows refuses posts to one that holds 10,000
// messages; or a post that throws, as a failure inside the thread would.
std::atomic<int> postsToRefuse{0};
std::atomic<int> postsToThrow{0};
BOOL WINAPI StandInPost(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (postsToThrow > 0 && postsToThrow-- > 0) throw Error("Post failed");
  if (postsToRefuse > 0 && postsToRefuse-- > 0) {
    SetLastError(ERROR_NOT_ENOUGH_QUOTA);
    return FALSE;
  }
  return PostMessageA(window, message, wParam, lParam);
}

class PopupThreadTest : public ::testing::Test {
 protected:
  ~PopupThreadTest() override { DestroyWindow(window); }

  // The signals that reached the window within `ms`, taken from its queue.
  int SignalsWithin(DWORD ms) {
    int signals = 0;
    WaitUntil([&] {
      MSG message;
      while (PeekMessageA(&message, window, kSignal, kSignal, PM_REMOVE)) ++signals;
      return false;
    }, ms);
    return signals;
  }

  HWND window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  KernelHandle peer{CreateEventA(nullptr, FALSE, FALSE, nullptr)};
  TPopupThread thread{peer.Get(), window, kSignal, &StandInPost};
};

TEST_F(PopupThreadTest, EachSignalPostsOneMessageAlsoWhenTheQueueRefusesItAtFirst) {
  thread.Start();
  SetEvent(peer.Get());
  EXPECT_EQ(SignalsWithin(300), 1);
  postsToRefuse = 2;
  SetEvent(peer.Get());
  EXPECT_EQ(SignalsWithin(600), 1);
  EXPECT_EQ(postsToRefuse, 0) << "the refused post was not tried again";
}

// The window's thread may be busy, or its loop over, when the program ends: the stop never waits
// for it, and wins over a signal that comes with it, which stays set for another copy.
TEST_F(PopupThreadTest, TheStopEndsTheThreadWhateverTheQueueDoesAndLeavesTheSignalSet) {
  thread.Start();
  postsToRefuse = 1000000;
  SetEvent(peer.Get());
  Sleep(150);
  thread.Stop();
  postsToRefuse = 0;
  EXPECT_EQ(SignalsWithin(100), 0);

  TPopupThread stopped(peer.Get(), window, kSignal, &StandInPost);
  stopped.Stop();
  SetEvent(peer.Get());
  stopped.Start();
  Sleep(100);
  stopped.Stop();
  EXPECT_EQ(SignalsWithin(100), 0);
  EXPECT_EQ(WaitForSingleObject(peer.Get(), 0), WAIT_OBJECT_0) << "the stop took the signal";
}

TEST_F(PopupThreadTest, AFailureOfTheThreadIsRaisedOnTheWindowsThread) {
  postsToThrow = 1;
  thread.Start();
  SetEvent(peer.Get());
  ASSERT_EQ(SignalsWithin(300), 1);
  EXPECT_THROW(thread.RestoreOnSignal(), Error);
  thread.Stop();
}

}  // namespace
