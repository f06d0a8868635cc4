#pragma once
// Hapke's reflectance model with isotropic multiple scattering: the single
// scattering of a double Henyey-Greenstein particle, the shadow-hiding
// opposition surge, the Chandrasekhar H function in its closed approximation
// and the macroscopic roughness correction. Plain 64-bit arithmetic, no Qt.
//
// Everything that depends only on the parameters and the phase angle is found
// once per map (HapkeConstants); the per-sample work is hapkeReflectance. No
// function here throws, and none returns a NaN or an infinity: every 0/0 and
// x/0 of the formulas (the limb, the sub-solar point, the terminator, zero
// roughness, zero surge width) takes its finite limit.
namespace korvalen {

struct HapkeParameters {
  double w = 0.5;            // single-scattering albedo, (0, 1]
  double b = 0.2;            // double Henyey-Greenstein asymmetry, [0, 1)
  double c = 1;              // its back/forward partition, [-1, 2]
  double b0 = 1;             // opposition surge amplitude, [0, 5]
  double h = 0.06;           // its angular width, [0, 1]
  double thetaBar = 0;       // macroscopic roughness in DEGREES, [0, 60]
  bool variant1981 = false;  // the 1981 H-function in place of the 2002 one
  bool operator==(const HapkeParameters&) const = default;
};

// Everything that depends only on the parameters and the phase angle g, found
// once per map. Values outside the ranges above (and NaNs) are first brought
// to the nearest end of their range, so that nothing downstream can fail.
struct HapkeConstants {
  double cosG = 1;        // cos g as the program holds it (a 32-bit value widened)
  double w = 0.5;         // albedo
  double wOver4 = 0.125;  // w / 4, the leading factor
  double gamma = 0;       // sqrt(1 - w)
  double r0 = 0;          // (1 - gamma) / (1 + gamma), the diffusive reflectance
  bool variant1981 = false;
  double P = 1;        // the particle phase function P(g)
  double B = 0;        // the opposition surge B(g)
  double surgedP = 1;  // P (1 + B)
  // Roughness: only when rough, the rest is unused.
  bool rough = false;
  double chi = 1;       // 1 / sqrt(1 + pi tan^2 theta-bar)
  double tanT = 0;      // tan theta-bar
  double e1Factor = 0;  // (2/pi) cot theta-bar, the factor of cot x in E1
  double e2Factor = 0;  // (1/pi) cot^2 theta-bar, the factor of cot^2 x in E2
};

// g in radians (a 32-bit value widened), cosG = the program's 32-bit cos g
// widened: the phase function uses cosG, the surge uses g.
HapkeConstants hapkeConstantsOf(const HapkeParameters& p, double g, double cosG);

// The terms at one lit point (mu0 = cos i in (0, 1], mu = cos e in [0, 1]).
struct HapkeTerms {
  double mu0e;         // effective cos i on the rough surface
  double mue;          // effective cos e
  double S;            // the shadowing function
  double P;            // the particle phase function
  double B;            // the opposition surge
  double H0;           // H(mu0e)
  double H;            // H(mue)
  double reflectance;  // I/F
};
HapkeTerms hapkeTerms(const HapkeConstants& k, double mu0, double mu);

// I/F at one lit point: the same value as hapkeTerms(...).reflectance, always
// finite, possibly negative or above 1 (the caller clips).
double hapkeReflectance(const HapkeConstants& k, double mu0, double mu);

// Chandrasekhar's H function in the closed form of the model: the 2002
// approximation, or (variant1981) (1 + 2x) / (1 + 2 gamma x). H(0) = 1.
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
