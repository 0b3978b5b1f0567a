// The error window: a message box dressed as an error box, reused for every
// message and only ever hidden, by its button or the close button.
#include "WError.h"

#include <Xm/MessageB.h>

#include "WEtc.h"

static const int ERR_W = 400;
static const int ERR_H = 100;

// The OK button is reached with the pointer only; its user data 0 tells
// cp_activate_err that it may dismiss the window.
static void dress_ok(Widget ok)
{
  Arg a[3];
  Cardinal n = 0;
  if (fonttbl && fonttbl[0])
    XtSetArg(a[n], XmNfontList, fonttbl[0]), n++;
  XtSetArg(a[n], XmNtraversalOn, False), n++;
  XtSetArg(a[n], XmNuserData, 0), n++;
  XtSetValues(ok, a, n);
  set_typed_string(ok, XmNlabelString, "    OK    ");
}

WError::WError(Widget par) : WDialogMsg(par)
{
  set_geom(upper_middle(ERR_W, ERR_H));
  set_title("Error");
  // The size is fixed: the box must not grow to fit its text or buttons.
  XtVaSetValues(xtwgt, XmNdialogType, static_cast<XtArgVal>(XmDIALOG_ERROR), XmNresizePolicy,
                static_cast<XtArgVal>(XmRESIZE_NONE), nullptr);
  Widget ok = XmMessageBoxGetChild(xtwgt, XmDIALOG_OK_BUTTON);
  dress_ok(ok);
  XtAddCallback(ok, XmNactivateCallback, cp_activate_err, this);
  XtUnmanageChild(XmMessageBoxGetChild(xtwgt, XmDIALOG_CANCEL_BUTTON));
  XtUnmanageChild(XmMessageBoxGetChild(xtwgt, XmDIALOG_HELP_BUTTON));
  set_cp_close(cp_activate_err, this);
}

void WError::set_cp(XtCallbackProc c, XtPointer u)
{
  cp = c;
  usrdata = u;
}

void WError::set_cp_clear(XtCallbackProc c, XtPointer u)
{
  set_cp(c, u);
}

void cp_activate_err(Widget w, XtPointer usr, XtPointer call)
{
  if (get_usrdata(w))
    return;
  WError* e = static_cast<WError*>(usr);
  e->hide();
  if (e->cp)
    e->cp(w, e->usrdata, call);
}
