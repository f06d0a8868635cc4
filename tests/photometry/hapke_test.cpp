// Hapke's model against published-preset values worked by hand, and at the
// points where its formulas divide zero by zero.
#include "photometry/hapke.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace korvalen {
namespace {

constexpr double kDeg = std::numbers::pi / 180;
const HapkeParameters& ceres() { return kHapkePresets[0].p; }
HFunction variant(bool v1981) { return v1981 ? HFunction::Form1981 : HFunction::Approximation2002; }
const HapkeParameters& marsRed() { return kHapkePresets[3].p; }

// cos of an angle in degrees, exactly 0 at 90.
double cosDeg(double a) { return a == 90 ? 0 : std::cos(a * kDeg); }

HapkeTerms at(const HapkeParameters& p, double i, double e, double g) {
  const HapkeConstants k = hapkeConstantsOf(p, g * kDeg, cosDeg(g));
  const HapkeTerms t = hapkeTerms(k, cosDeg(i), cosDeg(e));
  EXPECT_EQ(t.reflectance, hapkeReflectance(k, cosDeg(i), cosDeg(e)));
  return t;
}

TEST(Hapke, WorkedValues) {
  struct Row {
    const HapkeParameters& p;
    double i, e, g, expected;
  };
  const Row rows[] = {{ceres(), 30, 0, 30, 0.029286460},    {ceres(), 60, 30, 45, 0.018159889},
                      {ceres(), 20, 60, 50, 0.030906132},   {marsRed(), 30, 0, 30, 0.131007949},
                      {marsRed(), 60, 30, 45, 0.081096625}, {marsRed(), 20, 60, 50, 0.137999536}};
  for (const Row& r : rows)
    EXPECT_NEAR(at(r.p, r.i, r.e, r.g).reflectance, r.expected, 1e-6 * r.expected)
        << r.i << " " << r.e << " " << r.g;

  const HapkeTerms t = at(ceres(), 60, 30, 45);
  const double got[] = {t.mu0e, t.mue, t.S, t.P, t.B, t.H0, t.H};
  const double want[] = {0.522359448, 0.680144132, 0.751696604, 1.246218424,
                         0.202440435, 1.042023196, 1.046503035};
  for (int n = 0; n < 7; ++n) EXPECT_NEAR(got[n], want[n], 1e-6 * want[n]) << "term " << n;
}

// The values published with the planetary mapping tools and an open radiative-transfer
// library, (g, i, e) in degrees. The 2002 rows are REFF = I/F / cos i at i, e and the
// azimuth psi (0: light and observer on one side), cos g = cos i cos e + sin i sin e cos psi.
TEST(Hapke, PublishedValues) {
  const HapkeParameters plain{0.5, 0, 1, 0, 0, 0, HFunction::Form1981}, mars{0.52, 0.213, 1, 1, 1, 30, HFunction::Form1981},
      isotropic{0.52, 0, 1, 1, 1, 30, HFunction::Form1981}, moon{0.526, 0.187, 0.273, 1, 0.083, 13.3};
  const struct {
    const HapkeParameters& p;
    double g, i, e, value, tolerance;  // g < 0: REFF at the azimuth -1 - g
  } rows[] = {{plain, 0, 0, 0, 0.0965097, 5e-8},         {plain, 60, 45, 30, 0.0832883, 5e-8},
              {mars, 0, 0, 0, 0.286048, 5e-7},           {mars, 60, 45, 30, 0.1342, 5e-5},
              {isotropic, 0, 0, 0, 0.16145, 5e-6},       {isotropic, 60, 45, 30, 0.111525, 5e-7},
              {moon, -1, 30, 30, 0.24746648, 2.4746648e-7}, {moon, -1, 30, 80, 0.19555340, 1.955534e-7},
              {moon, -181, 30, 89, 0.15426355, 1.5426355e-7}};  // the last three to 1e-6
  for (const auto& r : rows) {
    const double mu0 = std::cos(r.i * kDeg), mu = std::cos(r.e * kDeg);
    double cosG = std::cos(r.g * kDeg);
    if (r.g < 0) cosG = mu0 * mu + std::sin(r.i * kDeg) * std::sin(r.e * kDeg) * std::cos((-1 - r.g) * kDeg);
    const double iOverF = hapkeReflectance(hapkeConstantsOf(r.p, std::acos(cosG), cosG), mu0, mu);
    EXPECT_NEAR(r.g < 0 ? iOverF / mu0 : iOverF, r.value, r.tolerance) << r.g << " " << r.i << " " << r.e;
  }
}

// The phase function's lobes and the surge, where their values are known in closed form:
// c = 1 keeps only the back-scattering lobe; tan 45 = 1 makes the surge B0 / (1 + 1/h)
// at g = 90 in either form.
TEST(Hapke, PhaseFunctionAndSurge) {
  struct Row {
    double b, c, b0, h;
    bool v1981;
    double g, P, B;
  };
  const Row rows[] = {{0.5, 1, 1, 0.1, false, 0, 6, 1},
                      {0.5, 1, 0, 0.1, false, 180, 2. / 9, 0},
                      {0.5, -1, 1, 0, false, 0, 2. / 9, 0},
                      {1, 1, 1, 0.1, true, 0, 0, 1},
                      {0.5, 1, 0.5, 0.1, false, 90, 0.5366563146, 0.5 / 11},
                      {0, 1, 0.5, 0.1, true, 90, 1, 0.5 / 11},
                      {0, 1, 0.5, 0.1, true, 180, 1, 0}};
  for (const Row& r : rows) {
    const HapkeConstants k =
        hapkeConstantsOf({0.5, r.b, r.c, r.b0, r.h, 0, variant(r.v1981)}, r.g * kDeg, std::cos(r.g * kDeg));
    EXPECT_NEAR(k.P, r.P, 1e-6) << r.b << " " << r.c << " " << r.g;
    EXPECT_NEAR(k.B, r.B, 1e-12) << r.b0 << " " << r.h << " " << r.g;
  }
}

// Whether P(g) >= 0 over [0, 180] is decided at g = 180: against P itself at
// every tenth of a degree, about the border ((1 + b)/(1 - b))^3 = (1 + c)/(c - 1).
TEST(Hapke, PhaseFunctionSignDecidedAt180) {
  const double pairs[][2] = {{0.6, 2}, {0.2, 2}, {0.1, 2}, {0.999, -1}, {0.3, 1.2}, {0.5, 1.2}, {0.431, 1.5}};
  for (const auto& [b, c] : pairs) {
    bool nonNegative = true;
    for (int tenth = 0; tenth <= 1800; ++tenth)
      nonNegative = nonNegative && phaseFunctionOf(b, c, tenth == 1800 ? -1 : std::cos(tenth / 10.0 * kDeg)) >= 0;
    EXPECT_EQ(phaseFunctionNonNegative(b, c), nonNegative) << b << " " << c;
    EXPECT_EQ(hapkeConstantsOf({0.5, b, c}, 2.6, std::cos(2.6)).P, phaseFunctionOf(b, c, std::cos(2.6)));
  }
  for (const HapkePreset& preset : kHapkePresets) EXPECT_TRUE(phaseFunctionNonNegative(preset.p.b, preset.p.c));
}

// Hapke 2012's factors where known in closed form, and I/F against the formula
// written out for a smooth surface with the 1981 H (closed too):
// K (w/4) mu0/(mu0 + mu) [P (1 + B) + H(mu0/K) H(mu/K) - 1] (1 + Bc0 B_C).
// Off (phi 0, Bc0 0) they leave I/F as it was, to the last bit.
TEST(Hapke, Terms2012) {
  const double porosities[][2] = {{0, 1}, {0.3, 1.440477795586235}, {0.752, 8.428097444936315}};
  for (const auto& [phi, K] : porosities) EXPECT_NEAR(porosityFactorOf(phi), K, 1e-14 * K) << phi;
  const double t30 = std::tan(30 * kDeg);
  const double shapes[][3] = {{0, 0, 1},  {40, 0, 0}, {60, t30, 0.2040150698535697}, {60, t30 / 0.01, 0.9778534580350894},
                              {60, t30 / 1e-12, 1 - 9e-12 / 4}, {179, 1e-300, 0}};
  for (const auto& [g, hc, bc] : shapes) EXPECT_NEAR(coherentBackscatterOf(g * kDeg, hc), bc, 1e-14) << g << " " << hc;
  auto h1981 = [](double w, double x) { return (1 + 2 * x) / (1 + 2 * std::sqrt(1 - w) * x); };
  const double rows[][6] = {{0.3, 0, 0.05, 30, 20, 40}, {0, 2, 0.05, 5, 10, 8}, {0.7, 5, 1, 0, 0, 0}};
  for (const auto& [phi, bc0, hc, gDeg, i, e] : rows) {
    HapkeParameters p{0.6, 0.3, 0.5, 1.2, 0.08, 0, HFunction::Form1981};
    p.porosity = phi, p.bc0 = bc0, p.hc = hc;
    const double mu0 = std::cos(i * kDeg), mu = std::cos(e * kDeg), g = gDeg * kDeg, K = porosityFactorOf(phi);
    const HapkeConstants k = hapkeConstantsOf(p, g, std::cos(g));
    EXPECT_NEAR(hapkeReflectance(k, mu0, mu), K * (p.w / 4) * mu0 / (mu0 + mu) *
                                                  (k.P * (1 + k.B) + h1981(p.w, mu0 / K) * h1981(p.w, mu / K) - 1) *
                                                  (1 + bc0 * coherentBackscatterOf(g, hc)), 1e-14) << phi << " " << bc0;
  }
  for (const HFunction f : {HFunction::Approximation2002, HFunction::Form1981, HFunction::Exact}) {
    HapkeParameters off = ceres(), wide = ceres();
    off.hFunction = wide.hFunction = f;
    wide.hc = 0.9;  // the width of a peak that is not there
    const HapkeConstants a = hapkeConstantsOf(off, 0.7, std::cos(0.7)), b = hapkeConstantsOf(wide, 0.7, std::cos(0.7));
    EXPECT_TRUE(a.K == 1 && a.coherent == 1 && hapkeReflectance(a, 0.6, 0.3) == hapkeReflectance(b, 0.6, 0.3));
  }
}

TEST(Hapke, HTendsToOneAtZero) {
  for (const bool v1981 : {false, true})
    for (const double w : {0.5, 1.0}) {
      const HapkeConstants k = hapkeConstantsOf({w, 0.2, 1, 1, 0.06, 0, variant(v1981)}, 0, 1);
      EXPECT_EQ(hapkeH(k, 0), 1);
      EXPECT_EQ(hapkeH(k, 5e-324), 1);
      EXPECT_EQ(hapkeH(k, 1e-300), 1);
      EXPECT_GT(hapkeH(k, 1e-12), 1);
      EXPECT_LT(hapkeH(k, 1e-12), 1 + 1e-10);
    }
  EXPECT_DOUBLE_EQ(hapkeH(hapkeConstantsOf({0.75, 0.2, 1, 1, 0.06, 0, HFunction::Form1981}, 0, 1), 1), 1.5);
}

// Just either side of i = e the two roughness branches must give the same terms.
TEST(Hapke, RoughnessBranchesMeetAtEqualAngles) {
  for (const double tb : {5.0, 30.0, 60.0})
    for (const double a : {10.0, 45.0, 80.0, 89.9})
      for (const double g : {20.0, 90.0, 170.0}) {
        const HapkeParameters p{0.6, 0.3, 0.5, 1, 0.1, tb, HFunction::Approximation2002};
        const HapkeConstants k = hapkeConstantsOf(p, g * kDeg, std::cos(g * kDeg));
        const double mu = std::cos(a * kDeg);
        const HapkeTerms lo = hapkeTerms(k, mu, std::nextafter(mu, 0.0));  // i < e
        const HapkeTerms hi = hapkeTerms(k, mu, std::nextafter(mu, 1.0));  // i > e
        const double l[] = {lo.mu0e, lo.mue, lo.S, lo.reflectance};
        const double h[] = {hi.mu0e, hi.mue, hi.S, hi.reflectance};
        for (int n = 0; n < 4; ++n)
          EXPECT_NEAR(l[n], h[n], 1e-12 * std::fabs(h[n]))
              << tb << " " << a << " " << g << " " << n;
      }
}

// The points where a formula is 0/0: the value there must be the limit of its neighbours.
TEST(Hapke, DegeneratePointsTakeTheirLimits) {
  struct Row {
    double i, e, g, iNear, eNear, gNear;
  };
  const Row rows[] = {{0, 0, 0, 1e-6, 1e-6, 0},        // i = e = 0: no azimuth
                      {0, 40, 40, 1e-6, 40, 40},       // sun along the normal
                      {40, 0, 40, 40, 1e-6, 40},       // observer along the normal
                      {30, 40, 70, 30, 40, 69.99999},  // psi = pi
                      {40, 90, 80, 40, 89.99999, 80},  // on the limb
                      {40, 40, 0, 40, 40, 1e-7}};      // zero phase, i = e
  for (const HapkeParameters& p : {ceres(), marsRed(), kHapkePresets[4].p}) {
    for (const Row& r : rows) {
      const double v = at(p, r.i, r.e, r.g).reflectance,
                   near = at(p, r.iNear, r.eNear, r.gNear).reflectance;
      EXPECT_NEAR(v, near, 1e-4 * near) << r.i << " " << r.e << " " << r.g;
    }
    const HapkeTerms t = at(p, 0, 0, 0);
    EXPECT_NEAR(t.S, 1, 1e-15);
  }
}

// Every combination of the parameters' range ends (with the tiny widths and roughnesses
// whose reciprocals overflow), the three H functions and the 2012 terms, over cosines
// down to 0 and phases up to the 32-bit pi.
TEST(Hapke, FiniteOverTheRangeEnds) {
  const std::vector<double> ends[] = {{1e-9, 1},       {0, 0.999}, {-1, 2},          {0, 5},
                                      {0, 1e-300, 1},  {0, 1e-300, 1e-97, 60},       {0, 1, 2},
                                      {0, 0.7519999},  {0, 5},     {0, 1e-300, 1}};
  const double mus[] = {1, 1 - 1e-16, 0.9, 0.5, 0.1, 1e-9, 1e-300, 5e-324, 0};
  const HFunction hFunctions[] = {HFunction::Approximation2002, HFunction::Form1981, HFunction::Exact};
  size_t combinations = 1;
  for (const auto& e : ends) combinations *= e.size();
  int faults = 0;
  for (size_t n = 0; n < combinations; ++n) {
    double v[10];
    size_t rest = n;
    for (int j = 0; j < 10; rest /= ends[j].size(), ++j) v[j] = ends[j][rest % ends[j].size()];
    HapkeParameters p{v[0], v[1], v[2], v[3], v[4], v[5], hFunctions[static_cast<int>(v[6])]};
    p.porosity = v[7];
    p.bc0 = v[8];
    p.hc = v[9];
    for (int gStep = 0; gStep <= 13; ++gStep) {
      const double g = gStep < 13 ? gStep * 15 * kDeg : double(float(std::numbers::pi));
      const HapkeConstants k = hapkeConstantsOf(p, g, std::cos(float(g)));
      for (const double mu0 : mus)
        for (const double mu : mus) {
          if (mu0 == 0) continue;
          const HapkeTerms t = hapkeTerms(k, mu0, mu);
          for (const double x : {t.mu0e, t.mue, t.S, t.P, t.B, t.H0, t.H, t.reflectance})
            faults += std::isfinite(x) ? 0 : 1;
          if (p.thetaBar == 0) faults += t.mu0e == mu0 && t.mue == mu && t.S == 1 ? 0 : 1;
          if (p.h == 0 || p.b0 == 0) faults += t.B == 0 ? 0 : 1;
        }
    }
  }
  EXPECT_EQ(faults, 0);
}

}  // namespace
}  // namespace korvalen
