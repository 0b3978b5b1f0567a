// View > Limits > Set Limits...: a dialog of the two values at the colour
// map's ends, which become the view's fixed limits.
#ifndef LIMITSDIALOG_H
#define LIMITSDIALOG_H

#include <X11/Intrinsic.h>

class MenuTarget;
class WDialogQst;
class WTextFloat;

class LimitsDialog {
public:
  explicit LimitsDialog(MenuTarget& target);
  ~LimitsDialog();
  LimitsDialog(const LimitsDialog&) = delete;
  LimitsDialog& operator=(const LimitsDialog&) = delete;

  // Shows the dialog with the limits in use.
  void choose(double lo, double hi);
  // OK: the fields' values become the limits and the dialog closes; a
  // field without a number is reported and the dialog stays.
  void answer();

  WDialogQst* dlg;
  WTextFloat* low;
  WTextFloat* high;

private:
  MenuTarget& target;
};

void cp_answer_limits(Widget w, XtPointer usr, XtPointer call);

#endif
