// Motif text wrappers: text access, selection, clipboard and focus handling.
#include "WTxt.h"

#include <cstring>
#include <new>

#include <X11/keysym.h>

#include "WEtc.h"

// The user data holds the wrapper as a focus item, the form every focus
// query of the layer reads it back in.
static WTxt* wrapper_of(Widget w)
{
  return static_cast<WTxt*>(static_cast<WFcsItm*>(get_usrdata(w)));
}

void cp_gainfocus_txt(Widget w, XtPointer, XtPointer)
{
  if (WTxt* t = wrapper_of(w))
    t->set_focus(1, 1);
}

void cp_losefocus_txt(Widget w, XtPointer, XtPointer)
{
  if (WTxt* t = wrapper_of(w))
    t->set_focus(0, 1);
}

void cp_modify_txt(Widget w, XtPointer, XtPointer call)
{
  if (WTxt* t = wrapper_of(w))
    t->edit(static_cast<XmTextVerifyCallbackStruct*>(call));
}

WTxt::~WTxt()
{
  delete[] txttxt;
}

void WTxt::install_focus_callbacks()
{
  XtAddCallback(xtwgt, XmNfocusCallback, cp_gainfocus_txt, nullptr);
  XtAddCallback(xtwgt, XmNlosingFocusCallback, cp_losefocus_txt, nullptr);
}

char* WTxt::renew(int n)
{
  delete[] txttxt;
  txttxt = new (std::nothrow) char[n];
  txtlen = txttxt ? n : 0;
  return txttxt;
}

void WTxt::set_text(const char* s)
{
  XmTextSetString(xtwgt, const_cast<char*>(s));
}

// The buffer only grows; one exactly as large as the text is renewed too.
char* WTxt::get_text()
{
  char* s = XmTextGetString(xtwgt);
  size_t n = std::strlen(s) + 1;
  if (n >= static_cast<size_t>(txtlen) && !renew(static_cast<int>(n))) {
    XtFree(s);
    return nullptr;
  }
  std::memcpy(txttxt, s, n);
  XtFree(s);
  return txttxt;
}

void WTxt::set_multiline(char on)
{
  XtVaSetValues(xtwgt, XmNeditMode,
                static_cast<XtArgVal>(on ? XmMULTI_LINE_EDIT : XmSINGLE_LINE_EDIT), nullptr);
}

char WTxt::is_multiline() const
{
  int mode = XmSINGLE_LINE_EDIT;
  XtVaGetValues(xtwgt, XmNeditMode, &mode, nullptr);
  return mode == XmMULTI_LINE_EDIT;
}

void WTxt::set_editable(char on)
{
  XmTextSetEditable(xtwgt, on ? True : False);
}

char WTxt::is_editable() const
{
  return XmTextGetEditable(xtwgt) ? 1 : 0;
}

char WTxt::get_selrng(long* l, long* r) const
{
  XmTextPosition a = 0, b = 0;
  Boolean sel = XmTextGetSelectionPosition(xtwgt, &a, &b);
  *l = a;
  *r = b;
  return sel ? 1 : 0;
}

long WTxt::get_length() const
{
  return XmTextGetLastPosition(xtwgt);
}

void WTxt::cut()
{
  XmTextCut(xtwgt, CurrentTime);
}

void WTxt::copy() const
{
  XmTextCopy(xtwgt, CurrentTime);
}

void WTxt::paste()
{
  XmTextPaste(xtwgt);
}

void WTxt::clear()
{
  unselect();
}

void WTxt::unselect()
{
  XmTextClearSelection(xtwgt, CurrentTime);
}

void WTxt::selectall()
{
  XmTextSetSelection(xtwgt, 0, XmTextGetLastPosition(xtwgt), CurrentTime);
}

void WTxt::set_focus()
{
  XmProcessTraversal(xtwgt, XmTRAVERSE_CURRENT);
  gain_focus(1);
}

// An editable one-line field shows its cursor and has its whole text
// selected while it holds the focus, so typing replaces the old value.
void WTxt::set_focus(char gainflg, char kbdflg)
{
  if (gainflg) {
    if (!xtwgt || !XtIsSensitive(xtwgt) || !XmTextGetEditable(xtwgt))
      return;
    XtVaSetValues(xtwgt, XmNcursorPositionVisible, static_cast<XtArgVal>(True), nullptr);
    if (kbdflg && !is_multiline())
      selectall();
  } else if (xtwgt) {
    XtVaSetValues(xtwgt, XmNcursorPositionVisible, static_cast<XtArgVal>(False), nullptr);
    XmTextClearSelection(xtwgt, CurrentTime);
  }
  gain_focus(gainflg);
}

char WTxt::is_arrow(int key) const
{
  return key == XK_Left || key == XK_Right;
}

WTextDoc::WTextDoc(Widget par, char hsbflg, char vsbflg)
{
  argn = 0;
  // clang-format off
  XtSetArg(args[argn], XmNscrollBarDisplayPolicy, XmSTATIC); argn++;
  XtSetArg(args[argn], XmNshadowType, XmSHADOW_IN); argn++;
  XtSetArg(args[argn], XmNshadowThickness, 1); argn++;
  XtSetArg(args[argn], XmNhighlightThickness, 0); argn++;
  XtSetArg(args[argn], XmNmarginWidth, 4); argn++;
  XtSetArg(args[argn], XmNmarginHeight, 4); argn++;
  XtSetArg(args[argn], XmNeditMode, XmMULTI_LINE_EDIT); argn++;
  XtSetArg(args[argn], XmNwordWrap, True); argn++;
  XtSetArg(args[argn], XmNscrollHorizontal, hsbflg ? True : False); argn++;
  XtSetArg(args[argn], XmNscrollVertical, vsbflg ? True : False); argn++;
  XtSetArg(args[argn], XmNcursorPositionVisible, False); argn++;
  XtSetArg(args[argn], XmNtraversalOn, True); argn++;
  // clang-format on
  xtwgt = XmCreateScrolledText(par, const_cast<char*>("WTextDoc"), args, argn);
  XtManageChild(xtwgt);
  XtVaSetValues(xtwgt, XmNfontList, fonttbl[3], XtNbackground, static_cast<XtArgVal>(colortbl[1]),
                XmNuserData, static_cast<WFcsItm*>(this), nullptr);
  install_focus_callbacks();
}

WTextField::WTextField(Widget par)
{
  xtwgt = XtVaCreateManagedWidget(
      "WTextField", xmTextWidgetClass, par, XmNrows, static_cast<XtArgVal>(1), XmNmarginWidth,
      static_cast<XtArgVal>(4), XmNmarginHeight, static_cast<XtArgVal>(4), XmNeditMode,
      static_cast<XtArgVal>(XmSINGLE_LINE_EDIT), XmNcursorPositionVisible,
      static_cast<XtArgVal>(False), XtNbackground, static_cast<XtArgVal>(colortbl[1]),
      XmNshadowThickness, static_cast<XtArgVal>(1), XmNhighlightThickness, static_cast<XtArgVal>(0),
      XmNfontList, fonttbl[3], XmNtraversalOn, static_cast<XtArgVal>(True), XmNuserData,
      static_cast<WFcsItm*>(this), nullptr);
  install_focus_callbacks();
}
