#pragma once
// A model's phi at measured geometries: the map's own arithmetic, A F(mu0, mu,
// g), in 64 bits, neither limited to [0, 1] nor rounded to 32 bits. Written
// once over the scalar type, so that a fit takes exact derivatives from the
// same lines.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

#include "observations/observation_table.h"
#include "photometry/model_state.h"
#include "photometry/planetary_formulas.h"

namespace korvalen {

// Lambert's law A cos i, the baseline every model is judged against: the
// matte model's phi with a factor.
inline constexpr int32_t kLambertLaw = kMatte;

// The models that give phi at a measured geometry: Lambert's law and the added models.
inline constexpr bool canEvaluate(int32_t model) {
  return model == kLambertLaw || isPlanetaryModel(model);
}

// One observation as the formulas take it.
struct Geometry {
  double phase = 0;  // g in radians, in [0, pi]
  double cosG = 1;
  double mu0 = 1;  // cos i
  double mu = 1;   // cos e, 0 at most on the limb
};

inline Geometry geometryOf(double iDegrees, double eDegrees, double gDegrees) {
  constexpr double kRadian = std::numbers::pi / 180;
  Geometry o;
  o.phase = std::min(gDegrees * kRadian, std::numbers::pi);
  o.cosG = std::cos(o.phase);
  o.mu0 = std::cos(iDegrees * kRadian);
  const double cosE = std::cos(eDegrees * kRadian);
  o.mu = cosE > 0 ? cosE : 0.0;
  return o;
}

// The parameters with another scalar type, every value carried over.
template <class T>
BasicPlanetaryParameters<T> withScalar(const PlanetaryParameters& p) {
  BasicPlanetaryParameters<T> q;
  q.factor = T(p.factor);
  q.minnaertK = T(p.minnaertK);
  q.lunarL = T(p.lunarL);
  q.lunarLOfPhase = p.lunarLOfPhase;
  q.akimovEta = T(p.akimovEta);
  q.hapke.w = T(p.hapke.w);
  q.hapke.b = T(p.hapke.b);
  q.hapke.c = T(p.hapke.c);
  q.hapke.b0 = T(p.hapke.b0);
  q.hapke.h = T(p.hapke.h);
  q.hapke.thetaBar = T(p.hapke.thetaBar);
  q.hapke.hFunction = p.hapke.hFunction;
  q.hapke.porosity = T(p.hapke.porosity);
  q.hapke.bc0 = T(p.hapke.bc0);
  q.hapke.hc = T(p.hapke.hc);
  return q;
}

// A model ready for many geometries: what depends only on the parameters is
// found once. at(o) is A F at one geometry, for a model canEvaluate accepts.
template <class T>
class PreparedModel {
 public:
  PreparedModel(int32_t model, const BasicPlanetaryParameters<T>& p)
      : model_(model), p_(p), base_(formulas::planetaryParameterConstants(model, p)) {}

  T at(const Geometry& o) const {
    if (model_ == kLambertLaw) return p_.factor * o.mu0;
    BasicPlanetaryConstants<T> k = base_;
    formulas::setPlanetaryPhase(k, p_, o.phase, o.cosG);
    return k.factor * formulas::diskFunction<T>(k, o.mu0, o.mu);
  }

 private:
  int32_t model_;
  const BasicPlanetaryParameters<T>& p_;
  BasicPlanetaryConstants<T> base_;
};

template <class T>
T modelValueAt(int32_t model, const BasicPlanetaryParameters<T>& p, const Geometry& o) {
  return PreparedModel<T>(model, p).at(o);
}

// phi at every observation of a table, on all cores.
std::vector<double> modelValues(int32_t model, const PlanetaryParameters& p,
                                const ObservationTable& t);

// The model's miss at every observation: measured minus modelled, row for
// row. Empty when the table has no measured values or the model gives none
// at a measured geometry. The colours of the misses, on the map and on the
// charts alike, run over symmetricScaleLimit of these.
std::vector<double> residualsOf(int32_t model, const PlanetaryParameters& p,
                                const ObservationTable& t);

}  // namespace korvalen
