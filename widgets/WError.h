// The modal error window: one reusable message box for run-time errors.
#ifndef WERROR_H
#define WERROR_H

#include "WDialog.h"

class WError : public WDialogMsg {
public:
  explicit WError(Widget par);
  // OK and the close button call cp through cp_activate_err; unlike the
  // message box's, this set_cp adds no callback of its own.
  void set_cp(XtCallbackProc c, XtPointer u);
  void set_cp_clear(XtCallbackProc c, XtPointer u);
};

void cp_activate_err(Widget w, XtPointer usr, XtPointer call);

#endif
