#include "profile_window/observation_page.h"

#include <QButtonGroup>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPainter>
#include <QRadioButton>
#include <QStackedWidget>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "export/command_line.h"
#include "export/observation_tables.h"
#include "export/quantity.h"
#include "export/report_text.h"
#include "main_window/form1.h"
#include "observation_window/observation_store.h"
#include "observations/model_values.h"
#include "profile_window/curve_chart.h"
#include "raster/diverging_scale.h"
#include "toolkit/appearance.h"

namespace korvalen {

namespace {

// The dots' diameter in the window's pixels: smaller where many crowd together.
qreal dotSize(size_t drawn) { return drawn > 2000 ? 5 : 7; }

QColor qColourOf(Colour c) { return QColor(redOf(c), greenOf(c), blueOf(c)); }

// A dot of the class's colour with a rim that reads on the plot area: the
// scale's pale middle would vanish on a white one without it.
QImage dotOf(const QColor& fill, const QColor& rim) {
  constexpr int kSide = 16;  // drawn at the marker's size; room for a screen scale of 2
  QImage dot(kSide, kSide, QImage::Format_ARGB32_Premultiplied);
  dot.fill(Qt::transparent);
  QPainter p(&dot);
  p.setRenderHint(QPainter::Antialiasing);
  p.setBrush(fill);
  p.setPen(QPen(rim, 2));
  p.drawEllipse(QRectF(1, 1, kSide - 2, kSide - 2));
  return dot;
}

// A series that draws its points as the class's dots and no line between them:
// a line series paints its points itself, where a scatter series makes an item
// of each, which tens of thousands of points make slow.
QLineSeries* addDots(CurveChart* chart) {
  QLineSeries* s = addLine(chart, QString(), false);
  s->setPen(Qt::NoPen);
  s->setPointsVisible(true);
  return s;
}

// The axis over [low, high] in round steps, its labels with as many decimals
// as the step needs. A single value gets a little room about it.
void roundRange(QValueAxis* axis, double low, double high) {
  if (!(high > low)) {
    const double room = std::max(std::fabs(low) * 0.1, 0.05);
    low -= room;
    high += room;
  }
  axis->setTickType(QValueAxis::TicksFixed);
  axis->setTickCount(5);
  axis->setRange(low, high);
  if (std::isfinite(high - low)) axis->applyNiceNumbers();
  const double step = (axis->max() - axis->min()) / std::max(1, axis->tickCount() - 1);
  const int decimals = step > 0 && std::isfinite(step) ? std::clamp(static_cast<int>(std::ceil(-std::log10(step) - 1e-9)), 0, 6) : 0;
  axis->setLabelFormat(QStringLiteral("%.") + QString::number(decimals) + QStringLiteral("f"));
}

QString signedText(double v, const QLocale& l) {
  if (v == 0) return QStringLiteral("0");
  return (v < 0 ? QStringLiteral("−") : QStringLiteral("+")) + l.toString(std::fabs(v), 'g', 3);
}

struct AngleAxis {
  const char* button;
  const char* title;
  const char* tip;
};
constexpr AngleAxis kAngles[] = {
    {"g", "Фазовый угол g, °", "Невязка в зависимости от фазового угла g"},
    {"i", "Угол падения i, °", "Невязка в зависимости от угла падения i"},
    {"e", "Угол отражения e, °", "Невязка в зависимости от угла отражения e"},
};

}  // namespace

int missClass(double miss, double limit) {
  const double t = std::clamp(limit > 0 ? miss / limit : 0.0, -1.0, 1.0);
  if (!(t == t)) return kMissClasses / 2;
  return static_cast<int>(std::lround((t + 1) / 2 * (kMissClasses - 1)));
}

Colour missClassColour(int k) { return divergingColour(-1 + 2.0 * k / (kMissClasses - 1)); }

// ---------------------------------------------------------------------------

MissScale::MissScale(QWidget* parent) : QWidget(parent) {
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void MissScale::setLimit(double limit) {
  limit_ = limit;
  updateGeometry();
  update();
}

QStringList MissScale::labels() const {
  const QLocale l;
  return {signedText(-limit_, l), QStringLiteral("0"), signedText(limit_, l)};
}

QSize MissScale::sizeHint() const {
  const QFontMetrics fm(font());
  int widest = 0;
  for (const QString& s : labels()) widest = std::max(widest, fm.horizontalAdvance(s));
  return QSize(std::max(fm.horizontalAdvance(QLatin1Char('0')) * 16, widest * 3 + fm.height() * 2),
               fm.height() * 2);
}

void MissScale::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QFontMetrics fm(font());
  const QStringList text = labels();
  // The end labels are centred on the bar's ends, so the bar leaves them room.
  const int side = (fm.horizontalAdvance(text[0]) + 1) / 2 + 1;
  const int right = (fm.horizontalAdvance(text[2]) + 1) / 2 + 1;
  const QRect bar(side, 1, width() - side - right, height() - fm.height() - 3);
  for (int x = 0; x < bar.width(); ++x) {
    const double t = bar.width() > 1 ? -1 + 2.0 * x / (bar.width() - 1) : 0;
    p.fillRect(QRect(bar.left() + x, bar.top(), 1, bar.height()), qColourOf(divergingColour(t)));
  }
  const QColor text_ = palette().color(QPalette::WindowText);
  p.setPen(QPen(text_, 1));
  p.setBrush(Qt::NoBrush);
  p.drawRect(bar.adjusted(0, 0, -1, -1));
  const int baseline = height() - fm.descent() - 1;
  const int xs[] = {bar.left(), bar.center().x(), bar.right()};
  for (int k = 0; k < 3; ++k) {
    const int w = fm.horizontalAdvance(text[k]);
    p.drawText(xs[k] - w / 2, baseline, text[k]);
  }
}

// ---------------------------------------------------------------------------

ObservationPage::ObservationPage(Form1& form, ObservationStore& store, QWidget* parent)
    : QWidget(parent), form_(form), store_(store) {
  auto* column = new QVBoxLayout(this);
  pages = new QStackedWidget(this);
  column->addWidget(pages);

  note = new QLabel(pages);
  note->setAlignment(Qt::AlignCenter);
  note->setWordWrap(true);
  note->setMargin(note->fontMetrics().height());
  pages->addWidget(note);

  auto* charts = new QWidget(pages);
  auto* grid = new QVBoxLayout(charts);
  grid->setContentsMargins(0, 0, 0, 0);
  auto* side = new QHBoxLayout;
  grid->addLayout(side, 1);
  fitChart = new CurveChart(charts, form_.saveDialogs(), QStringLiteral("korvalen-observations"));
  fitChart->chart()->setTitle(QStringLiteral("Измерено и по модели"));
  fitChart->axisY->setTitleText(QStringLiteral("Измерено, I/F"));
  missChart = new CurveChart(charts, form_.saveDialogs(), QStringLiteral("korvalen-misses"));
  missChart->chart()->setTitle(QStringLiteral("Невязка: измерено − модель"));
  missChart->axisY->setTitleText(QStringLiteral("Невязка, I/F"));
  missChart->chart()->legend()->hide();
  side->addWidget(fitChart, 1);
  side->addWidget(missChart, 1);
  for (int k = 0; k < kMissClasses; ++k) {
    fitClasses_.push_back(addDots(fitChart));
    missClasses_.push_back(addDots(missChart));
  }
  // Over the dots, so that the line reads through a dense cloud.
  diagonal_ = addLine(fitChart, QStringLiteral("Измерено = модель"), true);
  zero_ = addLine(missChart, QString(), false);
  for (CurveChart* c : {fitChart, missChart}) {
    c->command = [this] { return command(); };
    c->table = [this](const QString&) {
      return shown_ ? residualTable(*shown_->table, shown_->model, command()) : QByteArray();
    };
  }

  auto* row = new QHBoxLayout;
  grid->addLayout(row);
  row->addWidget(new QLabel(QStringLiteral("Невязка против:"), charts));
  abscissa = new QButtonGroup(this);
  for (int k = 0; k < 3; ++k) {
    auto* b = new QRadioButton(QString::fromUtf8(kAngles[k].button), charts);
    b->setToolTip(QString::fromUtf8(kAngles[k].tip));
    abscissa->addButton(b, k);
    row->addWidget(b);
  }
  abscissa->button(kByPhase)->setChecked(true);
  row->addSpacing(fontMetrics().height());
  counts = new QLabel(charts);
  counts->setWordWrap(true);
  row->addWidget(counts, 1);
  auto* caption = new QLabel(QStringLiteral("Цвет — невязка:"), charts);
  caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  row->addWidget(caption);
  scale = new MissScale(charts);
  row->addWidget(scale);
  pages->addWidget(charts);

  connect(abscissa, &QButtonGroup::idClicked, this, [this] { drawMisses(); });
}

// The command that opens the window on this table and model.
QString ObservationPage::command() const {
  CommandLine line = form_.currentCommandLine();
  if (const auto t = store_.table()) line.data = QString::fromStdString(t->source);
  return commandText(argumentsOf(line));
}

void ObservationPage::refresh() {
  const LightAndModel& lm = form_.st.lm;
  const std::shared_ptr<const ObservationTable> table = store_.table();
  const Inputs inputs{lm.surfaceModel, lm.planetary, table};
  if (inputs_ && *inputs_ == inputs) return;
  inputs_ = inputs;
  shown_.reset();
  QString why;
  if (!table) {
    why = QStringLiteral("Наблюдения не открыты (Файл → Открыть наблюдения…).");
  } else if (!table->hasValue()) {
    why = QStringLiteral("В таблице нет измеренных значений: сравнивать модель не с чем.");
  } else if (!canEvaluate(lm.surfaceModel)) {
    why = QStringLiteral("Модель не даёт значений в точках наблюдений.");
  } else {
    Shown s;
    s.table = table;
    s.model = modelValues(lm.surfaceModel, lm.planetary, *table);
    s.miss = residualsOf(lm.surfaceModel, lm.planetary, *table);
    ++found_;
    // Over every row, as the map's colours are: a colour means the same miss in both.
    s.limit = symmetricScaleLimit(s.miss);
    s.step = std::max<size_t>(1, (table->size() + kMostDrawnPoints - 1) / kMostDrawnPoints);
    if (std::none_of(s.miss.begin(), s.miss.end(), [](double v) { return std::isfinite(v); }))
      why = QStringLiteral("Модель не даёт конечных значений ни в одной точке наблюдений.");
    else
      shown_ = std::move(s);
  }
  note->setText(why);
  pages->setCurrentIndex(shown_ ? 1 : 0);
  draw();
}

void ObservationPage::draw() {
  for (CurveChart* c : {fitChart, missChart}) c->saveValuesAction->setEnabled(shown_.has_value());
  if (!shown_) {
    for (auto* classes : {&fitClasses_, &missClasses_})
      for (QLineSeries* s : *classes) s->clear();
    return;
  }
  const Shown& s = *shown_;
  const ObservationTable& t = *s.table;
  std::vector<QList<QPointF>> dots(kMissClasses);
  double low = INFINITY, high = -INFINITY;
  size_t missing = 0, drawn = 0;
  for (size_t r = 0; r < t.size(); ++r) {
    const bool finite = std::isfinite(s.miss[r]) && std::isfinite(s.model[r]);
    if (!finite) ++missing;
    if (r % s.step != 0 || !finite) continue;
    dots[static_cast<size_t>(missClass(s.miss[r], s.limit))].append(QPointF(s.model[r], t.value[r]));
    low = std::min({low, s.model[r], t.value[r]});
    high = std::max({high, s.model[r], t.value[r]});
    ++drawn;
  }
  for (int k = 0; k < kMissClasses; ++k) fitClasses_[static_cast<size_t>(k)]->replace(dots[static_cast<size_t>(k)]);
  for (auto* classes : {&fitClasses_, &missClasses_})
    for (QLineSeries* c : *classes) c->setMarkerSize(dotSize(drawn));
  // One scale on both axes, so that the line of agreement is the diagonal.
  roundRange(fitChart->axisX, low, high);
  QValueAxis* y = fitChart->axisY;
  y->setTickType(QValueAxis::TicksFixed);
  y->setRange(fitChart->axisX->min(), fitChart->axisX->max());
  y->setTickCount(fitChart->axisX->tickCount());
  y->setLabelFormat(fitChart->axisX->labelFormat());
  diagonal_->replace({QPointF(y->min(), y->min()), QPointF(y->max(), y->max())});
  fitChart->axisX->setTitleText(QStringLiteral("Модель, ") + (showsRadianceFactor(form_.st.lm.surfaceModel) ? QStringLiteral("I/F") : QStringLiteral("φ")));
  scale->setLimit(s.limit);

  const QLocale l;
  QString text = pointsText(t.size(), l);
  if (s.step > 1) text += QStringLiteral(", на графиках каждая %1-я").arg(s.step);
  if (missing > 0) text += QStringLiteral("; без значения модели: %1").arg(l.toString(static_cast<qulonglong>(missing)));
  counts->setText(text);
  drawMisses();
}

void ObservationPage::drawMisses() {
  if (!shown_) return;
  const Shown& s = *shown_;
  const ObservationTable& t = *s.table;
  const int by = std::max(0, abscissa->checkedId());
  const std::vector<double>& angle = by == kByIncidence ? t.i : by == kByEmission ? t.e : t.g;
  std::vector<QList<QPointF>> dots(kMissClasses);
  double low = INFINITY, high = -INFINITY, widest = 0;
  for (size_t r = 0; r < t.size(); r += s.step) {
    if (!std::isfinite(s.miss[r]) || !std::isfinite(s.model[r])) continue;
    dots[static_cast<size_t>(missClass(s.miss[r], s.limit))].append(QPointF(angle[r], s.miss[r]));
    low = std::min(low, angle[r]);
    high = std::max(high, angle[r]);
    widest = std::max(widest, std::fabs(s.miss[r]));
  }
  for (int k = 0; k < kMissClasses; ++k) missClasses_[static_cast<size_t>(k)]->replace(dots[static_cast<size_t>(k)]);
  // Angles in whole tens, from 0 where they come near it, with ticks at round
  // steps of degrees; the misses about 0, as much room above as below.
  if (!(high >= low)) low = 0, high = 180;
  const double from = low < 0.25 * high ? 0.0 : std::floor(low / 10) * 10;
  const double to = std::max(from + 10, std::ceil(high / 10) * 10);
  QValueAxis* x = missChart->axisX;
  x->setRange(from, to);
  x->setTickType(QValueAxis::TicksDynamic);
  x->setTickAnchor(0);
  x->setTickInterval(to - from > 120 ? 30 : to - from > 60 ? 15 : to - from > 30 ? 10 : 5);
  roundRange(missChart->axisY, -widest, widest);
  missChart->axisX->setTitleText(QString::fromUtf8(kAngles[by].title));
  zero_->replace({QPointF(missChart->axisX->min(), 0), QPointF(missChart->axisX->max(), 0)});
}

void ObservationPage::followPalette(const QPalette& p) {
  for (CurveChart* c : {fitChart, missChart}) c->followPalette(p);
  const QColor base = p.color(QPalette::Base);
  const QColor line = readableOn(QColor(90, 90, 90), base, 4.5);
  diagonal_->setPen(QPen(line, 1.5, Qt::DashLine));
  zero_->setPen(QPen(line, 1.5, Qt::DashLine));
  // The rim: the text's colour softened halfway towards the plot area.
  const QColor text = p.color(QPalette::Text).toRgb();
  const QColor rim((text.red() + base.red()) / 2, (text.green() + base.green()) / 2, (text.blue() + base.blue()) / 2);
  for (int k = 0; k < kMissClasses; ++k) {
    const QImage dot = dotOf(qColourOf(missClassColour(k)), rim);
    for (QLineSeries* s : {fitClasses_[static_cast<size_t>(k)], missClasses_[static_cast<size_t>(k)]}) {
      s->setLightMarker(dot);
      s->setColor(qColourOf(missClassColour(k)));
    }
  }
  scale->update();
}

}  // namespace korvalen
