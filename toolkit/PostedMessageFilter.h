// Keeps the messages that only the system sends from the thread's windows when some other program
// posts them: their parameters point at records (WM_NOTIFY, WM_DEVICECHANGE, the DPI messages),
// whose pointers are not ours to follow, or bring news (a sleep) that is not true. A sent message
// never passes through the queue; one taken from it becomes WM_NULL before any window procedure
// sees it, in the program's own loop and in the system's modal ones alike.
#pragma once

#include <windows.h>

class PostedMessageFilter {
 public:
  // On the calling thread, for as long as the object lives.
  PostedMessageFilter();
  ~PostedMessageFilter();
  PostedMessageFilter(const PostedMessageFilter&) = delete;
  PostedMessageFilter& operator=(const PostedMessageFilter&) = delete;

 private:
  static LRESULT CALLBACK Filter(int code, WPARAM removal, LPARAM lParam);
};
