// Which display names may be given shared memory: only those reached
// through a local socket.
#include <gtest/gtest.h>

#include "xlocal.h"

TEST(LocalDisplay, OnlyNamesWithoutAHostOrWithUnix)
{
  EXPECT_TRUE(local_display(":0"));
  EXPECT_TRUE(local_display(":12.1"));
  EXPECT_TRUE(local_display("unix:3"));
  EXPECT_TRUE(local_display("unix:3.0"));
  EXPECT_FALSE(local_display("127.0.0.1:5"));
  EXPECT_FALSE(local_display("localhost:0"));  // TCP, as for the X libraries' own users
  EXPECT_FALSE(local_display("otherhost:0"));
  EXPECT_FALSE(local_display("otherhost:0.1"));
  EXPECT_FALSE(local_display("unixhost:0"));
  EXPECT_FALSE(local_display("[::1]:0"));
  EXPECT_FALSE(local_display("otherhost::0"));  // DECnet
  EXPECT_FALSE(local_display(""));
  EXPECT_FALSE(local_display(nullptr));
}
