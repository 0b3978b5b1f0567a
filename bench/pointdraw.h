// The reference renderer the benchmark measures against: one foreground
// change and one point request per pixel into the image's pixmap, then one
// copy to the window, with the pixel values computed pixel by pixel.
#ifndef POINTDRAW_H
#define POINTDRAW_H

#include <X11/Xutil.h>

class Image;

void point_draw_rgb(Image& im, const XStandardColormap& m, const unsigned char* r,
                    const unsigned char* g, const unsigned char* b);
void point_draw_colmap(Image& im, const unsigned char* cvec);

#endif
