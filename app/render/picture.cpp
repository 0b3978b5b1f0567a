// The picture's pixmaps: a shared pair where the server offers them, one
// plain pixmap and its image requests otherwise.
#include "render/picture.h"

#include <X11/Intrinsic.h>
#include <X11/StringDefs.h>

#include "WContext.h"
#include "WEtc.h"
#include "WShl.h"
#include "render/framefill.h"
#include "base/service.h"
#include "render/shmseg.h"
#include "render/xlocal.h"

namespace {

struct PictureResources {
  Boolean shared_pixmaps;
};

XtResource picture_resources[] = {
    {const_cast<char*>("sharedPixmaps"), const_cast<char*>("SharedPixmaps"), XtRBoolean,
     sizeof(Boolean), XtOffsetOf(PictureResources, shared_pixmaps), XtRImmediate,
     reinterpret_cast<XtPointer>(True)},
};

// The user may keep the picture in an ordinary pixmap (sharedPixmaps:
// false), the way to any other server.
bool shared_pixmaps_wanted()
{
  PictureResources r = {True};
  if (context && context->appshl && context->appshl->xtwgt)
    XtGetApplicationResources(context->appshl->xtwgt, &r, picture_resources,
                              XtNumber(picture_resources), nullptr, 0);
  return r.shared_pixmaps;
}

}  // namespace

const char* path_name(PicturePath p)
{
  switch (p) {
    case PATH_SHARED_PIXMAP: return "shared pixmap";
    case PATH_SHARED_IMAGE: return "shared image";
    default: return "plain";
  }
}

Picture::Picture()
    : sharing(-1), shm(0), pair(), turn(0), plain(0), visual(nullptr), depth(0), width(0), height(0)
{
}

Picture::~Picture()
{
  release();
}

// A segment id names memory on the server's host, so only a local server
// is offered one; it must also lay its pixmaps out as images (ZPixmap).
bool Picture::may_share()
{
  if (sharing == -1) {
    int major = 0, minor = 0;
    Bool pixmaps = False;
    sharing = local_display(DisplayString(display)) &&
              XShmQueryVersion(display, &major, &minor, &pixmaps) && pixmaps &&
              XShmPixmapFormat(display) == ZPixmap && shared_pixmaps_wanted();
  }
  return sharing == 1;
}

int Picture::make(Drawable d, Visual* vis, int dep, int w, int h)
{
  Shared fresh[2] = {};
  Pixmap p = 0;
  if (!may_share() || make_pair(d, vis, dep, w, h, fresh) == -1) {
    trap_x_errors();
    p = XCreatePixmap(display, d, static_cast<unsigned>(w), static_cast<unsigned>(h),
                      static_cast<unsigned>(dep));
    if (untrap_x_errors() == -1)
      return -1;
  }
  release();
  shm = p == 0;
  if (shm) {
    images[0].release();
    images[1].release();
  }
  // Each image keeps a pointer to its segment's record: to the one kept.
  for (int i = 0; i < 2; i++) {
    pair[i] = fresh[i];
    if (pair[i].img)
      pair[i].img->obdata = reinterpret_cast<char*>(&pair[i].info);
  }
  plain = p;
  turn = 0;
  visual = vis;
  depth = dep;
  width = w;
  height = h;
  return 0;
}

// A layout the conversion does not write directly, or a server that will
// not attach a segment, sends this picture and every later one the plain
// way; a pixmap too large for the server only this one.
int Picture::make_pair(Drawable d, Visual* vis, int dep, int w, int h, Shared* fresh)
{
  for (int i = 0; i < 2; i++) {
    int r = make_one(d, vis, dep, w, h, fresh[i]);
    if (r == 0)
      continue;
    for (int k = 0; k <= i; k++)
      release_one(fresh[k]);
    if (r == -2)
      sharing = 0;
    return -1;
  }
  return 0;
}

// -1 when the server refuses the pixmap, -2 when sharing cannot work here.
int Picture::make_one(Drawable d, Visual* vis, int dep, int w, int h, Shared& s)
{
  s.img = XShmCreateImage(display, vis, static_cast<unsigned>(dep), ZPixmap, nullptr, &s.info,
                          static_cast<unsigned>(w), static_cast<unsigned>(h));
  if (!s.img || !direct_layout(s.img))
    return -2;
  // The server draws text into it too.
  if (attach_segment(s.info, static_cast<size_t>(s.img->bytes_per_line) * h, false) == -1)
    return -2;
  s.img->data = s.info.shmaddr;
  trap_x_errors();
  Pixmap p = XShmCreatePixmap(display, d, s.info.shmaddr, &s.info, static_cast<unsigned>(w),
                              static_cast<unsigned>(h), static_cast<unsigned>(dep));
  if (untrap_x_errors() == -1)
    return -1;
  s.pm = p;
  return 0;
}

Pixmap Picture::shown() const
{
  return shm ? pair[turn].pm : plain;
}

XImage* Picture::next_image()
{
  drop_done_events();
  if (shm) {
    Shared& s = pair[turn ^ 1];
    wait_free(s);
    return s.img;
  }
  FrameBuf& f = images[turn];
  return f.prepare(visual, depth, width, height) == -1 ? nullptr : f.image();
}

bool Picture::next_is_free()
{
  return shm ? processed(pair[turn ^ 1].free_after) : images[turn].put_done();
}

Pixmap Picture::show_next(GC gc)
{
  if (shm) {
    pair[turn].free_after = NextRequest(display) - 1;
    turn ^= 1;
    return pair[turn].pm;
  }
  images[turn].put(plain, gc);
  turn ^= 1;
  return plain;
}

// Everything the server was asked to do with the pixmap came before the
// copy of the one shown after it, whose NoExpose event says it is done.
void Picture::wait_free(Shared& s)
{
  wait_processed(s.free_after);
  s.free_after = 0;
}

PicturePath Picture::path() const
{
  if (shm)
    return PATH_SHARED_PIXMAP;
  const bool shared = images[0].image() ? images[0].shared() : FrameBuf::may_share();
  return shared ? PATH_SHARED_IMAGE : PATH_PLAIN;
}

void Picture::release()
{
  release_one(pair[0]);
  release_one(pair[1]);
  if (plain)
    XFreePixmap(display, plain);
  plain = 0;
  shm = 0;
}

void Picture::release_one(Shared& s)
{
  if (s.pm)
    XFreePixmap(display, s.pm);
  if (s.info.shmaddr)
    detach_segment(s.info);
  if (s.img) {
    s.img->data = nullptr;
    XDestroyImage(s.img);
  }
  s = Shared();
}
