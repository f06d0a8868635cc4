#include "raster/raster.h"

#include <gtest/gtest.h>

namespace korvalen {
namespace {

TEST(Colour, ComponentsAbove255CountAs255) {
  EXPECT_EQ(RGB(255, 192, 192), 0x00C0C0FFu);
  EXPECT_EQ(RGB(300, 0, 1000), RGB(255, 0, 255));
  EXPECT_EQ(RGB(1, 2, 3), 1u + 256u * 2u + 65536u * 3u);
}

TEST(Raster, PointsOffTheGridAreNotDrawn) {
  Raster r(10, 5, RGB(1, 2, 3));
  r.setPoint(10, 0, RGB(0, 0, 0));
  r.setPoint(0, 5, RGB(0, 0, 0));
  r.setPoint(-1, 2, RGB(0, 0, 0));
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 10; ++x) EXPECT_EQ(r.point(x, y), RGB(1, 2, 3));
  r.setPoint(9, 4, RGB(7, 8, 9));
  EXPECT_EQ(r.point(9, 4), RGB(7, 8, 9));
}

TEST(Raster, LineJoinsPixelsAndLeavesOutItsEnd) {
  Raster r(20, 20);
  r.line(2, 3, 2, 10, RGB(0, 0, 0));
  for (int y = 3; y < 10; ++y) EXPECT_EQ(r.point(2, y), RGB(0, 0, 0)) << y;
  EXPECT_EQ(r.point(2, 10), RGB(255, 255, 255));
  // Continued from the end of the previous line.
  r.lineTo(6, 10, RGB(9, 9, 9));
  EXPECT_EQ(r.point(2, 10), RGB(9, 9, 9));
  EXPECT_EQ(r.point(5, 10), RGB(9, 9, 9));
  EXPECT_EQ(r.point(6, 10), RGB(255, 255, 255));
}

TEST(Raster, FarEndPointsAreClippedQuickly) {
  Raster r(121, 73);
  // A ray towards a point hundreds of millions of pixels away: only the part
  // inside the grid is walked, and it passes through the expected pixels.
  r.line(60, 39, 60 + 3.0e8f, 39 - 1.0e8f * 0.0f - 3.0e8f, RGB(144, 144, 0));
  EXPECT_EQ(r.point(60, 39), RGB(144, 144, 0));
  EXPECT_EQ(r.point(61, 38), RGB(144, 144, 0));
  EXPECT_EQ(r.point(99, 0), RGB(144, 144, 0));
}

TEST(Raster, LineWithBothEndsAstronomicallyFarOffEnds) {
  // Both ends far beyond the grid on either side, the line along row 5: its
  // parameter at the grid is so large that a step of 1 is lost in rounding.
  Raster r(121, 73, RGB(255, 255, 255));
  r.line(-1e30f, 5, 1e30f, 5, RGB(1, 1, 1));
  for (int x : {0, 60, 120}) EXPECT_EQ(r.point(x, 5), RGB(1, 1, 1)) << x;
  for (int x = 0; x < 121; ++x) {
    EXPECT_EQ(r.point(x, 4), RGB(255, 255, 255)) << x;
    EXPECT_EQ(r.point(x, 6), RGB(255, 255, 255)) << x;
  }
  // A far line that misses the grid draws nothing.
  Raster untouched(121, 73, RGB(255, 255, 255));
  r = untouched;
  r.line(1e30f, 1e30f, -1e30f, 5, RGB(1, 1, 1));
  EXPECT_TRUE(r.pixels() == untouched.pixels());
}

TEST(Raster, ClearFillsWithTheBackground) {
  Raster r(4, 4, RGB(176, 240, 240));
  r.setPoint(1, 1, RGB(0, 0, 0));
  r.clear();
  EXPECT_EQ(r.point(1, 1), RGB(176, 240, 240));
}

}  // namespace
}  // namespace korvalen
