// Text documents and one-line fields: focus changes with the client's
// callback, selection, clipboard and the growing text buffer.
#include "test_text_fixture.h"

#include <string>
#include <vector>

#include <X11/keysym.h>

namespace {

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

}  // namespace

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
  EXPECT_TRUE(doc.is_multiline());
  EXPECT_FALSE(b.is_multiline());
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

TEST_F(TextTest, SelectionClipboardAndQueries)
{
  WTextField src(box), dst(box);
  show(wnd);
  src.set_text("copied");
  src.selectall();
  long l = -1, r = -1;
  ASSERT_TRUE(src.get_selrng(&l, &r));
  EXPECT_EQ(r, 6);
  src.copy();
  dst.set_text("xy");
  focus(dst);
  xdo("key End Left shift+Insert");  // the user's paste key
  EXPECT_TRUE(shows(dst, "xcopiedy"));
  EXPECT_EQ(dst.get_length(), 8);

  src.clear();  // only the highlight goes
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

  EXPECT_TRUE(src.is_arrow(XK_Left) && src.is_arrow(XK_Right));
  EXPECT_FALSE(src.is_arrow(XK_Up) || src.is_arrow(XK_Down) || src.is_arrow('Q'));
  EXPECT_EQ(x_errors(), 0);
}
