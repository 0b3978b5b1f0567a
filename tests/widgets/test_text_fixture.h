// Text fields in a window of their own, driven by real key presses and
// pointer clicks (xdotool) under the session's window manager.
#ifndef TEST_TEXT_FIXTURE_H
#define TEST_TEXT_FIXTURE_H

#include "xfixture.h"

#include <cstring>

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

  // Clicks near the left end of the field: the window manager gives the
  // window the focus and Motif the field.
  static void focus(const WWidget& w) { click(w.xtwgt, 3, 5); }
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
