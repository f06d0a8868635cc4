// Chandrasekhar's H function for isotropic scattering: against values worked
// to 17 digits from its closed integral form, against the equation that
// defines it, its derivatives against differences, and its ends.
#include "photometry/chandrasekhar_h.h"

#include <gtest/gtest.h>

#include <cmath>

namespace korvalen {
namespace {

// 1/H(x) - sqrt(1 - w) - (w/2) int_0^1 x' H(x') / (x + x') dx', the integral by
// 8-point Gauss-Legendre rules on panels halving towards 0, where it changes.
double equationResidual(double w, double x) {
  const double nodes[4] = {0.1834346424956498, 0.5255324099163290, 0.7966664774136267, 0.9602898564975363};
  const double weights[4] = {0.3626837833783620, 0.3137066458778873, 0.2223810344533745, 0.1012285362903763};
  const auto t = exactHTableFor(w);
  double integral = 0;
  for (double high = 1; high > 1e-18; high /= 2)
    for (int k = 0; k < 8; ++k) {
      const double xp = 0.75 * high + (k < 4 ? -1 : 1) * 0.25 * high * nodes[k % 4];
      integral += 0.25 * high * weights[k % 4] * xp * t->valueAt(xp) / (x + xp);
    }
  return 1 / t->valueAt(x) - std::sqrt(1 - w) - w / 2 * integral;
}

TEST(ChandrasekharH, WorkedValuesAndTheEquation) {
  const double rows[][3] = {{1, 1, 2.9078105290786057},          {1, 1e-5, 1.0000682409479734},
                            {1, 3.5, 7.2722404657700444},        {0.999999, 0.83746908209646, 2.6156485150862266},
                            {0.99, 2, 3.4544924297609811},       {0.9, 0.005243820684246324, 1.0154100298444893},
                            {0.9, 5.4495612680592e-11, 1.0000000006097253}, {0.5, 1, 1.2512595633832226},
                            {0.001, 1, 1.0003467747409275}};
  for (const auto& r : rows) {
    EXPECT_NEAR(exactHTableFor(r[0])->valueAt(r[1]) / r[2], 1, 1e-9) << r[0] << " " << r[1];
    EXPECT_NEAR(exactHByIntegral(r[0], r[1]).h / r[2], 1, 1e-11) << r[0] << " " << r[1];
  }
  for (const double w : {1.0, 0.95, 0.3})
    for (const double x : {1.0, 0.25, 0.01, 1e-6}) EXPECT_NEAR(equationResidual(w, x), 0, 1e-8) << w << " " << x;
}

// What a dual number takes (dH/dx of the table, d ln H/dw) against differences;
// and at the ends (x = 0, below, between and beyond the nodes, w = 0 and 1)
// always a finite number, 1 at x = 0 and for w = 0, rising with x.
TEST(ChandrasekharH, DerivativesAndEnds) {
  for (const double w : {0.99, 0.05})
    for (const double x : {1.2, 0.1, 1e-7}) {
      const auto h = [t = exactHTableFor(w)](double at) { return t->valueAt(at); };
      const double dx = x * 1e-3, dw = 1e-6;
      const double dhdx = (8 * (h(x + dx) - h(x - dx)) - (h(x + 2 * dx) - h(x - 2 * dx))) / (12 * dx);
      const double dlnhdw = (std::log(ExactHTable(w + dw).valueAt(x)) - std::log(ExactHTable(w - dw).valueAt(x))) / (2 * dw);
      const ExactHValue v = exactHTableFor(w)->at(x);
      EXPECT_NEAR(v.dhdx, dhdx, 1e-5 * std::fabs(dhdx)) << w << " " << x;
      EXPECT_NEAR(v.dlnhdw, dlnhdw, 1e-5 * std::fabs(dlnhdw) + 1e-9) << w << " " << x;
      EXPECT_EQ(v.h, h(x));
    }
  int faults = 0;
  for (const double w : {0.0, 1e-12, 0.5, 1.0}) {
    double before = 1;
    for (const double x : {0.0, 5e-324, 1e-13, 3e-12, 0.3, 4.4, 4.5, 9.0, 1e6}) {
      const ExactHValue v = exactHTableFor(w)->at(x);
      faults += std::isfinite(v.h) && std::isfinite(v.dhdx) && std::isfinite(v.dlnhdw) && v.h >= before ? 0 : 1;
      faults += (x == 0 || w == 0) && v.h != 1 ? 1 : 0;
      before = v.h;
    }
  }
  EXPECT_EQ(faults, 0);
}

}  // namespace
}  // namespace korvalen
