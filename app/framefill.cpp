#include "framefill.h"

#include <cstdint>

namespace {

template <int N>
inline unsigned int pixel_at(const unsigned char* const* p, const PixelLut* l, long i)
{
  unsigned int v = l[0].v[p[0][i]];
  if (N == 3)
    v += l[1].v[p[1][i]] + l[2].v[p[2][i]];
  return v;
}

// Writes pixel values straight into memory when the image's byte order is
// the host's. The planes run down columns and the image along rows, so the
// copy goes in strips one cache line wide: each row of a strip fills a whole
// line while the strip's columns are read in order. Byte i of a plane arrived
// when i < n.
template <class T, int N>
void fill_direct(XImage* img, const unsigned char* const* p, const PixelLut* l, long n,
                 unsigned int black, unsigned int mask)
{
  const long w = img->width, h = img->height;
  const long strip = 64 / static_cast<long>(sizeof(T));
  const T bk = static_cast<T>(black & mask);
  for (long x0 = 0; x0 < w; x0 += strip) {
    const long x1 = x0 + strip < w ? x0 + strip : w;
    for (long y = 0; y < h; y++) {
      T* q = reinterpret_cast<T*>(img->data + y * img->bytes_per_line);
      for (long x = x0, i = x0 * h + y; x < x1; x++, i += h)
        q[x] = i < n ? static_cast<T>(pixel_at<N>(p, l, i) & mask) : bk;
    }
  }
}

template <int N>
void fill_any(XImage* img, const unsigned char* const* p, const PixelLut* l, long n,
              unsigned int black, unsigned int mask)
{
  const long h = img->height;
  for (long x = 0; x < img->width; x++)
    for (long y = 0; y < h; y++) {
      const long i = x * h + y;
      XPutPixel(img, x, y, (i < n ? pixel_at<N>(p, l, i) : black) & mask);
    }
}

template <int N>
void fill_planes(XImage* img, const unsigned char* const* p, const PixelLut* l, long n,
                 unsigned int black)
{
  const unsigned int mask = img->depth >= 32 ? 0xffffffffu : (1u << img->depth) - 1;
  const uint16_t probe = 1;
  const int host_order = *reinterpret_cast<const unsigned char*>(&probe) ? LSBFirst : MSBFirst;
  const bool native = img->bits_per_pixel == 8 || img->byte_order == host_order;
  if (native && img->bits_per_pixel == 32)
    fill_direct<uint32_t, N>(img, p, l, n, black, mask);
  else if (native && img->bits_per_pixel == 16)
    fill_direct<uint16_t, N>(img, p, l, n, black, mask);
  else if (img->bits_per_pixel == 8)
    fill_direct<uint8_t, N>(img, p, l, n, black, mask);
  else
    fill_any<N>(img, p, l, n, black, mask);
}

void channel_lut(PixelLut& lut, unsigned long max, unsigned long mult, unsigned long base)
{
  for (int v = 0; v < 256; v++) {
    float f = static_cast<float>(v) / 255.0f;
    unsigned int c = static_cast<unsigned int>(0.5f + f * static_cast<float>(max));
    lut.v[v] = static_cast<unsigned int>(base) + c * static_cast<unsigned int>(mult);
  }
}

// A channel mask as the maximum and multiplier of a standard colour map.
int mask_channel(unsigned long mask, unsigned long& max, unsigned long& mult)
{
  if (!mask)
    return -1;
  int shift = 0;
  while (!(mask & 1)) {
    mask >>= 1;
    shift++;
  }
  max = mask;
  mult = 1ul << shift;
  return 0;
}

}  // namespace

void colmap_lut(PixelLut& lut, const unsigned int* colmap, unsigned int black)
{
  for (int i = 0; i < 256; i++)
    lut.v[i] = !colmap ? static_cast<unsigned int>(i) : i < 128 ? colmap[i] : black;
}

void rgb_luts(PixelLut luts[3], const XStandardColormap& m)
{
  channel_lut(luts[0], m.red_max, m.red_mult, m.base_pixel);
  channel_lut(luts[1], m.green_max, m.green_mult, 0);
  channel_lut(luts[2], m.blue_max, m.blue_mult, 0);
}

int visual_map(XStandardColormap& m, const Visual* vis)
{
  if (vis->c_class != TrueColor && vis->c_class != DirectColor)
    return -1;
  m = XStandardColormap();
  if (mask_channel(vis->red_mask, m.red_max, m.red_mult) == -1 ||
      mask_channel(vis->green_mask, m.green_max, m.green_mult) == -1 ||
      mask_channel(vis->blue_mask, m.blue_max, m.blue_mult) == -1)
    return -1;
  return 0;
}

void fill_image(XImage* img, const unsigned char* const* planes, const PixelLut* luts, int nplanes,
                int size, unsigned int black)
{
  const long n = size < 0 ? 0 : size;
  if (nplanes == 3)
    fill_planes<3>(img, planes, luts, n, black);
  else
    fill_planes<1>(img, planes, luts, n, black);
}
