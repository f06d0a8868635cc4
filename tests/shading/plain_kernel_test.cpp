// The benchmarks' plain kernel is the yardstick of the shading's speed only if
// it draws what the program draws: the same pixels and mirror spot as the
// checked path, for each model, with and without smoothing, at both scales.
#include <gtest/gtest.h>

#include <vector>

#include "bench/plain_params.h"
#include "start_up_state.h"

namespace korvalen {
namespace {

using testing_support::ShadingState;

TEST(PlainKernel, DrawsWhatTheCheckedPathDraws) {
  for (int32_t model : {kMatte, kGlossy, kRocky, kMirror}) {
    for (bool smooth : {false, true}) {
      for (int scale : {1, 2}) {
        SCOPED_TRACE(testing::Message() << "model " << model << " smooth " << smooth << " scale "
                                        << scale);
        ShadingState st;
        st.lm.surfaceModel = model;
        st.smooth(smooth);
        if (scale == 2) {
          st.picture = {786, 674, 393, 337, 255, 255, 255, kFalse};
          st.setRadius(336);
        }
        st.setInclination(model == kMirror ? 30 : 0);
        const plain::Params p = plainParamsOf(st.view, st.lm, st.picture, st.isolines);
        std::vector<uint32_t> bits(static_cast<size_t>(p.width) * p.height, 0xFFFFFFFFu);
        plain::Spot spot;
        plain::shade(p, bits.data(), spot);

        Raster picture1(p.width, p.height);
        shadeMap(ShadingPath::Checked, st.view, st.lm, st.picture, st.isolines, st.mirror,
                 picture1);
        int differ = 0;
        for (int y = 0; y < p.height; ++y)
          for (int x = 0; x < p.width; ++x)
            differ += bits[static_cast<size_t>(y) * p.width + x] != picture1.image().pixel(x, y);
        EXPECT_EQ(differ, 0);
        if (model == kMirror) {
          EXPECT_EQ(spot.column, st.mirror.mirrorSpotColumn);
          EXPECT_EQ(spot.row, st.mirror.mirrorSpotRow);
        }
      }
    }
  }
}

}  // namespace
}  // namespace korvalen
