// Menu bars built from static tables; every choice becomes one call of
// menu_select with the entry's id.
#ifndef WMENU_H
#define WMENU_H

#include <Xm/Xm.h>

#include "EList.h"

class WWindow;

struct WMenuItem {
  const char* name;  // null ends a table
  WidgetClass* type;
  char mnemo;
  const char* accel;
  const char* acceltxt;
  long id;
  const WMenuItem* prm;  // sub-table, or null
};

class WMenuItemID : public ESLink {
public:
  WMenuItemID(Widget w, long i) : itm(w), id(i) {}

  Widget itm;
  long id;
};

class WMenu {
public:
  explicit WMenu(Widget par);
  ~WMenu();
  WMenu(const WMenu&) = delete;
  WMenu& operator=(const WMenu&) = delete;

  virtual void menu_select(long id) = 0;
  virtual void set_state(int) {}
  virtual void add_window(WWindow*) {}
  virtual void del_window(WWindow*) {}

  Widget add_menu(const char* name, char mnemo, const WMenuItem* itm, char helpflg, Widget par);
  void enable(long id, char enflg);
  void check(long id, char chkflg);
  char is_enabled(long id);
  char is_checked(long id);

protected:
  ESList ilst;

public:
  Widget menubar;
};

void cp_select_menu(Widget w, XtPointer usr, XtPointer call);

#endif
