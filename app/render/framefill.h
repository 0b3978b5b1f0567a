// Pixel values of frames, and the filling of a client-side image from frame
// planes laid out column by column: the byte of pixel (x, y) at
// x * height + y.
#ifndef FRAMEFILL_H
#define FRAMEFILL_H

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "render/fillview.h"

// Index bytes: the colour table's pixel, black past its 128 entries; without
// a table the byte itself.
void colmap_lut(PixelLut& lut, const unsigned int* colmap, unsigned int black);
// Red, green and blue bytes through the standard colour map (the ICCCM
// formula, rounded to nearest in single precision); red carries base_pixel.
void rgb_luts(PixelLut luts[3], const XStandardColormap& m);
// The colour map that a TrueColor or DirectColor visual's channel masks
// describe; -1 for any other visual.
int visual_map(XStandardColormap& m, const Visual* vis);

// The bits a pixel of depth planes keeps: what the server stores of a
// value.
inline unsigned int plane_mask(int depth)
{
  return depth >= 32 ? 0xffffffffu : (1u << depth) - 1;
}

// The conversion's two implementations: the portable one, and one that uses
// the vector instructions of the target's baseline (SSE2 on x86-64) for
// 32-bit RGB pixels. Both give the same pixels; the portable one is kept
// for targets without them, and tested on every target.
enum FillPath { FILL_PORTABLE, FILL_VECTOR };

// The layouts the conversion writes straight into memory (8 bits, or 16
// and 32 in the host's byte order); any other it writes pixel by pixel.
bool direct_layout(const XImage* img);

// Fills the whole image from nplanes planes (1 or 3) of which the first
// size bytes arrived; pixels they do not reach are black. Values are cut
// to the image's depth, as the server stores them.
void fill_image(XImage* img, const unsigned char* const* planes, const PixelLut* luts, int nplanes,
                int size, unsigned int black, FillPath path = FILL_VECTOR);

// Fills the whole image, the view, from the frame as v places it. The
// frame at 1:1 filling the view exactly goes through fill_image.
void fill_view(XImage* img, const unsigned char* const* planes, const PixelLut* luts, int nplanes,
               int size, unsigned int black, const FrameView& v, FillPath path = FILL_VECTOR);

#endif
