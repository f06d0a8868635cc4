#pragma once
// The window's data model, grouped by concern. Field names are the program's
// own; widths are those the values are stored with: float is the 32-bit
// float, double the 64-bit one, int16_t/int32_t the integers, VbBool a
// boolean stored as -1 (true) or 0 (false) because code compares it with -1.
#include <cstdint>

#include "photometry/planetary.h"

namespace korvalen {

using VbBool = int16_t;
constexpr VbBool kTrue = -1;
constexpr VbBool kFalse = 0;

// pi as every degree conversion of the program writes it, not at full precision.
constexpr double kPi = 3.14159265;

enum SurfaceModel : int32_t { kMatte = 1, kGlossy = 2, kRocky = 3, kMirror = 4 };

// The selected model, the light source and the model constants.
struct LightAndModel {
  int32_t surfaceModel = 0;     // 1 matte, 2 glossy, 3 rocky, 4 mirror, 5..9 PlanetaryModel
  float sourceInclination = 0;  // radians; also the phase angle g
  double lightX = 0, lightY = 0, lightZ = 0;  // unit vector towards the light
  float cosG = 0;
  float specularShare = 0;       // s
  float peakSharpness = 0;       // n
  float peakSharpnessPlus1 = 0;  // n + 1
  float diffuseShare = 0;        // 1 - s
  float specularGain = 0;        // (n + 1) * s / 2
  PlanetaryParameters planetary;   // of the added models, kept whichever model is selected
  PlanetaryConstants planetaryRun; // of the selected added model at this phase (light set-up)
};

// The view of the sphere on the map and its size.
struct ViewAndRotation {
  double rotAngleOX = 0, rotAngleOY = 0, rotAngleOZ = 0;  // radians
  // The cosine and sine used for each rotation; for exactly +-90 degrees
  // about OX or OZ these are fixed values, not the true ones.
  double cosRotOX = 0, sinRotOX = 0;
  double cosRotOY = 0, sinRotOY = 0;
  double cosRotOZ = 0, sinRotOZ = 0;
  VbBool visibleHalfOnly = kFalse;
  double sphereRadius = 0;   // pixels, as last typed
  double unitsPerPixel = 0;  // 1 / radius in effect
  double discLimitSq = 0;    // R^2 + R: squared pixel distance of the disc's edge
};

// The map picture (Picture1): its extent, centre and background.
struct MapPicture {
  int16_t pictureWidth = 0, pictureHeight = 0;
  int16_t centreX = 0, centreY = 0;
  int16_t backRed = 0, backGreen = 0, backBlue = 0;
  VbBool probeDisabled = kFalse;
};

// The colours the bands are drawn in: the legend's tints added to the grey,
// or opaque colours that stay apart under the common colour-vision deficiencies.
enum IsolineColours : int16_t { kLegendColours = 0, kDistinctColours = 1 };

// The seven isoline bands, rows 1..7 from the top of the legend; element 0 is unused
// so that element r belongs to row r.
struct Isolines {
  float isolineLevel[8] = {};
  float isolineHalfWidth[8] = {};
  VbBool isolinesHidden = kFalse;
  VbBool noSmoothing = kFalse;
  int16_t isolineColours = kLegendColours;
};

// The sample that best meets the mirror condition, kept from run to run.
struct MirrorSpot {
  float mirrorBestScore = 0;
  int16_t mirrorSpotColumn = 0;
  int16_t mirrorSpotRow = 0;  // counted from the bottom of the picture
};

}  // namespace korvalen
