// Text fields in a window of their own, driven by real key presses and
// pointer clicks (xdotool) under the session's window manager.
#ifndef TEST_TEXT_FIXTURE_H
#define TEST_TEXT_FIXTURE_H

#include "xfixture.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include <Xm/RowColumn.h>

#include "WEtc.h"
#include "WShl.h"
#include "WTxt.h"

class TextFixture : public XFixture {
protected:
  void SetUp() override
  {
    XFixture::SetUp();
    wnd = new WWindow("text", 0);
    box = XtVaCreateManagedWidget("box", xmRowColumnWidgetClass, wnd->xtwgt, nullptr);
  }
  // The fields, locals of the test, are gone by now.
  void TearDown() override { delete wnd; }

  void map()
  {
    wnd->show();
    ASSERT_TRUE(pump_until([&] { return is_viewable(wnd->xwindow()); }));
  }
  static void xdo(const std::string& args)
  {
    ASSERT_EQ(std::system(("xdotool " + args).c_str()), 0) << args;
  }
  // Clicks near the left end of the field: the window manager gives the
  // window the focus and Motif the field.
  void click(const WWidget& w)
  {
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(display, w.xwindow(), root_wnd, 3, 5, &x, &y, &child);
    xdo("mousemove " + std::to_string(x) + " " + std::to_string(y) + " click 1");
  }
  // Waits until the events sent so far have reached the field and its text
  // reads s.
  bool shows(WTxt& t, const char* s)
  {
    return pump_until([&] {
      const char* g = t.get_text();
      return g && std::strcmp(g, s) == 0;
    });
  }

  WWindow* wnd = nullptr;
  Widget box = nullptr;
};

#endif
