// Two models compared over the sphere: model B kept aside, the map drawn as
// the ratio or the difference of the model the window has now (A) and B, the
// probe and the files that follow it, and the dialog that sets it.
#include <QScreen>

#include "comparison/model_comparison.h"
#include "export/comparison_options.h"
#include "export/comparison_table.h"
#include "export/model_options.h"
#include "main_window/compare_dialog.h"
#include "main_window/comparison_legend.h"
#include "main_window/form1.h"
#include "photometry/probe.h"
#include "shading/shading.h"
#include "toolkit/guard.h"

namespace korvalen {

// What the window keeps of a comparison: the settings, what the last run on
// show compared (none while that run drew the normal map), the dialog.
class ComparisonSession : public QObject {
 public:
  explicit ComparisonSession(QObject* parent) : QObject(parent) {}
  ComparisonSettings settings;
  std::optional<ComparisonRunState> lastRun;
  CompareDialog* dialog = nullptr;
};

bool Form1::comparing() const { return comparison_ && comparison_->settings.on; }

const ComparisonSettings* Form1::comparisonSettings() const { return comparison_ ? &comparison_->settings : nullptr; }

CompareDialog* Form1::compareDialog() const { return comparison_ ? comparison_->dialog : nullptr; }

void Form1::setComparison(const ComparedModel& b, ComparisonKind kind, const std::vector<double>& levels) {
  if (!comparison_) comparison_ = new ComparisonSession(this);
  ComparisonSettings& s = comparison_->settings;
  s.on = true;
  s.b = b;
  s.kind = kind;
  s.levels[static_cast<int>(kind)] = levels;
  comparisonChanged();
}

void Form1::endComparison() {
  if (!comparing()) return;
  comparison_->settings.on = false;
  comparisonChanged();
}

void Form1::comparisonChanged() {
  if (comparison_->dialog) comparison_->dialog->showSettings(comparison_->settings);
  // The map on show follows at once, as a click of "Тонировать" draws it.
  if (lastRun_) runGuarded(Command1->onClick);
}

void Form1::showCompareDialog() {
  if (!comparing()) {
    const ComparisonSettings* s = comparisonSettings();
    const ComparisonKind kind = s ? s->kind : ComparisonKind::Ratio;
    setComparison(comparedModelOf(st.lm, st.mirror), kind,
                  s ? s->levels[static_cast<int>(kind)] : defaultComparisonLevels(kind));
  }
  if (!comparison_->dialog) {
    auto* d = new CompareDialog(this);
    d->setWindowFlag(Qt::Dialog);
    comparison_->dialog = d;
    ComparisonSettings& s = comparison_->settings;
    connect(d, &CompareDialog::kindChosen, this, [this, &s](ComparisonKind kind) {
      if (s.kind == kind) return;
      s.kind = kind;
      if (s.on) comparisonChanged();
      else comparison_->dialog->showSettings(s);
    });
    connect(d, &CompareDialog::levelsTyped, this, [this, &s, d](const QString& text) {
      const std::optional<std::vector<double>> levels = readLevelsText(text, QLocale());
      d->markLevels(levels.has_value());
      if (!levels || *levels == s.levelsInEffect()) return;
      s.levels[static_cast<int>(s.kind)] = *levels;
      if (s.on && lastRun_) runGuarded(Command1->onClick);
    });
    connect(d, &CompareDialog::takeCurrentModel, this, [this, &s] {
      s.b = comparedModelOf(st.lm, st.mirror);
      s.on = true;
      comparisonChanged();
    });
    connect(d, &CompareDialog::normalMapChosen, this, [this] { endComparison(); });
    d->showSettings(s);
    // Beside the window where the screen has room, so that it leaves the map in sight.
    d->adjustSize();
    const QRect frame = window()->frameGeometry();
    const QRect beside(QPoint(frame.right() + 8, frame.top()), d->frameGeometry().size());
    if (const QScreen* screen = window()->screen(); screen && screen->availableGeometry().contains(beside))
      d->move(beside.topLeft());
  }
  comparison_->dialog->show();
  comparison_->dialog->raise();
  comparison_->dialog->activateWindow();
}

void Form1::shadeMapOrComparison(const std::function<void(double)>& progress) {
  Raster& picture = Picture1->raster();
  if (!comparing()) {
    shadeMap(st.view, st.lm, st.map, st.iso, st.mirror, picture, progress);
    if (comparison_) comparison_->lastRun.reset();
    return;
  }
  ComparisonSettings& s = comparison_->settings;
  const LightAndModel b = withModel(st.lm, s.b);
  // Under the mirror model phi is 1 only on the spot the model's own run
  // finds: that run is made first, out of sight (A's on the map, which the
  // comparison then covers).
  if (st.lm.surfaceModel == kMirror) shadeMap(st.view, st.lm, st.map, st.iso, st.mirror, picture);
  if (b.surfaceModel == kMirror) {
    Raster scratch(picture.widthPixels(), picture.heightPixels());
    shadeMap(st.view, b, st.map, st.iso, s.b.mirror, scratch);
  }
  const double limit = shadeComparison(st.view, st.map, st.lm, st.mirror, b, s.b.mirror, s.kind, s.levelsInEffect(),
                                       picture, progress);
  drawComparisonLegend(picture, s.kind, limit, Picture1->scale(), QLocale());
  comparison_->lastRun = ComparisonRunState{b, s.b.mirror, s.kind};
}

bool Form1::showComparisonProbe(float x, float y) {
  if (!comparison_ || !comparison_->lastRun) return false;
  const ComparisonRunState& run = *comparison_->lastRun;
  // B under the light as it stands, as A is.
  const LightAndModel b = withModel(st.lm, comparedModelOf(run.b, run.mirrorB));
  const ProbeReading ra = probeAt(st.view, st.lm, st.map, st.mirror, x, y, false);
  const ProbeReading rb = ra.shown ? probeAt(st.view, b, st.map, run.mirrorB, x, y, false) : ProbeReading{};
  if (!rb.shown) {
    Label12->hide();
    return true;
  }
  const QLocale l;
  QString text = QStringLiteral("φA = %1\nφB = %2\n")
                     .arg(l.toString(static_cast<double>(ra.phi), 'f', 3), l.toString(static_cast<double>(rb.phi), 'f', 3));
  const std::optional<double> v = comparedValue(run.kind, ra.phi, rb.phi);
  if (run.kind == ComparisonKind::Difference)
    text += QStringLiteral("φA − φB = %1").arg(l.toString(*v, 'f', 3));
  else if (!v)
    text += QStringLiteral("φA / φB: нет отношения (φB = 0)");
  else
    text += QStringLiteral("φA / φB = %1").arg(*v < 1000 ? l.toString(*v, 'g', 3) : l.toString(*v, 'f', 0));
  Label12->setCaption(text);
  Label12->show();
  Picture1->moveChild(Label12, x + 20.0, y + 20.0);
  probePoint_ = ProbePoint{x, y};
  emit probeShown();
  return true;
}

void Form1::addComparisonOptions(CommandLine& c) const {
  if (!comparing()) return;
  const ComparisonSettings& s = comparison_->settings;
  c.compare = modelOptionsText(s.b.surfaceModel, s.b.specularShare, s.b.peakSharpness, s.b.planetary);
  if (s.kind != ComparisonKind::Ratio) c.compareAs = QLatin1String(kComparisonKindNames[static_cast<int>(s.kind)]);
  if (s.levelsInEffect() != defaultComparisonLevels(s.kind)) {
    QStringList levels;
    for (double v : s.levelsInEffect()) levels << numberText(v);
    c.compareLevels = levels.join(QLatin1Char(','));
  }
}

QByteArray Form1::mapValueTable(const MapRunState& run, const QString& command) const {
  if (comparison_ && comparison_->lastRun) return comparisonTable(run, *comparison_->lastRun, command);
  return valueTable(run, command);
}

}  // namespace korvalen
