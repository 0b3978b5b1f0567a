// The client-side image of a frame: the direct fill agrees with Xlib's own
// pixel placement for every depth and byte order.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "WEtc.h"
#include "framefill.h"

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
// black; values are cut to the depth.
TEST_F(RenderFill, PixelsLandWhereTheLayoutSaysForEveryDepthAndByteOrder)
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
  for (int depth : {8, 16, 24, 32})
    for (int order : {LSBFirst, MSBFirst}) {
      int bpp = depth == 24 ? 32 : depth;
      XImage* img = image(depth, bpp, order, w, h);
      fill_image(img, planes, luts, 3, size, black);
      unsigned long mask = depth == 32 ? 0xffffffffu : (1ul << depth) - 1;
      for (int x = 0; x < w; x++)
        for (int y = 0; y < h; y++) {
          int i = x * h + y;
          unsigned long want = i < size ? 3ul + (r[i] << 20) + (g[i] << 10) + b[i] : black;
          ASSERT_EQ(XGetPixel(img, x, y), want & mask)
              << "depth " << depth << " order " << order << " at " << x << "," << y;
        }
      XDestroyImage(img);
    }
}
