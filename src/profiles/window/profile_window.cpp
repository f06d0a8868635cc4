#include "profile_window/profile_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QLegendMarker>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <numbers>

#include "export/curve_tables.h"
#include "export/quantity.h"
#include "main_window/form1.h"
#include "profile_window/curve_chart.h"
#include "profile_window/observation_page.h"
#include "observation_window/observation_store.h"
#include "toolkit/appearance.h"
#include "toolkit/guard.h"

namespace korvalen {

namespace {

// phi runs from 0 to 1 on every chart of it; a little room keeps the curve off the frame.
constexpr double kPhiLow = -0.05, kPhiHigh = 1.05;

void fixedTicks(QValueAxis* axis, double low, double high, double anchor, double interval) {
  axis->setRange(low, high);
  axis->setTickType(QValueAxis::TicksDynamic);
  axis->setTickAnchor(anchor);
  axis->setTickInterval(interval);
}

QString degreesText(double degrees) { return QLocale().toString(degrees, 'g', 4) + QStringLiteral("°"); }

// What the curves show: φ, or the added models' I/F.
QString symbolOf(int32_t model) { return showsRadianceFactor(model) ? QStringLiteral("I/F") : QStringLiteral("φ"); }

QString failureText(const RuntimeError& e) {
  return QStringLiteral("Кривая не найдена: %1.").arg(QString::fromStdString(errorText(e.kind())));
}

// The runs of shown samples between the gaps.
std::vector<QList<QPointF>> runsOf(const std::vector<ProbeSample>& samples) {
  std::vector<QList<QPointF>> runs;
  bool open = false;
  for (const ProbeSample& s : samples) {
    if (!s.shown) {
      open = false;
      continue;
    }
    if (!open) runs.emplace_back();
    open = true;
    runs.back().append(QPointF(s.offset, static_cast<double>(s.phi)));
  }
  return runs;
}

}  // namespace

ProfileWindow::ProfileWindow(Form1& form, ObservationStore& observations, QWidget* parent)
    : QDialog(parent), form_(form) {
  setWindowTitle(QStringLiteral("Профили φ"));
  setModal(false);
  auto* layout = new QVBoxLayout(this);
  tabs = new QTabWidget(this);
  layout->addWidget(tabs);
  buildEquatorChart();
  buildProbeChart();
  buildPhaseChart();
  observationPage = new ObservationPage(form_, observations, tabs);
  tabs->addTab(observationPage, QStringLiteral("Наблюдения"));
  resize(760, 540);
  followPalette();

  connect(&form_, &Form1::surfaceModelChanged, this, [this] { ask(true, true, true); });
  connect(&form_, &Form1::planetaryParametersChanged, this, [this] { ask(true, true, true); });
  connect(&form_, &Form1::curveInputsChanged, this, [this] { ask(true, true, true); });
  connect(&form_, &Form1::probeShown, this, [this] { ask(false, true, false); });
  // The level lines take the legend's colours, whichever set it shows.
  connect(&form_, &Form1::viewOptionsChanged, this, [this] { ask(true, false, false); });
  connect(tabs, &QTabWidget::currentChanged, this, [this] { ask(false, false, false); });
  connect(&observations, &ObservationStore::changed, this, [this] {
    observationsDue_ = true;
    ask(false, false, false);
  });
  connect(magnitudeScale, &QCheckBox::toggled, this, [this] { drawPhase(); });
  ask(true, true, true);
}

ProfileWindow::~ProfileWindow() {
  delete row_;
  delete column_;
  delete phaseCurve_;
  delete lambertCurve_;
}

void ProfileWindow::buildEquatorChart() {
  equatorChart = new CurveChart(tabs, form_.saveDialogs(), QStringLiteral("korvalen-equator"));
  fixedTicks(equatorChart->axisX, -90, 90, 0, 30);
  equatorChart->axisX->setTitleText(QStringLiteral("Фотометрическая долгота γ, °"));
  fixedTicks(equatorChart->axisY, kPhiLow, kPhiHigh, 0, 0.2);
  equatorChart->axisY->setTitleText(QStringLiteral("φ"));
  // The levels first, so that the curve and the marks lie over them.
  for (int r = 1; r <= 7; ++r) isolines_[r] = addLine(equatorChart, QStringLiteral("Изолиния %1").arg(r), false);
  equatorSeries_ = addLine(equatorChart, QStringLiteral("φ(γ)"), true);
  observerMark_ = addLine(equatorChart, QStringLiteral("Наблюдатель, γ = 0"), true);
  lightMark_ = addLine(equatorChart, QStringLiteral("Источник, γ = g"), true);
  equatorChart->command = [this] { return windowCommand(); };
  equatorChart->table = [this](const QString& fileName) {
    CommandLine line = form_.currentCommandLine();
    line.profile = fileName;
    return equator_ ? equatorTable(*equator_, commandText(argumentsOf(line))) : QByteArray();
  };
  tabs->addTab(equatorChart, QStringLiteral("Фотометрический экватор"));
}

void ProfileWindow::buildProbeChart() {
  probeChart = new CurveChart(tabs, form_.saveDialogs(), QStringLiteral("korvalen-probe"));
  probeChart->axisX->setTitleText(QStringLiteral("Смещение от центра, пиксели"));
  fixedTicks(probeChart->axisY, kPhiLow, kPhiHigh, 0, 0.2);
  probeChart->axisY->setTitleText(QStringLiteral("φ"));
  row_ = new GappedCurve(probeChart, QStringLiteral("Строка карты"));
  column_ = new GappedCurve(probeChart, QStringLiteral("Столбец карты"));
  probeChart->command = [this] { return mapRunCommand(); };
  probeChart->table = [this](const QString&) {
    return probe_ ? probeTable(*probe_, mapRunCommand()) : QByteArray();
  };
  tabs->addTab(probeChart, QStringLiteral("Через точку карты"));
}

void ProfileWindow::buildPhaseChart() {
  phasePage_ = new QWidget(tabs);
  auto* column = new QVBoxLayout(phasePage_);
  phaseChart = new CurveChart(phasePage_, form_.saveDialogs(), QStringLiteral("korvalen-phase"));
  fixedTicks(phaseChart->axisX, 0, 180, 0, 30);
  phaseChart->axisX->setTitleText(QStringLiteral("Фазовый угол g, °"));
  phaseChart->axisY->setTitleText(QStringLiteral("Относительная яркость"));
  lambertCurve_ = new GappedCurve(phaseChart, QStringLiteral("Ламбертов шар"));
  phaseCurve_ = new GappedCurve(phaseChart, QStringLiteral("Шар с этой поверхностью"));
  phaseMark_ = addLine(phaseChart, QStringLiteral("Нынешний g"), true);
  phaseChart->command = [this] { return windowCommand(); };
  phaseChart->table = [this](const QString& fileName) {
    CommandLine line = form_.currentCommandLine();
    line.phaseCurve = fileName;
    return phase_ ? phaseTable(*phase_, commandText(argumentsOf(line))) : QByteArray();
  };
  magnitudeScale = new QCheckBox(QStringLiteral("Шкала &звёздных величин"), phasePage_);
  magnitudeScale->setToolTip(QStringLiteral("−2,5·lg яркости относительно g = 0; ярче — выше"));
  column->addWidget(phaseChart, 1);
  column->addWidget(magnitudeScale);
  tabs->addTab(phasePage_, QStringLiteral("Фазовая кривая диска"));
}

void ProfileWindow::ask(bool equator, bool probe, bool phase) {
  equatorDue_ = equatorDue_ || equator;
  probeDue_ = probeDue_ || probe;
  phaseDue_ = phaseDue_ || phase;
  // The observations' values hang on what the phase curve's do: the model and its parameters.
  observationsDue_ = observationsDue_ || phase;
  if (refreshPosted_) return;
  refreshPosted_ = true;
  QTimer::singleShot(0, this, [this] { refreshNow(); });
}

void ProfileWindow::refreshNow() {
  refreshPosted_ = false;
  if (!isVisible()) return;  // shown again, they are brought up to date
  if (equatorDue_) refreshEquator();
  if (probeDue_) refreshProbe();
  if (phaseDue_ && tabs->currentWidget() == phasePage_) refreshPhase();
  if (observationsDue_ && tabs->currentWidget() == observationPage) {
    observationsDue_ = false;
    observationPage->refresh();
  }
}

void ProfileWindow::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  ask(true, true, true);
}

void ProfileWindow::changeEvent(QEvent* e) {
  QDialog::changeEvent(e);
  if (e->type() == QEvent::PaletteChange) followPalette();
}

void ProfileWindow::refreshEquator() {
  equatorDue_ = false;
  const LightAndModel& lm = form_.st.lm;
  QString note;
  try {
    equator_ = equatorCurve(lm);
  } catch (const RuntimeError& e) {
    equator_.reset();
    note = failureText(e);
  }
  QList<QPointF> points;
  if (equator_)
    for (const EquatorPoint& p : equator_->points) points.append(QPointF(p.gamma, static_cast<double>(p.phi)));
  equatorSeries_->replace(points);
  const double g = phaseAngleDegrees(lm.sourceInclination);
  const double lightGamma = lightLongitudeDegrees(lm.sourceInclination);
  const QString symbol = symbolOf(lm.surfaceModel);
  equatorChart->axisY->setTitleText(quantityCaption(lm.surfaceModel));
  equatorSeries_->setName(symbol + QStringLiteral("(γ)"));
  observerMark_->replace({QPointF(0, kPhiLow), QPointF(0, kPhiHigh)});
  lightMark_->setName(QStringLiteral("Источник, γ = ") + degreesText(lightGamma));
  if (std::fabs(lightGamma) <= 90)
    lightMark_->replace({QPointF(lightGamma, kPhiLow), QPointF(lightGamma, kPhiHigh)});
  else
    lightMark_->clear();
  // The levels in the legend's colours; grey and dashed while the isolines are hidden.
  const bool hidden = form_.st.iso.isolinesHidden == kTrue;
  for (int r = 1; r <= 7; ++r) {
    const double level = form_.st.iso.isolineLevel[r];
    isolines_[r]->replace({QPointF(-90, level), QPointF(90, level)});
    const Colour c = form_.Shape1[static_cast<size_t>(kLegendIndex[r])]->fillColour();
    isolines_[r]->setPen(hidden ? QPen(readable(QColor(128, 128, 128)), 1, Qt::DashLine)
                                : QPen(QColor(redOf(c), greenOf(c), blueOf(c)), 1.5));
  }
  equatorChart->chart()->setTitle(note.isEmpty()
                                      ? symbol + QStringLiteral(" вдоль фотометрического экватора при g = ") + degreesText(g)
                                      : note);
  equatorChart->saveValuesAction->setEnabled(equator_.has_value());
}

void ProfileWindow::refreshProbe() {
  probeDue_ = false;
  const std::optional<Form1::ProbePoint>& point = form_.lastProbePoint();
  QString note;
  probe_.reset();
  if (!point || form_.st.map.probeDisabled == kTrue) {
    note = QStringLiteral("Точки ещё нет: нажмите «Тонировать» и наведите указатель на карту.");
  } else {
    try {
      probe_ = probeCurves(form_.st.view, form_.st.lm, form_.st.map, form_.st.mirror, point->x, point->y,
                           form_.Picture1->raster().widthPixels(), form_.Picture1->raster().heightPixels());
    } catch (const RuntimeError& e) {
      note = failureText(e);
    }
  }
  row_->setRuns(probe_ ? runsOf(probe_->row) : std::vector<QList<QPointF>>{});
  column_->setRuns(probe_ ? runsOf(probe_->column) : std::vector<QList<QPointF>>{});
  if (probe_) {
    double low = 0, high = 0;
    for (const auto* samples : {&probe_->row, &probe_->column})
      for (const ProbeSample& s : *samples) {
        low = std::min(low, s.offset);
        high = std::max(high, s.offset);
      }
    probeChart->axisX->setRange(low, high);
    probeChart->axisX->applyNiceNumbers();
    const QLocale l;
    row_->setName(QStringLiteral("Строка карты, y = ") + l.toString(point->y));
    column_->setName(QStringLiteral("Столбец карты, x = ") + l.toString(point->x));
    note = symbolOf(form_.st.lm.surfaceModel) + QStringLiteral(" вдоль строки и столбца карты через точку зонда");
  }
  probeChart->axisY->setTitleText(quantityCaption(form_.st.lm.surfaceModel));
  probeChart->chart()->setTitle(note);
  probeChart->saveValuesAction->setEnabled(probe_.has_value());
}

void ProfileWindow::refreshPhase() {
  phaseDue_ = false;
  const LightAndModel& lm = form_.st.lm;
  const PhaseInputs inputs{lm.surfaceModel, lm.specularShare, lm.peakSharpness, lm.planetary};
  if (!phaseInputs_ || !(*phaseInputs_ == inputs)) {
    phaseInputs_ = inputs;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
      phase_ = phaseCurve(lm);
      phaseNote_.clear();
    } catch (const RuntimeError& e) {
      phase_.reset();
      phaseNote_ = failureText(e);
    }
    QApplication::restoreOverrideCursor();
    ++phaseFound_;
  }
  drawPhase();
}

void ProfileWindow::drawPhase() {
  const bool magnitudes = magnitudeScale->isChecked();
  // A value of the scale, or none (a dark disc has no magnitude).
  auto valueOf = [magnitudes](double relative) -> std::optional<double> {
    return magnitudes ? magnitudeOf(relative) : std::optional<double>(relative);
  };
  // The scale's range: that of the model's curve, or of the Lambert sphere's
  // without its last degrees, whose magnitudes run off towards infinity.
  const bool shown = phase_ && phase_->defined;
  double low = 0, high = 1;
  auto runsOfValues = [&](auto&& relativeAt, bool ranged) {
    std::vector<QList<QPointF>> runs;
    bool open = false;
    for (int d = 0; d <= kPhaseLastDegree; ++d) {
      const std::optional<double> v = valueOf(relativeAt(d));
      if (!v) {
        open = false;
        continue;
      }
      if (!open) runs.emplace_back();
      open = true;
      runs.back().append(QPointF(d, *v));
      if (!ranged || (magnitudes && d > 170)) continue;
      low = std::min(low, *v);
      high = std::max(high, *v);
    }
    return runs;
  };
  phaseCurve_->setRuns(shown ? runsOfValues([this](int d) { return phase_->points[static_cast<size_t>(d)].relative; }, true)
                             : std::vector<QList<QPointF>>{});
  lambertCurve_->setRuns(runsOfValues([](int d) { return lambertPhaseLaw(d * std::numbers::pi / 180); }, !shown));
  QValueAxis* y = phaseChart->axisY;
  y->setTitleText(magnitudes ? QStringLiteral("Звёздная величина") : QStringLiteral("Относительная яркость"));
  y->setReverse(magnitudes);  // brighter is higher on either scale
  if (magnitudes) {
    y->setTickType(QValueAxis::TicksFixed);
    y->setRange(low, high);
    y->applyNiceNumbers();
  } else {
    fixedTicks(y, kPhiLow, std::max(kPhiHigh, high + 0.05), 0, 0.2);
  }
  const double g = phaseAngleDegrees(form_.st.lm.sourceInclination);
  phaseMark_->setName(QStringLiteral("Нынешний g = ") + degreesText(g));
  phaseMark_->replace({QPointF(g, y->min()), QPointF(g, y->max())});
  QString title = magnitudes ? QStringLiteral("Звёздная величина диска относительно g = 0")
                             : QStringLiteral("Яркость диска относительно g = 0");
  if (!phaseNote_.isEmpty())
    title = phaseNote_;
  else if (phase_ && !phase_->defined)
    title = QStringLiteral("Ф") + phaseCurveUndefinedText().mid(1) + QStringLiteral(".");
  phaseChart->chart()->setTitle(title);
  phaseChart->saveValuesAction->setEnabled(shown);
}

void ProfileWindow::followPalette() {
  const QPalette p = palette();
  for (CurveChart* c : {equatorChart, probeChart, phaseChart}) c->followPalette(p);
  observationPage->followPalette(p);
  const QColor curve = readable(QColor(0, 90, 200));
  const QColor second = readable(QColor(210, 80, 0));
  const QColor mark = readable(QColor(110, 110, 110));
  const QColor light = readable(QColor(220, 150, 0));
  equatorSeries_->setPen(QPen(curve, 2));
  observerMark_->setPen(QPen(mark, 1.5, Qt::DashLine));
  lightMark_->setPen(QPen(light, 1.5, Qt::DashLine));
  row_->setPen(QPen(curve, 2));
  column_->setPen(QPen(second, 2));
  phaseCurve_->setPen(QPen(curve, 2));
  lambertCurve_->setPen(QPen(mark, 1.5, Qt::DashLine));
  phaseMark_->setPen(QPen(light, 1.5, Qt::DashLine));
  // The hidden levels' grey follows the palette too.
  equatorDue_ = true;
  ask(false, false, false);
}

QColor ProfileWindow::readable(const QColor& preferred) const {
  return readableOn(preferred, palette().color(QPalette::Base), 3.0);
}

QString ProfileWindow::windowCommand() const { return commandText(argumentsOf(form_.currentCommandLine())); }

QString ProfileWindow::mapRunCommand() const {
  const auto& run = form_.lastCompletedRun();
  return run ? commandText(argumentsOf(run->line)) : windowCommand();
}

}  // namespace korvalen
