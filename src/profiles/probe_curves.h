#pragma once
// phi along the map's row and column through a point the probe showed: the
// probe's own values, pixel by pixel, with the rotation of the last shading and
// the present light and model.
#include <vector>

#include "photometry/model_state.h"

namespace korvalen {

struct ProbeSample {
  double offset;  // pixels from the centre: rightward along the row, upward along the column
  bool shown;     // false where the probe shows nothing (a gap)
  float phi;      // as the probe's label shows it, before its rounding
};

struct ProbeCurves {
  float x = 0, y = 0;  // the point, in picture pixels, y downward
  bool radianceFactor = false;  // phi is the added models' I/F
  std::vector<ProbeSample> row, column;
};

// Every pixel of the picture's row through y and of its column through x
// (widthPixels x heightPixels, the picture's extent), each read by the probe.
// Raises RuntimeError where the probe would.
ProbeCurves probeCurves(const ViewAndRotation& view, const LightAndModel& lm,
                        const MapPicture& map, const MirrorSpot& mirror, float x, float y,
                        int widthPixels, int heightPixels);

}  // namespace korvalen
