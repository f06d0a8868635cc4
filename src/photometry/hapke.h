#pragma once
// Hapke's reflectance model with isotropic multiple scattering: the single
// scattering of a double Henyey-Greenstein particle, the shadow-hiding
// opposition surge, the Chandrasekhar H function (exact, or in a closed
// approximation), the macroscopic roughness correction, and the 2012 terms:
// the porosity of the regolith and the coherent backscatter opposition
// effect. Plain 64-bit arithmetic, no Qt.
//
// Everything that depends only on the parameters and the phase angle is found
// once per map (HapkeConstants); the per-sample work is hapkeReflectance. No
// function here throws, and none returns a NaN or an infinity: every 0/0 and
// x/0 of the formulas (the limb, the sub-solar point, the terminator, zero
// roughness, zero surge width) takes its finite limit.
#include <cstdint>
#include <memory>

#include "photometry/chandrasekhar_h.h"

namespace korvalen {

// Which H function the multiple scattering takes: Hapke's 2002 approximation
// (the default), the 1981 one, (1 + 2x) / (1 + 2 gamma x), with which the
// published presets of the planetary mapping tools were fitted, or
// Chandrasekhar's own, to 1e-7.
enum class HFunction : uint8_t { Approximation2002, Form1981, Exact };

// The parameters over a scalar type T: double for the map, a dual number
// (value and derivatives) for a fit.
template <class T>
struct BasicHapkeParameters {
  T w = T(0.5);              // single-scattering albedo, (0, 1]
  T b = T(0.2);              // double Henyey-Greenstein asymmetry, [0, 1)
  T c = T(1);                // its back/forward partition, [-1, 2]
  T b0 = T(1);               // opposition surge amplitude, [0, 5]
  T h = T(0.06);             // its angular width, [0, 1]
  T thetaBar = T(0);         // macroscopic roughness in DEGREES, [0, 60]
  HFunction hFunction = HFunction::Approximation2002;
  // The 2012 terms, each off by default so that a map stays as it was.
  T porosity = T(0);  // the filling factor phi, [0, 0.752): 0 is no porosity term (K = 1)
  T bc0 = T(0);       // coherent backscatter amplitude B_C0, [0, 5]
  T hc = T(0.06);     // its angular width h_C, [0, 1]
  bool operator==(const BasicHapkeParameters&) const = default;
};
using HapkeParameters = BasicHapkeParameters<double>;

// Everything that depends only on the parameters and the phase angle g, found
// once per map. Values outside the ranges above (and NaNs) are first brought
// to the nearest end of their range, so that nothing downstream can fail.
template <class T>
struct BasicHapkeConstants {
  double cosG = 1;        // cos g as the program holds it (a 32-bit value widened)
  T b = T(0.2), c = T(1), b0 = T(1), h = T(0.06);  // the parameters within their ranges
  T w = T(0.5);           // albedo
  T wOver4 = T(0.125);    // w / 4, the leading factor
  T gamma = T(0);         // sqrt(1 - w)
  T r0 = T(0);            // (1 - gamma) / (1 + gamma), the diffusive reflectance
  HFunction hFunction = HFunction::Approximation2002;
  std::shared_ptr<const ExactHTable> exactH;  // the exact H for this albedo, when taken
  T K = T(1);             // the porosity factor, 1 without porosity
  T bc0 = T(0), hc = T(0.06);  // the coherent backscatter's parameters within their ranges
  T P = T(1);        // the particle phase function P(g)
  T B = T(0);        // the opposition surge B(g)
  T surgedP = T(1);  // P (1 + B)
  T coherent = T(1);  // 1 + B_C0 B_C(g), the coherent backscatter's factor
  // Roughness: only when rough, the rest is unused.
  bool rough = false;
  T chi = T(1);       // 1 / sqrt(1 + pi tan^2 theta-bar)
  T tanT = T(0);      // tan theta-bar
  T e1Factor = T(0);  // (2/pi) cot theta-bar, the factor of cot x in E1
  T e2Factor = T(0);  // (1/pi) cot^2 theta-bar, the factor of cot^2 x in E2
};
using HapkeConstants = BasicHapkeConstants<double>;

// g in radians (a 32-bit value widened), cosG = the program's 32-bit cos g
// widened: the phase function uses cosG, the surge uses g.
HapkeConstants hapkeConstantsOf(const HapkeParameters& p, double g, double cosG);

// The terms at one lit point (mu0 = cos i in (0, 1], mu = cos e in [0, 1]).
template <class T>
struct BasicHapkeTerms {
  T mu0e;         // effective cos i on the rough surface
  T mue;          // effective cos e
  T S;            // the shadowing function
  T P;            // the particle phase function
  T B;            // the opposition surge
  T H0;           // H(mu0e / K)
  T H;            // H(mue / K)
  T reflectance;  // I/F
};
using HapkeTerms = BasicHapkeTerms<double>;
HapkeTerms hapkeTerms(const HapkeConstants& k, double mu0, double mu);

// I/F at one lit point: the same value as hapkeTerms(...).reflectance, always
// finite, possibly negative or above 1 (the caller clips).
double hapkeReflectance(const HapkeConstants& k, double mu0, double mu);

// Chandrasekhar's H function as the constants take it: exact, the 2002
// approximation, or the 1981 one. H(0) = 1.
// (The formulas themselves, over any scalar type, are in hapke_formulas.h.)
double hapkeH(const HapkeConstants& k, double x);

// The particle phase function P(g) of the pair (b, c) at cos g, as the model
// takes it: (1 + c)/2 HG(-b) + (1 - c)/2 HG(b).
double phaseFunctionOf(double b, double c, double cosG);

// Whether P(g) >= 0 over all of g in [0, 180] degrees, the pairs the window
// and the command line take. For c <= 1 both lobes weigh in positively; for
// c > 1 the forward lobe HG(b) weighs in negatively, and its ratio to the
// back lobe, ((1 + b^2 - 2b cos g) / (1 + b^2 + 2b cos g))^1.5, is largest at
// g = 180: the sign of P(180) decides (b 0.6 and c 2 give P(180) = -4.8).
bool phaseFunctionNonNegative(double b, double c);

// The porosity factor K = -ln(1 - 1.209 phi^(2/3)) / (1.209 phi^(2/3)) of the
// filling factor phi, 1 at phi = 0.
double porosityFactorOf(double phi);

// The coherent backscatter's shape B_C(g) = [1 + (1 - e^-x)/x] / [2 (1 + x)^2],
// x = tan(g/2) / hc: 1 at g = 0, 0 for hc = 0 beyond it.
double coherentBackscatterOf(double g, double hc);

// The published parameter sets: the name as the menu shows it, the name on
// the command line, the source for the tooltip.
struct HapkePreset {
  const char* name;
  const char* cliName;
  const char* source;
  HapkeParameters p;
};
inline constexpr int kHapkePresetCount = 5;
extern const HapkePreset kHapkePresets[kHapkePresetCount];

}  // namespace korvalen
