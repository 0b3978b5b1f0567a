// A font name and its loaded X font, with "6x13" to fall back on.
#include "WFont.h"

#include <cstdio>
#include <cstring>

#include "WEtc.h"

static const char fallback_font[] = "6x13";

WFont::WFont() : xfs(nullptr)
{
  alloc(fallback_font);
}

WFont::WFont(const char* fn) : xfs(nullptr)
{
  alloc(fn);
}

WFont::~WFont()
{
  free();
}

// Equal names keep what is loaded, even when nothing is.
WFont& WFont::operator=(const WFont& f)
{
  if (strcmp(f.fnam, fnam) != 0)
    alloc(f.fnam);
  return *this;
}

// Names longer than 511 characters are cut to fit fnam. A name the server
// does not know becomes the fallback, and fnam names what was loaded. The
// name goes through a copy, as fn may be fnam itself.
XFontStruct* WFont::alloc(const char* fn)
{
  char nm[sizeof fnam];
  snprintf(nm, sizeof nm, "%s", fn ? fn : "");
  memcpy(fnam, nm, sizeof fnam);
  free();
  if (!display)
    return nullptr;
  xfs = XLoadQueryFont(display, fnam);
  if (!xfs) {
    snprintf(fnam, sizeof fnam, "%s", fallback_font);
    xfs = XLoadQueryFont(display, fnam);
  }
  return xfs;
}

void WFont::free()
{
  if (xfs) {
    XFreeFont(display, xfs);
    xfs = nullptr;
  }
}

int WFont::ascent() const
{
  return xfs ? xfs->max_bounds.ascent : 0;
}

int WFont::descent() const
{
  return xfs ? xfs->max_bounds.descent : 0;
}

int WFont::width(const char* s) const
{
  return xfs && s ? XTextWidth(xfs, s, static_cast<int>(strlen(s))) : 0;
}

int WFont::height() const
{
  return ascent() + descent();
}

XmFontList WFont::fontlist() const
{
  return xfs ? XmFontListCreate(xfs, const_cast<char*>(XmFONTLIST_DEFAULT_TAG)) : nullptr;
}
