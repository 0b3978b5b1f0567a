// Row-major RGB or RGBA samples into 32-bit 0xRRGGBB pixels, the layout
// of most 24-bit screens: a byte shuffle, vectorised where the processor
// can.
#ifndef RGBROW_H
#define RGBROW_H

#include <cstdint>

// n pixels of px bytes (3: R G B, 4: R G B A, alpha ignored) from p to
// out, each cut to mask.
void rgb_row(uint32_t* out, const unsigned char* p, int n, int px, uint32_t mask);

#endif
