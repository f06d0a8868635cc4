#pragma once
// Where observations lie on the map. An observation taken at a phase angle
// near the map's has an orientation on the Gaussian sphere: the normal whose
// angles of incidence and emission in the map's light are the observation's
// own. A table gives no side of the photometric equator (the plane of the
// light and the observer), so each observation stands for the two normals
// mirrored in it; each of them that the map shows becomes a mark at the
// pixel where the map shows that normal. Plain C++, no Qt.
#include <cstdint>
#include <vector>

#include "observations/observation_table.h"
#include "photometry/model_state.h"

namespace korvalen {

// How far, in degrees, an observation's g may lie from the map's.
inline constexpr double kDefaultMarkTolerance = 2;

struct MapMark {
  float x = 0, y = 0;  // picture pixels, y downward, as the probe reads them
  uint32_t row = 0;    // the observation's index in its table
};

// The cosines of a table's i and e, found once for every map drawn from it.
struct MarkCosines {
  std::vector<double> mu0, mu;
};
MarkCosines markCosinesOf(const ObservationTable& t);

// The marks of every observation whose g lies within toleranceDegrees of the
// map's phase angle, in the order of the table's rows (the two mirror points
// of a row one after the other). view, lm and map are as a shading run left
// them (the rotation, the light set up, the picture's centre).
std::vector<MapMark> placeMarks(const ObservationTable& t, const ViewAndRotation& view,
                                const LightAndModel& lm, const MapPicture& map,
                                double toleranceDegrees);
// The same with the table's cosines found before.
std::vector<MapMark> placeMarks(const ObservationTable& t, const MarkCosines& cosines,
                                const ViewAndRotation& view, const LightAndModel& lm,
                                const MapPicture& map, double toleranceDegrees);

}  // namespace korvalen
