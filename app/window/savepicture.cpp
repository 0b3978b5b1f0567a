// Saving the picture: the last frame's own bytes (not the window's view of
// them) through the PNG writer; colour-mapped frames in the colours their
// pixel values have on the screen.
#include "window/savepicture.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <Xm/FileSB.h>

#include "WContext.h"
#include "WDialog.h"
#include "WEtc.h"
#include "WShl.h"
#include "render/framefill.h"
#include "window/image.h"
#include "render/frame.h"
#include "window/savepng.h"
#include "base/service.h"

namespace {

const int DLG_W = 400;
const int DLG_H = 300;

void report(const char* file, const char* why)
{
  snprintf(buf, sizeof buf, "Cannot save picture to %.400s: %.80s.", file, why);
  error_dialog(buf);
}

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
    : dlg(nullptr), replace(*this), frame(f), image(i)
{
}

PictureSaver::~PictureSaver()
{
  delete dlg;
}

void PictureSaver::choose()
{
  if (!frame.held()) {
    error_dialog("There is no picture to save.");
    return;
  }
  // On the application shell, as the error window: the image window may
  // have a visual and colour map of its own.
  if (!dlg) {
    dlg = new WDialogFile(context->appshl->xtwgt);
    dlg->set_title("Save Picture");
    dlg->set_geom(upper_middle(DLG_W, DLG_H));
    set_typed_string(dlg->xtwgt, XmNpattern, "*.png");
    dlg->set_cp(cp_answer_save, this);
  }
  dlg->show();
}

void PictureSaver::chosen(const char* file)
{
  if (replace.write(file) < 0)
    report(file, strerror(EISDIR));
}

// The frame held is the one on the screen, whole whatever the next one
// does.
void PictureSaver::write_file(const char* file)
{
  dlg->hide();
  PngFrame f;
  if (saved_frame(f) < 0) {
    report(file, "no frame has been shown");
    return;
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

// OK with a name goes on to the file; Cancel, or OK without a name, closes
// the dialog.
void cp_answer_save(Widget, XtPointer usr, XtPointer call)
{
  PictureSaver* s = static_cast<PictureSaver*>(usr);
  const XmFileSelectionBoxCallbackStruct* cs =
      static_cast<const XmFileSelectionBoxCallbackStruct*>(call);
  if (cs && cs->reason == XmCR_OK && s->dlg->fnam && s->dlg->fnam[0])
    s->chosen(s->dlg->fnam);
  else
    s->dlg->hide();
}
