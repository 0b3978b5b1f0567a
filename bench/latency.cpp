#include "latency.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "frameplanes.h"
#include "net/protocol.h"
#include "showwait.h"
#include "stream.h"

namespace {

using Clock = std::chrono::steady_clock;

// The watched pixel's corner of the frame, so large that a picture shown
// smaller than the frame still shows it.
const int MARK = 16;

double ms_between(Clock::time_point a, Clock::time_point b)
{
  return std::chrono::duration<double, std::milli>(b - a).count();
}

unsigned long corner_pixel(Display* d, Window w)
{
  XImage* xi = XGetImage(d, w, 0, 0, 1, 1, AllPlanes, ZPixmap);
  unsigned long px = xi ? XGetPixel(xi, 0, 0) : 0;
  if (xi)
    XDestroyImage(xi);
  return px;
}

// Frames alternate between a black and a white corner.
void mark(FramePlanes& p, int h, unsigned char v)
{
  for (int x = 0; x < MARK; x++)
    for (int y = 0; y < MARK; y++) {
      const size_t i = static_cast<size_t>(x) * h + y;
      p.r[i] = p.g[i] = p.b[i] = v;
    }
}

// The last piece of a frame the client writes: the clock starts before it,
// so that a client that the scheduler holds back after its last write does
// not see the frame shown before it was sent.
const int LAST_PIECE = 4096;

// Writes frame k but its last piece; -1 when it cannot.
int send_all_but_last(RavlonClient& c, const FramePlanes& p, bool rgb, int& last)
{
  const int size = static_cast<int>(p.r.size());
  last = size < LAST_PIECE ? size : LAST_PIECE;
  const unsigned char* end = rgb ? p.b.data() : p.r.data();
  if (c.put_int(rgb ? REQ_COLRGB : REQ_COLMAP) == -1 || c.put_int(size) == -1)
    return -1;
  if (rgb && (c.put_bytes(p.r.data(), size) == -1 || c.put_bytes(p.g.data(), size) == -1))
    return -1;
  return c.put_bytes(end, size - last);
}

// Milliseconds from the write of frame k's last piece to the corner's
// change, or -1 when it does not change within a few seconds.
double one_frame(Served& s, Display* d, Window img, FramePlanes& p, int h, bool rgb, int k)
{
  const unsigned long before = corner_pixel(d, img);
  mark(p, h, k % 2 ? 0 : 255);
  int last = 0;
  if (send_all_but_last(s.c, p, rgb, last) == -1)
    return -1;
  const unsigned char* end = (rgb ? p.b.data() : p.r.data()) + p.r.size() - last;
  const Clock::time_point sent = Clock::now();
  if (s.c.put_bytes(end, last) == -1)
    return -1;
  Clock::time_point now = Clock::now();
  while (corner_pixel(d, img) == before && ms_between(sent, now) < 5000)
    now = Clock::now();
  now = Clock::now();
  return ms_between(sent, now) < 5000 ? ms_between(sent, now) : -1;
}

double percentile(std::vector<double> v, double q)
{
  std::sort(v.begin(), v.end());
  return v[static_cast<size_t>(q * static_cast<double>(v.size() - 1) + 0.5)];
}

}  // namespace

int frame_latency(const char* ravlon, int w, int h, bool rgb, int frames, Latency& out)
{
  FramePlanes p(w, h);
  Served s;
  if (s.start(ravlon) == -1)
    return -1;
  Display* d = XOpenDisplay(nullptr);
  int sent = d && s.c.resize(w, h) == 0 ? 0 : -1;
  Window img = sent == 0 ? ravlon_image(d, w, h, 10000) : 0;
  std::vector<double> ms;
  for (int k = 0; img && k <= frames && sent == 0; k++) {
    double t = one_frame(s, d, img, p, h, rgb, k);
    if (t < 0)
      sent = -1;
    else if (k > 0)
      ms.push_back(t);
  }
  if (d)
    XCloseDisplay(d);
  if (!img)
    sent = -1;
  if (s.finish(sent) == -1)
    return -1;
  out.median_ms = percentile(ms, 0.5);
  out.p95_ms = percentile(ms, 0.95);
  return 0;
}

double poll_ms()
{
  Display* d = XOpenDisplay(nullptr);
  if (!d) {
    fprintf(stderr, "render_bench: cannot open the display\n");
    return -1;
  }
  std::vector<double> ms;
  for (int k = 0; k < 200; k++) {
    Clock::time_point t0 = Clock::now();
    corner_pixel(d, DefaultRootWindow(d));
    ms.push_back(ms_between(t0, Clock::now()));
  }
  XCloseDisplay(d);
  return percentile(ms, 0.5);
}
