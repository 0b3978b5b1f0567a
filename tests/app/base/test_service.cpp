// The image window's standard map, the single error window and cleanup.
#include "widgets/xfixture.h"

#include <X11/Xatom.h>

#include "WError.h"
#include "WEtc.h"
#include "window/imagewnd.h"
#include "base/service.h"

class Service : public XFixture {};

// A standard map whose visual the screen does not have is not used: its
// pixels would mean other colours on the default visual. One error window
// for the run, showing the latest text; cleanup deletes it and the image
// window, and a second cleanup finds nothing to do.
TEST_F(Service, ForeignStandardMapErrorWindowAndCleanup)
{
  XStandardColormap* maps = standard_map(display, screen, XA_RGB_BEST_MAP);
  ASSERT_NE(maps, nullptr);
  XStandardColormap m = *maps;
  m.visualid = 0x7ffffff0;
  imagewnd = new ImageWnd(&m);
  EXPECT_EQ(smap, nullptr);
  cleanup();
  imagewnd = new ImageWnd(maps);
  imagewnd->show();

  error_dialog("first");
  WError* first = errdlg;
  ASSERT_NE(first, nullptr);
  error_dialog("second");
  EXPECT_EQ(errdlg, first);
  EXPECT_EQ(xm_text(errdlg->xtwgt, XmNmessageString), "second");
  ASSERT_TRUE(pump_until([] { return XtIsRealized(errdlg->xtwgt) && XtIsManaged(errdlg->xtwgt); }));

  cleanup();
  EXPECT_EQ(errdlg, nullptr);
  EXPECT_EQ(imagewnd, nullptr);
  cleanup();
  EXPECT_EQ(x_errors(), 0);
}
