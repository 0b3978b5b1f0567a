// The frame's client-side image: shared memory when the server can map it,
// a plain image otherwise.
#include "render/framebuf.h"

#include <cstdlib>

#include "WEtc.h"
#include "base/service.h"
#include "render/shmseg.h"
#include "render/xlocal.h"

FrameBuf::FrameBuf() : img(nullptr), shminfo(), shmflg(0), putserial(0) {}

FrameBuf::~FrameBuf()
{
  release();
}

int FrameBuf::prepare(Visual* vis, int depth, int w, int h)
{
  if (img && img->width == w && img->height == h && img->depth == depth) {
    wait_put();
    return 0;
  }
  release();
  if (make_shared(vis, depth, w, h) == 0 || make_plain(vis, depth, w, h) == 0)
    return 0;
  error_dialog("Cannot allocate image buffer.");
  return -1;
}

// The X server answers a shared-memory put with a completion event: reading
// it tells, without a round trip, that the segment is free again.
void FrameBuf::put(Drawable d, GC gc)
{
  if (shmflg) {
    putserial = NextRequest(display);
    XShmPutImage(display, d, gc, img, 0, 0, 0, 0, img->width, img->height, True);
  } else {
    XPutImage(display, d, gc, img, 0, 0, 0, 0, img->width, img->height);
  }
}

bool processed(unsigned long serial)
{
  if (serial && LastKnownRequestProcessed(display) < serial)
    XEventsQueued(display, QueuedAfterReading);
  return !serial || LastKnownRequestProcessed(display) >= serial;
}

void wait_processed(unsigned long serial)
{
  if (serial && LastKnownRequestProcessed(display) < serial)
    XEventsQueued(display, QueuedAfterReading);
  if (serial && LastKnownRequestProcessed(display) < serial)
    XSync(display, False);
}

void drop_done_events()
{
  const int done = XShmQueryExtension(display) ? XShmGetEventBase(display) + ShmCompletion : -1;
  XEvent e;
  while (XEventsQueued(display, QueuedAlready) > 0) {
    XPeekEvent(display, &e);
    if (e.type != NoExpose && e.type != done)
      return;
    XNextEvent(display, &e);
  }
}

// The X server reads the shared segment when it gets to the request, so the
// segment must not be rewritten before then: its completion event says it
// has.
void FrameBuf::wait_put()
{
  wait_processed(putserial);
  putserial = 0;
}

// A remote server must not be given a segment id: on its host the attach
// may succeed on some unrelated segment. A local server that cannot map
// the segment refuses the attach; the plain path takes over then.
bool FrameBuf::may_share()
{
  return local_display(DisplayString(display)) && XShmQueryExtension(display);
}

int FrameBuf::make_shared(Visual* vis, int depth, int w, int h)
{
  if (!may_share())
    return -1;
  img = XShmCreateImage(display, vis, depth, ZPixmap, nullptr, &shminfo, w, h);
  if (!img)
    return -1;
  if (attach_segment(shminfo, static_cast<size_t>(img->bytes_per_line) * h, true) == 0) {
    img->data = shminfo.shmaddr;
    shmflg = 1;
    return 0;
  }
  XDestroyImage(img);
  img = nullptr;
  return -1;
}

int FrameBuf::make_plain(Visual* vis, int depth, int w, int h)
{
  img = XCreateImage(display, vis, depth, ZPixmap, 0, nullptr, w, h, 32, 0);
  if (!img)
    return -1;
  img->data = static_cast<char*>(malloc(static_cast<size_t>(img->bytes_per_line) * h));
  if (img->data)
    return 0;
  XDestroyImage(img);
  img = nullptr;
  return -1;
}

void FrameBuf::release()
{
  if (!img)
    return;
  if (shmflg) {
    detach_segment(shminfo);
    img->data = nullptr;
    shmflg = 0;
  }
  putserial = 0;
  XDestroyImage(img);
  img = nullptr;
}
