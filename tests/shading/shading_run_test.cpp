// Whole shading runs on the 393 x 337 map picture, read back pixel by pixel.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <vector>

#include "start_up_state.h"

namespace korvalen {
namespace {

using testing_support::kUntouched;
using testing_support::ShadingState;

constexpr int kWidth = 393, kHeight = 337, kCentreX = 196, kCentreY = 168;
constexpr double kRadius = 159;

// The pixel at (dx, dy) from the centre, dy upward (rows count from the bottom).
Colour at(const Raster& r, int dx, int dy) {
  return r.point(kCentreX + dx, kHeight - (kCentreY + dy));
}

// What a drawn colour is: grey (r = g = b), a grey tinted by band 1..7, one of
// the two zone colours, or untouched.
enum Kind { kGrey = 0, kBand1 = 1, kBand7 = 7, kZoneAtZero = 8, kZoneBelowZero = 9, kNone = 10 };

struct Classified {
  int kind;
  int grey;  // for greys and bands
};

Classified classify(Colour c) {
  const int r = redOf(c), g = greenOf(c), b = blueOf(c);
  if (c == kUntouched) return {kNone, 0};
  if (r == g && g == b) return {kGrey, r};
  if (c == RGB(96, 0, 52)) return {kZoneAtZero, 0};
  if (c == RGB(175, 0, 91)) return {kZoneBelowZero, 0};
  static const int tint[8][3] = {{0, 0, 0},   {40, 0, 0}, {40, 20, 0}, {37, 40, 0},
                                 {0, 40, 0},  {0, 30, 40}, {0, 0, 40}, {25, 0, 40}};
  for (int k = 1; k <= 7; ++k)
    for (int grey = 0; grey <= 256; ++grey)
      if (RGB(grey + tint[k][0], grey + tint[k][1], grey + tint[k][2]) == c) return {k, grey};
  ADD_FAILURE() << "a colour the shading does not give: " << r << ", " << g << ", " << b;
  return {kNone, 0};
}

// ---------------------------------------------------------------------------
// The start-up map.

TEST(StartUpMap, DiscOfRadius159) {
  ShadingState st;
  const Raster picture1 = st.shade();
  int drawn = 0;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const int dx = x - kCentreX, dy = (kHeight - y) - kCentreY;
      const int d2 = dx * dx + dy * dy;
      const bool isDrawn = picture1.point(x, y) != kUntouched;
      drawn += isDrawn;
      // Inside the outline every sight line meets the sphere. The disc test
      // lets pixels out to R^2 + R = 25440 through, but beyond R^2 = 25281
      // the discriminant is negative. Of the twelve pixels exactly on the
      // circle (159^2 = 0^2 + 159^2 = 84^2 + 135^2) rounding lets through only
      // the two on the horizontal axis.
      if (d2 < 159 * 159) {
        EXPECT_TRUE(isDrawn) << dx << ", " << dy;
      } else if (d2 > 159 * 159) {
        EXPECT_FALSE(isDrawn) << dx << ", " << dy;
      } else {
        EXPECT_EQ(isDrawn, dy == 0) << dx << ", " << dy;
      }
    }
  }
  // 79369 lattice points with dx^2 + dy^2 < 159^2, and the two on the axis.
  EXPECT_EQ(drawn, 79371);
  // The centre is the brightest: cosI = 0.99999994, grey 255.
  EXPECT_EQ(at(picture1, 0, 0), RGB(255, 255, 255));
}

TEST(StartUpMap, GreysAndRingsFollowCosI) {
  ShadingState st;
  const Raster picture1 = st.shade();
  const double level[8] = {0, 0.9, 0.8, 0.7, 0.6, 0.5, 0.4, 0.3};
  const double w = 0.005;
  std::map<int, int> count;  // by kind
  int white = 0;
  for (int dx = -159; dx <= 159; ++dx) {
    for (int dy = -159; dy <= 159; ++dy) {
      const Colour c = at(picture1, dx, dy);
      if (c == kUntouched) continue;
      const Classified k = classify(c);
      ++count[k.kind];
      white += c == RGB(255, 255, 255);
      // phi = cosI is the height of the sphere point, sqrt(1 - r^2 / R^2).
      // The 89.98 degrees of OX move the pole by 0.000349, less than 0.06 px;
      // phi is taken over that range of r.
      const double r = std::sqrt(dx * dx + dy * dy);
      auto phiAt = [](double rr) {
        const double q = rr / kRadius;
        return q >= 1 ? 0.0 : std::sqrt(1 - q * q);
      };
      const double phiLow = phiAt(r + 0.06), phiHigh = phiAt(std::max(r - 0.06, 0.0));
      SCOPED_TRACE(testing::Message() << dx << ", " << dy);
      if (k.kind == kGrey || (k.kind >= kBand1 && k.kind <= kBand7)) {
        // grey = phi * 255 + 0.5 rounded: between phi * 255 and phi * 255 + 1.
        EXPECT_GE(k.grey, phiLow * 255 - 1e-9);
        EXPECT_LE(k.grey, phiHigh * 255 + 1 + 1e-9);
      }
      if (k.kind >= kBand1 && k.kind <= kBand7) {
        EXPECT_LE(phiLow, level[k.kind] + w + 1e-7);
        EXPECT_GE(phiHigh, level[k.kind] - w - 1e-7);
      }
      if (k.kind == kGrey) {
        for (int b = 1; b <= 7; ++b)
          EXPECT_FALSE(phiLow > level[b] - w + 1e-7 && phiHigh < level[b] + w - 1e-7)
              << "untinted inside band " << b;
      }
      if (k.kind == kZoneAtZero) {
        EXPECT_LE(phiLow, w);
      }
      EXPECT_NE(k.kind, kZoneBelowZero);  // the light is at the observer: no shadow
    }
  }
  // Each ring covers the part of the disc where c - w <= cosI <= c + w. On the
  // hemisphere seen from above that is 4 pi R^2 w c pixels: 1430 for c = 0.9
  // down to 477 for c = 0.3. The exact counts were checked against a second,
  // independent implementation of the same rules.
  const int ring[8] = {0, 1428, 1274, 1136, 932, 798, 618, 426};
  for (int b = 1; b <= 7; ++b) {
    SCOPED_TRACE(b);
    EXPECT_EQ(count[b], ring[b]);
    EXPECT_NEAR(count[b], 4 * std::acos(-1.0) * kRadius * kRadius * w * level[b],
                0.12 * count[b]);
  }
  // phi = 0.005 or less only at the two rim pixels on the horizontal axis.
  EXPECT_EQ(count[kZoneAtZero], 2);
  EXPECT_EQ(count[kGrey], 72757);
  // Grey 255 wherever phi * 255 > 254, that is r^2 < 25281 (1 - (254/255)^2) = 198.1:
  // close to pi * 198 = 622 pixels.
  EXPECT_EQ(white, 619);
}

// ---------------------------------------------------------------------------
// Smoothing.

TEST(Smoothing, AveragesFourSubSamples) {
  ShadingState st;
  st.smooth(true);
  const Raster picture1 = st.shade();
  // On the rim at (159, 0) the sub-samples at 158.75 meet the sphere with
  // phi = 0.056 (grey 15) and those at 159.25 miss (background 255):
  // (15 + 255 + 255 + 15) / 4 = 135.
  EXPECT_EQ(at(picture1, 159, 0), RGB(135, 135, 135));
  // Four sub-samples of grey 255 sum to 1020, as four misses do: the centre is
  // left to the background, which is white as well.
  EXPECT_EQ(at(picture1, 0, 0), kUntouched);
  EXPECT_EQ(at(picture1, 1, 0), kUntouched);
  // At (-159, -9) the first sub-sample (-159.25, -9.25) lies outside the disc
  // limit R^2 + R, so the pixel is not sampled at all, though its sub-sample at
  // (-158.75, -8.75) would meet the sphere.
  EXPECT_EQ(at(picture1, -159, -9), kUntouched);
  EXPECT_TRUE(evaluatePicturePoint(st.view, st.lm, -158.75, -8.75, 10 * st.view.unitsPerPixel,
                                   kShadingRules, false)
                  .hit);
  // At (113, 113) the first sub-sample passes the disc test (2 * 112.75^2 <
  // 25440) but all four lie beyond the sphere's outline: not drawn.
  EXPECT_EQ(at(picture1, 113, 113), kUntouched);
  EXPECT_EQ(at(picture1, 112, 112), RGB(22, 22, 22));
  int drawn = 0;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) drawn += picture1.point(x, y) != kUntouched;
  EXPECT_EQ(drawn, 79132);
}

TEST(Smoothing, QuotientsAbove255AreDrawnAs255) {
  // The glossy peak is limited to phi = 1 (grey 256); band 1 moved to level 1
  // tints it by 40: (4 * 296) / 4 = 296 for red, 256 for green and blue.
  ShadingState st;
  st.smooth(true);
  st.lm.surfaceModel = kGlossy;
  st.isolines.isolineLevel[1] = 1.0f;
  const Raster picture1 = st.shade();
  EXPECT_EQ(at(picture1, 0, 0), RGB(255, 255, 255));
  // In direct mode the same sample is drawn as 255 too.
  st.smooth(false);
  EXPECT_EQ(at(st.shade(), 0, 0), RGB(255, 255, 255));
}

// ---------------------------------------------------------------------------
// The scan rectangle and large radii.

TEST(ScanRectangle, SquareAroundTheDiscCutAtTheEdges) {
  struct Case {
    double radius;
    int columnFirst, columnLast, rowFirst, rowLast;
  } const cases[] = {
      {159, 37, 355, 9, 327},
      {158.5, 38, 354, 10, 326},  // r = 158.5 rounds to even: 158
      {159.5, 36, 356, 8, 328},   // 159.5 rounds to 160
      {300, 0, 393, 0, 337},      // bounds are inclusive: the last column and
      {899, 0, 393, 0, 337},      // row 0 lie just off the grid
      {950, 0, 393, 0, 337},
      {0.2, 196, 196, 168, 168},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.radius);
    ShadingState st;
    st.setRadius(c.radius);
    st.mirror.mirrorBestScore = 3;
    const ShadingRun run = prepareShadingRun(st.view, st.picture, st.isolines, st.mirror);
    EXPECT_EQ(run.scanColumnFirst, c.columnFirst);
    EXPECT_EQ(run.scanColumnLast, c.columnLast);
    EXPECT_EQ(run.scanRowFirst, c.rowFirst);
    EXPECT_EQ(run.scanRowLast, c.rowLast);
    EXPECT_EQ(run.backRedTimes4, 1020);
    EXPECT_EQ(run.sightLineHalfLength, 10 * st.view.unitsPerPixel);
    EXPECT_EQ(st.mirror.mirrorBestScore, 100.0f);
  }
}

TEST(ScanRectangle, RadiusLargerThanThePictureIsClipped) {
  for (double radius : {300.0, 899.0}) {
    SCOPED_TRACE(radius);
    ShadingState st;
    st.setRadius(radius);
    const Raster picture1 = st.shade();
    // The whole picture lies inside the disc (its farthest corner is at
    // 196^2 + 169^2 = 66977 < 300^2): every pixel is drawn, nothing fails.
    int untouched = 0;
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) untouched += picture1.point(x, y) == kUntouched;
    EXPECT_EQ(untouched, 0);
  }
  // Radius 200: cut at the top and bottom edges, whole at the sides.
  ShadingState st;
  st.setRadius(200);
  const Raster picture1 = st.shade();
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const int dx = x - kCentreX, dy = (kHeight - y) - kCentreY;
      const int d2 = dx * dx + dy * dy;
      if (d2 == 200 * 200) continue;
      EXPECT_EQ(picture1.point(x, y) != kUntouched, d2 < 200 * 200) << dx << ", " << dy;
    }
  }
}

TEST(ScanRectangle, SixteenBitOverflowAndZeroUnitsStopTheRunBeforeDrawing) {
  struct Case {
    double unitsPerPixel;
    ErrorKind kind;
  } const cases[] = {
      {1.0 / 40000, ErrorKind::Overflow},  // 168 - 40000 is no 16-bit integer
      {0.0, ErrorKind::DivisionByZero},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.unitsPerPixel);
    ShadingState st;
    st.view.unitsPerPixel = c.unitsPerPixel;
    st.view.discLimitSq = 1e12;
    Raster picture1(kWidth, kHeight, kUntouched);
    try {
      shadeMap(st.view, st.lm, st.picture, st.isolines, st.mirror, picture1);
      ADD_FAILURE() << "no error";
    } catch (const RuntimeError& e) {
      EXPECT_EQ(e.kind(), c.kind);
    }
    EXPECT_EQ(picture1.point(kCentreX, kHeight - kCentreY), kUntouched);
  }
}

// ---------------------------------------------------------------------------
// The mirror model.

struct MirrorRun {
  Raster picture1;
  int white = 0, darkGrey = 0, other = 0;
};

MirrorRun countMirror(ShadingState& st) {
  MirrorRun m{st.shade()};
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const Colour c = m.picture1.point(x, y);
      if (c == kUntouched) continue;
      if (c == RGB(255, 255, 255))
        ++m.white;
      else if (c == RGB(3, 3, 3))
        ++m.darkGrey;
      else
        ++m.other;
    }
  }
  return m;
}

ShadingState mirrorScene() {
  ShadingState st;
  st.lm.surfaceModel = kMirror;
  st.rotate(90, 30, 0);
  st.setInclination(20);
  return st;
}

TEST(Mirror, OneWhitePixelAtTheBestSample) {
  struct Case {
    bool smooth;
    double score;
    int drawn;
    int rim;  // pixels averaging the sphere's grey 3 and the background
  } const cases[] = {
      {false, 0.005606, 74075, 0},
      // With smoothing every sub-sample is scored: the best one lies closer.
      {true, 0.002392, 74377, 581},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.smooth);
    ShadingState st = mirrorScene();
    st.smooth(c.smooth);
    const MirrorRun m = countMirror(st);
    // phi = 0.008 everywhere: grey 3, no band, no zone; one white spot.
    EXPECT_EQ(m.white, 1);
    EXPECT_EQ(m.other, c.rim);
    EXPECT_EQ(m.white + m.darkGrey + m.other, c.drawn);
    EXPECT_EQ(st.mirror.mirrorSpotColumn, 118);
    EXPECT_EQ(st.mirror.mirrorSpotRow, 140);
    EXPECT_NEAR(st.mirror.mirrorBestScore, c.score, 5e-7);
    EXPECT_EQ(m.picture1.point(118, kHeight - 140), RGB(255, 255, 255));
  }
  // Light at the observer: i = e = 0 at the centre of the start-up view.
  ShadingState st;
  st.lm.surfaceModel = kMirror;
  countMirror(st);
  EXPECT_EQ(st.mirror.mirrorSpotColumn, kCentreX);
  EXPECT_EQ(st.mirror.mirrorSpotRow, kCentreY);
}

TEST(Mirror, SpotIsKeptByARunThatScoresNothing) {
  ShadingState st = mirrorScene();
  countMirror(st);
  ASSERT_EQ(st.mirror.mirrorSpotColumn, 118);
  // Radius 0.2 and no rotation with smoothing: the one pixel's four
  // sub-samples at 1.25 sphere radii all miss, nothing scores below 100, and
  // the spot of the previous run is painted again.
  st.rotate(0, 0, 0);
  st.setRadius(0.2);
  st.smooth(true);
  const MirrorRun m = countMirror(st);
  EXPECT_EQ(st.mirror.mirrorBestScore, 100.0f);
  EXPECT_EQ(st.mirror.mirrorSpotColumn, 118);
  EXPECT_EQ(st.mirror.mirrorSpotRow, 140);
  EXPECT_EQ(m.white, 1);
  EXPECT_EQ(m.darkGrey + m.other, 0);
  EXPECT_EQ(m.picture1.point(118, kHeight - 140), RGB(255, 255, 255));
}

TEST(Mirror, FirstSampleScannedKeepsAnEqualScore) {
  ShadingState st = mirrorScene();
  ShadingRun run = prepareShadingRun(st.view, st.picture, st.isolines, st.mirror);
  Raster picture1(kWidth, kHeight, kUntouched);
  auto sample = [&](int column, int row, double dx, double dy) {
    run.scanColumn = column;
    run.scanRow = row;
    run.pixelDX = dx;
    run.pixelDY = dy;
    run.sampleIndex = 0;
    Тонирование(run, st.view, st.lm, st.picture, st.mirror, picture1);
  };
  sample(118, 140, 118 - 196, 140 - 168);
  const float best = st.mirror.mirrorBestScore;
  EXPECT_LT(best, 100.0f);
  // The spot's pixel is drawn like every other first: dark grey.
  EXPECT_EQ(picture1.point(118, kHeight - 140), RGB(3, 3, 3));
  // The same sample again under another pixel: equal, not less: kept.
  sample(300, 300, 118 - 196, 140 - 168);
  EXPECT_EQ(st.mirror.mirrorSpotColumn, 118);
  EXPECT_EQ(st.mirror.mirrorSpotRow, 140);
  // A worse sample: kept. A miss: kept, and nothing drawn.
  sample(10, 10, 0, 0);
  sample(11, 11, 170, 0);
  EXPECT_EQ(st.mirror.mirrorSpotColumn, 118);
  EXPECT_EQ(st.mirror.mirrorBestScore, best);
  EXPECT_EQ(picture1.point(11, kHeight - 11), kUntouched);
  // A better one: taken.
  st.mirror.mirrorBestScore = 1;
  sample(10, 12, 0, 0);
  EXPECT_EQ(st.mirror.mirrorSpotColumn, 10);
  EXPECT_EQ(st.mirror.mirrorSpotRow, 12);
}

// ---------------------------------------------------------------------------
// Light from the side, the whole sphere, and repeated runs.

TEST(Shadow, BoundaryIsAThinLineInTheTwoZoneColours) {
  // Inclination 60 lights the lower part of the map; down the centre column
  // from the top rim: black, one pixel of each zone colour, then lit.
  ShadingState st;
  st.setInclination(60);
  const Raster picture1 = st.shade();
  std::vector<int> runs;  // kinds in the order met, repeats folded
  int black = 0;
  for (int dy = 159; dy >= -159; --dy) {
    const Colour c = at(picture1, 0, dy);
    if (c == kUntouched) continue;
    const int kind = c == RGB(0, 0, 0) ? -1 : classify(c).kind;
    black += kind == -1;
    const int folded = (kind == kGrey || (kind >= kBand1 && kind <= kBand7)) ? kGrey : kind;
    if (runs.empty() || runs.back() != folded) runs.push_back(folded);
  }
  EXPECT_EQ(runs, (std::vector<int>{-1, kZoneBelowZero, kZoneAtZero, kGrey}));
  EXPECT_EQ(black, 78);
}

TEST(WholeSphere, RockyHiddenHalfIsBlackWhereLit) {
  // No rotation, whole sphere: below the centre A has z < 0, so cosE < 0, while
  // the light at 20 degrees still reaches it: phi = cosI cosE < -0.005.
  ShadingState st;
  st.lm.surfaceModel = kRocky;
  st.rotate(0, 0, 0);
  st.view.visibleHalfOnly = kFalse;
  st.setInclination(20);
  const Raster picture1 = st.shade();
  EXPECT_EQ(at(picture1, 0, -30), RGB(0, 0, 0));
  // With the visible half only, the lower half of the disc is not drawn.
  st.view.visibleHalfOnly = kTrue;
  EXPECT_EQ(at(st.shade(), 0, -30), kUntouched);
}

}  // namespace
}  // namespace korvalen
