// phi along the map's row and column through the probe's point: the probe's
// own values pixel by pixel, and gaps exactly where it shows nothing.
#include <gtest/gtest.h>

#include "photometry/probe.h"
#include "profiles/probe_curves.h"
#include "start_up_state.h"

namespace korvalen {
namespace {

TEST(ProbeCurves, AreTheProbesValuesGapsIncluded) {
  const struct {
    const char* name;
    int32_t model;
    double ox, oy, oz, inclination;
    bool wholeSphere;
    float x, y;  // the probe's point; for the mirror its spot
  } cases[] = {
      {"start-up, centre", kMatte, 90, 0, 0, 0, false, 196, 169},
      {"rocky, turned, whole sphere", kRocky, 30, -20, 15.5, 45, true, 150, 200},
      {"Akimov, seen from the side", kAkimov, 0, 0, 0, 60, false, 196, 100},
      {"Hapke, the column off the disc", kHapke, 90, 0, 0, 20, false, 5, 169},
      {"mirror, through its spot", kMirror, 90, 0, 0, 50, false, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    testing_support::ShadingState s;
    s.lm.surfaceModel = c.model;
    if (c.model == kHapke) s.lm.planetary.hapke = kHapkePresets[0].p;
    s.rotate(c.ox, c.oy, c.oz);
    s.view.visibleHalfOnly = c.wholeSphere ? kFalse : kTrue;
    s.setInclination(c.inclination);
    s.shade();  // the mirror's spot
    const MapPicture& pic = s.picture;
    const bool mirror = c.model == kMirror;
    const float x = mirror ? s.mirror.mirrorSpotColumn : c.x;
    const float y = mirror ? static_cast<float>(pic.pictureHeight - s.mirror.mirrorSpotRow) : c.y;
    const ProbeCurves curves = probeCurves(s.view, s.lm, pic, s.mirror, x, y, 393, 337);
    EXPECT_EQ(curves.x, x);
    EXPECT_EQ(curves.y, y);
    int shown = 0, gaps = 0, ones = 0;
    auto check = [&](const std::vector<ProbeSample>& line, int n, bool isRow) {
      ASSERT_EQ(line.size(), static_cast<size_t>(n));
      for (int k = 0; k < n; ++k) {
        const float px = isRow ? static_cast<float>(k) : x, py = isRow ? y : static_cast<float>(k);
        const ProbeReading r = probeAt(s.view, s.lm, pic, s.mirror, px, py, false);
        const ProbeSample& p = line[static_cast<size_t>(k)];
        EXPECT_EQ(p.offset, isRow ? k - pic.centreX : (pic.pictureHeight - k) - pic.centreY) << k;
        ASSERT_EQ(p.shown, r.shown) << (isRow ? "x " : "y ") << k;
        if (r.shown) { EXPECT_EQ(p.phi, r.phi) << (isRow ? "x " : "y ") << k; }
        shown += r.shown;
        gaps += !r.shown;
        ones += r.shown && r.phi == 1;
      }
    };
    check(curves.row, 393, true);
    check(curves.column, 337, false);
    EXPECT_GT(gaps, 4);  // every line runs off the disc at both ends
    EXPECT_GT(shown, 100);
    EXPECT_FALSE(curves.row.front().shown);
    EXPECT_FALSE(curves.column.back().shown);
    if (mirror) { EXPECT_EQ(ones, 2); }  // the spot's pixel, on its row and on its column
  }
}

}  // namespace
}  // namespace korvalen
