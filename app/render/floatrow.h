// A row of float32 samples, in this machine's byte order, through a
// linear colour map: entry min(255, floor((x - lo) * k)) clipped at 0, as
// map_entry computes it, four samples a step where the processor can.
#ifndef FLOATROW_H
#define FLOATROW_H

#include <cmath>
#include <cstdint>

// The pixel of value x: the ramp's entry min(255, floor((x - lo) * k)),
// clipped at 0; bad for NaN and the infinities.
inline unsigned int linear_pixel(double x, double lo, double k, const unsigned int ramp[256],
                                 unsigned int bad)
{
  if (!std::isfinite(x))
    return bad;
  const double t = (x - lo) * k;
  return ramp[t <= 0 ? 0 : t >= 255 ? 255 : static_cast<int>(t)];
}

// n samples from p to out, each the ramp's pixel of its entry, bad for NaN
// and the infinities, cut to mask.
void float_row(uint32_t* out, const unsigned char* p, int n, double lo, double k,
               const unsigned int ramp[256], unsigned int bad, uint32_t mask);

#endif
