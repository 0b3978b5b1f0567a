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
#include "nearcolour.h"
#include "service.h"

namespace {

const char* const title_font = "-adobe-times-bold-r-*-*-14-*-*-*-*-*-*-*";
const char* const credit_line = "Image display server";

}  // namespace

Image::Image(Widget parent, const XStandardColormap* map)
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
      stdmap(map),
      rgblut(),
      maplut(),
      rgbok(0),
      turn(0),
      rgbwarned(0)
{
}

Image::~Image()
{
  if (pixmap)
    XFreePixmap(display, pixmap);
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
  trap_x_errors();
  Pixmap p = XCreatePixmap(display, xwnd, static_cast<unsigned>(w), static_cast<unsigned>(h),
                           static_cast<unsigned>(depth));
  if (untrap_x_errors() < 0) {
    error_dialog("Cannot create image pixmap.");
    return -1;
  }
  if (pixmap)
    XFreePixmap(display, pixmap);
  pixmap = p;
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
  // The copy's source is always whole: no exposure events are wanted back.
  XSetGraphicsExposures(display, dagc, False);
  make_rgb_luts();
  colmap_lut(maplut, colmap, colortbl[0]);
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
  if (imagewnd) {
    imagewnd->show_status();
    imagewnd->redraw_frame();
  }
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
int Image::resize_image(int w, int h)
{
  if (dagc)
    return new_pixmap(w, h);
  width = w;
  height = h;
  return 0;
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
    colflg[i] =
        alloc_nearest(display, colormap, visual ? visual : DefaultVisual(display, screen), xc);
    colmap[i] = static_cast<unsigned int>(xc.pixel);
  }
  return 0;
}

// The colour file is read at the first colour-mapped frame; a file that
// cannot be read ends the process.
void Image::load_colmap()
{
  if (colmap || !rgbfile)
    return;
  if (alloc_colmap(rgbfile) == 0) {
    colmap_lut(maplut, colmap, colortbl[0]);
    return;
  }
  snprintf(buf, sizeof buf, "Cannot read RGB color file %s.", rgbfile);
  fprintf(stderr, "%s: %s\n", appname ? appname : "ravlon", buf);
  exit(1);
}

// The frame's pixels go to the pixmap in one image request; the window then
// gets the whole picture by one copy.
void Image::show_frame(const unsigned char* const* planes, const PixelLut* luts, int nplanes,
                       int size)
{
  FrameBuf& frame = frames[turn];
  if (frame.prepare(visual, depth, width, height) == -1)
    return;
  turn ^= 1;
  fill_image(frame.image(), planes, luts, nplanes, size, colortbl[0]);
  frame.put(pixmap, dagc);
  expose();
}

void Image::draw_image(const unsigned char* cvec, int size)
{
  if (!pixmap)
    return;
  load_colmap();
  show_frame(&cvec, &maplut, 1, size);
}

// Without a standard colour map a visual with channel masks still says how
// to make a pixel; other visuals cannot show RGB frames.
void Image::make_rgb_luts()
{
  XStandardColormap m;
  if (stdmap)
    m = *stdmap;
  rgbok = stdmap || visual_map(m, visual) == 0;
  if (rgbok)
    rgb_luts(rgblut, m);
}

void Image::draw_image(const unsigned char* r, const unsigned char* g, const unsigned char* b,
                       int size)
{
  if (!pixmap)
    return;
  if (!rgbok) {
    if (!rgbwarned)
      error_dialog("Cannot draw RGB frames without a standard colormap.");
    rgbwarned = 1;
    return;
  }
  const unsigned char* planes[3] = {r, g, b};
  show_frame(planes, rgblut, 3, size);
}
