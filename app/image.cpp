// The picture of the image window. Everything is drawn into an off-screen
// pixmap first and reaches the window by one copy, so a frame appears whole
// and an expose costs a single copy.
#include "image.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <limits>

#include "WEtc.h"
#include "imagewnd.h"
#include "service.h"

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
      visual(nullptr),
      rgbwarned(0)
{
}

Image::~Image()
{
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

// A server short of memory refuses a large pixmap; the picture then keeps
// its present pixmap and size.
int Image::new_pixmap(int w, int h)
{
  if (picture.make(xwnd, visual, depth, w, h) < 0) {
    error_dialog("Cannot create image pixmap.");
    return -1;
  }
  pixmap = picture.shown();
  width = w;
  height = h;
  XSetForeground(display, dagc, colortbl[0]);
  XFillRectangle(display, pixmap, dagc, 0, 0, width, height);
  return 0;
}

// The pixmap must match the window's depth (the image window may use the
// standard colour map's visual rather than the screen's default one) so that
// the one graphics context serves both and the copy between them is legal.
void Image::init()
{
  WDrawingArea::init();
  XWindowAttributes wa;
  if (xwnd && XGetWindowAttributes(display, xwnd, &wa)) {
    depth = wa.depth;
    visual = wa.visual;
  } else {
    depth = colorpln;
    visual = DefaultVisual(display, screen);
  }
  // The copy's source is always whole: its only exposure event, NoExpose,
  // tells the picture when the server is done with a pixmap.
  XSetGraphicsExposures(display, dagc, True);
  if (new_pixmap(width, height) < 0)
    return;

  WFont tf(title_font);
  ttlfont = tf;
  short y = static_cast<short>(height / 3);
  if (ttlfont.xfs) {
    snprintf(buf, sizeof buf, "%s", "Ravlon");
    int len = static_cast<int>(strlen(buf));
    short x = static_cast<short>((width - XTextWidth(ttlfont.xfs, buf, len)) / 2);
    XSetForeground(display, dagc, colortbl[1]);
    XSetFont(display, dagc, ttlfont.xfs->fid);
    XDrawString(display, pixmap, dagc, x, y, buf, len);
    y = static_cast<short>(y + ttlfont.xfs->max_bounds.ascent + ttlfont.xfs->max_bounds.descent);
  }
  clear_text();
  draw_text(y, credit_line);
  if (imagewnd)
    imagewnd->show_status();
}

void Image::expose()
{
  if (!pixmap || !xwnd)
    return;
  XCopyArea(display, pixmap, xwnd, dagc, 0, 0, width, height, 0, 0);
  XFlush(display);
}

// Before the first expose only the size is kept: init then makes the pixmap
// at the size the window has already taken.
void Image::resize_image(int w, int h)
{
  if (dagc) {
    new_pixmap(w, h);
    return;
  }
  width = w;
  height = h;
}

void Image::clear_text()
{
  if (!pixmap)
    return;
  XSetForeground(display, dagc, colortbl[0]);
  XFillRectangle(display, pixmap, dagc, 0, height / 2, width, height);
}

void Image::draw_text(int y, const char* text)
{
  if (!pixmap)
    return;
  if (font.xfs) {
    int len = static_cast<int>(strlen(text));
    int x = (width - XTextWidth(font.xfs, text, len)) / 2;
    XSetForeground(display, dagc, colortbl[1]);
    XSetFont(display, dagc, font.xfs->fid);
    XDrawString(display, pixmap, dagc, x, y, text, len);
  }
  expose();
}

namespace {

unsigned short colour_component(double c)
{
  double p = c * 65535.0;
  if (p > 65535.0)
    return 65534;
  if (!(p >= 1.0))
    return 0;  // negative, or not a number
  return static_cast<unsigned short>(p);
}

// A number too large for a double still is a number: the stream fails on
// it but yields the largest value of its sign, which the component rule
// clamps. Only text that is not a number ends the table.
bool read_number(std::istream& in, double& v)
{
  v = 0;  // kept when the stream has ended
  if (in >> v)
    return true;
  if (std::fabs(v) != std::numeric_limits<double>::max())
    return false;
  in.clear();
  return true;
}

}  // namespace

// Entry i always belongs to the file's i-th triple, allocated or not.
int Image::alloc_colmap(const char* file)
{
  colmap = new unsigned int[128]();
  colflg = new unsigned char[128]();
  std::ifstream in(file);
  if (!in)
    return -1;
  double r, g, b;
  for (int i = 0; i < 128 && read_number(in, r) && read_number(in, g) && read_number(in, b); i++) {
    XColor xc;
    xc.red = colour_component(r);
    xc.green = colour_component(g);
    xc.blue = colour_component(b);
    xc.flags = DoRed | DoGreen | DoBlue;
    if (XAllocColor(display, colormap, &xc)) {
      colmap[i] = static_cast<unsigned int>(xc.pixel);
      colflg[i] = 1;
    }
  }
  return 0;
}

// The colour file is read at the first colour-mapped frame; a file that
// cannot be read ends the process.
void Image::load_colmap()
{
  if (colmap || !rgbfile || alloc_colmap(rgbfile) == 0)
    return;
  snprintf(buf, sizeof buf, "Cannot read RGB color file %s.", rgbfile);
  fprintf(stderr, "%s: %s\n", appname ? appname : "ravlon", buf);
  exit(1);
}

// The frame's pixels are written into the picture's next image, which
// becomes the picture; the window then gets it whole by one copy.
void Image::show_frame(const unsigned char* const* planes, const PixelLut* luts, int nplanes,
                       int size)
{
  XImage* img = picture.next_image();
  if (!img)
    return;
  fill_image(img, planes, luts, nplanes, size, colortbl[0]);
  pixmap = picture.show_next(dagc);
  expose();
}

void Image::draw_image(const unsigned char* cvec, int size)
{
  if (!pixmap)
    return;
  load_colmap();
  PixelLut lut;
  colmap_lut(lut, colmap, colortbl[0]);
  show_frame(&cvec, &lut, 1, size);
}

// Without a standard colour map a visual with channel masks still says how
// to make a pixel; other visuals cannot show RGB frames.
int Image::rgb_map(XStandardColormap& m)
{
  if (smap) {
    m = *smap;
    return 0;
  }
  if (visual_map(m, visual) == 0)
    return 0;
  if (!rgbwarned)
    error_dialog("Cannot draw RGB frames without a standard colormap.");
  rgbwarned = 1;
  return -1;
}

void Image::draw_image(const unsigned char* r, const unsigned char* g, const unsigned char* b,
                       int size)
{
  XStandardColormap m;
  if (!pixmap || rgb_map(m) == -1)
    return;
  PixelLut luts[3];
  rgb_luts(luts, m);
  const unsigned char* planes[3] = {r, g, b};
  show_frame(planes, luts, 3, size);
}
