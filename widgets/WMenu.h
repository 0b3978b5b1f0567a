// Menu bars built from static tables; every choice becomes one call of
// menu_select with the entry's id.
#ifndef WMENU_H
#define WMENU_H

#include <cstddef>

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
  // The toggle shows a diamond, one of many, rather than a check box;
  // which one is set stays the application's to say, through check.
  void make_radio(long id);
  char is_enabled(long id);
  char is_checked(long id);

protected:
  ESList ilst;

private:
  Widget add_entry(const WMenuItem& e, Widget pdm);
  WMenuItemID* find(long id);  // the first record with this id, or null

public:
  Widget menubar;
};

void cp_select_menu(Widget w, XtPointer usr, XtPointer call);

// Copies an accelerator into out (n bytes) without a trailing ':', which
// Motif would otherwise read as part of the key and never match.
void motif_accel(const char* accel, char* out, size_t n);

#endif
