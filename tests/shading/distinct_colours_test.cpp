// The bands in the colours every eye can tell apart: each band pixel takes its
// band's colour alone, in place of grey plus tint; every other pixel stays.
#include <gtest/gtest.h>

#include "start_up_state.h"

namespace korvalen {
namespace {

using testing_support::kUntouched;
using testing_support::ShadingState;

TEST(DistinctColours, EachBandPixelTakesItsColourAloneOnEveryPath) {
  for (int16_t smoothing : {0, 1}) {
    SCOPED_TRACE(smoothing ? "smoothing" : "direct");
    ShadingState st;
    st.smooth(smoothing != 0);
    st.setInclination(40);  // the zones too: the lit part ends in them
    ShadingState greys = st, distinct = st;
    greys.isolines.isolinesHidden = kTrue;
    distinct.isolines.isolineColours = kDistinctColours;
    const Raster g = greys.shade(), l = st.shade(), d = distinct.shade();
    int bandPixels[8] = {};
    for (int y = 0; y < g.heightPixels(); ++y) {
      for (int x = 0; x < g.widthPixels(); ++x) {
        const Colour grey = g.point(x, y), legend = l.point(x, y), colour = d.point(x, y);
        if (legend == grey) {  // no band reached the pixel: as it was
          EXPECT_EQ(colour, grey) << x << "," << y;
          continue;
        }
        EXPECT_NE(colour, legend) << x << "," << y;
        for (int k = 1; k <= 7; ++k) {
          const Tint& c = kDistinctBandColour[k], &t = kBandTint[k];
          if (colour != RGB(c.red, c.green, c.blue)) continue;
          ++bandPixels[k];
          // Drawn at once, the legend's colours keep the default tint added to the grey.
          if (!smoothing) {
            EXPECT_EQ(legend, RGB(std::min(redOf(grey) + t.red, 255), std::min(greenOf(grey) + t.green, 255),
                                  std::min(blueOf(grey) + t.blue, 255))) << x << "," << y;
          }
        }
      }
    }
    for (int k = 1; k <= 7; ++k) EXPECT_GT(bandPixels[k], 20) << "band " << k;
  }
}

TEST(DistinctColours, SubSamplesAddTheirBandColourInPlaceOfGreyAndTint) {
  // Sub-samples 1, 2, 4, 3 of one pixel: band 1 (phi 0.9, grey 230), band 5 (0.5, 128),
  // plain grey (0.95, 243), a miss (the background, 255).
  const struct { int16_t colours; int red, green, blue; } cases[] = {
      {kLegendColours, 270 + 128 + 243 + 255, 230 + 158 + 243 + 255, 230 + 168 + 243 + 255},
      {kDistinctColours, 230 + 0 + 243 + 255, 159 + 114 + 243 + 255, 0 + 178 + 243 + 255},
  };
  const int16_t order[4] = {1, 2, 4, 3};
  const bool hit[4] = {true, true, true, false};
  const float phi[4] = {0.9f, 0.5f, 0.95f, 0};
  for (const auto& c : cases) {
    ShadingState st;
    st.isolines.isolineColours = c.colours;
    ShadingRun run = prepareShadingRun(st.view, st.picture, st.isolines, st.mirror);
    Raster picture1(393, 337, kUntouched);
    run.pointRed = run.pointGreen = run.pointBlue = 0;
    for (int i = 0; i < 4; ++i) {
      run.sampleIndex = order[i];
      colourSample(run, st.picture, hit[i], phi[i], picture1);
    }
    EXPECT_EQ(std::tuple(run.pointRed, run.pointGreen, run.pointBlue), std::tuple(c.red, c.green, c.blue))
        << c.colours;
  }
}

}  // namespace
}  // namespace korvalen
