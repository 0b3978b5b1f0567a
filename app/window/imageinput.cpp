// The image's keys and pointer: arrow keys and drags pan the picture, and
// the pointer's place is kept for the status line.
#include "window/image.h"

#include <X11/keysym.h>

#include "WEtc.h"

namespace {

const int PAN_STEP = 32;  // view pixels an arrow key moves the picture

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

// A drag with any button pans; only the latest of the motions queued counts.
void Image::mouse(const XEvent* ev)
{
  XEvent e = *ev;
  if (e.type == MotionNotify)
    while (XCheckTypedWindowEvent(display, e.xmotion.window, MotionNotify, &e)) {
    }
  const int x = e.type == MotionNotify ? e.xmotion.x : e.xbutton.x;
  const int y = e.type == MotionNotify ? e.xmotion.y : e.xbutton.y;
  if (e.type == ButtonPress) {
    drag_x = x, drag_y = y;
    drag_pan_x = pan_x, drag_pan_y = pan_y;
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
