// The comparison of two models: each pixel's phi is what each model's own
// probe shows there, and each pixel of the picture has the colour the scale
// gives its value.
#include <gtest/gtest.h>

#include "comparison/model_comparison.h"
#include "photometry/probe.h"
#include "raster/diverging_scale.h"
#include "start_up_state.h"

namespace korvalen {
namespace {

using State = testing_support::ShadingState;

constexpr Colour kBackground = RGB(255, 255, 255);

struct Side {
  int32_t model;
  void (*set)(PlanetaryParameters&);
};

void hapke(PlanetaryParameters& p) { p.hapke = kHapkePresets[0].p; }
void lunarFit(PlanetaryParameters& p) { p.lunarLOfPhase = true; }

struct GridCase {
  const char* name;
  Side a, b;
  double ox, oy, oz, inclination, radius;
  bool wholeSphere;
};

// Views that turn the sphere every way, the hidden half shown, a light
// beyond the limb, and the models whose phi comes from either path.
const GridCase kGridCases[] = {
    {"start-up", {kMatte, nullptr}, {kGlossy, nullptr}, 90, 0, 0, 0, 159, false},
    {"turned, whole sphere", {kRocky, nullptr}, {kLunarLambert, lunarFit}, 30, -20, 15.5, 50, 120, true},
    {"light behind", {kHapke, hapke}, {kLommelSeeliger, nullptr}, 90, 0, 90, 120, 90, false},
    {"mirror spot", {kMirror, nullptr}, {kMinnaert, nullptr}, 60.5, 0, 0, 40, 100, false},
};

class ComparisonGridTest : public ::testing::TestWithParam<GridCase> {};

TEST_P(ComparisonGridTest, EveryPixelIsWhatEachProbeShows) {
  const GridCase& c = GetParam();
  State s;
  s.rotate(c.ox, c.oy, c.oz);
  s.setRadius(c.radius);
  s.view.visibleHalfOnly = c.wholeSphere ? kFalse : kTrue;
  s.lm.surfaceModel = c.a.model;
  if (c.a.set) c.a.set(s.lm.planetary);
  s.setInclination(c.inclination);
  if (c.a.model == kMirror) s.shade();  // the spot its run finds
  ComparedModel m = comparedModelOf(s.lm, s.mirror);
  m.surfaceModel = c.b.model;
  if (c.b.set) c.b.set(m.planetary);
  const LightAndModel b = withModel(s.lm, m);
  const int w = s.picture.pictureWidth, h = s.picture.pictureHeight;
  const ComparisonGrid g = compareOverSphere(s.view, s.picture, s.lm, s.mirror, b, m.mirror, w, h);
  int shown = 0;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const auto fx = static_cast<float>(x), fy = static_cast<float>(y);
      const ProbeReading ra = probeAt(s.view, s.lm, s.picture, s.mirror, fx, fy, false);
      const ProbeReading rb = probeAt(s.view, b, s.picture, m.mirror, fx, fy, false);
      const size_t i = g.index(x, y);
      ASSERT_EQ(g.shown[i] != 0, ra.shown) << x << "," << y;
      if (!ra.shown) continue;
      ++shown;
      ASSERT_EQ(g.phiA[i], ra.phi) << x << "," << y;
      ASSERT_EQ(g.phiB[i], rb.phi) << x << "," << y;
    }
  }
  EXPECT_GT(shown, 1000);
  // The window's run, which measures each pixel on the thread that found it, draws the same picture.
  for (ComparisonKind kind : {ComparisonKind::Ratio, ComparisonKind::Difference}) {
    Raster drawn(w, h, kBackground), shaded(w, h, kBackground);
    const std::vector<double> levels = defaultComparisonLevels(kind);
    const double limit = drawComparison(g, kind, levels, drawn);
    EXPECT_EQ(shadeComparison(s.view, s.picture, s.lm, s.mirror, b, m.mirror, kind, levels, shaded), limit);
    EXPECT_TRUE(drawn.pixels() == shaded.pixels());
  }
}

INSTANTIATE_TEST_SUITE_P(Views, ComparisonGridTest, ::testing::ValuesIn(kGridCases),
                         [](const auto& info) {
                           std::string n = info.param.name;
                           for (char& ch : n)
                             if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           return n;
                         });

// A hand-made grid of one row: its pixels, the limit and the colours.
struct PictureCase {
  const char* name;
  ComparisonKind kind;
  std::vector<float> phiA, phiB;
  std::vector<uint8_t> shown;
  std::vector<double> levels;
  double limit;
  std::vector<Colour> expected;  // kScale: the scale's colour of the pixel's value
};

constexpr Colour kScale = 0xFFFFFFFFu;  // no colour of a picture
const Colour kDeepBlue = kDivergingStops.front(), kDeepRed = kDivergingStops.back(), kMiddle = kDivergingStops[4];

const PictureCase kPictureCases[] = {
    // 1/2 and 2 lie equally deep: the two ends.
    {"ratio ends", ComparisonKind::Ratio, {0.2f, 0.4f, 0.3f, 0}, {0.4f, 0.2f, 0.3f, 0}, {1, 1, 1, 0}, {100},
     2, {kDeepBlue, kDeepRed, kMiddle, kBackground}},
    // phi_B = 0: no ratio; phi_A = 0 beside a phi_B above 0: a ratio of 0, the lower end.
    {"no ratio", ComparisonKind::Ratio, {0.5f, 0, 0.3f, 0.33f}, {0, 0.5f, 0.25f, 0.3f}, {1, 1, 1, 1}, {100},
     1.5, {kNoRatioColour, kDeepBlue, kScale, kScale}},
    // The level 1 between the third and fourth pixel: a line on the pixel before it.
    {"isoline", ComparisonKind::Ratio, {0.1f, 0.2f, 0.29f, 0.31f, 0.4f}, {0.2f, 0.2f, 0.3f, 0.3f, 0.2f},
     {1, 1, 1, 1, 1}, {1}, 2, {kDeepBlue, kMiddle, kComparisonLineColour, kScale, kDeepRed}},
    {"difference", ComparisonKind::Difference, {0.75f, 0.25f, 0.3f, 0.35f}, {0.25f, 0.75f, 0.3f, 0.3f}, {1, 1, 1, 1},
     {9}, 0.5, {kDeepRed, kDeepBlue, kMiddle, kScale}},
};

class ComparisonPictureTest : public ::testing::TestWithParam<PictureCase> {};

TEST_P(ComparisonPictureTest, PixelsHaveTheScalesColours) {
  const PictureCase& c = GetParam();
  ComparisonGrid g;
  g.width = static_cast<int>(c.phiA.size());
  g.height = 1;
  g.phiA = c.phiA;
  g.phiB = c.phiB;
  g.shown = c.shown;
  Raster out(g.width, 1, kBackground);
  const double limit = drawComparison(g, c.kind, c.levels, out);
  EXPECT_DOUBLE_EQ(limit, c.limit);
  for (int x = 0; x < g.width; ++x) {
    Colour want = c.expected[static_cast<size_t>(x)];
    if (want == kScale) want = divergingColour(scalePosition(c.kind, *g.value(c.kind, x, 0), limit));
    EXPECT_EQ(out.point(x, 0), want) << "pixel " << x;
  }
}

INSTANTIATE_TEST_SUITE_P(Grids, ComparisonPictureTest, ::testing::ValuesIn(kPictureCases),
                         [](const auto& info) {
                           std::string n = info.param.name;
                           for (char& ch : n)
                             if (ch == ' ') ch = '_';
                           return n;
                         });

}  // namespace
}  // namespace korvalen
