#include "profiles/phase_curve.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <numbers>
#include <thread>

#include "photometry/checked.h"
#include "photometry/geometry.h"
#include "photometry/reflectance.h"
#include "workers/helpers.h"

namespace korvalen {

namespace {

// The pixel centres of the disc's right half (x > 0); the light lies in the
// y-z plane, so the left half mirrors it value for value.
std::vector<Vec3> halfDisc(int radius) {
  std::vector<Vec3> half;
  const double r = radius;
  for (int j = -radius; j < radius; ++j) {
    const double y = (j + 0.5) / r;
    for (int k = 0; k < radius; ++k) {
      const double x = (k + 0.5) / r;
      const double rr = x * x + y * y;
      if (rr >= 1) continue;
      half.push_back({x, y, std::sqrt(1 - rr)});
    }
  }
  return half;
}

double sumOverHalf(const LightAndModel& lm, const std::vector<Vec3>& half, bool& faulted) {
  MarkFault fault;
  double sum = 0;
  bool lit = false;
  const bool mirror = lm.surfaceModel == kMirror;
  for (const Vec3& h : half) {
    const Angles a = cosinesAt(h, lm, kShadingRules);
    if (!(a.cosI > 0)) continue;
    lit = true;
    if (mirror) break;
    const float phi = phiOf(lm.surfaceModel, lm, a.cosI, a.cosE, kProbeRules.mirrorPhi, fault);
    sum += 2.0 * static_cast<double>(clampPhi(phi, kProbeRules));
  }
  if (fault.faulted) faulted = true;
  return mirror ? (lit ? 1.0 : 0.0) : sum;
}

}  // namespace

double lambertPhaseLaw(double g) {
  constexpr double pi = std::numbers::pi;
  return (std::sin(g) + (pi - g) * std::cos(g)) / pi;
}

double discBrightness(const LightAndModel& lm, int radius, bool& faulted) {
  return sumOverHalf(lm, halfDisc(radius), faulted);
}

PhaseCurve phaseCurve(const LightAndModel& state, int radius, int workers) {
  LightAndModel base = state;
  setUpParameters(base);
  constexpr size_t kCount = kPhaseLastDegree + 1;
  // The light of each phase angle, as a run sets it up from the typed degrees.
  std::vector<LightAndModel> lights(kCount, base);
  for (size_t d = 0; d < kCount; ++d) {
    lights[d].sourceInclination = inclinationRadians(static_cast<double>(d));
    setUpLight(lights[d]);
  }
  const std::vector<Vec3> half = halfDisc(radius);
  std::vector<double> sums(kCount, 0.0);
  std::atomic<bool> faulted{false};
  auto job = [&](size_t d) {
    bool f = false;
    try {
      sums[d] = sumOverHalf(lights[d], half, f);
    } catch (...) {
      f = true;  // (the cosines of a unit normal cannot fault; nothing may leave a job)
    }
    if (f) faulted = true;
  };
  const int threads =
      workers > 0 ? workers : std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
  if (threads == 1) {
    for (size_t d = 0; d < kCount; ++d) job(d);
  } else {
    Helpers::instance().run(kCount, threads - 1, job);
  }
  if (faulted) throw RuntimeError(ErrorKind::Overflow);

  PhaseCurve curve;
  curve.defined = sums[0] > 0;
  curve.points.reserve(kCount);
  for (size_t d = 0; d < kCount; ++d)
    curve.points.push_back({static_cast<double>(d), sums[d], curve.defined ? sums[d] / sums[0] : 0.0});
  return curve;
}

std::optional<double> magnitudeOf(double relative) {
  if (!(relative > 0)) return std::nullopt;
  return -2.5 * std::log10(relative);
}

}  // namespace korvalen
