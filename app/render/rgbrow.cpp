#include "render/rgbrow.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define RGBROW_SSSE3 1
#endif

namespace {

void rgb_row_plain(uint32_t* out, const unsigned char* p, int n, int px, uint32_t mask, int x)
{
  for (; x < n; x++, p += px)
    out[x] = (static_cast<uint32_t>(p[0]) << 16 | p[1] << 8 | p[2]) & mask;
}

#ifdef RGBROW_SSSE3
// Four pixels a step; each load of 16 bytes stays within the row, so the
// last pixels go the plain way.
__attribute__((target("ssse3"))) int rgb_row_ssse3(uint32_t* out, const unsigned char* p, int n,
                                                   int px, uint32_t mask)
{
  const __m128i order = px == 3
                            ? _mm_setr_epi8(2, 1, 0, -1, 5, 4, 3, -1, 8, 7, 6, -1, 11, 10, 9, -1)
                            : _mm_setr_epi8(2, 1, 0, -1, 6, 5, 4, -1, 10, 9, 8, -1, 14, 13, 12, -1);
  const __m128i m = _mm_set1_epi32(static_cast<int>(mask));
  int x = 0;
  for (; static_cast<long>(x) * px + 16 <= static_cast<long>(n) * px; x += 4) {
    const __m128i in =
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + static_cast<long>(x) * px));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x),
                     _mm_and_si128(_mm_shuffle_epi8(in, order), m));
  }
  return x;
}
#endif

}  // namespace

void rgb_row(uint32_t* out, const unsigned char* p, int n, int px, uint32_t mask)
{
  int x = 0;
#ifdef RGBROW_SSSE3
  static const bool ssse3 = __builtin_cpu_supports("ssse3");
  if (ssse3)
    x = rgb_row_ssse3(out, p, n, px, mask);
#endif
  rgb_row_plain(out, p + static_cast<long>(x) * px, n, px, mask, x);
}
