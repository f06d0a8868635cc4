#pragma once
// The cursor probe's reading of one point of the map: what the label over the
// map shows there, before it is rounded for the label.
#include "photometry/geometry.h"
#include "photometry/model_state.h"

namespace korvalen {

struct ProbeReading {
  bool shown = false;  // false: off the disc, no intersection, or only the hidden half
  float phi = 0;       // clamped to 0..1 as the label shows it
  Angles angles;       // angleI and angleE only when asked for
};

// The point (x, y) in picture pixels, y downward as the mouse reports it,
// evaluated with the rotation of the last shading and the current light,
// parameters and model. The mirror model shows 1 only on the remembered spot.
ProbeReading probeAt(const ViewAndRotation& view, const LightAndModel& lm, const MapPicture& map,
                     const MirrorSpot& mirror, float x, float y, bool withAngles);

// phi as probeAt shows it at (x, y) where the point evaluation hit with the
// cosines of a (the angles themselves are not read).
float probePhi(const LightAndModel& lm, const MapPicture& map, const MirrorSpot& mirror, float x, float y,
               const Angles& a);

}  // namespace korvalen
