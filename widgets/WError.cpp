// The error window: a message box dressed as an error box, reused for every
// message and only ever hidden, by its button or the close button.
#include "WError.h"

#include <Xm/MessageB.h>

#include "WEtc.h"

static const int ERR_W = 400;
static const int ERR_H = 100;

WError::WError(Widget par) : WDialogMsg(par) {
  // Upper middle of the screen; a negative position is clamped by set_geom.
  WRect g(0, 0, ERR_W, ERR_H);
  g.x = static_cast<short>(static_cast<short>(root_rect.w - ERR_W) / 2);
  g.y = static_cast<short>(static_cast<short>(root_rect.h - ERR_H) / 3);
  set_geom(g);
  set_title("Error");
  XtVaSetValues(xtwgt, XmNdialogType, XmDIALOG_ERROR, nullptr);

  Widget ok = XmMessageBoxGetChild(xtwgt, XmDIALOG_OK_BUTTON);
  Arg a[4];
  Cardinal n = 0;
  if (fonttbl && fonttbl[0]) {
    XtSetArg(a[n], XmNfontList, fonttbl[0]); n++;
  }
  XtSetArg(a[n], XmNtraversalOn, False); n++;
  XtSetArg(a[n], XmNuserData, 0); n++;
  XtSetValues(ok, a, n);
  XtVaSetValues(ok, XtVaTypedArg, XmNlabelString, XtRString, "    OK    ", 11, nullptr);
  XtAddCallback(ok, XmNactivateCallback, cp_activate_err, this);

  XtUnmanageChild(XmMessageBoxGetChild(xtwgt, XmDIALOG_CANCEL_BUTTON));
  XtUnmanageChild(XmMessageBoxGetChild(xtwgt, XmDIALOG_HELP_BUTTON));
  set_cp_close(cp_activate_err, this);
}

void WError::set_cp_clear(XtCallbackProc c, XtPointer u) {
  cp = c;
  usrdata = u;
}

void cp_activate_err(Widget w, XtPointer usr, XtPointer call) {
  if (get_usrdata(w)) return;
  WError* e = static_cast<WError*>(usr);
  e->hide();
  if (e->cp) e->cp(w, e->usrdata, call);
}
