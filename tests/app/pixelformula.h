// The pixel an RGB byte triple must become under a standard colour map: the
// ICCCM formula, each level rounded in single precision.
#ifndef PIXELFORMULA_H
#define PIXELFORMULA_H

#include <X11/Xlib.h>
#include <X11/Xutil.h>

inline unsigned long level(unsigned char v, unsigned long max)
{
  return static_cast<unsigned long>(0.5f + v / 255.0f * static_cast<float>(max));
}

inline unsigned long standard_pixel(const XStandardColormap& m, unsigned char r, unsigned char g,
                                    unsigned char b)
{
  return m.base_pixel + level(r, m.red_max) * m.red_mult + level(g, m.green_max) * m.green_mult +
         level(b, m.blue_max) * m.blue_mult;
}

#endif
