// Where the picture lives in the X server, and how a frame gets there.
// On a local server that offers shared-memory pixmaps the picture is one of
// two such pixmaps: a frame is written straight into the one not shown,
// which then becomes the picture, so no image request carries it. Anywhere
// else the picture is one ordinary pixmap that each frame reaches in one
// image request from a client-side image (FrameBuf).
#ifndef PICTURE_H
#define PICTURE_H

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

#include "render/framebuf.h"

enum PicturePath { PATH_SHARED_PIXMAP, PATH_SHARED_IMAGE, PATH_PLAIN };

// The name of a path as the benchmark prints it.
const char* path_name(PicturePath p);

class Picture {
public:
  Picture();
  ~Picture();
  Picture(const Picture&) = delete;
  Picture& operator=(const Picture&) = delete;

  // Replaces the pixmaps by ones of w x h for the visual and depth of d's
  // window; -1 when the server refuses them, everything kept as it was.
  int make(Drawable d, Visual* vis, int depth, int w, int h);
  Pixmap shown() const;
  // The image to write the next frame into, free of the server; nullptr
  // (already reported) when none can be had.
  XImage* next_image();
  // next_image() would not wait for the server.
  bool next_is_free();
  // Makes the image last given out the picture; returns the pixmap shown
  // now, to be copied to the window with gc. The server must be asked for
  // graphics exposures on that copy: its NoExpose event tells when the
  // server is done with the pixmap, without a round trip.
  Pixmap show_next(GC gc);
  // The plain path's choice between a shared and a plain image is made at
  // its first frame: before then the one it will try first.
  PicturePath path() const;

private:
  // A pixmap on a shared segment, and an image over the same memory.
  struct Shared {
    XShmSegmentInfo info;
    XImage* img;
    Pixmap pm;
    unsigned long free_after;  // the last request that may use it, 0 none
  };

  bool may_share();
  int make_pair(Drawable d, Visual* vis, int depth, int w, int h, Shared* fresh);
  int make_one(Drawable d, Visual* vis, int depth, int w, int h, Shared& s);
  void wait_free(Shared& s);
  void release();
  void release_one(Shared& s);

  char sharing;  // -1 not yet known, 0 never (refused once), 1 may
  char shm;      // the pixmaps are the shared pair
  Shared pair[2];
  int turn;  // the pair's pixmap shown, or the plain path's next image
  Pixmap plain;
  FrameBuf images[2];
  Visual* visual;
  int depth;
  int width;
  int height;
};

#endif
