// An icon: a bitmap made from its bits on the root window.
#include "WIcon.h"

#include "WEtc.h"

WIcon::WIcon(const unsigned char* bits, unsigned int w, unsigned int h) : xpm(0)
{
  alloc(bits, w, h);
}

WIcon::~WIcon()
{
  free();
}

// X sizes are 16-bit: larger or empty bitmaps are refused, not truncated.
int WIcon::alloc(const unsigned char* bits, unsigned int w, unsigned int h)
{
  free();
  if (!bits || !display || w == 0 || h == 0 || w > 65535 || h > 65535)
    return -1;
  xpm = XCreateBitmapFromData(display, root_wnd, reinterpret_cast<const char*>(bits), w, h);
  return xpm ? 0 : -1;
}

void WIcon::free()
{
  if (xpm) {
    XFreePixmap(display, xpm);
    xpm = 0;
  }
}
