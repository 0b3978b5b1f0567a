// The display context: the display globals and the font, cursor and
// colour tables.
#include "WContext.h"

#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <new>

#include <unistd.h>

#include <X11/cursorfont.h>
#include <Xm/RowColumn.h>
#include <Xm/ScrollBar.h>

#include "ERandom.h"
#include "ETime.h"
#include "WEtc.h"
#include "WMenu.h"
#include "WShl.h"

double mm2in(double mm)
{
  return mm / 25.4;
}

// Creates a throw-away Motif widget on the shell and reads one dimension.
static int measure(Widget shl, Widget (*create)(Widget, String, ArgList, Cardinal),
                   const char* name, const char* resource)
{
  Widget w = create(shl, const_cast<char*>(name), nullptr, 0);
  Dimension d = 0;
  XtVaGetValues(w, resource, &d, nullptr);
  XtDestroyWidget(w);
  return d;
}

// A shell that could not open the display leaves display null and sets
// up nothing else, so that start-up can say so and end.
WContext::WContext(WAppShell* s, XtAppContext& c)
    : ttlxfs(nullptr),
      subttlxfs(nullptr),
      lblxfs(nullptr),
      txtxfs(nullptr),
      pos{0, 0},
      appshl(s),
      mainmenu(nullptr),
      xtctx(c)
{
  display = nullptr;
  if (!s || !s->xtwgt)
    return;
  display = XtDisplay(s->xtwgt);
  screen = DefaultScreen(display);
  root_wnd = RootWindow(display, screen);
  root_rect = WRect(0, 0, static_cast<unsigned short>(DisplayWidth(display, screen)),
                    static_cast<unsigned short>(DisplayHeight(display, screen)));
  mbar_hgt = measure(s->xtwgt, XmCreateMenuBar, "mbar", XtNheight);
  sbar_hgt = measure(s->xtwgt, XmCreateScrollBar, "sbar", XtNwidth);
  alloc_fonttbl();
  alloc_cursortbl();
  alloc_colortbl();
  timemgr = new ETime;
  timer = new ETimer;
  randgen = new ERandom;
  homedir = new EEnvironment("HOME");
}

WContext::~WContext()
{
  if (fonttbl) {
    for (int i = 0; i < maxfont; i++)
      if (fonttbl[i])
        XmFontListFree(fonttbl[i]);
    delete[] fonttbl;
    fonttbl = nullptr;
  }
  for (XFontStruct* f : {ttlxfs, subttlxfs, lblxfs, txtxfs})
    if (f)
      XFreeFont(display, f);
  if (cursortbl) {
    for (int i = 0; i < maxcursor; i++)
      if (cursortbl[i])
        XFreeCursor(display, cursortbl[i]);
    delete[] cursortbl;
    cursortbl = nullptr;
  }
  if (colortbl) {
    for (unsigned int i = 2; i < maxcolor; i++) {
      if (colorflg[i]) {
        unsigned long px = colortbl[i];
        XFreeColors(display, colormap, &px, 1, 0);
      }
    }
    delete[] colortbl;
    delete[] colorflg;
    colortbl = nullptr;
    colorflg = nullptr;
  }
  delete timemgr;
  timemgr = nullptr;
  delete randgen;
  randgen = nullptr;
  delete homedir;
  homedir = nullptr;
  delete[] appname;
  appname = nullptr;
  if (display)
    XCloseDisplay(display);
  display = nullptr;
}

int WContext::alloc_fonttbl()
{
  maxfont = 16;
  fonttbl = new (std::nothrow) XmFontList[maxfont]();
  if (!fonttbl)
    return -1;
  static const char* const names[4] = {
      "-adobe-helvetica-bold-r-*-*-12-*-*-*-*-*-*-*",
      "-adobe-times-bold-r-*-*-12-*-*-*-*-*-*-*",
      "-adobe-helvetica-medium-r-*-*-12-*-*-*-*-*-*-*",
      "6x13",
  };
  XFontStruct** fields[4] = {&ttlxfs, &subttlxfs, &lblxfs, &txtxfs};
  for (int i = 0; i < 4; i++) {
    *fields[i] = XLoadQueryFont(display, names[i]);
    if (*fields[i])
      fonttbl[i] = XmFontListCreate(*fields[i], const_cast<char*>(XmFONTLIST_DEFAULT_TAG));
  }
  return 0;
}

int WContext::alloc_cursortbl()
{
  maxcursor = 16;
  cursortbl = new (std::nothrow) Cursor[maxcursor]();
  if (!cursortbl)
    return -1;
  static const unsigned int shapes[4] = {XC_left_ptr, XC_crosshair, XC_hand2, XC_watch};
  for (int i = 0; i < 4; i++)
    cursortbl[i] = XCreateFontCursor(display, shapes[i]);
  return 0;
}

// 2^planes - 1 entries, but never more than an 8-plane screen's 255: only
// the nine fixed colours are ever filled, and a deep screen's 2^24 entries
// would take 80 MB for nothing. A screen of fewer than 4 planes still gets
// room for the nine fixed entries.
unsigned int colortbl_entries(int planes)
{
  const unsigned int cap = 255;
  unsigned int n = planes >= 8 ? cap : (1u << (planes > 0 ? planes : 0)) - 1;
  return n < 9 ? 9 : n;
}

int WContext::alloc_colortbl()
{
  colormap = DefaultColormap(display, screen);
  colorpln = DefaultDepth(display, screen);
  maxcolor = colortbl_entries(colorpln);
  colortbl = new (std::nothrow) unsigned int[maxcolor];
  colorflg = new (std::nothrow) unsigned char[maxcolor];
  if (!colortbl || !colorflg) {
    delete[] colortbl;
    delete[] colorflg;
    colortbl = nullptr;
    colorflg = nullptr;
    return -1;
  }
  unsigned int black = static_cast<unsigned int>(BlackPixel(display, screen));
  for (unsigned int i = 0; i < maxcolor; i++)
    colortbl[i] = black;
  memset(colorflg, 0, maxcolor);
  colortbl[1] = static_cast<unsigned int>(WhitePixel(display, screen));

  Pixel bg = 0, fg = 0, top = 0, bottom = 0, sel = 0;
  XtVaGetValues(appshl->xtwgt, XtNbackground, &bg, nullptr);
  XmGetColors(XtScreen(appshl->xtwgt), colormap, bg, &fg, &top, &bottom, &sel);
  colortbl[2] = static_cast<unsigned int>(bg);
  colortbl[3] = static_cast<unsigned int>(sel);
  colortbl[4] = static_cast<unsigned int>(bottom);
  colortbl[5] = static_cast<unsigned int>(top);
  for (int i = 2; i <= 5; i++)
    colorflg[i] = 1;

  static const char* const named[3] = {"Red", "Green", "Blue"};
  for (int i = 0; i < 3; i++) {
    XColor scr, exact;
    if (XAllocNamedColor(display, colormap, named[i], &scr, &exact)) {
      colortbl[6 + i] = static_cast<unsigned int>(scr.pixel);
      colorflg[6 + i] = 1;
    }
  }
  return 0;
}

void WContext::add_window(WWindow* wnd)
{
  if (mainmenu)
    mainmenu->add_window(wnd);
}

void WContext::del_window(WWindow* wnd)
{
  if (mainmenu)
    mainmenu->del_window(wnd);
}

void WContext::get_svrdpi(double& xdpi, double& ydpi) const
{
  xdpi = DisplayWidth(display, screen) / mm2in(DisplayWidthMM(display, screen));
  ydpi = DisplayHeight(display, screen) / mm2in(DisplayHeightMM(display, screen));
}

void WContext::run()
{
  XtAppMainLoop(xtctx);
}

// A display name without a host part means this machine.
void WContext::get_hostname(char* s) const
{
  const char* dn = display ? DisplayString(display) : "";
  const char* colon = strrchr(dn, ':');
  size_t n = colon ? static_cast<size_t>(colon - dn) : strlen(dn);
  if (n == 0 || (n == 4 && strncmp(dn, "unix", 4) == 0)) {
    if (gethostname(s, 512) != 0)
      s[0] = '\0';
    s[511] = '\0';
    return;
  }
  snprintf(s, 512, "%.*s", static_cast<int>(n), dn);
}

void WContext::get_svrvendor(char* s) const
{
  snprintf(s, 512, "%s", display ? ServerVendor(display) : "");
}

void WContext::get_svrname(char* s) const
{
  snprintf(s, 512, "%s", display ? DisplayString(display) : "");
}
