#include "observation_window/fit_panel.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTextDocument>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <memory>

#include "main_window/form1.h"
#include "model_window/model_window.h"
#include "observation_window/comparison_window.h"
#include "observation_window/observation_store.h"
#include "export/report_text.h"
#include "observations/model_values.h"
#include "toolkit/guard.h"

namespace korvalen {

namespace {

}  // namespace

FitPanel::FitPanel(Form1& form, ModelWindow& window, ObservationStore& observations)
    : QGroupBox(QStringLiteral("Подбор по наблюдениям"), &window),
      form_(form),
      window_(window),
      observations_(observations) {
  auto* column = new QVBoxLayout(this);

  auto* source = new QHBoxLayout;
  status_ = new QLabel(this);
  status_->setWordWrap(true);
  status_->setMinimumWidth(260);
  source->addWidget(status_, 1);
  open_ = new QPushButton(QStringLiteral("Открыть на&блюдения…"), this);
  open_->setAutoDefault(false);
  source->addWidget(open_);
  column->addLayout(source);

  auto* actions = new QHBoxLayout;
  fit_ = new QPushButton(QStringLiteral("Подобрать по наблю&дениям…"), this);
  compare_ = new QPushButton(QStringLiteral("&Сравнить модели…"), this);
  restore_ = new QPushButton(QStringLiteral("В&ернуть прежние"), this);
  restore_->setToolTip(QStringLiteral("Вернуть значения, которые были в полях до последнего подбора"));
  compare_->setToolTip(QStringLiteral("Подобрать по наблюдениям каждую модель со всеми её параметрами "
                                      "и сравнить их"));
  for (QPushButton* b : {fit_, compare_, restore_}) {
    b->setAutoDefault(false);
    actions->addWidget(b);
  }
  column->addLayout(actions);

  auto* running = new QHBoxLayout;
  progress_ = new QProgressBar(this);
  progress_->setFormat(QStringLiteral("начальная точка %v из %m"));
  cancel_ = new QPushButton(QStringLiteral("Отмена"), this);
  cancel_->setAutoDefault(false);
  running->addWidget(progress_, 1);
  running->addWidget(cancel_);
  column->addLayout(running);
  progress_->hide();
  cancel_->hide();

  state_ = new QLabel(this);
  state_->setWordWrap(true);
  state_->hide();
  column->addWidget(state_);

  report_ = new QPlainTextEdit(this);
  report_->setReadOnly(true);
  report_->setAccessibleName(QStringLiteral("Отчёт о подборе"));
  report_->setLineWrapMode(QPlainTextEdit::NoWrap);
  report_->hide();
  column->addWidget(report_);

  poll_ = new QTimer(this);
  poll_->setInterval(100);
  connect(poll_, &QTimer::timeout, this, [this] { showProgress(); });

  connect(open_, &QPushButton::clicked, this, [this] { observations_.open(&window_, form_.saveDialogs()); });
  connect(fit_, &QPushButton::clicked, this, [this] { fit(); });
  connect(compare_, &QPushButton::clicked, this, [this] { compare(); });
  connect(restore_, &QPushButton::clicked, this, [this] { restore(); });
  connect(cancel_, &QPushButton::clicked, this, [this] { cancel(); });
  connect(&job_, &FitJob::failed, this, [this](const QString& message) {
    end();
    state_->setText(QStringLiteral("Подбор не удался."));
    QMessageBox::warning(&window_, QStringLiteral("Korvalen"), message);
  });
  connect(&observations_, &ObservationStore::changed, this, [this] { updateButtons(); });
  connect(&window_, &ModelWindow::freeParametersChanged, this, [this] { updateButtons(); });
  connect(&form_, &Form1::surfaceModelChanged, this, [this] { updateButtons(); });
  // Escape stops a running fit rather than closing the window over it.
  window_.installEventFilter(this);
  updateButtons();
}

bool FitPanel::eventFilter(QObject* watched, QEvent* event) {
  if (watched == &window_ && event->type() == QEvent::KeyPress && job_.running() &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
    cancel();
    return true;
  }
  return QGroupBox::eventFilter(watched, event);
}

void FitPanel::updateButtons() {
  status_->setText(observations_.status(locale()));
  const std::shared_ptr<const ObservationTable> table = observations_.table();
  const bool measured = table && table->hasValue();
  const bool idle = !job_.running();
  const bool anyFree = !window_.freeParameters().empty();
  fit_->setEnabled(idle && measured && anyFree);
  fit_->setToolTip(!isPlanetaryModel(form_.st.lm.surfaceModel)
                       ? QStringLiteral("Подбирать можно параметры моделей фотометрии планет (меню «Модель»)")
                   : !anyFree ? QStringLiteral("Отметьте «подбирать» у параметров, которые нужно подобрать")
                              : QStringLiteral("Подобрать отмеченные параметры по наблюдениям; "
                                               "остальные остаются такими, как в полях"));
  compare_->setEnabled(idle && measured);
  restore_->setEnabled(idle && replaced_.has_value());
}

void FitPanel::begin(int expectedStarts) {
  cancelled_ = false;
  expectedStarts_ = expectedStarts;
  const bool hadFocus = fit_->hasFocus() || compare_->hasFocus();
  progress_->setRange(0, 0);  // busy until the first start is announced
  progress_->show();
  cancel_->setEnabled(true);
  cancel_->show();
  state_->setText(QStringLiteral("Идёт подбор…"));
  state_->show();
  updateButtons();
  if (hadFocus) cancel_->setFocus();
  poll_->start();
}

void FitPanel::end() {
  poll_->stop();
  const bool hadFocus = cancel_->hasFocus();
  progress_->hide();
  cancel_->hide();
  updateButtons();
  if (hadFocus) (fit_->isEnabled() ? fit_ : compare_)->setFocus();
}

void FitPanel::showProgress() {
  const int total = std::max(job_.startsTotal(), expectedStarts_);
  if (total <= 0) return;
  progress_->setRange(0, total);
  progress_->setValue(std::min(job_.startsDone(), total));
}

void FitPanel::cancel() {
  if (!job_.running()) return;
  cancelled_ = true;
  job_.cancel();
  cancel_->setEnabled(false);
  state_->setText(QStringLiteral("Отмена подбора…"));
}

void FitPanel::fit() {
  const std::shared_ptr<const ObservationTable> table = observations_.table();
  const std::vector<FitParameter> free = window_.freeParameters();
  const int32_t model = form_.st.lm.surfaceModel;
  if (job_.running() || !table || free.empty() || !isPlanetaryModel(model)) return;
  const PlanetaryParameters start = form_.st.lm.planetary;
  job_.start([this, table, model, start, free](FitControl& control) -> std::function<void()> {
    auto outcome = std::make_shared<FitOutcome>(fitObservations(*table, model, start, free, &control));
    return [this, outcome] { fitDone(*outcome); };
  });
  begin(0);  // its result comes as a queued call, after this
}

void FitPanel::fitDone(const FitOutcome& outcome) {
  end();
  if (cancelled_ || outcome.cancelled) {
    state_->setText(QStringLiteral("Подбор отменён; значения не изменились."));
    return;
  }
  if (!outcome.report) {
    state_->setText(QStringLiteral("Подбор не удался."));
    QMessageBox::warning(&window_, QStringLiteral("Korvalen"), QString::fromStdString(outcome.error));
    return;
  }
  const FitReport& r = *outcome.report;
  showReport(r);
  if (form_.st.lm.surfaceModel != r.model) {
    // The user went on to another model meanwhile: its fields are not this fit's.
    state_->setText(QStringLiteral("Модель сменилась во время подбора: значения не внесены в поля."));
    return;
  }
  enter(r);
  state_->setText(QStringLiteral("Подобранные значения внесены в поля."));
}

void FitPanel::showReport(const FitReport& r) {
  const QStringList lines = reportLines(r, locale());
  report_->setPlainText(lines.join(QLatin1Char('\n')));
  // Every line in sight, without a scroll bar.
  const QMargins m = report_->contentsMargins();
  report_->setFixedHeight(report_->fontMetrics().lineSpacing() * static_cast<int>(lines.size()) +
                          static_cast<int>(2 * report_->document()->documentMargin()) + m.top() + m.bottom() + 2);
  report_->show();
}

void FitPanel::enter(const FitReport& r) {
  Replaced replaced{form_.st.lm.planetary, {}};
  std::vector<std::pair<FitParameter, double>> values;
  for (const FittedValue& v : r.free) {
    replaced.ids.push_back(v.id);
    values.emplace_back(v.id, v.value);
  }
  replaced_ = std::move(replaced);
  window_.enterValues(values);
  updateButtons();
}

void FitPanel::restore() {
  if (!replaced_ || job_.running()) return;
  PlanetaryParameters p = form_.st.lm.planetary;
  for (FitParameter id : replaced_->ids) fitField(p, id) = fitField(replaced_->before, id);
  p.lunarLOfPhase = replaced_->before.lunarLOfPhase;
  replaced_.reset();
  runGuarded([&] { form_.setPlanetaryParameters(p); });
  state_->setText(QStringLiteral("Возвращены значения, бывшие до подбора."));
  state_->show();
  updateButtons();
}

void FitPanel::compare() {
  const std::shared_ptr<const ObservationTable> table = observations_.table();
  if (job_.running() || !table) return;
  const PlanetaryParameters start = form_.st.lm.planetary;
  const QString source = QString::fromStdString(table->source);
  job_.start([this, table, start, source](FitControl& control) -> std::function<void()> {
    auto result = std::make_shared<Comparison>(compareModels(*table, start, &control));
    return [this, result, source] { compareDone(*result, source); };
  });
  begin(comparisonStarts(table->size()));
}

void FitPanel::compareDone(const Comparison& comparison, const QString& source) {
  end();
  if (cancelled_ || comparison.cancelled) {
    state_->setText(QStringLiteral("Сравнение отменено."));
    return;
  }
  if (comparison.rows.empty()) {
    state_->setText(QStringLiteral("Сравнение не удалось."));
    QMessageBox::warning(&window_, QStringLiteral("Korvalen"), QString::fromStdString(comparison.error));
    return;
  }
  state_->setText(QStringLiteral("Модели сравнены; выберите строку, чтобы взять модель."));
  delete comparison_;
  comparison_ = new ComparisonWindow(comparison.rows, source, &window_);
  connect(comparison_, &ComparisonWindow::chosen, this, [this](const FitReport& row) { choose(row); });
  comparison_->show();
  comparison_->raise();
  comparison_->activateWindow();
}

void FitPanel::choose(const FitReport& row) {
  if (job_.running()) return;
  if (row.model == kLambertLaw) {
    // Lambert's law is the matte model of the main window, which has no factor.
    form_.Option1->setChecked(true);
    state_->setText(QStringLiteral("Выбрана матовая модель (закон Ламберта); множителя у неё нет."));
    return;
  }
  if (form_.st.lm.surfaceModel != row.model)
    runGuarded([&] { form_.selectPlanetaryModel(row.model); });
  if (form_.st.lm.surfaceModel != row.model) return;
  enter(row);
  showReport(row);
  state_->setText(QStringLiteral("Выбрана модель %1 с подобранными значениями.")
                      .arg(QString::fromUtf8(fitModelName(row.model))));
}

}  // namespace korvalen
