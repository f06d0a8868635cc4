#pragma once
// The reflectance functions of planetary photometry: Lommel-Seeliger,
// Minnaert, lunar-Lambert, Akimov and Hapke, as surface models 5 to 9.
//
// Each gives a radiance factor F(mu0, mu, g) (I/F), 1 at i = e = g = 0 for
// the disk functions, scaled by the user's factor A. Their arithmetic is
// 64-bit and cannot fail: every 0/0 and x/0 has a stated value, a negative
// value becomes 0 and anything above 1 (an infinite limit too) becomes 1, so
// no run-time error and no NaN or infinity ever comes of them. Unlit points
// (mu0 <= 0) take phi = mu0, as under the matte model, so that the terminator
// draws the same zones.
#include <cmath>
#include <cstdint>
#include <optional>

#include "photometry/hapke.h"


namespace korvalen {

enum PlanetaryModel : int32_t {
  kLommelSeeliger = 5,
  kMinnaert = 6,
  kLunarLambert = 7,
  kAkimov = 8,
  kHapke = 9,
};
inline constexpr bool isPlanetaryModel(int32_t model) {
  return model >= kLommelSeeliger && model <= kHapke;
}

// What the user sets for the added models, kept whichever model is selected.
// (Over a scalar type T: double for the map, a dual number for a fit.)
template <class T>
struct BasicPlanetaryParameters {
  T factor = T(1);              // A, "Множитель"
  T minnaertK = T(1);           // k
  T lunarL = T(0.5);            // L, unless it follows the phase
  bool lunarLOfPhase = false;   // L = L(g), the lunar fit
  T akimovEta = T(1);           // eta
  BasicHapkeParameters<T> hapke;
  bool operator==(const BasicPlanetaryParameters&) const = default;
};
using PlanetaryParameters = BasicPlanetaryParameters<double>;

// The limits of the parameters, as the parameter window and the command line take them.
struct ParameterRange {
  double low, high;
  bool lowOpen = false, highOpen = false;  // the end itself is not taken
  bool holds(double v) const {
    return (lowOpen ? v > low : v >= low) && (highOpen ? v < high : v <= high);
  }
};
inline constexpr ParameterRange kFactorRange{0.001, 1000};
inline constexpr ParameterRange kMinnaertKRange{0, 5};
inline constexpr ParameterRange kLunarLRange{0, 1};
inline constexpr ParameterRange kAkimovEtaRange{0, 2};
inline constexpr ParameterRange kHapkeWRange{0, 1, true, false};
inline constexpr ParameterRange kHapkeBRange{0, 1, false, true};
inline constexpr ParameterRange kHapkeCRange{-1, 2};
inline constexpr ParameterRange kHapkeB0Range{0, 5};
inline constexpr ParameterRange kHapkeHRange{0, 1};
inline constexpr ParameterRange kHapkeThetaRange{0, 60};
inline constexpr ParameterRange kHapkePorosityRange{0, 0.752, false, true};
inline constexpr ParameterRange kHapkeBc0Range{0, 5};
inline constexpr ParameterRange kHapkeHcRange{0, 1};

// What one map needs of the selected added model: its parameters and every
// value that depends only on them and on the phase angle.
// Akimov's function: which case the phase falls in.
enum class AkimovPhase : uint8_t { Zero, Between, Beyond };
template <class T>
struct BasicPlanetaryConstants {
  int32_t model = 0;
  T factor = T(1);
  T minnaertK = T(1);
  T lunarL = T(0.5);  // the L in effect, L(g) where it follows the phase
  // Akimov's function: which case the phase falls in, and its phase terms.
  AkimovPhase akimovPhase = AkimovPhase::Zero;
  double cosG = 1, sinG = 0;
  double akimovScale = 1;     // cos(g/2)
  double akimovPiMinusG = 1;  // pi - g
  T akimovExponent = T(0);    // eta g / (pi - g)
  BasicHapkeConstants<T> hapke;  // found only when Hapke's model is selected
};
using PlanetaryConstants = BasicPlanetaryConstants<double>;

// The lunar fit of L against the phase angle in degrees; it falls below 0
// beyond about 104 degrees.
double lunarLOfPhase(double gDegrees);

// The constants of a map from the parameters, the phase angle g (radians, the
// light's inclination) and the program's 32-bit cos g.
PlanetaryConstants planetaryConstantsOf(int32_t model, const PlanetaryParameters& p, double g,
                                        double cosG);

// F at a lit point (mu0 > 0, 0 <= mu <= 1), before the factor and the limits:
// may be negative, above 1 or +infinity (Minnaert's limb for k < 1).
double diskFunction(const PlanetaryConstants& k, double mu0, double mu);

// The factor that makes the brightest lit point of the visible hemisphere 1
// at the phase angle of the inclination g: F is sought over the photometric
// latitude and longitude at every quarter degree and along the edge
// cos e = smallestCosE, where the map can show a point (cos e no smaller than
// at its outermost pixel: Minnaert's F for k < 1 grows without end towards
// the limb). Empty where no lit point is bright (F at most 0 everywhere). The
// result is limited to the factor's range.
std::optional<double> fittedFactor(int32_t model, const PlanetaryParameters& p, double g,
                                   double cosG, double smallestCosE);

// phi of an added model at a point with the 32-bit cosines of the geometry:
// mu0 for an unlit point; otherwise A F limited to 0..1, rounded to 32 bits.
// A point seen edge-on or from behind is evaluated on the limb (mu = 0).
inline float planetaryPhi(const PlanetaryConstants& k, double cosI, double cosE) {
  const double mu0 = cosI;
  if (!(mu0 > 0)) return static_cast<float>(mu0);
  const double mu = cosE > 0 ? cosE : 0.0;
  const double phi = k.factor * diskFunction(k, mu0, mu);
  // (A NaN cannot come of the formulas; should one ever, it draws as 0.)
  if (!(phi > 0)) return 0.0f;
  if (!(phi < 1)) return 1.0f;
  return static_cast<float>(phi);
}

}  // namespace korvalen
