// A font name and the loaded X font, falling back to "6x13".
#ifndef WFONT_H
#define WFONT_H

#include <X11/Xlib.h>
#include <Xm/Xm.h>

class WFont {
public:
  WFont();
  explicit WFont(const char* fn);
  ~WFont();
  WFont(const WFont&) = delete;
  WFont& operator=(const WFont& f);

  XFontStruct* alloc(const char* fn);
  void free();

  int ascent() const;
  int descent() const;
  int width(const char* s) const;
  int height() const;
  XmFontList fontlist() const;  // a new font list the caller frees
  XFontStruct* operator()() const { return xfs; }

  char fnam[512];
  XFontStruct* xfs;
};

#endif
