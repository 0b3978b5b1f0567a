// The layer's display globals, the window-manager queries and the alarm.
#include "WEtc.h"

#include <climits>
#include <cstdint>

#include <X11/Shell.h>

#include "WContext.h"

Display* display = nullptr;
int screen = 0;
Window root_wnd = 0;
WRect root_rect;
XmFontList* fonttbl = nullptr;
int maxfont = 0;
Cursor* cursortbl = nullptr;
int maxcursor = 0;
Colormap colormap = 0;
int colorpln = 0;
unsigned int* colortbl = nullptr;
unsigned char* colorflg = nullptr;
unsigned int maxcolor = 0;
EEnvironment* homedir = nullptr;
int mbar_hgt = 0;
int sbar_hgt = 0;
WContext* context = nullptr;
char* appname = nullptr;

Arg args[32];
Cardinal argn = 0;

Widget get_wmshell(Widget w)
{
  while (w && !XtIsWMShell(w))
    w = XtParent(w);
  return w;
}

// The window manager's outermost frame around win: the ancestor that is a
// child of the root. Returns 0 when win itself sits on the root (no
// reparenting window manager) or the tree cannot be read.
static Window wm_frame(Display* d, Window win)
{
  Window frame = 0;
  for (;;) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int n = 0;
    if (!XQueryTree(d, win, &root, &parent, &children, &n))
      return 0;
    if (children)
      XFree(children);
    if (parent == root || parent == 0)
      return frame;
    frame = parent;
    win = parent;
  }
}

// Measures the client window against the outer corner of the frame, so the
// result is the same whether the window manager nests the client in an
// inner window (fvwm) or puts it straight into the frame (twm, openbox).
int reparent_offset(Widget w, XPoint& off)
{
  off.x = 0;
  off.y = 0;
  Widget shl = get_wmshell(w);
  if (!shl || !XtWindow(shl))
    return -1;
  Display* d = XtDisplay(shl);
  Window win = XtWindow(shl);
  Window frame = wm_frame(d, win);
  if (!frame)
    return 0;
  int x = 0, y = 0;
  Window child = 0;
  if (!XTranslateCoordinates(d, win, frame, 0, 0, &x, &y, &child))
    return -1;
  Window root = 0;
  int fx = 0, fy = 0;
  unsigned int fw = 0, fh = 0, fborder = 0, fdepth = 0;
  if (!XGetGeometry(d, frame, &root, &fx, &fy, &fw, &fh, &fborder, &fdepth))
    return -1;
  off.x = static_cast<short>(x + static_cast<int>(fborder));
  off.y = static_cast<short>(y + static_cast<int>(fborder));
  return 0;
}

int title_height(Widget w)
{
  XPoint off;
  if (reparent_offset(w, off) != 0)
    return -1;
  return off.y - off.x;
}

int resize_height(Widget w)
{
  XPoint off;
  if (reparent_offset(w, off) != 0)
    return -1;
  return off.x;
}

XtPointer get_usrdata(Widget w)
{
  XtPointer p = nullptr;
  if (w)
    XtVaGetValues(w, XmNuserData, &p, nullptr);
  return p;
}

WAlarm::WAlarm() : tp(nullptr), usrdata(nullptr), timeout(0), id(0) {}

WAlarm::~WAlarm()
{
  stop();
}

void WAlarm::set_tp_alarm(XtTimerCallbackProc p, XtPointer u)
{
  tp = p;
  usrdata = u;
}

// Arms one timeout for a local time in the future. A time that is not
// ahead, or so far ahead that the interval leaves 32 bits, arms nothing.
void WAlarm::start(tm& ts)
{
  stop();
  time_t now = time(nullptr);
  time_t at = mktime(&ts);
  int64_t s = static_cast<int64_t>(at) - static_cast<int64_t>(now);
  if (s <= 0 || s > INT_MAX / 1000) {
    timeout = 0;
    return;
  }
  start_in(static_cast<int>(s * 1000));
}

void WAlarm::start_in(int ms)
{
  stop();
  if (ms < 0 || !context) {
    timeout = 0;
    return;
  }
  timeout = ms;
  id = XtAppAddTimeOut(context->xtctx, static_cast<unsigned long>(timeout), tp_fire, this);
}

void WAlarm::stop()
{
  if (id) {
    XtRemoveTimeOut(id);
    id = 0;
  }
}

// Xt forgets a timer once it has fired: clear id first so that a later
// stop() never hands Xt an expired id.
void WAlarm::tp_fire(XtPointer self, XtIntervalId*)
{
  WAlarm* a = static_cast<WAlarm*>(self);
  a->id = 0;
  if (a->tp)
    a->tp(a->usrdata, &a->id);
}

WRect upper_middle(Dimension w, Dimension h)
{
  return WRect(static_cast<short>((root_rect.w - w) / 2), static_cast<short>((root_rect.h - h) / 3),
               w, h);
}
