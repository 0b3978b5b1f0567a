// The error window under the real window manager.
#include "test_menu_fixture.h"

#include <Xm/MessageB.h>
#include <Xm/PushB.h>

#include "WError.h"

namespace {

class ErrorTest : public UserFixture {
protected:
  void SetUp() override
  {
    UserFixture::SetUp();
    err = new WError(shell()->xtwgt);
  }
  void TearDown() override { delete err; }
  Window shl() const { return XtWindow(XtParent(err->xtwgt)); }
  Widget button(unsigned char which) const { return XmMessageBoxGetChild(err->xtwgt, which); }
  void say(const char* s)
  {
    err->set_message(s);
    show(err);
  }
  bool gone()
  {
    return pump_until([&] { return !is_viewable(shl()); }) && !err->is_shown();
  }
  void expect_in_place() { expect_frame_at(shl(), 440, 308); }
  WError* err = nullptr;
};

TEST_F(ErrorTest, FixedErrorBoxInUpperMiddle)
{
  EXPECT_FALSE(err->is_shown());
  say("first");
  say("a second message, longer than the first, in its place");
  EXPECT_TRUE(sized(shl(), 400, 100));
  expect_in_place();
  Widget ok = button(XmDIALOG_OK_BUTTON);
  EXPECT_EQ(xm_text(ok, XmNlabelString), "    OK    ");
  Boolean trav = True;
  XtVaGetValues(ok, XmNtraversalOn, &trav, nullptr);
  EXPECT_FALSE(trav);
  EXPECT_FALSE(XtIsManaged(button(XmDIALOG_CANCEL_BUTTON)));
  EXPECT_FALSE(XtIsManaged(button(XmDIALOG_HELP_BUTTON)));
  EXPECT_EQ(x_errors(), 0);
}

// OK and the window manager's close button (the title bar's leftmost) both
// hide the window and call cp once; the next message shows it again in the
// same place, however often that happens.
TEST_F(ErrorTest, OkAndCloseButtonHideIt)
{
  int n = 0;
  err->set_cp(cp_count, &n);
  for (int cycle = 0; cycle < 3; cycle++) {
    say("one");
    expect_in_place();
    click(button(XmDIALOG_OK_BUTTON));
    ASSERT_TRUE(gone());
    say("two");
    expect_in_place();
    XRectangle f = frame_geometry(display, shl()), c = geometry(display, shl());
    ASSERT_EQ(click_at(screen, c.x + 6, (f.y + c.y) / 2 + 2), 0);
    ASSERT_TRUE(gone());
  }
  EXPECT_EQ(n, 6);
  say("three");
  expect_in_place();
  EXPECT_EQ(xm_text(err->xtwgt, XmNmessageString), "three");
  EXPECT_EQ(x_errors(), 0);
}

// Events keep their order: the click on the other window's menu is
// dispatched, and posts nothing, before OK hides the window.
TEST_F(ErrorTest, BlocksOtherWindowsWhileShown)
{
  static const WMenuItem tbl[] = {{"Go", &xmPushButtonWidgetClass, 0, nullptr, nullptr, 5, nullptr},
                                  {nullptr, nullptr, 0, nullptr, nullptr, 0, nullptr}};
  MenuWnd wnd;
  Widget file = wnd.menu->add_menu("File", 0, tbl, 0, nullptr);
  show(&wnd);
  say("blocked");
  click(file);
  click(button(XmDIALOG_OK_BUTTON));
  ASSERT_TRUE(gone());
  EXPECT_FALSE(is_viewable(XtWindow(XtParent(pulldown(file)))));
  choose(file, "Go");
  ASSERT_TRUE(calls_reach(wnd.menu, 1));
}

}  // namespace
