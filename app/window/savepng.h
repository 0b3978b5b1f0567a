// Writing a frame as it was received to a PNG file, 8-bit RGB, without X:
// the frame's planes laid out column by column (the byte of pixel (x, y)
// at x * height + y), of which the first size bytes arrived.
#ifndef SAVEPNG_H
#define SAVEPNG_H

#include <cstddef>

struct PngFrame {
  const unsigned char* planes[3];  // red, green, blue; or the index plane alone
  int nplanes;                     // 3 or 1
  int size;                        // bytes of each plane that arrived
  int width;
  int height;
  // The colour of each index byte when nplanes is 1: red, green, blue.
  const unsigned char (*colours)[3];
};

// Pixels past size are black, as they are shown. The file is written
// as replace_file() writes: whole or not at all. Returns 0, or -1 with the
// reason (the system's or libpng's) in why.
int write_png(const char* file, const PngFrame& f, char* why, size_t whylen);

#endif
