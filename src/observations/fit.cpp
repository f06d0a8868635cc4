#include "observations/fit.h"

#include <ceres/ceres.h>

#include <Eigen/Dense>
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <memory>
#include <thread>

#include "observations/model_values.h"
#include "workers/helpers.h"

namespace korvalen {

const FitParameterInfo kFitParameters[kFitParameterCount] = {
    {"factor", "A (множитель)", kFactorRange, 0},
    {"k", "k", kMinnaertKRange, kMinnaert},
    {"L", "L", kLunarLRange, kLunarLambert},
    {"eta", "η", kAkimovEtaRange, kAkimov},
    {"w", "w", kHapkeWRange, kHapke},
    {"b", "b", kHapkeBRange, kHapke},
    {"c", "c", kHapkeCRange, kHapke},
    {"b0", "B0", kHapkeB0Range, kHapke},
    {"h", "h", kHapkeHRange, kHapke},
    {"theta", "θ̄", kHapkeThetaRange, kHapke},
    {"porosity", "φ (пористость)", kHapkePorosityRange, kHapke},
    {"bc0", "Bc0", kHapkeBc0Range, kHapke},
    {"hc", "hc", kHapkeHcRange, kHapke},
};

std::vector<FitParameter> fitParametersOf(int32_t model) {
  std::vector<FitParameter> out;
  if (!canEvaluate(model)) return out;
  out.push_back(kFitFactor);
  for (int id = 1; id < kFitParameterCount; ++id)
    if (kFitParameters[id].model == model) out.push_back(static_cast<FitParameter>(id));
  return out;
}

std::vector<FitParameter> comparedParametersOf(int32_t model) {
  std::vector<FitParameter> out;
  for (FitParameter id : fitParametersOf(model))
    if (id != kFitPorosity && id != kFitBc0 && id != kFitHc) out.push_back(id);
  return out;
}

std::optional<FitParameter> fitParameterNamed(std::string_view option) {
  for (int id = 0; id < kFitParameterCount; ++id)
    if (option == kFitParameters[id].option) return static_cast<FitParameter>(id);
  return std::nullopt;
}

namespace {

template <class T>
T& field(BasicPlanetaryParameters<T>& p, FitParameter id) {
  switch (id) {
    case kFitK: return p.minnaertK;
    case kFitL: return p.lunarL;
    case kFitEta: return p.akimovEta;
    case kFitW: return p.hapke.w;
    case kFitB: return p.hapke.b;
    case kFitC: return p.hapke.c;
    case kFitB0: return p.hapke.b0;
    case kFitH: return p.hapke.h;
    case kFitTheta: return p.hapke.thetaBar;
    case kFitPorosity: return p.hapke.porosity;
    case kFitBc0: return p.hapke.bc0;
    case kFitHc: return p.hapke.hc;
    default: return p.factor;
  }
}

// The solver's bounds are closed: an open end of a range is kept by a hair.
double lowerBound(const ParameterRange& r) {
  return r.lowOpen ? r.low + 1e-6 * (r.high - r.low) : r.low;
}
double upperBound(const ParameterRange& r) {
  return r.highOpen ? r.high - 1e-6 * (r.high - r.low) : r.high;
}
// The solver's bounds of a parameter. At w = 1, sqrt(1 - w) has no
// derivative (every derivative of phi would be NaN there), nor has the
// porosity's phi^(2/3) at 0, so the solver stops a hair short of them.
double lowerBound(FitParameter id) {
  return id == kFitPorosity ? 1e-6 : lowerBound(kFitParameters[id].range);
}
double upperBound(FitParameter id) {
  return id == kFitW ? 1 - 1e-9 : upperBound(kFitParameters[id].range);
}

struct Point {
  Geometry at;
  double value = 0;
  double weight = 1;  // 1 / sigma, or 1 where the observations give none
};

std::vector<Point> pointsOf(const ObservationTable& t) {
  std::vector<Point> out(t.size());
  for (size_t r = 0; r < t.size(); ++r) {
    out[r].at = geometryOf(t.i[r], t.e[r], t.g[r]);
    out[r].value = t.value[r];
    out[r].weight = t.hasSigma() ? 1 / t.sigma[r] : 1.0;
  }
  return out;
}

int helperCount() {
  return static_cast<int>(std::max(1u, std::thread::hardware_concurrency())) - 1;
}

double valueOf(double v) { return v; }
template <int N>
double valueOf(const ceres::Jet<double, N>& v) {
  return v.a;
}

// The weighted residuals (phi - value) / sigma of every point, and where asked
// their exact derivatives by the free parameters, found on all cores. Each row
// is written by one job into its own place and sums are added in the order of
// the rows' chunks, so the result does not depend on how the rows were shared
// out.
//
// With `profiled`, the factor is not one of the solver's unknowns: phi is
// proportional to it, so at every point of the others it takes the value that
// fits best, sum(w^2 v F) / sum(w^2 F^2) (within its range), and the
// derivatives carry that dependence. This removes the long, narrow valley
// along which the factor and Hapke's albedo trade against each other, where
// the solver would creep.
class Residuals final : public ceres::CostFunction {
 public:
  Residuals(const std::vector<Point>& points, int32_t model, const PlanetaryParameters& held,
            const std::vector<FitParameter>& free, bool profiled)
      : points_(points), model_(model), held_(held), free_(free), profiled_(profiled) {
    set_num_residuals(static_cast<int>(points.size()));
    mutable_parameter_block_sizes()->push_back(static_cast<int>(free.size()));
  }

  bool Evaluate(double const* const* x, double* residuals, double** jacobians) const override {
    return evaluate(x[0], residuals, jacobians ? jacobians[0] : nullptr);
  }

  bool evaluate(const double* x, double* residuals, double* jacobian) const {
    const size_t n = free_.size();
    if (!jacobian) return rows(parametersAt<double>(x), residuals, nullptr);
    if (n <= 2) return rows(parametersAt<ceres::Jet<double, 2>>(x), residuals, jacobian);
    if (n <= 4) return rows(parametersAt<ceres::Jet<double, 4>>(x), residuals, jacobian);
    if (n <= 6) return rows(parametersAt<ceres::Jet<double, 6>>(x), residuals, jacobian);
    if (n <= 9) return rows(parametersAt<ceres::Jet<double, 9>>(x), residuals, jacobian);
    return rows(parametersAt<ceres::Jet<double, kFitParameterCount>>(x), residuals, jacobian);
  }

  // The parameters at the solver's x, the profiled factor found.
  PlanetaryParameters at(const double* x) const {
    PlanetaryParameters p = parametersAt<double>(x);
    if (profiled_) p.factor = bestFactor<double>(p, nullptr);
    return p;
  }

 private:
  template <class S>
  BasicPlanetaryParameters<S> parametersAt(const double* x) const {
    BasicPlanetaryParameters<S> p = withScalar<S>(held_);
    for (size_t j = 0; j < free_.size(); ++j) {
      if constexpr (std::is_same_v<S, double>)
        field(p, free_[j]) = x[j];
      else
        field(p, free_[j]) = S(x[j], static_cast<int>(j));
    }
    return p;
  }

  template <class Job>
  void chunks(size_t count, Job&& job) const {
    const size_t jobs = (count + kChunk - 1) / kChunk;
    Helpers::instance().run(jobs, helperCount(), [&](size_t c) {
      job(c, c * kChunk, std::min(count, (c + 1) * kChunk));
    });
  }

  // The factor that fits best with the rest of p (F found with p's factor 1);
  // `f`, when given, receives each point's F.
  template <class S>
  S bestFactor(BasicPlanetaryParameters<S> p, std::vector<S>* f) const {
    p.factor = S(1);
    const PreparedModel<S> prepared(model_, p);
    const size_t count = points_.size();
    const size_t jobs = (count + kChunk - 1) / kChunk;
    std::vector<S> num(jobs, S(0)), den(jobs, S(0));
    chunks(count, [&](size_t c, size_t begin, size_t end) {
      for (size_t r = begin; r < end; ++r) {
        const Point& o = points_[r];
        const S v = prepared.at(o.at);
        if (f) (*f)[r] = v;
        const double w2 = o.weight * o.weight;
        num[c] += w2 * o.value * v;
        den[c] += w2 * v * v;
      }
    });
    S sumNum(0), sumDen(0);
    for (size_t c = 0; c < jobs; ++c) {
      sumNum += num[c];
      sumDen += den[c];
    }
    const ParameterRange& range = kFitParameters[kFitFactor].range;
    if (!(sumDen > 0) || !std::isfinite(valueOf(sumNum / sumDen))) return S(held_.factor);
    const S a = sumNum / sumDen;
    if (a < range.low) return S(range.low);
    if (a > range.high) return S(range.high);
    return a;
  }

  template <class S>
  bool rows(const BasicPlanetaryParameters<S>& p, double* residuals, double* jacobian) const {
    const size_t count = points_.size();
    std::vector<S> f;
    S factor(1);
    if (profiled_) {
      f.resize(count);
      factor = bestFactor(p, &f);
    }
    std::vector<char> ok((count + kChunk - 1) / kChunk, 1);
    const PreparedModel<S> prepared(model_, p);
    chunks(count, [&](size_t c, size_t begin, size_t end) {
      for (size_t r = begin; r < end; ++r) {
        const Point& o = points_[r];
        const S phi = profiled_ ? S(factor * f[r]) : prepared.at(o.at);
        residuals[r] = (valueOf(phi) - o.value) * o.weight;
        if (!std::isfinite(residuals[r])) ok[c] = 0;
        if constexpr (!std::is_same_v<S, double>) {
          const size_t n = free_.size();
          for (size_t j = 0; j < n; ++j) {
            // Where a derivative has no value (a power of 0 by a free
            // exponent), the row says nothing about that parameter.
            const double d = phi.v[static_cast<int>(j)] * o.weight;
            jacobian[r * n + j] = std::isfinite(d) ? d : 0.0;
          }
        }
      }
    });
    return std::all_of(ok.begin(), ok.end(), [](char v) { return v != 0; });
  }

  static constexpr size_t kChunk = 256;
  const std::vector<Point>& points_;
  int32_t model_;
  PlanetaryParameters held_;
  std::vector<FitParameter> free_;
  bool profiled_;
};

// The radical inverse of k in a prime base: a Halton sequence spreads the
// starts over the box of bounds evenly, and always in the same way.
double radicalInverse(int k, int base) {
  double f = 1, r = 0;
  while (k > 0) {
    f /= base;
    r += f * (k % base);
    k /= base;
  }
  return r;
}

class Cancel final : public ceres::IterationCallback {
 public:
  explicit Cancel(FitControl* control) : control_(control) {}
  ceres::CallbackReturnType operator()(const ceres::IterationSummary&) override {
    return control_ && control_->cancel.load() ? ceres::SOLVER_ABORT : ceres::SOLVER_CONTINUE;
  }

 private:
  FitControl* control_;
};

std::string terminationText(const ceres::Solver::Summary& s) {
  switch (s.termination_type) {
    case ceres::CONVERGENCE:
      if (s.message.find("Gradient") != std::string::npos)
        return "сошёлся: градиент меньше порога";
      if (s.message.find("Parameter") != std::string::npos)
        return "сошёлся: шаг параметров меньше порога";
      return "сошёлся: сумма квадратов больше не убывает";
    case ceres::NO_CONVERGENCE:
      return "не сошёлся: исчерпан предел в " + std::to_string(s.iterations.size() - 1) +
             " итераций";
    case ceres::USER_SUCCESS:
    case ceres::USER_FAILURE: return "прерван";
    default: return "не сошёлся: решатель не смог сделать шаг (модель не вычисляется)";
  }
}

struct Statistics {
  double rms = 0, chi2 = 0, rss = 0;
};
Statistics statisticsOf(const std::vector<Point>& points, const std::vector<double>& weighted) {
  Statistics s;
  for (size_t r = 0; r < points.size(); ++r) {
    const double raw = weighted[r] / points[r].weight;
    s.rss += raw * raw;
    s.chi2 += weighted[r] * weighted[r];
  }
  s.rms = std::sqrt(s.rss / static_cast<double>(points.size()));
  return s;
}

// The uncertainties from the covariance at the minimum, (J^T J)^-1 of the
// weighted Jacobian (scaled by the residuals' variance where no sigma is
// given). One SVD of the Jacobian with its columns scaled to unit length
// gives both the covariance and which parameters the data cannot fix: those
// that lie in a direction of (near) zero singular value.
std::vector<std::optional<double>> uncertainties(const std::vector<double>& jacobian, size_t rows,
                                                 size_t n, double variance) {
  std::vector<std::optional<double>> out(n);
  Eigen::MatrixXd j(rows, n);
  for (size_t r = 0; r < rows; ++r)
    for (size_t c = 0; c < n; ++c) j(static_cast<Eigen::Index>(r), static_cast<Eigen::Index>(c)) = jacobian[r * n + c];
  Eigen::VectorXd scale(n);
  for (size_t c = 0; c < n; ++c) {
    const double norm = j.col(static_cast<Eigen::Index>(c)).norm();
    scale(static_cast<Eigen::Index>(c)) = norm > 0 && std::isfinite(norm) ? norm : 0.0;
    if (scale(static_cast<Eigen::Index>(c)) > 0) j.col(static_cast<Eigen::Index>(c)) /= norm;
  }
  const Eigen::JacobiSVD<Eigen::MatrixXd> svd(j, Eigen::ComputeThinV);
  const Eigen::VectorXd s = svd.singularValues();
  const Eigen::MatrixXd& v = svd.matrixV();
  const double largest = s.size() > 0 ? s(0) : 0.0;
  constexpr double kRankRatio = 1e-8;
  Eigen::MatrixXd cov = Eigen::MatrixXd::Zero(static_cast<Eigen::Index>(n), static_cast<Eigen::Index>(n));
  Eigen::VectorXd unfixed = Eigen::VectorXd::Zero(static_cast<Eigen::Index>(n));
  for (Eigen::Index k = 0; k < s.size(); ++k) {
    if (largest > 0 && s(k) > kRankRatio * largest) {
      cov += v.col(k) * v.col(k).transpose() / (s(k) * s(k));
    } else {
      unfixed += v.col(k).cwiseAbs2();
    }
  }
  for (size_t c = 0; c < n; ++c) {
    const auto ci = static_cast<Eigen::Index>(c);
    if (scale(ci) == 0 || unfixed(ci) > 0.1) continue;
    const double sigma = std::sqrt(cov(ci, ci) * variance) / scale(ci);
    if (std::isfinite(sigma)) out[c] = sigma;
  }
  return out;
}

}  // namespace

double& fitField(PlanetaryParameters& p, FitParameter id) { return field(p, id); }

const char* fitModelName(int32_t model) {
  switch (model) {
    case kLambertLaw: return "Ламберта (A cos i)";
    case kLommelSeeliger: return "Ломмеля — Зеелигера";
    case kMinnaert: return "Миннарта";
    case kLunarLambert: return "Лунно-ламбертова";
    case kAkimov: return "Акимова";
    case kHapke: return "Хапке";
    default: return "";
  }
}

FitOutcome fitObservations(const ObservationTable& t, int32_t model,
                           const PlanetaryParameters& start, const std::vector<FitParameter>& free,
                           FitControl* control) {
  FitOutcome out;
  if (!canEvaluate(model)) {
    out.error = "Подбирать по наблюдениям можно закон Ламберта и модели фотометрии планет, "
                "а не эту модель.";
    return out;
  }
  if (free.empty()) {
    out.error = "Не отмечено ни одного свободного параметра.";
    return out;
  }
  const std::vector<FitParameter> allowed = fitParametersOf(model);
  for (FitParameter id : free)
    if (std::find(allowed.begin(), allowed.end(), id) == allowed.end()) {
      out.error = std::string("Параметр ") + kFitParameters[id].option + " не относится к модели " +
                  fitModelName(model) + ".";
      return out;
    }
  if (!t.hasValue()) {
    out.error = "В наблюдениях «" + t.source + "» нет столбца измеренных значений (I/F).";
    return out;
  }
  const size_t n = free.size();
  if (t.size() < n + 1) {
    out.error = "Наблюдений " + std::to_string(t.size()) + ", а свободных параметров " +
                std::to_string(n) + ": нужно не меньше " + std::to_string(n + 1) + " наблюдений.";
    return out;
  }

  PlanetaryParameters held = start;
  // A free L is one number for every phase.
  if (std::find(free.begin(), free.end(), kFitL) != free.end()) held.lunarLOfPhase = false;
  const std::vector<Point> points = pointsOf(t);

  // The solver's unknowns: the free parameters but the factor, which follows
  // the others (see Residuals); the factor alone is solved for itself.
  const bool factorFree = std::find(free.begin(), free.end(), kFitFactor) != free.end();
  const bool profiled = factorFree && n > 1;
  std::vector<FitParameter> unknowns;
  for (FitParameter id : free)
    if (!(profiled && id == kFitFactor)) unknowns.push_back(id);
  const size_t m = unknowns.size();
  const Residuals cost(points, model, held, unknowns, profiled);
  // The rough part of every start needs only the shape of the sum of
  // squares: on a large table it is taken over an even subsample.
  constexpr size_t kRoughPoints = 4000;
  const size_t stride = (points.size() + kRoughPoints - 1) / kRoughPoints;
  std::vector<Point> sample;
  for (size_t r = 0; r < points.size(); r += stride) sample.push_back(points[r]);
  const Residuals roughCost(stride > 1 ? sample : points, model, held, unknowns, profiled);

  // The starts: the fields' values, then points spread over the bounds by a
  // Halton sequence. A problem in the factor alone is linear: one start does.
  std::vector<double> lower(m), upper(m);
  for (size_t j = 0; j < m; ++j) {
    lower[j] = lowerBound(unknowns[j]);
    upper[j] = upperBound(unknowns[j]);
  }
  const int startCount = profiled || !factorFree ? kFitStarts : 1;
  std::vector<std::vector<double>> starts;
  for (int s = 0; s < startCount; ++s) {
    std::vector<double> x(m);
    static const int kPrimes[kFitParameterCount] = {2, 3, 5, 7, 11, 13, 17, 19, 23, 29, 31, 37, 41};
    for (size_t j = 0; j < m; ++j) {
      const double v = s == 0 ? field(held, unknowns[j])
                              : lower[j] + (upper[j] - lower[j]) *
                                               (0.05 + 0.9 * radicalInverse(s, kPrimes[j]));
      x[j] = std::clamp(std::isfinite(v) ? v : lower[j], lower[j], upper[j]);
    }
    starts.push_back(std::move(x));
  }
  if (control) control->startsTotal += startCount;

  // Every start is taken to its minimum roughly; the best of them (by the
  // sum over every point) is then taken to it exactly. Starts that find the
  // same minimum cost only their rough part, and the last digits are found
  // once.
  Cancel cancel(control);
  auto solve = [&](std::vector<double>& x, bool exact, ceres::Solver::Summary& summary) {
    ceres::Problem::Options po;
    po.cost_function_ownership = ceres::DO_NOT_TAKE_OWNERSHIP;
    ceres::Problem problem(po);
    problem.AddResidualBlock(const_cast<Residuals*>(exact ? &cost : &roughCost), nullptr, x.data());
    for (size_t j = 0; j < m; ++j) {
      problem.SetParameterLowerBound(x.data(), static_cast<int>(j), lower[j]);
      problem.SetParameterUpperBound(x.data(), static_cast<int>(j), upper[j]);
    }
    ceres::Solver::Options o;
    o.linear_solver_type = ceres::DENSE_QR;
    o.max_num_iterations = exact ? 200 : 100;
    o.function_tolerance = exact ? 1e-15 : 1e-7;
    o.gradient_tolerance = 1e-30;
    o.parameter_tolerance = exact ? 1e-13 : 1e-7;
    o.num_threads = 1;  // the residuals share out their rows themselves
    o.logging_type = ceres::SILENT;
    o.callbacks.push_back(&cancel);
    ceres::Solve(o, &problem, &summary);
    const bool stopped = summary.termination_type == ceres::USER_SUCCESS ||
                         summary.termination_type == ceres::USER_FAILURE ||
                         (control && control->cancel.load());
    return !stopped && summary.termination_type != ceres::FAILURE;
  };
  // The cost of a point summed in one order, so that the choice between starts
  // is the same on every run.
  auto costAt = [&](const std::vector<double>& x) {
    std::vector<double> r(points.size());
    if (!cost.evaluate(x.data(), r.data(), nullptr)) return HUGE_VAL;
    double sum = 0;
    for (double v : r) sum += v * v;
    return sum;
  };

  std::optional<std::vector<double>> best;
  double bestCost = HUGE_VAL;
  int roughIterations = 0;
  for (const std::vector<double>& s : starts) {
    if (control && control->cancel.load()) break;
    std::vector<double> x = s;
    ceres::Solver::Summary summary;
    const bool solved = solve(x, false, summary);
    if (control) ++control->startsDone;
    if (!solved) continue;
    const double c = costAt(x);
    if (c < bestCost) {
      bestCost = c;
      best = x;
      roughIterations = static_cast<int>(summary.iterations.size()) - 1;
    }
  }
  ceres::Solver::Summary bestSummary;
  if (best && !(control && control->cancel.load())) {
    std::vector<double> x = *best;
    if (solve(x, true, bestSummary) && costAt(x) <= bestCost) *best = x;
  }
  if (control && control->cancel.load()) {
    out.cancelled = true;
    return out;
  }
  if (!best) {
    out.error = "Подбор не удался: модель не вычисляется ни из одной начальной точки.";
    return out;
  }

  FitReport rep;
  rep.model = model;
  rep.parameters = cost.at(best->data());
  rep.points = points.size();
  rep.starts = startCount;
  rep.iterations = roughIterations + static_cast<int>(bestSummary.iterations.size()) - 1;
  rep.converged = bestSummary.termination_type == ceres::CONVERGENCE;
  rep.termination = terminationText(bestSummary);

  // The report is made over every free parameter, the factor included.
  const Residuals whole(points, model, held, free, false);
  std::vector<double> x(n);
  for (size_t j = 0; j < n; ++j) x[j] = field(rep.parameters, free[j]);
  std::vector<double> r(points.size()), jac(points.size() * n);
  whole.evaluate(x.data(), r.data(), jac.data());
  const Statistics st = statisticsOf(points, r);
  rep.rms = st.rms;
  const double dof = static_cast<double>(points.size() - n);
  const double count = static_cast<double>(points.size());
  const double k = static_cast<double>(n);
  double fitMeasure = 0;  // -2 ln(likelihood) up to a constant
  if (t.hasSigma()) {
    rep.chi2 = st.chi2;
    rep.reducedChi2 = st.chi2 / dof;
    fitMeasure = st.chi2;
  } else {
    fitMeasure = count * std::log(std::max(st.rss / count, DBL_MIN));
  }
  rep.aic = fitMeasure + 2 * k;
  rep.bic = fitMeasure + k * std::log(count);
  const double variance = t.hasSigma() ? 1.0 : st.chi2 / dof;
  const std::vector<std::optional<double>> sig = uncertainties(jac, points.size(), n, variance);
  for (size_t j = 0; j < n; ++j) rep.free.push_back({free[j], x[j], sig[j]});
  out.report = std::move(rep);
  return out;
}

const int32_t kComparedModels[] = {kLambertLaw, kLommelSeeliger, kMinnaert,
                                   kLunarLambert, kAkimov, kHapke};

Comparison compareModels(const ObservationTable& t, const PlanetaryParameters& start,
                         FitControl* control) {
  Comparison c;
  for (int32_t m : kComparedModels) {
    const std::vector<FitParameter> free = comparedParametersOf(m);
    if (t.size() < free.size() + 1) continue;  // too few points for this model
    FitOutcome f = fitObservations(t, m, start, free, control);
    if (f.cancelled) {
      c.cancelled = true;
      c.rows.clear();
      return c;
    }
    if (!f.report) {
      c.error = f.error;
      c.rows.clear();
      return c;
    }
    c.rows.push_back(std::move(*f.report));
  }
  if (c.rows.empty()) c.error = "Наблюдений слишком мало, чтобы подобрать хотя бы одну модель.";
  std::stable_sort(c.rows.begin(), c.rows.end(),
                   [](const FitReport& a, const FitReport& b) { return a.bic < b.bic; });
  return c;
}

int comparisonStarts(size_t points) {
  int total = 0;
  for (int32_t model : kComparedModels) {
    const size_t free = comparedParametersOf(model).size();
    if (points < free + 1) continue;
    total += free > 1 ? kFitStarts : 1;
  }
  return total;
}

}  // namespace korvalen
