#include "app/batch.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <utility>
#include <vector>

#include "export/curve_tables.h"
#include "export/model_options.h"
#include "export/observation_tables.h"
#include "export/report_text.h"
#include "observations/model_values.h"
#include "export/output_files.h"
#include "export/value_table.h"
#include "main_window/form1.h"
#include "toolkit/guard.h"

namespace korvalen {

namespace {

// A number of the command line as a user of this locale types it. The boxes
// read with the program's own procedure know only the point and the comma.
QString asTyped(QString text, bool ownReading) {
  const QLocale l;
  const QString point = l.decimalPoint();
  if (!ownReading || point == QStringLiteral(",")) text.replace(QLatin1Char('.'), point);
  if (!ownReading) {
    text.replace(QLatin1Char('-'), l.negativeSign());
    text.replace(QLatin1Char('e'), l.exponential());
  }
  return text;
}

QString rejected(const QString& option, const QString& value, const QString& range) {
  QString m = QStringLiteral("значение «%1» параметра --%2 не принято").arg(value, option);
  if (!range.isEmpty()) m += QStringLiteral(": допустимы %1").arg(range);
  return m;
}

const QString kFloatRange = QStringLiteral("числа от -3.4028235e38 до 3.4028235e38");

}  // namespace

QString typeIn(Form1& f, const CommandLine& c) {
  // The isoline boxes take typed values once the start-up timer has ticked.
  while (f.Timer1->enabled()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  // Model B from the window's start-up values, before model A is typed in.
  if (const QString error = typeInComparison(f, c); !error.isEmpty()) return error;

  if (c.model && isPlanetaryModel(*c.model)) {
    // The parameters as the parameter window would set them, then the model as the menu selects it.
    const PlanetaryParameters p = planetaryParametersOf(c, f.st.lm.planetary);
    runGuarded([&] { f.setPlanetaryParameters(p); });
    runGuarded([&] { f.selectPlanetaryModel(*c.model); });
  } else if (c.model) {
    OptionButton* buttons[] = {nullptr, f.Option1, f.Option2, f.Option3, f.Option4};
    buttons[*c.model]->setChecked(true);
  }
  struct Box {
    const char* option;
    const std::optional<QString>& value;
    TextBox* box;
    bool ownReading;  // read by the program's own procedure, not the locale's
    QString range;    // what the box accepts, where it says so
  } boxes[] = {
      {"s", c.s, f.Text5, false, {}},
      {"n", c.n, f.Text6, false, {}},
      {"inclination", c.inclination, f.Text4[0], false, {}},
      {"ox", c.ox, f.Text1, false, {}},
      {"oy", c.oy, f.Text2, false, {}},
      {"oz", c.oz, f.Text3[0], false, {}},
      {"radius", c.radius, f.Text9, false, QStringLiteral("значения больше 0 и не больше 1000")},
  };
  for (const Box& b : boxes) {
    if (!b.value) continue;
    b.box->setText(asTyped(*b.value, b.ownReading));
    if (b.box->backColour() == kNotAccepted) return rejected(QLatin1String(b.option), *b.value, b.range);
  }
  struct Row {
    const char* option;
    const std::optional<std::array<QString, 7>>& values;
    std::array<TextBox*, 8>& boxes;
    bool ownReading;
  } rows[] = {{"levels", c.levels, f.Text8, true}, {"half-widths", c.halfWidths, f.Text7, false}};
  for (const Row& row : rows) {
    if (!row.values) continue;
    for (int r = 1; r <= 7; ++r) {
      TextBox* box = row.boxes[kLegendIndex[r]];
      box->setText(asTyped((*row.values)[r - 1], row.ownReading));
      if (box->backColour() == kNotAccepted)
        return rejected(QLatin1String(row.option), (*row.values)[r - 1], kFloatRange);
    }
  }
  if (c.smoothing) f.Check2->setValue(1);
  if (c.wholeSphere) f.Check1->setValue(0);
  if (c.hideIsolines) f.Check3->setValue(1);
  if (c.tints) f.setIsolineColours(*c.tints == QLatin1String(kTintNames[kDistinctColours]) ? kDistinctColours : kLegendColours);
  return {};
}

BatchResult runWithoutWindow(const CommandLine& c) {
  if (c.scale) PictureBox::setScaleOverride(c.scaleValue);
  Form1 f;
  PictureBox::setScaleOverride(0);
  f.show();
  if (const QString error = typeIn(f, c); !error.isEmpty()) return {kExitUsage, error};

  std::vector<std::pair<QString, QByteArray>> files;
  const long failuresBefore = failureCount();
  auto failed = [&] { return failureCount() != failuresBefore; };
  BatchResult result;
  // After a fit, the pictures are made again by the fitted values, typed in
  // as options, without the fit.
  CommandLine remade = c;
  // The observations: fitted to, and marked on the map drawn.
  std::shared_ptr<const ObservationTable> table;
  if (!c.data.isEmpty()) {
    ObservationRead read = readObservations(QFile::encodeName(c.data).toStdString());
    if (!read.table) return {kExitUsage, QString::fromStdString(read.error), {}};
    table = std::make_shared<const ObservationTable>(std::move(*read.table));
    if (c.dataTolerance) f.setMarkTolerance(*readCommandLineNumber(*c.dataTolerance));
    f.setObservations(table);
  }
  if (c.fit || c.fitAll) {
    const QString fitCommand = commandText(argumentsOf(c));
    if (c.fitAll) {
      const Comparison cmp = compareModels(*table, f.st.lm.planetary);
      if (!cmp.error.empty()) return {kExitUsage, QString::fromStdString(cmp.error), {}};
      result.output = comparisonText(cmp);
      if (!c.fitReport.isEmpty()) files.emplace_back(c.fitReport, comparisonTable(cmp, fitCommand));
    } else {
      std::vector<FitParameter> free;
      for (const QString& name : *c.fit) free.push_back(*fitParameterNamed(name.toStdString()));
      const FitOutcome fit =
          fitObservations(*table, f.st.lm.surfaceModel, f.st.lm.planetary, free);
      if (!fit.report) return {kExitUsage, QString::fromStdString(fit.error), {}};
      result.output = reportLines(*fit.report, QLocale::c()).join(QLatin1Char('\n')) + QLatin1Char('\n');
      if (!c.fitReport.isEmpty()) files.emplace_back(c.fitReport, fitReportTable(*fit.report, fitCommand));
      runGuarded([&] { f.setPlanetaryParameters(fit.report->parameters); });
      if (failed()) return {kExitRunFailed, f.failureNoticeText(), {}};
      for (const FittedValue& v : fit.report->free) {
        const QString text = numberText(v.value);
        switch (v.id) {
          case kFitFactor: remade.factor = text; break;
          case kFitK: remade.k = text; break;
          case kFitL: remade.L = text; break;
          case kFitEta: remade.eta = text; break;
          case kFitW: remade.w = text; break;
          case kFitB: remade.b = text; break;
          case kFitC: remade.c = text; break;
          case kFitB0: remade.b0 = text; break;
          case kFitH: remade.h = text; break;
          case kFitTheta: remade.theta = text; break;
          case kFitPorosity: remade.porosity = text; break;
          case kFitBc0: remade.bc0 = text; break;
          case kFitHc: remade.hc = text; break;
          default: break;
        }
      }
    }
    remade.fit.reset();
    remade.fitAll = false;
    remade.fitReport.clear();
  }
  // The levels from the map as it is drawn now, fitted values and all; the
  // files carry them as numbers.
  if (c.levelsAuto) {
    if (!f.setLevelsFromMap()) return {kExitRunFailed, failed() ? f.failureNoticeText() : kNoLitPoints};
    std::array<QString, 7> levels;
    for (int r = 1; r <= 7; ++r) levels[r - 1] = numberText(f.st.iso.isolineLevel[r]);
    remade.levels = levels;
    remade.levelsAuto = false;
  }
  if (!c.evaluate.isEmpty()) {
    if (!canEvaluate(f.st.lm.surfaceModel))
      return {kExitUsage,
              QStringLiteral("--evaluate: модель %1 не даёт ф по наблюдениям; годятся matte (закон "
                             "Ламберта) и модели фотометрии планет")
                  .arg(QLatin1String(kModelNames[static_cast<size_t>(f.st.lm.surfaceModel)])),
              {}};
    const ObservationRead read = readObservations(QFile::encodeName(c.evaluate).toStdString());
    if (!read.table) return {kExitUsage, QString::fromStdString(read.error), {}};
    CommandLine line = remade;
    line.render.clear(), line.values.clear(), line.example.clear(), line.profile.clear(), line.phaseCurve.clear();
    files.emplace_back(c.out, evaluationTable(*read.table, modelValues(f.st.lm.surfaceModel, f.st.lm.planetary,
                                                                       *read.table),
                                              commandText(argumentsOf(line))));
  }
  // The command each file carries: the options with that file alone to write.
  auto commandFor = [&remade](QString CommandLine::*file) {
    CommandLine line = remade;
    line.evaluate.clear();
    line.out.clear();
    for (QString CommandLine::*other : {&CommandLine::render, &CommandLine::values, &CommandLine::example,
                                        &CommandLine::profile, &CommandLine::phaseCurve})
      if (other != file) (line.*other).clear();
    return commandText(argumentsOf(line));
  };
  if (!c.render.isEmpty() || !c.values.isEmpty()) {
    f.Command1->click();
    if (failed()) return {kExitRunFailed, f.failureNoticeText()};
    if (!c.render.isEmpty()) files.emplace_back(c.render, pngOf(f.mapPicture(), commandFor(&CommandLine::render)));
    if (!c.values.isEmpty()) {
      QByteArray table;
      runGuarded([&] { table = f.mapValueTable(f.lastCompletedRun()->state, commandFor(&CommandLine::values)); });
      if (failed()) return {kExitRunFailed, f.failureNoticeText()};
      files.emplace_back(c.values, table);
    }
  }
  if (!c.example.isEmpty()) {
    // The example as the window last drew it; drawn once more here only to
    // learn whether its inputs let it be drawn at all (a drawing that fails
    // leaves an older picture in the window).
    runGuarded([&] { f.РисованиеПолусферыПримера(); });
    if (failed()) return {kExitRunFailed, f.failureNoticeText()};
    files.emplace_back(c.example, pngOf(f.examplePicture(), commandFor(&CommandLine::example)));
  }
  // The curves of the window's "Профили φ", from the values typed in.
  if (!c.profile.isEmpty()) {
    QByteArray table;
    runGuarded([&] { table = equatorTable(equatorCurve(f.st.lm), commandFor(&CommandLine::profile)); });
    if (failed()) return {kExitRunFailed, f.failureNoticeText()};
    files.emplace_back(c.profile, table);
  }
  if (!c.phaseCurve.isEmpty()) {
    PhaseCurve curve;
    runGuarded([&] { curve = phaseCurve(f.st.lm); });
    if (failed()) return {kExitRunFailed, f.failureNoticeText()};
    if (!curve.defined) return {kExitRunFailed, phaseCurveUndefinedText()};
    files.emplace_back(c.phaseCurve, phaseTable(curve, commandFor(&CommandLine::phaseCurve)));
  }
  if (const QString failure = saveFiles(files); !failure.isEmpty()) return {kExitRunFailed, failure, {}};
  return result;
}

}  // namespace korvalen
