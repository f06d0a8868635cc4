#include "export/command_line.h"

#include <QCommandLineParser>
#include <QRegularExpression>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

#include "export/comparison_options.h"
#include "export/parameter_fields.h"
#include "observations/fit.h"
#include "photometry/planetary.h"

namespace korvalen {

namespace {

struct OptionEntry {
  const char* names;      // comma-separated: the short name first where there is one
  const char* valueName;  // nullptr: a flag
  const char* description;
};

// The options in the order --help lists them and argumentsOf writes them.
const OptionEntry kOptions[] = {
    {"?,help", nullptr, "Показать эту справку и выйти."},
    {"v,version", nullptr, "Показать версию программы и выйти."},
    {"model", "модель",
     "Модель поверхности: matte, glossy, rocky, mirror, lommel-seeliger, minnaert, lunar-lambert, akimov или hapke."},
    {"inclination", "градусы", "Наклон источника, он же фазовый угол g."},
    {"ox", "градусы", "Поворот сферы по оси OX."},
    {"oy", "градусы", "Поворот по оси OY."},
    {"oz", "градусы", "Поворот по оси OZ."},
    {"radius", "точки", "Радиус шара, точек на поле."},
    {"s", "s", "Доля отражённого зеркально s (глянцевая поверхность)."},
    {"n", "n", "Острота пика n (глянцевая поверхность)."},
    {"k", "k", "Показатель k модели Миннарта (от 0 до 5)."},
    {"L", "L", "Доля L лунно-ламбертовой модели (от 0 до 1) или mcewen: L(g) по МакЮэну."},
    {"eta", "η", "Показатель η модели Акимова (от 0 до 2)."},
    {"factor", "A", "Множитель добавленных моделей (от 0.001 до 1000)."},
    {"preset", "набор",
     "Набор параметров модели Хапке: ceres, mercury-v, mercury-messenger, mars-red или europa."},
    {"w", "w", "Альбедо однократного рассеяния w модели Хапке (больше 0, до 1)."},
    {"b", "b", "Асимметрия индикатрисы b модели Хапке (от 0, меньше 1)."},
    {"c", "c", "Доля обратного рассеяния c модели Хапке (от -1 до 2)."},
    {"b0", "B0", "Амплитуда оппозиционного эффекта B0 модели Хапке (от 0 до 5)."},
    {"h", "h", "Ширина оппозиционного пика h модели Хапке (от 0 до 1)."},
    {"theta", "градусы", "Средний угол шероховатости модели Хапке (от 0 до 60)."},
    {"hapke-1981", nullptr, "Модель Хапке с H-функцией 1981 года."},
    {"h-function", "вид",
     "H-функция модели Хапке: exact (точная, Чандрасекара), 2002 (приближение 2002 года) или 1981."},
    {"porosity", "φ", "Коэффициент заполнения φ модели Хапке 2012 года (от 0, меньше 0.752; 0 - без пористости)."},
    {"bc0", "BC0", "Амплитуда когерентного обратного рассеяния BC0 модели Хапке (от 0 до 5; 0 - без него)."},
    {"hc", "hc", "Ширина пика когерентного обратного рассеяния hc модели Хапке (от 0 до 1)."},
    {"levels", "L1,…,L7", "Уровни семи изолиний, сверху вниз, или auto: поровну между наименьшим и наибольшим ф освещённых точек карты."},
    {"half-widths", "W1,…,W7", "Полуширины семи изолиний, сверху вниз."},
    {"smoothing", nullptr, "Сглаживание."},
    {"whole-sphere", nullptr, "Вся сфера, а не только видимая половина."},
    {"hide-isolines", nullptr, "Скрыть изолинии."},
    {"tints", "цвета", "Цвета изолиний: legend (как в легенде) или okabe-ito (различимые для всех)."},
    {"live", nullptr, "Тонировать при каждом изменении (в окне)."},
    {"scale", "F", "Масштаб экрана, для которого делаются картинки (от 0.5 до 8)."},
    {"compare", "параметры",
     "Карта сравнения с моделью B, чьи параметры модели даны одной строкой: \"--model lunar-lambert --L 0.5\"."},
    {"compare-as", "вид", "Сравнение как ratio (отношение φA / φB, по умолчанию) или difference (разность φA − φB)."},
    {"compare-levels", "L1,…", "Уровни изолиний сравнения через запятую."},
    {"render", "файл.png", "Тонировать карту и сохранить её картинку."},
    {"values", "файл.csv", "Тонировать карту и сохранить таблицу её значений."},
    {"example", "файл.png", "Сохранить картинку примера (полусферы)."},
    {"profile", "файл.csv", "Сохранить ф вдоль фотометрического экватора: gamma,i,e,g,phi."},
    {"phase-curve", "файл.csv", "Сохранить фазовую кривую диска: g,relative."},
    {"data", "файл", "Таблица наблюдений: для подбора, на карту --render, а без подбора и файлов — в окно."},
    {"data-tolerance", "градусы",
     "Наблюдения с g не дальше этого от g карты отмечаются на ней (от 0 до 180, по умолчанию 2)."},
    {"fit", "w,b,…",
     "Подобрать по наблюдениям --data эти параметры модели: factor, k, L, eta, w, b, c, b0, h, theta, porosity, bc0, hc."},
    {"fit-all", nullptr,
     "Подобрать каждую добавленную модель и закон Ламберта A cos i: таблица моделей по BIC."},
    {"fit-report", "файл.csv", "Сохранить отчёт подбора: --fit или --fit-all."},
    {"evaluate", "файл", "Вычислить ф модели в геометрии каждого наблюдения: таблица в --out."},
    {"out", "файл.csv", "Таблица --evaluate: i,e,g,phi и value,sigma,residual."},
};

QStringList namesOf(const OptionEntry& e) { return QString::fromUtf8(e.names).split(QLatin1Char(',')); }

QCommandLineOption optionOf(const OptionEntry& e) {
  const QString description = QString::fromUtf8(e.description);
  if (!e.valueName) return QCommandLineOption(namesOf(e), description);
  return QCommandLineOption(namesOf(e), description, QString::fromUtf8(e.valueName));
}

QString quoted(const QString& s) { return QStringLiteral("«") + s + QStringLiteral("»"); }

// Reads one number option; an error names the option and the value.
bool readNumber(const QString& option, const QString& text, QString& error) {
  if (readCommandLineNumber(text)) return true;
  error = QStringLiteral("значение %1 параметра --%2 не число (числа пишутся с точкой, например 0.5)")
              .arg(quoted(text), option);
  return false;
}

// The added models' parameters: each a number in its range, and given only
// with the model it belongs to (the factor with any added model).
bool readModelParameters(const QCommandLineParser& parser, CommandLine& c, QString& error) {
  const int32_t model = c.model.value_or(1);
  const bool hapke = model == kHapke;
  struct ModelParameter {
    const char* name;
    std::optional<QString>* field;
    ParameterRange range;
    bool belongs;
    const char* word;  // a word it takes besides numbers, or nullptr
  } const parameters[] = {
      {"k", &c.k, kMinnaertKRange, model == kMinnaert, nullptr},
      {"L", &c.L, kLunarLRange, model == kLunarLambert, kLunarFitName},
      {"eta", &c.eta, kAkimovEtaRange, model == kAkimov, nullptr},
      {"factor", &c.factor, kFactorRange, isPlanetaryModel(model), nullptr},
      {"w", &c.w, kHapkeWRange, hapke, nullptr},
      {"b", &c.b, kHapkeBRange, hapke, nullptr},
      {"c", &c.c, kHapkeCRange, hapke, nullptr},
      {"b0", &c.b0, kHapkeB0Range, hapke, nullptr},
      {"h", &c.h, kHapkeHRange, hapke, nullptr},
      {"theta", &c.theta, kHapkeThetaRange, hapke, nullptr},
      {"porosity", &c.porosity, kHapkePorosityRange, hapke, nullptr},
      {"bc0", &c.bc0, kHapkeBc0Range, hapke, nullptr},
      {"hc", &c.hc, kHapkeHcRange, hapke, nullptr},
  };
  auto notHers = [&](const QString& name) {
    error = QStringLiteral("параметр --%1 не относится к модели %2")
                .arg(name, QLatin1String(kModelNames[static_cast<size_t>(model)]));
    return false;
  };
  if (parser.isSet(QStringLiteral("preset"))) {
    if (!hapke) return notHers(QStringLiteral("preset"));
    const QString v = parser.value(QStringLiteral("preset"));
    QStringList names;
    for (const HapkePreset& p : kHapkePresets) names << QLatin1String(p.cliName);
    if (!names.contains(v)) {
      error = QStringLiteral("значение %1 параметра --preset не набор: допустимы %2")
                  .arg(quoted(v), names.join(QStringLiteral(", ")));
      return false;
    }
    c.preset = v;
  }
  c.hapke1981 = parser.isSet(QStringLiteral("hapke-1981"));
  if (c.hapke1981 && !hapke) return notHers(QStringLiteral("hapke-1981"));
  if (parser.isSet(QStringLiteral("h-function"))) {
    if (!hapke) return notHers(QStringLiteral("h-function"));
    const QString v = parser.value(QStringLiteral("h-function"));
    QStringList names;
    for (const char* name : kHFunctionNames) names << QLatin1String(name);
    if (!names.contains(v)) {
      error = QStringLiteral("значение %1 параметра --h-function не H-функция: допустимы %2")
                  .arg(quoted(v), names.join(QStringLiteral(", ")));
      return false;
    }
    // --hapke-1981 says the same as --h-function 1981, and nothing else.
    if (c.hapke1981 && v != QLatin1String(kHFunctionNames[static_cast<size_t>(HFunction::Form1981)])) {
      error = QStringLiteral("параметры --hapke-1981 и --h-function %1 противоречат друг другу").arg(v);
      return false;
    }
    c.hFunction = v;
  }
  for (const ModelParameter& p : parameters) {
    const QString name = QString::fromLatin1(p.name);
    if (!parser.isSet(name)) continue;
    const QString v = parser.value(name);
    if (!p.belongs) return notHers(name);
    if (!(p.word && v == QLatin1String(p.word))) {
      if (!readNumber(name, v, error)) return false;
      const double x = *readCommandLineNumber(v);
      if (!p.range.holds(x)) {
        error = QStringLiteral("значение %1 параметра --%2 вне допустимого: %3 %4, %5 %6")
                    .arg(quoted(v), name,
                         p.range.lowOpen ? QStringLiteral("больше") : QStringLiteral("от"),
                         numberText(p.range.low),
                         p.range.highOpen ? QStringLiteral("меньше") : QStringLiteral("до"),
                         numberText(p.range.high));
        return false;
      }
      // The parameter window shows every value it takes as it is; one it
      // could not show is not taken here either.
      if (!fieldHolds(p.range, x)) {
        error = QStringLiteral("значение %1 параметра --%2 слишком близко к нулю или к концу допустимого, "
                               "чтобы окно параметров показало его")
                    .arg(quoted(v), name);
        return false;
      }
    }
    *p.field = v;
  }
  // The phase function must not fall below 0 anywhere: the pair in effect,
  // given or from the preset or the window's start.
  if (hapke) {
    HapkeParameters h;
    for (const HapkePreset& preset : kHapkePresets)
      if (c.preset && *c.preset == QLatin1String(preset.cliName)) h = preset.p;
    if (c.b) h.b = *readCommandLineNumber(*c.b);
    if (c.c) h.c = *readCommandLineNumber(*c.c);
    if (!phaseFunctionNonNegative(h.b, h.c)) {
      error = QStringLiteral("пара b = %1, c = %2 (--b, --c) недопустима: индикатриса P(g) при ней "
                             "отрицательна, P(180°) = %3; при c больше 1 нужно ((1 + b)/(1 − b))³ ≤ "
                             "(1 + c)/(c − 1)")
                  .arg(numberText(h.b), numberText(h.c), QString::number(phaseFunctionOf(h.b, h.c, -1), 'g', 3));
      return false;
    }
  }
  return true;
}

// The observations' options: which go together, and the parameters to fit,
// each one of the model's own.
bool readObservationOptions(const QCommandLineParser& parser, CommandLine& c, QString& error) {
  c.data = parser.value(QStringLiteral("data"));
  c.fitReport = parser.value(QStringLiteral("fit-report"));
  c.evaluate = parser.value(QStringLiteral("evaluate"));
  c.out = parser.value(QStringLiteral("out"));
  c.fitAll = parser.isSet(QStringLiteral("fit-all"));
  auto needs = [&error](const char* option, const char* other) {
    error = QStringLiteral("параметр --%1 задаётся вместе с --%2")
                .arg(QLatin1String(option), QLatin1String(other));
    return false;
  };
  if (parser.isSet(QStringLiteral("data-tolerance"))) {
    const QString t = parser.value(QStringLiteral("data-tolerance"));
    const std::optional<double> v = readCommandLineNumber(t);
    if (!v || !(*v >= 0 && *v <= 180)) {
      error = QStringLiteral("значение %1 параметра --data-tolerance не принято: допустимы градусы от 0 до 180")
                  .arg(quoted(t));
      return false;
    }
    if (c.data.isEmpty()) return needs("data-tolerance", "data");
    c.dataTolerance = t;
  }
  const bool fitting = parser.isSet(QStringLiteral("fit")) || c.fitAll;
  if (fitting && !parser.isSet(QStringLiteral("data"))) return needs(c.fitAll ? "fit-all" : "fit", "data");
  if (parser.isSet(QStringLiteral("fit")) && c.fitAll) {
    error = QStringLiteral("--fit и --fit-all не задаются вместе");
    return false;
  }
  if (parser.isSet(QStringLiteral("fit-report")) && !fitting) return needs("fit-report", "fit или --fit-all");
  if (parser.isSet(QStringLiteral("evaluate")) != parser.isSet(QStringLiteral("out")))
    return parser.isSet(QStringLiteral("out")) ? needs("out", "evaluate") : needs("evaluate", "out");
  if (!parser.isSet(QStringLiteral("fit"))) return true;
  const int32_t model = c.model.value_or(1);
  const QString list = parser.value(QStringLiteral("fit"));
  const QStringList names = list.split(QLatin1Char(','));
  const std::vector<FitParameter> own = fitParametersOf(isPlanetaryModel(model) ? model : 0);
  for (const QString& name : names) {
    const std::optional<FitParameter> id = fitParameterNamed(name.toStdString());
    if (!id) {
      error = QStringLiteral("в --fit %1 не параметр: допустимы factor, k, L, eta, w, b, c, b0, h, theta, porosity, bc0, hc")
                  .arg(quoted(name));
      return false;
    }
    if (std::find(own.begin(), own.end(), *id) == own.end()) {
      error = QStringLiteral("в --fit параметр %1 не относится к модели %2")
                  .arg(quoted(name), QLatin1String(kModelNames[static_cast<size_t>(model)]));
      return false;
    }
    if (names.count(name) > 1) {
      error = QStringLiteral("в --fit параметр %1 назван дважды").arg(quoted(name));
      return false;
    }
  }
  c.fit = names;
  return true;
}

}  // namespace

std::optional<double> readCommandLineNumber(const QString& text) {
  const std::string s = text.toStdString();
  double v = 0;
  const char* end = s.data() + s.size();
  const auto [ptr, ec] = std::from_chars(s.data(), end, v);
  if (ec != std::errc() || ptr != end || s.empty() || !std::isfinite(v)) return std::nullopt;
  return v;
}

ParsedCommandLine parseCommandLine(const QStringList& arguments) {
  ParsedCommandLine r;
  QCommandLineParser parser;
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  for (const OptionEntry& e : kOptions) parser.addOption(optionOf(e));
  // "-h" alone still asks for the help; "--h" is Hapke's surge width.
  QStringList args = arguments;
  for (qsizetype i = 1; i < args.size(); ++i)
    if (args[i] == QLatin1String("-h") &&
        (i + 1 == args.size() || (args[i + 1].startsWith(QLatin1Char('-')) && !readCommandLineNumber(args[i + 1]))))
      args[i] = QStringLiteral("--help");
  if (!parser.parse(args)) {
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty()) {
      const QString name = unknown.first();
      r.error = QStringLiteral("неизвестный параметр %1")
                    .arg(quoted((name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name));
    } else {
      // The parser's own text names the option whose value is missing.
      const QRegularExpressionMatch m =
          QRegularExpression(QStringLiteral("'([^']*)'")).match(parser.errorText());
      r.error = QStringLiteral("у параметра %1 нет значения").arg(quoted(m.hasMatch() ? m.captured(1) : QString()));
    }
    return r;
  }
  if (!parser.positionalArguments().isEmpty()) {
    r.error = QStringLiteral("лишний аргумент %1").arg(quoted(parser.positionalArguments().first()));
    return r;
  }
  CommandLine& c = r.options;
  c.help = parser.isSet(QStringLiteral("help"));
  c.version = parser.isSet(QStringLiteral("version"));
  if (parser.isSet(QStringLiteral("model"))) {
    const QString m = parser.value(QStringLiteral("model"));
    QStringList names;
    for (int32_t k = 1; k < static_cast<int32_t>(kModelNames.size()); ++k) {
      names << QLatin1String(kModelNames[k]);
      if (m == QLatin1String(kModelNames[k])) c.model = k;
    }
    if (!c.model) {
      r.error = QStringLiteral("значение %1 параметра --model не модель: допустимы %2")
                    .arg(quoted(m), names.join(QStringLiteral(", ")));
      return r;
    }
  }
  struct NumberOption {
    const char* name;
    std::optional<QString>* field;
  } numbers[] = {{"inclination", &c.inclination}, {"ox", &c.ox}, {"oy", &c.oy}, {"oz", &c.oz},
                 {"radius", &c.radius}, {"s", &c.s}, {"n", &c.n}, {"scale", &c.scale}};
  for (const NumberOption& o : numbers) {
    const QString name = QString::fromLatin1(o.name);
    if (!parser.isSet(name)) continue;
    const QString v = parser.value(name);
    if (!readNumber(name, v, r.error)) return r;
    *o.field = v;
  }
  if (!readModelParameters(parser, c, r.error)) return r;
  if (c.scale) {
    c.scaleValue = *readCommandLineNumber(*c.scale);
    if (!(c.scaleValue >= kScaleMin && c.scaleValue <= kScaleMax)) {
      r.error = QStringLiteral("значение %1 параметра --scale вне допустимого: от 0.5 до 8").arg(quoted(*c.scale));
      return r;
    }
  }
  struct ListOption {
    const char* name;
    std::optional<std::array<QString, 7>>* field;
  } lists[] = {{"levels", &c.levels}, {"half-widths", &c.halfWidths}};
  for (const ListOption& o : lists) {
    const QString name = QString::fromLatin1(o.name);
    if (!parser.isSet(name)) continue;
    if (o.field == &c.levels && parser.value(name) == QLatin1String("auto")) {
      c.levelsAuto = true;
      continue;
    }
    const QStringList parts = parser.value(name).split(QLatin1Char(','));
    if (parts.size() != 7) {
      r.error = QStringLiteral("параметру --%1 нужны семь чисел через запятую, дано %2")
                    .arg(name, quoted(parser.value(name)));
      return r;
    }
    std::array<QString, 7> values;
    for (int k = 0; k < 7; ++k) {
      if (!readNumber(name, parts[k], r.error)) return r;
      values[k] = parts[k];
    }
    *o.field = values;
  }
  if (parser.isSet(QStringLiteral("tints"))) {
    const QString t = parser.value(QStringLiteral("tints"));
    QStringList names;
    for (const char* name : kTintNames) names << QLatin1String(name);
    if (!names.contains(t)) {
      r.error = QStringLiteral("значение %1 параметра --tints не цвета изолиний: допустимы %2")
                    .arg(quoted(t), names.join(QStringLiteral(", ")));
      return r;
    }
    c.tints = t;
  }
  c.smoothing = parser.isSet(QStringLiteral("smoothing"));
  c.wholeSphere = parser.isSet(QStringLiteral("whole-sphere"));
  c.hideIsolines = parser.isSet(QStringLiteral("hide-isolines"));
  c.live = parser.isSet(QStringLiteral("live"));
  c.render = parser.value(QStringLiteral("render"));
  c.values = parser.value(QStringLiteral("values"));
  c.example = parser.value(QStringLiteral("example"));
  c.profile = parser.value(QStringLiteral("profile"));
  c.phaseCurve = parser.value(QStringLiteral("phase-curve"));
  if (!readObservationOptions(parser, c, r.error)) return r;
  for (const auto& [name, field] :
       {std::pair{"compare", &c.compare}, {"compare-as", &c.compareAs}, {"compare-levels", &c.compareLevels}})
    if (parser.isSet(QLatin1String(name))) *field = parser.value(QLatin1String(name));
  if (!readComparisonOptions(c, r.error)) return r;
  for (const auto& [name, file] : {std::pair{"render", &c.render}, {"values", &c.values}, {"example", &c.example},
                                   {"profile", &c.profile}, {"phase-curve", &c.phaseCurve}, {"data", &c.data},
                                   {"fit-report", &c.fitReport}, {"evaluate", &c.evaluate}, {"out", &c.out}}) {
    if (parser.isSet(QLatin1String(name)) && file->isEmpty()) {
      r.error = QStringLiteral("у параметра %1 пустое имя файла").arg(quoted(QStringLiteral("--") + QLatin1String(name)));
      return r;
    }
  }
  return r;
}

QString helpText() {
  QString text = QStringLiteral(
      "Использование: korvalen [параметры]\n"
      "\n"
      "Korvalen показывает функцию отражения ф(i, e, g) на гауссовой сфере.\n"
      "Каждый параметр вписывается в своё поле окна так, как если бы его набрал\n"
      "пользователь. Без --render, --values, --example, --profile, --phase-curve,\n"
      "--fit, --fit-all и --evaluate открывается окно с этими значениями; с ними\n"
      "файлы пишутся без окна.\n"
      "\n"
      "Параметры:\n");
  for (const OptionEntry& e : kOptions) {
    QStringList names = namesOf(e);
    // A one-letter name of its own is the short form of the long name after it.
    for (QString& n : names) n.prepend(n.size() == 1 && names.size() > 1 ? QStringLiteral("-") : QStringLiteral("--"));
    QString left = names.join(QStringLiteral(", "));
    if (e.valueName) left += QStringLiteral(" <%1>").arg(QString::fromUtf8(e.valueName));
    text += QStringLiteral("  %1 %2\n").arg(left, -26).arg(QString::fromUtf8(e.description));
  }
  text += QStringLiteral(
      "\n"
      "Числа пишутся с точкой в любой локали. Код выхода: 0 - успех, 1 - ошибка\n"
      "при тонировании или записи файла, 2 - ошибка в параметрах или в таблице\n"
      "наблюдений.\n"
      "\n"
      "Пример: подобрать w, b, c и theta модели Хапке по наблюдениям, сохранить\n"
      "отчёт и карту с подобранными значениями:\n"
      "  korvalen --model hapke --data moon.csv --fit w,b,c,theta \\\n"
      "           --fit-report fit.csv --render fitted.png\n");
  return text;
}

QString softwareName() { return QStringLiteral("Korvalen " KORVALEN_RELEASE_VERSION); }

QString versionText() { return softwareName() + QLatin1Char('\n'); }

QStringList argumentsOf(const CommandLine& c) {
  QStringList a;
  auto add = [&a](const char* name, const std::optional<QString>& v) {
    if (v) a << QStringLiteral("--") + QLatin1String(name) << *v;
  };
  auto addList = [&a](const char* name, const std::optional<std::array<QString, 7>>& v) {
    if (!v) return;
    QStringList parts(v->begin(), v->end());
    a << QStringLiteral("--") + QLatin1String(name) << parts.join(QLatin1Char(','));
  };
  if (c.model) a << QStringLiteral("--model") << QLatin1String(kModelNames[*c.model]);
  add("inclination", c.inclination);
  add("ox", c.ox);
  add("oy", c.oy);
  add("oz", c.oz);
  add("radius", c.radius);
  add("s", c.s);
  add("n", c.n);
  add("k", c.k);
  add("L", c.L);
  add("eta", c.eta);
  add("factor", c.factor);
  add("preset", c.preset);
  add("w", c.w);
  add("b", c.b);
  add("c", c.c);
  add("b0", c.b0);
  add("h", c.h);
  add("theta", c.theta);
  if (c.hapke1981) a << QStringLiteral("--hapke-1981");
  add("h-function", c.hFunction);
  add("porosity", c.porosity);
  add("bc0", c.bc0);
  add("hc", c.hc);
  if (c.levelsAuto) a << QStringLiteral("--levels") << QStringLiteral("auto");
  else addList("levels", c.levels);
  addList("half-widths", c.halfWidths);
  if (c.smoothing) a << QStringLiteral("--smoothing");
  if (c.wholeSphere) a << QStringLiteral("--whole-sphere");
  if (c.hideIsolines) a << QStringLiteral("--hide-isolines");
  add("tints", c.tints);
  if (c.live) a << QStringLiteral("--live");
  add("scale", c.scale);
  add("compare", c.compare);
  add("compare-as", c.compareAs);
  add("compare-levels", c.compareLevels);
  if (!c.render.isEmpty()) a << QStringLiteral("--render") << c.render;
  if (!c.values.isEmpty()) a << QStringLiteral("--values") << c.values;
  if (!c.example.isEmpty()) a << QStringLiteral("--example") << c.example;
  if (!c.profile.isEmpty()) a << QStringLiteral("--profile") << c.profile;
  if (!c.phaseCurve.isEmpty()) a << QStringLiteral("--phase-curve") << c.phaseCurve;
  if (!c.data.isEmpty()) a << QStringLiteral("--data") << c.data;
  add("data-tolerance", c.dataTolerance);
  if (c.fit) a << QStringLiteral("--fit") << c.fit->join(QLatin1Char(','));
  if (c.fitAll) a << QStringLiteral("--fit-all");
  if (!c.fitReport.isEmpty()) a << QStringLiteral("--fit-report") << c.fitReport;
  if (!c.evaluate.isEmpty()) a << QStringLiteral("--evaluate") << c.evaluate << QStringLiteral("--out") << c.out;
  return a;
}

namespace {

// A character that would break or hide part of the one line a command is
// written on: the control characters and the line and paragraph separators.
bool breaksTheLine(QChar c) {
  return c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
}

// The shell's $'...' form, where \n, \t and \xHH stand for those characters
// (\xHH for each byte of their UTF-8).
QString escapedQuoted(const QString& a) {
  QString out = QStringLiteral("$'");
  for (const QChar c : a) {
    if (c == QLatin1Char('\\') || c == QLatin1Char('\'')) {
      out += QLatin1Char('\\') + QString(c);
    } else if (c == QLatin1Char('\n')) {
      out += QStringLiteral("\\n");
    } else if (c == QLatin1Char('\t')) {
      out += QStringLiteral("\\t");
    } else if (breaksTheLine(c)) {
      for (const char byte : QString(c).toUtf8())
        out += QStringLiteral("\\x") + QString::number(static_cast<uint8_t>(byte), 16).rightJustified(2, QLatin1Char('0')).toUpper();
    } else {
      out += c;
    }
  }
  return out + QLatin1Char('\'');
}

}  // namespace

QString commandText(const QStringList& arguments) {
  static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_.,/:=+@%-]+$"));
  QString text = QStringLiteral("korvalen");
  for (QString a : arguments) {
    if (std::any_of(a.begin(), a.end(), breaksTheLine))
      a = escapedQuoted(a);
    else if (!plain.match(a).hasMatch())
      a = QLatin1Char('\'') + a.replace(QLatin1Char('\''), QStringLiteral("'\\''")) + QLatin1Char('\'');
    text += QLatin1Char(' ') + a;
  }
  return text;
}

QString numberText(double v) {
  char buf[400];
  const auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed);
  if (ec != std::errc()) return QString::number(v, 'g', 17);
  return QString::fromLatin1(buf, static_cast<qsizetype>(ptr - buf));
}

QString numberText(float v) {
  char buf[80];
  const auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed);
  if (ec == std::errc()) {
    const QString text = QString::fromLatin1(buf, static_cast<qsizetype>(ptr - buf));
    // The boxes read a double and round it to a float; the float's own
    // shortest text almost always survives that double rounding.
    const std::optional<double> back = readCommandLineNumber(text);
    if (back && static_cast<float>(*back) == v) return text;
  }
  return numberText(static_cast<double>(v));
}

}  // namespace korvalen
