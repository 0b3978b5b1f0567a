// The values at a colour map's ends for a one-channel frame.
#ifndef LIMITS_H
#define LIMITS_H

#include "render/view.h"

// The rule's limits over the n samples (min-max of the finite values; a
// percentile, both tails clipped; zscale), the fixed ones as they are.
// The last two rules look at a sample of the pixels. 0, 0 when no value
// is finite.
void frame_limits(const unsigned char* samples, int format, long n, const ViewSettings& v,
                  double& lo, double& hi);

#endif
