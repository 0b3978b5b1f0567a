// A typed frame converted while it arrives: each piece of its samples
// goes into the next picture right after its read, while it is still in
// the cache, and when the last bytes come only the last piece is left.
#include <X11/Xlib.h>

#include "WEtc.h"
#include "render/samples.h"
#include "window/image.h"

void Image::frame_arriving(const unsigned char* samples, int format, long bytes)
{
  const bool own_limits =
      !rgb_format(format) && !view.locked && view.fixed != (RAVLON_VIEW_VMIN | RAVLON_VIEW_VMAX);
  if (!pixmap || !rgbok || own_limits || !samples)
    return;
  // Within a frame the bytes only grow: fewer than before begin another.
  // Pieces begin once the server is done with the next picture: reading
  // the frame goes on meanwhile, instead of waiting for it.
  if (!pieces.img || pieces.src != samples || pieces.format != format || bytes <= pieces.bytes) {
    pieces = Pieces();
    if (!picture.next_is_free())
      return;
    XImage* img = picture.next_image();
    if (!img)
      return;
    pieces.img = img;
    pieces.src = samples;
    pieces.format = format;
    // Fixed limits are the frame's whatever frame was shown before it.
    if (!rgb_format(format) && !view.locked) {
      limit_lo = view.vmin;
      limit_hi = view.vmax;
    }
  }
  pieces.bytes = bytes;
  const long rows = bytes / (static_cast<long>(width) * pixel_bytes(format));
  long to = pieces.rows;
  while (to < pieces.img->height && view_source(to, pan_y, zoom_shift) < rows)
    to++;
  if (to > pieces.rows)
    fill_rows(pieces.img, samples, format, pieces.rows, to);
  pieces.rows = to;
}

// The pieces made so far belong to the frame now held, in img.
bool Image::pieces_of(XImage* img) const
{
  return pieces.img == img && frame.kind == FRAME_SAMPLES && pieces.src == frame.samples() &&
         pieces.format == frame.format;
}

// A picture of the rows alone, its first row the view's row from: the
// view's rows are its pan's, so the same fill serves.
void Image::fill_rows(XImage* img, const unsigned char* samples, int format, long from, long to)
{
  XImage part = *img;
  part.data = img->data + from * img->bytes_per_line;
  part.height = static_cast<int>(to - from);
  const FrameView v = {width, height, zoom_shift, pan_x, pan_y + from};
  SampleMap m;
  sample_map(m);
  sample_fill.fill(&part, samples, format, m, rgblut, colortbl[0], v);
}
