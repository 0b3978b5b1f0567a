// The display context: display globals and the font, cursor and colour
// tables on the depth-24 and the depth-8 screen.
#include <cstring>

#include "xfixture.h"

#include "WContext.h"
#include "WEtc.h"

class ContextTest : public XFixture {};
class Context8Test : public XFixture8 {};

TEST_F(ContextTest, FillsDisplayGlobalsOnDepth24)
{
  EXPECT_EQ(screen, 0);
  EXPECT_EQ(root_wnd, RootWindow(display, 0));
  EXPECT_EQ(root_rect, WRect(0, 0, 1280, 1024));
  EXPECT_EQ(colorpln, 24);
  EXPECT_EQ(maxcolor, (1u << 24) - 1);
  EXPECT_GT(mbar_hgt, 0);
  EXPECT_GT(sbar_hgt, 0);
  EXPECT_EQ(x_errors(), 0);
}
