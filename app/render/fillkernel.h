// The kernels that turn column-major frame planes (the byte of pixel (x, y)
// at x * height + y) into image rows, and the pixel formulas they apply.
// The transpose goes tile by tile so that the plane reads and the row
// writes stay inside the caches whatever the frame's size, unlike strips
// that run the whole image height.
#ifndef FILLKERNEL_H
#define FILLKERNEL_H

#include <cstdint>
#include <cstring>

#include "render/fillview.h"

// Where pixels go: rows of bpl bytes, h of them; values cut to mask.
struct FillDest {
  char* data;
  long bpl;
  long h;
  unsigned int mask;
};

inline void prefetch_planes(const unsigned char* const* p, int n, long i)
{
  for (int k = 0; k < n; k++)
    __builtin_prefetch(p[k] + i);
}

// The sum of N planes' table values.
template <int N>
struct LutPx {
  unsigned int operator()(long i) const
  {
    unsigned int v = l[0].v[p[0][i]];
    if (N == 3)
      v += l[1].v[p[1][i]] + l[2].v[p[2][i]];
    return v;
  }
  void prefetch(long i) const { prefetch_planes(p, N, i); }
  const unsigned char* const* p;
  const PixelLut* l;
};

// An RGB pixel whose tables are each base + (byte << shift): the same sum
// in 32-bit unsigned arithmetic without a table.
struct ShiftPx {
  unsigned int operator()(long i) const
  {
    return base + (static_cast<unsigned int>(p[0][i]) << s[0]) +
           (static_cast<unsigned int>(p[1][i]) << s[1]) +
           (static_cast<unsigned int>(p[2][i]) << s[2]);
  }
  void prefetch(long i) const { prefetch_planes(p, 3, i); }
  const unsigned char* const* p;
  unsigned int base;
  int s[3];
};

// A tile is 64 columns wide and 512 rows tall. The 64 columns of each of
// the three planes are read in stretches of 16 rows that fit the first-level
// cache; tall tiles make few passes over the planes, so that few lines
// shared by two passes (a column's stretch seldom starts on a line) are
// fetched from memory twice.
const long FILL_TILE_W = 64;
const long FILL_TILE_H = 512;

inline long fill_min(long a, long b)
{
  return a < b ? a : b;
}

// Calls f(tx, ex, ty, ey) for each tile of x0 <= x < x1, y0 <= y < y1,
// row of tiles by row of tiles: the rows written stay the same from one
// tile to the next.
template <class F>
void for_each_tile(long x0, long x1, long y0, long y1, F f)
{
  for (long ty = y0; ty < y1; ty += FILL_TILE_H)
    for (long tx = x0; tx < x1; tx += FILL_TILE_W)
      f(tx, fill_min(tx + FILL_TILE_W, x1), ty, fill_min(ty + FILL_TILE_H, y1));
}

// Asks for the bytes of column x, rows ty <= y < ey, ahead of their use:
// the columns of the next tile lie a column's height apart, a pattern the
// hardware does not foresee.
template <class Px>
inline void prefetch_column(const Px& px, long h, long x, long ty, long ey)
{
  for (long i = x * h + ty; i < x * h + ey; i += 64)
    px.prefetch(i);
  px.prefetch(x * h + ey - 1);
}

// Pixels x0 <= x < x1, y0 <= y < y1, all of whose bytes arrived.
template <class T, class Px>
void fill_rect(const FillDest& d, const Px& px, long x0, long x1, long y0, long y1)
{
  for_each_tile(x0, x1, y0, y1, [&](long tx, long ex, long ty, long ey) {
    for (long y = ty; y < ey; y++) {
      T* q = reinterpret_cast<T*>(d.data + y * d.bpl);
      if (y - ty < FILL_TILE_W && ex + y - ty < x1)
        prefetch_column(px, d.h, ex + y - ty, ty, ey);
      for (long x = tx, i = tx * d.h + y; x < ex; x++, i += d.h)
        q[x] = static_cast<T>(px(i) & d.mask);
    }
  });
}

// A zoomed view, row by row: each view row is written once, straight from
// the planes. Zoomed in, one image pixel's value is worked out once per row
// and written as a run of identical pixels; zoomed out, the view samples
// every 2^-shift-th column and row. Bytes from n on, and places past the
// frame, are black.
template <class T, class Px>
long zoom_in_row(T* q, long dw, const Px& px, const FrameView& v, long y, long n, unsigned int mask,
                 T black)
{
  const long step = 1l << v.shift;
  long X = 0;
  long run = step - (v.pan_x & (step - 1));
  for (long x = v.pan_x >> v.shift; X < dw && x < v.w; x++, run = step) {
    const long i = x * v.h + y;
    const T c = i < n ? static_cast<T>(px(i) & mask) : black;
    for (const long e = fill_min(X + run, dw); X < e; X++)
      q[X] = c;
  }
  return X;
}

template <class T, class Px>
long zoom_out_row(T* q, long dw, const Px& px, const FrameView& v, long y, long n,
                  unsigned int mask, T black)
{
  const int k = -v.shift;
  long X = 0;
  for (long x = v.pan_x << k; X < dw && x < v.w; X++, x += 1l << k) {
    const long i = x * v.h + y;
    q[X] = i < n ? static_cast<T>(px(i) & mask) : black;
  }
  return X;
}

// Zoomed in, the view rows of one frame row are alike: the first is made
// from the planes, the others are copies of it while it is in the cache.
template <class T, class Px>
void fill_zoomed(const FillDest& d, long dw, const Px& px, const FrameView& v, long n, T black)
{
  long last = -1;  // the frame row the view row above was made from
  for (long Y = 0; Y < d.h; Y++) {
    T* q = reinterpret_cast<T*>(d.data + Y * d.bpl);
    const long y = view_source(Y, v.pan_y, v.shift);
    if (y == last) {
      std::memcpy(q, d.data + (Y - 1) * d.bpl, static_cast<size_t>(dw) * sizeof(T));
      continue;
    }
    last = y;
    long X = 0;
    if (y < v.h)
      X = v.shift >= 0 ? zoom_in_row(q, dw, px, v, y, n, d.mask, black)
                       : zoom_out_row(q, dw, px, v, y, n, d.mask, black);
    for (; X < dw; X++)
      q[X] = black;
  }
}

// Columns 0 <= x < cols of 32-bit pixels with the target's vector
// instructions; false, and nothing written, where it has none.
bool fill_shift_vector(const FillDest& d, const ShiftPx& px, long cols);

#endif
