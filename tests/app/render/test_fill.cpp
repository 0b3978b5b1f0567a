// The client-side image of a frame: both kernel paths give the per-pixel
// formulas' values, placed as Xlib places them, for every depth and byte
// order, at sizes that leave partial tiles, for frames that end inside a
// tile, and in zoomed and panned views.
#include <gtest/gtest.h>

#include <X11/Xatom.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "WEtc.h"
#include "render/framefill.h"
#include "testframes.h"
#include "xsupport.h"

namespace {

unsigned long depth_mask(int depth)
{
  return depth == 32 ? 0xffffffffu : (1ul << depth) - 1;
}

// A frame format and the per-pixel formula its pixels must follow: the
// ICCCM standard colour map formula in single precision for RGB frames,
// the colour table (black past its 128 entries) for colour-mapped ones.
struct Format {
  std::string name;
  int depth;
  int bpp;
  XStandardColormap map;       // RGB frames
  const unsigned int* colmap;  // colour-mapped frames when map is unused
};

const unsigned int frame_black = 0xa0b1c2d3;

// The formula's pixel for each byte of the frame.
std::vector<unsigned long> formula_pixels(const Format& f, const TestFrame& p)
{
  std::vector<unsigned long> want(p.bytes[0].size());
  for (size_t i = 0; i < want.size(); i++) {
    const unsigned char r = p.bytes[0][i], g = p.bytes[1][i], b = p.bytes[2][i];
    const unsigned long v = !f.colmap ? standard_pixel(f.map, r, g, b)
                            : r < 128 ? f.colmap[r]
                                      : frame_black;
    want[i] = v & depth_mask(f.depth);
  }
  return want;
}

// How a test lays the frame out: a vw x vh view of it, and its first n
// bytes arrived.
struct Layout {
  int vw, vh;
  FrameView v;
  long n;
};

// Fills a view of format f in byte order `order` and counts the pixels
// that differ from the formula: view pixel (X, Y) shows frame pixel
// ((X + pan) * 2^shift), black past the frame and past the n bytes (bytes
// past the frame are not used). The image starts out filled with a
// pattern no fill writes everywhere.
long wrong_pixels(const Format& f, int order, const TestFrame& p,
                  const std::vector<unsigned long>& want, const Layout& l, FillPath path)
{
  PixelLut luts[3];
  if (f.colmap)
    colmap_lut(luts[0], f.colmap, frame_black);
  else
    rgb_luts(luts, f.map);
  XImage* img = XCreateImage(display, nullptr, f.depth, ZPixmap, 0, nullptr, l.vw, l.vh, 32, 0);
  img->bits_per_pixel = f.bpp;
  img->bytes_per_line = (l.vw * f.bpp + 31) / 32 * 4;
  img->byte_order = order;
  XInitImage(img);
  img->data = static_cast<char*>(malloc(static_cast<size_t>(img->bytes_per_line) * l.vh));
  memset(img->data, 0x5a, static_cast<size_t>(img->bytes_per_line) * l.vh);
  const unsigned char* planes[3] = {p.bytes[0].data(), p.bytes[1].data(), p.bytes[2].data()};
  fill_view(img, planes, luts, f.colmap ? 1 : 3, static_cast<int>(l.n), frame_black, l.v, path);
  long wrong = 0;
  for (int x = 0; x < l.vw; x++)
    for (int y = 0; y < l.vh; y++) {
      const long fx = view_source(x, l.v.pan_x, l.v.shift);
      const long fy = view_source(y, l.v.pan_y, l.v.shift);
      const long i = fx < l.v.w && fy < l.v.h ? fx * l.v.h + fy : l.n;
      wrong += XGetPixel(img, x, y) != (i < l.n ? want[i] : frame_black & depth_mask(f.depth));
    }
  XDestroyImage(img);
  return wrong;
}

// The formats ravlon meets: the depth-24 screen's standard map, its
// TrueColor visual's own masks (no standard map with -c), the depth-8
// screen's default map, channels at other bits with a base pixel in all 32
// bits (also cut to 16 bits), and colour tables in 32-bit and 8-bit pixels.
std::vector<Format> formats()
{
  static unsigned int table[128];
  for (int i = 0; i < 128; i++)
    table[i] = 0x10203u * static_cast<unsigned int>(i) + 7;
  std::vector<Format> fs;
  XStandardColormap* best = standard_map(display, 0, XA_RGB_BEST_MAP);
  XStandardColormap* def8 = standard_map(display, 1, XA_RGB_DEFAULT_MAP);
  if (best)
    fs.push_back({"depth-24 standard map", 24, 32, *best, nullptr});
  if (def8)
    fs.push_back({"depth-8 default map", 8, 8, *def8, nullptr});
  XStandardColormap masks;
  if (visual_map(masks, DefaultVisual(display, 0)) == 0)
    fs.push_back({"TrueColor masks", 24, 32, masks, nullptr});
  XStandardColormap shifted = {};
  shifted.red_max = shifted.green_max = shifted.blue_max = 255;
  shifted.red_mult = 1 << 23, shifted.green_mult = 1 << 9, shifted.blue_mult = 1 << 1;
  shifted.base_pixel = 0x80000001;
  fs.push_back({"shifted channels", 32, 32, shifted, nullptr});
  fs.push_back({"shifted channels, 16 bits", 16, 16, shifted, nullptr});
  fs.push_back({"colour table, 32 bits", 24, 32, XStandardColormap(), table});
  fs.push_back({"colour table, 8 bits", 8, 8, XStandardColormap(), table});
  XFree(best);
  XFree(def8);
  return fs;
}

struct RenderFill : ::testing::Test {
  void SetUp() override
  {
    if (!display)
      display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
  }
};

}  // namespace

// 1:1: sizes that leave partial tiles and blocks at both edges; frames
// that end inside a tile, and frames longer than the image. Views of a
// 7 x 5 frame 3 bytes short, zoomed in and out and panned, some past the
// frame's edge. Every format, both byte orders, both paths.
TEST_F(RenderFill, BothPathsFollowTheFormulasForEveryLayoutDepthAndByteOrder)
{
  std::vector<Format> fs = formats();
  ASSERT_EQ(fs.size(), 7u);
  std::vector<Layout> layouts;
  struct Size {
    int w, h;
    long end;  // where the short frame ends
  };
  for (Size s : {Size{1, 1, 0}, Size{1, 8192, 4097}, Size{8192, 1, 4097},
                 Size{33, 65, 16 * 65 + 33}, Size{1919, 1081, 959l * 1081 + 541}})
    for (long n : {s.end, static_cast<long>(s.w) * s.h + 16})
      layouts.push_back({s.w, s.h, {s.w, s.h, 0, 0, 0}, n});
  const int w = 7, h = 5;
  for (Layout l : {Layout{w, h, {w, h, 0, 0, 0}, 0}, Layout{6, 4, {w, h, 0, 2, 1}, 0},
                   Layout{30, 22, {w, h, 2, 3, 5}, 0}, Layout{3, 3, {w, h, -1, 1, 0}, 0},
                   Layout{16, 9, {w, h, 1, 0, 0}, 0}, Layout{1, 2, {w, h, -2, 1, 1}, 0}}) {
    l.n = w * h - 3;
    layouts.push_back(l);
  }
  const TestFrame p(1919 * 1081 + 16, 1, 3, 5);
  for (const Format& f : fs) {
    const std::vector<unsigned long> want = formula_pixels(f, p);
    for (const Layout& l : layouts)
      for (int order : {LSBFirst, MSBFirst})
        for (FillPath path : {FILL_PORTABLE, FILL_VECTOR})
          EXPECT_EQ(wrong_pixels(f, order, p, want, l, path), 0)
              << f.name << ", " << l.vw << "x" << l.vh << " view of " << l.v.w << "x" << l.v.h
              << " shift " << l.v.shift << ", " << l.n << " bytes, order " << order << ", path "
              << path;
  }
}
