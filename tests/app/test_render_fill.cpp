// The client-side image of a frame: the direct fill agrees with Xlib's own
// pixel placement for every depth and byte order, and both kernel paths
// give the per-pixel formulas' values at sizes that leave partial tiles and
// for frames that end inside a tile.
#include <gtest/gtest.h>

#include <X11/Xatom.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "WEtc.h"
#include "framefill.h"
#include "pixelformula.h"
#include "xsupport.h"

namespace {

XImage* image(int depth, int bpp, int order, int w, int h)
{
  XImage* img = XCreateImage(display, nullptr, depth, ZPixmap, 0, nullptr, w, h, 32, 0);
  img->bits_per_pixel = bpp;
  img->bytes_per_line = (w * bpp + 31) / 32 * 4;
  img->byte_order = order;
  XInitImage(img);
  img->data = static_cast<char*>(calloc(img->bytes_per_line, h));
  return img;
}

unsigned long depth_mask(int depth)
{
  return depth == 32 ? 0xffffffffu : (1ul << depth) - 1;
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

// Column-major planes of a 7 x 5 frame that is 3 bytes short: pixel (x, y)
// comes from byte x * 5 + y; the last three pixels of the last column stay
// black; values are cut to the depth. Views of it, zoomed and panned, show
// view pixel (X, Y) from frame pixel ((X + pan) * 2^shift), and black past
// the frame.
TEST_F(RenderFill, PixelsLandWhereTheLayoutAndViewSayForEveryDepthAndByteOrder)
{
  const int w = 7, h = 5, size = w * h - 3;
  std::vector<unsigned char> r(size), g(size), b(size);
  for (int i = 0; i < size; i++)
    r[i] = static_cast<unsigned char>(i * 37), g[i] = i, b[i] = 255 - i;
  XStandardColormap m = {};
  m.red_max = m.green_max = m.blue_max = 255;
  m.red_mult = 1 << 20, m.green_mult = 1 << 10, m.blue_mult = 1, m.base_pixel = 3;
  PixelLut luts[3];
  rgb_luts(luts, m);
  const unsigned char* planes[3] = {r.data(), g.data(), b.data()};
  const unsigned int black = 0x5a5a5a5a;
  struct View {
    int vw, vh;
    FrameView v;
  } views[] = {{w, h, {w, h, 0, 0, 0}},  {6, 4, {w, h, 0, 2, 1}},  {30, 22, {w, h, 2, 3, 5}},
               {3, 3, {w, h, -1, 1, 0}}, {16, 9, {w, h, 1, 0, 0}}, {1, 2, {w, h, -2, 1, 1}}};
  for (const View& vc : views)
    for (int depth : {8, 16, 24, 32})
      for (int order : {LSBFirst, MSBFirst}) {
        int bpp = depth == 24 ? 32 : depth;
        for (FillPath path : {FILL_PORTABLE, FILL_VECTOR}) {
          XImage* img = image(depth, bpp, order, vc.vw, vc.vh);
          fill_view(img, planes, luts, 3, size, black, vc.v, path);
          for (int x = 0; x < vc.vw; x++)
            for (int y = 0; y < vc.vh; y++) {
              const long fx = view_source(x, vc.v.pan_x, vc.v.shift);
              const long fy = view_source(y, vc.v.pan_y, vc.v.shift);
              const long i = fx < w && fy < h ? fx * h + fy : size;
              unsigned long want = i < size ? 3ul + (r[i] << 20) + (g[i] << 10) + b[i] : black;
              ASSERT_EQ(XGetPixel(img, x, y), want & depth_mask(depth))
                  << "shift " << vc.v.shift << " depth " << depth << " order " << order << " path "
                  << path << " at " << x << "," << y;
            }
          XDestroyImage(img);
        }
      }
}

namespace {

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

struct Frame {
  explicit Frame(long n) : r(n), g(n), b(n)
  {
    for (long i = 0; i < n; i++) {
      r[i] = static_cast<unsigned char>(i * 13 + i / 256);
      g[i] = static_cast<unsigned char>(i / 7);
      b[i] = static_cast<unsigned char>(255 - i * 3);
    }
  }
  std::vector<unsigned char> r, g, b;
};

// The pixel at (x, y) read straight from the image in the host's order.
unsigned long stored(const XImage* img, int x, int y)
{
  const char* row = img->data + static_cast<long>(y) * img->bytes_per_line;
  if (img->bits_per_pixel == 8)
    return static_cast<unsigned char>(row[x]);
  uint32_t v;
  memcpy(&v, row + 4l * x, 4);
  return v;
}

const unsigned int frame_black = 0xa0b1c2d3;

// The formula's pixel for each byte of a frame of w * h + 16 bytes.
std::vector<unsigned long> formula_pixels(const Format& f, const Frame& p)
{
  std::vector<unsigned long> want(p.r.size());
  for (size_t i = 0; i < want.size(); i++) {
    const unsigned long v = !f.colmap      ? standard_pixel(f.map, p.r[i], p.g[i], p.b[i])
                            : p.r[i] < 128 ? f.colmap[p.r[i]]
                                           : frame_black;
    want[i] = v & depth_mask(f.depth);
  }
  return want;
}

// Fills a w x h image of format f from the first n bytes of the frame and
// counts the pixels that differ from the formula (bytes past n give black,
// bytes past the image are not used). The image starts out filled with a
// pattern no fill writes everywhere.
long wrong_pixels(const Format& f, const Frame& p, const std::vector<unsigned long>& want, int w,
                  int h, long n, FillPath path)
{
  PixelLut luts[3];
  if (f.colmap)
    colmap_lut(luts[0], f.colmap, frame_black);
  else
    rgb_luts(luts, f.map);
  XImage* img = image(f.depth, f.bpp, LSBFirst, w, h);
  memset(img->data, 0x5a, static_cast<size_t>(img->bytes_per_line) * h);
  const unsigned char* planes[3] = {p.r.data(), p.g.data(), p.b.data()};
  fill_image(img, planes, luts, f.colmap ? 1 : 3, static_cast<int>(n), frame_black, path);
  long wrong = 0;
  for (int x = 0; x < w; x++)
    for (int y = 0; y < h; y++) {
      const long i = static_cast<long>(x) * h + y;
      wrong += stored(img, x, y) != (i < n ? want[i] : frame_black & depth_mask(f.depth));
    }
  XDestroyImage(img);
  return wrong;
}

// The formats ravlon meets: the depth-24 screen's standard map, its
// TrueColor visual's own masks (no standard map with -c), the depth-8
// screen's default map, channels at other bits with a base pixel in all 32
// bits, and colour tables in 32-bit and 8-bit pixels.
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
  fs.push_back({"colour table, 32 bits", 24, 32, XStandardColormap(), table});
  fs.push_back({"colour table, 8 bits", 8, 8, XStandardColormap(), table});
  XFree(best);
  XFree(def8);
  return fs;
}

}  // namespace

// Sizes that leave partial tiles and blocks at both edges; frames that end
// inside a tile, and frames longer than the image (all of it drawn, the
// rest unused); every format through both paths.
TEST_F(RenderFill, BothPathsFollowTheFormulasAtOddSizesAndShortFrames)
{
  std::vector<Format> fs = formats();
  ASSERT_EQ(fs.size(), 6u);
  struct Size {
    int w, h;
    long end;  // where the short frame ends
  };
  for (Size s : {Size{1, 1, 0}, Size{1, 8192, 4097}, Size{8192, 1, 4097},
                 Size{33, 65, 16 * 65 + 33}, Size{1919, 1081, 959l * 1081 + 541}}) {
    const long area = static_cast<long>(s.w) * s.h;
    const Frame p(area + 16);
    for (const Format& f : fs) {
      const std::vector<unsigned long> want = formula_pixels(f, p);
      for (long n : {s.end, area + 16})
        for (FillPath path : {FILL_PORTABLE, FILL_VECTOR})
          EXPECT_EQ(wrong_pixels(f, p, want, s.w, s.h, n, path), 0)
              << f.name << ", " << s.w << "x" << s.h << ", " << n << " bytes, path " << path;
    }
  }
}
