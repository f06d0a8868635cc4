// The observations over the map, and the isoline levels taken from the map.
#include <QPalette>
#include <algorithm>
#include <cmath>
#include <thread>

#include "main_window/form1.h"
#include "photometry/probe.h"
#include "toolkit/guard.h"
#include "workers/helpers.h"

namespace korvalen {

void Form1::setObservations(std::shared_ptr<const ObservationTable> table) {
  marks_.setTable(std::move(table));
  redrawMarks();
}

void Form1::setMarksShown(bool on) {
  marksShown_ = on;
  redrawMarks();
}

void Form1::setMarkTolerance(double degrees) {
  if (!(degrees >= 0 && degrees <= 180)) return;
  markTolerance_ = degrees;
  redrawMarks();
}

void Form1::redrawMarks() {
  // The command of the map's picture names the table and the tolerance only
  // while the marks are drawn.
  mapLine_.data.clear();
  mapLine_.dataTolerance.reset();
  // The comparison of two models is a picture of the models alone: the
  // misses of one of them would stand over the legend of both.
  if (!marksShown_ || !marks_.table() || !lastRun_ || comparing()) {
    marks_.clear();
    Picture1->setOverlay({});
    return;
  }
  const MapRunState& s = lastRun_->state;
  const QPalette palette = this->palette();
  const ObservationMarks::Canvas canvas{Picture1->raster().widthPixels(), Picture1->raster().heightPixels(),
                                        Picture1->scale(), font(), palette.color(QPalette::Window),
                                        palette.color(QPalette::WindowText)};
  Picture1->setOverlay(marks_.draw(s.view, s.lm, s.map, markTolerance_, canvas));
  mapLine_.data = QString::fromStdString(marks_.table()->source);
  if (markTolerance_ != kDefaultMarkTolerance) mapLine_.dataTolerance = numberText(markTolerance_);
}

bool Form1::probeMark(float x, float y) {
  if (Picture1->overlay().isNull()) return false;
  const std::optional<QString> text = marks_.probeText(x, y, QLocale());
  if (!text) return false;
  Label12->setCaption(*text);
  // Beside the pointer, kept inside the picture.
  const double s = Picture1->scale();
  const double w = Label12->width() * s, h = Label12->height() * s;
  double left = x + 20, top = y + 20;
  if (left + w > Picture1->widthF()) left = std::max(0.0, x - 10 - w);
  if (top + h > Picture1->heightF()) top = std::max(0.0, y - 10 - h);
  Label12->show();
  Picture1->moveChild(Label12, left, top);
  return true;
}

namespace {

// A level as the box shows it: two significant digits, no exponent.
QString levelText(double v) {
  if (v == 0) return QStringLiteral("0");
  const int decimals = std::max(0, 1 - static_cast<int>(std::floor(std::log10(std::fabs(v)))));
  return QString::number(v, 'f', std::min(decimals, 12));
}

}  // namespace

bool Form1::setLevelsFromMap() {
  if (!lastRun_) {
    runGuarded(Command1->onClick);
    if (!lastRun_) return false;
  }
  // The smallest and largest phi of the lit points the probe reads, row by
  // row on the helper threads.
  const MapRunState& s = lastRun_->state;
  struct Range {
    float low = 2, high = -1;
  };
  std::vector<Range> rows(static_cast<size_t>(s.heightPixels));
  const int helpers = static_cast<int>(std::max(1u, std::thread::hardware_concurrency())) - 1;
  if (!runGuarded([&] {
        // A fault in a row is found again, on this thread, to be told.
        std::vector<char> failed(rows.size(), 0);
        Helpers::instance().run(rows.size(), helpers, [&](size_t y) {
          try {
            for (int x = 0; x < s.widthPixels; ++x) {
              const ProbeReading r =
                  probeAt(s.view, s.lm, s.map, s.mirror, static_cast<float>(x), static_cast<float>(y), false);
              if (!r.shown || !(r.angles.cosI > 0)) continue;
              rows[y].low = std::min(rows[y].low, r.phi);
              rows[y].high = std::max(rows[y].high, r.phi);
            }
          } catch (...) {
            failed[y] = 1;
          }
        });
        for (size_t y = 0; y < rows.size(); ++y)
          if (failed[y])
            for (int x = 0; x < s.widthPixels; ++x)
              probeAt(s.view, s.lm, s.map, s.mirror, static_cast<float>(x), static_cast<float>(y), false);
      }))
    return false;
  Range all;
  for (const Range& r : rows) all.low = std::min(all.low, r.low), all.high = std::max(all.high, r.high);
  if (all.high < all.low) {
    reportFailure(kNoLitPoints.toStdString());
    return false;
  }
  // Row 1, at the top, the highest; the extremes themselves are left to the
  // map's lightest and darkest points.
  for (int r = 1; r <= 7; ++r) {
    const double v = all.low + (static_cast<double>(all.high) - all.low) * (8 - r) / 8;
    Text8[kLegendIndex[r]]->setText(levelText(v).replace(QLatin1Char('.'), QLocale().decimalPoint()));
  }
  if (!liveShading_) runGuarded(Command1->onClick);
  return true;
}

}  // namespace korvalen
