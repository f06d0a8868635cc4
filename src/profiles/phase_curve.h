#pragma once
// The phase curve of the whole sphere: its brightness as the observer sees it,
// phi summed over the lit part of the visible disc, against the phase angle g
// from 0 to 180 degrees, relative to its value at g = 0.
#include <optional>
#include <vector>

#include "photometry/model_state.h"

namespace korvalen {

// Samples to the disc's radius: each sample stands for one pixel of a map of
// this radius seen along the observer's direction.
inline constexpr int kPhaseDiscRadius = 100;
// g = 0, 1, ..., 180 degrees.
inline constexpr int kPhaseLastDegree = 180;

// The Lambert sphere's law, (sin g + (pi - g) cos g) / pi, g in radians.
double lambertPhaseLaw(double g);

struct PhasePoint {
  double g;           // degrees
  double brightness;  // the sum over the disc, in pixels of phi = 1
  double relative;    // brightness / brightness at g = 0 (0 where that is 0)
};

struct PhaseCurve {
  std::vector<PhasePoint> points;
  bool defined = false;  // the disc gives light at g = 0, so the ratios mean something
};

// The disc's brightness at the light of lm (set up): phi as the map evaluates
// it and the probe clips it (0..1), summed over every pixel centre of a disc
// of `radius` pixels whose point is lit (cos i > 0). The mirror model shows
// one bright point where any is lit, as the probe shows its spot. Faulted is
// set where an evaluation would raise an error on the map.
double discBrightness(const LightAndModel& lm, int radius, bool& faulted);

// The curve for the present model and parameters (the inclination is each g
// in turn, made as a run makes it from the typed degrees). The phase angles
// are shared out over `workers` threads, or with 0 over the processor's
// hardware threads. Raises RuntimeError where the model's set-up or an
// evaluation would on the map.
PhaseCurve phaseCurve(const LightAndModel& lm, int radius = kPhaseDiscRadius, int workers = 0);

// -2.5 lg(relative): the magnitude against g = 0; none for a dark disc.
std::optional<double> magnitudeOf(double relative);

}  // namespace korvalen
