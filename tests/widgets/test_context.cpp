// The display context: display globals and the font, cursor and colour
// tables on the depth-24 and the depth-8 screen.
#include "xfixture.h"

#include <cstring>

#include <unistd.h>

#include "WContext.h"
#include "WEtc.h"
#include "WShl.h"

class ContextTest : public XFixture {
protected:
  // The red, green and blue of a pixel of the default colour map.
  static XColor rgb_of(unsigned long px)
  {
    XColor c{};
    c.pixel = px;
    XQueryColor(display, colormap, &c);
    return c;
  }
  // Font entries 0 to 3 and cursors 0 to 3 exist, the rest stay empty.
  static void expect_font_and_cursor_tables()
  {
    ASSERT_EQ(maxfont, 16);
    ASSERT_EQ(maxcursor, 16);
    for (int i = 0; i < 16; i++) {
      EXPECT_EQ(fonttbl[i] != nullptr, i < 4) << "font " << i;
      EXPECT_EQ(cursortbl[i] != 0, i < 4) << "cursor " << i;
    }
    ASSERT_NE(context->txtxfs, nullptr);
    EXPECT_EQ(context->txtxfs->max_bounds.width, 6);  // "6x13"
  }
};
class Context8Test : public ContextTest {
protected:
  int screen_number() const override { return 1; }
};

TEST_F(ContextTest, FillsDisplayGlobalsOnDepth24)
{
  EXPECT_EQ(screen, 0);
  EXPECT_EQ(root_wnd, RootWindow(display, 0));
  EXPECT_EQ(root_rect, WRect(0, 0, 1280, 1024));
  EXPECT_EQ(colorpln, 24);
  EXPECT_EQ(colormap, DefaultColormap(display, 0));
  EXPECT_EQ(maxcolor, (1u << 24) - 1);
  EXPECT_GT(mbar_hgt, 0);
  EXPECT_GT(sbar_hgt, 0);
  ASSERT_NE(homedir, nullptr);
  EXPECT_STREQ(homedir->name, "HOME");
  EXPECT_EQ(context->appshl, shell());
  EXPECT_EQ(context->mainmenu, nullptr);
  context->add_window(nullptr);  // no main menu: nothing to forward to
  context->del_window(nullptr);
  ASSERT_NO_FATAL_FAILURE(expect_font_and_cursor_tables());
  EXPECT_EQ(x_errors(), 0);
}

TEST_F(ContextTest, ColourTableOnDepth24)
{
  EXPECT_EQ(colortbl[0], BlackPixel(display, 0));
  EXPECT_EQ(colortbl[1], WhitePixel(display, 0));
  XColor bg = rgb_of(colortbl[2]);  // gray75 from the fallback resources
  EXPECT_EQ(bg.red >> 8, 191);
  EXPECT_EQ(bg.green >> 8, 191);
  EXPECT_EQ(rgb_of(colortbl[6]).red, 65535);
  EXPECT_EQ(rgb_of(colortbl[6]).green, 0);
  EXPECT_EQ(rgb_of(colortbl[7]).green >> 8, 255);
  EXPECT_EQ(rgb_of(colortbl[8]).blue, 65535);
  // Shadows: the top one lighter than the background, the bottom darker.
  EXPECT_GT(rgb_of(colortbl[5]).red, bg.red);
  EXPECT_LT(rgb_of(colortbl[4]).red, bg.red);
  for (int i = 0; i < 9; i++)
    EXPECT_EQ(colorflg[i], i >= 2) << i;
  EXPECT_EQ(colortbl[maxcolor - 1], BlackPixel(display, 0));
  EXPECT_EQ(colorflg[maxcolor - 1], 0);
}

TEST_F(Context8Test, TablesOnDepth8)
{
  EXPECT_EQ(screen, 1);
  EXPECT_EQ(colorpln, 8);
  ASSERT_EQ(maxcolor, 255u);
  unsigned long black = BlackPixel(display, 1);
  EXPECT_EQ(colortbl[0], black);
  EXPECT_EQ(colortbl[1], WhitePixel(display, 1));
  for (unsigned int i = 9; i < maxcolor; i++) {
    EXPECT_EQ(colortbl[i], black) << i;
    EXPECT_EQ(colorflg[i], 0) << i;
  }
  // Named colours are allocated in the PseudoColor map, each its own cell.
  XColor red = rgb_of(colortbl[6]), blue = rgb_of(colortbl[8]);
  EXPECT_EQ(red.red, 65535);
  EXPECT_EQ(red.blue, 0);
  EXPECT_EQ(blue.blue, 65535);
  EXPECT_EQ(blue.red, 0);
  EXPECT_NE(colortbl[6], colortbl[8]);
  EXPECT_EQ(root_rect, WRect(0, 0, 1280, 1024));
  ASSERT_NO_FATAL_FAILURE(expect_font_and_cursor_tables());
  EXPECT_EQ(x_errors(), 0);
}

// Any depth the server reports: no overflow, at most 2^24 - 1 entries, and
// always room for the nine fixed colours.
TEST(ColourTableSize, EveryDepth)
{
  EXPECT_EQ(colortbl_entries(0), 9u);
  EXPECT_EQ(colortbl_entries(1), 9u);
  EXPECT_EQ(colortbl_entries(3), 9u);
  EXPECT_EQ(colortbl_entries(4), 15u);
  EXPECT_EQ(colortbl_entries(8), 255u);
  EXPECT_EQ(colortbl_entries(16), 65535u);
  EXPECT_EQ(colortbl_entries(24), 16777215u);
  EXPECT_EQ(colortbl_entries(30), 16777215u);
  EXPECT_EQ(colortbl_entries(32), 16777215u);
}

TEST_F(ContextTest, ServerQueries)
{
  char s[512];
  memset(s, 'x', sizeof s);
  context->get_svrname(s);
  EXPECT_STREQ(s, DisplayString(display));
  context->get_svrvendor(s);
  EXPECT_STREQ(s, ServerVendor(display));
  EXPECT_GT(strlen(s), 0u);
  char host[512] = "";
  gethostname(host, sizeof host);
  context->get_hostname(s);  // ":N" is this machine
  EXPECT_STREQ(s, host);
}
