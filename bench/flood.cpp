#include "flood.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <sys/socket.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "net/protocol.h"
#include "showwait.h"
#include "stream.h"

namespace {

using Clock = std::chrono::steady_clock;
using Bytes = std::vector<unsigned char>;

// Requests go out in chunks of this many.
const int CHUNK = 1000;

double ms_since(Clock::time_point t)
{
  return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

void put_int(Bytes& b, int v)
{
  for (int s = 24; s >= 0; s -= 8)
    b.push_back(static_cast<unsigned char>(static_cast<unsigned>(v) >> s));
}

// The picture's side: the 4 x 4 frames come after a resize to their size,
// the others keep the start-up size.
int side_of(FloodKind kind)
{
  return kind == FLOOD_TINY ? 4 : 256;
}

Bytes chunk_of(FloodKind kind)
{
  Bytes b;
  for (int k = 0; k < CHUNK; k++) {
    put_int(b, kind == FLOOD_RESIZE ? REQ_RESIZE : REQ_COLRGB);
    if (kind == FLOOD_RESIZE) {
      put_int(b, 256);
      put_int(b, 256);
    } else {
      put_int(b, kind == FLOOD_TINY ? 16 : 0);
      b.insert(b.end(), kind == FLOOD_TINY ? 48 : 0, 0);
    }
  }
  return b;
}

// A frame of the picture's size, every byte v.
int send_uniform(RavlonClient& c, int side, unsigned char v)
{
  const std::vector<unsigned char> p(static_cast<size_t>(side) * side, v);
  return c.send_rgb(p.data(), p.data(), p.data(), side * side);
}

// Every pixel of w's top-left side x side is the same value, unlike;
// that value, or unlike when not.
unsigned long uniform(Display* d, Window w, int side, unsigned long unlike)
{
  XImage* xi = XGetImage(d, w, 0, 0, side, side, AllPlanes, ZPixmap);
  unsigned long px = xi ? XGetPixel(xi, 0, 0) : unlike;
  for (int y = 0; xi && y < side && px != unlike; y++)
    for (int x = 0; x < side && px != unlike; x++)
      if (XGetPixel(xi, x, y) != px)
        px = unlike;
  if (xi)
    XDestroyImage(xi);
  return px;
}

// w holds a pixel other than bg.
bool drawn(Display* d, Window w, unsigned long bg)
{
  XWindowAttributes a;
  XImage* xi = XGetWindowAttributes(d, w, &a)
                   ? XGetImage(d, w, 0, 0, a.width, a.height, AllPlanes, ZPixmap)
                   : nullptr;
  bool any = false;
  for (int y = 0; xi && y < a.height && !any; y++)
    for (int x = 0; x < a.width && !any; x++)
      any = XGetPixel(xi, x, y) != bg;
  if (xi)
    XDestroyImage(xi);
  return any;
}

// Clears w to bg with an exposure and times ravlon's redraw of it in ms;
// -1 when none comes within 30 s.
double redraw_ms(Display* d, Window w, unsigned long bg)
{
  XClearArea(d, w, 0, 0, 0, 0, True);
  XSync(d, False);
  const Clock::time_point t0 = Clock::now();
  while (!drawn(d, w, bg))
    if (ms_since(t0) > 30000)
      return -1;
  return ms_since(t0);
}

// The flood itself, then a white frame that marks its end.
class Sender {
public:
  Sender(RavlonClient& c, FloodKind kind, int requests)
  {
    thread = std::thread([&c, kind, requests, this] {
      const Bytes chunk = chunk_of(kind);
      int res = 0;
      for (int k = 0; k < requests / CHUNK && res == 0; k++)
        res = c.put_bytes(chunk.data(), static_cast<int>(chunk.size()));
      sent = res == 0 ? send_uniform(c, side_of(kind), 255) : -1;
      done = true;
    });
  }
  ~Sender() { thread.join(); }

  std::atomic<bool> done{false};
  std::atomic<int> sent{0};

private:
  std::thread thread;
};

// Probes the status line until the white frame shows; -1 after a
// message.
int watch(Display* d, Window img, int side, unsigned long black, Sender& snd, FloodRun& out)
{
  Window status = ravlon_status(d);
  XWindowAttributes a;
  if (!status || !XGetWindowAttributes(d, status, &a)) {
    fprintf(stderr, "render_bench: ravlon's status line is not there\n");
    return -1;
  }
  XImage* xi = XGetImage(d, status, a.width - 1, a.height - 1, 1, 1, AllPlanes, ZPixmap);
  const unsigned long bg = xi ? XGetPixel(xi, 0, 0) : 0;
  if (xi)
    XDestroyImage(xi);
  std::vector<double> ms;
  while (!snd.done || uniform(d, img, side, black) == black) {
    const double t = redraw_ms(d, status, bg);
    if (t < 0 || snd.sent == -1) {
      fprintf(stderr, t < 0 ? "render_bench: ravlon stopped redrawing its window in a flood\n"
                            : "render_bench: cannot send the flood to ravlon\n");
      return -1;
    }
    ms.push_back(t);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  std::sort(ms.begin(), ms.end());
  out.longest_ms = ms.back();
  out.median_ms = ms[ms.size() / 2];
  out.probes = static_cast<int>(ms.size());
  return 0;
}

// The picture black, then the flood.
int measure(Served& s, Display* d, FloodKind kind, int requests, FloodRun& out)
{
  const int side = side_of(kind);
  if (s.c.resize(side, side) == -1 || send_uniform(s.c, side, 0) == -1) {
    fprintf(stderr, "render_bench: cannot send ravlon the black picture a flood starts on\n");
    return -1;
  }
  const Window img = ravlon_image(d, side, side, 10000);
  const Clock::time_point t0 = Clock::now();
  unsigned long black = 0;
  while (img && (black = uniform(d, img, side, ~0ul)) == ~0ul && ms_since(t0) < 10000)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  if (!img || black == ~0ul) {
    fprintf(stderr, "render_bench: ravlon never showed the black picture a flood starts on\n");
    return -1;
  }
  out.before_kb = status_kb(s.pid, "VmRSS");
  int res = -1;
  const Clock::time_point start = Clock::now();
  {
    Sender snd(s.c, kind, requests);
    res = watch(d, img, side, black, snd, out);
    out.per_s = requests * 1000.0 / ms_since(start);
    if (res == -1)
      shutdown(s.c.sock, SHUT_RDWR);  // ends the sender's writes
  }
  out.after_kb = status_kb(s.pid, "VmRSS");
  return res;
}

}  // namespace

int flood(const char* ravlon, FloodKind kind, bool shared, int requests, FloodRun& out)
{
  Served s;
  // Without a history, which takes up to its budget by design, the
  // resident size is that of the frame path alone.
  if (s.start(ravlon, shared, false, "ravlon.historyMemory: 0\n") == -1)
    return -1;
  Display* d = XOpenDisplay(nullptr);
  const int res = d ? measure(s, d, kind, requests, out) : -1;
  if (d)
    XCloseDisplay(d);
  return s.finish(res);
}
