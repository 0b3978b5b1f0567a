// Push buttons, toggles and a box of toggles.
#ifndef WBUTTON_H
#define WBUTTON_H

#include "WCtl.h"

class WPushButton : public WCtl {
public:
  WPushButton(Widget parent, const char* s);
  ~WPushButton() override;
  void set_value(int v) override;
  int get_value() const override;

  void set_cp_activate(XtCallbackProc c, XtPointer u);
  // Shows the button pressed for a moment, without activating it.
  void blink();

  XtIntervalId blinkid;  // the pending end of a blink, 0 when none

private:
  static void tp_unblink(XtPointer self, XtIntervalId* id);
  void swap_shadows();
};

class WTgl : public WCtl {
public:
  WTgl(Widget parent, const char* s);
  void set_value(int v) override;
  int get_value() const override;

  void set_cp_toggle(XtCallbackProc c, XtPointer u);
  void set_state(char on);
  char get_state() const;
};

// A column of toggles, one per label of a null-terminated list; `state`
// holds one flag per toggle.
class WTglBox : public WWidget {
public:
  WTglBox(Widget parent, const char** labels);
  ~WTglBox() override;

  void set_state(const char* s);
  const char* get_state() const;
  void set_cp_toggle(XtCallbackProc c, XtPointer u);

  char* state;
  XtCallbackProc cp;
  XtPointer usrdata;
  int numtgl;
};

#endif
