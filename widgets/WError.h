// The modal error window: one reusable message box for run-time errors.
#ifndef WERROR_H
#define WERROR_H

#include "WDialog.h"

class WError : public WDialogMsg {
public:
  explicit WError(Widget par);
  void set_cp_clear(XtCallbackProc c, XtPointer u);
};

void cp_activate_err(Widget w, XtPointer usr, XtPointer call);

#endif
