#include "observation_window/comparison_window.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "export/report_text.h"

namespace korvalen {

ComparisonWindow::ComparisonWindow(std::vector<FitReport> rows, const QString& source, QWidget* parent)
    : QDialog(parent), rows_(std::move(rows)) {
  setWindowTitle(QStringLiteral("Сравнение моделей — %1").arg(QFileInfo(source).fileName()));
  setModal(false);
  auto* column = new QVBoxLayout(this);
  auto* note = new QLabel(
      QStringLiteral("Каждая модель подобрана по тем же наблюдениям со свободным множителем и всеми "
                     "своими параметрами. Лучшая — с наименьшим BIC; ΔBIC больше 10 — сильный довод "
                     "против модели."),
      this);
  note->setWordWrap(true);
  column->addWidget(note);

  const QLocale l = locale();
  const QStringList headers{QStringLiteral("Модель"), QStringLiteral("Свободные параметры"),
                            QStringLiteral("RMS"),    QStringLiteral("Приведённый χ²"),
                            QStringLiteral("AIC"),    QStringLiteral("BIC"),
                            QStringLiteral("ΔBIC")};
  table_ = new QTableWidget(static_cast<int>(rows_.size()), static_cast<int>(headers.size()), this);
  table_->setHorizontalHeaderLabels(headers);
  table_->verticalHeader()->hide();
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setTabKeyNavigation(false);  // Tab goes on to the buttons
  const double best = rows_.empty() ? 0 : rows_.front().bic;
  for (size_t r = 0; r < rows_.size(); ++r) {
    const FitReport& f = rows_[r];
    const QString cells[] = {
        QString::fromUtf8(fitModelName(f.model)),
        freeValuesText(f, l),
        shownNumber(f.rms, l),
        f.reducedChi2 ? shownNumber(*f.reducedChi2, l) : QStringLiteral("—"),
        shownNumber(f.aic, l),
        shownNumber(f.bic, l),
        shownNumber(f.bic - best, l),
    };
    for (int c = 0; c < headers.size(); ++c) {
      auto* item = new QTableWidgetItem(cells[c]);
      if (c >= 2) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      table_->setItem(static_cast<int>(r), c, item);
    }
  }
  table_->resizeColumnsToContents();
  table_->resizeRowsToContents();
  table_->horizontalHeader()->setStretchLastSection(true);
  // Every row and column in sight, without scroll bars.
  const int frame = 2 * table_->frameWidth();
  table_->setMinimumWidth(std::min(table_->horizontalHeader()->length() + frame, 1200));
  table_->setFixedHeight(table_->horizontalHeader()->sizeHint().height() +
                         table_->verticalHeader()->length() + frame);
  column->addWidget(table_);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  choose_ = new QPushButton(QStringLiteral("&Выбрать"), this);
  choose_->setDefault(true);
  choose_->setToolTip(QStringLiteral("Выбрать модель этой строки с подобранными значениями"));
  auto* close = new QPushButton(QStringLiteral("&Закрыть"), this);
  close->setAutoDefault(false);
  buttons->addWidget(choose_);
  buttons->addWidget(close);
  column->addLayout(buttons);

  // Enter in the table reaches the default button; the table itself does
  // nothing with it, so a row is never chosen twice.
  connect(choose_, &QPushButton::clicked, this, &ComparisonWindow::chooseCurrent);
  connect(table_, &QTableWidget::cellDoubleClicked, this, [this] { chooseCurrent(); });
  connect(close, &QPushButton::clicked, this, &QDialog::close);
  connect(table_, &QTableWidget::itemSelectionChanged, this,
          [this] { choose_->setEnabled(!table_->selectedItems().isEmpty()); });
  if (!rows_.empty()) table_->selectRow(0);
  table_->setFocus();
}

void ComparisonWindow::chooseCurrent() {
  const int row = table_->currentRow();
  if (row < 0 || row >= static_cast<int>(rows_.size())) return;
  emit chosen(rows_[static_cast<size_t>(row)]);
}

}  // namespace korvalen
