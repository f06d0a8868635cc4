// Hapke's formulas over a dual number, with each H function and the 2012 terms:
// the map's value, and derivatives that agree with differences of the map's own.
#include <ceres/jet.h>
#include <gtest/gtest.h>

#include <cmath>

#include "photometry/hapke_formulas.h"

namespace korvalen {
namespace {

// The free parameters: w, theta-bar, the filling factor, Bc0, hc.
template <class T>
T reflectanceAt(const T q[5], HFunction f, double gDeg, double iDeg, double eDeg) {
  const double g = gDeg * 3.141592653589793 / 180, mu0 = std::cos(iDeg * 3.141592653589793 / 180);
  BasicHapkeParameters<T> p{q[0], T(0.25), T(0.7), T(1.3), T(0.07), q[1], f};
  p.porosity = q[2], p.bc0 = q[3], p.hc = q[4];
  const auto k = formulas::hapkeConstants<T>(p, g, std::cos(g));
  return formulas::hapkeTermsAt<T>(k, mu0, std::cos(eDeg * 3.141592653589793 / 180)).reflectance;
}

TEST(HapkeDual, DerivativesAgainstDifferences) {
  using Dual = ceres::Jet<double, 5>;
  const double q[5] = {0.6, 15, 0.35, 1.2, 0.1};
  const Dual dual[5] = {Dual(q[0], 0), Dual(q[1], 1), Dual(q[2], 2), Dual(q[3], 3), Dual(q[4], 4)};
  const double geometries[][3] = {{30, 20, 40}, {5, 10, 8}, {100, 85, 70}};
  for (const HFunction f : {HFunction::Exact, HFunction::Approximation2002, HFunction::Form1981})
    for (const auto& at : geometries) {
      const Dual r = reflectanceAt<Dual>(dual, f, at[0], at[1], at[2]);
      EXPECT_NEAR(r.a, reflectanceAt<double>(q, f, at[0], at[1], at[2]), 1e-15);
      for (int n = 0; n < 5; ++n) {
        double up[5], down[5];
        for (int m = 0; m < 5; ++m) up[m] = down[m] = q[m];
        up[n] += 1e-5 * q[n], down[n] -= 1e-5 * q[n];
        const double difference = (reflectanceAt<double>(up, f, at[0], at[1], at[2]) -
                                   reflectanceAt<double>(down, f, at[0], at[1], at[2])) / (2e-5 * q[n]);
        EXPECT_NEAR(r.v[n], difference, 1e-5 * std::fabs(difference) + 1e-10)
            << "H " << static_cast<int>(f) << ", parameter " << n << " at " << at[0];
      }
    }
}

}  // namespace
}  // namespace korvalen
