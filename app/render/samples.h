// A typed frame's samples: their sizes, and their values read in the byte
// order the frame names.
#ifndef SAMPLES_H
#define SAMPLES_H

#include "../../client/ravlon_protocol.h"

inline int pixel_bytes(int format)
{
  return ravlon_pixel_bytes(format);
}

inline int sample_type(int format)
{
  return format & 0xff;
}

// The format's pixels are R G B (and A) bytes.
inline bool rgb_format(int format)
{
  return sample_type(format) == RAVLON_RGB || sample_type(format) == RAVLON_RGBA;
}

// The format's multi-byte samples are in this machine's own order, so
// that they can be read as they lie.
inline bool native_order(int format)
{
  const bool big = (format & RAVLON_BIG_ENDIAN) != 0;
  return big == (__BYTE_ORDER__ == __ORDER_BIG_ENDIAN__) || pixel_bytes(format) == 1;
}

// The format's values are integers.
inline bool integer_format(int format)
{
  return sample_type(format) != RAVLON_F32 && sample_type(format) != RAVLON_F64;
}

// The one-channel sample at p.
double sample_value(const unsigned char* p, int format);

// The pixel's values at p into v (R G B, or the one sample); their number.
int sample_values(const unsigned char* p, int format, double v[3]);

#endif
