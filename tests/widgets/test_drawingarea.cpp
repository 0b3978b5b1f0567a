// The drawing area in a real window: its lazily made graphics context,
// its frame read back from the screen and its tracked input; and fonts.
#include "xfixture.h"

#include <string>
#include <vector>

#include <X11/IntrinsicP.h>  // XtResizeWidget: what a parent does to a child

#include "WDrawingArea.h"
#include "WEtc.h"
#include "WShl.h"

namespace {

// Records what the hooks see; clears (draws the frame) on expose.
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
    clear();
  }
  void resize() override { resizes++; }
  void keyboard(const XKeyEvent* ev) override { events.push_back(ev->type); }
  void mouse(const XEvent* ev) override { events.push_back(ev->type); }

  int inits = 0, exposes = 0, resizes = 0;
  std::vector<int> events;
};

}  // namespace

class DrawingAreaTest : public XFixture {
protected:
  void SetUp() override
  {
    XFixture::SetUp();
    wnd = new WWindow("da", 0);
    da = new Probe(wnd->xtwgt);
    XtVaSetValues(da->xtwgt, XtNwidth, static_cast<XtArgVal>(100), XtNheight,
                  static_cast<XtArgVal>(80), nullptr);
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
  WWindow* wnd = nullptr;
  Probe* da = nullptr;
};

TEST_F(DrawingAreaTest, GraphicsContextAtLastEventOfFirstExposeSeries)
{
  da->clear();                        // no window yet: dropped
  da->set_clip(WRect(0, 0, 10, 10));  // unrealized: not even a GC
  EXPECT_EQ(da->dagc, nullptr);
  ASSERT_NO_FATAL_FAILURE(show_exposed());
  EXPECT_EQ(da->inits, 1);
  EXPECT_NE(da->dagc, nullptr);

  int before = da->exposes;
  for (int count = 2; count >= 0; count--) {
    XEvent e{};
    e.xexpose.type = Expose;
    e.xexpose.window = da->xwindow();
    e.xexpose.width = e.xexpose.height = 10;
    e.xexpose.count = count;
    XSendEvent(display, da->xwindow(), False, ExposureMask, &e);
  }
  ASSERT_TRUE(pump_until([&] { return da->exposes > before; }));
  pump(200);
  EXPECT_EQ(da->exposes, before + 1);
  EXPECT_EQ(da->inits, 1);
  EXPECT_EQ(x_errors(), 0);
}

// Realized but never mapped: a resize reaches expose before any GC or
// window, and the drawing it asks for is dropped without an X error.
TEST_F(DrawingAreaTest, ResizeBeforeFirstExposeIsTolerated)
{
  XtSetMappedWhenManaged(wnd->xtwgt, False);
  wnd->show();
  da->set_offset(WRect(4, 4, 4, 4));
  int resizes = da->resizes;
  XtResizeWidget(da->xtwgt, 60, 50, 0);
  EXPECT_EQ(da->resizes, resizes + 1);
  EXPECT_EQ(da->exposes, 1);
  EXPECT_EQ(da->inits, 0);
  EXPECT_EQ(da->dr, WRect(4, 4, 52, 42));
  pump(100);
  EXPECT_EQ(x_errors(), 0);
}

// A white field in a sunken frame, one pixel outside the drawing
// rectangle, read back from the screen.
TEST_F(DrawingAreaTest, FramePixels)
{
  ASSERT_NO_FATAL_FAILURE(show_exposed());
  da->set_offset(WRect(10, 0, 200, 0));  // wider than the widget: width kept
  EXPECT_EQ(da->dr, WRect(10, 0, 100, 80));
  da->set_offset(WRect(4, 4, 4, 4));
  EXPECT_EQ(da->dr, WRect(4, 4, 92, 72));
  da->clear();
  XSync(display, False);
  Window w = da->xwindow();
  EXPECT_EQ(pixel_at(w, 4, 4), colortbl[1]);
  EXPECT_EQ(pixel_at(w, 95, 75), colortbl[1]);
  EXPECT_EQ(pixel_at(w, 50, 3), colortbl[4]);   // top, dark
  EXPECT_EQ(pixel_at(w, 3, 40), colortbl[4]);   // left, dark
  EXPECT_EQ(pixel_at(w, 50, 76), colortbl[5]);  // bottom, light
  EXPECT_EQ(pixel_at(w, 96, 40), colortbl[5]);  // right, light
  EXPECT_EQ(pixel_at(w, 1, 1), colortbl[2]);    // background
  da->set_drawframe(0);
  da->clear();
  XSync(display, False);
  EXPECT_EQ(pixel_at(w, 50, 40), colortbl[2]);
  EXPECT_EQ(x_errors(), 0);
}

// Real input through XTEST (xdotool): nothing reaches the hooks before
// tracking is on, and then only key, button and motion events.
TEST_F(DrawingAreaTest, InputReachesHooksOnlyWhenTracked)
{
  ASSERT_NO_FATAL_FAILURE(show_exposed());
  std::string win = std::to_string(da->xwindow());
  auto type_and_click = [&] {
    XSetInputFocus(display, da->xwindow(), RevertToParent, CurrentTime);
    XSync(display, False);
    xdo("mousemove 0 0 key a mousemove --window " + win + " 20 20 click 1 mousemove --window " +
        win + " 30 25");
    pump(300);
  };
  type_and_click();
  EXPECT_TRUE(da->events.empty());
  da->set_trackkeyboard();
  da->set_trackmouse();
  type_and_click();
  ASSERT_GE(da->events.size(), 2u);
  EXPECT_EQ(da->events[0], KeyPress);
  EXPECT_EQ(da->events[1], KeyRelease);
  int seen[LASTEvent] = {};
  for (size_t i = 2; i < da->events.size(); i++)
    seen[da->events[i]]++;
  EXPECT_EQ(seen[ButtonPress], 1);
  EXPECT_EQ(seen[ButtonRelease], 1);
  EXPECT_GE(seen[MotionNotify], 1);
  EXPECT_EQ(seen[EnterNotify] + seen[LeaveNotify] + seen[KeyPress], 0);
  EXPECT_EQ(x_errors(), 0);
}

class FontTest : public XFixture {};

TEST_F(FontTest, FallbackAndAssignment)
{
  WFont unknown("-nobody-nofont-medium-r-*-*-99-*");
  EXPECT_STREQ(unknown.fnam, "6x13");
  EXPECT_EQ(unknown.height(), 13);
  EXPECT_EQ(unknown.width("abc"), 18);
  WFont cut(std::string(600, 'f').c_str());  // cut to 511, then unknown
  EXPECT_STREQ(cut.fnam, "6x13");

  WFont a("6x13"), b("fixed");
  a.free();
  a = cut;  // equal names: stays without a font
  EXPECT_EQ(a(), nullptr);
  EXPECT_NE(a.alloc(a.fnam), nullptr);  // reloads its own name
  EXPECT_STREQ(a.fnam, "6x13");
  a = b;
  EXPECT_STREQ(a.fnam, "fixed");
  EXPECT_NE(a(), nullptr);
  EXPECT_NE(a(), b());  // its own copy, freed on its own
  EXPECT_EQ(x_errors(), 0);
}
