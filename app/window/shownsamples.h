// A typed frame in the colours it is shown in, for Save Picture: RGB
// samples as they are, one-channel values through the view's limits,
// scale and colour map (NaN and the infinities magenta).
#ifndef SHOWNSAMPLES_H
#define SHOWNSAMPLES_H

#include <memory>

class Frame;
class Image;

// Red, green and blue planes, column by column (the byte of pixel (x, y)
// at x * height + y), of the frame's size; -1 when memory is short.
int shown_planes(const Frame& f, const Image& img, std::unique_ptr<unsigned char[]> planes[3]);

#endif
