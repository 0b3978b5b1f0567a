// The shared X session of the in-process tests.
#include "xfixture.h"

#include <cstdlib>
#include <cstring>

#include <Xm/Xm.h>

#include "WContext.h"
#include "WEtc.h"
#include "WShl.h"
#include "fallback.h"

namespace {

int nerrors = 0;
int nwarnings = 0;
std::string last_warning;

void count_warning(String msg)
{
  nwarnings++;
  last_warning = msg ? msg : "";
}

int count_error(Display*, XErrorEvent*)
{
  nerrors++;
  return 0;
}

struct Session {
  int scr = -1;
  XtAppContext app = nullptr;
  WAppShell* shell = nullptr;
};
Session session;

void open_session(int scr)
{
  setenv("DISPLAY", display_name(scr).c_str(), 1);
  static char arg0[] = "ravlon";
  static char* argv[] = {arg0, nullptr};
  int argc = 1;
  XSetErrorHandler(count_error);
  appname = strnew("ravlon");
  session.scr = scr;
  session.shell =
      new WAppShell("Ravlon", "Ravlon", argc, argv, session.app, const_cast<char**>(fallback_rsrc));
  XtAppSetWarningHandler(session.app, count_warning);
  context = new WContext(session.shell, session.app);
}

}  // namespace

void XFixture::SetUp()
{
  if (session.scr != screen_number())
    open_session(screen_number());
  ASSERT_NE(display, nullptr) << "cannot open " << display_name(screen_number());
  XSync(display, False);
  nerrors = 0;
  nwarnings = 0;
  last_warning.clear();
}

bool XFixture::pump_until(const std::function<bool()>& pred, int ms)
{
  return wait_until(
      [&] {
        XSync(display, False);
        while (XtAppPending(session.app))
          XtAppProcessEvent(session.app, XtIMAll);
        return pred();
      },
      ms);
}

void XFixture::pump(int ms)
{
  pump_until([] { return false; }, ms);
}

bool XFixture::is_viewable(Window w)
{
  return ::is_viewable(display, w);
}

unsigned long XFixture::pixel_at(Window w, int x, int y)
{
  XImage* img = XGetImage(display, w, x, y, 1, 1, AllPlanes, ZPixmap);
  if (!img)
    return ~0UL;
  unsigned long p = XGetPixel(img, 0, 0);
  XDestroyImage(img);
  return p;
}

void XFixture::show(WWidget* w)
{
  w->show();
  ASSERT_TRUE(pump_until([&] { return is_viewable(XtWindow(get_wmshell(w->xtwgt))); }));
}

void XFixture::expect_frame_at(Window w, short x, short y)
{
  XRectangle f{};
  EXPECT_TRUE(pump_until([&] {
    f = frame_geometry(display, w);
    return is_viewable(w) && f.x == x && f.y == y;
  })) << "frame at "
      << f.x << "," << f.y;
}

void XFixture::xdo(const std::string& args)
{
  ASSERT_EQ(run("xdotool " + args), 0) << args;
}

void XFixture::click(Widget w, int x, int y)
{
  Position gx = 0, gy = 0;
  Dimension wd = 0, ht = 0;
  XtVaGetValues(w, XtNwidth, &wd, XtNheight, &ht, nullptr);
  if (!XtIsWidget(w))
    XtVaGetValues(w, XtNx, &gx, XtNy, &gy, nullptr);
  XRectangle r = geometry(display, XtWindowOfObject(w));
  ASSERT_EQ(click_at(XScreenNumberOfScreen(XtScreenOfObject(w)), r.x + gx + (x < 0 ? wd / 2 : x),
                     r.y + gy + (y < 0 ? ht / 2 : y)),
            0);
}

WAppShell* XFixture::shell() const
{
  return session.shell;
}

int x_errors()
{
  return nerrors;
}

int xt_warnings()
{
  return nwarnings;
}

const char* xt_last_warning()
{
  return last_warning.c_str();
}

std::string xm_text(Widget w, const char* res)
{
  XmString s = nullptr;
  XtVaGetValues(w, res, &s, nullptr);
  char* t = static_cast<char*>(
      XmStringUnparse(s, nullptr, XmCHARSET_TEXT, XmCHARSET_TEXT, nullptr, 0, XmOUTPUT_ALL));
  std::string r = t ? t : "";
  XtFree(t);
  XmStringFree(s);
  return r;
}

void cp_count(Widget, XtPointer usr, XtPointer)
{
  ++*static_cast<int*>(usr);
}
