#include "base/Errors.h"

#include <gtest/gtest.h>
#include <windows.h>

TEST(OSError, CarriesCodeAndSystemTextWithoutTrailingStop) {
  const OSError error(ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(error.Code(), 2u);
  const std::string message = error.what();
  const std::string head = "System Error.  Code: 2.\r\n";
  ASSERT_EQ(message.substr(0, head.size()), head);
  const std::string text = message.substr(head.size());
  ASSERT_FALSE(text.empty());
  EXPECT_NE(text.back(), '.');
  EXPECT_NE(text.back(), '\n');
  EXPECT_NE(text.back(), ' ');
}

TEST(OSError, CodeZeroHasItsOwnMessage) {
  EXPECT_STREQ(OSError(0).what(), "A call to an OS function failed");
}

TEST(OSError, RaiseLastOSErrorTakesTheCodeFirst) {
  SetLastError(ERROR_ACCESS_DENIED);
  try {
    RaiseLastOSError();
    FAIL();
  } catch (const OSError& e) {
    EXPECT_EQ(e.Code(), 5u);
  }
}
