#pragma once
// phi of the four models and the mirror score, written once for every path
// that finds them: the checked evaluation, the fast scan sample by sample,
// and the vector lanes of several samples at once.
//
// The value type V is a double or a vector of doubles (GCC's vector
// extensions give the operators and ?: lane by lane). A value rounded to a
// 32-bit float is held in it exactly. A step that can fail (a value beyond
// the float range, an infinite power) goes through a fault policy:
//   RaiseAtFault raises the RuntimeError at that step, as the probe, the
//     example and the checked shading must;
//   MarkFault only notes that the sample faulted and goes on, so that the fast
//     shading can hand that sample to the checked path, which then raises the
//     error at exactly that sample;
//   the lanes' policy marks the lanes that faulted.
// All of them round every step the same way, so the values they give are the
// same.
#include <cmath>
#include <cstdint>

#include "photometry/checked.h"
#include "photometry/model_state.h"

namespace korvalen {

struct RaiseAtFault {
  static float single(double v) { return toSingle(v); }
  static double finiteValue(double v) { return finite(v); }
  [[noreturn]] static void raise(ErrorKind kind) { throw RuntimeError(kind); }
  static void raiseIf(bool fault, ErrorKind kind) {
    if (fault) raise(kind);
  }
};

struct MarkFault {
  bool faulted = false;
  // (v - v is 0 for a finite v, NaN for an infinity or a NaN.)
  float single(double v) {
    const float f = static_cast<float>(v);
    if (!(f - f == 0)) faulted = true;
    return f;
  }
  double finiteValue(double v) {
    if (!(v - v == 0)) faulted = true;
    return v;
  }
  void raise(ErrorKind) { faulted = true; }
  void raiseIf(bool fault, ErrorKind) { faulted = faulted || fault; }
};

// (Internal to each file that uses them: the vector units compile these for
// their own instruction sets, and no copy may serve another unit.)
namespace {

// The glossy model's peak, t = 2 cos i cos e - cos g.
template <class V, class Constants, class Fault>
inline V glossyBase(const Constants& c, V cosI, V cosE, Fault& fault) {
  return fault.single(2.0 * cosI * cosE - static_cast<double>(c.cosG));
}

// t^n for t >= 0, a library call per sample.
template <class Constants, class Fault>
inline double glossyPower(const Constants& c, double t, Fault& fault) {
  return fault.finiteValue(std::pow(t, static_cast<double>(c.peakSharpness)));
}

// The glossy model's t and t^n of a sample, found as they are needed (the
// lanes find them for a whole batch beforehand and load them).
template <class Constants, class Fault>
struct PeakNow {
  const Constants& c;
  Fault& fault;
  double base(double cosI, double cosE) const { return glossyBase(c, cosI, cosE, fault); }
  double power(double t) const { return glossyPower(c, t, fault); }
};

// phi of a point with the cosines cosI, cosE, before any clamping. Model is
// the surface model; Constants is anything with the model constants cosG,
// diffuseShare, specularGain, peakSharpness and planetaryRun of LightAndModel.
// The added models (5 to 9) share one form, which asks planetaryRun for the model. The mirror
// model gives mirrorPhi, its value for the consumer. peak gives the glossy
// model's t (peak.base, glossyBase) and t^n for t >= 0 (peak.power,
// glossyPower), as PeakNow does.
template <int32_t Model, class V, class Constants, class Fault, class Peak>
inline V phiOfModel(const Constants& c, V cosI, V cosE, V mirrorPhi, Fault& fault,
                    const Peak& peak) {
  if constexpr (Model == kMatte) {
    return cosI;
  } else if constexpr (Model == kGlossy) {
    const V t = peak.base(cosI, cosE);
    const V diffuse = fault.single(static_cast<double>(c.diffuseShare) * cosI);
    return t >= 0.0 ? fault.single(diffuse + static_cast<double>(c.specularGain) * peak.power(t))
                    : diffuse;
  } else if constexpr (Model == kRocky) {
    return fault.single(cosI * cosE);
  } else if constexpr (Model == kMirror) {
    return mirrorPhi;
  } else if constexpr (isPlanetaryModel(Model)) {
    // (One sample at a time: the lanes leave these models to the sample-by-sample finish.)
    return planetaryPhi(c.planetaryRun, cosI, cosE);
  } else {
    return V{};
  }
}

// One sample's phi, its t^n found when needed.
template <int32_t Model, class Constants, class Fault>
inline float phiOfModel(const Constants& c, double cosI, double cosE, double mirrorPhi,
                        Fault& fault) {
  const PeakNow<Constants, Fault> peak{c, fault};
  return static_cast<float>(phiOfModel<Model, double>(c, cosI, cosE, mirrorPhi, fault, peak));
}

template <class Constants, class Fault>
inline float phiOf(int32_t model, const Constants& c, float cosI, float cosE, float mirrorPhi,
                   Fault& fault) {
  switch (model) {
    case kMatte: return phiOfModel<kMatte>(c, cosI, cosE, mirrorPhi, fault);
    case kGlossy: return phiOfModel<kGlossy>(c, cosI, cosE, mirrorPhi, fault);
    case kRocky: return phiOfModel<kRocky>(c, cosI, cosE, mirrorPhi, fault);
    case kMirror: return phiOfModel<kMirror>(c, cosI, cosE, mirrorPhi, fault);
    case kLommelSeeliger:
    case kMinnaert:
    case kLunarLambert:
    case kAkimov:
    case kHapke: return phiOfModel<kLommelSeeliger>(c, cosI, cosE, mirrorPhi, fault);
    default: return phiOfModel<0>(c, cosI, cosE, mirrorPhi, fault);
  }
}

// How far a point is from reflecting the light into the observer's eye: 0
// exactly where i = e and g = i + e (g the phase angle, the light's inclination).
template <class Fault>
inline float mirrorScore(double g, double angleI, double angleE, Fault& fault) {
  return fault.single(std::fabs(g - angleE - angleI) + std::fabs(angleI - angleE));
}

}  // namespace
}  // namespace korvalen
