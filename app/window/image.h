// The picture of the image window: an off-screen pixmap of the view (the
// frame zoomed by 2^zoom_shift, cut to what fits the screen), drawn from
// the frame store's frame and status text, copied to the window on expose.
#ifndef IMAGE_H
#define IMAGE_H

#include "WDrawingArea.h"
#include "WFont.h"
#include "render/colourfile.h"
#include "render/frame.h"
#include "render/framefill.h"
#include "render/picture.h"
#include "render/samplefill.h"
#include "render/view.h"

// What the image tells the window it is in.
class ImageListener {
public:
  virtual ~ImageListener() = default;
  // The start-up picture has been drawn, with room for the server's lines.
  virtual void title_drawn() = 0;
  // The pointer, the pan or the view has changed.
  virtual void view_touched() = 0;
  // One-channel frames are shown otherwise: another map, scale or limits.
  virtual void view_changed() = 0;
};

class Image : public WDrawingArea {
public:
  // map: the standard colour map RGB frames are drawn with, owned by the
  // caller for the image's life; null for none. frame: the frame store it
  // draws from, likewise.
  Image(Widget parent, const XStandardColormap* map, const Frame& frame);
  ~Image() override;

  void init() override;
  void expose() override;

  int alloc_colmap(const char* file);
  // Draws the frame store's frame; pixels past its size stay black. Before
  // the first exposure it is drawn then. -1 (reported) when it cannot be.
  int draw_frame();
  // The frame's new size, shown 1:1; or at zoom 2^shift in a view of at
  // most maxw x maxh. -1 (reported) keeps everything as it was.
  int resize_image(int w, int h) { return resize_image(w, h, 0, w, h); }
  int resize_image(int w, int h, int shift, int maxw, int maxh);
  // Another zoom of the same frame (shift ZOOM_MIN to ZOOM_MAX, as maxw and
  // maxh were worked out for); the view's centre stays where it is.
  int set_zoom(int shift, int maxw, int maxh);
  // Puts the zoomed picture's pixel (px, py), as far as it can go, at the
  // view's (0, 0).
  void pan_to(int px, int py);
  // The image pixel at position (wx, wy) of the drawing area; -1 outside.
  int image_pixel(int wx, int wy, int* x, int* y) const;
  void clear_text();
  void draw_text(int y, const char* text);
  void keyboard(const XKeyEvent* ev) override;
  void mouse(const XEvent* ev) override;
  // The pixel value each index byte is drawn with.
  const PixelLut& index_lut() const { return maplut; }
  void set_listener(ImageListener* l) { listener = l; }
  // One-channel frames are shown so from now on; the frame is drawn again,
  // with limits taken anew unless they are locked and v's limits are the
  // present view's.
  void set_view(const ViewSettings& v);
  // The map of one-channel values to pixels in use.
  void sample_map(SampleMap& m) const;
  // The colour, R G B, of the map's entry e (0 to 255) as the view shows it.
  const unsigned char* entry_colour(int e) const;
  // The frame store's frame, changed, drawn again (not counted as a frame
  // received), with limits of its own unless they are locked.
  void redraw_frame();
  // The first bytes of the next frame's samples, a frame of the picture's
  // size in format, are at samples: the view rows they make are converted
  // into the next picture now, while they are in the cache, and the rest
  // when the frame is whole. Frames whose limits come from their own
  // values wait for the whole frame.
  void frame_arriving(const unsigned char* samples, int format, long bytes);
  // The frame those bytes belonged to will not come.
  void drop_pieces() { pieces = Pieces(); }
  void pointer_left();

  char* rgbfile;
  unsigned int* colmap;
  unsigned char* colflg;
  unsigned int file_rgb[COLOUR_ENTRIES];  // the colour file's colours, as 0xRRGGBB
  Pixmap pixmap;                          // the picture shown, one of picture's
  WFont ttlfont;
  int width;  // of the frame
  int height;
  int zoom_shift;  // zoom factor 2^zoom_shift, ZOOM_MIN to ZOOM_MAX
  int pan_x;       // the zoomed picture's pixel at the view's (0, 0)
  int pan_y;
  int view_w;  // the pixmap, what the window shows
  int view_h;
  long frames_shown;
  ViewSettings view;  // how one-channel frames are shown
  double limit_lo;    // the values at the map's ends, in use
  double limit_hi;
  // The pointer in the drawing area, -1 when outside.
  int pointer_x;
  int pointer_y;

private:
  int new_pixmap(int w, int h);
  int take_view(int w, int h, int shift, int maxw, int maxh, int px, int py);
  void redraw();
  void draw_title();
  bool can_draw() const;
  int show_frame();
  void fill_frame(XImage* img);
  // View rows from to to of img, from samples in format.
  void fill_rows(XImage* img, const unsigned char* samples, int format, long from, long to);
  bool pieces_of(XImage* img) const;
  void take_limits();
  // A drag with the third button: contrast and brightness.
  void drag_limits(int dx, int dy);
  void make_rgb_luts();
  void load_colmap();

  int depth;       // of the window, and so of the pixmap
  Visual* visual;  // of the window
  const XStandardColormap* stdmap;
  // The conversion of frame bytes to pixel values, made when the visual is
  // known and when the colour table is loaded, not for every frame.
  PixelLut rgblut[3];
  PixelLut maplut;
  char rgbok;  // rgblut can be used: a standard map or channel masks
  Picture picture;
  char rgbwarned;  // the missing colour map has been reported
  const Frame& frame;
  ImageListener* listener;
  SampleFill sample_fill;
  // The next picture as the samples of the frame arriving fill it.
  struct Pieces {
    XImage* img = nullptr;  // null: none begun
    const unsigned char* src = nullptr;
    int format = 0;
    long bytes = 0;  // of the samples, when last told
    long rows = 0;   // view rows converted
  } pieces;
  int drag_x;  // where a drag with a button began, pan then
  int drag_y;
  int drag_pan_x;
  int drag_pan_y;
  double drag_lo;  // and the limits then
  double drag_hi;
};

const int ZOOM_MIN = -4;
const int ZOOM_MAX = 5;

// The size of n pixels at zoom 2^shift.
inline int zoomed(int n, int shift)
{
  return shift >= 0 ? n << shift : (n + (1 << -shift) - 1) >> -shift;
}

// The zoom at which w x h fits maxw x maxh whole: the largest one, or with
// grow 0 the largest one up to 1:1; ZOOM_MIN when none does.
int fit_shift(int w, int h, int maxw, int maxh, char grow);

void eh_leave_image(Widget w, XtPointer usr, XEvent* evt, Boolean* cont);

#endif
