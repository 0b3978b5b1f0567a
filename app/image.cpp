// The picture of the image window. Everything is drawn into an off-screen
// pixmap first and reaches the window by one copy, so a frame appears whole
// and an expose costs a single copy.
#include "image.h"

#include <cstdio>
#include <cstring>

#include "WEtc.h"
#include "imagewnd.h"

namespace {

const char* const title_font = "-adobe-times-bold-r-*-*-14-*-*-*-*-*-*-*";
const char* const credit_line = "Image display server";

}  // namespace

Image::Image(Widget parent)
    : WDrawingArea(parent),
      rgbfile(nullptr),
      colmap(nullptr),
      colflg(nullptr),
      pixmap(0),
      ttlfont("6x13"),
      width(256),
      height(256),
      depth(0),
      visual(nullptr) {}

Image::~Image() {
  if (pixmap) XFreePixmap(display, pixmap);
  if (colmap) {
    for (int i = 0; i < 128; i++)
      if (colflg[i]) {
        unsigned long px = colmap[i];
        XFreeColors(display, colormap, &px, 1, 0);
      }
    delete[] colmap;
    delete[] colflg;
  }
  delete[] rgbfile;
  ttlfont.free();
}

void Image::new_pixmap() {
  if (pixmap) XFreePixmap(display, pixmap);
  pixmap = XCreatePixmap(display, xwnd, width, height, depth);
  XSetForeground(display, dagc, colortbl[0]);
  XFillRectangle(display, pixmap, dagc, 0, 0, width, height);
}

// The pixmap must match the window's depth (the image window may use the
// standard colour map's visual rather than the screen's default one) so that
// the one graphics context serves both and the copy between them is legal.
void Image::init() {
  WDrawingArea::init();
  XWindowAttributes wa;
  if (xwnd && XGetWindowAttributes(display, xwnd, &wa)) {
    depth = wa.depth;
    visual = wa.visual;
  } else {
    depth = colorpln;
    visual = DefaultVisual(display, screen);
  }
  new_pixmap();

  WFont tf(title_font);
  ttlfont = tf;
  if (ttlfont.xfs) {
    snprintf(buf, sizeof buf, "%s", "Ravlon");
    int len = static_cast<int>(strlen(buf));
    short x = static_cast<short>((width - XTextWidth(ttlfont.xfs, buf, len)) / 2);
    short y = static_cast<short>(height / 3);
    XSetForeground(display, dagc, colortbl[1]);
    XSetFont(display, dagc, ttlfont.xfs->fid);
    XDrawString(display, pixmap, dagc, x, y, buf, len);
    y = static_cast<short>(y + ttlfont.xfs->max_bounds.ascent + ttlfont.xfs->max_bounds.descent);
    clear_text();
    draw_text(y, credit_line);
  } else {
    expose();
  }
  if (imagewnd) imagewnd->show_status();
}

void Image::expose() {
  if (!pixmap || !xwnd) return;
  XCopyArea(display, pixmap, xwnd, dagc, 0, 0, width, height, 0, 0);
  XFlush(display);
}

// Before the first expose only the size is kept: init then makes the pixmap
// at the size the window has already taken.
void Image::resize_image(int w, int h) {
  width = w;
  height = h;
  if (dagc) new_pixmap();
}

void Image::clear_text() {
  if (!dagc) return;
  XSetForeground(display, dagc, colortbl[0]);
  XFillRectangle(display, pixmap, dagc, 0, height / 2, width, height);
}

void Image::draw_text(int y, const char* text) {
  if (!dagc) return;
  if (font.xfs) {
    int len = static_cast<int>(strlen(text));
    int x = (width - XTextWidth(font.xfs, text, len)) / 2;
    XSetForeground(display, dagc, colortbl[1]);
    XSetFont(display, dagc, font.xfs->fid);
    XDrawString(display, pixmap, dagc, x, y, text, len);
  }
  expose();
}

int Image::alloc_colmap(const char*) { return 0; }

void Image::draw_image(const unsigned char*, int) {
  if (dagc) expose();
}

void Image::draw_image(const unsigned char*, const unsigned char*, const unsigned char*, int) {
  if (dagc) expose();
}
