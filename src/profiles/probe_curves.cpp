#include "profiles/probe_curves.h"

#include "photometry/probe.h"

namespace korvalen {

ProbeCurves probeCurves(const ViewAndRotation& view, const LightAndModel& lm,
                        const MapPicture& map, const MirrorSpot& mirror, float x, float y,
                        int widthPixels, int heightPixels) {
  ProbeCurves c;
  c.x = x;
  c.y = y;
  c.radianceFactor = isPlanetaryModel(lm.surfaceModel);
  auto sample = [&](float px, float py, double offset) {
    const ProbeReading r = probeAt(view, lm, map, mirror, px, py, false);
    return ProbeSample{offset, r.shown, r.phi};
  };
  c.row.reserve(static_cast<size_t>(widthPixels));
  for (int px = 0; px < widthPixels; ++px)
    c.row.push_back(sample(static_cast<float>(px), y, static_cast<double>(px) - map.centreX));
  // Rows count upward from the bottom of the picture, as the map's geometry does.
  c.column.reserve(static_cast<size_t>(heightPixels));
  for (int py = 0; py < heightPixels; ++py)
    c.column.push_back(sample(x, static_cast<float>(py),
                              (map.pictureHeight - static_cast<double>(py)) - map.centreY));
  return c;
}

}  // namespace korvalen
