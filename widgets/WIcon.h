// An icon pixmap for a top-level window.
#ifndef WICON_H
#define WICON_H

#include <X11/Xlib.h>

class WIcon {
public:
  WIcon() : xpm(0) {}
  WIcon(const unsigned char* bits, unsigned int w, unsigned int h);
  ~WIcon();
  WIcon(const WIcon&) = delete;
  WIcon& operator=(const WIcon&) = delete;

  int alloc(const unsigned char* bits, unsigned int w, unsigned int h);
  void free();

  Pixmap xpm;
};

#endif
