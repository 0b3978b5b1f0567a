// The Set Limits dialog: a question box whose work area holds a labelled
// floating-point field for each limit.
#include "window/limitsdialog.h"

#include <Xm/Label.h>
#include <Xm/MessageB.h>
#include <Xm/RowColumn.h>

#include "WContext.h"
#include "WDialog.h"
#include "WEtc.h"
#include "WTextNum.h"
#include "base/service.h"
#include "window/menu.h"

namespace {

const int DLG_W = 300;
const int DLG_H = 170;

WTextFloat* add_field(Widget box, const char* label)
{
  XtVaCreateManagedWidget(label, xmLabelWidgetClass, box, nullptr);
  return new WTextFloat(box);
}

}  // namespace

// On the application shell, as the error window: the image window may
// have a visual and colour map of its own.
LimitsDialog::LimitsDialog(MenuTarget& t) : target(t)
{
  dlg = new WDialogQst(context->appshl->xtwgt);
  dlg->set_title("Set Limits");
  dlg->set_message("The values at the colour map's ends:");
  XtUnmanageChild(XmMessageBoxGetChild(dlg->xtwgt, XmDIALOG_HELP_BUTTON));
  XtVaSetValues(dlg->xtwgt, XtNwidth, static_cast<XtArgVal>(DLG_W), XtNheight,
                static_cast<XtArgVal>(DLG_H), nullptr);
  Widget box = XtVaCreateManagedWidget("limits", xmRowColumnWidgetClass, dlg->xtwgt, XmNorientation,
                                       static_cast<XtArgVal>(XmHORIZONTAL), XmNpacking,
                                       static_cast<XtArgVal>(XmPACK_COLUMN), XmNnumColumns,
                                       static_cast<XtArgVal>(2), nullptr);
  low = add_field(box, "Low");
  high = add_field(box, "High");
  dlg->set_geom(WRect(static_cast<short>((root_rect.w - DLG_W) / 2),
                      static_cast<short>((root_rect.h - DLG_H) / 3), DLG_W, DLG_H));
  dlg->set_cp(cp_answer_limits, this);
}

LimitsDialog::~LimitsDialog()
{
  delete low;
  delete high;
  delete dlg;
}

void LimitsDialog::choose(double lo, double hi)
{
  low->set_value(lo);
  high->set_value(hi);
  dlg->show();
}

void LimitsDialog::answer()
{
  double lo, hi;
  if (low->get_value(&lo) != 0 || high->get_value(&hi) != 0) {
    error_dialog("The limits must be numbers.");
    return;
  }
  dlg->hide();
  ViewSettings v = target.shown_view();
  v.fixed = RAVLON_VIEW_VMIN | RAVLON_VIEW_VMAX;
  v.vmin = lo;
  v.vmax = hi;
  target.choose_view(v);
}

void cp_answer_limits(Widget, XtPointer usr, XtPointer call)
{
  LimitsDialog* d = static_cast<LimitsDialog*>(usr);
  const XmAnyCallbackStruct* cs = static_cast<const XmAnyCallbackStruct*>(call);
  if (cs && cs->reason == XmCR_OK)
    d->answer();
  else
    d->dlg->hide();
}
