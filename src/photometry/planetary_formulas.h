#pragma once
// The disk functions of the added models, written once over a scalar type T:
// double for the map, the probe and the curves, a dual number carrying
// derivatives (ceres::Jet) for a fit. The double instantiation performs
// exactly the operations, in the order written, that the map's pixels were
// made with. Functions of a parameter are called unqualified after `using
// std::...`, so that a dual number finds its own overloads; literals are
// doubles; comparisons look at values only. The geometry (mu0, mu, g) is a
// plain double: only the parameters carry derivatives.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "photometry/hapke_formulas.h"
#include "photometry/model_state.h"
#include "photometry/planetary.h"

namespace korvalen::formulas {

// The true pi of the formulas (the program's degree conversion keeps its own).
inline constexpr double kTruePi = std::numbers::pi;

template <class T>
T lommelSeeliger(double mu0, double mu) {
  return T(2.0 * mu0 / (mu0 + mu));
}

template <class T>
T minnaert(const BasicPlanetaryConstants<T>& k, double mu0, double mu) {
  using std::pow;
  if (mu == 0) {
    // The limb: mu^(k-1) grows without end below k = 1 and vanishes above it.
    if (k.minnaertK < 1) return T(HUGE_VAL);
    return k.minnaertK == 1 ? T(mu0) : T(0.0);
  }
  return pow(mu0, k.minnaertK) * pow(mu, T(k.minnaertK - 1.0));
}

template <class T>
T lunarLambert(const BasicPlanetaryConstants<T>& k, double mu0, double mu) {
  return (1.0 - k.lunarL) * mu0 + 2.0 * k.lunarL * mu0 / (mu0 + mu);
}

// Akimov's function over the photometric latitude beta and longitude gamma
// (the observer at gamma = 0, the light at gamma = g).
template <class T>
T akimov(const BasicPlanetaryConstants<T>& k, double mu0, double mu) {
  using std::pow;
  if (k.akimovPhase == AkimovPhase::Zero) return T(1);
  if (k.akimovPhase == AkimovPhase::Beyond) return T(0);
  const double s = (mu0 - mu * k.cosG) / k.sinG;  // cos beta sin gamma
  const double cosBeta = std::min(std::hypot(mu, s), 1.0);
  const double gamma = std::atan2(s, mu);
  const double u = kTruePi / 2 - gamma;
  const double sinU = std::sin(u);
  // On the limb (u = 0) the ratio of sines is 0/0; its limit is pi / (pi - g).
  const double r = sinU == 0 ? kTruePi / k.akimovPiMinusG
                             : std::sin(kTruePi * u / k.akimovPiMinusG) / sinU;
  return k.akimovScale * r * pow(cosBeta, k.akimovExponent);
}

// What depends only on the parameters.
template <class T>
BasicPlanetaryConstants<T> planetaryParameterConstants(int32_t model,
                                                       const BasicPlanetaryParameters<T>& p) {
  BasicPlanetaryConstants<T> k;
  k.model = model;
  k.factor = p.factor;
  k.minnaertK = p.minnaertK;
  k.lunarL = p.lunarL;
  if (model == kHapke) k.hapke = hapkeParameterConstants(p.hapke);
  return k;
}

// The terms of the phase angle (radians, already in [0, pi]) with the cos g
// the caller holds.
template <class T>
void setPlanetaryPhase(BasicPlanetaryConstants<T>& k, const BasicPlanetaryParameters<T>& p,
                       double phase, double cosG) {
  k.lunarL = p.lunarLOfPhase ? T(lunarLOfPhase(phase * 180 / kPi)) : p.lunarL;
  k.cosG = cosG;
  k.sinG = std::sin(phase);
  if (phase >= kTruePi) {
    k.akimovPhase = AkimovPhase::Beyond;
  } else if (k.sinG == 0) {
    k.akimovPhase = AkimovPhase::Zero;
  } else {
    k.akimovPhase = AkimovPhase::Between;
    k.akimovScale = std::cos(phase / 2);
    k.akimovPiMinusG = kTruePi - phase;
    k.akimovExponent = p.akimovEta * phase / (kTruePi - phase);
  }
  if (k.model == kHapke) setHapkePhase(k.hapke, phase, cosG);
}

// The constants of a map from the parameters and the phase angle g (radians,
// already in [0, pi]) with the cos g the caller holds.
template <class T>
BasicPlanetaryConstants<T> planetaryConstants(int32_t model, const BasicPlanetaryParameters<T>& p,
                                              double phase, double cosG) {
  BasicPlanetaryConstants<T> k = planetaryParameterConstants(model, p);
  setPlanetaryPhase(k, p, phase, cosG);
  return k;
}

// F at a lit point, before the factor and the limits.
template <class T>
T diskFunction(const BasicPlanetaryConstants<T>& k, double mu0, double mu) {
  switch (k.model) {
    case kLommelSeeliger: return lommelSeeliger<T>(mu0, mu);
    case kMinnaert: return minnaert(k, mu0, mu);
    case kLunarLambert: return lunarLambert(k, mu0, mu);
    case kAkimov: return akimov(k, mu0, mu);
    case kHapke: return hapkeTermsAt(k.hapke, mu0, mu).reflectance;
    default: return T(0);
  }
}

}  // namespace korvalen::formulas
