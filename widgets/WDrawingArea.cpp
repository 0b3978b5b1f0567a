// A Motif drawing area that turns its callbacks and, on request, its key
// and pointer events into virtual operations.
#include "WDrawingArea.h"

#include <Xm/DrawingA.h>

#include "WEtc.h"

WDrawingArea::WDrawingArea(Widget parent)
    : linewdt(1), drawframeflg(1), xwnd(0), dagc(nullptr), font("6x13")
{
  xtwgt = XtVaCreateManagedWidget("WDrawingArea", xmDrawingAreaWidgetClass, parent, XtNbackground,
                                  static_cast<XtArgVal>(colortbl[2]), XmNtraversalOn,
                                  static_cast<XtArgVal>(False), XmNuserData, this, nullptr);
  XtAddCallback(xtwgt, XmNresizeCallback, cp_resize_da, nullptr);
  XtAddCallback(xtwgt, XmNexposeCallback, cp_expose_da, nullptr);
}

WDrawingArea::~WDrawingArea()
{
  if (dagc)
    XFreeGC(display, dagc);
  font.free();
}

char WDrawingArea::is_shown() const
{
  return xtwgt && XtIsRealized(xtwgt);
}

void WDrawingArea::init()
{
  dagc = XCreateGC(display, xwnd, 0, nullptr);
  XSetForeground(display, dagc, colortbl[0]);
}

// Drawing before the first expose has no window or GC: it is dropped.
void WDrawingArea::clear()
{
  if (!xwnd)
    return;
  XClearWindow(display, xwnd);
  if (drawframeflg)
    draw_frame();
}

void WDrawingArea::resize() {}

void WDrawingArea::keyboard(const XKeyEvent*) {}

void WDrawingArea::mouse(const XEvent*) {}

// A white field in a sunken frame: dark above and left, light below and
// right, one pixel outside the drawing rectangle.
void WDrawingArea::draw_frame()
{
  if (!xwnd || !dagc)
    return;
  int x0 = dr.x - 1, y0 = dr.y - 1, x1 = dr.x + dr.w, y1 = dr.y + dr.h;
  XSetForeground(display, dagc, colortbl[1]);
  XFillRectangle(display, xwnd, dagc, dr.x, dr.y, dr.w, dr.h);
  XSetForeground(display, dagc, colortbl[4]);
  XDrawLine(display, xwnd, dagc, x0, y0, x1, y0);
  XDrawLine(display, xwnd, dagc, x0, y0, x0, y1);
  XSetForeground(display, dagc, colortbl[5]);
  XDrawLine(display, xwnd, dagc, dr.x, y1, x1, y1);
  XDrawLine(display, xwnd, dagc, x1, y1, x1, dr.y);
}

// Between realization and the first expose xwnd is still unset; the GC is
// then made for the widget's window, which exists.
void WDrawingArea::set_clip(const WRect& r)
{
  if (!is_shown())
    return;
  if (!xwnd)
    xwnd = XtWindow(xtwgt);
  if (!dagc)
    init();
  XRectangle xr = r();
  XSetClipRectangles(display, dagc, 0, 0, &xr, 1, Unsorted);
}

void WDrawingArea::set_offset(const WRect& r)
{
  or_ = r;
  if (is_shown())
    calc_drawrect();
}

void WDrawingArea::set_line(GC gc, int w, int ls, int cs, int js)
{
  linewdt = w;
  if (gc)
    XSetLineAttributes(display, gc, static_cast<unsigned int>(w), ls, cs, js);
}

void WDrawingArea::set_dash(GC gc, const char* dl, int n)
{
  if (gc && dl && n > 0)
    XSetDashes(display, gc, 0, dl, n);
}

void WDrawingArea::set_trackkeyboard()
{
  XtAddEventHandler(xtwgt, KeyPressMask | KeyReleaseMask, False, eh_keyboard_da, nullptr);
}

void WDrawingArea::set_trackmouse()
{
  XtAddEventHandler(xtwgt, ButtonPressMask | ButtonReleaseMask | PointerMotionMask, False,
                    eh_mouse_da, nullptr);
}

// The widget's area moved by the offset's origin and shrunk by its size,
// unless the shrink would not fit. It is taken in the widget's own
// coordinates, where the frame is drawn, whatever the widget's place in
// its parent.
void WDrawingArea::calc_drawrect()
{
  WRect g = get_geom();
  dr = WRect(or_.x, or_.y, g.w, g.h);
  unsigned short n = static_cast<unsigned short>(dr.x + or_.w);
  if (dr.w >= n)
    dr.w = static_cast<Dimension>(dr.w - n);
  n = static_cast<unsigned short>(dr.y + or_.h);
  if (dr.h >= n)
    dr.h = static_cast<Dimension>(dr.h - n);
}

void cp_resize_da(Widget w, XtPointer, XtPointer)
{
  WDrawingArea* da = static_cast<WDrawingArea*>(get_usrdata(w));
  if (!da)
    return;
  da->calc_drawrect();
  da->resize();
  if (da->is_shown())
    da->expose();
}

// Only the last event of an expose series draws.
void cp_expose_da(Widget w, XtPointer, XtPointer call)
{
  WDrawingArea* da = static_cast<WDrawingArea*>(get_usrdata(w));
  const XmDrawingAreaCallbackStruct* cb = static_cast<XmDrawingAreaCallbackStruct*>(call);
  if (!da || (cb && cb->event && cb->event->type == Expose && cb->event->xexpose.count != 0))
    return;
  da->xwnd = da->is_shown() ? XtWindow(w) : 0;
  if (!da->dagc)
    da->init();
  da->expose();
}

void eh_keyboard_da(Widget w, XtPointer, XEvent* evt, Boolean*)
{
  WDrawingArea* da = static_cast<WDrawingArea*>(get_usrdata(w));
  if (da && (evt->type == KeyPress || evt->type == KeyRelease))
    da->keyboard(&evt->xkey);
}

void eh_mouse_da(Widget w, XtPointer, XEvent* evt, Boolean*)
{
  WDrawingArea* da = static_cast<WDrawingArea*>(get_usrdata(w));
  if (da && (evt->type == ButtonPress || evt->type == ButtonRelease || evt->type == MotionNotify))
    da->mouse(evt);
}
