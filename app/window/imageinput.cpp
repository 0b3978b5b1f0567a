// The image's keys and pointer: arrow keys and drags pan the picture, a
// drag with the third button sets a one-channel frame's contrast and
// brightness, and the pointer's place is kept for the status line.
#include "window/image.h"

#include <X11/keysym.h>

#include <cmath>

#include "WEtc.h"

namespace {

const int PAN_STEP = 32;  // view pixels an arrow key moves the picture
// Pixels of a contrast drag that move the limits by their span, or widen
// them twofold.
const double DRAG_SPAN = 128;

}  // namespace

void Image::keyboard(const XKeyEvent* ev)
{
  if (ev->type != KeyPress)
    return;
  XKeyEvent k = *ev;
  switch (XLookupKeysym(&k, 0)) {
    case XK_Left: pan_to(pan_x - PAN_STEP, pan_y); break;
    case XK_Right: pan_to(pan_x + PAN_STEP, pan_y); break;
    case XK_Up: pan_to(pan_x, pan_y - PAN_STEP); break;
    case XK_Down: pan_to(pan_x, pan_y + PAN_STEP); break;
    default: return;
  }
  if (listener)
    listener->view_touched();
}

// Rightwards the limits move up, downwards they widen, from where they
// were when the drag began; limits that meet are first set apart.
void Image::drag_limits(int dx, int dy)
{
  const double centre = (drag_lo + drag_hi) / 2;
  double half = (drag_hi - drag_lo) / 2;
  if (half == 0)
    half = centre == 0 ? 0.5 : std::fabs(centre) / 2;
  const double c = centre + dx / DRAG_SPAN * 2 * half;
  half *= std::exp2(dy / DRAG_SPAN);
  if (!std::isfinite(c - half) || !std::isfinite(c + half))
    return;
  ViewSettings v = view;
  v.fixed = RAVLON_VIEW_VMIN | RAVLON_VIEW_VMAX;
  v.vmin = c - half;
  v.vmax = c + half;
  set_view(v);
}

// The last of the motions queued right behind e, which it becomes; a
// motion behind a press or release is left for its turn.
static void latest_motion(XEvent& e)
{
  XEvent next;
  while (XEventsQueued(display, QueuedAlready) > 0) {
    XPeekEvent(display, &next);
    if (next.type != MotionNotify || next.xmotion.window != e.xmotion.window)
      return;
    XNextEvent(display, &e);
  }
}

// A drag with the first or second button pans, and with the third on any
// but a one-channel frame; only the latest of the motions in a row counts.
void Image::mouse(const XEvent* ev)
{
  XEvent e = *ev;
  if (e.type == MotionNotify)
    latest_motion(e);
  const int x = e.type == MotionNotify ? e.xmotion.x : e.xbutton.x;
  const int y = e.type == MotionNotify ? e.xmotion.y : e.xbutton.y;
  if (e.type == ButtonPress) {
    drag_x = x, drag_y = y;
    drag_pan_x = pan_x, drag_pan_y = pan_y;
    drag_lo = limit_lo, drag_hi = limit_hi;
  } else if (e.type == MotionNotify && frame.one_channel() && (e.xmotion.state & Button3Mask)) {
    drag_limits(x - drag_x, y - drag_y);
  } else if (e.type == MotionNotify &&
             (e.xmotion.state & (Button1Mask | Button2Mask | Button3Mask))) {
    pan_to(drag_pan_x + drag_x - x, drag_pan_y + drag_y - y);
  }
  pointer_x = x;
  pointer_y = y;
  if (listener)
    listener->view_touched();
}

void eh_leave_image(Widget w, XtPointer, XEvent* evt, Boolean*)
{
  Image* img = static_cast<Image*>(get_usrdata(w));
  if (!img || evt->type != LeaveNotify)
    return;
  img->pointer_left();
}

void Image::pointer_left()
{
  pointer_x = pointer_y = -1;
  if (listener)
    listener->view_touched();
}
