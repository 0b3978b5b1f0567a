#include "pointdraw.h"

#include "WEtc.h"
#include "window/image.h"

namespace {

unsigned int rgb_pixel(const XStandardColormap& m, unsigned char r, unsigned char g,
                       unsigned char b)
{
  float fr = r / 255.0f, fg = g / 255.0f, fb = b / 255.0f;
  unsigned int cr = static_cast<unsigned int>(0.5f + fr * static_cast<float>(m.red_max));
  unsigned int cg = static_cast<unsigned int>(0.5f + fg * static_cast<float>(m.green_max));
  unsigned int cb = static_cast<unsigned int>(0.5f + fb * static_cast<float>(m.blue_max));
  return static_cast<unsigned int>(m.base_pixel + cr * m.red_mult + cg * m.green_mult +
                                   cb * m.blue_mult);
}

template <class F>
void draw_points(Image& im, F pixel)
{
  XSetForeground(display, im.dagc, colortbl[0]);
  XFillRectangle(display, im.pixmap, im.dagc, 0, 0, im.width, im.height);
  for (int x = 0; x < im.width; x++)
    for (int y = 0; y < im.height; y++) {
      XSetForeground(display, im.dagc, pixel(x * im.height + y));
      XDrawPoint(display, im.pixmap, im.dagc, x, y);
    }
  im.expose();
}

}  // namespace

void point_draw_rgb(Image& im, const XStandardColormap& m, const unsigned char* r,
                    const unsigned char* g, const unsigned char* b)
{
  draw_points(im, [&](int i) { return rgb_pixel(m, r[i], g[i], b[i]); });
}

void point_draw_colmap(Image& im, const unsigned char* cvec)
{
  draw_points(im, [&](int i) { return static_cast<unsigned int>(cvec[i]); });
}
