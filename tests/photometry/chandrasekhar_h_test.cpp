// Chandrasekhar's H function for isotropic scattering: against values worked
// to 17 digits from its closed integral form, against the integral equation
// that defines it, its derivatives against differences, and its ends.
#include "photometry/chandrasekhar_h.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

namespace korvalen {
namespace {

// 1/H(x) - sqrt(1 - w) - (w/2) int_0^1 x' H(x') / (x + x') dx', the integral by
// 16-point Gauss-Legendre rules on panels halving towards 0 (the integrand
// changes on the scale x' ~ x), H(x') from the table.
double equationResidual(const ExactHTable& t, double w, double x) {
  static const double nodes[8] = {0.0950125098376374, 0.2816035507792589, 0.4580167776572274,
                                  0.6178762444026438, 0.7554044083550030, 0.8656312023878318,
                                  0.9445750230732326, 0.9894009349916499};
  static const double weights[8] = {0.1894506104550685, 0.1826034150449236, 0.1691565193950025,
                                    0.1495959888165767, 0.1246289712555339, 0.0951585116824928,
                                    0.0622535239386479, 0.0271524594117541};
  double integral = 0, high = 1;
  for (int panel = 0; panel < 60; ++panel) {
    const double low = high / 2, half = (high - low) / 2, mid = (high + low) / 2;
    for (int k = 0; k < 8; ++k)
      for (const double side : {-1.0, 1.0}) {
        const double xp = mid + side * half * nodes[k];
        integral += half * weights[k] * xp * t.valueAt(xp) / (x + xp);
      }
    high = low;
  }
  return 1 / t.valueAt(x) - std::sqrt(1 - w) - w / 2 * integral;
}

TEST(ChandrasekharH, WorkedValuesAndTheEquation) {
  struct Row {
    double w, x, h;
  } const rows[] = {
      {1, 1, 2.9078105290786057},        {1, 0.5, 2.0127787699971807},
      {1, 0.1, 1.2473504424944359},      {1, 1e-5, 1.0000682409479734},
      {1, 3.5, 7.2722404657700444},      {0.999999, 0.83746908209646, 2.6156485150862266},
      {0.99, 0.8364614512743888, 2.2812291373742778}, {0.99, 2, 3.4544924297609811},
      {0.9, 1, 1.8500985167698123},      {0.9, 0.005243820684246324, 1.0154100298444893},
      {0.9, 5.4495612680592e-11, 1.0000000006097253}, {0.5, 1, 1.2512595633832226},
      {0.5, 2.7328419753797675e-06, 1.0000090583674849}, {0.1, 0.3949634040007439, 1.0261586877179338},
      {0.001, 1, 1.0003467747409275},
  };
  for (const Row& r : rows) {
    const auto table = exactHTableFor(r.w);
    EXPECT_NEAR(table->valueAt(r.x) / r.h, 1, 1e-9) << r.w << " " << r.x;
    EXPECT_NEAR(exactHByIntegral(r.w, r.x).h / r.h, 1, 1e-11) << r.w << " " << r.x;
    EXPECT_EQ(table->at(r.x).h, table->valueAt(r.x));
  }
  EXPECT_NEAR(exactHTableFor(1)->valueAt(1), 2.90781, 5e-6);
  for (const double w : {1.0, 0.95, 0.3})
    for (const double x : {1.0, 0.25, 0.01, 1e-6})
      EXPECT_NEAR(equationResidual(*exactHTableFor(w), w, x), 0, 1e-8) << w << " " << x;
}

// The derivatives a dual number takes, against central differences: by x of the
// table, by w of tables of neighbouring albedos.
TEST(ChandrasekharH, DerivativesAgainstDifferences) {
  for (const double w : {0.99, 0.6, 0.05})
    for (const double x : {1.2, 0.7, 0.1, 1e-3, 1e-7}) {
      const ExactHValue v = exactHTableFor(w)->at(x);
      const double dx = x * 1e-3, dw = 1e-6;
      const ExactHTable up(w + dw), down(w - dw);
      auto h = [&](double at) { return exactHTableFor(w)->valueAt(at); };
      const double dhdx = (8 * (h(x + dx) - h(x - dx)) - (h(x + 2 * dx) - h(x - 2 * dx))) / (12 * dx);
      const double dlnhdw = (std::log(up.valueAt(x)) - std::log(down.valueAt(x))) / (2 * dw);
      EXPECT_NEAR(v.dhdx, dhdx, 1e-5 * std::fabs(dhdx) + 1e-9) << w << " " << x;
      EXPECT_NEAR(v.dlnhdw, dlnhdw, 1e-5 * std::fabs(dlnhdw) + 1e-9) << w << " " << x;
    }
}

// H(0) = 1, H = 1 for w = 0; below, between and beyond the nodes, and at the
// albedo's ends, always a finite number, growing with x.
TEST(ChandrasekharH, FiniteAndRisingEverywhere) {
  const double xs[] = {0, 5e-324, 1e-300, 1e-13, 1e-12, 3e-12, 1e-6, 0.3, 1, 3.9, 4.4, 4.5, 9, 1e6};
  int faults = 0;
  for (const double w : {0.0, 1e-12, 0.5, 1 - 1e-15, 1.0}) {
    const auto table = exactHTableFor(w);
    double before = 1;
    for (const double x : xs) {
      const ExactHValue v = table->at(x);
      faults += std::isfinite(v.h) && std::isfinite(v.dhdx) && std::isfinite(v.dlnhdw) ? 0 : 1;
      faults += v.h >= before - 1e-15 ? 0 : 1;
      before = v.h;
      if (w == 0) faults += v.h == 1 ? 0 : 1;
    }
    EXPECT_EQ(table->valueAt(0), 1);
    EXPECT_EQ(table->valueAt(-1), 1);
  }
  EXPECT_EQ(faults, 0);
}

}  // namespace
}  // namespace korvalen
