#pragma once
// "Профили φ": the curves beside the map, one tab each: phi along the
// photometric equator, phi along the map's row and column through the
// probe's last point, the disc's phase curve, and the observations held
// against the model. They follow the main window's model, light, parameters
// and probe, and the observations opened; the phase curve and the
// observations, the costly ones, are found only while their tab is shown.
#include <QDialog>
#include <optional>

#include "profiles/equator_curve.h"
#include "profiles/phase_curve.h"
#include "profiles/probe_curves.h"

class QCheckBox;
class QLineSeries;
class QTabWidget;

namespace korvalen {

class CurveChart;
class Form1;
class GappedCurve;
class ObservationPage;
class ObservationStore;

class ProfileWindow : public QDialog {
  Q_OBJECT
 public:
  ProfileWindow(Form1& form, ObservationStore& observations, QWidget* parent = nullptr);
  ~ProfileWindow() override;

  QTabWidget* tabs = nullptr;
  CurveChart* equatorChart = nullptr;
  CurveChart* probeChart = nullptr;
  CurveChart* phaseChart = nullptr;
  QCheckBox* magnitudeScale = nullptr;  // the phase curve in magnitudes
  ObservationPage* observationPage = nullptr;

  // The curves as the charts show them; none where a curve could not be found
  // (its chart's title says why) or, for the phase curve, has not been yet.
  const std::optional<EquatorCurve>& equator() const { return equator_; }
  const std::optional<ProbeCurves>& probe() const { return probe_; }
  const std::optional<PhaseCurve>& phase() const { return phase_; }
  // The series drawn, for a look at what the charts show.
  QLineSeries* equatorSeries() const { return equatorSeries_; }
  const GappedCurve& rowCurve() const { return *row_; }
  const GappedCurve& columnCurve() const { return *column_; }
  const GappedCurve& phaseSeries() const { return *phaseCurve_; }
  // How many times the phase curve has been found.
  int phaseCurvesFound() const { return phaseFound_; }

  // The curves follow the main window at the next turn of the event loop,
  // once whatever changed has settled; this brings them up to date at once.
  void refreshNow();

 protected:
  void showEvent(QShowEvent* e) override;
  void changeEvent(QEvent* e) override;

 private:
  void buildEquatorChart();
  void buildProbeChart();
  void buildPhaseChart();
  void ask(bool equator, bool probe, bool phase);
  void refreshEquator();
  void refreshProbe();
  void refreshPhase();
  void drawPhase();
  void followPalette();
  // A curve's colour that reads on the plot area.
  QColor readable(const QColor& preferred) const;
  QString windowCommand() const;
  QString mapRunCommand() const;

  Form1& form_;
  std::optional<EquatorCurve> equator_;
  std::optional<ProbeCurves> probe_;
  std::optional<PhaseCurve> phase_;
  QString phaseNote_;  // why the phase curve could not be found

  QLineSeries* equatorSeries_ = nullptr;
  QLineSeries* observerMark_ = nullptr;
  QLineSeries* lightMark_ = nullptr;
  QLineSeries* isolines_[8] = {};
  GappedCurve* row_ = nullptr;
  GappedCurve* column_ = nullptr;
  GappedCurve* phaseCurve_ = nullptr;
  GappedCurve* lambertCurve_ = nullptr;
  QLineSeries* phaseMark_ = nullptr;
  QWidget* phasePage_ = nullptr;

  bool equatorDue_ = false, probeDue_ = false, phaseDue_ = false, observationsDue_ = false;
  bool refreshPosted_ = false;
  // What the phase curve was found for: the model and its parameters.
  struct PhaseInputs {
    int32_t model;
    float s, n;
    PlanetaryParameters planetary;
    bool operator==(const PhaseInputs&) const = default;
  };
  std::optional<PhaseInputs> phaseInputs_;
  int phaseFound_ = 0;
};

}  // namespace korvalen
