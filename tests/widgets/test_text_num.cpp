// Numeric fields: what typing and pasting leave in them, clamping and
// formatting of values, and reading them back against the range.
#include "test_text_fixture.h"

#include <cfloat>
#include <climits>
#include <cmath>

#include "WTextNum.h"

class NumTest : public TextFixture {
protected:
  // Puts text on the clipboard from a plain field, as a user's copy would.
  void copy_text(const char* s)
  {
    src->set_text(s);
    src->selectall();
    src->copy();
  }
  void SetUp() override
  {
    TextFixture::SetUp();
    src = new WTextField(box);
  }
  void TearDown() override
  {
    delete src;
    TextFixture::TearDown();
  }
  WTextField* src = nullptr;
};

TEST_F(NumTest, IntegerFieldTakesDigitsOnly)
{
  WTextInt f(box);
  f.set_value(12);
  show(wnd);
  focus(f);
  xdo("key End");
  xdo("type 7a8");
  ASSERT_TRUE(shows(f, "1278"));
  xdo("key BackSpace Home Delete");  // both deletions are accepted
  ASSERT_TRUE(shows(f, "27"));
  xdo("type -- -");  // no sign in an integer field: it stays "27"
  copy_text("1a2b3");
  xdo("key End shift+Insert");  // a pasted mixture leaves its digits
  ASSERT_TRUE(shows(f, "27123"));
  copy_text("-5");
  xdo("key shift+Insert");
  ASSERT_TRUE(shows(f, "271235"));
  copy_text("ab");  // nothing legal: refused
  xdo("key shift+Insert");
  xdo("type 0123456789");  // at most 12 characters from the keyboard
  ASSERT_TRUE(shows(f, "271235012345"));
  xdo("key BackSpace");
  ASSERT_TRUE(shows(f, "27123501234"));
  EXPECT_EQ(x_errors(), 0);
}

TEST_F(NumTest, FloatFieldTakesOneLeadingSignAndOnePoint)
{
  WTextFloat f(box);
  f.set_precision(1);
  f.set_value(3.5);
  show(wnd);
  focus(f);
  xdo("key Home");
  xdo("type -- -");  // a sign at position 0
  ASSERT_TRUE(shows(f, "-3.5"));
  xdo("type -- -9");  // a sign at position 1 is refused, the digit taken
  ASSERT_TRUE(shows(f, "-93.5"));
  xdo("key End");
  xdo("type .1");  // a second point is refused
  ASSERT_TRUE(shows(f, "-93.51"));
  xdo("key Home Delete End BackSpace");  // Delete refused, BackSpace taken
  ASSERT_TRUE(shows(f, "-93.5"));

  f.set_value(12);  // shows 12.0; a second set_value is not vetted away
  ASSERT_TRUE(shows(f, "12.0"));
  xdo("key End BackSpace BackSpace");
  ASSERT_TRUE(shows(f, "12"));
  copy_text("1.2.3");  // refused whole
  xdo("key shift+Insert");
  copy_text(".5");
  xdo("key shift+Insert");
  ASSERT_TRUE(shows(f, "12.5"));
  EXPECT_EQ(x_errors(), 0);
}

TEST_F(NumTest, IntegerValuesClampAndReadBack)
{
  WTextInt f(box);
  long v = -1;
  EXPECT_EQ(f.get_value(&v), -1);  // empty
  EXPECT_EQ(v, 0);
  f.set_text("1a2");  // a program's text is vetted too
  EXPECT_TRUE(shows(f, "12"));
  f.set_value(LONG_MIN);
  EXPECT_TRUE(shows(f, "-2147483647"));
  EXPECT_EQ(f.get_value(&v), 0);
  EXPECT_EQ(v, -2147483647L);

  f.set_range(ERange(0, 100));
  f.set_value(250);
  EXPECT_TRUE(shows(f, "100"));
  f.set_value(-3);
  EXPECT_TRUE(shows(f, "0"));
  f.set_range(ERange(0, 10));
  f.set_value(11);
  EXPECT_TRUE(shows(f, "10"));
  EXPECT_TRUE(f.get_range().is_inrange(0) && f.get_range().is_inrange(10));
  // Keysyms above 255 are compared, never classified.
  EXPECT_TRUE(f.is_legal(0xFF08) && f.is_legal(0xFF51) && f.is_legal('7'));
  EXPECT_FALSE(f.is_legal(0xFF52) || f.is_legal(0x100 + '5') || f.is_legal(-1) || f.is_legal('+'));

  // A change before the cursor is judged by its first character only, so a
  // program's text can hold more than digits; reading stops at them.
  XmTextSetInsertionPosition(f.xtwgt, 2);
  f.set_text("42abc");
  ASSERT_TRUE(shows(f, "42abc"));
  f.set_range(ERange(0, 100));
  EXPECT_EQ(f.get_value(&v), 0);
  EXPECT_EQ(v, 42);
  f.set_range(ERange(0, 10));
  EXPECT_EQ(f.get_value(&v), -2);
  EXPECT_EQ(v, 42);

  // Bounds beyond a long, or NaN, clamp to the long's ends or not at all.
  f.set_range(ERange(-1e300, NAN));
  f.set_value(LONG_MAX);
  EXPECT_TRUE(shows(f, "9223372036854775807"));
  f.set_value(LONG_MIN);
  EXPECT_TRUE(shows(f, "-9223372036854775808"));
  EXPECT_GE(f.txtlen, 21);
  EXPECT_EQ(x_errors(), 0);
}

TEST_F(NumTest, FloatValuesFormatWholeForAnyDouble)
{
  WTextFloat f(box);
  f.set_value(2.5);
  EXPECT_TRUE(shows(f, "2.500000"));
  f.set_precision(2);
  f.set_value(3.14159);
  EXPECT_TRUE(shows(f, "3.14"));
  f.set_precision(0);
  f.set_value(3);
  EXPECT_TRUE(shows(f, "3."));
  f.set_precision(-4);
  f.set_value(7.25);
  EXPECT_TRUE(shows(f, "7."));

  // Too wide for the 12 characters typed: written whole, read back exactly.
  f.set_precision(6);
  double v = 0;
  for (double d : {1e300, -1e300, 123456789.125, DBL_MAX}) {
    f.set_value(d);
    ASSERT_EQ(f.get_value(&v), 0) << d;
    EXPECT_EQ(v, d);
    EXPECT_EQ(std::strlen(f.txttxt) + 1 <= static_cast<size_t>(f.txtlen), true);
  }
  f.set_value(INFINITY);  // clamped to the default range
  EXPECT_EQ(f.get_value(&v), 0);
  EXPECT_EQ(v, DBL_MAX);
  f.set_value(NAN);  // outside every range
  EXPECT_TRUE(shows(f, "nan") || shows(f, "-nan"));
  EXPECT_EQ(f.get_value(&v), -2);
  f.set_range(ERange(-INFINITY, INFINITY));
  f.set_value(-INFINITY);
  EXPECT_TRUE(shows(f, "-inf"));
  f.set_range(ERange(0, 10));
  f.set_value(11);
  EXPECT_EQ(f.get_value(&v), 0);
  EXPECT_EQ(v, 10);
  EXPECT_EQ(x_errors(), 0);
}
