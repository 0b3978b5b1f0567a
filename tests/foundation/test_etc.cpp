// Utilities: byte reversal on 64-bit longs, bounded path splitting, the
// fixed-width date parser on exact-size buffers, environment and seeds.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "EEtc.h"
#include "ERandom.h"
#include "ETime.h"

namespace {

// A heap copy of exactly strlen + 1 bytes: the sanitizer build catches any
// read past the terminator.
std::unique_ptr<char[]> exact(const char* s)
{
  std::unique_ptr<char[]> p(new char[std::strlen(s) + 1]);
  std::memcpy(p.get(), s, std::strlen(s) + 1);
  return p;
}

struct Parsed {
  tm ts;
  std::string rest;
};

Parsed parse(const char* text, const char* format)
{
  auto t = exact(text);
  auto f = exact(format);
  Parsed p;
  std::memset(&p.ts, 0x5a, sizeof p.ts);  // every field must be reset
  p.rest = efd::strptime(t.get(), f.get(), &p.ts);
  return p;
}

}  // namespace

TEST(Swap, BytesReversedAndTwiceIsIdentity)
{
  EXPECT_EQ(static_cast<unsigned short>(swap2(static_cast<short>(0x12F4))), 0xF412);
  EXPECT_EQ(static_cast<unsigned short>(swap2(static_cast<short>(0xF412))), 0x12F4);
  EXPECT_EQ(swap4(0x11223344L), 0x44332211L);
  // Top bit of the result set: the 32-bit value, sign-extended.
  EXPECT_EQ(swap4(0x000080FFL), static_cast<long>(static_cast<int32_t>(0xFF800000u)));
  EXPECT_EQ(swap4(0xFF800000L), 0x000080FFL);  // only the low four bytes count
  EXPECT_EQ(swap4(0x7700000011223344L), 0x44332211L);
  for (long v : {0L, 1L, -1L, 0x80L, 0x80000000L - 1, long(INT32_MIN), 0x00FF00FFL,
                 long(int32_t(0x80808080u)), long(int32_t(0xDEADBEEFu))})
    EXPECT_EQ(swap4(swap4(v)), v) << std::hex << v;

  for (double d : {0.0, -0.0, 1.5, -1e300, 5e-324}) {
    double twice = swap8(swap8(d));
    EXPECT_EQ(std::memcmp(&twice, &d, sizeof d), 0);
  }
  double one = 1.0, swapped = swap8(one);
  unsigned char a[8], b[8];
  std::memcpy(a, &one, 8);
  std::memcpy(b, &swapped, 8);
  for (int i = 0; i < 8; i++)
    EXPECT_EQ(a[i], b[7 - i]);
}

TEST(Paths, SplitAbsoluteAndRelative)
{
  struct Case {
    const char *p, *dir, *file;
  } cases[] = {
      {"/a/b/c", "/a/b", "c"},     {"/a/b/", "/a/b", ""}, {"/", "", ""},
      {"a/b", ".", "a/b"},         {"/x", "", "x"},       {"", ".", ""},
      {"/usr/lib/x", "/usr/lib", "x"},
  };
  for (const Case& c : cases) {
    char d[512], f[512];
    get_dirname(c.p, d);
    get_filename(c.p, f);
    EXPECT_STREQ(d, c.dir) << c.p;
    EXPECT_STREQ(f, c.file) << c.p;
  }
}

TEST(Paths, LongNamesNeverOverrunTheBuffer)
{
  // Heap buffers of exactly 512 bytes: any write past them is caught.
  std::unique_ptr<char[]> d(new char[512]), f(new char[512]);
  std::string longabs = "/" + std::string(700, 'a') + "/" + std::string(600, 'b');
  get_dirname(longabs.c_str(), d.get());
  EXPECT_EQ(std::strlen(d.get()), 0u);  // the cut copy holds no second slash
  get_filename(longabs.c_str(), f.get());
  EXPECT_EQ(std::strlen(f.get()), 0u);  // the name starts past position 512

  std::string dirs = "/" + std::string(300, 'a') + "/" + std::string(300, 'b');
  get_dirname(dirs.c_str(), d.get());
  EXPECT_EQ(std::string(d.get()), "/" + std::string(300, 'a'));
  get_filename(dirs.c_str(), f.get());
  EXPECT_EQ(std::string(f.get()), std::string(512 - 302, 'b'));  // positions 302..511

  std::string rel(2000, 'r');
  get_filename(rel.c_str(), f.get());
  EXPECT_EQ(std::strlen(f.get()), 511u);
}

TEST(Strptime, FixedWidthFields)
{
  Parsed p = parse("1995-07-04 12:30", "%Y-%m-%d %H:%M");
  EXPECT_EQ(p.ts.tm_year, 95);
  EXPECT_EQ(p.ts.tm_mon, 6);
  EXPECT_EQ(p.ts.tm_mday, 4);
  EXPECT_EQ(p.ts.tm_hour, 12);
  EXPECT_EQ(p.ts.tm_min, 30);
  EXPECT_EQ(p.ts.tm_sec + p.ts.tm_wday + p.ts.tm_yday + p.ts.tm_isdst, 0);
  EXPECT_EQ(p.rest, "");

  p = parse("12:30:45", "%H:%M:%S");  // stops at %S, after its literal
  EXPECT_EQ(p.ts.tm_hour, 12);
  EXPECT_EQ(p.ts.tm_min, 30);
  EXPECT_EQ(p.rest, "45");

  p = parse("12x30", "%H:%M");  // literals are skipped, not compared
  EXPECT_EQ(p.ts.tm_min, 30);

  p = parse("05", "%y");
  EXPECT_EQ(p.ts.tm_year, 5);

  p = parse("99/00", "%H/%m");  // no range checks
  EXPECT_EQ(p.ts.tm_hour, 99);
  EXPECT_EQ(p.ts.tm_mon, -1);

  p = parse("%7 1", "%%%H");
  EXPECT_EQ(p.ts.tm_hour, 7);
  EXPECT_EQ(p.rest, "1");
}

TEST(Strptime, NeverReadsPastTextOrFormat)
{
  Parsed p = parse("12", "%H:%M");  // text ends inside a literal
  EXPECT_EQ(p.ts.tm_hour, 12);
  EXPECT_EQ(p.ts.tm_min, 0);
  EXPECT_EQ(p.ts.tm_mon, 0);
  EXPECT_EQ(p.rest, "");

  p = parse("199", "%Y%m");  // a field cut short takes what there is
  EXPECT_EQ(p.ts.tm_year, 199 - 1900);
  EXPECT_EQ(p.ts.tm_mon, 0);  // not reached: stays 0, not -1

  p = parse("12 o'clock and more", "%H o'clock");  // trailing literals
  EXPECT_EQ(p.rest, " and more");
  p = parse("12", "%H o'clock");
  EXPECT_EQ(p.rest, "");

  p = parse("1230", "%H%");  // a lone % at the end stops
  EXPECT_EQ(p.ts.tm_hour, 12);
  EXPECT_EQ(p.rest, "30");

  p = parse("", "%Y-%m-%d");
  EXPECT_EQ(p.ts.tm_year, 0);
  EXPECT_EQ(p.rest, "");
}

TEST(Environment, SetAndUnsetVariables)
{
  setenv("RAVLON_TEST_VAR", "some value", 1);
  EEnvironment set("RAVLON_TEST_VAR");
  setenv("RAVLON_TEST_VAR", "changed", 1);
  EXPECT_STREQ(set.name, "RAVLON_TEST_VAR");
  EXPECT_STREQ(set.value, "some value");  // a copy taken at construction

  unsetenv("RAVLON_TEST_UNSET");
  EEnvironment unset("RAVLON_TEST_UNSET");
  EXPECT_STREQ(unset.name, "RAVLON_TEST_UNSET");
  EXPECT_EQ(unset.value, nullptr);

  char* s = strnew("");
  EXPECT_STREQ(s, "");
  delete[] s;
}

TEST(Random, SeedLayoutAndRepeatability)
{
  auto bytes = [](const ESeed& s) {
    const unsigned char* b = reinterpret_cast<const unsigned char*>(s());
    return std::string(reinterpret_cast<const char*>(b), 6);
  };
  EXPECT_EQ(bytes(ESeed(0x12345678L)), std::string("\0\0\x12\x34\x56\x78", 6));
  EXPECT_EQ(bytes(ESeed(0x7FFFFFFF9ABCDEF0L)), std::string("\0\0\x9a\xbc\xde\xf0", 6));
  EXPECT_EQ(bytes(ESeed()), std::string(6, '\0'));
  const unsigned char raw[6] = {1, 2, 3, 4, 5, 6};
  EXPECT_EQ(bytes(ESeed(raw)), std::string("\1\2\3\4\5\6", 6));

  ERandom r1(ESeed(42L));
  double first = r1.get_rand();
  ERandom r2(ESeed(42L));
  EXPECT_EQ(r2.get_rand(), first);

  ESeed now = r2.get_seed();  // reading the state does not disturb it
  double next = r2.get_rand();
  r2.set_seed(now);
  EXPECT_EQ(r2.get_rand(), next);

  for (int i = 0; i < 100; i++) {
    double v = r1.get_rand(ERange(-3, 5));
    EXPECT_TRUE(v >= -3 && v < 5) << v;
  }

  // Two generators made in the same second start the same sequence.
  time_t before = time(0);
  ERandom t1;
  double x = t1.get_rand();
  ERandom t2;
  double y = t2.get_rand();
  if (time(0) == before) {
    EXPECT_EQ(x, y);
  }
}

TEST(Time, TextRoundTripAndTimer)
{
  ETime tm_;
  tm ts;
  EXPECT_EQ(tm_.text2tms("1995-07-04 12:30", 0, &ts), 0);
  EXPECT_STREQ(tm_.tms2text(ts), "1995-07-04 12:30");
  EXPECT_EQ(tm_.text2tms("1995-07-04 12:30 extra", 0, &ts), -1);

  time_t t = tm_.get_time();
  std::string txt = tm_.time2text(t);
  EXPECT_EQ(txt.size(), 16u);
  EXPECT_EQ(tm_.text2tms(txt.c_str(), 0, &ts), 0);

  ETimer timer_;
  timer_.run(0);
  timer_.run(-5);
  timer_.run(1);
}
