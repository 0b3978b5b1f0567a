// A client-side image of the picture's size and depth that reaches the X
// server in one request: through shared memory when the server is local and
// offers it, as a plain image request otherwise. Kept from frame to frame
// and replaced only when the size changes.
#ifndef FRAMEBUF_H
#define FRAMEBUF_H

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

// Returns once the server has processed request serial (0: none). Usually
// the events it has sent, read without waiting, say so already; only a
// server still behind costs a round trip. Nothing walks the event queue.
void wait_processed(unsigned long serial);
// The server has processed the request serial (0: none), as far as the
// replies and events read so far say; no round trip.
bool processed(unsigned long serial);

// Drops the events that copies and shared puts leave at the head of the
// queue (NoExpose, shared-memory completions): their sequence numbers have
// been read, and a stream of frames would otherwise pile them up.
void drop_done_events();

class FrameBuf {
public:
  FrameBuf();
  ~FrameBuf();
  FrameBuf(const FrameBuf&) = delete;
  FrameBuf& operator=(const FrameBuf&) = delete;

  // Makes the image ready to be written for w x h pixels of the visual and
  // depth; returns -1 (already reported) when no memory can be had.
  int prepare(Visual* vis, int depth, int w, int h);
  XImage* image() const { return img; }
  // The image is on a segment the server maps.
  bool shared() const { return shmflg != 0; }
  // One request that sends the whole image to d at (0, 0).
  void put(Drawable d, GC gc);
  // The server is done with the shared segment, as far as is known.
  bool put_done() const { return processed(putserial); }
  void release();
  // The display is one to offer a shared image.
  static bool may_share();

private:
  int make_shared(Visual* vis, int depth, int w, int h);
  int make_plain(Visual* vis, int depth, int w, int h);
  void wait_put();

  XImage* img;
  XShmSegmentInfo shminfo;
  char shmflg;
  unsigned long putserial;  // request that last read the shared segment, 0 none
};

#endif
