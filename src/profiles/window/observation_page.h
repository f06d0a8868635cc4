#pragma once
// The tab "Наблюдения" of the curves window: the table the program holds
// against the present model. One chart sets the measured value against the
// model's with the line where they agree; the other sets the miss (measured −
// modelled) against the phase angle, the incidence or the emission. Each
// point takes the colour the map gives the same miss, on the same scale.
#include <QWidget>
#include <memory>
#include <optional>
#include <vector>

#include "observations/observation_table.h"
#include "photometry/planetary.h"
#include "raster/colour.h"

class QButtonGroup;
class QLabel;
class QLineSeries;
class QStackedWidget;

namespace korvalen {

class CurveChart;
class Form1;
class ObservationStore;

// The colour classes the points are drawn in: the scale's nine stops and the
// midpoints between them, so that a point's colour is the map's to within a
// sixteenth of the scale, and a chart draws seventeen series, not a series a point.
inline constexpr int kMissClasses = 17;
// The class of a miss on a scale of half-range `limit`: 0 the deepest blue,
// kMissClasses - 1 the deepest red, the middle one a miss of 0.
int missClass(double miss, double limit);
// The colour a class is drawn in: the scale's colour at the class's middle.
Colour missClassColour(int k);

// The most points a chart draws; a larger table is drawn a row in every few,
// evenly, and its saved values keep every row.
inline constexpr size_t kMostDrawnPoints = 10000;

// The bar under the charts that reads a colour back as a miss: the scale
// from −limit through 0 to +limit.
class MissScale : public QWidget {
  Q_OBJECT
 public:
  explicit MissScale(QWidget* parent);
  void setLimit(double limit);
  double limit() const { return limit_; }
  // The three numbers written under the bar.
  QStringList labels() const;
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  void paintEvent(QPaintEvent* e) override;

 private:
  double limit_ = 1;
};

class ObservationPage : public QWidget {
  Q_OBJECT
 public:
  ObservationPage(Form1& form, ObservationStore& store, QWidget* parent);

  // The angle the misses are set against; the buttons' ids.
  enum Abscissa { kByPhase, kByIncidence, kByEmission };

  QStackedWidget* pages = nullptr;  // the note or the charts
  QLabel* note = nullptr;           // why there is nothing to show
  CurveChart* fitChart = nullptr;   // measured against modelled
  CurveChart* missChart = nullptr;  // the miss against an angle
  QButtonGroup* abscissa = nullptr;
  MissScale* scale = nullptr;
  QLabel* counts = nullptr;  // how many points, how many drawn

  // What the charts show: the table, the model's value and the miss at each
  // row, the colour scale's half-range, and every how many rows one is drawn.
  struct Shown {
    std::shared_ptr<const ObservationTable> table;
    std::vector<double> model, miss;
    double limit = 1;
    size_t step = 1;
  };
  const std::optional<Shown>& shown() const { return shown_; }
  // One series a colour class on each chart (drawn as dots), and the lines of agreement.
  const std::vector<QLineSeries*>& fitClasses() const { return fitClasses_; }
  const std::vector<QLineSeries*>& missClasses() const { return missClasses_; }
  QLineSeries* diagonal() const { return diagonal_; }
  QLineSeries* zeroLine() const { return zero_; }
  // How many times the model's values have been found.
  int valuesFound() const { return found_; }

  // Brings the tab up to the model and the table held; finds nothing again
  // when neither has changed since.
  void refresh();
  void followPalette(const QPalette& p);

 private:
  void draw();
  void drawMisses();
  QString command() const;

  Form1& form_;
  ObservationStore& store_;
  std::optional<Shown> shown_;
  std::vector<QLineSeries*> fitClasses_, missClasses_;
  QLineSeries* diagonal_ = nullptr;
  QLineSeries* zero_ = nullptr;
  // What the values were found for. The table is held, so that a table read
  // later can never take its address and pass for it.
  struct Inputs {
    int32_t model;
    PlanetaryParameters planetary;
    std::shared_ptr<const ObservationTable> table;
    bool operator==(const Inputs&) const = default;
  };
  std::optional<Inputs> inputs_;
  int found_ = 0;
};

}  // namespace korvalen
