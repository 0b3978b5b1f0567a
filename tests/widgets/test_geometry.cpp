// Rectangles and the widget base's geometry.
#include "xfixture.h"

#include "WEtc.h"
#include "WShl.h"

TEST(WRectTest, ArithmeticAndInside)
{
  WRect a(10, 20, 30, 40);
  EXPECT_EQ(WRect(-10, 0, 5, 0).r(), 65531);  // -5 modulo 65536
  EXPECT_EQ(WRect(a()), a);

  // Right and bottom edges lie outside.
  EXPECT_TRUE(a.is_inside(XPoint{10, 20}));
  EXPECT_TRUE(a.is_inside(XPoint{39, 59}));
  EXPECT_FALSE(a.is_inside(XPoint{40, 30}));
  EXPECT_FALSE(a.is_inside(XPoint{20, 60}));
  EXPECT_FALSE(a.is_inside(XPoint{9, 30}));
  EXPECT_FALSE(WRect(5, 5, 0, 0).is_inside(XPoint{5, 5}));
  EXPECT_TRUE(WRect(32000, 0, 2000, 1).is_inside(XPoint{32767, 0}));  // no 16-bit wrap
}

class GeometryTest : public XFixture {};

// The position is pulled back onto the 1280x1024 screen; the size is
// passed as given, 0 included; the shell remembers what it was given.
TEST_F(GeometryTest, SetGeomClampsPositionOnly)
{
  WWindow wnd("clamp", 0);
  const WRect cases[][2] = {
      {WRect(1280, 1024, 10, 20), WRect(1280, 1024, 10, 20)},
      {WRect(1281, 1025, 10, 20), WRect(1260, 1004, 10, 20)},
      {WRect(-5, -1, 0, 0), WRect(0, 0, 0, 0)},
      {WRect(32767, -32768, 65535, 1), WRect(1260, 0, 65535, 1)},
  };
  for (const auto& c : cases) {
    wnd.set_geom(c[0]);
    EXPECT_EQ(wnd.WWidget::get_geom(), c[1]) << c[0].x << "," << c[0].y;
    EXPECT_EQ(wnd.geom, c[0]);
  }
  EXPECT_EQ(x_errors(), 0);
}
