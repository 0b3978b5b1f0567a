// Menu bars built from static tables of entries.
#include "WMenu.h"

#include <cstring>

#include <Xm/CascadeB.h>
#include <Xm/PushB.h>
#include <Xm/RowColumn.h>
#include <Xm/ToggleB.h>

#include "WEtc.h"

WMenu::WMenu(Widget par)
{
  menubar = XmCreateMenuBar(par, const_cast<char*>("WMenu"), nullptr, 0);
  XtManageChild(menubar);
}

WMenu::~WMenu()
{
  while (ESLink* k = ilst.get())
    delete k;
}

void motif_accel(const char* accel, char* out, size_t n)
{
  if (n == 0)
    return;
  strncpy(out, accel, n - 1);
  out[n - 1] = '\0';
  size_t len = strlen(out);
  if (len > 0 && out[len - 1] == ':')
    out[len - 1] = '\0';
}

// The callback list through which an entry of this class is chosen, or null
// for entries that cannot be chosen (separators, labels).
static const char* select_callback(WidgetClass wc)
{
  if (wc == xmPushButtonWidgetClass)
    return XmNactivateCallback;
  if (wc == xmToggleButtonWidgetClass)
    return XmNvalueChangedCallback;
  return nullptr;
}

static void set_accel(Widget w, const WMenuItem& e)
{
  char accel[512];
  motif_accel(e.accel, accel, sizeof accel);
  XmString s = XmStringCreateSimple(const_cast<char*>(e.acceltxt ? e.acceltxt : ""));
  XtVaSetValues(w, XmNaccelerator, accel, XmNacceleratorText, s, nullptr);
  XmStringFree(s);
}

static void set_mnemonic(Widget w, char mnemo)
{
  if (mnemo)
    XtVaSetValues(w, XmNmnemonic, static_cast<XtArgVal>(mnemo), nullptr);
}

Widget WMenu::add_entry(const WMenuItem& e, Widget pdm)
{
  if (e.prm)
    return add_menu(e.name, e.mnemo, e.prm, 0, pdm);
  WidgetClass wc = e.type ? *e.type : nullptr;
  if (!wc)
    return nullptr;
  Widget w = XtVaCreateManagedWidget(e.name, wc, pdm, XmNuserData, this, nullptr);
  if (wc == xmToggleButtonWidgetClass)
    XtVaSetValues(w, XmNindicatorSize, static_cast<XtArgVal>(13), nullptr);
  set_mnemonic(w, e.mnemo);
  if (e.accel)
    set_accel(w, e);
  if (const char* cb = select_callback(wc)) {
    XtAddCallback(w, cb, cp_select_menu, reinterpret_cast<XtPointer>(e.id));
    ilst.put(new WMenuItemID(w, e.id), 1);
  }
  return w;
}

// Motif gives a menu shell the visual, depth and colour map of the window
// above it, so a window on a non-default visual needs nothing here.
Widget WMenu::add_menu(const char* name, char mnemo, const WMenuItem* itm, char helpflg, Widget par)
{
  Widget p = par ? par : menubar;
  Widget pdm = XmCreatePulldownMenu(p, const_cast<char*>("pdm"), nullptr, 0);
  Widget cb =
      XtVaCreateManagedWidget(name, xmCascadeButtonWidgetClass, p, XmNsubMenuId, pdm, nullptr);
  set_mnemonic(cb, mnemo);
  if (helpflg)
    XtVaSetValues(menubar, XmNmenuHelpWidget, cb, nullptr);
  for (const WMenuItem* e = itm; e && e->name; ++e)
    add_entry(*e, pdm);
  return cb;
}

WMenuItemID* WMenu::find(long id)
{
  ESListIter it(ilst);
  while (ESLink* k = it()) {
    WMenuItemID* r = static_cast<WMenuItemID*>(k);
    if (r->id == id)
      return r;
  }
  return nullptr;
}

void WMenu::enable(long id, char enflg)
{
  if (WMenuItemID* r = find(id))
    XtSetSensitive(r->itm, enflg ? True : False);
}

void WMenu::check(long id, char chkflg)
{
  if (WMenuItemID* r = find(id))
    XtVaSetValues(r->itm, XmNset, static_cast<XtArgVal>(chkflg ? XmSET : XmUNSET), nullptr);
}

void WMenu::make_radio(long id)
{
  if (WMenuItemID* r = find(id))
    XtVaSetValues(r->itm, XmNindicatorType, static_cast<XtArgVal>(XmONE_OF_MANY), nullptr);
}

char WMenu::is_enabled(long id)
{
  WMenuItemID* r = find(id);
  return r && XtIsSensitive(r->itm) ? 1 : 0;
}

char WMenu::is_checked(long id)
{
  WMenuItemID* r = find(id);
  if (!r)
    return 0;
  unsigned char set = XmUNSET;  // stays so for a widget without XmNset
  XtVaGetValues(r->itm, XmNset, &set, nullptr);
  return set == XmUNSET ? 0 : 1;
}

void cp_select_menu(Widget w, XtPointer usr, XtPointer)
{
  WMenu* m = static_cast<WMenu*>(get_usrdata(w));
  if (m)
    m->menu_select(reinterpret_cast<long>(usr));
}
