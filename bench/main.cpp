// Rendering benchmark: how long one frame takes to reach the screen in
// process, against a per-point reference renderer; the conversion's cost
// per pixel; the frames per second a real ravlon process shows when a
// client streams them over TCP, beside the floor of this machine; how long
// one frame takes from the client to the window; the C client's row-major
// frames; what recording the stream costs; ravlon's resident size; how
// long a client that floods ravlon with cheap requests keeps its window
// waiting; and the zoomed views.
//
//   render_bench [--brief]
//   render_bench --stream-fps W H FRAMES   # only the frames/s of RGB frames
//   render_bench --transports [--brief]    # only RGB frames over TCP and the local socket
//   render_bench --typed [--brief]         # only the typed frames' fill and limits, in process
//   render_bench --stream-rowmajor-fps W H FRAMES   # the same of show_rgb's row-major frames
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <vector>

#include "WEtc.h"
#include "benchwnd.h"
#include "convert.h"
#include "flood.h"
#include "floor.h"
#include "frameplanes.h"
#include "window/image.h"
#include "window/imagewnd.h"
#include "latency.h"
#include "render/picture.h"
#include "window/statusline.h"
#include "pointdraw.h"
#include "net/protocol.h"
#include "record.h"
#include "rowmajor.h"
#include "lookback.h"
#include "mapping.h"
#include "stream.h"
#include "transports.h"

namespace {

struct Size {
  int w;
  int h;
  // Streamed, transferred and put; a fifth of them (and 3) converted, and
  // half of them (and 4) sent one at a time for the latency.
  int frames;
};

const Size full_sizes[] = {{256, 256, 2000}, {512, 512, 2000}, {1920, 1080, 300}, {3840, 2160, 60}};
const Size brief_sizes[] = {{256, 256, 200}, {512, 512, 200}, {1920, 1080, 30}, {3840, 2160, 8}};

// The visual of the benchmark's window, which is the one ravlon uses.
struct Target {
  Visual* vis;
  int depth;
  Colormap cmap;
  const XStandardColormap* map;
};

const char* kind(bool rgb)
{
  return rgb ? "RGB" : "colour-mapped";
}

// Milliseconds per frame, each frame counted until the X server is done;
// the first frame, which makes the buffers, is not counted.
double ms_per_frame(int rounds, const std::function<void()>& draw)
{
  draw();
  XSync(display, False);
  auto t0 = std::chrono::steady_clock::now();
  for (int k = 0; k < rounds; k++) {
    draw();
    XSync(display, False);
  }
  std::chrono::duration<double, std::milli> dt = std::chrono::steady_clock::now() - t0;
  return dt.count() / rounds;
}

std::vector<unsigned long> grab(const Image& im)
{
  XImage* xi = XGetImage(display, im.pixmap, 0, 0, im.width, im.height, AllPlanes, ZPixmap);
  std::vector<unsigned long> px;
  for (int y = 0; y < im.height; y++)
    for (int x = 0; x < im.width; x++)
      px.push_back(XGetPixel(xi, x, y));
  XDestroyImage(xi);
  return px;
}

void compare(BenchWnd& bw, int side, bool rgb, bool brief)
{
  Image& im = *bw.image;
  FramePlanes p(side, side);
  p.load(bw.frame, rgb);
  auto fast = [&] { im.draw_frame(); };
  auto points = [&] {
    if (rgb)
      point_draw_rgb(im, bw.map, p.r.data(), p.g.data(), p.b.data());
    else
      point_draw_colmap(im, p.r.data());
  };
  im.resize_image(side, side);
  double tf = ms_per_frame(brief ? 20 : 300, fast);
  std::vector<unsigned long> a = grab(im);
  double tp = ms_per_frame(brief ? 2 : 10, points);
  bool same = a == grab(im);
  printf("  %3dx%-3d  %-13s %10.3f %12.2f %9.1fx   %s\n", side, side, kind(rgb), tf, tp, tp / tf,
         same ? "yes" : "NO");
}

int convert(const Target& t, const Size& s, bool rgb)
{
  ConvertCost c;
  if (convert_cost(t.vis, t.depth, *t.map, s.w, s.h, rgb, s.frames / 5 + 3, c) == -1)
    return -1;
  printf("  %4dx%-4d  %-13s %8.3f %10.3f   %s\n", s.w, s.h, kind(rgb), c.ns_vector, c.ns_portable,
         c.same ? "yes" : "NO");
  return c.same ? 0 : -1;
}

// One line: ravlon's frames/s beside the floor, max(put and copy, transfer),
// and beside ravlon kept off the shared pixmaps.
int end_to_end(const Target& t, const Size& s, bool rgb, StreamRun& run)
{
  double put = put_copy_ms(t.vis, t.depth, t.cmap, s.w, s.h, s.frames);
  double net = transfer_ms(s.w, s.h, rgb, s.frames);
  StreamRun unshared;
  if (put < 0 || net < 0 ||
      stream_frames(RAVLON_BINARY, s.w, s.h, rgb, s.frames, true, run) == -1 ||
      stream_frames(RAVLON_BINARY, s.w, s.h, rgb, s.frames, false, unshared) == -1)
    return -1;
  double floor_fps = 1000.0 / (put > net ? put : net);
  printf("  %4dx%-4d  %-13s %5d %10.0f %9.2f %9.2f %11.0f %8.0f %% %10.0f\n", s.w, s.h, kind(rgb),
         s.frames, run.fps, put, net, floor_fps, 100.0 * run.fps / floor_fps, unshared.fps);
  return 0;
}

// One line: the latency of a frame beside the time between frames while
// they stream.
int latency(const Size& s, bool rgb, double frame_ms)
{
  Latency l;
  if (frame_latency(RAVLON_BINARY, s.w, s.h, rgb, s.frames / 2 + 4, l) == -1)
    return -1;
  printf("  %4dx%-4d  %-13s %5d %9.2f %9.2f %11.2f\n", s.w, s.h, kind(rgb), s.frames / 2 + 4,
         l.median_ms, l.p95_ms, frame_ms);
  return 0;
}

// The way a picture takes on this display, as ravlon's own code decides it.
const char* picture_path(const Image& im, const Target& t)
{
  Picture p;
  if (p.make(im.xwnd, t.vis, t.depth, 16, 16) == -1)
    return "none";
  return path_name(p.path());
}

long bytes_per_pixel(const Target& t)
{
  XImage* img = XCreateImage(display, t.vis, t.depth, ZPixmap, 0, nullptr, 1, 1, 32, 0);
  long n = img ? img->bits_per_pixel / 8 : 4;
  if (img)
    XDestroyImage(img);
  return n;
}

int memory(const Target& t, const StreamRun& largest, const Size& s)
{
  long idle = idle_resident_kb(RAVLON_BINARY);
  if (idle < 0)
    return -1;
  printf("idle ravlon resident size: %ld kB\n", idle);
  const long pixels = static_cast<long>(s.w) * s.h;
  printf(
      "ravlon peak resident size streaming %dx%d RGB: %ld kB, %ld kB above idle (planes plus "
      "two pictures: %ld kB)\n",
      s.w, s.h, largest.peak_kb, largest.peak_kb - idle,
      (3 + 2 * bytes_per_pixel(t)) * pixels / 1024);
  return 0;
}

// Zoomed frames end to end beside 1:1 frames as large as their view, the
// same screen pixels: the ratio is what a zoomed frame costs against
// those. A 4K frame starts fitted to the screen; Actual Size shows it 1:1
// in a view cut to the screen.
int zoom(bool brief)
{
  struct Case {
    int w, h;
    const char* keys;
    const char* zoom;
  } cases[] = {{512, 512, "alt+i", "2"},
               {512, 512, "alt+i alt+i", "4"},
               {3840, 2160, nullptr, "fit"},
               {3840, 2160, "alt+1", "1:1"}};
  printf("zoom end to end, RGB: frames/s beside 1:1 frames of the view's size in the same run\n");
  printf("  frame      zoom  view        frames/s   1:1 of view/s   cost of a zoomed frame\n");
  for (const Case& k : cases) {
    const int frames = k.w > 512 ? (brief ? 8 : 60) : (brief ? 200 : 2000);
    StreamRun z, one;
    if (stream_frames(RAVLON_BINARY, k.w, k.h, true, frames, true, z, k.keys) == -1)
      return -1;
    if (k.w > 512) {
      printf("  %4dx%-4d  %-4s  %4dx%-4d  %9.0f\n", k.w, k.h, k.zoom, z.view_w, z.view_h, z.fps);
      continue;
    }
    if (stream_frames(RAVLON_BINARY, z.view_w, z.view_h, true, brief ? 60 : 600, true, one) == -1)
      return -1;
    printf("  %4dx%-4d  %-4s  %4dx%-4d  %9.0f  %14.0f   %5.2fx\n", k.w, k.h, k.zoom, z.view_w,
           z.view_h, z.fps, one.fps, one.fps / z.fps);
  }
  return 0;
}

// One refresh of the status line with a new text, until the X server is
// done: what it costs at most ten times a second.
int status_refresh(BenchWnd& bw, bool brief)
{
  ImageWnd* iw = new ImageWnd(&bw.map);
  imagewnd = iw;
  iw->show();
  Image* img = iw->image();
  int k = 0;
  double ms = ms_per_frame(brief ? 200 : 2000, [&] {
    img->frames_shown = ++k;
    iw->status->refresh();
  });
  printf("status line refresh: %.3f ms, %.2f %% of one core at 10 a second\n", ms, ms);
  imagewnd = nullptr;
  delete iw;
  return 0;
}

// The longest wait for a redraw while a client floods ravlon with cheap
// requests, on both picture paths, and ravlon's resident size over the
// flood.
int floods(bool brief)
{
  const int requests = brief ? 20000 : 1000000;
  const char* names[] = {"empty RGB frames", "same-size resizes", "4 x 4 frames"};
  printf(
      "flood: a client sends %d requests as fast as ravlon takes them; another X connection\n"
      "uncovers ravlon's status line again and again and waits for ravlon to draw it anew;\n"
      "historyMemory 0, so that the resident size is the frame path's\n",
      requests);
  printf(
      "  requests           path      requests/s  longest ms  median ms  probes   resident kB"
      " before  after\n");
  int res = 0;
  for (bool shared : {true, false})
    for (FloodKind k : {FLOOD_EMPTY, FLOOD_RESIZE, FLOOD_TINY}) {
      FloodRun r;
      if (flood(RAVLON_BINARY, k, shared, requests, r) == -1) {
        res = -1;
        continue;
      }
      printf("  %-17s  %-8s  %10.0f  %10.1f  %9.2f  %6d  %17ld  %5ld\n", names[k],
             shared ? "shared" : "unshared", r.per_s, r.longest_ms, r.median_ms, r.probes,
             r.before_kb, r.after_kb);
    }
  return res;
}

int run(BenchWnd& bw, bool brief)
{
  XWindowAttributes wa;
  XGetWindowAttributes(display, bw.image->xwnd, &wa);
  const Target t = {wa.visual, wa.depth, wa.colormap, &bw.map};
  const Size* sizes = brief ? brief_sizes : full_sizes;
  const int nsizes = 4;
  printf("drawing one frame in process, until the X server has copied it to the window (%s)\n",
         brief ? "brief" : "full");
  printf("  size     frames          one image ms  per point ms   speed-up   same pixels\n");
  for (int side : {256, 512})
    for (bool rgb : {true, false})
      compare(bw, side, rgb, brief);
  printf("conversion of a frame into the image, ns per pixel (quickest round)\n");
  printf("  size       frames          vector   portable   same pixels\n");
  int res = 0;
  for (int i = 0; i < nsizes; i++)
    for (bool rgb : {true, false})
      res |= convert(t, sizes[i], rgb);
  printf(
      "end to end: a TCP client streams frames to a ravlon process, then disconnects;\n"
      "the floor is max(X server put and copy of a ready image, loopback transfer of the bytes);\n"
      "the picture takes the %s path (last column: sharedPixmaps false)\n",
      picture_path(*bw.image, t));
  printf(
      "  size       frames        count   frames/s  put+copy ms  transfer ms  floor/s  of floor"
      "  unshared\n");
  StreamRun runs[4][2] = {};
  for (int i = 0; i < nsizes; i++)
    for (bool rgb : {true, false})
      res |= end_to_end(t, sizes[i], rgb, runs[i][rgb]);
  res |= transport_figures(brief);
  const double poll = poll_ms();
  printf(
      "latency: from the client's write of a frame's last 4 kB until the window shows it, one\n"
      "frame at a time, the client reading a pixel of the window back (one read: %.3f ms)\n",
      poll);
  printf("  size       frames        count  median ms  95th %% ms  frame ms\n");
  for (int i = 1; i < nsizes; i++)
    for (bool rgb : {true, false})
      res |= latency(sizes[i], rgb, runs[i][rgb].fps > 0 ? 1000.0 / runs[i][rgb].fps : 0);
  res |= rowmajor_figures(brief);
  res |= mapping_figures(t.vis, t.depth, *t.map, brief);
  res |= history_figures(brief);
  res |= memory(t, runs[nsizes - 1][1], sizes[nsizes - 1]);
  res |= floods(brief);
  // Last: it shows frames in an image window of this process.
  res |= record_figures(bw.map, brief);
  return res | (poll < 0 ? -1 : 0);
}

// For comparison with other clients: RGB frames of W x H from this client
// to a real ravlon, in planes or row-major; only the frames/s on stdout.
int stream_only(int argc, char** argv, bool rowmajor)
{
  int w = argc == 5 ? atoi(argv[2]) : 0, h = argc == 5 ? atoi(argv[3]) : 0;
  int frames = argc == 5 ? atoi(argv[4]) : 0;
  if (!valid_image_size(w, h) || frames < 1 || !valid_frame_size(w * h)) {
    fprintf(stderr, "usage: render_bench --stream-fps|--stream-rowmajor-fps WIDTH HEIGHT FRAMES\n");
    return 2;
  }
  StreamRun r;
  if (rowmajor ? stream_rowmajor(RAVLON_BINARY, w, h, frames, r.fps) == -1
               : stream_frames(RAVLON_BINARY, w, h, true, frames, true, r) == -1)
    return 1;
  printf("%.1f\n", r.fps);
  return 0;
}

}  // namespace

int main(int argc, char** argv)
{
  if (argc > 1 && strcmp(argv[1], "--stream-fps") == 0)
    return stream_only(argc, argv, false);
  if (argc > 1 && strcmp(argv[1], "--stream-rowmajor-fps") == 0)
    return stream_only(argc, argv, true);
  if (argc > 1 && strcmp(argv[1], "--transports") == 0)
    return transport_figures(argc > 2 && strcmp(argv[2], "--brief") == 0) == 0 ? 0 : 1;
  bool brief = argc > 1 && strcmp(argv[argc - 1], "--brief") == 0;
  // The zoomed views want a screen smaller than a 4K frame, the rest one
  // that takes it whole: two runs.
  bool views = argc > 1 && strcmp(argv[1], "--zoom") == 0;
  BenchWnd bw;
  if (bw.open(argc, argv) == -1)
    return 1;
  if (views)
    return (zoom(brief) | status_refresh(bw, brief)) == 0 ? 0 : 1;
  if (strcmp(argv[1 < argc ? 1 : 0], "--typed") == 0) {
    XWindowAttributes wa;
    XGetWindowAttributes(display, bw.image->xwnd, &wa);
    return mapping_figures(wa.visual, wa.depth, bw.map, brief) == 0 ? 0 : 1;
  }
  return run(bw, brief) == 0 ? 0 : 1;
}
