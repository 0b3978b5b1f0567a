// Text documents, one-line and numeric fields in a window of their own,
// driven by real key presses and pointer clicks (xdotool) under the
// session's window manager: focus changes with the client's callback,
// selection, clipboard, the growing text buffer, and what typing and
// pasting leave in numeric fields, their clamping, formatting and reading
// back against the range.
#include "xfixture.h"

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include <Xm/RowColumn.h>

#include "WEtc.h"
#include "WShl.h"
#include "WTextNum.h"
#include "WTxt.h"

namespace {

class TextFixture : public XFixture {
protected:
  void SetUp() override
  {
    XFixture::SetUp();
    wnd = new WWindow("text", 0);
    box = XtVaCreateManagedWidget("box", xmRowColumnWidgetClass, wnd->xtwgt, nullptr);
  }
  // The fields, locals of the test, are gone by now.
  void TearDown() override { delete wnd; }

  // Clicks near the left end of the field: the window manager gives the
  // window the focus and Motif the field.
  static void focus(const WWidget& w) { click(w.xtwgt, 3, 5); }
  // Waits until the events sent so far have reached the field and its text
  // reads s.
  bool shows(WTxt& t, const char* s)
  {
    return pump_until([&] {
      const char* g = t.get_text();
      return g && std::strcmp(g, s) == 0;
    });
  }

  WWindow* wnd = nullptr;
  Widget box = nullptr;
};

struct FocusLog {
  std::vector<std::pair<Widget, long>> calls;
};

void record(Widget w, void* usr, void* flag)
{
  static_cast<FocusLog*>(usr)->calls.push_back({w, reinterpret_cast<long>(flag)});
}

char cursor_shown(Widget w)
{
  Boolean on = False;
  XtVaGetValues(w, XmNcursorPositionVisible, &on, nullptr);
  return on;
}

class TextTest : public TextFixture {};

TEST_F(TextTest, FocusSelectsAllOfAnEditableFieldAndTellsTheClient)
{
  FocusLog log;  // outlives the fields: destroying them moves the focus
  WTextField a(box), b(box), ro(box);
  WTextDoc doc(box, 0, 1);
  for (WFcsItm* t : {static_cast<WFcsItm*>(&a), static_cast<WFcsItm*>(&b),
                     static_cast<WFcsItm*>(&ro), static_cast<WFcsItm*>(&doc)})
    t->set_cp_changefocus(record, &log);
  b.set_text("second");
  ro.set_text("fixed");
  ro.set_editable(0);
  doc.set_text("line one\nline two");
  show(wnd);
  focus(a);
  ASSERT_TRUE(pump_until([&] { return !log.calls.empty(); }));
  log.calls.clear();

  xdo("key Tab");
  ASSERT_TRUE(pump_until([&] { return log.calls.size() >= 2; }));
  EXPECT_EQ(log.calls[0], std::make_pair(a.xtwgt, 0L));
  EXPECT_EQ(log.calls[1], std::make_pair(b.xtwgt, 1L));
  long l = -1, r = -1;
  EXPECT_TRUE(b.get_selrng(&l, &r));
  EXPECT_EQ(l, 0);
  EXPECT_EQ(r, 6);
  EXPECT_TRUE(cursor_shown(b.xtwgt));
  EXPECT_FALSE(cursor_shown(a.xtwgt));
  xdo("type new");  // typing replaces the selected old value
  ASSERT_TRUE(shows(b, "new"));

  // A read-only field taking the focus neither shows its cursor nor calls
  // the client; losing the focus calls it with 0 all the same.
  log.calls.clear();
  xdo("key Tab");
  ASSERT_TRUE(pump_until([&] { return log.calls.size() >= 1; }));
  pump(200);
  ASSERT_EQ(log.calls.size(), 1u);
  EXPECT_EQ(log.calls[0], std::make_pair(b.xtwgt, 0L));
  EXPECT_FALSE(cursor_shown(ro.xtwgt));
  EXPECT_FALSE(b.get_selrng(&l, &r));

  // The multi-line document shows its cursor but keeps its text unselected.
  log.calls.clear();
  xdo("key Tab");
  ASSERT_TRUE(pump_until([&] { return log.calls.size() >= 2; }));
  EXPECT_EQ(log.calls[1], std::make_pair(doc.xtwgt, 1L));
  EXPECT_TRUE(cursor_shown(doc.xtwgt));
  EXPECT_FALSE(doc.get_selrng(&l, &r));

  // Insensitive: no cursor, no call.
  log.calls.clear();
  b.enable(0);
  b.set_focus(1, 1);
  EXPECT_TRUE(log.calls.empty());
  EXPECT_EQ(x_errors(), 0);
}

TEST_F(TextTest, SelectionClipboardAndGrowingBuffer)
{
  WTextField src(box), dst(box);
  show(wnd);
  src.set_text("copied");
  src.selectall();
  src.copy();
  dst.set_text("xy");
  focus(dst);
  xdo("key End Left shift+Insert");  // the user's paste key
  EXPECT_TRUE(shows(dst, "xcopiedy"));

  src.clear();  // only the highlight goes
  long l = -1, r = -1;
  EXPECT_FALSE(src.get_selrng(&l, &r));
  EXPECT_TRUE(shows(src, "copied"));
  src.selectall();
  src.cut();
  EXPECT_TRUE(shows(src, ""));
  std::string big(5000, 'w');  // far past the buffer's first size
  src.set_text(big.c_str());
  EXPECT_EQ(src.get_text(), big);
  src.set_text("12");
  EXPECT_STREQ(src.get_text(), "12");
  EXPECT_EQ(x_errors(), 0);
}

class NumTest : public TextFixture {
protected:
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
  // Pastes s into the focused field from a plain one, as a user's copy and
  // paste would.
  void paste(const char* s)
  {
    src->set_text(s);
    src->selectall();
    src->copy();
    xdo("key shift+Insert");
  }
  WTextField* src = nullptr;
};

TEST_F(NumTest, IntegerFieldTakesDigitsOnly)
{
  WTextInt f(box);
  f.set_value(12);
  show(wnd);
  focus(f);
  xdo("key End type 7a8");
  ASSERT_TRUE(shows(f, "1278"));
  xdo("key BackSpace Home Delete");  // both deletions are accepted
  ASSERT_TRUE(shows(f, "27"));
  xdo("type -- -");  // no sign in an integer field: it stays "27"
  xdo("key End");
  paste("1a2b3");  // a pasted mixture leaves its digits
  ASSERT_TRUE(shows(f, "27123"));
  paste("-5");
  ASSERT_TRUE(shows(f, "271235"));
  paste("ab");             // nothing legal: refused
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
  xdo("key Home type -- -");  // a sign at position 0
  ASSERT_TRUE(shows(f, "-3.5"));
  xdo("type -- -9");  // a sign at position 1 is refused, the digit taken
  ASSERT_TRUE(shows(f, "-93.5"));
  xdo("key End type .1");  // a second point is refused
  ASSERT_TRUE(shows(f, "-93.51"));
  xdo("key Home Delete End BackSpace");  // Delete refused, BackSpace taken
  ASSERT_TRUE(shows(f, "-93.5"));

  f.set_value(12);  // shows 12.0; a second set_value is not vetted away
  ASSERT_TRUE(shows(f, "12.0"));
  xdo("key End BackSpace BackSpace");
  ASSERT_TRUE(shows(f, "12"));
  paste("1.2.3");  // refused whole
  paste(".5");
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
  // Bounds beyond a long, or NaN, clamp to the long's ends or not at all.
  f.set_range(ERange(-1e300, NAN));
  f.set_value(LONG_MAX);
  EXPECT_TRUE(shows(f, "9223372036854775807"));
  f.set_value(LONG_MIN);
  EXPECT_TRUE(shows(f, "-9223372036854775808"));
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
  EXPECT_EQ(x_errors(), 0);
}

}  // namespace
