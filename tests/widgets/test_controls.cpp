// Buttons, toggles and the toggle box in a real window, clicked through
// XTEST (xdotool).
#include "xfixture.h"

#include <cstring>
#include <string>

#include <Xm/RowColumn.h>

#include "WButton.h"
#include "WEtc.h"
#include "WShl.h"
#include "WSld.h"

class ControlTest : public XFixture {
protected:
  void click(Widget w)
  {
    XFixture::click(w, 5, 5);
    pump(300);
  }
};

TEST_F(ControlTest, ClicksReachCallbacksAndState)
{
  WWindow wnd("controls", 0);
  Widget box = XtVaCreateManagedWidget("box", xmRowColumnWidgetClass, wnd.xtwgt, nullptr);
  WPushButton pb(box, "Push");
  WTgl tg(box, "Toggle");
  WSld sl(box, "Slide", 5, 5);  // an empty range becomes one step, not a warning
  const char* labels[] = {"One", "Two", nullptr};
  WTglBox tb(box, labels);
  int pushes = 0, toggles = 0, boxed = 0;
  pb.set_cp_activate(cp_count, &pushes);
  tg.set_cp_toggle(cp_count, &toggles);
  tb.set_cp_toggle(cp_count, &boxed);
  const char on[] = {0, 1};
  tb.set_state(on);
  wnd.set_geom(WRect(20, 20, 200, 200));
  ASSERT_NO_FATAL_FAILURE(show(&wnd));
  pump(300);

  ASSERT_NO_FATAL_FAILURE(click(pb.xtwgt));
  EXPECT_EQ(pushes, 1);
  ASSERT_NO_FATAL_FAILURE(click(tg.xtwgt));
  EXPECT_EQ(toggles, 1);
  EXPECT_EQ(tg.get_state(), 1);
  tg.set_state(0);  // from the program: no callback
  EXPECT_EQ(tg.get_state(), 0);
  WidgetList kids = nullptr;
  XtVaGetValues(tb.xtwgt, XmNchildren, &kids, nullptr);
  ASSERT_NO_FATAL_FAILURE(click(kids[0]));
  EXPECT_EQ(boxed, 1);
  EXPECT_EQ(memcmp(tb.get_state(), "\1\1", 2), 0);
  EXPECT_EQ(toggles, 1);

  pb.set_text(std::string(600, 'p').c_str());
  EXPECT_EQ(strlen(pb.get_text()), 511u);
  sl.set_text("Slider");  // a scale shows its text as the title
  EXPECT_EQ(xm_text(sl.xtwgt, XmNtitleString), "Slider");
  EXPECT_EQ(x_errors(), 0);
  EXPECT_EQ(xt_warnings(), 0) << xt_last_warning();
}
