#include "example_hemisphere/example_hemisphere.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "photometry/checked.h"

namespace korvalen {
namespace {

// The window's picture: 121 x 73, so the centre column is 60 and the base row 72.
constexpr int kW = 121, kH = 73, kC = 60, kBase = 72;
constexpr Colour kBack = RGB(176, 240, 240);
constexpr Colour kArrow = kObserverArrowColour, kRay = kLightRayColour, kBlack = RGB(0, 0, 0);

// What the window does first: store the inclination, s and n, set up the
// parameters and the light, then draw.
void draw(Raster& r, int32_t model, double degrees, float s = 0, float n = 0,
          std::vector<int>* labelLefts = nullptr) {
  LightAndModel lm;
  lm.surfaceModel = model;
  lm.sourceInclination = toSingle(degrees * kPi / 180);
  lm.specularShare = s;
  lm.peakSharpness = n;
  setUpParameters(lm);
  setUpLight(lm);
  drawExample(r, exampleFrame(r), lm, [&](int left) {
    if (labelLefts) labelLefts->push_back(left);
  });
}

Raster drawn(int32_t model, double degrees, float s = 0, float n = 0,
             std::vector<int>* labelLefts = nullptr) {
  Raster r(kW, kH, kBack);
  draw(r, model, degrees, s, n, labelLefts);
  return r;
}

bool isGrey(Colour c) { return redOf(c) == greenOf(c) && greenOf(c) == blueOf(c); }
int greyAt(const Raster& r, int x, int y) { return isGrey(r.point(x, y)) ? redOf(r.point(x, y)) : -1; }
bool inDisc(int x, int y) {
  const int dx = x - kC, dy = y - kBase;
  return dy <= 0 && dx * dx + dy * dy <= 33 * 33 && !(dx == 0 && dy == -33);  // apex excluded
}

TEST(ExampleFrame, FollowsThePictureSizeAndOverflowsPast16Bits) {
  const struct {
    int w, h;
    bool overflows;
    ExampleFrame want;
  } cases[] = {
      {121, 73, false, {72, 60, 27, 93, 39}},
      {123, 73, false, {72, 61, 28, 94, 39}},  // 61.5 is truncated, not rounded
      {1, 1, false, {0, 0, -33, 33, -33}},
      {65468, 2, false, {1, 32734, 32701, 32767, -32}},
      {65470, 2, true, {}},  // the last column would be 32768
      {2, 32768, false, {32767, 1, -32, 34, 32734}},
      {2, 32769, true, {}},
  };
  for (const auto& c : cases) {
    const Raster r(c.w, c.h);
    if (c.overflows) {
      EXPECT_THROW(exampleFrame(r), RuntimeError) << c.w << " x " << c.h;
    } else {
      EXPECT_EQ(exampleFrame(r), c.want) << c.w << " x " << c.h;
    }
  }
}

// The general sphere intersection, fed the example's sight line, agrees to the
// last bit with the quadratic written for that line alone (no z terms).
TEST(ExampleSightLine, GeneralIntersectionMatchesTheLinesOwnQuadratic) {
  int hits = 0;
  for (int dx = -33; dx <= 33; ++dx) {
    for (int dy = -33; dy <= 0; ++dy) {
      const double p1y = dx / 33.0 - 0.303 * 0.00001;
      const double rayDX = -0.303 - 0.303, rayDY = dx / 33.0 - p1y;
      const double lineX0 = 0.303 - rayDX * p1y / rayDY, lineZ0 = -dy / 33.0;
      const double qa = rayDX * rayDX / (rayDY * rayDY) + 1;
      const double qb = 2 * rayDX * lineX0 / rayDY;
      const double qc = lineZ0 * lineZ0 + lineX0 * lineX0 - 1;
      const float discr = static_cast<float>(qb * qb - 4 * qa * qc);
      if (dx == 0 && dy == -33) {
        EXPECT_NEAR(discr, -0.37, 0.01);  // the apex: just missed
      } else if (std::abs(dx) == 33 && dy == 0) {
        EXPECT_EQ(discr, 0.0f);  // the base ends: touched
      }

      const Intersection in = intersectUnitSphere(exampleSightLine(dx, dy));
      ASSERT_EQ(in.hit, discr >= 0) << dx << "," << dy;
      if (!in.hit) continue;
      ++hits;
      const double yA = ((-qb + std::sqrt(static_cast<double>(discr))) / qa) / 2;
      EXPECT_EQ(in.a.y, yA) << dx << "," << dy;
      EXPECT_EQ(in.a.x, (yA - p1y) / rayDY * rayDX + 0.303) << dx << "," << dy;
      EXPECT_EQ(in.a.z, -dy / 33.0) << dx << "," << dy;
    }
  }
  EXPECT_EQ(hits, 1737);
}

TEST(ExampleGrey, RoundsHalfToEvenAndStaysInRange) {
  // 0.5 -> 0, 100.5 -> 100, 101.5 -> 102, 255.5 -> 256 -> 255; negative phi is black.
  const double phi[] = {0, 100.0 / 255, 101.0 / 255, 32.0f / 33, 1, -0.25};
  const int grey[] = {0, 100, 102, 248, 255, 0};
  for (int k = 0; k < 6; ++k) EXPECT_EQ(exampleGrey(phi[k]), grey[k]) << phi[k];
}

TEST(ExampleHalfDisc, PaintsEveryPixelOfTheDiscButTheApex) {
  // (The mirror highlight may sit just outside the disc: taken where there is none.)
  const std::pair<int32_t, double> cases[] = {{kMatte, 0},    {kMatte, 37},   {kGlossy, -120},
                                              {kRocky, -120}, {kMirror, 180}, {kMirror, -180}};
  for (const auto& [model, degrees] : cases) {
    const Raster r = drawn(model, degrees, 0.5f, 4);
    int painted = 0;
    for (int y = 0; y < kH; ++y) {
      for (int x = 0; x < kW; ++x) {
        painted += isGrey(r.point(x, y));
        EXPECT_EQ(isGrey(r.point(x, y)), inDisc(x, y)) << model << " " << degrees << " " << x << "," << y;
      }
    }
    EXPECT_EQ(painted, 1737);
  }
}

// Matte under a zenith light: phi is the height h / 33; under a light from the
// right (90 degrees): phi is dx / 33, black on the far side. k / 33 * 255 + 0.5
// is a tie for k = 11 and 22, where the last bits decide between two greys.
TEST(ExampleHalfDisc, MatteIsShadedByTheCosineOfIncidence) {
  for (double degrees : {0.0, 90.0}) {
    const Raster r = drawn(kMatte, degrees);
    for (int y = 0; y < kH; ++y) {
      for (int x = 0; x < kW; ++x) {
        if (!inDisc(x, y)) continue;
        const int k = degrees == 0 ? kBase - y : x - kC, g = greyAt(r, x, y);
        SCOPED_TRACE(testing::Message() << degrees << " at " << x << "," << y);
        if (k < 0) {
          EXPECT_EQ(g, 0);
        } else if (k == 0) {
          EXPECT_LE(g, 1);  // the skewed sight line meets the sphere a hair off the centre
        } else if (k == 11) {
          EXPECT_TRUE(g == 85 || g == 86) << g;
        } else if (k == 22) {
          EXPECT_TRUE(g == 170 || g == 171) << g;
        } else {
          EXPECT_EQ(g, std::min(255.0, std::nearbyint(k * 255.0 / 33 + 0.5)));
        }
      }
    }
  }
  EXPECT_EQ(greyAt(drawn(kMatte, 0), kC, kBase), 0);
  EXPECT_EQ(greyAt(drawn(kMatte, 0), kC, kBase - 32), 248);
}

TEST(ExampleHalfDisc, GlossyWithoutSpecularShareIsMatteAndRockyBaseIsBlack) {
  for (double degrees : {0.0, 30.0, -60.0, 90.0, 150.0}) {
    EXPECT_EQ(drawn(kGlossy, degrees, 0, 16).pixels(), drawn(kMatte, degrees).pixels()) << degrees;
    const Raster rocky = drawn(kRocky, degrees);
    for (int x = kC - 33; x <= kC + 33; ++x) EXPECT_EQ(rocky.point(x, kBase), kBlack) << degrees;
  }
  EXPECT_NE(drawn(kGlossy, 30, 0.5f, 16).pixels(), drawn(kMatte, 30).pixels());
  EXPECT_EQ(greyAt(drawn(kRocky, 0), kC, kBase - 32), 240);  // (32/33)^2
}

// The mirror hemisphere is black but for one light point on (or one row
// below) its outline at alpha / 2 from the vertical.
TEST(ExampleMirror, MarksTheOneMirroringElement) {
  const struct {
    double degrees;
    int x, y;  // x < 0: no point
    Colour colour;
  } cases[] = {
      {0, kC, kH - 33, kMirrorHighlightAtZeroColour},
      {10, kC + 3, 40, kMirrorHighlightColour},   // (c + 2.88, H - 32.87): one row lower
      {25, kC + 7, 40, kMirrorHighlightColour},   // (c + 7.14, H - 1 - 32.22): on the outline
      {30, kC + 9, 41, kMirrorHighlightColour},   // (c + 8.54, H - 31.88)
      {-30, kC - 9, 41, kMirrorHighlightColour},  // its mirror image
      {180, -1, -1, 0},
      {-180, -1, -1, 0},
  };
  for (const auto& c : cases) {
    const Raster r = drawn(kMirror, c.degrees);
    for (int y = 0; y < kH; ++y) {
      for (int x = 0; x < kW; ++x) {
        SCOPED_TRACE(testing::Message() << c.degrees << " at " << x << "," << y);
        if (x == c.x && y == c.y) {
          EXPECT_EQ(r.point(x, y), c.colour);
        } else if (inDisc(x, y)) {
          EXPECT_EQ(r.point(x, y), kBlack);
        } else {
          EXPECT_FALSE(isGrey(r.point(x, y)));
        }
      }
    }
  }
}

// Arrows and rays, told apart by colour at pixels outside the half-disc:
// apex barb (62,8); right 45-degree arrow: shaft (83,y), full barb (85,8),
// short barb (85,20); right base-end barb (95,8); left 45-degree barb (35,38);
// left base-end barb (25,8). Vertical rays cover the shafts they start from.
TEST(ExampleArrows, ShowWhichDirectionsAreDrawn) {
  struct Pixel {
    int x, y;
    Colour colour;
  };
  const struct {
    double degrees;
    int labelLeft;
    std::vector<Pixel> pixels;
  } cases[] = {
      {0, 0, {{62, 8, kArrow}, {60, 20, kRay}, {85, 8, kArrow}, {83, 20, kRay}, {95, 8, kArrow},
              {93, 20, kRay}, {35, 38, kArrow}, {37, 35, kRay}, {85, 20, kBack}, {25, 8, kBack}}},
      {29, 0, {{62, 8, kArrow}, {83, 5, kArrow}, {85, 8, kArrow}, {85, 20, kBack}, {35, 38, kArrow}}},
      // The apex ray passes just left of the short arrow's top.
      {30, 0, {{82, 1, kRay}, {83, 5, kBack}, {85, 8, kBack}, {83, 15, kArrow}, {85, 20, kArrow}}},
      {40, 0, {{83, 5, kArrow}, {85, 8, kArrow}, {85, 20, kBack}}},
      {45, 0, {{35, 38, kArrow}}},
      {46, 0, {{35, 38, kBack}, {37, 35, kBack}}},
      // Rays rising to ends millions of pixels away run along their first row.
      {89.9999, 0, {{100, 39, kRay}, {62, 8, kArrow}}},
      {90, 0, {{62, 8, kArrow}, {83, 20, kArrow}, {93, 20, kArrow}, {100, 39, kRay}, {100, 49, kRay},
               {110, 70, kRay}, {20, 39, kBack}, {35, 38, kBack}}},
      {91, 0, {{62, 8, kBack}, {60, 20, kBack}, {100, 49, kRay}, {100, 39, kBack}, {85, 8, kArrow},
               {95, 8, kArrow}}},
      {135, 0, {{62, 8, kBack}, {100, 49, kBack}, {85, 8, kArrow}, {95, 8, kArrow}, {83, 20, kArrow}}},
      // The short left 45-degree arrow, the left base-end arrow, the right
      // 45-degree arrow with its tip at 30.
      {-30, kC + 2, {{62, 8, kArrow}, {35, 20, kArrow}, {39, 20, kArrow}, {37, 5, kBack},
                     {25, 8, kArrow}, {85, 38, kArrow}, {85, 8, kBack}, {95, 8, kBack}}},
      {-89.9999, kC + 2, {{20, 39, kRay}}},
      {-90, kC + 2, {{62, 8, kArrow}, {20, 39, kRay}, {10, 49, kRay}, {10, 70, kRay},
                     {100, 39, kBack}, {85, 38, kBack}}},
  };
  for (const auto& c : cases) {
    std::vector<int> lefts;
    const Raster r = drawn(kMatte, c.degrees, 0, 0, &lefts);
    EXPECT_EQ(lefts, std::vector<int>{c.labelLeft}) << c.degrees;
    for (const Pixel& p : c.pixels)
      EXPECT_EQ(r.point(p.x, p.y), p.colour) << c.degrees << " at " << p.x << "," << p.y;
  }
}

// The picture at a screen scale s: the half-disc has the radius R = 33 s
// rounded half to even, and the arrows and rays grow with it.
struct Scaled {
  double scale;
  int w, h;  // Picture2 in screen pixels
  int R;
  int painted;  // pixels of the half-disc the sight lines of radius R meet
};
constexpr Scaled kScales[] = {
    {1, 121, 73, 33, 1737}, {1.25, 151, 91, 41, 2669}, {1.5, 182, 110, 50, 3968}, {2, 242, 146, 66, 6902}};

Raster drawnAt(const Scaled& sc, int32_t model, double degrees) {
  Raster r(sc.w, sc.h, kBack);
  LightAndModel lm;
  lm.surfaceModel = model;
  lm.sourceInclination = toSingle(degrees * kPi / 180);
  setUpParameters(lm);
  setUpLight(lm);
  drawExample(r, exampleFrame(r, sc.scale), lm, [](int) {});
  return r;
}

int pixelsOf(const Raster& r, Colour c) {
  int n = 0;
  for (int y = 0; y < r.heightPixels(); ++y)
    for (int x = 0; x < r.widthPixels(); ++x) n += r.point(x, y) == c;
  return n;
}

TEST(ExampleAtScreenScale, HalfDiscHasTheScaledRadiusAndTheSameShading) {
  for (const Scaled& sc : kScales) {
    SCOPED_TRACE(sc.scale);
    const Raster r = drawnAt(sc, kMatte, 0);
    const ExampleFrame f = exampleFrame(r, sc.scale);
    ASSERT_EQ(f.exampleRadius, sc.R);
    EXPECT_EQ(f.exampleTopRow, f.exampleBottomRow - sc.R);
    int painted = 0;
    for (int y = 0; y < sc.h; ++y) {
      for (int x = 0; x < sc.w; ++x) {
        const int dx = x - f.exampleCentreX, dy = y - f.exampleBottomRow;
        const bool meets = dy <= 0 && std::abs(dx) <= sc.R && dy >= -sc.R &&
                           intersectUnitSphere(exampleSightLine(dx, dy, sc.R)).hit;
        ASSERT_EQ(isGrey(r.point(x, y)), meets) << x << "," << y;
        if (!meets) continue;
        ++painted;
        EXPECT_LE(dx * dx + dy * dy, sc.R * sc.R);
        // Under a zenith light phi is the height over the radius.
        const int g = greyAt(r, x, y);
        EXPECT_NEAR(g, -dy * 255.0 / sc.R + 0.5, 1.0) << x << "," << y;
      }
    }
    EXPECT_EQ(painted, sc.painted);
  }
}

TEST(ExampleAtScreenScale, MirrorPointLiesOnTheScaledOutline) {
  for (const Scaled& sc : kScales) {
    for (double degrees : {0.0, 30.0, -70.0, 100.0}) {
      SCOPED_TRACE(testing::Message() << sc.scale << " at " << degrees);
      const Raster r = drawnAt(sc, kMirror, degrees);
      const int c = sc.w / 2;
      const double half = degrees / 2 * kPi / 180;
      int lightX = -1, lightY = -1;
      for (int y = 0; y < sc.h; ++y)
        for (int x = 0; x < sc.w; ++x)
          if (isGrey(r.point(x, y)) && r.point(x, y) != kBlack) lightX = x, lightY = y;
      // On the outline at (c + R sin, H - R cos), or one row above it.
      EXPECT_NEAR(lightX, c + sc.R * std::sin(half), 0.5);
      EXPECT_NEAR(lightY, sc.h - sc.R * std::cos(half) - 0.5, 1.0);
    }
  }
}

// Lengths grow with R / 33 and the lines are one window pixel thick (2
// pixels at 1.5 and 2), so the arrows and rays take about scale * thickness
// times the pixels they take at 100 %.
TEST(ExampleAtScreenScale, ArrowsAndRaysKeepTheirProportionsAndTheWindowsLineWidth) {
  for (double degrees : {0.0, 30.0, -60.0, 90.0}) {
    const Raster one = drawnAt(kScales[0], kMatte, degrees);
    const int arrows = pixelsOf(one, kArrow), rays = pixelsOf(one, kRay);
    for (const Scaled& sc : kScales) {
      SCOPED_TRACE(testing::Message() << sc.scale << " at " << degrees);
      const Raster r = drawnAt(sc, kMatte, degrees);
      const double k = sc.R / 33.0 * (sc.scale >= 1.5 ? 2 : 1);
      EXPECT_NEAR(pixelsOf(r, kArrow), k * arrows, 0.1 * k * arrows);
      EXPECT_NEAR(pixelsOf(r, kRay), k * rays, 0.1 * k * rays);
    }
  }
  // The apex ray at 0 degrees, above the disc: exactly two columns at scale 2.
  const Raster two = drawnAt(kScales[3], kMatte, 0);
  for (int x = 118; x <= 125; ++x)
    EXPECT_EQ(two.point(x, 60), x == 121 || x == 122 ? kRay : kBack) << x;
}

// A glossy power that overflows stops the drawing at that pixel: the arrows
// and the pixels scanned before it stay, nothing after it is painted.
TEST(ExampleHalfDisc, OverflowingGlossyPowerStopsTheScanWhereItHappens) {
  const struct {
    double degrees;
    float n;
    int failX, failY;
  } cases[] = {
      {0, -1000, 38, 48},  // the first pixel where t = 2 cos^2 e - 1 is small but not negative
      {90, -50, 27, 72},   // the base's left end: t = -cos g, about 4e-8
  };
  for (const auto& c : cases) {
    Raster r(kW, kH, kBack);
    try {
      draw(r, kGlossy, c.degrees, 0.5f, c.n);
      ADD_FAILURE() << "no error at " << c.degrees;
    } catch (const RuntimeError& e) {
      EXPECT_EQ(e.kind(), ErrorKind::Overflow);
    }
    EXPECT_EQ(r.point(62, 8), kArrow);
    bool beforeFailure = true;
    for (int x = kC - 33; x <= kC + 33; ++x) {
      for (int y = kBase - 33; y <= kBase; ++y) {
        beforeFailure = beforeFailure && !(x == c.failX && y == c.failY);
        if (inDisc(x, y)) {
          EXPECT_EQ(isGrey(r.point(x, y)), beforeFailure) << c.degrees << " " << x << "," << y;
        }
      }
    }
  }
}

}  // namespace
}  // namespace korvalen
