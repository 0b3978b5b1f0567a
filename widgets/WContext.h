// The display context: fills the display globals and the font, cursor and
// colour tables, and owns the time and random services.
#ifndef WCONTEXT_H
#define WCONTEXT_H

#include <X11/Xlib.h>
#include <X11/Intrinsic.h>

class WAppShell;
class WMenu;
class WWindow;

double mm2in(double mm);
// Entries of the colour table for a screen of the given depth.
unsigned int colortbl_entries(int planes);

class WContext {
public:
  WContext(WAppShell* s, XtAppContext& c);
  ~WContext();
  WContext(const WContext&) = delete;
  WContext& operator=(const WContext&) = delete;

  int alloc_fonttbl();
  int alloc_cursortbl();
  int alloc_colortbl();

  void add_window(WWindow* wnd);
  void del_window(WWindow* wnd);
  void get_svrdpi(double& xdpi, double& ydpi) const;
  void set_mainmenu(WMenu* m) { mainmenu = m; }
  void run();

  void get_hostname(char* s) const;   // the X display's host, at most 512 bytes
  void get_svrvendor(char* s) const;  // the X server's vendor string
  void get_svrname(char* s) const;    // the display name

  XFontStruct* ttlxfs;
  XFontStruct* subttlxfs;
  XFontStruct* lblxfs;
  XFontStruct* txtxfs;
  XPoint pos;
  WAppShell* appshl;
  WMenu* mainmenu;
  XtAppContext& xtctx;
};

#endif
