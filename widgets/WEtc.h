// The layer's process-wide display globals, its window-manager queries and
// the wall-clock alarm.
#ifndef WETC_H
#define WETC_H

#include <ctime>

#include <Xm/Xm.h>

#include "EEtc.h"
#include "WWidget.h"

class WContext;

// Set by the display context (display, screen, tables) and by start-up.
extern Display* display;
extern int screen;
extern Window root_wnd;
extern WRect root_rect;
extern XmFontList* fonttbl;
extern int maxfont;
extern Cursor* cursortbl;
extern int maxcursor;
extern Colormap colormap;
extern int colorpln;
extern unsigned int* colortbl;
extern unsigned char* colorflg;
extern unsigned int maxcolor;
extern EEnvironment* homedir;
extern int mbar_hgt;
extern int sbar_hgt;
extern WContext* context;
extern char* appname;

// Shared argument list for widget creation.
extern Arg args[32];
extern Cardinal argn;

Widget get_wmshell(Widget w);
// A w x h box in the screen's upper middle, where dialogs stand; set_geom
// clamps a negative place to 0.
WRect upper_middle(Dimension w, Dimension h);
int reparent_offset(Widget w, XPoint& off);
int title_height(Widget w);
int resize_height(Widget w);
XtPointer get_usrdata(Widget w);

// A one-shot Xt timeout that fires at a local wall-clock time.
class WAlarm {
public:
  WAlarm();
  ~WAlarm();
  WAlarm(const WAlarm&) = delete;
  WAlarm& operator=(const WAlarm&) = delete;

  void set_tp_alarm(XtTimerCallbackProc p, XtPointer u);
  void start(tm& ts);
  // Arms one timeout ms milliseconds from now (0 to INT_MAX).
  void start_in(int ms);
  void stop();
  char is_pending() const { return id != 0; }

private:
  static void tp_fire(XtPointer self, XtIntervalId* id);

  XtTimerCallbackProc tp;
  XtPointer usrdata;
  int timeout;  // milliseconds, signed 32-bit
  XtIntervalId id;
};

#endif
