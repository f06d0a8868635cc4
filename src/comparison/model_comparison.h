#pragma once
// Two models over the same sphere: the map's model A as the window has it now,
// and a model B kept aside with its parameters. Both are seen under the map's
// own view, rotation, radius, light and visible half; at each pixel each gives
// what its own probe gives there, and the picture shows their ratio phi_A /
// phi_B or difference phi_A - phi_B in the diverging colour scale, with
// isolines at the levels the user chose. Plain C++, no Qt.
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "photometry/model_state.h"
#include "raster/colour.h"
#include "raster/raster.h"

namespace korvalen {

// What of LightAndModel belongs to a model rather than to the light: the model,
// s and n, the added models' parameters, and under the mirror model the spot
// its own last run found.
struct ComparedModel {
  int32_t surfaceModel = kMatte;
  float specularShare = 0, peakSharpness = 0;
  PlanetaryParameters planetary;
  MirrorSpot mirror;
};

ComparedModel comparedModelOf(const LightAndModel& lm, const MirrorSpot& mirror);

// The light of `light` with the model m, its constants set up as a shading run
// sets them up at that light.
LightAndModel withModel(const LightAndModel& light, const ComparedModel& m);

enum class ComparisonKind : int { Ratio = 0, Difference = 1 };

// The levels of the isolines a comparison starts with.
std::vector<double> defaultComparisonLevels(ComparisonKind kind);

// phi_A / phi_B, none where phi_B is 0 (there is no ratio there); or phi_A - phi_B.
std::optional<double> comparedValue(ComparisonKind kind, float phiA, float phiB);

// phi of both models at every pixel of the picture, read as each one's probe
// reads it (rows top to bottom, each left to right); shown is 0 where the
// probe shows nothing.
struct ComparisonGrid {
  int width = 0, height = 0;
  std::vector<float> phiA, phiB;
  std::vector<uint8_t> shown;
  size_t index(int x, int y) const { return static_cast<size_t>(y) * static_cast<size_t>(width) + x; }
  std::optional<double> value(ComparisonKind kind, int x, int y) const {
    const size_t i = index(x, y);
    if (!shown[i]) return std::nullopt;
    return comparedValue(kind, phiA[i], phiB[i]);
  }
};

// The rows are shared out to the helper threads; `progress` (0 to 1) is called
// on this thread only. An error of an evaluation is raised as the probe
// raises it, that of the first pixel in scan order.
ComparisonGrid compareOverSphere(const ViewAndRotation& view, const MapPicture& map,
                                 const LightAndModel& a, const MirrorSpot& mirrorA,
                                 const LightAndModel& b, const MirrorSpot& mirrorB, int width,
                                 int height, const std::function<void(double)>& progress = {});

// The place of a value on the scale, -1 to 1: log(ratio) / log(limit), or
// difference / limit; beyond the ends the ends. The scale goes in steps of
// 1 / kScaleSteps, far finer than the eye tells colours apart, so that each
// step's colour is found once; a pixel has divergingColour(scalePosition(...)).
inline constexpr int kScaleSteps = 2048;
double scalePosition(ComparisonKind kind, double value, double limit);

// The colour of pixels where phi_B is 0 and the ratio is undefined; of the isolines.
inline constexpr Colour kNoRatioColour = RGB(128, 128, 128);
inline constexpr Colour kComparisonLineColour = RGB(0, 0, 0);

// The comparison's picture: the disc in the scale's colours (kNoRatioColour
// where there is no ratio), nothing drawn elsewhere, and a pixel on the
// isoline of a level that its value lies above and that of its right or lower
// neighbour does not, or the other way round ("above" by more than the
// rounding of phi, so that where the models agree no line is drawn). `out`
// must be grid.width x grid.height and already cleared to the background, as
// for a shading run. Returns the scale's limit: the end above the middle, for the
// ratio a factor above 1 (1/limit the other end, so that 1/2 and 2 are equally
// deep), for the difference the largest |phi_A - phi_B| it tells apart; found
// from 95 % of the pixels with a value and rounded up to 1, 2 or 5 times a
// power of ten (the ratio's excess over 1), at least a thousandth.
double drawComparison(const ComparisonGrid& grid, ComparisonKind kind, const std::vector<double>& levels,
                      Raster& out);

// compareOverSphere and drawComparison in one, each pixel's value measured on
// the thread that found it, the memory used again from run to run: the
// window's run. `out` is the picture, of the map's size, already cleared.
double shadeComparison(const ViewAndRotation& view, const MapPicture& map, const LightAndModel& a,
                       const MirrorSpot& mirrorA, const LightAndModel& b, const MirrorSpot& mirrorB,
                       ComparisonKind kind, const std::vector<double>& levels, Raster& out,
                       const std::function<void(double)>& progress = {});

}  // namespace korvalen
