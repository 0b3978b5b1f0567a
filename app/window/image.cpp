// The picture of the image window. Everything is drawn into an off-screen
// pixmap first and reaches the window by one copy, so a frame appears whole
// and an expose costs a single copy.
#include "window/image.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "WEtc.h"
#include "base/service.h"
#include "render/colourfile.h"
#include "render/nearcolour.h"

namespace {

const char* const title_font = "-adobe-times-bold-r-*-*-14-*-*-*-*-*-*-*";
const char* const credit_line = "Image display server";

}  // namespace

Image::Image(Widget parent, const XStandardColormap* map, const Frame& f)
    : WDrawingArea(parent),
      rgbfile(nullptr),
      colmap(nullptr),
      colflg(nullptr),
      file_rgb(),
      pixmap(0),
      ttlfont("6x13"),
      width(256),
      height(256),
      zoom_shift(0),
      pan_x(0),
      pan_y(0),
      view_w(256),
      view_h(256),
      frames_shown(0),
      view(default_view()),
      limit_lo(0),
      limit_hi(0),
      pointer_x(-1),
      pointer_y(-1),
      depth(0),
      visual(nullptr),
      stdmap(map),
      rgblut(),
      maplut(),
      rgbok(0),
      rgbwarned(0),
      frame(f),
      listener(nullptr),
      drag_x(0),
      drag_y(0),
      drag_pan_x(0),
      drag_pan_y(0),
      drag_lo(0),
      drag_hi(0)
{
  set_trackmouse();
  XtAddEventHandler(xtwgt, LeaveWindowMask, False, eh_leave_image, nullptr);
}

Image::~Image()
{
  if (colmap) {
    for (int i = 0; i < COLOUR_ENTRIES; i++)
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
  drop_pieces();
  if (picture.make(xwnd, visual, depth, w, h) < 0) {
    error_dialog("Cannot create image pixmap.");
    return -1;
  }
  pixmap = picture.shown();
  view_w = w;
  view_h = h;
  XSetForeground(display, dagc, colortbl[0]);
  XFillRectangle(display, pixmap, dagc, 0, 0, view_w, view_h);
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
  make_rgb_luts();
  colmap_lut(maplut, colmap, colortbl[0]);
  if (new_pixmap(view_w, view_h) < 0)
    return;
  draw_title();
  // Frames that arrived before the image could draw are not lost: the
  // last of them is shown now.
  if (frame.held())
    draw_frame();
}

// The start-up picture: the title at a third of the view's height, the
// credit line below it and, below them, the server's lines.
void Image::draw_title()
{
  WFont tf(title_font);
  ttlfont = tf;
  short y = static_cast<short>(view_h / 3);
  if (ttlfont.xfs) {
    snprintf(buf, sizeof buf, "%s", "Ravlon");
    int len = static_cast<int>(strlen(buf));
    short x = static_cast<short>((view_w - XTextWidth(ttlfont.xfs, buf, len)) / 2);
    XSetForeground(display, dagc, colortbl[1]);
    XSetFont(display, dagc, ttlfont.xfs->fid);
    XDrawString(display, pixmap, dagc, x, y, buf, len);
    y = static_cast<short>(y + ttlfont.xfs->max_bounds.ascent + ttlfont.xfs->max_bounds.descent);
  }
  clear_text();
  draw_text(y, credit_line);
  if (listener)
    listener->title_drawn();
}

void Image::expose()
{
  if (!pixmap || !xwnd)
    return;
  XCopyArea(display, pixmap, xwnd, dagc, 0, 0, view_w, view_h, 0, 0);
  XFlush(display);
}

namespace {

// The pan p, as far as it can go with a view of view pixels on a picture
// of n pixels zoomed by 2^shift.
int clamp_pan(int p, int n, int shift, int view)
{
  return std::max(0, std::min(p, zoomed(n, shift) - view));
}

}  // namespace

// Before the first expose only the sizes are kept: init then makes the
// pixmap at the size the window has already taken.
int Image::take_view(int w, int h, int shift, int maxw, int maxh, int cx, int cy)
{
  const int vw = std::max(1, std::min(zoomed(w, shift), maxw));
  const int vh = std::max(1, std::min(zoomed(h, shift), maxh));
  if (dagc && (vw != view_w || vh != view_h || !pixmap) && new_pixmap(vw, vh) < 0)
    return -1;
  width = w;
  height = h;
  zoom_shift = shift;
  view_w = vw;
  view_h = vh;
  pan_x = clamp_pan(cx - vw / 2, w, shift, vw);
  pan_y = clamp_pan(cy - vh / 2, h, shift, vh);
  return 0;
}

// The new size has no frame yet: the picture is black. The same size keeps
// the pan.
int Image::resize_image(int w, int h, int shift, int maxw, int maxh)
{
  const bool same = w == width && h == height && shift == zoom_shift;
  const int cx = same ? pan_x + view_w / 2 : 0, cy = same ? pan_y + view_h / 2 : 0;
  if (take_view(w, h, shift, maxw, maxh, cx, cy) < 0)
    return -1;
  if (pixmap) {
    XSetForeground(display, dagc, colortbl[0]);
    XFillRectangle(display, pixmap, dagc, 0, 0, view_w, view_h);
  }
  return 0;
}

int Image::set_zoom(int shift, int maxw, int maxh)
{
  const double f = std::ldexp(1.0, shift - zoom_shift);
  const int cx = static_cast<int>((pan_x + view_w / 2.0) * f);
  const int cy = static_cast<int>((pan_y + view_h / 2.0) * f);
  if (take_view(width, height, shift, maxw, maxh, cx, cy) < 0)
    return -1;
  redraw();
  return 0;
}

void Image::pan_to(int px, int py)
{
  px = clamp_pan(px, width, zoom_shift, view_w);
  py = clamp_pan(py, height, zoom_shift, view_h);
  if (px == pan_x && py == pan_y)
    return;
  pan_x = px;
  pan_y = py;
  redraw();
}

int Image::image_pixel(int wx, int wy, int* x, int* y) const
{
  if (wx < 0 || wy < 0 || wx >= view_w || wy >= view_h)
    return -1;
  const long ix = view_source(wx, pan_x, zoom_shift), iy = view_source(wy, pan_y, zoom_shift);
  if (ix >= width || iy >= height)
    return -1;
  *x = static_cast<int>(ix);
  *y = static_cast<int>(iy);
  return 0;
}

// The frame, at the view's present zoom and pan; before any frame the
// start-up picture.
void Image::redraw()
{
  if (!pixmap)
    return;
  if (can_draw())
    show_frame();
  else
    draw_title();
}

int fit_shift(int w, int h, int maxw, int maxh, char grow)
{
  for (int s = grow ? ZOOM_MAX : 0; s > ZOOM_MIN; s--)
    if (zoomed(w, s) <= maxw && zoomed(h, s) <= maxh)
      return s;
  return ZOOM_MIN;
}

void Image::clear_text()
{
  if (!pixmap)
    return;
  XSetForeground(display, dagc, colortbl[0]);
  XFillRectangle(display, pixmap, dagc, 0, view_h / 2, view_w, view_h);
}

void Image::draw_text(int y, const char* text)
{
  if (!pixmap)
    return;
  if (font.xfs) {
    int len = static_cast<int>(strlen(text));
    int x = (view_w - XTextWidth(font.xfs, text, len)) / 2;
    XSetForeground(display, dagc, colortbl[1]);
    XSetFont(display, dagc, font.xfs->fid);
    XDrawString(display, pixmap, dagc, x, y, text, len);
  }
  expose();
}

// Entry i always belongs to the file's i-th triple, allocated or not.
int Image::alloc_colmap(const char* file)
{
  colmap = new unsigned int[COLOUR_ENTRIES]();
  colflg = new unsigned char[COLOUR_ENTRIES]();
  XColor colours[COLOUR_ENTRIES];
  const int n = read_colour_file(file, colours);
  Visual* vis = visual ? visual : DefaultVisual(display, screen);
  for (int i = 0; i < n; i++) {
    XColor& xc = colours[i];
    file_rgb[i] = (xc.red >> 8u) << 16 | (xc.green >> 8u) << 8 | xc.blue >> 8u;
    colflg[i] = alloc_nearest(display, colormap, vis, xc);
    colmap[i] = static_cast<unsigned int>(xc.pixel);
  }
  return n < 0 ? -1 : 0;
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
  colour_file_message(buf, sizeof buf, rgbfile, errno);
  fprintf(stderr, "%s: %s\n", appname ? appname : "ravlon", buf);
  exit(1);
}

// The frame's pixels are written into the picture's next image, which
// becomes the picture; the window then gets it whole by one copy. -1 when
// there is no image to write into (reported).
// The rows the frame's pieces made are not made again; any other drawing
// ends the pieces, which begin again from what has arrived by then.
int Image::show_frame()
{
  XImage* img = picture.next_image();
  if (!img)
    return -1;
  if (pieces_of(img))
    fill_rows(img, frame.samples(), frame.format, pieces.rows, img->height);
  else
    fill_frame(img);
  drop_pieces();
  pixmap = picture.show_next(dagc);
  expose();
  return 0;
}

void Image::fill_frame(XImage* img)
{
  const FrameView v = {width, height, zoom_shift, pan_x, pan_y};
  if (frame.kind == FRAME_SAMPLES) {
    SampleMap m;
    sample_map(m);
    sample_fill.fill(img, frame.samples(), frame.format, m, rgblut, colortbl[0], v);
    return;
  }
  const unsigned char* planes[3];
  const int n = frame.planes(planes);
  fill_view(img, planes, n == FRAME_RGB ? rgblut : &maplut, n, frame.size, colortbl[0], v);
}

// RGB and typed frames need a way to make pixels from bytes.
bool Image::can_draw() const
{
  return frame.kind == FRAME_INDEX || (frame.kind != FRAME_NONE && rgbok);
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

int Image::draw_frame()
{
  if (!pixmap || frame.kind == FRAME_NONE)
    return 0;
  if (frame.kind == FRAME_INDEX) {
    load_colmap();
  } else if (!rgbok) {
    if (!rgbwarned)
      error_dialog("Cannot draw RGB frames without a standard colormap.");
    rgbwarned = 1;
    return -1;
  }
  if (frame.kind == FRAME_SAMPLES && !view.locked)
    take_limits();
  if (show_frame() < 0)
    return -1;
  frames_shown++;
  return 0;
}
