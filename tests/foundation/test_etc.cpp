// Utilities: byte reversal on 64-bit longs, bounded path splitting, the
// fixed-width date parser on exact-size buffers, seeds and times.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "EEtc.h"
#include "ERandom.h"
#include "ETime.h"

TEST(Swap, BytesReversed)
{
  EXPECT_EQ(static_cast<uint16_t>(swap2(0x12F4)), 0xF412);
  EXPECT_EQ(swap4(0x11223344L), 0x44332211L);
  EXPECT_EQ(swap4(0x000080FFL), static_cast<int32_t>(0xFF800000u));  // sign-extended
  EXPECT_EQ(swap4(0x7700000011223344L), 0x44332211L);                // low four bytes only
  double d = 1.0, s = swap8(d);
  unsigned char a[8], b[8];
  std::memcpy(a, &d, 8);
  std::memcpy(b, &s, 8);
  for (int i = 0; i < 8; i++)
    EXPECT_EQ(a[i], b[7 - i]);
}

TEST(Paths, SplitWithinTheBuffer)
{
  // Heap buffers of exactly 512 bytes: the sanitizer catches any overrun.
  std::unique_ptr<char[]> d(new char[512]), f(new char[512]);
  // Long paths: the name ends at position 511 of an absolute path, after
  // 511 bytes of a relative one.
  const std::string a(300, 'a'), b(900, 'b');
  const std::string cases[][3] = {{"/a/b/c", "/a/b", "c"},
                                  {"/a/b/", "/a/b", ""},
                                  {"/", "", ""},
                                  {"a/b", ".", "a/b"},
                                  {"/" + a + "/" + b, "/" + a, b.substr(0, 512 - 302)},
                                  {std::string(2000, 'r'), ".", std::string(511, 'r')}};
  for (auto& c : cases) {
    get_dirname(c[0].c_str(), d.get());
    get_filename(c[0].c_str(), f.get());
    EXPECT_EQ(d.get(), c[1]) << c[0];
    EXPECT_EQ(f.get(), c[2]) << c[0];
  }
}

TEST(Strptime, FixedWidthWithinTextAndFormat)
{
  struct Case {
    const char *text, *fmt;
    int year, mon, mday, hour, min;
    const char* rest;
  } cases[] = {
      {"1995-07-04 12:30", "%Y-%m-%d %H:%M", 95, 6, 4, 12, 30, ""},
      {"12:30:45", "%H:%M:%S", 0, 0, 0, 12, 30, "45"},  // stops at %S
      {"12x30", "%H:%M", 0, 0, 0, 12, 30, ""},          // literals not compared
      {"05", "%y", 5, 0, 0, 0, 0, ""},
      {"99/00", "%H/%m", 0, -1, 0, 99, 0, ""},  // no range checks
      {"%7 1", "%%%H", 0, 0, 0, 7, 0, "1"},
      {"12", "%H:%M", 0, 0, 0, 12, 0, ""},          // text ends early
      {"199", "%Y%m", 199 - 1900, 0, 0, 0, 0, ""},  // %m not reached
      {"12 h and more", "%H h", 0, 0, 0, 12, 0, " and more"},
      {"1230", "%H%", 0, 0, 0, 12, 0, "30"},  // a lone % stops
  };
  for (const Case& c : cases) {
    // Exact-size heap copies: the sanitizer catches any read past them.
    std::unique_ptr<char[]> t(strnew(c.text)), f(strnew(c.fmt));
    tm ts;
    std::memset(&ts, 0x5a, sizeof ts);
    std::string rest = efd::strptime(t.get(), f.get(), &ts);
    EXPECT_EQ(ts.tm_year, c.year) << c.text;
    EXPECT_EQ(ts.tm_mon, c.mon) << c.text;
    EXPECT_EQ(ts.tm_mday, c.mday) << c.text;
    EXPECT_EQ(ts.tm_hour, c.hour) << c.text;
    EXPECT_EQ(ts.tm_min, c.min) << c.text;
    EXPECT_EQ(ts.tm_sec | ts.tm_wday | ts.tm_yday | ts.tm_isdst, 0) << c.text;
    EXPECT_EQ(rest, c.rest) << c.text;
  }
}

TEST(Etc, SeedAndTime)
{
  auto bytes = [](const ESeed& s) { return std::string(reinterpret_cast<char*>(s()), 6); };
  EXPECT_EQ(bytes(ESeed(0x12345678L)), std::string("\0\0\x12\x34\x56\x78", 6));
  EXPECT_EQ(bytes(ESeed(0x7FFFFFFF9ABCDEF0L)), std::string("\0\0\x9a\xbc\xde\xf0", 6));
  ERandom r1(ESeed(42L));
  double first = r1.get_rand();
  ERandom r2(ESeed(42L));
  EXPECT_EQ(r2.get_rand(), first);
  ESeed now = r2.get_seed();  // reading the state leaves it as it was
  double next = r2.get_rand();
  r2.set_seed(now);
  EXPECT_EQ(r2.get_rand(), next);

  ETime tmgr;
  tm ts;
  EXPECT_EQ(tmgr.text2tms("1995-07-04 12:30", nullptr, &ts), 0);
  EXPECT_STREQ(tmgr.tms2text(ts), "1995-07-04 12:30");
  EXPECT_EQ(tmgr.text2tms("1995-07-04 12:30 and more", nullptr, &ts), -1);
}
