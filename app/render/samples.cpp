#include "render/samples.h"

#include <cstdint>
#include <cstring>

namespace {

// n bytes at p as an unsigned number, in the format's byte order.
uint64_t bits(const unsigned char* p, int n, int format)
{
  uint64_t v = 0;
  const bool big = (format & RAVLON_BIG_ENDIAN) != 0;
  for (int i = 0; i < n; i++)
    v = v << 8 | p[big ? i : n - 1 - i];
  return v;
}

}  // namespace

double sample_value(const unsigned char* p, int format)
{
  switch (sample_type(format)) {
    case RAVLON_U8: return p[0];
    case RAVLON_U16: return static_cast<double>(bits(p, 2, format));
    case RAVLON_I16: return static_cast<int16_t>(bits(p, 2, format));
    case RAVLON_I32: return static_cast<int32_t>(bits(p, 4, format));
    case RAVLON_F32: {
      const uint32_t b = static_cast<uint32_t>(bits(p, 4, format));
      float f;
      memcpy(&f, &b, sizeof f);
      return f;
    }
    default: {
      const uint64_t b = bits(p, 8, format);
      double d;
      memcpy(&d, &b, sizeof d);
      return d;
    }
  }
}

int sample_values(const unsigned char* p, int format, double v[3])
{
  if (!rgb_format(format)) {
    v[0] = sample_value(p, format);
    return 1;
  }
  for (int c = 0; c < 3; c++)
    v[c] = p[c];
  return 3;
}
