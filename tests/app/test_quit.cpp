// Every way of quitting ends ravlon with status 0 and nothing on standard
// error: the File menu's Quit and the window manager's close button here;
// Meta+Q and SIGINT while a frame is arriving in test_slow.cpp.
#include "harness.h"

namespace {

class Quit : public RavlonTest {
protected:
  void SetUp() override { start(); }

  void expect_quit()
  {
    ASSERT_TRUE(rv.wait_exit());
    EXPECT_EQ(rv.status(), 0);
    EXPECT_EQ(rv.err(), "");
  }
};

}  // namespace

TEST_F(Quit, FileMenuQuit)
{
  XRectangle g = geometry(xv->dpy, wnd);
  xv->click(g.x + 15, g.y + 15);  // "File" at the left of the menu bar
  Window pdm = xv->find_popup();
  ASSERT_NE(pdm, 0u);
  XRectangle p = geometry(xv->dpy, pdm);
  xv->click(p.x + p.width / 2, p.y + p.height * 3 / 4);  // its last item, "Quit"
  expect_quit();
}

// fvwm's leftmost title-bar button is bound to Close.
TEST_F(Quit, CloseButton)
{
  XRectangle f = frame_geometry(xv->dpy, wnd), g = geometry(xv->dpy, wnd);
  xv->click(g.x + 6, f.y + (g.y - f.y) / 2);
  expect_quit();
}
