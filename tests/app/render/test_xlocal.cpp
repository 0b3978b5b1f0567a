// Which display names may be given shared memory: only those reached
// through a local socket. "localhost:0" is TCP, as for the X libraries' own
// users; "otherhost::0" is DECnet.
#include <gtest/gtest.h>

#include "render/xlocal.h"

TEST(LocalDisplay, OnlyNamesWithoutAHostOrWithUnix)
{
  for (const char* name : {":0", ":12.1", "unix:3", "unix:3.0"})
    EXPECT_TRUE(local_display(name)) << name;
  for (const char* name : {"127.0.0.1:5", "localhost:0", "otherhost:0", "otherhost:0.1",
                           "unixhost:0", "[::1]:0", "otherhost::0", ""})
    EXPECT_FALSE(local_display(name)) << name;
  EXPECT_FALSE(local_display(nullptr));
}
