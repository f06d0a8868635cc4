#pragma once
// The example picture (Picture2): a side view of the upper half of the
// Gaussian sphere, 33 window pixels in radius, standing on the picture's bottom row
// and shaded by the selected model for the current source inclination. The
// observer is at the zenith (straight up the picture); the light lies in the
// plane of the picture, tilted right for a positive inclination. Thin lines
// outside the half-disc show the directions to the observer and to the light,
// and for the mirror model one light pixel marks the element that mirrors the
// light to the observer.
//
// Nothing here knows about widgets: the picture is a Raster, and Label16 (the
// caption "to the observer", moved to the side away from the light) is placed
// through a callback.
#include <cstdint>
#include <functional>

#include "photometry/geometry.h"
#include "photometry/model_state.h"
#include "raster/colour.h"
#include "raster/raster.h"

namespace korvalen {

// Radius of the example hemisphere in window pixels (not the map's sphere
// radius). The picture is drawn at the screen's own pixels, so at a screen
// scale s its radius is 33 s screen pixels, and every length of its drawing
// grows with it.
inline constexpr int kExampleRadius = 33;

inline constexpr Colour kObserverArrowColour = RGB(128, 128, 0);
inline constexpr Colour kLightRayColour = RGB(144, 144, 0);
inline constexpr Colour kMirrorHighlightColour = RGB(255, 255, 255);
// The highlight at inclination 0 is drawn grey, one row below the apex row.
inline constexpr Colour kMirrorHighlightAtZeroColour = RGB(200, 200, 200);

// Where the hemisphere sits in Picture2, in its pixel coordinates (x right, y
// down), and how large it is drawn. The base line is the bottom row, centred
// at (exampleCentreX, exampleBottomRow); the scan covers columns first..last
// and rows top..bottom.
struct ExampleFrame {
  int16_t exampleBottomRow = 0;
  int16_t exampleCentreX = 0;
  int16_t exampleFirstColumn = 0;
  int16_t exampleLastColumn = 0;
  int16_t exampleTopRow = 0;
  // The radius in the picture's pixels: 33 times the screen scale, rounded
  // half to even (33 at 1, 41 at 1.25, 50 at 1.5, 66 at 2).
  int16_t exampleRadius = kExampleRadius;
  // Pixels per window pixel for the arrows and rays: radius / 33, so that
  // they keep their proportions to the half-disc.
  double exampleUnit = 1;
  // Thickness of the arrows and rays: one window pixel, at least one pixel.
  int lineWidth = 1;
  bool operator==(const ExampleFrame&) const = default;
};

// The frame for the picture's current size at a screen scale (screen pixels
// per window pixel). The centre column is the width rounded to a 32-bit
// integer and halved, truncating; the rows are rounded half to even. Throws
// RuntimeError (overflow) for a picture too large for 16-bit coordinates.
ExampleFrame exampleFrame(const Raster& picture2, double scale = 1);

// Redraws the whole picture: clears it, draws the observer arrows and light
// rays (calling placeLabel16 with Label16's new Left on the way), shades the
// half-disc, and for the mirror model marks the highlight. lm must hold the
// light and parameter set-ups for the current inclination, s and n.
// A run-time error (a glossy t^n that overflows or divides by zero) throws
// RuntimeError and leaves what was drawn up to that point.
void drawExample(Raster& picture2, const ExampleFrame& frame, const LightAndModel& lm,
                 const std::function<void(int)>& placeLabel16);

// The steps of drawExample, in the order it runs them after clearing.
void drawDirectionArrows(Raster& picture2, const ExampleFrame& frame, float sourceInclination,
                         const std::function<void(int)>& placeLabel16);
void shadeHalfDisc(Raster& picture2, const ExampleFrame& frame, const LightAndModel& lm);
void drawMirrorHighlight(Raster& picture2, const ExampleFrame& frame, float sourceInclination);

// The fixed sight line of the pixel (dx, dy) from the base centre (dy <= 0 up
// the picture), in sphere units with z up: a short line along the depth axis
// x at y = dx/radius. The intersection is solved for y, and a line of constant
// y would count as a miss, so the first point is shifted by a hair in y.
SightLine exampleSightLine(double dx, double dy, int radius = kExampleRadius);

// Grey level of phi: phi * 255 + 0.5 rounded half to even, 0 for negative
// phi, at most 255.
int16_t exampleGrey(double phi);

}  // namespace korvalen
