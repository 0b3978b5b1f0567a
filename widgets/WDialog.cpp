// Dialogs on Motif's dialog widgets; every window-manager operation goes to
// the dialog shell around the content widget.
#include "WDialog.h"

#include <cstdio>
#include <cstring>
#include <initializer_list>

#include <Xm/FileSB.h>
#include <Xm/Form.h>
#include <Xm/MessageB.h>
#include <Xm/Protocols.h>

#include "WEtc.h"

typedef Widget (*DialogMaker)(Widget, String, ArgList, Cardinal);

// The close button must do nothing but call the close callbacks: a dialog
// shell that unmapped itself would leave its content managed, and the next
// show() would not bring it back. Motif decides whether the buttons hide
// the box when it creates them, so autoUnmanage is given here.
static Widget create_dialog(DialogMaker mk, Widget par, const char* name)
{
  Arg a[2];
  XtSetArg(a[0], XmNdeleteResponse, XmDO_NOTHING);
  XtSetArg(a[1], XmNautoUnmanage, False);
  return mk(par, const_cast<char*>(name), a, 2);
}

static void watch_reparent(WDialog* d)
{
  XtAddEventHandler(XtParent(d->xtwgt), StructureNotifyMask, False, eh_reparent_shl, d);
}

void set_typed_string(Widget w, const char* res, const char* s)
{
  XtVaSetValues(w, XtVaTypedArg, res, XtRString, s, static_cast<int>(strlen(s) + 1), nullptr);
}

WDialog::WDialog(Widget par, const char* s) : WShl(s)
{
  if (!par)
    return;
  xtwgt = create_dialog(XmCreateFormDialog, par, "WDialog");
  set_typed_string(xtwgt, XmNdialogTitle, ttltxt);
  XtVaSetValues(xtwgt, XmNdialogStyle, static_cast<XtArgVal>(XmDIALOG_PRIMARY_APPLICATION_MODAL),
                XmNdefaultPosition, static_cast<XtArgVal>(False), XmNuserData, this, nullptr);
  watch_reparent(this);
}

void WDialog::show()
{
  XtManageChild(xtwgt);
}

void WDialog::hide()
{
  XtUnmanageChild(xtwgt);
}

void WDialog::set_title(const char* s)
{
  snprintf(ttltxt, sizeof ttltxt, "%s", s ? s : "");
  set_typed_string(xtwgt, XmNdialogTitle, ttltxt);
}

void WDialog::set_decoration(long dec, char setflg)
{
  set_mwm_hint(XtParent(xtwgt), XmNmwmDecorations, dec, setflg);
}

void WDialog::set_function(long fct, char setflg)
{
  set_mwm_hint(XtParent(xtwgt), XmNmwmFunctions, fct, setflg);
}

void WDialog::set_cp_close(XtCallbackProc c, XtPointer u)
{
  Widget shl = XtParent(xtwgt);
  Atom del = XInternAtom(display, "WM_DELETE_WINDOW", False);
  Atom prot = XInternAtom(XtDisplay(shl), "WM_PROTOCOLS", False);
  XmAddProtocolCallback(shl, prot, del, c, u);
}

char WDialog::is_modal() const
{
  return 1;
}

// Message and question boxes: fixed size, full-application modal, and
// buttons that leave hiding to the client.
static Widget create_msgbox(DialogMaker mk, Widget par, const char* name, WDialog* self)
{
  Widget w = create_dialog(mk, par, name);
  XtVaSetValues(w, XmNdialogStyle, static_cast<XtArgVal>(XmDIALOG_FULL_APPLICATION_MODAL),
                XmNdefaultPosition, static_cast<XtArgVal>(False), XtNwidth,
                static_cast<XtArgVal>(300), XtNheight, static_cast<XtArgVal>(100),
                XmNdefaultButtonType, static_cast<XtArgVal>(XmDIALOG_OK_BUTTON), XmNuserData, self,
                nullptr);
  return w;
}

// Motif fits a message box to its content (symbol, text, buttons) when it
// is first managed; these boxes keep the size they were given.
static void show_fixed(Widget box)
{
  Dimension w = 0, h = 0;
  XtVaGetValues(box, XtNwidth, &w, XtNheight, &h, nullptr);
  XtManageChild(box);
  XtVaSetValues(box, XtNwidth, static_cast<XtArgVal>(w), XtNheight, static_cast<XtArgVal>(h),
                nullptr);
}

// OK and Cancel reach the client's callback, which tells them apart by the
// reason in the call data.
template <class D>
static void cp_answer_dlg(Widget w, XtPointer usr, XtPointer call)
{
  D* d = static_cast<D*>(usr);
  if (d->cp)
    d->cp(w, d->usrdata, call);
}

// Added by set_cp only, and once however often it is called. The error
// window has a set_cp of its own that does not come here: it calls cp from
// its own button callback.
template <class D>
static void install_cp(D* d, XtCallbackProc c, XtPointer u)
{
  d->cp = c;
  d->usrdata = u;
  for (const char* res : {XmNokCallback, XmNcancelCallback}) {
    XtRemoveCallback(d->xtwgt, res, cp_answer_dlg<D>, d);
    XtAddCallback(d->xtwgt, res, cp_answer_dlg<D>, d);
  }
}

WDialogMsg::WDialogMsg(Widget par) : WDialog(nullptr, nullptr), cp(nullptr), usrdata(nullptr)
{
  xtwgt = create_msgbox(XmCreateMessageDialog, par, "WDialogMsg", this);
  watch_reparent(this);
}

void WDialogMsg::show()
{
  show_fixed(xtwgt);
}

void WDialogMsg::set_message(const char* s)
{
  set_typed_string(xtwgt, XmNmessageString, s);
}

void WDialogMsg::set_cp(XtCallbackProc c, XtPointer u)
{
  install_cp(this, c, u);
}

WDialogQst::WDialogQst(Widget par) : WDialog(nullptr, nullptr), cp(nullptr), usrdata(nullptr)
{
  xtwgt = create_msgbox(XmCreateQuestionDialog, par, "WDialogQst", this);
  watch_reparent(this);
}

void WDialogQst::show()
{
  show_fixed(xtwgt);
}

void WDialogQst::set_message(const char* s)
{
  set_typed_string(xtwgt, XmNmessageString, s);
}

void WDialogQst::set_cp(XtCallbackProc c, XtPointer u)
{
  install_cp(this, c, u);
}

// OK remembers the chosen file before the client hears of it.
static void cp_choose_file(Widget w, XtPointer usr, XtPointer call)
{
  WDialogFile* d = static_cast<WDialogFile*>(usr);
  XmFileSelectionBoxCallbackStruct* cs = static_cast<XmFileSelectionBoxCallbackStruct*>(call);
  if (cs && cs->value) {
    char* s = static_cast<char*>(XmStringUnparse(cs->value, nullptr, XmCHARSET_TEXT, XmCHARSET_TEXT,
                                                 nullptr, 0, XmOUTPUT_ALL));
    if (d->fnam)
      XtFree(d->fnam);
    d->fnam = s;
  }
  cp_answer_dlg<WDialogFile>(w, usr, call);
}

WDialogFile::WDialogFile(Widget par)
    : WDialog(nullptr, nullptr), fnam(nullptr), cp(nullptr), usrdata(nullptr)
{
  xtwgt = create_dialog(XmCreateFileSelectionDialog, par, "WDialogFile");
  XtVaSetValues(xtwgt, XmNdialogStyle, static_cast<XtArgVal>(XmDIALOG_FULL_APPLICATION_MODAL),
                XmNdefaultPosition, static_cast<XtArgVal>(False), XtNwidth,
                static_cast<XtArgVal>(400), XtNheight, static_cast<XtArgVal>(300), XmNresizePolicy,
                static_cast<XtArgVal>(XmRESIZE_NONE), XmNnoResize, static_cast<XtArgVal>(True),
                XmNdefaultButtonType, static_cast<XtArgVal>(XmDIALOG_OK_BUTTON), XmNuserData, this,
                nullptr);
  XtUnmanageChild(XmFileSelectionBoxGetChild(xtwgt, XmDIALOG_HELP_BUTTON));
  XtAddCallback(xtwgt, XmNokCallback, cp_choose_file, this);
  XtAddCallback(xtwgt, XmNcancelCallback, cp_answer_dlg<WDialogFile>, this);
  watch_reparent(this);
}

WDialogFile::~WDialogFile()
{
  if (fnam)
    XtFree(fnam);
}

void WDialogFile::set_cp(XtCallbackProc c, XtPointer u)
{
  cp = c;
  usrdata = u;
}
