// Top-level windows under the real window manager (and, through the
// widgets_reparent_* entries, under twm, openbox and none).
#include "xfixture.h"

#include <cstdlib>
#include <cstring>

#include <X11/Xatom.h>
#include <Xm/DrawingA.h>

#include "WEtc.h"
#include "WShl.h"

namespace {

// A window with a drawing area inside, so that it can be shown; counts
// the shell's inits.
class TestWnd : public WWindow {
public:
  explicit TestWnd(const char* t, unsigned long cmap = 0, Visual* vis = nullptr, int depth = 0)
      : WWindow(t, cmap, vis, depth)
  {
    XtVaCreateManagedWidget("da", xmDrawingAreaWidgetClass, xtwgt, XtNwidth,
                            static_cast<XtArgVal>(300), XtNheight, static_cast<XtArgVal>(200),
                            nullptr);
  }
  void init() override
  {
    inits++;
    WWindow::init();
  }
  int inits = 0;
};

bool no_wm()
{
  const char* wm = getenv("XSESSION_WM");
  return wm && strcmp(wm, "none") == 0;
}

}  // namespace

class ShellTest : public XFixture {
protected:
  // Shows wnd, waits until the window manager has placed it and the shell
  // has taken its first (and only) configure-driven init.
  void show_placed(TestWnd& wnd)
  {
    wnd.show();
    // A window manager that has just started may take its first window
    // slowly while the suite loads both cores.
    ASSERT_TRUE(pump_until(
        [&] { return is_viewable(wnd.xwindow()) && (no_wm() || wnd.inits); }, 20000));
    pump(200);
    EXPECT_EQ(wnd.inits, no_wm() ? 0 : 1);
  }
  // Xt learns where the window went from the window manager's configure
  // notice, which may come after the frame has moved.
  void expect_geom(TestWnd& wnd, const WRect& r)
  {
    pump_until([&] { return wnd.get_geom() == r; });
    EXPECT_EQ(wnd.get_geom(), r);
  }
};

// The frame stays where it was put, and the geometry read back is the
// frame's corner (the client window less its offset in the frame): through
// a resize while shown (as a client's resize request does it), a hide/show
// round trip and a move while hidden.
TEST_F(ShellTest, ReparentPlaceKeptAcrossHideShow)
{
  TestWnd wnd("place");
  wnd.set_geom(WRect(100, 80, 300, 200));
  EXPECT_EQ(wnd.get_geom(), WRect(100, 80, 300, 200));  // no window, no frame to measure yet
  ASSERT_NO_FATAL_FAILURE(show_placed(wnd));
  expect_frame_at(wnd.xwindow(), 100, 80);
  expect_geom(wnd, WRect(100, 80, 300, 200));

  wnd.set_geom(WRect(100, 80, 320, 240));
  expect_geom(wnd, WRect(100, 80, 320, 240));
  expect_frame_at(wnd.xwindow(), 100, 80);

  wnd.hide();
  EXPECT_FALSE(wnd.is_shown());
  wnd.show();
  expect_frame_at(wnd.xwindow(), 100, 80);
  expect_geom(wnd, WRect(100, 80, 320, 240));

  wnd.hide();
  wnd.set_geom(WRect(400, 300, 320, 240));
  wnd.show();
  expect_frame_at(wnd.xwindow(), 400, 300);
  expect_geom(wnd, WRect(400, 300, 320, 240));
  EXPECT_EQ(wnd.inits, no_wm() ? 0 : 1);  // init once, at the first configure
  EXPECT_EQ(x_errors(), 0);
}

// What reaches the X server in _MOTIF_WM_HINTS (functions in field 1,
// decorations in field 2); successive calls add up.
TEST_F(ShellTest, DecorationAndFunctionHintsReachServer)
{
  TestWnd wnd("hints");
  wnd.set_decoration(68, 0);  // resize handles and maximize button
  wnd.set_function(18, 0);    // resize and maximize
  wnd.set_geom(WRect(10, 10, 300, 200));
  ASSERT_NO_FATAL_FAILURE(show_placed(wnd));
  auto hint = [&](int field) { return motif_hint(display, wnd.xwindow(), field); };
  EXPECT_EQ(hint(2), 69);
  EXPECT_EQ(hint(1), 19);
  wnd.set_decoration(2, 0);  // and the border
  EXPECT_EQ(hint(2), 71);
  wnd.set_decoration(64, 1);  // maximize button back
  EXPECT_EQ(hint(2), 7);
  wnd.set_decoration(6, 1);
  EXPECT_EQ(hint(2), 1);  // all decorations
  EXPECT_EQ(x_errors(), 0);
}

// The image window's case: RGB_BEST_MAP sits on a visual other than the
// default one. Without its colour map the visual is not taken.
TEST_F(ShellTest, WindowTakesStandardMapVisual)
{
  XVisualInfo vi;
  XStandardColormap* maps = standard_map(display, screen, XA_RGB_BEST_MAP, &vi);
  ASSERT_NE(maps, nullptr);
  auto shown_on = [&](unsigned long cmap, XWindowAttributes& a) {
    TestWnd wnd("visual", cmap, vi.visual, vi.depth);
    wnd.set_geom(WRect(10, 10, 300, 200));
    ASSERT_NO_FATAL_FAILURE(show_placed(wnd));
    ASSERT_TRUE(XGetWindowAttributes(display, wnd.xwindow(), &a));
  };
  XWindowAttributes a;
  ASSERT_NO_FATAL_FAILURE(shown_on(maps[0].colormap, a));
  EXPECT_EQ(XVisualIDFromVisual(a.visual), maps[0].visualid);
  EXPECT_EQ(a.colormap, maps[0].colormap);
  ASSERT_NO_FATAL_FAILURE(shown_on(0, a));  // no map: the default visual
  EXPECT_EQ(a.visual, DefaultVisual(display, screen));
  XFree(maps);
  EXPECT_EQ(x_errors(), 0);
}
