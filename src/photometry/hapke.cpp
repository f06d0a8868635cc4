#include "photometry/hapke.h"

#include <cmath>
#include <limits>
#include <numbers>

namespace korvalen {

namespace {

constexpr double kPi = std::numbers::pi;

// v brought into [lo, hi]; a NaN goes to lo.
double inRange(double v, double lo, double hi) { return v >= lo ? (v <= hi ? v : hi) : lo; }

// One Henyey-Greenstein lobe, (1 - x^2) / (1 + 2 x cos g + x^2)^1.5. The
// denominator is (x + cos g)^2 + sin^2 g, zero only for |x| = 1 looking
// straight along the lobe, where the lobe is a delta; there (and where
// rounding takes the denominator to zero or below for x next to 1) the lobe
// is left out rather than made infinite.
double henyeyGreenstein(double x, double cosG) {
  const double base = 1 + 2 * x * cosG + x * x;
  if (!(base > 0)) return 0;
  return (1 - x * x) / std::pow(base, 1.5);
}

// Below this tan theta-bar the surface counts as smooth: every roughness
// correction is far below the 64-bit resolution, and cot^2 theta-bar would
// overflow for the smallest angles.
constexpr double kSmallestRoughTan = 1e-100;

// E1(x) and E2(x) of the roughness correction, 0 where sin x = 0 (cot x is
// infinite there and both exponents go to minus infinity).
struct Exponentials {
  double e1 = 0, e2 = 0;
};
Exponentials exponentialsOf(const HapkeConstants& k, double cosX, double sinX) {
  if (!(sinX > 0)) return {};
  const double cotX = cosX / sinX;
  return {std::exp(-(k.e1Factor * cotX)), std::exp(-(k.e2Factor * (cotX * cotX)))};
}

// eta(x) = chi [cos x + sin x tan t E2(x) / (2 - E1(x))]. Never 0: where
// cos x = 0, sin x = 1 and E2 = 1, so eta = chi tan t > 0.
double etaOf(const HapkeConstants& k, double cosX, double sinX, const Exponentials& ex) {
  return k.chi * (cosX + sinX * k.tanT * ex.e2 / (2 - ex.e1));
}

// The shadowing function S = (mue / eta(e)) (mu0 / eta(i)) chi / (1 - f + f chi m / eta(m)),
// where m is the cosine of the smaller of i and e (mu0 where i <= e, else mu). The
// denominator falls below 1e-200 only with f = 1 (psi next to 0) and m next to 0 (both
// rays grazing); there it is chi m / eta(m) alone, and chi cancels from the ratio rather
// than letting two vanishing values divide.
double shadowing(const HapkeConstants& k, double mue, double etaE, double mu0, double etaI,
                 double m, double etaM, double f) {
  const double den = 1 - f + f * k.chi * m / etaM;
  if (den >= 1e-200) return (mue / etaE) * (mu0 / etaI) * k.chi / den;
  const double ratio = m > 0 ? mu0 / m * (etaM / etaI) : 1;
  return mue / etaE * ratio;
}

// The 2002 H function. x ln((1 + x)/x) tends to 0 with x, so H(0) = 1; for
// the smallest x, (1 + x)/x overflows and the logarithm is taken as a
// difference instead.
double h2002(double w, double r0, double x) {
  if (!(x > 0)) return 1;
  const double q = (1 + x) / x;
  const double lnq =
      q <= std::numeric_limits<double>::max() ? std::log(q) : std::log1p(x) - std::log(x);
  const double den = 1 - w * x * (r0 + (1 - 2 * r0 * x) / 2 * lnq);
  // For w <= 1 the denominator stays above 0.34 over x in [0, 1], where mu0e
  // and mue lie; the guard only keeps an impossible input from dividing by zero.
  return den != 0 ? 1 / den : 1;
}

// The 1981 H function.
double h1981(double gamma, double x) {
  if (!(x > 0)) return 1;
  return (1 + 2 * x) / (1 + 2 * gamma * x);
}

double hOf(const HapkeConstants& k, double x) {
  return k.variant1981 ? h1981(k.gamma, x) : h2002(k.w, k.r0, x);
}

// All the terms at one point; hapkeTerms and hapkeReflectance both come here,
// so the two give the same value bit for bit.
HapkeTerms termsAt(const HapkeConstants& k, double mu0, double mu) {
  mu0 = inRange(mu0, 0, 1);
  mu = inRange(mu, 0, 1);
  HapkeTerms t{};
  t.P = k.P;
  t.B = k.B;
  if (!k.rough) {
    t.mu0e = mu0;
    t.mue = mu;
    t.S = 1;
  } else {
    const double sinI = std::sqrt(1 - mu0 * mu0);
    const double sinE = std::sqrt(1 - mu * mu);
    const Exponentials ei = exponentialsOf(k, mu0, sinI);
    const Exponentials ee = exponentialsOf(k, mu, sinE);

    // The azimuth between the planes of incidence and emission; undefined
    // (taken as 0) where either ray is along the normal.
    double cosPsi = 1, psi = 0;
    const double sinSin = sinI * sinE;
    if (sinSin > 0) {
      cosPsi = inRange((k.cosG - mu0 * mu) / sinSin, -1, 1);
      psi = std::acos(cosPsi);
    }
    const double f = psi < kPi ? std::exp(-2 * std::tan(psi / 2)) : 0;
    const double sinHalfPsi = std::sin(psi / 2);
    const double sin2HalfPsi = sinHalfPsi * sinHalfPsi;

    const double etaI = etaOf(k, mu0, sinI, ei);
    const double etaE = etaOf(k, mu, sinE, ee);

    // D vanishes only with i = e = 90 degrees and psi = pi, where the
    // numerators it divides vanish as well; the corrections are then 0.
    if (mu0 >= mu) {  // i <= e
      const double d = 2 - ee.e1 - (psi / kPi) * ei.e1;
      const double a = d > 0 ? (cosPsi * ee.e2 + sin2HalfPsi * ei.e2) / d : 0;
      const double b = d > 0 ? (ee.e2 - sin2HalfPsi * ei.e2) / d : 0;
      t.mu0e = k.chi * (mu0 + sinI * k.tanT * a);
      t.mue = k.chi * (mu + sinE * k.tanT * b);
      t.S = shadowing(k, t.mue, etaE, mu0, etaI, mu0, etaI, f);
    } else {  // i > e
      const double d = 2 - ei.e1 - (psi / kPi) * ee.e1;
      const double a = d > 0 ? (ei.e2 - sin2HalfPsi * ee.e2) / d : 0;
      const double b = d > 0 ? (cosPsi * ei.e2 + sin2HalfPsi * ee.e2) / d : 0;
      t.mu0e = k.chi * (mu0 + sinI * k.tanT * a);
      t.mue = k.chi * (mu + sinE * k.tanT * b);
      t.S = shadowing(k, t.mue, etaE, mu0, etaI, mu, etaE, f);
    }
  }
  t.H0 = hOf(k, t.mu0e);
  t.H = hOf(k, t.mue);
  const double sum = t.mu0e + t.mue;
  t.reflectance = sum != 0 ? k.wOver4 * t.mu0e / sum * (k.surgedP + t.H0 * t.H - 1) * t.S : 0;
  return t;
}

}  // namespace

HapkeConstants hapkeConstantsOf(const HapkeParameters& p, double g, double cosG) {
  HapkeConstants k;
  const double w = inRange(p.w, 0, 1);
  const double b = inRange(p.b, 0, 1);
  const double c = inRange(p.c, -1, 2);
  const double b0 = inRange(p.b0, 0, 5);
  const double h = inRange(p.h, 0, 1);
  const double thetaBar = inRange(p.thetaBar, 0, 60);
  g = inRange(g, 0, kPi);
  cosG = inRange(cosG, -1, 1);

  k.cosG = cosG;
  k.w = w;
  k.wOver4 = w / 4;
  k.gamma = std::sqrt(1 - w);
  k.r0 = (1 - k.gamma) / (1 + k.gamma);
  k.variant1981 = p.variant1981;

  // c weighs the back-scattering lobe HG(-b), which peaks at g = 0.
  k.P = (1 + c) / 2 * henyeyGreenstein(-b, cosG) + (1 - c) / 2 * henyeyGreenstein(b, cosG);

  // The same surge in both variants: they differ only in the H function.
  if (h == 0 || b0 == 0) {
    k.B = 0;
  } else {
    k.B = b0 / (1 + std::tan(g / 2) / h);
  }
  k.surgedP = k.P * (1 + k.B);

  const double t = thetaBar * kPi / 180;
  const double tanT = std::tan(t);
  k.rough = tanT >= kSmallestRoughTan;
  if (k.rough) {
    const double cotT = 1 / tanT;
    k.tanT = tanT;
    k.chi = 1 / std::sqrt(1 + kPi * tanT * tanT);
    k.e1Factor = 2 / kPi * cotT;
    k.e2Factor = 1 / kPi * cotT * cotT;
  }
  return k;
}

HapkeTerms hapkeTerms(const HapkeConstants& k, double mu0, double mu) {
  return termsAt(k, mu0, mu);
}

double hapkeReflectance(const HapkeConstants& k, double mu0, double mu) {
  return termsAt(k, mu0, mu).reflectance;
}

double hapkeH(const HapkeConstants& k, double x) { return hOf(k, x); }

double phaseFunctionOf(double b, double c, double cosG) {
  return (1 + c) / 2 * henyeyGreenstein(-b, cosG) + (1 - c) / 2 * henyeyGreenstein(b, cosG);
}

bool phaseFunctionNonNegative(double b, double c) { return phaseFunctionOf(b, c, -1) >= 0; }

const HapkePreset kHapkePresets[kHapkePresetCount] = {
    {"Церера", "ceres", "Ciarniello et al. 2017, A&A", {0.14, 0.11, 1, 1.6, 0.06, 29, false}},
    {"Меркурий (V)", "mercury-v", "Warell 2004", {0.16, 0.18, 1.1, 2.7, 0.09, 8, false}},
    {"Меркурий (MESSENGER)",
     "mercury-messenger",
     "фотометрическая модель мозаик MESSENGER MDIS",
     {0.218651419, 0.17896499, 0.942985404, 2.7, 0.085, 9, true}},
    {"Марс, красный",
     "mars-red",
     "Johnson et al. 1999; Kirk et al. 2000",
     {0.52, 0.213, 1, 0, 0, 30, true}},
    {"Европа", "europa", "Domingue et al. 1997", {0.992, 0.431, 0.842, 0.5, 0.0016, 10, true}},
};

}  // namespace korvalen
