// phi along the map's row and column through the probe's point: the probe's
// own values pixel by pixel, and gaps exactly where it shows nothing.
#include <gtest/gtest.h>

#include <string>

#include "photometry/probe.h"
#include "profiles/probe_curves.h"
#include "start_up_state.h"

namespace korvalen {
namespace {

using testing_support::ShadingState;

TEST(ProbeCurves, AreTheProbesValuesGapsIncluded) {
  struct Case {
    const char* name;
    int32_t model;
    double ox, oy, oz, inclination;
    bool wholeSphere;
    float x, y;  // the probe's point
  } const cases[] = {
      {"start-up, centre", kMatte, 90, 0, 0, 0, false, 196, 169},
      {"glossy, off centre", kGlossy, 90, 0, 0, 30, false, 250, 120},
      {"rocky, turned, whole sphere", kRocky, 30, -20, 15.5, 45, true, 150, 200},
      {"Akimov, seen from the side", kAkimov, 0, 0, 0, 60, false, 196, 100},
      {"Hapke, the column off the disc", kHapke, 90, 0, 0, 20, false, 5, 169},
      {"mirror", kMirror, 90, 0, 0, 40, false, 200, 200},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ShadingState s;
    s.lm.surfaceModel = c.model;
    if (c.model == kHapke) s.lm.planetary.hapke = kHapkePresets[0].p;
    s.rotate(c.ox, c.oy, c.oz);
    s.view.visibleHalfOnly = c.wholeSphere ? kFalse : kTrue;
    s.setInclination(c.inclination);
    s.shade();  // the mirror's spot
    const MapPicture& pic = s.picture;
    const ProbeCurves curves = probeCurves(s.view, s.lm, pic, s.mirror, c.x, c.y, 393, 337);
    EXPECT_EQ(curves.x, c.x);
    EXPECT_EQ(curves.y, c.y);
    ASSERT_EQ(curves.row.size(), 393u);
    ASSERT_EQ(curves.column.size(), 337u);
    int shown = 0, gaps = 0;
    for (int x = 0; x < 393; ++x) {
      const ProbeReading r = probeAt(s.view, s.lm, pic, s.mirror, static_cast<float>(x), c.y, false);
      const ProbeSample& p = curves.row[static_cast<size_t>(x)];
      EXPECT_EQ(p.offset, x - pic.centreX);
      ASSERT_EQ(p.shown, r.shown) << "x " << x;
      if (r.shown) {
        EXPECT_EQ(p.phi, r.phi) << "x " << x;
      }
      shown += r.shown;
      gaps += !r.shown;
    }
    for (int y = 0; y < 337; ++y) {
      const ProbeReading r = probeAt(s.view, s.lm, pic, s.mirror, c.x, static_cast<float>(y), false);
      const ProbeSample& p = curves.column[static_cast<size_t>(y)];
      EXPECT_EQ(p.offset, (pic.pictureHeight - y) - pic.centreY);
      ASSERT_EQ(p.shown, r.shown) << "y " << y;
      if (r.shown) {
        EXPECT_EQ(p.phi, r.phi) << "y " << y;
      }
      shown += r.shown;
      gaps += !r.shown;
    }
    // Every line runs off the disc at both ends of the picture.
    EXPECT_GT(gaps, 4);
    EXPECT_GT(shown, 100);
    EXPECT_FALSE(curves.row.front().shown);
    EXPECT_FALSE(curves.column.back().shown);
  }
}

// The row through the mirror's spot shows 1 on the spot alone.
TEST(ProbeCurves, MirrorSpotOnItsRow) {
  ShadingState s;
  s.lm.surfaceModel = kMirror;
  s.setInclination(50);
  s.shade();
  const float x = s.mirror.mirrorSpotColumn;
  const float y = static_cast<float>(s.picture.pictureHeight - s.mirror.mirrorSpotRow);
  const ProbeCurves curves = probeCurves(s.view, s.lm, s.picture, s.mirror, x, y, 393, 337);
  int ones = 0;
  for (const auto* line : {&curves.row, &curves.column})
    for (const ProbeSample& p : *line) ones += p.shown && p.phi == 1;
  EXPECT_EQ(ones, 2);  // the same pixel, on its row and on its column
}

}  // namespace
}  // namespace korvalen
