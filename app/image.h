// The picture of the image window: an off-screen pixmap of the image size,
// drawn from frames and status text, copied to the window on expose.
#ifndef IMAGE_H
#define IMAGE_H

#include "WDrawingArea.h"
#include "WFont.h"
#include "framefill.h"
#include "picture.h"

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
  Pixmap pixmap;  // the picture shown, one of picture's
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
  Picture picture;
  char rgbwarned;  // the missing colour map has been reported
};

#endif
