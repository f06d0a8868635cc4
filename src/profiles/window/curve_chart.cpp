#include "profile_window/curve_chart.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLegendMarker>
#include <QMenu>
#include <QPainter>
#include <QSvgGenerator>
#include <QValueAxis>

#include "export/command_line.h"
#include "export/output_files.h"
#include "main_window/save_dialogs.h"

namespace korvalen {

namespace {

QColor between(const QColor& a, const QColor& b, double t) {
  const QColor x = a.toRgb(), y = b.toRgb();
  auto m = [t](int p, int q) { return static_cast<int>(p + (q - p) * t + 0.5); };
  return QColor(m(x.red(), y.red()), m(x.green(), y.green()), m(x.blue(), y.blue()));
}

}  // namespace

CurveChart::CurveChart(QWidget* parent, SaveDialogs& saving, const QString& stem)
    : QChartView(parent), saving_(saving), stem_(stem) {
  auto* c = new QChart;
  c->setTheme(QChart::ChartThemeLight);
  c->setAnimationOptions(QChart::NoAnimation);
  c->setBackgroundRoundness(0);
  c->setLocalizeNumbers(true);
  c->setLocale(QLocale());
  c->legend()->setAlignment(Qt::AlignBottom);
  setChart(c);
  setRenderHint(QPainter::Antialiasing);
  setFocusPolicy(Qt::StrongFocus);
  setRubberBand(QChartView::NoRubberBand);

  axisX = new QValueAxis(c);
  axisY = new QValueAxis(c);
  // Degrees and pixels whole, phi and brightness to a tenth; the user's decimal
  // separator (the chart's numbers follow the locale only with these formats).
  axisX->setLabelFormat(QStringLiteral("%.0f"));
  axisY->setLabelFormat(QStringLiteral("%.1f"));
  c->addAxis(axisX, Qt::AlignBottom);
  c->addAxis(axisY, Qt::AlignLeft);

  menu = new QMenu(this);
  copyAction = menu->addAction(QStringLiteral("Копировать изображение"));
  saveImageAction = menu->addAction(QStringLiteral("Сохранить изображение…"));
  saveValuesAction = menu->addAction(QStringLiteral("Сохранить значения…"));
  saveValuesAction->setEnabled(false);
  connect(copyAction, &QAction::triggered, this, [this] { QApplication::clipboard()->setImage(picture()); });
  connect(saveImageAction, &QAction::triggered, this, [this] {
    saving_.askAndSave(this, QStringLiteral("Сохранить изображение"),
                       {QStringLiteral("Изображения PNG (*.png)"), QStringLiteral("Рисунки SVG (*.svg)")},
                       stem_ + QStringLiteral(".png"),
                       [this](const QString& path, const QString& filter) { return savePicture(path, filter); });
  });
  connect(saveValuesAction, &QAction::triggered, this, [this] {
    if (!table) return;
    saving_.askAndSave(this, QStringLiteral("Сохранить значения"), {QStringLiteral("Таблица CSV (*.csv)")},
                       stem_ + QStringLiteral(".csv"),
                       [this](const QString& path, const QString&) { return saveValues(path); });
  });
}

QImage CurveChart::picture() {
  // The widget's own pixels at the screen's scale, as the screen shows it.
  return grab().toImage();
}

QByteArray CurveChart::svg() {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QSvgGenerator generator;
  generator.setOutputDevice(&buffer);
  generator.setSize(size());
  generator.setViewBox(QRect(QPoint(0, 0), size()));
  generator.setTitle(chart()->title().isEmpty() ? stem_ : chart()->title());
  generator.setDescription(softwareName() + QStringLiteral(": ") + (command ? command() : QString()));
  QPainter painter(&generator);
  painter.setRenderHint(QPainter::Antialiasing);
  render(&painter, QRectF(QPoint(0, 0), size()), viewport()->rect());
  painter.end();
  return bytes;
}

bool CurveChart::savePicture(const QString& path, const QString& filter) {
  const QString suffix = QFileInfo(path).suffix().toLower();
  const bool asSvg = suffix == QLatin1String("svg") ||
                     (suffix != QLatin1String("png") && filter.contains(QLatin1String("*.svg")));
  return writeFileOrTell(this, path, asSvg ? svg() : pngOf(picture(), command ? command() : QString()));
}

bool CurveChart::saveValues(const QString& path) {
  if (!table) return false;
  return writeFileOrTell(this, path, table(QFileInfo(path).fileName()));
}

void CurveChart::followPalette(const QPalette& p) {
  const QColor text = p.color(QPalette::WindowText);
  QChart* c = chart();
  c->setBackgroundBrush(p.window());
  c->setBackgroundPen(Qt::NoPen);
  c->setPlotAreaBackgroundBrush(p.base());
  c->setPlotAreaBackgroundVisible(true);
  c->setTitleBrush(text);
  c->legend()->setLabelColor(text);
  c->legend()->setBrush(Qt::NoBrush);
  c->legend()->setPen(Qt::NoPen);
  for (QValueAxis* a : {axisX, axisY}) {
    a->setLabelsColor(text);
    a->setTitleBrush(text);
    a->setGridLineColor(between(p.color(QPalette::Base), p.color(QPalette::Text), 0.18));
    a->setLinePenColor(between(p.color(QPalette::Base), p.color(QPalette::Text), 0.55));
  }
}

// The right button, the menu key and Shift+F10 open the menu, as over the form's pictures.
void CurveChart::contextMenuEvent(QContextMenuEvent* e) {
  menu->popup(e->reason() == QContextMenuEvent::Mouse ? e->globalPos() : mapToGlobal(QPoint(8, 8)));
}

void CurveChart::keyPressEvent(QKeyEvent* e) {
  const bool menuKey = e->key() == Qt::Key_Menu && e->modifiers() == Qt::NoModifier;
  const bool shiftF10 = e->key() == Qt::Key_F10 && e->modifiers() == Qt::ShiftModifier;
  if (menuKey || shiftF10) {
    menu->popup(mapToGlobal(QPoint(8, 8)));
    return;
  }
  QChartView::keyPressEvent(e);
}

// ---------------------------------------------------------------------------

GappedCurve::GappedCurve(CurveChart* chart, const QString& name) : chart_(chart) {
  add()->setName(name);
}

QLineSeries* GappedCurve::add() {
  auto* s = new QLineSeries;
  chart_->chart()->addSeries(s);
  s->attachAxis(chart_->axisX);
  s->attachAxis(chart_->axisY);
  s->setPen(pen_);
  if (!series_.empty()) {
    s->setName(series_.front()->name());
    for (QLegendMarker* m : chart_->chart()->legend()->markers(s)) m->setVisible(false);
  }
  series_.push_back(s);
  return s;
}

void GappedCurve::setRuns(const std::vector<QList<QPointF>>& runs) {
  while (series_.size() < runs.size()) add();
  for (size_t k = 0; k < series_.size(); ++k) {
    if (k < runs.size()) {
      series_[k]->replace(runs[k]);
      series_[k]->setPointsVisible(runs[k].size() == 1);
    } else {
      series_[k]->clear();
    }
  }
}

void GappedCurve::setPen(const QPen& pen) {
  pen_ = pen;
  for (QLineSeries* s : series_) {
    s->setPen(pen);
    s->setColor(pen.color());
  }
}

void GappedCurve::setName(const QString& name) {
  for (QLineSeries* s : series_) s->setName(name);
}

std::vector<QList<QPointF>> GappedCurve::runs() const {
  std::vector<QList<QPointF>> r;
  for (const QLineSeries* s : series_)
    if (s->count() > 0) r.push_back(s->points());
  return r;
}

QLineSeries* addLine(CurveChart* chart, const QString& name, bool inLegend) {
  auto* s = new QLineSeries;
  s->setName(name);
  chart->chart()->addSeries(s);
  s->attachAxis(chart->axisX);
  s->attachAxis(chart->axisY);
  if (!inLegend)
    for (QLegendMarker* m : chart->chart()->legend()->markers(s)) m->setVisible(false);
  return s;
}

}  // namespace korvalen
