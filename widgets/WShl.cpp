// Shells: the abstract shell with its frame-corrected geometry, top-level
// windows and the application shell.
#include "WShl.h"

#include <cstdio>

#include <X11/Shell.h>
#include <Xm/Protocols.h>
#include <Xm/Text.h>

#include "WEtc.h"
#include "WFcsItm.h"

WShl::WShl(const char* s) : wvec(nullptr), numwgt(0)
{
  snprintf(ttltxt, sizeof ttltxt, "%s", s ? s : "");
}

WShl::~WShl()
{
  while (EDLink* k = wlst.get())
    delete k;
  if (wvec) {
    for (int i = 0; i < numwgt; i++)
      delete wvec[i];
    delete[] wvec;
  }
}

// Window managers differ in how they read the position of a request to
// configure a framed window (twm, for one, moves the frame up and left by
// its border on every such request), so a shown window that keeps its
// place is only resized.
void WShl::set_geom(const WRect& g)
{
  if (xtwgt && XtIsRealized(xtwgt)) {
    WRect cur = get_geom();
    if (cur.x == g.x && cur.y == g.y) {
      geom = g;
      XtVaSetValues(xtwgt, XtNwidth, static_cast<XtArgVal>(g.w), XtNheight,
                    static_cast<XtArgVal>(g.h), nullptr);
      return;
    }
  }
  geom = g;
  WWidget::set_geom(geom);
}

// Xt reports where the client window stands; the remembered geometry is
// the frame's outer corner, so that set_geom puts the frame back there.
WRect WShl::get_geom()
{
  geom = WWidget::get_geom();
  XPoint off;
  if (reparent_offset(xtwgt, off) == 0) {
    geom.x = static_cast<Position>(geom.x - off.x < 0 ? 0 : geom.x - off.x);
    geom.y = static_cast<Position>(geom.y - off.y < 0 ? 0 : geom.y - off.y);
  }
  return geom;
}

void WShl::init()
{
  get_geom();
}

void WShl::set_focus(WFcsItm* f)
{
  f->set_focus();
}

// Only text widgets carry a WFcsItm in their user data; buttons, toggles
// and sliders carry other wrappers.
WFcsItm* WShl::get_focus() const
{
  Widget f = XmGetFocusWidget(xtwgt);
  return f && XmIsText(f) ? static_cast<WFcsItm*>(get_usrdata(f)) : nullptr;
}

void WShl::raise()
{
  Window w = XtWindow(xtwgt);
  if (!w)
    return;
  XMapRaised(display, w);
  XSetInputFocus(display, w, RevertToNone, CurrentTime);
}

void WShl::add_static(WWidget* w)
{
  wlst.put(w);
}

void WShl::add_widget(WWidget* w, int i)
{
  if (wvec)
    wvec[i] = w;
}

// The resource holds what the window manager reads: -1 while never set
// (everything), else the bits wanted. A stored value with bit 1 set means
// all but the other bits; turn it back into the bits wanted, change them,
// and write all-but-the-unwanted again, so that successive calls add up.
void set_mwm_hint(Widget shell, const char* resource, long bits, char setflg)
{
  int v = -1;
  XtVaGetValues(shell, resource, &v, nullptr);
  long d = v;
  if (v != -1 && (v & 1))
    d = ~d | 1;
  d = setflg ? (d | bits) : (d & ~bits);
  XtVaSetValues(shell, resource, static_cast<XtArgVal>(static_cast<int>((~d) | 1)), nullptr);
}

void eh_reparent_shl(Widget w, XtPointer usr, XEvent* evt, Boolean*)
{
  if (evt->type != ConfigureNotify)
    return;
  static_cast<WShl*>(usr)->init();
  XtRemoveEventHandler(w, StructureNotifyMask, False, eh_reparent_shl, usr);
}

WWnd::WWnd(const char* s) : WShl(s) {}

void WWnd::show()
{
  set_geom(geom);
  XtRealizeWidget(xtwgt);
}

void WWnd::hide()
{
  get_geom();
  XtUnrealizeWidget(xtwgt);
}

char WWnd::is_shown() const
{
  return xtwgt && XtIsRealized(xtwgt);
}

void WWnd::set_title(const char* s)
{
  snprintf(ttltxt, sizeof ttltxt, "%s", s ? s : "");
  XtVaSetValues(xtwgt, XtNtitle, ttltxt, nullptr);
}

void WWnd::set_decoration(long dec, char setflg)
{
  set_mwm_hint(xtwgt, XmNmwmDecorations, dec, setflg);
}

void WWnd::set_function(long fct, char setflg)
{
  set_mwm_hint(xtwgt, XmNmwmFunctions, fct, setflg);
}

void WWnd::set_cp_close(XtCallbackProc c, XtPointer u)
{
  Atom del = XInternAtom(display, "WM_DELETE_WINDOW", False);
  Atom prot = XInternAtom(XtDisplay(xtwgt), "WM_PROTOCOLS", False);
  XmAddProtocolCallback(xtwgt, prot, del, c, u);
}

char WWnd::is_modal() const
{
  return 0;
}

void WWnd::set_cursor(unsigned long c)
{
  Window w = XtWindow(xtwgt);
  if (w)
    XDefineCursor(display, w, c);
}

void WWnd::set_sizelimit(const WRect& s)
{
  if (s.x > 0 && s.y > 0)
    XtVaSetValues(xtwgt, XtNminWidth, static_cast<XtArgVal>(s.x), XtNminHeight,
                  static_cast<XtArgVal>(s.y), nullptr);
  if (s.w > 0 && s.h > 0)
    XtVaSetValues(xtwgt, XtNmaxWidth, static_cast<XtArgVal>(s.w), XtNmaxHeight,
                  static_cast<XtArgVal>(s.h), nullptr);
}

void WWnd::set_icon(const WIcon& icn)
{
  XtVaSetValues(xtwgt, XtNiconName, ttltxt, XtNiconPixmap, icn.xpm, nullptr);
}

// Opens the display itself rather than through XtVaAppInitialize, which
// would end the process with its own message: a failure leaves xtwgt null
// for start-up to report.
WAppShell::WAppShell(const char* s, const char* cls, int& argc, char** argv, XtAppContext& xtctx,
                     char** fbrsrc)
    : WWnd(s)
{
  XtToolkitInitialize();
  xtctx = XtCreateApplicationContext();
  XtAppSetFallbackResources(xtctx, fbrsrc);
  Display* d = XtOpenDisplay(xtctx, nullptr, nullptr, cls, nullptr, 0, &argc, argv);
  if (!d)
    return;
  xtwgt = XtVaAppCreateShell(nullptr, cls, applicationShellWidgetClass, d, XtNtitle, ttltxt,
                             XmNdeleteResponse, static_cast<XtArgVal>(XmDO_NOTHING), XmNuserData,
                             this, nullptr);
  XtAddEventHandler(xtwgt, StructureNotifyMask, False, eh_reparent_shl, this);
}

// A visual other than the default needs its depth and a colour map of its
// own, all three given together: a visual without a colour map would meet
// the default one at realize (BadMatch), so it is used only with cmap.
WWindow::WWindow(const char* s, unsigned long cmap, Visual* vis, int depth) : WWnd(s)
{
  Arg a[6];
  Cardinal n = 0;
  XtSetArg(a[n], XtNtitle, ttltxt), n++;
  XtSetArg(a[n], XmNdeleteResponse, XmDO_NOTHING), n++;
  if (cmap) {
    if (vis) {
      XtSetArg(a[n], XtNvisual, vis), n++;
      XtSetArg(a[n], XtNdepth, depth), n++;
    }
    XtSetArg(a[n], XtNcolormap, cmap), n++;
  }
  XtSetArg(a[n], XmNuserData, this), n++;
  const char* nm = appname ? appname : "";
  xtwgt = XtAppCreateShell(nm, nm, topLevelShellWidgetClass, display, a, n);
  XtAddEventHandler(xtwgt, StructureNotifyMask, False, eh_reparent_shl, this);
}
