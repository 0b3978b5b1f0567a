// Every way of quitting ends ravlon with status 0 and nothing on standard
// error: the File menu's Quit and the window manager's close button here;
// Meta+Q and SIGINT while a frame is arriving in test_slow.cpp.
#include "harness.h"

namespace {

class Quit : public RavlonTest {};

}  // namespace

TEST_F(Quit, FileMenuQuitAndTheCloseButton)
{
  for (bool menu : {true, false}) {
    SCOPED_TRACE(menu ? "File > Quit" : "close button");
    ASSERT_NO_FATAL_FAILURE(start());
    XRectangle f = frame_geometry(xv->dpy, wnd), g = geometry(xv->dpy, wnd);
    if (menu) {
      xv->click(g.x + 15, g.y + 15);  // "File" at the left of the menu bar
      Window pdm = xv->find_popup();
      ASSERT_NE(pdm, 0u);
      XRectangle p = geometry(xv->dpy, pdm);
      xv->click(p.x + p.width / 2, p.y + p.height * 3 / 4);  // its last item, "Quit"
    } else {
      xv->click(g.x + 6, f.y + (g.y - f.y) / 2);  // fvwm's leftmost title-bar button: Close
    }
    ASSERT_TRUE(rv.wait_exit());
    EXPECT_EQ(rv.status(), 0);
    EXPECT_EQ(rv.err(), "");
    ASSERT_TRUE(wait_until([&] { return !is_viewable(xv->dpy, wnd); }));  // not found next time
  }
}
