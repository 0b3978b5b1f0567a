// The 32-bit RGB kernel with SSE2, the baseline of x86-64: blocks of 16 x 16
// pixels, each plane's block transposed in registers, then the three
// channels of a row widened and added sixteen pixels at a time.
#include "render/fillkernel.h"

#ifdef __SSE2__

#include <emmintrin.h>

namespace {

const int BLOCK = 16;
// Images larger than this, more than the second-level cache holds, are
// written around the caches.
const long STREAM_BYTES = 4l << 20;

struct ShiftVec {
  __m128i base;
  __m128i mask;
  __m128i s[3];
  bool standard;  // red, green, blue at bits 16, 8 and 0
};

// Sixteen rows of 16 bytes become sixteen columns: interleaving the bytes
// of row k with those of row k + 8 rotates each byte's 8-bit (row, column)
// index by one bit, and four rotations swap row and column. Unrolled, the
// rows stay in registers.
inline void interleave(const __m128i* a, __m128i* t)
{
#pragma GCC unroll 8
  for (int k = 0; k < BLOCK / 2; k++) {
    t[2 * k] = _mm_unpacklo_epi8(a[k], a[k + BLOCK / 2]);
    t[2 * k + 1] = _mm_unpackhi_epi8(a[k], a[k + BLOCK / 2]);
  }
}

// Reads 16 bytes of each of 16 columns and leaves them as 16 rows.
inline void load_transposed(const unsigned char* src, long h, unsigned char rows[BLOCK][BLOCK])
{
  __m128i a[BLOCK], t[BLOCK];
#pragma GCC unroll 16
  for (int k = 0; k < BLOCK; k++)
    a[k] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + k * h));
  interleave(a, t);
  interleave(t, a);
  interleave(a, t);
  interleave(t, a);
#pragma GCC unroll 16
  for (int k = 0; k < BLOCK; k++)
    _mm_store_si128(reinterpret_cast<__m128i*>(rows[k]), a[k]);
}

inline __m128i load(const unsigned char* p)
{
  return _mm_load_si128(reinterpret_cast<const __m128i*>(p));
}

// The channels of the depth-24 layout are whole bytes of the pixel, so
// interleaving blue with green and then with red builds it.
inline void standard_pixels(const unsigned char* const c[3], __m128i sum[4])
{
  const __m128i z = _mm_setzero_si128();
  const __m128i r = load(c[0]), g = load(c[1]), b = load(c[2]);
  const __m128i bg[2] = {_mm_unpacklo_epi8(b, g), _mm_unpackhi_epi8(b, g)};
  const __m128i r0[2] = {_mm_unpacklo_epi8(r, z), _mm_unpackhi_epi8(r, z)};
  for (int k = 0; k < 2; k++) {
    sum[2 * k] = _mm_add_epi32(sum[2 * k], _mm_unpacklo_epi16(bg[k], r0[k]));
    sum[2 * k + 1] = _mm_add_epi32(sum[2 * k + 1], _mm_unpackhi_epi16(bg[k], r0[k]));
  }
}

inline void shifted_pixels(const unsigned char* const c[3], const ShiftVec& v, __m128i sum[4])
{
  const __m128i z = _mm_setzero_si128();
#pragma GCC unroll 3
  for (int p = 0; p < 3; p++) {
    const __m128i x = load(c[p]);
    const __m128i lo = _mm_unpacklo_epi8(x, z);
    const __m128i hi = _mm_unpackhi_epi8(x, z);
    sum[0] = _mm_add_epi32(sum[0], _mm_sll_epi32(_mm_unpacklo_epi16(lo, z), v.s[p]));
    sum[1] = _mm_add_epi32(sum[1], _mm_sll_epi32(_mm_unpackhi_epi16(lo, z), v.s[p]));
    sum[2] = _mm_add_epi32(sum[2], _mm_sll_epi32(_mm_unpacklo_epi16(hi, z), v.s[p]));
    sum[3] = _mm_add_epi32(sum[3], _mm_sll_epi32(_mm_unpackhi_epi16(hi, z), v.s[p]));
  }
}

// One row's 16 pixels from that row's 16 bytes of each plane. An image
// larger than the caches goes to memory anyway: written around them, its
// lines need not be read first.
template <bool STREAM>
inline void store_row(char* dst, const unsigned char* const c[3], const ShiftVec& v)
{
  __m128i sum[4] = {v.base, v.base, v.base, v.base};
  if (v.standard)
    standard_pixels(c, sum);
  else
    shifted_pixels(c, v, sum);
#pragma GCC unroll 4
  for (int k = 0; k < 4; k++) {
    __m128i* q = reinterpret_cast<__m128i*>(dst) + k;
    if (STREAM)
      _mm_stream_si128(q, _mm_and_si128(sum[k], v.mask));
    else
      _mm_storeu_si128(q, _mm_and_si128(sum[k], v.mask));
  }
}

template <bool STREAM>
void fill_block(const FillDest& d, const ShiftPx& px, const ShiftVec& v, long x0, long y0)
{
  alignas(16) unsigned char rows[3][BLOCK][BLOCK];
  for (int p = 0; p < 3; p++)
    load_transposed(px.p[p] + x0 * d.h + y0, d.h, rows[p]);
  for (int j = 0; j < BLOCK; j++) {
    const unsigned char* const c[3] = {rows[0][j], rows[1][j], rows[2][j]};
    store_row<STREAM>(d.data + (y0 + j) * d.bpl + x0 * 4, c, v);
  }
}

template <bool STREAM>
void fill_blocks(const FillDest& d, const ShiftPx& px, const ShiftVec& v, long bx, long by)
{
  // Blocks in a tile, over which the next tile's columns are spread.
  const long blocks = FILL_TILE_W / BLOCK * (FILL_TILE_H / BLOCK);
  for_each_tile(0, bx, 0, by, [&](long tx, long ex, long ty, long ey) {
    long next = ex;
    for (long y = ty; y < ey; y += BLOCK)
      for (long x = tx; x < ex; x += BLOCK) {
        for (long k = 0; k < (FILL_TILE_W + blocks - 1) / blocks && next < bx; k++)
          prefetch_column(px, d.h, next++, ty, ey);
        fill_block<STREAM>(d, px, v, x, y);
      }
  });
}

}  // namespace

// Whole blocks go through the vector code, each block asking for its share
// of the next tile's columns; the columns and rows left over at the right
// and bottom edges go through the portable code.
bool fill_shift_vector(const FillDest& d, const ShiftPx& px, long cols)
{
  const long bx = cols / BLOCK * BLOCK;
  const long by = d.h / BLOCK * BLOCK;
  ShiftVec v;
  v.base = _mm_set1_epi32(static_cast<int>(px.base));
  v.mask = _mm_set1_epi32(static_cast<int>(d.mask));
  for (int p = 0; p < 3; p++)
    v.s[p] = _mm_cvtsi32_si128(px.s[p]);
  v.standard = px.s[0] == 16 && px.s[1] == 8 && px.s[2] == 0;
  const uintptr_t align = reinterpret_cast<uintptr_t>(d.data) | static_cast<uintptr_t>(d.bpl);
  if (align % 16 == 0 && d.bpl * d.h > STREAM_BYTES) {
    fill_blocks<true>(d, px, v, bx, by);
    _mm_sfence();
  } else {
    fill_blocks<false>(d, px, v, bx, by);
  }
  fill_rect<uint32_t>(d, px, bx, cols, 0, d.h);
  fill_rect<uint32_t>(d, px, 0, bx, by, d.h);
  return true;
}

#else

bool fill_shift_vector(const FillDest&, const ShiftPx&, long)
{
  return false;
}

#endif
