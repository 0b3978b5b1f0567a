// The image window's last frame: kept in the vectors it arrived in, so that
// it can be drawn again at the image's first exposure and saved, until the
// next frame's planes begin to overwrite it.
#include "decoder.h"
#include "image.h"
#include "imagewnd.h"
#include "savepicture.h"
#include "savepng.h"

void ImageWnd::frame_drawn(int nplanes, int size)
{
  shown = {nplanes, size};
  saver->frame_done();
}

void ImageWnd::forget_frame(int plane)
{
  if ((shown.nplanes == 1) == (plane == PLANE_CVEC))
    shown.nplanes = 0;
}

bool ImageWnd::frame_arriving() const
{
  return connected && !decoder.idle();
}

int ImageWnd::saved_frame(PngFrame& f) const
{
  if (!shown.nplanes)
    return -1;
  f.nplanes = shown.nplanes;
  f.planes[0] = shown.nplanes == 1 ? cvec : red_vec;
  f.planes[1] = green_vec;
  f.planes[2] = blue_vec;
  f.size = shown.size;
  f.width = image()->width;
  f.height = image()->height;
  f.colours = nullptr;
  return 0;
}

// Frames that arrive before the image can draw are not lost: the last of
// them is shown as soon as it can be.
void ImageWnd::redraw_frame()
{
  if (shown.nplanes == 3)
    image()->draw_image(red_vec, green_vec, blue_vec, shown.size);
  else if (shown.nplanes == 1)
    image()->draw_image(cvec, shown.size);
}
