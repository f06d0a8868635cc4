#pragma once
// Hapke's formulas, written once over a scalar type T: double for the map and
// the probe, a dual number carrying derivatives (ceres::Jet) for a fit. The
// double instantiation performs exactly the operations, in exactly the order,
// that the map's pixels were made with. Functions are called unqualified
// after `using std::...`, so that a dual number finds its own overloads;
// literals are doubles, so that they combine with either type; comparisons
// look at values only.
#include <cmath>
#include <limits>
#include <numbers>
#include <type_traits>

#include "photometry/chandrasekhar_h.h"
#include "photometry/hapke.h"

namespace korvalen::formulas {

inline constexpr double kHapkePi = std::numbers::pi;

// The value of a scalar: the number itself, or a dual number's value part.
inline double scalarValue(double v) { return v; }
template <class T>
double scalarValue(const T& v) {
  return scalarValue(v.a);
}

// v brought into [lo, hi]; a NaN goes to lo.
template <class T>
T inRange(const T& v, double lo, double hi) {
  return v >= lo ? (v <= hi ? v : T(hi)) : T(lo);
}

// One Henyey-Greenstein lobe, (1 - x^2) / (1 + 2 x cos g + x^2)^1.5. The
// denominator is (x + cos g)^2 + sin^2 g, zero only for |x| = 1 looking
// straight along the lobe, where the lobe is a delta; there (and where
// rounding takes the denominator to zero or below for x next to 1) the lobe
// is left out rather than made infinite.
template <class T>
T henyeyGreenstein(const T& x, double cosG) {
  using std::pow;
  const T base = 1.0 + 2.0 * x * cosG + x * x;
  if (!(base > 0)) return T(0);
  return (1.0 - x * x) / pow(base, 1.5);
}

// The double Henyey-Greenstein phase function of the pair (b, c): c weighs
// the back-scattering lobe HG(-b), which peaks at g = 0.
template <class T>
T phaseFunction(const T& b, const T& c, double cosG) {
  return (1.0 + c) / 2.0 * henyeyGreenstein(T(-b), cosG) + (1.0 - c) / 2.0 * henyeyGreenstein(b, cosG);
}

// Below this tan theta-bar the surface counts as smooth: every roughness
// correction is far below the 64-bit resolution, and cot^2 theta-bar would
// overflow for the smallest angles.
inline constexpr double kSmallestRoughTan = 1e-100;

// E1(x) and E2(x) of the roughness correction, 0 where sin x = 0 (cot x is
// infinite there and both exponents go to minus infinity).
template <class T>
struct Exponentials {
  T e1 = T(0), e2 = T(0);
};
template <class T>
Exponentials<T> exponentialsOf(const BasicHapkeConstants<T>& k, double cosX, double sinX) {
  using std::exp;
  if (!(sinX > 0)) return {};
  const double cotX = cosX / sinX;
  return {exp(-(k.e1Factor * cotX)), exp(-(k.e2Factor * (cotX * cotX)))};
}

// eta(x) = chi [cos x + sin x tan t E2(x) / (2 - E1(x))]. Never 0: where
// cos x = 0, sin x = 1 and E2 = 1, so eta = chi tan t > 0.
template <class T>
T etaOf(const BasicHapkeConstants<T>& k, double cosX, double sinX, const Exponentials<T>& ex) {
  return k.chi * (cosX + sinX * k.tanT * ex.e2 / (2.0 - ex.e1));
}

// The shadowing function S = (mue / eta(e)) (mu0 / eta(i)) chi / (1 - f + f chi m / eta(m)),
// where m is the cosine of the smaller of i and e (mu0 where i <= e, else mu). The
// denominator falls below 1e-200 only with f = 1 (psi next to 0) and m next to 0 (both
// rays grazing); there it is chi m / eta(m) alone, and chi cancels from the ratio rather
// than letting two vanishing values divide.
template <class T>
T shadowing(const BasicHapkeConstants<T>& k, const T& mue, const T& etaE, double mu0,
            const T& etaI, double m, const T& etaM, double f) {
  const T den = 1.0 - f + f * k.chi * m / etaM;
  if (den >= 1e-200) return (mue / etaE) * (mu0 / etaI) * k.chi / den;
  const T ratio = m > 0 ? T(mu0 / m * (etaM / etaI)) : T(1);
  return mue / etaE * ratio;
}

// The 2002 H function. x ln((1 + x)/x) tends to 0 with x, so H(0) = 1; for
// the smallest x, (1 + x)/x overflows and the logarithm is taken as a
// difference instead.
template <class T>
T h2002(const T& w, const T& r0, const T& x) {
  using std::log;
  using std::log1p;
  if (!(x > 0)) return T(1);
  const T q = (1.0 + x) / x;
  const T lnq = q <= std::numeric_limits<double>::max() ? T(log(q)) : T(log1p(x) - log(x));
  const T den = 1.0 - w * x * (r0 + (1.0 - 2.0 * r0 * x) / 2.0 * lnq);
  // For w <= 1 the denominator stays above 0.34 over x in [0, 1], where mu0e
  // and mue lie; the guard only keeps an impossible input from dividing by zero.
  return den != 0 ? T(1.0 / den) : T(1);
}

// The 1981 H function.
template <class T>
T h1981(const T& gamma, const T& x) {
  if (!(x > 0)) return T(1);
  return (1.0 + 2.0 * x) / (1.0 + 2.0 * gamma * x);
}

// Chandrasekhar's own H, read from the table of the albedo. A dual number
// takes the table's derivatives: dH = H'(x) dx + H (d ln H / dw) dw.
template <class T>
T hExact(const BasicHapkeConstants<T>& k, const T& x) {
  if constexpr (std::is_same_v<T, double>) {
    return k.exactH->valueAt(x);
  } else {
    const ExactHValue v = k.exactH->at(scalarValue(x));
    return v.h + v.dhdx * (x - scalarValue(x)) + (v.h * v.dlnhdw) * (k.w - scalarValue(k.w));
  }
}

template <class T>
T hOf(const BasicHapkeConstants<T>& k, const T& x) {
  switch (k.hFunction) {
    case HFunction::Form1981: return h1981(k.gamma, x);
    case HFunction::Exact:
      if (k.exactH) return hExact(k, x);
      break;
    case HFunction::Approximation2002: break;
  }
  return h2002(k.w, k.r0, x);
}

// The porosity factor of Hapke's 2008 and 2012 model, from the filling factor
// phi: K = -ln(1 - 1.209 phi^(2/3)) / (1.209 phi^(2/3)), 1 at phi = 0 (its
// limit) and 8.4 at the largest phi taken, 0.752, where 1.209 phi^(2/3) is
// still below 1. log1p keeps the digits of ln(1 - y) for a small y.
template <class T>
T porosityFactor(const T& phi) {
  using std::log1p;
  using std::pow;
  if (!(phi > 0)) return T(1);
  const T y = 1.209 * pow(phi, 2.0 / 3.0);
  return -log1p(-y) / y;
}

// The coherent backscatter's shape, B_C = [1 + (1 - e^-x)/x] / [2 (1 + x)^2]
// with x = tan(g/2) / hc (g in radians): its limit 1 at g = 0, and 0 beyond
// it where hc = 0 (x infinite). expm1 keeps the digits of 1 - e^-x for a
// small x; a huge x gives 0, never a NaN.
template <class T>
T coherentBackscatter(double g, const T& hc) {
  using std::expm1;
  const double tanHalfG = std::tan(g / 2.0);
  if (!(tanHalfG > 0)) return T(1);
  if (!(hc > 0)) return T(0);
  const T x = tanHalfG / hc;
  return (1.0 + -expm1(-x) / x) / (2.0 * ((1.0 + x) * (1.0 + x)));
}

// What depends only on the parameters. Values outside the ranges (and NaNs)
// are first brought to the nearest end of their range, so that nothing
// downstream can fail.
template <class T>
BasicHapkeConstants<T> hapkeParameterConstants(const BasicHapkeParameters<T>& p) {
  using std::sqrt;
  using std::tan;
  BasicHapkeConstants<T> k;
  const T w = inRange(p.w, 0, 1);
  k.b = inRange(p.b, 0, 1);
  k.c = inRange(p.c, -1, 2);
  k.b0 = inRange(p.b0, 0, 5);
  k.h = inRange(p.h, 0, 1);
  const T thetaBar = inRange(p.thetaBar, 0, 60);

  k.w = w;
  k.wOver4 = w / 4.0;
  k.gamma = sqrt(1.0 - w);
  k.r0 = (1.0 - k.gamma) / (1.0 + k.gamma);
  k.hFunction = p.hFunction;
  if (p.hFunction == HFunction::Exact) k.exactH = exactHTableFor(scalarValue(w));
  k.K = porosityFactor(inRange(p.porosity, 0, 0.752));
  k.bc0 = inRange(p.bc0, 0, 5);
  k.hc = inRange(p.hc, 0, 1);

  const T t = thetaBar * kHapkePi / 180.0;
  const T tanT = tan(t);
  k.rough = tanT >= kSmallestRoughTan;
  if (k.rough) {
    const T cotT = 1.0 / tanT;
    k.tanT = tanT;
    k.chi = 1.0 / sqrt(1.0 + kHapkePi * tanT * tanT);
    k.e1Factor = 2.0 / kHapkePi * cotT;
    k.e2Factor = 1.0 / kHapkePi * cotT * cotT;
  }
  return k;
}

// The terms of the phase angle g (radians) with the cos g the caller holds:
// the particle phase function and the opposition surge.
template <class T>
void setHapkePhase(BasicHapkeConstants<T>& k, double g, double cosG) {
  using std::tan;
  g = inRange(g, 0, kHapkePi);
  cosG = inRange(cosG, -1, 1);
  k.cosG = cosG;

  k.P = phaseFunction(k.b, k.c, cosG);

  // The shadow-hiding surge, the same in both forms of the model. At h = 0 it
  // is 0, written so that its derivative by h and B0 stays the one-sided limit
  // b0 / tan(g/2) rather than 0 (a fit must be able to leave h = 0); where g
  // is 0 as well the surge is 0 by convention.
  const double tanHalfG = tan(g / 2.0);
  if (k.h > 0) {
    k.B = k.b0 / (1.0 + tanHalfG / k.h);
  } else if (g > 0) {
    k.B = k.b0 * k.h / (k.h + tanHalfG);
  } else {
    k.B = T(0);
  }
  k.surgedP = k.P * (1.0 + k.B);
  // The coherent backscatter: 1 exactly while B_C0 is 0.
  k.coherent = 1.0 + k.bc0 * coherentBackscatter(g, k.hc);
}

// Everything that depends only on the parameters and the phase angle g
// (radians) with the cos g the caller holds.
template <class T>
BasicHapkeConstants<T> hapkeConstants(const BasicHapkeParameters<T>& p, double g, double cosG) {
  BasicHapkeConstants<T> k = hapkeParameterConstants(p);
  setHapkePhase(k, g, cosG);
  return k;
}

// All the terms at one point (mu0 = cos i, mu = cos e, each brought into [0, 1]).
// The geometry is plain double whatever T is: only the parameters carry
// derivatives.
template <class T>
BasicHapkeTerms<T> hapkeTermsAt(const BasicHapkeConstants<T>& k, double mu0, double mu) {
  using std::exp;
  using std::sqrt;
  mu0 = inRange(mu0, 0, 1);
  mu = inRange(mu, 0, 1);
  BasicHapkeTerms<T> t{};
  t.P = k.P;
  t.B = k.B;
  if (!k.rough) {
    t.mu0e = T(mu0);
    t.mue = T(mu);
    t.S = T(1);
  } else {
    const double sinI = std::sqrt(1.0 - mu0 * mu0);
    const double sinE = std::sqrt(1.0 - mu * mu);
    const Exponentials<T> ei = exponentialsOf(k, mu0, sinI);
    const Exponentials<T> ee = exponentialsOf(k, mu, sinE);

    // The azimuth between the planes of incidence and emission; undefined
    // (taken as 0) where either ray is along the normal.
    double cosPsi = 1, psi = 0;
    const double sinSin = sinI * sinE;
    if (sinSin > 0) {
      cosPsi = inRange((k.cosG - mu0 * mu) / sinSin, -1, 1);
      psi = std::acos(cosPsi);
    }
    const double f = psi < kHapkePi ? std::exp(-2.0 * std::tan(psi / 2.0)) : 0.0;
    const double sinHalfPsi = std::sin(psi / 2.0);
    const double sin2HalfPsi = sinHalfPsi * sinHalfPsi;

    const T etaI = etaOf(k, mu0, sinI, ei);
    const T etaE = etaOf(k, mu, sinE, ee);

    // D vanishes only with i = e = 90 degrees and psi = pi, where the
    // numerators it divides vanish as well; the corrections are then 0.
    if (mu0 >= mu) {  // i <= e
      const T d = 2.0 - ee.e1 - (psi / kHapkePi) * ei.e1;
      const T a = d > 0 ? T((cosPsi * ee.e2 + sin2HalfPsi * ei.e2) / d) : T(0);
      const T b = d > 0 ? T((ee.e2 - sin2HalfPsi * ei.e2) / d) : T(0);
      t.mu0e = k.chi * (mu0 + sinI * k.tanT * a);
      t.mue = k.chi * (mu + sinE * k.tanT * b);
      t.S = shadowing(k, t.mue, etaE, mu0, etaI, mu0, etaI, f);
    } else {  // i > e
      const T d = 2.0 - ei.e1 - (psi / kHapkePi) * ee.e1;
      const T a = d > 0 ? T((ei.e2 - sin2HalfPsi * ee.e2) / d) : T(0);
      const T b = d > 0 ? T((cosPsi * ei.e2 + sin2HalfPsi * ee.e2) / d) : T(0);
      t.mu0e = k.chi * (mu0 + sinI * k.tanT * a);
      t.mue = k.chi * (mu + sinE * k.tanT * b);
      t.S = shadowing(k, t.mue, etaE, mu0, etaI, mu, etaE, f);
    }
  }
  // I/F = K (w/4) mu0e / (mu0e + mue) [P (1 + B) + H(mu0e/K) H(mue/K) - 1] (1 + B_C0 B_C) S.
  // Without porosity K is 1 and without the coherent backscatter its factor
  // is 1: both multiply and divide exactly, and the value is the older form's.
  t.H0 = hOf(k, T(t.mu0e / k.K));
  t.H = hOf(k, T(t.mue / k.K));
  const T sum = t.mu0e + t.mue;
  t.reflectance = sum != 0
                      ? T(k.K * k.wOver4 * t.mu0e / sum * (k.surgedP + t.H0 * t.H - 1.0) * k.coherent * t.S)
                      : T(0);
  return t;
}

}  // namespace korvalen::formulas
