// The drawing area: its lazily made graphics context, drawing rectangle,
// frame and tracked input, in a real window; and the font holder.
#include "xfixture.h"

#include <cstdlib>
#include <string>
#include <vector>

#include <X11/IntrinsicP.h>  // XtResizeWidget: what a parent does to a child
#include <Xm/DrawingA.h>

#include "WDrawingArea.h"
#include "WEtc.h"
#include "WShl.h"

namespace {

// Records what the drawing area's hooks see; draws the frame on expose.
class Probe : public WDrawingArea {
public:
  explicit Probe(Widget parent) : WDrawingArea(parent) {}
  void init() override
  {
    inits++;
    WDrawingArea::init();
  }
  void expose() override
  {
    exposes++;
    gc_at_expose = dagc;
    clear();
  }
  void resize() override { resizes++; }
  void keyboard(const XKeyEvent* ev) override { keys.push_back(ev->type); }
  void mouse(const XEvent* ev) override { pointer.push_back(ev->type); }

  int inits = 0;
  int exposes = 0;
  int resizes = 0;
  GC gc_at_expose = nullptr;
  std::vector<int> keys;
  std::vector<int> pointer;
};

}  // namespace

class DrawingAreaTest : public XFixture {
protected:
  void SetUp() override
  {
    XFixture::SetUp();
    wnd = new WWindow("da", 0);
    da = new Probe(wnd->xtwgt);
    XtVaSetValues(da->xtwgt, XtNwidth, 100, XtNheight, 80, nullptr);
    wnd->set_geom(WRect(40, 40, 100, 80));
  }
  void TearDown() override
  {
    delete da;
    delete wnd;
  }
  void show_exposed()
  {
    wnd->show();
    ASSERT_TRUE(pump_until([&] { return da->exposes > 0 && is_viewable(da->xwnd); }));
    pump(200);
  }
  void send_expose(int count)
  {
    XEvent e{};
    e.xexpose.type = Expose;
    e.xexpose.window = da->xwindow();
    e.xexpose.width = 10;
    e.xexpose.height = 10;
    e.xexpose.count = count;
    XSendEvent(display, da->xwindow(), False, ExposureMask, &e);
  }
  static void xdotool(const std::string& args)
  {
    ASSERT_EQ(system(("xdotool " + args + " >/dev/null 2>&1").c_str()), 0) << args;
  }
  WWindow* wnd = nullptr;
  Probe* da = nullptr;
};

TEST_F(DrawingAreaTest, GraphicsContextMadeAtLastEventOfFirstExposeSeries)
{
  EXPECT_EQ(da->dagc, nullptr);
  EXPECT_EQ(da->xwnd, 0u);
  EXPECT_FALSE(da->is_shown());
  da->clear();  // nothing to draw on yet: dropped
  da->draw_frame();
  da->set_clip(WRect(0, 0, 10, 10));  // unrealized: not even a GC
  EXPECT_EQ(da->dagc, nullptr);

  ASSERT_NO_FATAL_FAILURE(show_exposed());
  EXPECT_EQ(da->inits, 1);
  EXPECT_NE(da->dagc, nullptr);
  EXPECT_EQ(da->gc_at_expose, da->dagc);
  EXPECT_EQ(da->xwnd, da->xwindow());

  int before = da->exposes;
  send_expose(2);
  send_expose(1);
  send_expose(0);
  ASSERT_TRUE(pump_until([&] { return da->exposes > before; }));
  pump(200);
  EXPECT_EQ(da->exposes, before + 1);
  EXPECT_EQ(da->inits, 1);
  EXPECT_EQ(x_errors(), 0);
}

// Realized but never mapped: a resize reaches expose with no GC and no
// window, and drawing then is dropped without an X error.
TEST_F(DrawingAreaTest, ResizeBeforeFirstExposeIsTolerated)
{
  XtSetMappedWhenManaged(wnd->xtwgt, False);
  wnd->show();
  pump(100);
  int before = da->resizes;
  XtResizeWidget(da->xtwgt, 60, 50, 0);
  EXPECT_EQ(da->resizes, before + 1);
  EXPECT_GE(da->exposes, 1);
  EXPECT_EQ(da->gc_at_expose, nullptr);
  EXPECT_EQ(da->inits, 0);
  EXPECT_EQ(da->dr.w, 60);
  EXPECT_EQ(da->dr.h, 50);
  EXPECT_EQ(x_errors(), 0);
}

TEST_F(DrawingAreaTest, DrawingRectangleFollowsOffset)
{
  WRect before = da->dr;
  da->set_offset(WRect(4, 4, 4, 4));  // not realized: stored only
  EXPECT_EQ(da->dr, before);
  XtResizeWidget(da->xtwgt, 100, 79, 0);  // the next resize takes it up
  EXPECT_EQ(da->dr, WRect(4, 4, 92, 71));
  ASSERT_NO_FATAL_FAILURE(show_exposed());
  da->set_offset(WRect(10, 0, 200, 0));  // wider than the widget: width kept
  EXPECT_EQ(da->dr, WRect(10, 0, 100, 80));
  da->set_offset(WRect());
  EXPECT_EQ(da->dr, WRect(0, 0, 100, 80));
}

// A white field in a sunken frame, read back from the screen.
TEST_F(DrawingAreaTest, FramePixels)
{
  ASSERT_NO_FATAL_FAILURE(show_exposed());
  da->set_offset(WRect(4, 4, 4, 4));
  da->clear();
  XSync(display, False);
  Window w = da->xwindow();
  EXPECT_EQ(pixel_at(w, 50, 40), colortbl[1]);   // field
  EXPECT_EQ(pixel_at(w, 4, 4), colortbl[1]);
  EXPECT_EQ(pixel_at(w, 95, 75), colortbl[1]);
  EXPECT_EQ(pixel_at(w, 50, 3), colortbl[4]);    // top edge, dark
  EXPECT_EQ(pixel_at(w, 3, 40), colortbl[4]);    // left edge, dark
  EXPECT_EQ(pixel_at(w, 50, 76), colortbl[5]);   // bottom edge, light
  EXPECT_EQ(pixel_at(w, 96, 40), colortbl[5]);   // right edge, light
  EXPECT_EQ(pixel_at(w, 1, 1), colortbl[2]);     // background
  EXPECT_EQ(pixel_at(w, 98, 78), colortbl[2]);

  da->set_drawframe(0);
  da->clear();
  XSync(display, False);
  EXPECT_EQ(pixel_at(w, 50, 40), colortbl[2]);
  EXPECT_EQ(x_errors(), 0);
}

TEST_F(DrawingAreaTest, ClipAndLineAttributes)
{
  ASSERT_NO_FATAL_FAILURE(show_exposed());
  da->set_line(da->dagc, 3, LineOnOffDash, CapButt, JoinMiter);
  EXPECT_EQ(da->linewdt, 3);
  static const char dashes[] = {4, 2};
  da->set_dash(da->dagc, dashes, 2);
  da->set_clip(WRect(0, 0, 20, 20));
  unsigned long outside = pixel_at(da->xwindow(), 30, 30);
  ASSERT_NE(outside, colortbl[6]);
  XSetForeground(display, da->dagc, colortbl[6]);
  XSetLineAttributes(display, da->dagc, 0, LineSolid, CapButt, JoinMiter);
  XFillRectangle(display, da->xwnd, da->dagc, 0, 0, 100, 80);
  XSync(display, False);
  EXPECT_EQ(pixel_at(da->xwindow(), 10, 10), colortbl[6]);
  EXPECT_EQ(pixel_at(da->xwindow(), 30, 30), outside);
  EXPECT_EQ(x_errors(), 0);
}

// Real input through the XTEST extension: nothing reaches the hooks
// before tracking is on; enter and leave never reach mouse.
TEST_F(DrawingAreaTest, InputReachesHooksOnlyWhenTracked)
{
  ASSERT_NO_FATAL_FAILURE(show_exposed());
  std::string win = std::to_string(da->xwindow());
  auto press_and_click = [&] {
    XSetInputFocus(display, da->xwindow(), RevertToParent, CurrentTime);
    XSync(display, False);
    xdotool("mousemove 0 0");
    xdotool("key a");
    xdotool("mousemove --window " + win + " 20 20 click 1");
    xdotool("mousemove --window " + win + " 30 25");
    pump(300);
  };
  press_and_click();
  EXPECT_TRUE(da->keys.empty());
  EXPECT_TRUE(da->pointer.empty());

  da->set_trackkeyboard();
  da->set_trackmouse();
  press_and_click();
  EXPECT_EQ(da->keys, (std::vector<int>{KeyPress, KeyRelease}));
  int presses = 0, releases = 0, motions = 0;
  for (int t : da->pointer) {
    presses += t == ButtonPress;
    releases += t == ButtonRelease;
    motions += t == MotionNotify;
    EXPECT_TRUE(t == ButtonPress || t == ButtonRelease || t == MotionNotify) << t;
  }
  EXPECT_EQ(presses, 1);
  EXPECT_EQ(releases, 1);
  EXPECT_GE(motions, 1);
  EXPECT_EQ(x_errors(), 0);
}

class FontTest : public XFixture {};

TEST_F(FontTest, FallsBackAndNamesWhatLoaded)
{
  WFont unknown("-nobody-nofont-medium-r-*-*-99-*");
  ASSERT_NE(unknown(), nullptr);
  EXPECT_STREQ(unknown.fnam, "6x13");
  EXPECT_EQ(unknown.height(), 13);
  EXPECT_EQ(unknown.width("abc"), 18);

  std::string huge(600, 'f');
  WFont cut(huge.c_str());
  EXPECT_STREQ(cut.fnam, "6x13");
  EXPECT_NE(cut(), nullptr);

  WFont f("fixed");
  EXPECT_STREQ(f.fnam, "fixed");
  XmFontList fl = f.fontlist();
  EXPECT_NE(fl, nullptr);
  XmFontListFree(fl);
  EXPECT_EQ(x_errors(), 0);
}

TEST_F(FontTest, AssignmentReloadsOnlyForAnotherName)
{
  WFont a("6x13"), b("fixed"), same("6x13");
  a.free();
  EXPECT_EQ(a(), nullptr);
  a = same;  // equal names: stays without a font
  EXPECT_EQ(a(), nullptr);
  EXPECT_STREQ(a.fnam, "6x13");
  a = b;
  EXPECT_STREQ(a.fnam, "fixed");
  EXPECT_NE(a(), nullptr);
  EXPECT_NE(a(), b());  // its own copy, freed on its own
  a = a;
  EXPECT_NE(a(), nullptr);
  EXPECT_EQ(x_errors(), 0);
}
