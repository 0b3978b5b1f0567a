#include "render/floatrow.h"

#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

// What the vector steps compute, one sample at a time.
void float_row_plain(uint32_t* out, const unsigned char* p, int n, double lo, double k,
                     const unsigned int ramp[256], unsigned int bad, uint32_t mask, int x)
{
  for (; x < n; x++) {
    float f;
    memcpy(&f, p + 4L * x, 4);
    out[x] = linear_pixel(f, lo, k, ramp, bad) & mask;
  }
}

}  // namespace

void float_row(uint32_t* out, const unsigned char* p, int n, double lo, double k,
               const unsigned int ramp[256], unsigned int bad, uint32_t mask)
{
  int x = 0;
#ifdef __SSE2__
  const __m128d vlo = _mm_set1_pd(lo), vk = _mm_set1_pd(k), zero = _mm_setzero_pd(),
                top = _mm_set1_pd(255);
  for (; x + 4 <= n; x += 4) {
    const __m128 f = _mm_loadu_ps(reinterpret_cast<const float*>(p + 4L * x));
    // f - f is 0 for a finite value, NaN for NaN and the infinities.
    const int finite = _mm_movemask_ps(_mm_cmpeq_ps(_mm_sub_ps(f, f), _mm_setzero_ps()));
    const __m128d t0 = _mm_mul_pd(_mm_sub_pd(_mm_cvtps_pd(f), vlo), vk);
    const __m128d t1 = _mm_mul_pd(_mm_sub_pd(_mm_cvtps_pd(_mm_movehl_ps(f, f)), vlo), vk);
    const __m128i e0 = _mm_cvttpd_epi32(_mm_min_pd(_mm_max_pd(t0, zero), top));
    const __m128i e1 = _mm_cvttpd_epi32(_mm_min_pd(_mm_max_pd(t1, zero), top));
    int e[8];
    _mm_storeu_si128(reinterpret_cast<__m128i*>(e), e0);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(e + 4), e1);
    const int at[4] = {e[0], e[1], e[4], e[5]};
    for (int j = 0; j < 4; j++)
      out[x + j] = ((finite >> j) & 1 ? ramp[at[j]] : bad) & mask;
  }
#endif
  float_row_plain(out, p, n, lo, k, ramp, bad, mask, x);
}
