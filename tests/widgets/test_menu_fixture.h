// Menus, dialogs and the error window driven as a user drives them: real
// clicks and key presses (xdotool) under the session's window manager.
#ifndef TEST_MENU_FIXTURE_H
#define TEST_MENU_FIXTURE_H

#include "xfixture.h"

#include <vector>

#include <Xm/DrawingA.h>
#include <Xm/MainW.h>

#include "WEtc.h"
#include "WMenu.h"
#include "WShl.h"

class TestMenu final : public WMenu {
public:
  explicit TestMenu(Widget par) : WMenu(par) {}
  void menu_select(long id) override { calls.push_back(id); }
  std::vector<long> calls;
};

// A menu bar above a work area that takes the focus clicks.
class MenuWnd : public WWindow {
public:
  MenuWnd(unsigned long cmap = 0, Visual* vis = nullptr, int depth = 0)
      : WWindow("menus", cmap, vis, depth)
  {
    Widget mw = XtVaCreateManagedWidget("mw", xmMainWindowWidgetClass, xtwgt, nullptr);
    menu = new TestMenu(mw);
    work = XtVaCreateManagedWidget("work", xmDrawingAreaWidgetClass, mw, XtNwidth,
                                   static_cast<XtArgVal>(300), XtNheight,
                                   static_cast<XtArgVal>(200), nullptr);
  }
  ~MenuWnd() override { delete menu; }
  TestMenu* menu;
  Widget work;
};

class UserFixture : public XFixture {
protected:
  // A dialog may map before its final size has gone through the WM.
  bool sized(Window w, int wd, int ht)
  {
    return pump_until([&] {
      XRectangle r = geometry(display, w);
      return r.width == wd && r.height == ht;
    });
  }
  static Widget pulldown(Widget cascade)
  {
    Widget pdm = nullptr;
    XtVaGetValues(cascade, XmNsubMenuId, &pdm, nullptr);
    return pdm;
  }
  static Widget entry(Widget cascade, const char* name)
  {
    return XtNameToWidget(pulldown(cascade), name);
  }
  // Clicks the cascade (in a menu bar or an open pulldown), then the entry.
  void choose(Widget cascade, const char* name)
  {
    click(cascade);
    ASSERT_TRUE(pump_until([&] { return is_viewable(XtWindow(XtParent(pulldown(cascade)))); }));
    click(entry(cascade, name));
  }
  bool calls_reach(TestMenu* m, size_t n)
  {
    return pump_until([&] { return m->calls.size() >= n; });
  }
};

#endif
