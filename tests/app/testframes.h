// What the tests of pictures send and compare: frames of random bytes,
// colour files, the pixel a standard colour map gives an RGB byte triple
// and a one-channel value, and a drawable's pixel values read back raw.
#ifndef TESTFRAMES_H
#define TESTFRAMES_H

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "render/colourtables.h"
#include "render/samplefill.h"

// A frame of random bytes, column by column: pixel (x, y) at x * h + y.
struct TestFrame {
  TestFrame(int w_, int h_, int planes, unsigned seed) : w(w_), h(h_)
  {
    for (int p = 0; p < planes; p++) {
      bytes[p].resize(static_cast<size_t>(w) * h);
      for (auto& b : bytes[p])
        b = static_cast<unsigned char>((seed = seed * 1103515245u + 12345u) >> 23);
    }
  }
  size_t at(int x, int y) const { return static_cast<size_t>(x) * h + y; }
  int n() const { return w * h; }
  int w, h;
  std::vector<unsigned char> bytes[3];
};

// The pixel an RGB byte triple must become under a standard colour map: the
// ICCCM formula, each level rounded in single precision.
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

// The pixel a one-channel value must become: its entry of colour map map
// through m, the other way round when inverted; NaN and the infinities
// magenta.
inline unsigned long sample_pixel(const XStandardColormap& s, double v, const SampleMap& m, int map,
                                  bool invert)
{
  static const unsigned char magenta[3] = {255, 0, 255};
  const int e = map_entry(v, m);
  const unsigned char* c = e < 0 ? magenta : colour_tables[map][invert ? 255 - e : e];
  return standard_pixel(s, c[0], c[1], c[2]);
}

// A new file under /tmp holding text; its name.
inline std::string temp_file(const std::string& text)
{
  char path[] = "/tmp/ravlon-test-XXXXXX";
  const int fd = mkstemp(path);
  if (fd >= 0) {
    ssize_t n = write(fd, text.data(), text.size());
    close(fd);
    if (n != static_cast<ssize_t>(text.size()))
      unlink(path);
  }
  return path;
}

// The raw value of d's pixel (x, y); 0 when it cannot be read.
inline unsigned long raw_pixel(Display* dpy, Drawable d, int x, int y)
{
  XImage* xi = XGetImage(dpy, d, x, y, 1, 1, AllPlanes, ZPixmap);
  const unsigned long v = xi ? XGetPixel(xi, 0, 0) : 0;
  if (xi)
    XDestroyImage(xi);
  return v;
}

// The pixels of d's top-left w x h whose raw values are not want(x, y); -1
// when they cannot be read.
template <class F>
int wrong_pixels(Display* dpy, Drawable d, int w, int h, F want)
{
  XImage* xi = XGetImage(dpy, d, 0, 0, static_cast<unsigned>(w), static_cast<unsigned>(h),
                         AllPlanes, ZPixmap);
  if (!xi)
    return -1;
  int bad = 0;
  for (int x = 0; x < w; x++)
    for (int y = 0; y < h; y++)
      bad += XGetPixel(xi, x, y) != want(x, y);
  XDestroyImage(xi);
  return bad;
}

#endif
