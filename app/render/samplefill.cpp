#include "render/samplefill.h"

#include <X11/Xutil.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "render/floatrow.h"
#include "render/framefill.h"
#include "render/rgbrow.h"
#include "render/samples.h"

namespace {

double scaled(double t, int scale)
{
  switch (scale) {
    case RAVLON_SCALE_SQRT: return std::sqrt(t);
    case RAVLON_SCALE_LOG: return std::log1p(1000 * t) / std::log1p(1000.0);
    case RAVLON_SCALE_ASINH: return std::asinh(10 * t) / std::asinh(10.0);
    default: return t;
  }
}

// One row of pixel values into the image, cut to its depth.
void store_row(XImage* img, long y, const unsigned int* row)
{
  const unsigned int mask = plane_mask(img->depth);
  char* line = img->data + y * img->bytes_per_line;
  if (!direct_layout(img)) {
    for (int x = 0; x < img->width; x++)
      XPutPixel(img, x, static_cast<int>(y), row[x] & mask);
    return;
  }
  for (int x = 0; x < img->width; x++) {
    const unsigned int p = row[x] & mask;
    if (img->bits_per_pixel == 32)
      reinterpret_cast<uint32_t*>(line)[x] = p;
    else if (img->bits_per_pixel == 16)
      reinterpret_cast<uint16_t*>(line)[x] = static_cast<uint16_t>(p);
    else
      reinterpret_cast<uint8_t*>(line)[x] = static_cast<uint8_t>(p);
  }
}

// A 1:1 view whose every column is in the frame, into 32-bit pixels:
// each row straight from the frame's by row(out, p, n, mask), no column
// table, no row between. False when the view is not such a one.
template <class R>
bool fill_rows_1to1(XImage* img, const unsigned char* samples, int px, unsigned int black,
                    const FrameView& v, R row)
{
  if (v.shift != 0 || v.pan_x + img->width > v.w || !direct_layout(img) ||
      img->bits_per_pixel != 32)
    return false;
  const unsigned int mask = plane_mask(img->depth);
  for (long y = 0; y < img->height; y++) {
    uint32_t* out = reinterpret_cast<uint32_t*>(img->data + y * img->bytes_per_line);
    const long sy = v.pan_y + y;
    if (sy >= v.h)
      std::fill(out, out + img->width, black & mask);
    else
      row(out, samples + (sy * v.w + v.pan_x) * px, img->width, mask);
  }
  return true;
}

// Every view row from the frame's rows: the source column of each view
// column worked out once; pixel(p) gives the value of the pixel at p.
template <class F>
void fill_rows(XImage* img, const unsigned char* samples, int px, unsigned int black,
               const FrameView& v, F pixel)
{
  auto each = [px, pixel](uint32_t* out, const unsigned char* p, int n, unsigned int mask) {
    for (int x = 0; x < n; x++)
      out[x] = pixel(p + static_cast<long>(x) * px) & mask;
  };
  if (fill_rows_1to1(img, samples, px, black, v, each))
    return;
  std::vector<long> src(static_cast<size_t>(img->width));
  for (int x = 0; x < img->width; x++) {
    const long sx = view_source(x, v.pan_x, v.shift);
    src[static_cast<size_t>(x)] = sx < v.w ? sx * px : -1;
  }
  std::vector<unsigned int> row(static_cast<size_t>(img->width));
  for (long y = 0; y < img->height; y++) {
    const long sy = view_source(y, v.pan_y, v.shift);
    if (sy >= v.h) {
      std::fill(row.begin(), row.end(), black);
    } else {
      const unsigned char* line = samples + sy * v.w * px;
      for (size_t x = 0; x < row.size(); x++)
        row[x] = src[x] < 0 ? black : pixel(line + src[x]);
    }
    store_row(img, y, row.data());
  }
}

// Floats in this machine's order through a linear map of finite,
// distinct limits: map_entry's arithmetic inline, the same entries.
template <class T>
void fill_native_floats(XImage* img, const unsigned char* samples, const SampleMap& m,
                        unsigned int black, const FrameView& v)
{
  const double lo = m.lo, k = 256 / (m.hi - m.lo);
  const auto row = [&m, lo, k](uint32_t* out, const unsigned char* p, int n, unsigned int mask) {
    float_row(out, p, n, lo, k, m.ramp, m.bad, mask);
  };
  if (sizeof(T) == 4 && fill_rows_1to1(img, samples, 4, black, v, row))
    return;
  fill_rows(img, samples, sizeof(T), black, v, [&m, lo, k](const unsigned char* p) {
    T x;
    memcpy(&x, p, sizeof x);
    return linear_pixel(static_cast<double>(x), lo, k, m.ramp, m.bad);
  });
}

// False when the frame is not such a one.
bool fill_floats(XImage* img, const unsigned char* samples, int format, const SampleMap& m,
                 unsigned int black, const FrameView& v)
{
  const double span = m.hi - m.lo;
  if (m.scale != RAVLON_SCALE_LINEAR || !std::isfinite(span) || span == 0 || !native_order(format))
    return false;
  if (sample_type(format) == RAVLON_F32)
    fill_native_floats<float>(img, samples, m, black, v);
  else if (sample_type(format) == RAVLON_F64)
    fill_native_floats<double>(img, samples, m, black, v);
  else
    return false;
  return true;
}

// The visual's pixel is 0xRRGGBB, as on most 24-bit screens: the tables
// are shifts.
bool plain_rgb(const PixelLut rgb[3])
{
  for (unsigned int i = 0; i < 256; i++)
    if (rgb[0].v[i] != i << 16 || rgb[1].v[i] != i << 8 || rgb[2].v[i] != i)
      return false;
  return true;
}

}  // namespace

int map_entry(double x, const SampleMap& m)
{
  if (!std::isfinite(x))
    return -1;
  double lo = m.lo, span = m.hi - m.lo;
  if (!std::isfinite(span)) {  // limits at the ends of the float range
    x *= 0.5;
    lo *= 0.5;
    span = m.hi * 0.5 - m.lo * 0.5;
  }
  if (span == 0)
    return 0;
  // Linear goes straight to 256 t, as the other scales' longer way does.
  const bool linear = m.scale == RAVLON_SCALE_LINEAR;
  const double top = linear ? 256 : 1;
  double t = (x - lo) * (top / span);
  t = t < 0 ? 0 : t > top ? top : t;
  if (!linear)
    t = scaled(t, m.scale) * 256;
  return t >= 255 ? 255 : static_cast<int>(t);
}

// 8- and 16-bit samples take the pixel of their value from a table of
// every value, made again only when the map changes.
const unsigned int* SampleFill::table_for(int format, const SampleMap& m)
{
  const int type = sample_type(format);
  if (type != RAVLON_U8 && type != RAVLON_U16 && type != RAVLON_I16)
    return nullptr;
  if (table_format == type && !memcmp(&table_map, &m, sizeof m))
    return table.data();
  const int n = type == RAVLON_U8 ? 256 : 65536;
  table.resize(static_cast<size_t>(n));
  for (int i = 0; i < n; i++) {
    const double x = type == RAVLON_I16 ? static_cast<int16_t>(i) : i;
    table[static_cast<size_t>(i)] = m.ramp[map_entry(x, m)];
  }
  table_format = type;
  table_map = m;
  return table.data();
}

void SampleFill::fill(XImage* img, const unsigned char* samples, int format, const SampleMap& m,
                      const PixelLut rgb[3], unsigned int black, const FrameView& v)
{
  const int px = pixel_bytes(format);
  const auto shuffled = [px](uint32_t* out, const unsigned char* p, int n, unsigned int mask) {
    rgb_row(out, p, n, px, mask);
  };
  if (rgb_format(format) && plain_rgb(rgb) && fill_rows_1to1(img, samples, px, black, v, shuffled))
    return;
  if (rgb_format(format)) {
    fill_rows(img, samples, px, black, v, [rgb](const unsigned char* p) {
      return rgb[0].v[p[0]] + rgb[1].v[p[1]] + rgb[2].v[p[2]];
    });
    return;
  }
  const unsigned int* t = table_for(format, m);
  if (t && px == 1) {
    fill_rows(img, samples, px, black, v, [t](const unsigned char* p) { return t[p[0]]; });
  } else if (t && native_order(format)) {
    fill_rows(img, samples, px, black, v, [t](const unsigned char* p) {
      uint16_t bits;
      memcpy(&bits, p, 2);
      return t[bits];
    });
  } else if (t) {
    const bool big = (format & RAVLON_BIG_ENDIAN) != 0;
    fill_rows(img, samples, px, black, v, [t, big](const unsigned char* p) {
      return t[big ? p[0] << 8 | p[1] : p[1] << 8 | p[0]];
    });
  } else if (!fill_floats(img, samples, format, m, black, v)) {
    fill_rows(img, samples, px, black, v, [&m, format](const unsigned char* p) {
      const int e = map_entry(sample_value(p, format), m);
      return e < 0 ? m.bad : m.ramp[e];
    });
  }
}
