// Gathering a frame's values into the rows Save Data writes.
#include "window/datarows.h"

#include <cstring>

#include "render/frame.h"
#include "render/samples.h"

DataRows::DataRows(const Frame& f)
    : type(RAVLON_U8),
      sample_bytes(1),
      big_endian(false),
      channels(f.kind == FRAME_INDEX ? 1 : 3),
      width(f.width),
      height(f.height),
      frame(f)
{
  if (f.kind == FRAME_SAMPLES && !rgb_format(f.format)) {
    type = sample_type(f.format);
    sample_bytes = pixel_bytes(f.format);
    big_endian = (f.format & RAVLON_BIG_ENDIAN) != 0;
    channels = 1;
  }
}

void DataRows::row(int y, unsigned char* out) const
{
  if (frame.kind == FRAME_SAMPLES)
    sample_row(y, out);
  else
    plane_row(y, out);
}

// An RGBA pixel's alpha is not part of the picture: it is left out.
void DataRows::sample_row(int y, unsigned char* out) const
{
  const long px = pixel_bytes(frame.format), start = static_cast<long>(y) * width * px;
  const long n = frame.size < start ? 0 : frame.size - start;
  memset(out, 0, static_cast<size_t>(row_bytes()));
  const unsigned char* p = frame.samples() + start;
  if (channels == 1) {
    memcpy(out, p, static_cast<size_t>(n < row_bytes() ? n : row_bytes()));
    return;
  }
  for (long x = 0; x < width && (x + 1) * px <= n; x++)
    memcpy(out + x * 3, p + x * px, 3);
}

// The planes hold pixel (x, y) at x * height + y.
void DataRows::plane_row(int y, unsigned char* out) const
{
  const unsigned char* p[3];
  frame.planes(p);
  for (long x = 0; x < width; x++) {
    const long i = x * height + y;
    for (int c = 0; c < channels; c++)
      out[x * channels + c] = i < frame.size ? p[c][i] : 0;
  }
}
