#pragma once
// phi of the four models and the mirror score, written once for every path
// that finds them. A step that can fail (a value beyond the 32-bit float
// range, an infinite power) goes through a fault policy:
//   RaiseAtFault raises the RuntimeError at that step, as the probe, the
//     example and the checked shading must;
//   MarkFault only notes that the sample faulted and goes on, so that the fast
//     shading can hand that sample to the checked path, which then raises the
//     error at exactly that sample.
// Both round every step the same way, so the values they give are the same.
#include <cmath>
#include <cstdint>

#include "photometry/checked.h"
#include "photometry/model_state.h"

namespace korvalen {

struct RaiseAtFault {
  static float single(double v) { return toSingle(v); }
  static double finiteValue(double v) { return finite(v); }
  [[noreturn]] static void raise(ErrorKind kind) { throw RuntimeError(kind); }
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
};

// phi of a point with the cosines cosI, cosE, before any clamping. Model is
// the surface model; Constants is anything with the model constants cosG,
// diffuseShare, specularGain and peakSharpness of LightAndModel. The mirror
// model gives mirrorPhi, its value for the consumer.
template <int32_t Model, class Constants, class Fault>
inline float phiOfModel(const Constants& c, float cosI, float cosE, float mirrorPhi, Fault& fault) {
  switch (Model) {
    case kMatte:
      return cosI;
    case kGlossy: {
      const float t = fault.single(2.0 * cosI * cosE - c.cosG);
      const float diffuse = fault.single(static_cast<double>(c.diffuseShare) * cosI);
      if (t >= 0) {
        const double power = fault.finiteValue(
            std::pow(static_cast<double>(t), static_cast<double>(c.peakSharpness)));
        return fault.single(diffuse + c.specularGain * power);
      }
      return diffuse;
    }
    case kRocky:
      return fault.single(static_cast<double>(cosI) * cosE);
    case kMirror:
      return mirrorPhi;
    default:
      return 0.0f;
  }
}

template <class Constants, class Fault>
inline float phiOf(int32_t model, const Constants& c, float cosI, float cosE, float mirrorPhi,
                   Fault& fault) {
  switch (model) {
    case kMatte: return phiOfModel<kMatte>(c, cosI, cosE, mirrorPhi, fault);
    case kGlossy: return phiOfModel<kGlossy>(c, cosI, cosE, mirrorPhi, fault);
    case kRocky: return phiOfModel<kRocky>(c, cosI, cosE, mirrorPhi, fault);
    case kMirror: return phiOfModel<kMirror>(c, cosI, cosE, mirrorPhi, fault);
    default: return phiOfModel<0>(c, cosI, cosE, mirrorPhi, fault);
  }
}

// How far a point is from reflecting the light into the observer's eye: 0
// exactly where i = e and g = i + e (g the phase angle, the light's inclination).
template <class Fault>
inline float mirrorScore(double g, double angleI, double angleE, Fault& fault) {
  return fault.single(std::fabs(g - angleE - angleI) + std::fabs(angleI - angleE));
}

}  // namespace korvalen
