// Widgets that take the keyboard focus and report focus changes.
#ifndef WFCSITM_H
#define WFCSITM_H

#include "WWidget.h"

typedef void (*WFocusProc)(Widget, void*, void*);

class WFcsItm : public WWidget {
public:
  WFcsItm() : cp(nullptr), usrdata(nullptr) {}

  virtual void set_focus() = 0;
  virtual void set_focus(char gainflg, char kbdflg) = 0;
  virtual char is_text() const { return 0; }

  void set_cp_changefocus(WFocusProc c, void* data);
  void gain_focus(char f);

  WFocusProc cp;
  void* usrdata;
};

#endif
