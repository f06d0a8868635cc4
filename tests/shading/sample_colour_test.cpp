// The colour of one sample: grey, isoline tints, the zone colours and black,
// in direct mode (drawn at once) and as sub-sample sums.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "shading/sample_colour.h"
#include "start_up_state.h"
#if defined(__x86_64__)
#include "shading/sample_kernel.h"
#endif

namespace korvalen {
namespace {

using testing_support::kUntouched;
using testing_support::ShadingState;

// Bounds as the colour stage compares them: rounded to 32-bit floats.
float lowOf(float level, float halfWidth) {
  return static_cast<float>(static_cast<double>(level) - halfWidth);
}
float highOf(float level, float halfWidth) {
  return static_cast<float>(static_cast<double>(level) + halfWidth);
}
float below(float v) { return std::nextafter(v, -2.0f); }
float above(float v) { return std::nextafter(v, 2.0f); }

struct BandChange {
  int k = 0;  // 0: none
  float level = 0, halfWidth = 0;
};

// The start-up isolines with up to two bands changed, shown or hidden.
void changeBands(ShadingState& st, const BandChange& a, const BandChange& b, bool hidden) {
  for (const BandChange& ch : {a, b}) {
    if (ch.k == 0) continue;
    st.isolines.isolineLevel[ch.k] = ch.level;
    st.isolines.isolineHalfWidth[ch.k] = ch.halfWidth;
  }
  st.isolines.isolinesHidden = hidden ? kTrue : kFalse;
}

struct DirectCase {
  const char* name;
  float phi;
  Colour drawn;
  BandChange change1 = {}, change2 = {};
  bool hidden = false;
};

TEST(ColourStage, DirectModeTable) {
  const float lo1 = lowOf(0.9f, 0.005f), hi1 = highOf(0.9f, 0.005f);
  const DirectCase cases[] = {
      // grey = phi * 255 + 0.5 rounded half to even, limited to 255 when drawn.
      {"phi 1 gives 256, drawn 255", 1.0f, RGB(255, 255, 255)},
      {"phi 0.998 gives 255", 0.998f, RGB(255, 255, 255)},
      {"phi 0.996 gives 254", 0.996f, RGB(254, 254, 254)},
      {"phi 0.25 gives 64", 0.25f, RGB(64, 64, 64)},
      {"phi 0 gives 0: 0.5 rounds to even (no zone left)", 0.0f, RGB(0, 0, 0),
       {7, 0.3f, -0.001f}},
      {"mirror's 0.008 is dark grey 3, in no band or zone", 0.008f, RGB(3, 3, 3)},

      // Each band's bounds hold; just outside them plain grey.
      {"band 1 at its level", 0.9f, RGB(255, 230, 230)},
      {"band 1 lower bound", lo1, RGB(255, 229, 229)},
      {"just below band 1", below(lo1), RGB(229, 229, 229)},
      {"band 1 upper bound", hi1, RGB(255, 231, 231)},
      {"just above band 1", above(hi1), RGB(231, 231, 231)},
      {"band 2", 0.8f, RGB(245, 225, 205)},
      {"band 3", 0.7f, RGB(216, 219, 179)},
      {"band 4", 0.6f, RGB(154, 194, 154)},
      {"band 5", 0.5f, RGB(128, 158, 168)},
      {"band 6", 0.4f, RGB(103, 103, 143)},
      {"band 7", 0.3f, RGB(102, 77, 117)},
      {"band 7 upper bound", highOf(0.3f, 0.005f), RGB(103, 78, 118)},
      {"just above band 7", above(highOf(0.3f, 0.005f)), RGB(78, 78, 78)},

      // Overlaps: the lower-numbered band wins, and only one tint is added.
      {"bands 2 and 4 at 0.6: band 2", 0.6f, RGB(194, 174, 154), {2, 0.6f, 0.05f}},
      {"band 3 widened over band 1: band 1", 0.9f, RGB(255, 230, 230), {3, 0.7f, 0.2f}},
      {"band 3 widened: band 3 between", 0.75f, RGB(229, 232, 192), {3, 0.7f, 0.2f}},

      // Half-width 0: only phi equal to the level.
      {"band 4 half-width 0, at the level", 0.6f, RGB(154, 194, 154), {4, 0.6f, 0.0f}},
      {"band 4 half-width 0, next float", above(0.6f), RGB(154, 154, 154), {4, 0.6f, 0.0f}},

      // A tint can push a component past 255; drawn as 255.
      {"band 3 at 0.99: 253 + 37 and + 40", 0.99f, RGB(255, 255, 253), {3, 0.99f, 0.005f}},

      // The zone at phi = 0 up to the seventh half-width, inclusive.
      {"phi 0", 0.0f, RGB(96, 0, 52)},
      {"phi -0", -0.0f, RGB(96, 0, 52)},
      {"phi 0.005", 0.005f, RGB(96, 0, 52)},
      {"just above 0.005: grey 2", above(0.005f), RGB(2, 2, 2)},
      // Below 0 down to minus the first half-width, inclusive; black below.
      {"phi -0.003", -0.003f, RGB(175, 0, 91)},
      {"phi -0.005", -0.005f, RGB(175, 0, 91)},
      {"just below -0.005: black", below(-0.005f), RGB(0, 0, 0)},
      {"phi -1: black", -1.0f, RGB(0, 0, 0)},

      // The zones read the first and the seventh half-width only.
      {"half-width 1 = 0.02: -0.015 in the lower zone", -0.015f, RGB(175, 0, 91),
       {1, 0.9f, 0.02f}, {7, 0.3f, 0.001f}},
      {"half-width 1 = 0.02: -0.025 black", -0.025f, RGB(0, 0, 0), {1, 0.9f, 0.02f},
       {7, 0.3f, 0.001f}},
      {"half-width 7 = 0.001: 0.001 in the zone", 0.001f, RGB(96, 0, 52), {1, 0.9f, 0.02f},
       {7, 0.3f, 0.001f}},
      {"half-width 7 = 0.001: 0.0015 grey 1", 0.0015f, RGB(1, 1, 1), {1, 0.9f, 0.02f},
       {7, 0.3f, 0.001f}},
      {"half-width 7 negative: small negative phi black", -0.0005f, RGB(0, 0, 0),
       {7, 0.3f, -0.001f}},

      // A band that holds phi leaves no zone colour.
      {"band 7 at level 0 tints 0.003", 0.003f, RGB(26, 1, 41), {7, 0.0f, 0.01f}},
      {"band 7 at level 0 does not hold negative phi", -0.003f, RGB(175, 0, 91),
       {7, 0.0f, 0.01f}},

      // Hidden isolines: no tints, the zones stay.
      {"hidden: 0.9 is grey", 0.9f, RGB(230, 230, 230), {}, {}, true},
      {"hidden: 0.003 zone", 0.003f, RGB(96, 0, 52), {}, {}, true},
      {"hidden: -0.003 zone", -0.003f, RGB(175, 0, 91), {}, {}, true},
      {"hidden: -0.01 black", -0.01f, RGB(0, 0, 0), {}, {}, true},
  };
  for (const DirectCase& c : cases) {
    SCOPED_TRACE(c.name);
    ShadingState st;
    changeBands(st, c.change1, c.change2, c.hidden);
    ShadingRun run = prepareShadingRun(st.view, st.picture, st.isolines, st.mirror);
    Raster picture1(393, 337, kUntouched);
    run.scanColumn = 10;
    run.scanRow = 20;
    run.sampleIndex = 0;
    colourSample(run, st.picture, true, c.phi, picture1);
    EXPECT_EQ(picture1.point(10, 337 - 20), c.drawn);
    // The stored colour is what was drawn: limited to 255.
    EXPECT_EQ(RGB(run.pointRed, run.pointGreen, run.pointBlue), c.drawn);
    EXPECT_LE(run.pointRed, 255);
  }
}

TEST(ColourStage, DirectModeMissDrawsNothing) {
  ShadingState st;
  ShadingRun run = prepareShadingRun(st.view, st.picture, st.isolines, st.mirror);
  Raster picture1(393, 337, kUntouched);
  run.scanColumn = 10;
  run.scanRow = 20;
  run.pointRed = run.pointGreen = run.pointBlue = 7;
  colourSample(run, st.picture, false, 0.5f, picture1);
  EXPECT_EQ(picture1.point(10, 317), kUntouched);
  EXPECT_EQ(run.pointRed, 7);
  // Row 0 lies just below the grid: y = pictureHeight is not drawn.
  run.scanRow = 0;
  colourSample(run, st.picture, true, 0.5f, picture1);
  for (int y = 0; y < 337; ++y) EXPECT_EQ(picture1.point(10, y), kUntouched);
}

// The four sub-samples of a pixel, in their order 1, 2, 4, 3.
struct Sample {
  bool hit;
  float phi;
};
struct SumCase {
  const char* name;
  std::vector<Sample> samples;
  int red, green, blue;
};

TEST(ColourStage, SubSampleSums) {
  const Sample miss{false, 0};
  const SumCase cases[] = {
      {"all four missed: four times the background", {miss, miss, miss, miss}, 1020, 1020, 1020},
      // 1021 is not 1020: the pixel is drawn, 1021 / 4 = 255.
      {"phi 1 once, three misses", {{true, 1}, miss, miss, miss}, 1021, 1021, 1021},
      {"band 1 four times: the tint in each", {{true, 0.9f}, {true, 0.9f}, {true, 0.9f}, {true, 0.9f}},
       1080, 920, 920},
      // The first sub-sample's zone colour replaces its grey; a later one adds
      // both its grey (1) and the zone colour.
      {"zone at 0 four times", {{true, 0.003f}, {true, 0.003f}, {true, 0.003f}, {true, 0.003f}},
       96 + 3 * 97, 3, 52 + 3 * 53},
      {"lower zone, then misses", {{true, -0.003f}, {true, -0.003f}, miss, miss}, 860, 510, 692},
      // A black sub-sample adds nothing: the average is darkened.
      {"grey, black, black, grey", {{true, 0.5f}, {true, -0.5f}, {true, -0.5f}, {true, 0.5f}},
       256, 316, 336},
      {"black first, then greys", {{true, -0.5f}, {true, 0.5f}, {true, 0.5f}, {true, 0.5f}},
       384, 474, 504},
  };
  const int16_t order[4] = {1, 2, 4, 3};
  for (const SumCase& c : cases) {
    SCOPED_TRACE(c.name);
    ShadingState st;
    ShadingRun run = prepareShadingRun(st.view, st.picture, st.isolines, st.mirror);
    Raster picture1(393, 337, kUntouched);
    run.scanColumn = 10;
    run.scanRow = 20;
    run.pointRed = run.pointGreen = run.pointBlue = 0;
    for (size_t i = 0; i < c.samples.size(); ++i) {
      run.sampleIndex = order[i];
      colourSample(run, st.picture, c.samples[i].hit, c.samples[i].phi, picture1);
    }
    EXPECT_EQ(run.pointRed, c.red);
    EXPECT_EQ(run.pointGreen, c.green);
    EXPECT_EQ(run.pointBlue, c.blue);
    // Sub-samples never draw; the run draws the average.
    EXPECT_EQ(picture1.point(10, 317), kUntouched);
  }
}

TEST(ColourStage, BandBoundBeyondTheFloatRangeIsAnOverflowWhenReached) {
  ShadingState st;
  st.isolines.isolineLevel[2] = 3e38f;
  st.isolines.isolineHalfWidth[2] = 3e38f;  // the upper bound is no float
  ShadingRun run = prepareShadingRun(st.view, st.picture, st.isolines, st.mirror);
  Raster picture1(393, 337, kUntouched);
  run.scanColumn = 10;
  run.scanRow = 20;
  run.sampleIndex = 0;
  // Band 1 holds 0.9 before band 2 is looked at; phi < 0 looks at no band.
  colourSample(run, st.picture, true, 0.9f, picture1);
  EXPECT_EQ(picture1.point(10, 317), RGB(255, 230, 230));
  colourSample(run, st.picture, true, -0.5f, picture1);
  EXPECT_EQ(picture1.point(10, 317), RGB(0, 0, 0));
  // 0.5 passes band 1 and reaches band 2: nothing is drawn.
  run.scanRow = 21;
  try {
    colourSample(run, st.picture, true, 0.5f, picture1);
    ADD_FAILURE() << "no error";
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.kind(), ErrorKind::Overflow);
  }
  EXPECT_EQ(picture1.point(10, 316), kUntouched);
  // With the isolines hidden no bound is compared.
  st.isolines.isolinesHidden = kTrue;
  run = prepareShadingRun(st.view, st.picture, st.isolines, st.mirror);
  run.scanColumn = 10;
  run.scanRow = 21;
  EXPECT_NO_THROW(colourSample(run, st.picture, true, 0.5f, picture1));
  EXPECT_EQ(picture1.point(10, 316), RGB(128, 128, 128));
}

#if defined(__x86_64__)
// The colour stage in two lanes holding phi and other: lane 0's parts, and
// whether lane 0 was marked.
template <class V>
Sums laneZeroOf(const IsolineBands& bands, float phi, float other, bool replace, bool& marked) {
  LaneFault<V> fault;
  const Parts<V> p = colourOfHit(LaneBands<V>(bands), V{phi, other}, replace, fault);
  marked = fault.faulted[0] != 0;
  return {p.red[0], p.green[0], p.blue[0]};
}
#endif

// The colour stage's one source in its forms: one sample raising or marking,
// and two lanes marking. They differ only in what they skip (one sample stops
// at its first band, lanes look at every band from the last), so overlapping
// bands, bounds, zones and an unreachable band bound are what they must agree
// on: the same parts, and a mark exactly where one sample raises.
TEST(ColourStage, OneSampleAndLanesAgreeAndFaultAlike) {
  struct Bands {
    const char* name;
    BandChange change1 = {}, change2 = {};
    bool hidden = false;
  };
  const Bands setups[] = {
      {"as at start-up"},
      {"band 3 widened over bands 1 and 2, band 5 over 4", {3, 0.7f, 0.25f}, {5, 0.55f, 0.1f}},
      {"band 4's bound beyond the float range", {4, 3e38f, 3e38f}},
      {"band 1's bound beyond the float range, hidden", {1, 3e38f, 3e38f}, {}, true},
  };
  const float lo1 = lowOf(0.9f, 0.005f);
  const float phis[] = {1.0f, 0.998f, 0.9f,   lo1,    below(lo1), 0.8f,  0.75f,         0.6f,
                        0.5f, 0.3f,   0.005f, above(0.005f), 0.0f, -0.0f, -0.003f, -0.005f,
                        below(-0.005f), -1.0f};
  for (const Bands& setup : setups) {
    SCOPED_TRACE(setup.name);
    ShadingState st;
    changeBands(st, setup.change1, setup.change2, setup.hidden);
    const IsolineBands bands = isolineBandsOf(st.isolines);
    for (bool replace : {true, false}) {
      for (size_t i = 0; i < std::size(phis); ++i) {
        const float phi = phis[i], next = phis[(i + 1) % std::size(phis)];
        SCOPED_TRACE(testing::Message() << "phi " << phi << ", replace " << replace);
        RaiseAtFault raise;
        bool raised = false;
        Sums raisedParts{};
        try {
          raisedParts = colourOfHit<double>(bands, phi, replace, raise);
        } catch (const RuntimeError& e) {
          raised = true;
          EXPECT_EQ(e.kind(), ErrorKind::Overflow);
        }
        MarkFault mark;
        const Sums marked = colourOfHit<double>(bands, phi, replace, mark);
        EXPECT_EQ(mark.faulted, raised);
        if (!raised) {
          EXPECT_EQ(marked.red, raisedParts.red);
          EXPECT_EQ(marked.green, raisedParts.green);
          EXPECT_EQ(marked.blue, raisedParts.blue);
        }
#if defined(__x86_64__)
        // phi in lane 0, the next phi of the table in lane 1.
        bool laneMarked = false;
        const Sums lane = laneZeroOf<__m128d>(bands, phi, next, replace, laneMarked);
        EXPECT_EQ(laneMarked, raised);
        if (!raised) {
          EXPECT_EQ(lane.red, marked.red);
          EXPECT_EQ(lane.green, marked.green);
          EXPECT_EQ(lane.blue, marked.blue);
        }
#endif
      }
    }
  }
}

}  // namespace
}  // namespace korvalen
