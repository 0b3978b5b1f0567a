// Shells: the abstract shell, top-level windows and the application shell.
#ifndef WSHL_H
#define WSHL_H

#include <Xm/Xm.h>

#include "WIcon.h"
#include "WWidget.h"

class WFcsItm;

class WShl : public WWidget {
public:
  explicit WShl(const char* s);
  ~WShl() override;

  void set_geom(const WRect& g) override;
  WRect get_geom() override;

  virtual void set_title(const char* s) = 0;
  virtual void set_decoration(long dec, char setflg) = 0;
  virtual void set_function(long fct, char setflg) = 0;
  virtual void set_cp_close(XtCallbackProc c, XtPointer u) = 0;
  virtual char is_modal() const = 0;

  void set_focus(WFcsItm* f);
  WFcsItm* get_focus() const;
  const char* get_title() const { return ttltxt; }
  void raise();

  // Refreshes geom once the window manager has placed the window.
  virtual void init();

protected:
  void add_static(WWidget* w);
  void add_widget(WWidget* w, int i);

public:
  EDList wlst;
  WWidget** wvec;
  int numwgt;
  char ttltxt[512];
  WRect geom;
};

// Reads, changes and writes a Motif window-manager hint resource of a shell
// widget: the value written is (~d) | 1.
void set_mwm_hint(Widget shell, const char* resource, long bits, char setflg);

void eh_reparent_shl(Widget w, XtPointer usr, XEvent* evt, Boolean* cont);

class WWnd : public WShl {
public:
  explicit WWnd(const char* s);

  void show() override;
  void hide() override;
  char is_shown() const override;
  void set_title(const char* s) override;
  void set_decoration(long dec, char setflg) override;
  void set_function(long fct, char setflg) override;
  void set_cp_close(XtCallbackProc c, XtPointer u) override;
  char is_modal() const override;
  virtual void set_cursor(unsigned long c);

  void set_sizelimit(const WRect& s);
  void set_icon(const WIcon& icn);
};

// The application's resources are looked up under the command's name and
// the class cls (its app-defaults file has that name too).
class WAppShell : public WWnd {
public:
  WAppShell(const char* s, const char* cls, int& argc, char** argv, XtAppContext& xtctx,
            char** fbrsrc);
};

// A top-level window. cmap 0 keeps the screen's default colour map and
// visual; vis and depth are used only together with a colour map of that
// visual (cmap != 0) and are ignored without one.
class WWindow : public WWnd {
public:
  WWindow(const char* s, unsigned long cmap, Visual* vis = nullptr, int depth = 0);
};

#endif
