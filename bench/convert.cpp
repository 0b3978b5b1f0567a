#include "convert.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "WEtc.h"
#include "render/framebuf.h"
#include "frameplanes.h"

namespace {

// The quickest of the rounds: the machine is shared, and the other work
// on it only ever adds time.
double ns_per_pixel(XImage* img, const FramePlanes& p, const PixelLut* luts, bool rgb, int rounds,
                    FillPath path)
{
  const unsigned char* planes[3] = {p.r.data(), p.g.data(), p.b.data()};
  const int size = img->width * img->height;
  fill_image(img, planes, luts, rgb ? 3 : 1, size, colortbl[0], path);
  double best = 0;
  for (int k = 0; k < rounds; k++) {
    auto t0 = std::chrono::steady_clock::now();
    fill_image(img, planes, luts, rgb ? 3 : 1, size, colortbl[0], path);
    std::chrono::duration<double, std::nano> dt = std::chrono::steady_clock::now() - t0;
    if (k == 0 || dt.count() < best)
      best = dt.count();
  }
  return best / size;
}

}  // namespace

int convert_cost(Visual* vis, int depth, const XStandardColormap& m, int w, int h, bool rgb,
                 int rounds, ConvertCost& out)
{
  FrameBuf fb;
  if (fb.prepare(vis, depth, w, h) == -1) {
    fprintf(stderr, "render_bench: cannot make a %dx%d image\n", w, h);
    return -1;
  }
  XImage* img = fb.image();
  FramePlanes p(w, h);
  PixelLut luts[3];
  if (rgb)
    rgb_luts(luts, m);
  else
    colmap_lut(luts[0], nullptr, colortbl[0]);
  out.ns_portable = ns_per_pixel(img, p, luts, rgb, rounds, FILL_PORTABLE);
  const size_t bytes = static_cast<size_t>(img->bytes_per_line) * h;
  std::vector<char> portable(img->data, img->data + bytes);
  out.ns_vector = ns_per_pixel(img, p, luts, rgb, rounds, FILL_VECTOR);
  out.same = memcmp(portable.data(), img->data, bytes) == 0;
  return 0;
}
