#include "names/messages.h"

#include <gtest/gtest.h>

TEST(Messages, FatalAndInternalErrorsEndWithStatusOne) {
  EXPECT_EXIT(msg_fatal("set_const:: %s already defined", "x"), testing::ExitedWithCode(1),
              "^  Error :\nset_const:: x already defined\n$");
  EXPECT_EXIT(msg_internal_error("bad %d", 3), testing::ExitedWithCode(1),
              "^Sorry, Internal Error :\nbad 3\n$");
}

TEST(Messages, StopIfErrorsCountsErrors) {
  EXPECT_EQ(msg_stop_if_errors(), 0);
  EXPECT_EXIT(
      {
        msg_error("one\n");
        msg_error("two\n");
        msg_error("three\n");
        msg_stop_if_errors();
      },
      testing::ExitedWithCode(1), "one\ntwo\nthree\n\\*\\*\\* 3 Errors stop\n$");
}

TEST(Messages, WarningAndProgressFollowTheLevel) {
  testing::internal::CaptureStderr();
  msg_warning("careful %s", "now");
  msg_verbose(1, "hidden");
  msg_set_level(1);
  msg_verbose(2, "hidden");
  msg_verbose(1, "shown ");
  msg_info("info ");
  msg_show_controls();
  msg_info("\rdone");
  msg_info("\bback");
  msg_set_level(0);
  msg_info("hidden");
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "  Warning :\ncareful now\nshown info  \n^Rdone\n^Bback");
}
