#include "mapping.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <random>
#include <vector>

#include "WEtc.h"
#include "render/colourtables.h"
#include "render/framebuf.h"
#include "render/framefill.h"
#include "render/limits.h"
#include "render/samplefill.h"
#include "render/samples.h"

namespace {

const int W = 1920, H = 1080;

// The quickest of the rounds, in ms: the machine is shared, and the other
// work on it only ever adds time.
double quickest_ms(int rounds, const std::function<void()>& f)
{
  double best = 0;
  for (int k = 0; k < rounds; k++) {
    auto t0 = std::chrono::steady_clock::now();
    f();
    std::chrono::duration<double, std::milli> dt = std::chrono::steady_clock::now() - t0;
    if (k == 0 || dt.count() < best)
      best = dt.count();
  }
  return best;
}

// A smooth field with noise, as a simulation or a camera gives, in format.
std::vector<unsigned char> samples(int format)
{
  const int px = pixel_bytes(format);
  std::vector<unsigned char> s(static_cast<size_t>(W) * H * px);
  std::mt19937 rng(7);
  for (long i = 0; i < static_cast<long>(W) * H; i++) {
    const double v = (i % W) * 30.0 + (i / W) * 5.0 + static_cast<double>(rng() % 1000);
    unsigned char* p = &s[static_cast<size_t>(i * px)];
    if (sample_type(format) == RAVLON_F32) {
      const float f = static_cast<float>(v);
      memcpy(p, &f, 4);
    } else if (sample_type(format) == RAVLON_U16) {
      const uint16_t u = static_cast<uint16_t>(v);
      memcpy(p, &u, 2);
    } else {
      for (int c = 0; c < px; c++)
        p[c] = static_cast<unsigned char>(rng());
    }
  }
  return s;
}

}  // namespace

int mapping_figures(Visual* vis, int depth, const XStandardColormap& cm, bool brief)
{
  FrameBuf fb;
  if (fb.prepare(vis, depth, W, H) == -1) {
    fprintf(stderr, "render_bench: cannot make a %dx%d image\n", W, H);
    return -1;
  }
  PixelLut rgb[3];
  rgb_luts(rgb, cm);
  SampleMap m = {};
  m.scale = RAVLON_SCALE_LINEAR;
  for (int i = 0; i < 256; i++)
    m.ramp[i] = rgb[0].v[colour_tables[1][i][0]] + rgb[1].v[colour_tables[1][i][1]] +
                rgb[2].v[colour_tables[1][i][2]];
  const FrameView v = {W, H, 0, 0, 0};
  const int rounds = brief ? 3 : 20;
  const long n = static_cast<long>(W) * H;
  printf("typed frames in process, %dx%d, 1:1 (quickest of %d)\n", W, H, rounds);
  printf("  what                                  ms/frame  ns/pixel\n");
  struct Fill {
    const char* what;
    int format;
    double lo, hi;
  } fills[] = {{"RGB samples", RAVLON_RGB, 0, 0},
               {"float32, viridis, linear", RAVLON_F32, 0, 60000},
               {"uint16, viridis, linear", RAVLON_U16, 0, 60000}};
  SampleFill sf;
  for (const Fill& f : fills) {
    const std::vector<unsigned char> s = samples(f.format);
    m.lo = f.lo;
    m.hi = f.hi;
    const double ms = quickest_ms(
        rounds, [&] { sf.fill(fb.image(), s.data(), f.format, m, rgb, colortbl[0], v); });
    printf("  fill of %-28s %8.2f  %8.3f\n", f.what, ms, ms * 1e6 / n);
  }
  const std::vector<unsigned char> f32 = samples(RAVLON_F32);
  struct Rule {
    const char* what;
    int rule;
  } rules[] = {{"min-max", RAVLON_LIMITS_MINMAX},
               {"99.5 %", RAVLON_LIMITS_PERCENT},
               {"zscale", RAVLON_LIMITS_ZSCALE}};
  for (const Rule& r : rules) {
    ViewSettings vs = default_view();
    vs.rule = r.rule;
    double lo = 0, hi = 0;
    const double ms =
        quickest_ms(rounds, [&] { frame_limits(f32.data(), RAVLON_F32, n, vs, lo, hi); });
    printf("  limits of float32, %-20s %8.2f\n", r.what, ms);
  }
  return 0;
}
