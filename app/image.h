// The picture of the image window: an off-screen pixmap of the image size,
// drawn from frames and status text, copied to the window on expose.
#ifndef IMAGE_H
#define IMAGE_H

#include "WDrawingArea.h"
#include "WFont.h"
#include "framebuf.h"
#include "framefill.h"

class Image : public WDrawingArea {
public:
  explicit Image(Widget parent);
  ~Image() override;

  void init() override;
  void expose() override;

  int alloc_colmap(const char* file);
  // A frame carries size bytes per plane, column by column (the byte of
  // pixel (x, y) at x * height + y); pixels past size stay black.
  void draw_image(const unsigned char* cvec, int size);
  void draw_image(const unsigned char* r, const unsigned char* g, const unsigned char* b, int size);
  void resize_image(int w, int h);
  void clear_text();
  void draw_text(int y, const char* text);

  char* rgbfile;
  unsigned int* colmap;
  unsigned char* colflg;
  Pixmap pixmap;
  WFont ttlfont;
  int width;
  int height;

private:
  int new_pixmap(int w, int h);
  void show_frame(const unsigned char* const* planes, const PixelLut* luts, int nplanes, int size);
  int rgb_map(XStandardColormap& m);
  void load_colmap();

  int depth;       // of the window, and so of the pixmap
  Visual* visual;  // of the window
  // Used in turn: a frame is filled while the X server may still be
  // reading the one before it.
  FrameBuf frames[2];
  int turn;
  char rgbwarned;  // the missing colour map has been reported
};

#endif
