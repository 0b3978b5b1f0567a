// What the conversion of frames and its kernels share: the pixel tables
// and the way a frame lies in the view.
#ifndef FILLVIEW_H
#define FILLVIEW_H

// The pixel value that each byte of one plane contributes. An RGB pixel is
// the sum of its three planes' values in 32-bit unsigned arithmetic.
struct PixelLut {
  unsigned int v[256];
};

// How a frame of w x h pixels lies in a view: zoomed by 2^shift (-4 to 5),
// with the zoomed picture's pixel (pan_x, pan_y) at the view's (0, 0).
struct FrameView {
  long w;
  long h;
  int shift;
  long pan_x;
  long pan_y;
};

// The frame's column (or row) that view column (or row) c shows.
inline long view_source(long c, long pan, int shift)
{
  return shift >= 0 ? (c + pan) >> shift : (c + pan) << -shift;
}

#endif
