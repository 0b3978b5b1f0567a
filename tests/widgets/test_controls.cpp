// Buttons, toggles, the toggle box, the slider and icons, in a real window
// clicked through the XTEST extension.
#include "xfixture.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include <X11/Xutil.h>
#include <Xm/RowColumn.h>
#include <Xm/ToggleB.h>

#include "WButton.h"
#include "WEtc.h"
#include "WIcon.h"
#include "WShl.h"
#include "WSld.h"

namespace {

void cp_count(Widget, XtPointer usr, XtPointer)
{
  ++*static_cast<int*>(usr);
}

}  // namespace

class ControlTest : public XFixture {
protected:
  void SetUp() override
  {
    XFixture::SetUp();
    wnd = new WWindow("controls", 0);
    box = XtVaCreateManagedWidget("box", xmRowColumnWidgetClass, wnd->xtwgt, nullptr);
  }
  void TearDown() override { delete wnd; }
  void show()
  {
    wnd->set_geom(WRect(20, 20, 200, 200));
    wnd->show();
    ASSERT_TRUE(pump_until([&] { return is_viewable(wnd->xwindow()); }));
    pump(300);
  }
  void click(Widget w)
  {
    std::string cmd = "xdotool mousemove --window " + std::to_string(XtWindow(w)) +
                      " 5 5 click 1 >/dev/null 2>&1";
    ASSERT_EQ(system(cmd.c_str()), 0);
    pump(300);
  }
  WWindow* wnd = nullptr;
  Widget box = nullptr;
};

TEST_F(ControlTest, ValuesAreInertAndTextIsBounded)
{
  WCtl bare;
  EXPECT_STREQ(bare.get_text(), "");
  bare.set_value(5);
  EXPECT_EQ(bare.get_value(), -1);
  std::string longt(600, 'b');
  bare.set_text(longt.c_str());
  EXPECT_EQ(strlen(bare.get_text()), 511u);

  auto* pb = new WPushButton(box, "Push");
  auto* tg = new WTgl(box, "Toggle");
  auto* sl = new WSld(box, "Slide", 5, 5);  // empty range: one step wide
  for (WCtl* c : {static_cast<WCtl*>(pb), static_cast<WCtl*>(tg), static_cast<WCtl*>(sl)}) {
    c->set_value(3);
    EXPECT_EQ(c->get_value(), -1);
    EXPECT_EQ(get_usrdata(c->xtwgt), c);
  }
  EXPECT_STREQ(pb->get_text(), "Push");
  pb->set_text("Pushed");
  XmString xs = nullptr;
  XtVaGetValues(pb->xtwgt, XmNlabelString, &xs, nullptr);
  char* shown = nullptr;
  ASSERT_TRUE(XmStringGetLtoR(xs, const_cast<char*>(XmFONTLIST_DEFAULT_TAG), &shown));
  EXPECT_STREQ(shown, "Pushed");
  XtFree(shown);
  XmStringFree(xs);
  EXPECT_EQ(xt_warnings(), 0) << xt_last_warning();
  delete sl;
  delete tg;
  delete pb;
}

TEST_F(ControlTest, ClicksReachCallbacks)
{
  WPushButton pb(box, "Push");
  WTgl tg(box, "Toggle");
  int pushes = 0, toggles = 0;
  pb.set_cp_activate(cp_count, &pushes);
  tg.set_cp_toggle(cp_count, &toggles);
  ASSERT_NO_FATAL_FAILURE(show());
  ASSERT_NO_FATAL_FAILURE(click(pb.xtwgt));
  EXPECT_EQ(pushes, 1);
  EXPECT_EQ(tg.get_state(), 0);
  ASSERT_NO_FATAL_FAILURE(click(tg.xtwgt));
  EXPECT_EQ(toggles, 1);
  EXPECT_EQ(tg.get_state(), 1);
  tg.set_state(0);  // set from the program: no callback
  EXPECT_EQ(tg.get_state(), 0);
  EXPECT_EQ(toggles, 1);
  EXPECT_EQ(x_errors(), 0);
}

// The pressed look comes and goes without activating the button; a
// button deleted while blinking leaves no timer behind.
TEST_F(ControlTest, BlinkSwapsShadowsForAMoment)
{
  WPushButton pb(box, "Blink");
  int pushes = 0;
  pb.set_cp_activate(cp_count, &pushes);
  ASSERT_NO_FATAL_FAILURE(show());
  Pixel top = 0, bottom = 0, t2 = 0, b2 = 0;
  XtVaGetValues(pb.xtwgt, XmNtopShadowColor, &top, XmNbottomShadowColor, &bottom, nullptr);
  ASSERT_NE(top, bottom);
  pb.blink();
  pb.blink();  // not doubled
  XtVaGetValues(pb.xtwgt, XmNtopShadowColor, &t2, XmNbottomShadowColor, &b2, nullptr);
  EXPECT_EQ(t2, bottom);
  EXPECT_EQ(b2, top);
  ASSERT_TRUE(pump_until([&] { return pb.blinkid == 0; }));
  XtVaGetValues(pb.xtwgt, XmNtopShadowColor, &t2, XmNbottomShadowColor, &b2, nullptr);
  EXPECT_EQ(t2, top);
  EXPECT_EQ(b2, bottom);
  EXPECT_EQ(pushes, 0);

  auto* gone = new WPushButton(box, "Gone");
  gone->blink();
  delete gone;
  pump(400);
  EXPECT_EQ(x_errors(), 0);
}

TEST_F(ControlTest, ToggleBoxKeepsItsStateArray)
{
  const char* labels[] = {"One", "Two", "Three", nullptr};
  WTglBox tb(box, labels);
  ASSERT_EQ(tb.numtgl, 3);
  EXPECT_EQ(memcmp(tb.get_state(), "\0\0\0", 3), 0);
  int calls = 0;
  tb.set_cp_toggle(cp_count, &calls);
  const char on[] = {0, 1, 1};
  tb.set_state(on);
  EXPECT_EQ(memcmp(tb.get_state(), on, 3), 0);
  EXPECT_EQ(calls, 0);

  ASSERT_NO_FATAL_FAILURE(show());
  WidgetList kids = nullptr;
  XtVaGetValues(tb.xtwgt, XmNchildren, &kids, nullptr);
  EXPECT_TRUE(XmToggleButtonGetState(kids[2]));
  ASSERT_NO_FATAL_FAILURE(click(kids[0]));
  EXPECT_EQ(calls, 1);
  const char after[] = {1, 1, 1};
  EXPECT_EQ(memcmp(tb.get_state(), after, 3), 0);

  const char* none[] = {nullptr};
  WTglBox empty(box, none);
  EXPECT_EQ(empty.numtgl, 0);
  EXPECT_EQ(x_errors(), 0);
}

TEST_F(ControlTest, IconBitmapAndWindowHint)
{
  static const unsigned char bits[32] = {0xff, 0x00, 0x81, 0x42};
  WIcon icn(bits, 16, 16);
  ASSERT_NE(icn.xpm, 0u);
  Window root = 0;
  int x = 0, y = 0;
  unsigned int w = 0, h = 0, bw = 0, depth = 0;
  ASSERT_TRUE(XGetGeometry(display, icn.xpm, &root, &x, &y, &w, &h, &bw, &depth));
  EXPECT_EQ(w, 16u);
  EXPECT_EQ(h, 16u);
  EXPECT_EQ(depth, 1u);

  wnd->set_icon(icn);
  ASSERT_NO_FATAL_FAILURE(show());
  XWMHints* hints = XGetWMHints(display, wnd->xwindow());
  ASSERT_NE(hints, nullptr);
  EXPECT_TRUE(hints->flags & IconPixmapHint);
  EXPECT_EQ(hints->icon_pixmap, icn.xpm);
  XFree(hints);

  WIcon bad;
  EXPECT_EQ(bad.alloc(bits, 0, 16), -1);
  EXPECT_EQ(bad.alloc(nullptr, 16, 16), -1);
  EXPECT_EQ(bad.alloc(bits, 70000, 1), -1);
  EXPECT_EQ(bad.xpm, 0u);
  EXPECT_EQ(bad.alloc(bits, 8, 4), 0);
  bad.free();
  EXPECT_EQ(bad.xpm, 0u);
  bad.free();
  EXPECT_EQ(x_errors(), 0);
}
