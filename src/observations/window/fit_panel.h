#pragma once
// The fitting part of the parameter window: the observations held, the fit of
// the shown model's free parameters ("подбирать" beside their fields) and the
// comparison of every model, each run on a thread of its own with its progress
// and "Отмена"; the report of the last fit; "Вернуть прежние", which puts back
// the values a fit or a choice of the comparison replaced.
#include <QGroupBox>
#include <optional>
#include <vector>

#include "observation_window/fit_job.h"
#include "observations/fit.h"

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTimer;

namespace korvalen {

class ComparisonWindow;
class Form1;
class ModelWindow;
class ObservationStore;

class FitPanel : public QGroupBox {
  Q_OBJECT
 public:
  FitPanel(Form1& form, ModelWindow& window, ObservationStore& observations);

  QLabel* statusLabel() const { return status_; }
  QLabel* stateLabel() const { return state_; }
  QPushButton* openButton() const { return open_; }
  QPushButton* fitButton() const { return fit_; }
  QPushButton* compareButton() const { return compare_; }
  QPushButton* restoreButton() const { return restore_; }
  QPushButton* cancelButton() const { return cancel_; }
  QProgressBar* progressBar() const { return progress_; }
  QPlainTextEdit* reportView() const { return report_; }
  // The window of the last comparison; none before the first.
  ComparisonWindow* comparisonWindow() const { return comparison_; }
  bool running() const { return job_.running(); }

  void fit();
  void compare();
  void cancel();
  void restore();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void updateButtons();
  void begin(int expectedStarts);
  void end();
  void showProgress();
  void fitDone(const FitOutcome& outcome);
  void compareDone(const Comparison& comparison, const QString& source);
  void choose(const FitReport& row);
  void showReport(const FitReport& r);
  // The fit's values into the fields as typed, what they replace kept for "Вернуть прежние".
  void enter(const FitReport& r);

  Form1& form_;
  ModelWindow& window_;
  ObservationStore& observations_;
  QLabel* status_ = nullptr;
  QLabel* state_ = nullptr;
  QPushButton* open_ = nullptr;
  QPushButton* fit_ = nullptr;
  QPushButton* compare_ = nullptr;
  QPushButton* restore_ = nullptr;
  QPushButton* cancel_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QPlainTextEdit* report_ = nullptr;
  QTimer* poll_ = nullptr;
  ComparisonWindow* comparison_ = nullptr;
  int expectedStarts_ = 0;  // a comparison's starts, known before its fits announce them
  bool cancelled_ = false;  // "Отмена" pressed: whatever the work hands back changes nothing
  struct Replaced {
    PlanetaryParameters before;
    std::vector<FitParameter> ids;
  };
  std::optional<Replaced> replaced_;
  FitJob job_;  // last: cancelled and waited for before anything it reports to goes
};

}  // namespace korvalen
