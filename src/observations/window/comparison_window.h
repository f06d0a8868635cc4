#pragma once
// "Сравнение моделей": every model fitted to the same observations, best
// first by BIC. Choosing a row (a double click, Enter, "Выбрать") hands its
// fit to whoever selects the model; the window stays open for another choice.
#include <QDialog>
#include <vector>

#include "observations/fit.h"

class QPushButton;
class QTableWidget;

namespace korvalen {

class ComparisonWindow : public QDialog {
  Q_OBJECT
 public:
  // rows as compareModels gives them, sorted by BIC.
  ComparisonWindow(std::vector<FitReport> rows, const QString& source, QWidget* parent);

  QTableWidget* table() const { return table_; }
  QPushButton* chooseButton() const { return choose_; }
  const std::vector<FitReport>& rows() const { return rows_; }

 signals:
  void chosen(const korvalen::FitReport& row);

 private:
  void chooseCurrent();

  std::vector<FitReport> rows_;
  QTableWidget* table_ = nullptr;
  QPushButton* choose_ = nullptr;
};

}  // namespace korvalen
