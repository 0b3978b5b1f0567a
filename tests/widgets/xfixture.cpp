// The shared X session of the in-process tests.
#include "xfixture.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include <unistd.h>

#include "WContext.h"
#include "WEtc.h"
#include "WShl.h"
#include "fallback.h"

namespace {

int nerrors = 0;
int last_code = 0;
int last_request = 0;

int nwarnings = 0;
std::string last_warning;

void count_warning(String msg)
{
  nwarnings++;
  last_warning = msg ? msg : "";
}

int count_error(Display*, XErrorEvent* e)
{
  nerrors++;
  last_code = e->error_code;
  last_request = e->request_code;
  return 0;
}

struct Session {
  int scr = -1;
  XtAppContext app = nullptr;
  WAppShell* shell = nullptr;
};
Session session;

// DISPLAY as the session gave it (":N"), without a screen suffix.
std::string base_display()
{
  static std::string base;
  if (base.empty()) {
    const char* d = getenv("DISPLAY");
    base = d ? d : ":0";
    size_t colon = base.rfind(':');
    size_t dot = base.find('.', colon == std::string::npos ? 0 : colon);
    if (dot != std::string::npos)
      base.erase(dot);
  }
  return base;
}

void open_session(int scr)
{
  std::string d = base_display() + "." + std::to_string(scr);
  setenv("DISPLAY", d.c_str(), 1);
  static char arg0[] = "ravlon";
  static char* argv[] = {arg0, nullptr};
  int argc = 1;
  XSetErrorHandler(count_error);
  appname = strnew("ravlon");
  session.scr = scr;
  session.shell = new WAppShell("Ravlon", argc, argv, session.app,
                                const_cast<char**>(fallback_rsrc));
  XtAppSetWarningHandler(session.app, count_warning);
  context = new WContext(session.shell, session.app);
}

}  // namespace

void XFixture::SetUp()
{
  if (session.scr != screen_number())
    open_session(screen_number());
  ASSERT_NE(display, nullptr) << "cannot open " << base_display();
  XSync(display, False);
  nerrors = 0;
  last_code = 0;
  last_request = 0;
  nwarnings = 0;
  last_warning.clear();
}

bool XFixture::pump_until(const std::function<bool()>& pred, int ms)
{
  for (int waited = 0;; waited += 5) {
    XSync(display, False);
    while (XtAppPending(session.app))
      XtAppProcessEvent(session.app, XtIMAll);
    if (pred())
      return true;
    if (waited >= ms)
      return false;
    usleep(5000);
  }
}

void XFixture::pump(int ms)
{
  pump_until([] { return false; }, ms);
}

bool XFixture::is_viewable(Window w)
{
  XWindowAttributes a;
  return w && XGetWindowAttributes(display, w, &a) && a.map_state == IsViewable;
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

WAppShell* XFixture::shell() const
{
  return session.shell;
}

XtAppContext& XFixture::app() const
{
  return session.app;
}

int x_errors()
{
  return nerrors;
}

int x_last_error_code()
{
  return last_code;
}

int x_last_error_request()
{
  return last_request;
}

int xt_warnings()
{
  return nwarnings;
}

const char* xt_last_warning()
{
  return last_warning.c_str();
}
