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
  // map: the standard colour map RGB frames are drawn with, owned by the
  // caller for the image's life; null for none.
  Image(Widget parent, const XStandardColormap* map);
  ~Image() override;

  void init() override;
  void expose() override;

  int alloc_colmap(const char* file);
  // A frame carries size bytes per plane, column by column (the byte of
  // pixel (x, y) at x * height + y); pixels past size stay black.
  void draw_image(const unsigned char* cvec, int size);
  void draw_image(const unsigned char* r, const unsigned char* g, const unsigned char* b, int size);
  // -1 (reported) when the X server refuses the picture: it keeps its size.
  int resize_image(int w, int h);
  void clear_text();
  void draw_text(int y, const char* text);
  // The pixel value each index byte is drawn with.
  const PixelLut& index_lut() const { return maplut; }

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
  // Used in turn: a frame is filled while the X server may still be
  // reading the one before it.
  FrameBuf frames[2];
  int turn;
  char rgbwarned;  // the missing colour map has been reported
};

#endif
