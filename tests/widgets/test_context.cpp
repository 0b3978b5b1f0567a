// The display context's globals and tables on the depth-24 and the
// depth-8 screen.
#include "xfixture.h"

#include "WContext.h"
#include "WEtc.h"

namespace {

XColor rgb_of(unsigned long px)
{
  XColor c{};
  c.pixel = px;
  XQueryColor(display, colormap, &c);
  return c;
}

// What holds on every screen: 255 entries whatever the depth (not 2^24 - 1
// on depth 24: the idle process stays small), fixed colours, the free
// entries black and unflagged, fonts and cursors 0 to 3 made and the rest
// empty.
void expect_tables(int scr, int planes)
{
  EXPECT_EQ(colorpln, planes);
  EXPECT_EQ(maxcolor, 255u);
  EXPECT_EQ(colortbl[0], BlackPixel(display, scr));
  EXPECT_EQ(colortbl[1], WhitePixel(display, scr));
  XColor bg = rgb_of(colortbl[2]);  // gray75 from the fallback resources
  EXPECT_EQ(bg.red >> 8, 191);
  EXPECT_GT(rgb_of(colortbl[5]).red, bg.red);  // top shadow lighter
  EXPECT_LT(rgb_of(colortbl[4]).red, bg.red);  // bottom shadow darker
  EXPECT_EQ(rgb_of(colortbl[6]).red, 65535);
  EXPECT_EQ(rgb_of(colortbl[7]).green >> 8, 255);
  EXPECT_EQ(rgb_of(colortbl[8]).blue, 65535);
  EXPECT_EQ(rgb_of(colortbl[8]).red, 0);
  for (unsigned int i = 0; i < 9; i++)
    EXPECT_EQ(colorflg[i], i >= 2) << i;
  unsigned int odd = 0;
  for (unsigned int i = 9; i < maxcolor; i++)
    odd += colortbl[i] != BlackPixel(display, scr) || colorflg[i];
  EXPECT_EQ(odd, 0u);
  for (int i = 0; i < 16; i++) {
    EXPECT_EQ(fonttbl[i] != nullptr, i < 4) << "font " << i;
    EXPECT_EQ(cursortbl[i] != 0, i < 4) << "cursor " << i;
  }
  EXPECT_EQ(x_errors(), 0);
}

}  // namespace

class ContextTest : public XFixture {};
class Context8Test : public XFixture8 {};

TEST_F(ContextTest, GlobalsAndTablesOnDepth24)
{
  expect_tables(0, 24);
}

TEST_F(Context8Test, GlobalsAndTablesOnDepth8)
{
  expect_tables(1, 8);
}

// Any depth a server can report: no overflow, at most 255 entries, always
// room for the nine fixed colours.
TEST(ColourTableSize, EveryDepth)
{
  const unsigned int want[][2] = {{0, 9},    {1, 9},    {3, 9},    {4, 15},  {8, 255},
                                  {16, 255}, {24, 255}, {30, 255}, {32, 255}};
  for (const auto& w : want)
    EXPECT_EQ(colortbl_entries(static_cast<int>(w[0])), w[1]) << w[0] << " planes";
}
