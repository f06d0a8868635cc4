// Hapke's formulas over a dual number with the exact H function and the 2012
// terms: the value is the map's, and the derivatives a fit takes agree with
// differences of the map's own evaluation.
#include <ceres/jet.h>
#include <gtest/gtest.h>

#include <cmath>

#include "photometry/hapke_formulas.h"

namespace korvalen {
namespace {

using Dual = ceres::Jet<double, 5>;
constexpr double kDeg = 3.141592653589793 / 180;

// The five parameters with derivatives: w, theta-bar, the filling factor, Bc0, hc.
double reflectanceAt(const double q[5], HFunction f, double g, double mu0, double mu) {
  HapkeParameters p{q[0], 0.25, 0.7, 1.3, 0.07, q[1], f};
  p.porosity = q[2];
  p.bc0 = q[3];
  p.hc = q[4];
  return formulas::hapkeTermsAt<double>(formulas::hapkeConstants<double>(p, g, std::cos(g)), mu0, mu).reflectance;
}

TEST(HapkeDual, ExactHAndThe2012TermsCarryTheirDerivatives) {
  const double q[5] = {0.6, 15, 0.35, 1.2, 0.1};
  const struct {
    double g, i, e;
  } geometries[] = {{30, 20, 40}, {5, 10, 8}, {70, 60, 15}, {0, 0, 0}, {100, 85, 70}};
  for (const HFunction f : {HFunction::Exact, HFunction::Approximation2002, HFunction::Form1981})
    for (const auto& at : geometries) {
      const double g = at.g * kDeg, mu0 = std::cos(at.i * kDeg), mu = std::cos(at.e * kDeg);
      BasicHapkeParameters<Dual> p{Dual(q[0], 0), Dual(0.25), Dual(0.7), Dual(1.3), Dual(0.07), Dual(q[1], 1), f};
      p.porosity = Dual(q[2], 2);
      p.bc0 = Dual(q[3], 3);
      p.hc = Dual(q[4], 4);
      const Dual r = formulas::hapkeTermsAt<Dual>(formulas::hapkeConstants<Dual>(p, g, std::cos(g)), mu0, mu).reflectance;
      const double value = reflectanceAt(q, f, g, mu0, mu);
      SCOPED_TRACE(testing::Message() << "H " << static_cast<int>(f) << " at " << at.g << ", " << at.i << ", " << at.e);
      EXPECT_NEAR(r.a, value, 1e-15 * std::fabs(value));
      for (int n = 0; n < 5; ++n) {
        double up[5], down[5];
        for (int m = 0; m < 5; ++m) up[m] = down[m] = q[m];
        const double step = 1e-5 * q[n];
        up[n] += step;
        down[n] -= step;
        const double difference =
            (reflectanceAt(up, f, g, mu0, mu) - reflectanceAt(down, f, g, mu0, mu)) / (2 * step);
        EXPECT_NEAR(r.v[n], difference, 1e-5 * std::fabs(difference) + 1e-10) << "parameter " << n;
      }
    }
}

}  // namespace
}  // namespace korvalen
