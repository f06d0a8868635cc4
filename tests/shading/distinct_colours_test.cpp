// The bands in the colours every eye can tell apart: each band pixel takes
// its band's colour alone, where the legend's tints are added to the grey;
// every other pixel, the zones included, stays as it was.
#include <gtest/gtest.h>

#include "start_up_state.h"

namespace korvalen {
namespace {

using testing_support::kUntouched;
using testing_support::ShadingState;

Colour colourOf(const Tint& t) { return RGB(t.red, t.green, t.blue); }

// The legend's tint added to a grey, each part limited to 255 as drawn.
Colour tinted(Colour grey, const Tint& t) {
  auto part = [](int g, int add) { return std::min(g + add, 255); };
  return RGB(part(redOf(grey), t.red), part(greenOf(grey), t.green), part(blueOf(grey), t.blue));
}

TEST(DistinctColours, EachBandPixelTakesItsColourAloneOnEveryPath) {
  for (int16_t smoothing : {0, 1}) {
    SCOPED_TRACE(smoothing ? "smoothing" : "direct");
    ShadingState st;
    st.smooth(smoothing != 0);
    st.setInclination(40);  // the zones too: the lit part ends in them
    ShadingState greys = st, legend = st, distinct = st;
    greys.isolines.isolinesHidden = kTrue;
    distinct.isolines.isolineColours = kDistinctColours;
    const Raster g = greys.shade(), l = legend.shade(), d = distinct.shade();
    int bandPixels[8] = {};
    for (int y = 0; y < g.heightPixels(); ++y) {
      for (int x = 0; x < g.widthPixels(); ++x) {
        const Colour grey = g.point(x, y);
        // No band reached the pixel: as it was.
        if (l.point(x, y) == grey) {
          EXPECT_EQ(d.point(x, y), grey) << x << "," << y;
          continue;
        }
        EXPECT_NE(d.point(x, y), l.point(x, y)) << x << "," << y;
        for (int k = 1; k <= 7; ++k) {
          if (d.point(x, y) != colourOf(kDistinctBandColour[k])) continue;
          ++bandPixels[k];
          // Drawn at once, a band pixel is its tint on the grey with the legend's colours.
          if (!smoothing) {
            EXPECT_EQ(l.point(x, y), tinted(grey, kBandTint[k])) << x << "," << y;
          }
        }
      }
    }
    for (int k = 1; k <= 7; ++k) EXPECT_GT(bandPixels[k], 20) << "band " << k;
  }
}

TEST(DistinctColours, SubSamplesAddTheirBandColourInPlaceOfGreyAndTint) {
  // Sub-samples 1, 2, 4, 3 of one pixel: band 1, band 5, plain grey, a miss.
  const struct {
    int16_t colours;
    int red, green, blue;
  } cases[] = {
      // grey(0.9) 230 + tint (40, 0, 0); grey(0.5) 128 + (0, 30, 40); grey(0.95) 243; the background 255.
      {kLegendColours, 270 + 128 + 243 + 255, 230 + 158 + 243 + 255, 230 + 168 + 243 + 255},
      {kDistinctColours, 230 + 0 + 243 + 255, 159 + 114 + 243 + 255, 0 + 178 + 243 + 255},
  };
  const int16_t order[4] = {1, 2, 4, 3};
  const struct {
    bool hit;
    float phi;
  } samples[4] = {{true, 0.9f}, {true, 0.5f}, {true, 0.95f}, {false, 0}};
  for (const auto& c : cases) {
    ShadingState st;
    st.isolines.isolineColours = c.colours;
    ShadingRun run = prepareShadingRun(st.view, st.picture, st.isolines, st.mirror);
    Raster picture1(393, 337, kUntouched);
    run.pointRed = run.pointGreen = run.pointBlue = 0;
    for (int i = 0; i < 4; ++i) {
      run.sampleIndex = order[i];
      colourSample(run, st.picture, samples[i].hit, samples[i].phi, picture1);
    }
    EXPECT_EQ(run.pointRed, c.red) << c.colours;
    EXPECT_EQ(run.pointGreen, c.green) << c.colours;
    EXPECT_EQ(run.pointBlue, c.blue) << c.colours;
  }
}

}  // namespace
}  // namespace korvalen
