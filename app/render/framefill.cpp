#include "render/framefill.h"

#include <algorithm>
#include <cstdint>

#include "render/fillkernel.h"

namespace {

template <class T, class Px>
void fill_cols(const FillDest& d, const Px& px, long cols, FillPath)
{
  fill_rect<T>(d, px, 0, cols, 0, d.h);
}

template <>
void fill_cols<uint32_t, ShiftPx>(const FillDest& d, const ShiftPx& px, long cols, FillPath path)
{
  if (path != FILL_VECTOR || !fill_shift_vector(d, px, cols))
    fill_rect<uint32_t>(d, px, 0, cols, 0, d.h);
}

// Writes pixel values straight into memory when the image's byte order is
// the host's. Byte i of a plane arrived when i < n: the columns before
// n / h are whole and go through the tiled kernels; the column n ends in
// and the black after it are written row by row.
template <class T, class Px>
void fill_direct(XImage* img, const Px& px, long n, unsigned int black, unsigned int mask,
                 FillPath path, const FrameView* zv)
{
  const FillDest d = {img->data, img->bytes_per_line, img->height, mask};
  const long w = img->width;
  if (zv) {
    fill_zoomed<T>(d, w, px, *zv, n, static_cast<T>(black & mask));
    return;
  }
  const long cols = fill_min(w, n / d.h);
  fill_cols<T>(d, px, cols, path);
  if (cols == w)
    return;
  const long rem = n - cols * d.h;
  const T bk = static_cast<T>(black & mask);
  for (long y = 0; y < d.h; y++) {
    T* q = reinterpret_cast<T*>(d.data + y * d.bpl);
    long x = cols;
    if (y < rem)
      q[x++] = static_cast<T>(px(cols * d.h + y) & mask);
    std::fill(q + x, q + w, bk);
  }
}

// Pixels one by one, for byte orders other than the host's.
template <class Px>
void fill_any(XImage* img, const Px& px, long n, unsigned int black, unsigned int mask,
              const FrameView* zv)
{
  const FrameView one = {img->width, img->height, 0, 0, 0};
  const FrameView& v = zv ? *zv : one;
  for (long X = 0; X < img->width; X++)
    for (long Y = 0; Y < img->height; Y++) {
      const long x = view_source(X, v.pan_x, v.shift), y = view_source(Y, v.pan_y, v.shift);
      const long i = x < v.w && y < v.h ? x * v.h + y : n;
      XPutPixel(img, X, Y, (i < n ? px(i) : black) & mask);
    }
}

template <class Px>
void fill_pixels(XImage* img, const Px& px, long n, unsigned int black, FillPath path,
                 const FrameView* zv)
{
  const unsigned int mask = plane_mask(img->depth);
  if (!direct_layout(img))
    fill_any(img, px, n, black, mask, zv);
  else if (img->bits_per_pixel == 32)
    fill_direct<uint32_t>(img, px, n, black, mask, path, zv);
  else if (img->bits_per_pixel == 16)
    fill_direct<uint16_t>(img, px, n, black, mask, path, zv);
  else
    fill_direct<uint8_t>(img, px, n, black, mask, path, zv);
}

// Tables that are each base + (byte << shift) need no lookup.
bool shift_luts(const PixelLut* l, ShiftPx& px)
{
  px.base = 0;
  for (int p = 0; p < 3; p++) {
    const unsigned int step = l[p].v[1] - l[p].v[0];
    if (!step || (step & (step - 1)))
      return false;
    px.s[p] = __builtin_ctz(step);
    for (unsigned int v = 0; v < 256; v++)
      if (l[p].v[v] != l[p].v[0] + (v << px.s[p]))
        return false;
    px.base += l[p].v[0];
  }
  return true;
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

bool direct_layout(const XImage* img)
{
  const uint16_t probe = 1;
  const int host_order = *reinterpret_cast<const unsigned char*>(&probe) ? LSBFirst : MSBFirst;
  const int bpp = img->bits_per_pixel;
  return bpp == 8 || ((bpp == 16 || bpp == 32) && img->byte_order == host_order);
}

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

namespace {

void fill_frame(XImage* img, const unsigned char* const* planes, const PixelLut* luts, int nplanes,
                int size, unsigned int black, FillPath path, const FrameView* zv)
{
  const long n = size < 0 ? 0 : size;
  ShiftPx sp = {planes, 0, {0, 0, 0}};
  if (nplanes == 3 && shift_luts(luts, sp))
    fill_pixels(img, sp, n, black, path, zv);
  else if (nplanes == 3)
    fill_pixels(img, LutPx<3>{planes, luts}, n, black, path, zv);
  else
    fill_pixels(img, LutPx<1>{planes, luts}, n, black, path, zv);
}

}  // namespace

void fill_image(XImage* img, const unsigned char* const* planes, const PixelLut* luts, int nplanes,
                int size, unsigned int black, FillPath path)
{
  fill_frame(img, planes, luts, nplanes, size, black, path, nullptr);
}

void fill_view(XImage* img, const unsigned char* const* planes, const PixelLut* luts, int nplanes,
               int size, unsigned int black, const FrameView& v, FillPath path)
{
  const bool one =
      v.shift == 0 && v.pan_x == 0 && v.pan_y == 0 && v.w == img->width && v.h == img->height;
  fill_frame(img, planes, luts, nplanes, size, black, path, one ? nullptr : &v);
}
