#pragma once
// The observations over the map: a mark at each orientation where an
// observation near the map's phase angle lies, coloured by the model's miss
// there, the legend of those colours, and what the probe says over a mark.
// The marks are drawn into a transparent layer of the map's size, which the
// picture box shows over the map and every copy of the map carries.
#include <QColor>
#include <QFont>
#include <QImage>
#include <QLocale>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "observations/map_marks.h"
#include "observations/observation_table.h"
#include "photometry/model_state.h"
#include "raster/colour.h"

namespace korvalen {

class ObservationMarks {
 public:
  void setTable(std::shared_ptr<const ObservationTable> table);
  const std::shared_ptr<const ObservationTable>& table() const { return table_; }

  // What the layer is drawn with: the map's run, the picture's size and
  // scale (screen pixels per window pixel), the legend's font and colours.
  struct Canvas {
    int width = 0, height = 0;
    double scale = 1;
    QFont font;
    QColor paper, ink;  // the legend's background and text
  };
  // Places the marks for the map drawn by this run and draws their layer;
  // a null image where nothing is to be shown.
  QImage draw(const ViewAndRotation& view, const LightAndModel& lm, const MapPicture& map,
              double toleranceDegrees, const Canvas& canvas);
  // Forgets the marks (their layer is taken off the map).
  void clear();

  // The marks of the last layer, in the order they were drawn (the last on top).
  const std::vector<MapMark>& marks() const { return marks_; }
  // The miss at an observation under the run's model, and the half-range of
  // the colour scale; no misses where the table or the model gives none.
  const std::vector<double>& residuals() const { return residuals_; }
  double residualLimit() const { return limit_; }
  // The colour of a row's mark: the scale's colour of its miss to the
  // nearest of 255 steps, or a grey where the miss is not known.
  Colour colourOf(uint32_t row) const;

  // What the probe shows over the point (x, y) of the picture: the topmost
  // mark there, its observation and the model's value; none off the marks.
  std::optional<QString> probeText(float x, float y, const QLocale& locale) const;

 private:
  void findResiduals(const LightAndModel& lm);
  // The place of a row's miss on the colour scale, -1..1 (0 where unknown).
  double shadeOf(uint32_t row) const;

  void drawLegend(QImage& layer, const LightAndModel& lm, double toleranceDegrees, size_t rows,
                  const Canvas& canvas) const;
  void drawMarks(QImage& layer) const;
  int markRadius() const;

  std::shared_ptr<const ObservationTable> table_;
  // The misses belong to a table and a model with its parameters; a new
  // rotation or light finds them as they were.
  const ObservationTable* residualTable_ = nullptr;
  int32_t residualModel_ = 0;
  PlanetaryParameters residualParameters_;
  std::vector<double> model_, residuals_;
  MarkCosines cosines_;
  // Each row's place on the colour scale in steps: 0 the deepest blue,
  // kMiddleLevel the neutral, 2 kMiddleLevel the deepest red; kUnknownLevel
  // where the miss is not known.
  static constexpr int kMiddleLevel = 127;
  static constexpr int kUnknownLevel = 255;
  std::vector<uint8_t> level_;
  double limit_ = 0;
  std::vector<MapMark> marks_;
  double scale_ = 1;
};

}  // namespace korvalen
