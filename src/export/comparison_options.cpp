#include "export/comparison_options.h"

#include <QProcess>

namespace korvalen {

namespace {

QString quoted(const QString& s) { return QStringLiteral("«") + s + QStringLiteral("»"); }

// The model's own options of c, nothing else.
CommandLine modelOptionsOnly(const CommandLine& c) {
  CommandLine m;
  m.model = c.model;
  m.s = c.s, m.n = c.n, m.k = c.k, m.L = c.L, m.eta = c.eta, m.factor = c.factor;
  m.w = c.w, m.b = c.b, m.c = c.c, m.b0 = c.b0, m.h = c.h, m.theta = c.theta, m.preset = c.preset;
  m.hapke1981 = c.hapke1981;
  m.porosity = c.porosity, m.bc0 = c.bc0, m.hc = c.hc, m.hFunction = c.hFunction;
  return m;
}

bool refuse(QString* error, const QString& message) {
  if (error) *error = message;
  return false;
}

}  // namespace

std::optional<std::vector<double>> readLevelList(const QString& text) {
  const QStringList parts = text.split(QLatin1Char(','));
  if (parts.size() > static_cast<qsizetype>(kMostComparisonLevels)) return std::nullopt;
  std::vector<double> levels;
  for (const QString& p : parts) {
    const std::optional<double> v = readCommandLineNumber(p.trimmed());
    if (!v) return std::nullopt;
    levels.push_back(*v);
  }
  return levels;
}

std::optional<ComparisonOptions> comparisonOptionsOf(const CommandLine& c, QString* error) {
  if (!c.compare) {
    if (c.compareAs || c.compareLevels)
      refuse(error, QStringLiteral("параметр --%1 задаётся вместе с --compare")
                        .arg(c.compareAs ? QStringLiteral("compare-as") : QStringLiteral("compare-levels")));
    return std::nullopt;
  }
  ComparisonOptions o;
  const ParsedCommandLine inner =
      parseCommandLine(QStringList{QStringLiteral("korvalen")} + QProcess::splitCommand(*c.compare));
  if (!inner.error.isEmpty()) {
    refuse(error, QStringLiteral("в --compare %1").arg(inner.error));
    return std::nullopt;
  }
  o.model = modelOptionsOnly(inner.options);
  // The first option given that is not the model's own.
  QString foreign;
  if (inner.options.help) foreign = QStringLiteral("--help");
  if (inner.options.version) foreign = QStringLiteral("--version");
  const QStringList own = argumentsOf(o.model);
  for (const QString& a : argumentsOf(inner.options))
    if (foreign.isEmpty() && a.startsWith(QLatin1String("--")) && !own.contains(a)) foreign = a;
  if (!foreign.isEmpty()) {
    refuse(error, QStringLiteral("в --compare недопустим параметр %1: там задаются только параметры модели "
                                 "(--model, --s, --n, --k, --L, --eta, --factor, --preset и параметры Хапке)")
                      .arg(quoted(foreign)));
    return std::nullopt;
  }
  if (c.compareAs) {
    QStringList names;
    for (const char* name : kComparisonKindNames) names << QLatin1String(name);
    if (!names.contains(*c.compareAs)) {
      refuse(error, QStringLiteral("значение %1 параметра --compare-as не вид сравнения: допустимы %2")
                        .arg(quoted(*c.compareAs), names.join(QStringLiteral(", "))));
      return std::nullopt;
    }
    o.kind = static_cast<ComparisonKind>(names.indexOf(*c.compareAs));
  }
  o.levels = defaultComparisonLevels(o.kind);
  if (c.compareLevels) {
    const std::optional<std::vector<double>> levels = readLevelList(*c.compareLevels);
    if (!levels) {
      refuse(error, QStringLiteral("параметру --compare-levels нужны от 1 до %1 чисел через запятую, дано %2")
                        .arg(kMostComparisonLevels)
                        .arg(quoted(*c.compareLevels)));
      return std::nullopt;
    }
    o.levels = *levels;
  }
  return o;
}

bool readComparisonOptions(const CommandLine& c, QString& error) {
  error.clear();
  comparisonOptionsOf(c, &error);
  return error.isEmpty();
}

}  // namespace korvalen
