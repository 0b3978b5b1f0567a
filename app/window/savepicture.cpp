// Saving the picture: the last frame's own bytes (not the window's view of
// them) through the PNG writer; colour-mapped and typed frames in the
// colours they are shown in.
#include "window/savepicture.h"

#include <cerrno>
#include <cstdio>
#include <memory>

#include "WContext.h"
#include "WEtc.h"
#include "render/framefill.h"
#include "window/filedialog.h"
#include "window/image.h"
#include "render/frame.h"
#include "window/savepng.h"
#include "window/shownsamples.h"
#include "base/service.h"

namespace {

// The colour each index byte is shown in: the pixel the frame's drawing
// gives it, looked up in the window's colour map. -1 when the X server
// refuses the lookup.
int shown_colours(const Image& img, unsigned char (*rgb)[3])
{
  XWindowAttributes wa;
  if (!img.xwnd || !XGetWindowAttributes(display, img.xwnd, &wa))
    return -1;
  const unsigned long mask = plane_mask(wa.depth);
  XColor xc[256];
  for (int i = 0; i < 256; i++) {
    xc[i].pixel = img.index_lut().v[i] & mask;
    xc[i].flags = DoRed | DoGreen | DoBlue;
  }
  trap_x_errors();
  XQueryColors(display, wa.colormap, xc, 256);
  if (untrap_x_errors() < 0)
    return -1;
  for (int i = 0; i < 256; i++) {
    rgb[i][0] = static_cast<unsigned char>((xc[i].red * 255u + 32767u) / 65535u);
    rgb[i][1] = static_cast<unsigned char>((xc[i].green * 255u + 32767u) / 65535u);
    rgb[i][2] = static_cast<unsigned char>((xc[i].blue * 255u + 32767u) / 65535u);
  }
  return 0;
}

}  // namespace

PictureSaver::PictureSaver(const Frame& f, const Image& i)
    : FileSaver(f, "Save Picture", "*.png"), image(i)
{
}

// The frame held is the one on the screen, whole whatever the next one
// does.
void PictureSaver::save(const char* file)
{
  PngFrame f;
  if (saved_frame(f) < 0) {
    report(file, "no frame has been shown");
    return;
  }
  std::unique_ptr<unsigned char[]> shown[3];
  if (frame.kind == FRAME_SAMPLES) {
    if (shown_planes(frame, image, shown) < 0) {
      report(file, "out of memory");
      return;
    }
    for (int c = 0; c < 3; c++)
      f.planes[c] = shown[c].get();
    f.nplanes = 3;
    f.size = frame.width * frame.height;
  }
  unsigned char colours[256][3];
  if (f.nplanes == 1 && shown_colours(image, colours) < 0) {
    report(file, "the colormap cannot be read");
    return;
  }
  f.colours = colours;
  char why[256];
  if (write_png(file, f, why, sizeof why) < 0)
    report(file, why);
}

int PictureSaver::saved_frame(PngFrame& f) const
{
  if (!frame.held())
    return -1;
  f.nplanes = frame.planes(f.planes);
  f.size = frame.size;
  f.width = frame.width;
  f.height = frame.height;
  f.colours = nullptr;
  return 0;
}
