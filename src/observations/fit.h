#pragma once
// A model's parameters fitted to observations: weighted, bounded least squares
// solved by Ceres Solver from several starts, and the report that judges the
// fit (uncertainties, RMS, chi^2, AIC, BIC). Plain C++, no Qt.
#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "observations/observation_table.h"
#include "photometry/planetary.h"

namespace korvalen {

enum FitParameter : int {
  kFitFactor,
  kFitK,
  kFitL,
  kFitEta,
  kFitW,
  kFitB,
  kFitC,
  kFitB0,
  kFitH,
  kFitTheta,
  kFitPorosity,
  kFitBc0,
  kFitHc,
  kFitParameterCount
};

struct FitParameterInfo {
  const char* option;  // as the command line names it (--fit w,b)
  const char* label;   // as the report shows it
  ParameterRange range;
  int32_t model;       // the model it belongs to; 0: every model (the factor)
};
extern const FitParameterInfo kFitParameters[kFitParameterCount];

// What a model can fit: its factor, then its own parameters.
std::vector<FitParameter> fitParametersOf(int32_t model);
// What a comparison of models fits: the same but Hapke's later terms
// (porosity, coherent backscatter), which stay as the fields hold them, so
// that each model is judged in its usual form.
std::vector<FitParameter> comparedParametersOf(int32_t model);
std::optional<FitParameter> fitParameterNamed(std::string_view option);
double& fitField(PlanetaryParameters& p, FitParameter id);

// Shared with a window that runs a fit on another thread: it may ask the fit
// to stop, and reads how many starts are done.
struct FitControl {
  std::atomic<bool> cancel{false};
  std::atomic<int> startsDone{0};
  std::atomic<int> startsTotal{0};
};

struct FittedValue {
  FitParameter id;
  double value;
  std::optional<double> sigma;  // 1 sigma; empty where the data cannot fix the value
};

struct FitReport {
  int32_t model = 0;
  PlanetaryParameters parameters;  // the fitted values in place, the held ones as they were
  std::vector<FittedValue> free;
  size_t points = 0;
  double rms = 0;                                // of value - phi
  std::optional<double> chi2, reducedChi2;       // where the observations give sigma
  double aic = 0, bic = 0;
  int iterations = 0;  // of the start kept
  int starts = 0;
  bool converged = false;
  std::string termination;  // Russian: how the solver ended
};

struct FitOutcome {
  std::optional<FitReport> report;
  bool cancelled = false;
  std::string error;  // Russian: why there is no fit (empty when cancelled)
};

// The most starts a fit takes: the fields' values and eight spread over the bounds.
inline constexpr int kFitStarts = 9;

FitOutcome fitObservations(const ObservationTable& t, int32_t model,
                           const PlanetaryParameters& start, const std::vector<FitParameter>& free,
                           FitControl* control = nullptr);

// Every added model and Lambert's law, each with its factor and its own
// parameters free, fitted to the same observations; sorted by BIC, best first.
struct Comparison {
  std::vector<FitReport> rows;
  bool cancelled = false;
  std::string error;
};
Comparison compareModels(const ObservationTable& t, const PlanetaryParameters& start,
                         FitControl* control = nullptr);
// The starts a comparison over `points` observations takes in all.
int comparisonStarts(size_t points);

// The model's name as the report gives it (Russian, as the menu has it).
const char* fitModelName(int32_t model);

}  // namespace korvalen
