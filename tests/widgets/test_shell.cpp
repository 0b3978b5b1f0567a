// Shells and top-level windows under the real window manager.
#include "xfixture.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <Xm/DrawingA.h>

#include "WContext.h"
#include "WEtc.h"
#include "WShl.h"

namespace {

// A window with a drawing area of its size inside, so that it can be shown.
class TestWnd : public WWindow {
public:
  explicit TestWnd(const char* t, unsigned long cmap = 0, Visual* vis = nullptr, int depth = 0)
    : WWindow(t, cmap, vis, depth), inits(0)
  {
    XtVaCreateManagedWidget("da", xmDrawingAreaWidgetClass, xtwgt, XtNwidth, 300, XtNheight, 200,
                            nullptr);
  }
  void init() override
  {
    inits++;
    WWindow::init();
  }
  int inits;
};

// Counts how often wrappers of this kind are destroyed.
class Counted : public WWidget {
public:
  explicit Counted(int& n) : count(n) {}
  ~Counted() override { count++; }
  int& count;
};

class ShellWithVec : public TestWnd {
public:
  ShellWithVec() : TestWnd("vec")
  {
    numwgt = 2;
    wvec = new WWidget*[2]();
  }
  using WShl::add_static;
  using WShl::add_widget;
};

class BareShell : public TestWnd {
public:
  BareShell() : TestWnd("bare") {}
  using WShl::add_widget;
};

const char* wm_name()
{
  const char* wm = getenv("XSESSION_WM");
  return wm ? wm : "fvwm";
}

}  // namespace

class ShellTest : public XFixture {
protected:
  // Where the client window's origin stands on the screen.
  static XPoint on_screen(Window w)
  {
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(display, w, root_wnd, 0, 0, &x, &y, &child);
    return XPoint{static_cast<short>(x), static_cast<short>(y)};
  }
  // The outer rectangle of the window manager's frame (the client window
  // itself without a window manager).
  static WRect frame_of(Window w)
  {
    Window root = 0, parent = 0, *kids = nullptr;
    unsigned int n = 0;
    while (XQueryTree(display, w, &root, &parent, &kids, &n) && parent != root) {
      if (kids)
        XFree(kids);
      w = parent;
    }
    if (kids)
      XFree(kids);
    int x = 0, y = 0;
    unsigned int width = 0, height = 0, bw = 0, depth = 0;
    XGetGeometry(display, w, &root, &x, &y, &width, &height, &bw, &depth);
    return WRect(static_cast<short>(x), static_cast<short>(y),
                 static_cast<unsigned short>(width + 2 * bw),
                 static_cast<unsigned short>(height + 2 * bw));
  }
  // Shows wnd and waits until the window manager has placed it and the
  // shell has taken its first configure event (without a window manager
  // nothing configures the window).
  void show_placed(TestWnd& wnd)
  {
    int before = wnd.inits;
    wnd.show();
    bool nowm = strcmp(wm_name(), "none") == 0;
    ASSERT_TRUE(pump_until(
        [&] { return is_viewable(wnd.xwindow()) && (nowm || wnd.inits > before); }));
    pump(200);
  }
  static long mwm_hint(Window w, int field)
  {
    Atom a = XInternAtom(display, "_MOTIF_WM_HINTS", False), type = 0;
    int format = 0;
    unsigned long n = 0, left = 0;
    unsigned char* data = nullptr;
    long v = 0x7fffffff;
    if (XGetWindowProperty(display, w, a, 0, 5, False, AnyPropertyType, &type, &format, &n, &left,
                           &data) == Success &&
        data && n == 5)
      v = reinterpret_cast<long*>(data)[field];
    if (data)
      XFree(data);
    return v;
  }
};

// The frame stays where it was put, under any window manager: through a
// resize while shown (as a client's resize request does it), a hide/show
// round trip and a move while hidden.
TEST_F(ShellTest, ReparentPlaceKeptAcrossHideShow)
{
  TestWnd wnd("place");
  wnd.set_geom(WRect(100, 80, 300, 200));
  ASSERT_NO_FATAL_FAILURE(show_placed(wnd));
  EXPECT_EQ(frame_of(wnd.xwindow()).x, 100) << wm_name();
  EXPECT_EQ(frame_of(wnd.xwindow()).y, 80) << wm_name();
  EXPECT_EQ(wnd.get_geom(), WRect(100, 80, 300, 200)) << wm_name();

  WRect g = wnd.get_geom();
  g.w = 320;
  g.h = 240;
  wnd.set_geom(g);
  ASSERT_TRUE(pump_until([&] { return wnd.get_geom().w == 320 && wnd.get_geom().h == 240; }));
  pump(200);
  EXPECT_EQ(wnd.get_geom(), WRect(100, 80, 320, 240)) << wm_name();
  EXPECT_EQ(frame_of(wnd.xwindow()).x, 100) << wm_name();
  EXPECT_EQ(frame_of(wnd.xwindow()).y, 80) << wm_name();
  XPoint client = on_screen(wnd.xwindow());

  wnd.hide();
  EXPECT_FALSE(wnd.is_shown());
  EXPECT_EQ(wnd.geom, WRect(100, 80, 320, 240));
  pump(100);
  wnd.show();
  ASSERT_TRUE(pump_until([&] {
    XPoint p = on_screen(wnd.xwindow());
    return is_viewable(wnd.xwindow()) && p.x == client.x && p.y == client.y;
  })) << wm_name() << " client now at " << on_screen(wnd.xwindow()).x << ","
      << on_screen(wnd.xwindow()).y << ", was " << client.x << "," << client.y;
  EXPECT_EQ(wnd.get_geom(), WRect(100, 80, 320, 240));

  wnd.hide();
  wnd.set_geom(WRect(400, 300, 320, 240));
  wnd.show();
  ASSERT_TRUE(pump_until([&] {
    return is_viewable(wnd.xwindow()) && frame_of(wnd.xwindow()).x == 400 &&
           frame_of(wnd.xwindow()).y == 300;
  })) << wm_name();
  EXPECT_EQ(wnd.get_geom(), WRect(400, 300, 320, 240));
  EXPECT_EQ(x_errors(), 0);
}

// The offset is the client window's place inside the outer frame: the
// border and the border plus title bar.
TEST_F(ShellTest, ReparentOffsetMeasuresFrame)
{
  TestWnd wnd("offset");
  EXPECT_EQ(title_height(wnd.xtwgt), -1);
  EXPECT_EQ(resize_height(wnd.xtwgt), -1);
  XPoint off{1, 1};
  EXPECT_EQ(reparent_offset(wnd.xtwgt, off), -1);
  EXPECT_EQ(off.x, 0);
  EXPECT_EQ(off.y, 0);
  EXPECT_EQ(reparent_offset(nullptr, off), -1);

  wnd.set_geom(WRect(50, 60, 300, 200));
  ASSERT_NO_FATAL_FAILURE(show_placed(wnd));
  ASSERT_EQ(reparent_offset(XtNameToWidget(wnd.xtwgt, "da"), off), 0);
  XPoint client = on_screen(wnd.xwindow());
  WRect frame = frame_of(wnd.xwindow());
  EXPECT_EQ(off.x, client.x - frame.x);
  EXPECT_EQ(off.y, client.y - frame.y);
  EXPECT_EQ(resize_height(wnd.xtwgt), off.x);
  EXPECT_EQ(title_height(wnd.xtwgt), off.y - off.x);
  if (strcmp(wm_name(), "none") == 0) {
    EXPECT_EQ(off.x, 0);
    EXPECT_EQ(off.y, 0);
  } else {
    EXPECT_GT(title_height(wnd.xtwgt), 10) << wm_name();  // a real title bar
  }
  EXPECT_EQ(x_errors(), 0);
}

TEST_F(ShellTest, WmShellAndUserDataLeadBackToWrapper)
{
  TestWnd wnd("usr");
  Widget da = XtNameToWidget(wnd.xtwgt, "da");
  EXPECT_EQ(get_wmshell(wnd.xtwgt), wnd.xtwgt);
  EXPECT_EQ(get_wmshell(da), wnd.xtwgt);
  EXPECT_EQ(get_wmshell(nullptr), nullptr);
  EXPECT_EQ(get_usrdata(da), nullptr);
  XtVaSetValues(da, XmNuserData, &wnd, nullptr);
  EXPECT_EQ(get_usrdata(da), &wnd);
  EXPECT_EQ(get_usrdata(nullptr), nullptr);
}

TEST_F(ShellTest, InitRunsOnFirstConfigureOnly)
{
  TestWnd wnd("init");
  wnd.set_geom(WRect(10, 10, 300, 200));
  ASSERT_NO_FATAL_FAILURE(show_placed(wnd));
  int first = wnd.inits;
  EXPECT_EQ(first, strcmp(wm_name(), "none") == 0 ? 0 : 1);
  wnd.set_geom(WRect(10, 10, 250, 150));
  ASSERT_TRUE(pump_until([&] { return wnd.get_geom() == WRect(10, 10, 250, 150); }));
  wnd.hide();
  wnd.show();
  pump(300);
  EXPECT_EQ(wnd.inits, first);
}

// The hints reach the X server in _MOTIF_WM_HINTS (functions in field 1,
// decorations in field 2), and successive calls add up.
TEST_F(ShellTest, DecorationAndFunctionHintsReachServer)
{
  TestWnd wnd("hints");
  wnd.set_decoration(68, 0);  // resize handles and maximize button
  wnd.set_function(18, 0);    // resize and maximize
  wnd.set_geom(WRect(10, 10, 300, 200));
  ASSERT_NO_FATAL_FAILURE(show_placed(wnd));
  EXPECT_EQ(mwm_hint(wnd.xwindow(), 2), 69);
  EXPECT_EQ(mwm_hint(wnd.xwindow(), 1), 19);

  wnd.set_decoration(2, 0);  // and the border
  XSync(display, False);
  EXPECT_EQ(mwm_hint(wnd.xwindow(), 2), 71);
  wnd.set_decoration(64, 1);  // maximize button back
  XSync(display, False);
  EXPECT_EQ(mwm_hint(wnd.xwindow(), 2), 7);
  wnd.set_decoration(6, 1);
  XSync(display, False);
  EXPECT_EQ(mwm_hint(wnd.xwindow(), 2), 1);  // all decorations

  TestWnd fresh("all");
  fresh.set_decoration(68, 1);
  int v = 0;
  XtVaGetValues(fresh.xtwgt, XmNmwmDecorations, &v, nullptr);
  EXPECT_EQ(v, 1);
  EXPECT_EQ(x_errors(), 0);
}

TEST_F(ShellTest, TitleSizeLimitsAndIconName)
{
  WWindow untitled(nullptr, 0);
  EXPECT_STREQ(untitled.get_title(), "");

  TestWnd wnd("limits");
  std::string longt(700, 't');
  wnd.set_title(longt.c_str());
  EXPECT_EQ(strlen(wnd.get_title()), 511u);
  wnd.set_title("Ravlon test");
  char* t = nullptr;
  XtVaGetValues(wnd.xtwgt, XtNtitle, &t, nullptr);
  EXPECT_STREQ(t, "Ravlon test");

  wnd.set_sizelimit(WRect(0, 0, 800, 600));
  wnd.set_geom(WRect(10, 10, 300, 200));
  ASSERT_NO_FATAL_FAILURE(show_placed(wnd));
  XSizeHints h;
  long supplied = 0;
  ASSERT_TRUE(XGetWMNormalHints(display, wnd.xwindow(), &h, &supplied));
  EXPECT_TRUE(h.flags & PMaxSize);
  EXPECT_FALSE(h.flags & PMinSize);
  EXPECT_EQ(h.max_width, 800);
  EXPECT_EQ(h.max_height, 600);

  TestWnd minonly("min");
  minonly.set_sizelimit(WRect(100, 50, 0, 0));
  minonly.set_geom(WRect(10, 10, 300, 200));
  ASSERT_NO_FATAL_FAILURE(show_placed(minonly));
  ASSERT_TRUE(XGetWMNormalHints(display, minonly.xwindow(), &h, &supplied));
  EXPECT_TRUE(h.flags & PMinSize);
  EXPECT_FALSE(h.flags & PMaxSize);
  EXPECT_EQ(h.min_width, 100);
  EXPECT_EQ(h.min_height, 50);
  EXPECT_EQ(x_errors(), 0);
}

static void cp_count(Widget, XtPointer usr, XtPointer)
{
  ++*static_cast<int*>(usr);
}

// What the window manager's close button sends: WM_DELETE_WINDOW.
TEST_F(ShellTest, CloseRequestReachesOnlyItsCallbacks)
{
  TestWnd wnd("close");
  wnd.set_geom(WRect(10, 10, 300, 200));
  ASSERT_NO_FATAL_FAILURE(show_placed(wnd));
  auto send_close = [&] {
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = wnd.xwindow();
    e.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, wnd.xwindow(), False, NoEventMask, &e);
  };
  send_close();
  pump(200);
  EXPECT_TRUE(wnd.is_shown());
  EXPECT_TRUE(is_viewable(wnd.xwindow()));

  int calls = 0;
  wnd.set_cp_close(cp_count, &calls);
  send_close();
  ASSERT_TRUE(pump_until([&] { return calls == 1; }));
  EXPECT_TRUE(is_viewable(wnd.xwindow()));
  EXPECT_EQ(x_errors(), 0);
}

TEST_F(ShellTest, OwnsStaticAndNumberedChildren)
{
  int gone = 0;
  auto* s = new ShellWithVec;
  s->add_static(new Counted(gone));
  s->add_static(new Counted(gone));
  s->add_widget(new Counted(gone), 1);
  delete s;
  EXPECT_EQ(gone, 3);

  BareShell bare;
  Counted kept(gone);
  bare.add_widget(&kept, 0);  // no vector: not taken over
  EXPECT_EQ(bare.wvec, nullptr);
}

// The image window's case: the standard colour map sits on a visual other
// than the default one.
TEST_F(ShellTest, WindowTakesStandardMapVisual)
{
  XStandardColormap* maps = nullptr;
  int n = 0;
  ASSERT_TRUE(XGetRGBColormaps(display, root_wnd, &maps, &n, XA_RGB_BEST_MAP));
  XVisualInfo tmpl;
  tmpl.visualid = maps[0].visualid;
  int nv = 0;
  XVisualInfo* vi = XGetVisualInfo(display, VisualIDMask, &tmpl, &nv);
  ASSERT_NE(vi, nullptr);
  {
    TestWnd wnd("best", maps[0].colormap, vi->visual, vi->depth);
    wnd.set_geom(WRect(10, 10, 300, 200));
    ASSERT_NO_FATAL_FAILURE(show_placed(wnd));
    XWindowAttributes a;
    ASSERT_TRUE(XGetWindowAttributes(display, wnd.xwindow(), &a));
    EXPECT_EQ(XVisualIDFromVisual(a.visual), maps[0].visualid);
    EXPECT_EQ(a.colormap, maps[0].colormap);
    EXPECT_EQ(a.depth, vi->depth);
  }
  XFree(vi);
  XFree(maps);
  pump(100);
  EXPECT_EQ(x_errors(), 0);
}

TEST_F(ShellTest, CursorAndRaiseOnlyOnAWindow)
{
  TestWnd wnd("cursor");
  wnd.set_cursor(cursortbl[1]);  // no window yet: nothing to do
  wnd.raise();
  wnd.set_geom(WRect(10, 10, 300, 200));
  ASSERT_NO_FATAL_FAILURE(show_placed(wnd));
  wnd.set_cursor(cursortbl[3]);
  wnd.raise();
  XSync(display, False);
  EXPECT_EQ(x_errors(), 0);
}

// Start-up must be able to say why it ends: a display that cannot be
// opened leaves the shell without a widget and the globals empty.
TEST(AppShellTest, UnreachableDisplayLeavesNoWidget)
{
  Display* saved = display;
  std::string env = getenv("DISPLAY") ? getenv("DISPLAY") : "";
  setenv("DISPLAY", ":4093", 1);  // a local display number nothing serves
  static char arg0[] = "ravlon";
  static char* argv[] = {arg0, nullptr};
  int argc = 1;
  XtAppContext app = nullptr;
  WAppShell shl("Ravlon", argc, argv, app, nullptr);
  EXPECT_EQ(shl.xtwgt, nullptr);
  EXPECT_NE(app, nullptr);
  WContext ctx(&shl, app);
  EXPECT_EQ(display, nullptr);
  setenv("DISPLAY", env.c_str(), 1);
  display = saved;
}

// Xt takes its own options out of the command line.
TEST(AppShellTest, RemovesToolkitOptions)
{
  static char a0[] = "ravlon", a1[] = "-xrm", a2[] = "ravlon*background: red", a3[] = "rest";
  static char* argv[] = {a0, a1, a2, a3, nullptr};
  int argc = 4;
  XtAppContext app = nullptr;
  WAppShell shl("Ravlon", argc, argv, app, nullptr);
  ASSERT_NE(shl.xtwgt, nullptr);
  EXPECT_EQ(argc, 2);
  EXPECT_STREQ(argv[1], "rest");
  EXPECT_STREQ(shl.get_title(), "Ravlon");
}
