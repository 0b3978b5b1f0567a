// Push buttons, toggles and a box of toggles over the Motif widgets.
#include "WButton.h"

#include <cstring>

#include <Xm/PushB.h>
#include <Xm/RowColumn.h>
#include <Xm/ToggleB.h>

#include "WEtc.h"

// A managed Motif label-based widget named after its wrapper, showing the
// control's text, with the wrapper in its user data.
static Widget create_labelled(const char* name, WidgetClass cls, Widget parent, const char* text,
                              XtPointer wrapper)
{
  XmString xs = XmStringCreateLocalized(const_cast<char*>(text));
  Widget w =
      XtVaCreateManagedWidget(name, cls, parent, XmNlabelString, xs, XmNuserData, wrapper, nullptr);
  XmStringFree(xs);
  return w;
}

WPushButton::WPushButton(Widget parent, const char* s) : WCtl(s), blinkid(0)
{
  xtwgt = create_labelled("WPushButton", xmPushButtonWidgetClass, parent, ctltxt, this);
}

WPushButton::~WPushButton()
{
  if (blinkid)
    XtRemoveTimeOut(blinkid);
}

void WPushButton::set_value(int) {}

int WPushButton::get_value() const
{
  return -1;
}

void WPushButton::set_cp_activate(XtCallbackProc c, XtPointer u)
{
  XtAddCallback(xtwgt, XmNactivateCallback, c, u);
}

void WPushButton::swap_shadows()
{
  Pixel top = 0, bottom = 0;
  XtVaGetValues(xtwgt, XmNtopShadowColor, &top, XmNbottomShadowColor, &bottom, nullptr);
  XtVaSetValues(xtwgt, XmNtopShadowColor, bottom, XmNbottomShadowColor, top, nullptr);
}

// The pressed look is the button's shadows swapped; a timeout swaps them
// back, so the event loop goes on meanwhile. A blink in progress is not
// doubled.
void WPushButton::blink()
{
  if (blinkid)
    return;
  swap_shadows();
  blinkid = XtAppAddTimeOut(XtWidgetToApplicationContext(xtwgt), 150, tp_unblink, this);
}

void WPushButton::tp_unblink(XtPointer self, XtIntervalId*)
{
  WPushButton* b = static_cast<WPushButton*>(self);
  b->blinkid = 0;
  b->swap_shadows();
}

WTgl::WTgl(Widget parent, const char* s) : WCtl(s)
{
  xtwgt = create_labelled("WTgl", xmToggleButtonWidgetClass, parent, ctltxt, this);
}

void WTgl::set_value(int) {}

int WTgl::get_value() const
{
  return -1;
}

void WTgl::set_cp_toggle(XtCallbackProc c, XtPointer u)
{
  XtAddCallback(xtwgt, XmNvalueChangedCallback, c, u);
}

void WTgl::set_state(char on)
{
  XmToggleButtonSetState(xtwgt, on ? True : False, False);
}

char WTgl::get_state() const
{
  return XmToggleButtonGetState(xtwgt) ? 1 : 0;
}

// Keeps the box's state array in step with a toggle, then tells the user.
static void cp_toggle_tglbox(Widget w, XtPointer usr, XtPointer call)
{
  WTglBox* box = static_cast<WTglBox*>(usr);
  WidgetList kids = nullptr;
  Cardinal n = 0;
  XtVaGetValues(box->xtwgt, XmNchildren, &kids, XmNnumChildren, &n, nullptr);
  for (Cardinal i = 0; i < n && static_cast<int>(i) < box->numtgl; i++)
    if (kids[i] == w)
      box->state[i] = XmToggleButtonGetState(w) ? 1 : 0;
  if (box->cp)
    box->cp(w, box->usrdata, call);
}

WTglBox::WTglBox(Widget parent, const char** labels)
    : state(nullptr), cp(nullptr), usrdata(nullptr), numtgl(0)
{
  while (labels && labels[numtgl])
    numtgl++;
  state = new char[numtgl > 0 ? numtgl : 1]();
  xtwgt = XtVaCreateManagedWidget("WTglBox", xmRowColumnWidgetClass, parent, XmNuserData, this,
                                  nullptr);
  for (int i = 0; i < numtgl; i++) {
    Widget t = create_labelled("WTgl", xmToggleButtonWidgetClass, xtwgt, labels[i], this);
    XtAddCallback(t, XmNvalueChangedCallback, cp_toggle_tglbox, this);
  }
}

WTglBox::~WTglBox()
{
  delete[] state;
}

// s holds one flag per toggle.
void WTglBox::set_state(const char* s)
{
  WidgetList kids = nullptr;
  Cardinal n = 0;
  XtVaGetValues(xtwgt, XmNchildren, &kids, XmNnumChildren, &n, nullptr);
  for (int i = 0; i < numtgl && i < static_cast<int>(n); i++) {
    state[i] = s[i] ? 1 : 0;
    XmToggleButtonSetState(kids[i], state[i] ? True : False, False);
  }
}

const char* WTglBox::get_state() const
{
  return state;
}

void WTglBox::set_cp_toggle(XtCallbackProc c, XtPointer u)
{
  cp = c;
  usrdata = u;
}
