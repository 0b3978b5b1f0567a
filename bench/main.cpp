// Rendering benchmark: how long one frame takes to reach the screen in
// process, against a per-point reference renderer, and how many frames per
// second a real ravlon process shows when a client streams them over TCP.
//
//   render_bench [--brief]
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

#include "WEtc.h"
#include "benchwnd.h"
#include "image.h"
#include "pointdraw.h"
#include "stream.h"

namespace {

struct Rounds {
  int fast;    // one-image frames timed
  int points;  // reference frames timed
  int stream;  // frames streamed to ravlon
};

struct Planes {
  explicit Planes(int side) : r(side * side), g(side * side), b(side * side)
  {
    for (int i = 0; i < side * side; i++) {
      r[i] = static_cast<unsigned char>(i * 3);
      g[i] = static_cast<unsigned char>(i / side);
      b[i] = static_cast<unsigned char>(i * 7 + i / 5);
    }
  }
  std::vector<unsigned char> r, g, b;
};

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

void compare(BenchWnd& bw, int side, bool rgb, const Rounds& n)
{
  Image& im = *bw.image;
  Planes p(side);
  const int size = side * side;
  auto fast = [&] {
    if (rgb)
      im.draw_image(p.r.data(), p.g.data(), p.b.data(), size);
    else
      im.draw_image(p.r.data(), size);
  };
  auto points = [&] {
    if (rgb)
      point_draw_rgb(im, bw.map, p.r.data(), p.g.data(), p.b.data());
    else
      point_draw_colmap(im, p.r.data());
  };
  im.resize_image(side, side);
  double tf = ms_per_frame(n.fast, fast);
  std::vector<unsigned long> a = grab(im);
  double tp = ms_per_frame(n.points, points);
  bool same = a == grab(im);
  printf("  %3dx%-3d  %-12s %10.3f %12.2f %9.1fx   %s\n", side, side, rgb ? "RGB" : "colour-mapped",
         tf, tp, tp / tf, same ? "yes" : "NO");
}

void stream(int side, bool rgb, const Rounds& n)
{
  double fps = stream_fps(RAVLON_BINARY, side, rgb, n.stream);
  if (fps > 0)
    printf("  %3dx%-3d  %-12s %6d frames %10.0f frames/s\n", side, side,
           rgb ? "RGB" : "colour-mapped", n.stream, fps);
}

}  // namespace

int main(int argc, char** argv)
{
  bool brief = argc > 1 && strcmp(argv[argc - 1], "--brief") == 0;
  Rounds n = brief ? Rounds{20, 2, 200} : Rounds{300, 10, 2000};
  BenchWnd bw;
  if (bw.open(argc, argv) == -1)
    return 1;
  printf("drawing one frame in process, until the X server has copied it to the window (%s)\n",
         brief ? "brief" : "full");
  printf("  size     frames          one image ms  per point ms   speed-up   same pixels\n");
  for (int side : {256, 512})
    for (bool rgb : {true, false})
      compare(bw, side, rgb, n);
  printf("end to end: a TCP client streams frames to a ravlon process, then disconnects\n");
  for (int side : {256, 512})
    for (bool rgb : {true, false})
      stream(side, rgb, n);
  return 0;
}
