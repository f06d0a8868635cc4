#pragma once
// A chart of the curves window: a chart view with the menu every picture of
// the program has (the right button, the menu key, Shift+F10): the picture to
// the clipboard, the picture to a file (PNG at the screen's pixels, or SVG),
// the values to a table. Its colours are the window's palette, light or dark.
#include <QChartView>
#include <QLineSeries>
#include <QList>
#include <QPen>
#include <QPointF>
#include <functional>
#include <vector>

class QAction;
class QMenu;
class QValueAxis;

namespace korvalen {

class SaveDialogs;

class CurveChart : public QChartView {
  Q_OBJECT
 public:
  // stem: the file name the save dialogs propose, without its suffix.
  CurveChart(QWidget* parent, SaveDialogs& saving, const QString& stem);

  QValueAxis* axisX = nullptr;
  QValueAxis* axisY = nullptr;

  QMenu* menu = nullptr;
  QAction* copyAction = nullptr;
  QAction* saveImageAction = nullptr;
  QAction* saveValuesAction = nullptr;  // enabled while there are values to save

  // The table "Сохранить значения…" writes, given the file's name (for the
  // command line in its head).
  std::function<QByteArray(const QString& fileName)> table;
  // The command that sets the window as the curve was drawn, for the pictures' texts.
  std::function<QString()> command;

  // The chart as shown, at the screen's pixels.
  QImage picture();
  // The chart as SVG drawing.
  QByteArray svg();
  // By the file's suffix: .svg is SVG, .png is PNG; a name with neither takes the filter's kind.
  bool savePicture(const QString& path, const QString& filter);
  bool saveValues(const QString& path);

  // Background, plot area, titles, labels, grid and legend from the window's
  // palette (which reaches the window before its children).
  void followPalette(const QPalette& p);

 protected:
  void contextMenuEvent(QContextMenuEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;

 private:
  SaveDialogs& saving_;
  QString stem_;
};

// A curve with gaps: one line series for each run of points between them, all
// drawn with the same pen, the first alone named in the legend. A run of one
// point shows as a dot.
class GappedCurve {
 public:
  GappedCurve(CurveChart* chart, const QString& name);
  void setRuns(const std::vector<QList<QPointF>>& runs);
  void setPen(const QPen& pen);
  void setName(const QString& name);
  // The series, one a run; those beyond the runs are empty.
  const std::vector<QLineSeries*>& series() const { return series_; }
  // The runs as shown.
  std::vector<QList<QPointF>> runs() const;

 private:
  QLineSeries* add();
  CurveChart* chart_;
  QPen pen_;
  std::vector<QLineSeries*> series_;
};

// A line series of fixed points (a mark, a level) kept out of the legend or
// named in it.
QLineSeries* addLine(CurveChart* chart, const QString& name, bool inLegend);

}  // namespace korvalen
