#include "comparison/model_comparison.h"

#include <algorithm>
#include <limits>
#include <cmath>
#include <cstdint>
#include <exception>
#include <thread>

#include "photometry/geometry.h"
#include "photometry/planetary.h"
#include "photometry/probe.h"
#include "raster/diverging_scale.h"
#include "shading/point_batch.h"
#include "workers/helpers.h"

namespace korvalen {

ComparedModel comparedModelOf(const LightAndModel& lm, const MirrorSpot& mirror) {
  return {lm.surfaceModel, lm.specularShare, lm.peakSharpness, lm.planetary, mirror};
}

LightAndModel withModel(const LightAndModel& light, const ComparedModel& m) {
  LightAndModel lm = light;
  lm.surfaceModel = m.surfaceModel;
  lm.specularShare = m.specularShare;
  lm.peakSharpness = m.peakSharpness;
  lm.planetary = m.planetary;
  setUpParameters(lm);
  lm.planetaryRun = planetaryConstantsOf(lm.surfaceModel, lm.planetary, lm.sourceInclination, lm.cosG);
  return lm;
}

std::vector<double> defaultComparisonLevels(ComparisonKind kind) {
  if (kind == ComparisonKind::Ratio) return {0.8, 0.9, 1, 1.1, 1.25};
  return {-0.1, -0.05, 0, 0.05, 0.1};
}

std::optional<double> comparedValue(ComparisonKind kind, float phiA, float phiB) {
  const double a = phiA, b = phiB;
  if (kind == ComparisonKind::Difference) return a - b;
  // Both lie in 0..1, so a ratio with b above 0 is finite.
  if (!(b > 0)) return std::nullopt;
  return a / b;
}

namespace {

// The rows 0..rows-1 shared out to the helper threads a few at a time, so
// that they share the disc's uneven rows evenly; `job` must not throw.
constexpr int kRowsPerJob = 4;

void forRowsOnHelpers(int rows, const std::function<void(int first, int last)>& job,
                      const std::function<void(double)>& progress = {}) {
  const size_t jobs = static_cast<size_t>((std::max(rows, 0) + kRowsPerJob - 1) / kRowsPerJob);
  const int threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  std::function<void(size_t)> done;
  if (progress) done = [&](size_t k) { progress(jobs ? static_cast<double>(k) / jobs : 1.0); };
  Helpers::instance().run(jobs, threads - 1, [&](size_t j) {
    const int first = static_cast<int>(j) * kRowsPerJob;
    job(first, std::min(rows, first + kRowsPerJob));
  }, done);
}

}  // namespace

namespace {

// Fills the rows first..last-1 of g with phi of both models. The two models
// share the view and the light, so one evaluation of each point serves both;
// it is the shading's batch evaluation, which finds the probe's cosines, hits
// and misses. A point it cannot vouch for is left to the probe itself, which
// raises the error there if there is one.
void fillRows(const ViewAndRotation& view, const MapPicture& map, const LightAndModel& a,
              const MirrorSpot& mirrorA, const LightAndModel& b, const MirrorSpot& mirrorB,
              const SampleConstants& k, const BatchEvaluation& batch, ComparisonGrid& g, int first, int last) {
  std::fill(g.shown.begin() + static_cast<std::ptrdiff_t>(g.index(0, first)),
            g.shown.begin() + static_cast<std::ptrdiff_t>(g.index(0, last)), uint8_t{0});
  SampleResults out;
  alignas(64) double dx[kBatchSamples], dy[kBatchSamples];
  int xs[kBatchSamples];
  for (int y = first; y < last; ++y) {
    const float fy = static_cast<float>(y);
    const double pixelDY = (map.pictureHeight - static_cast<double>(fy)) - map.centreY;
    // The disc's pixels of this row lie within its chord; each is still tested as the probe tests it.
    const double chord = view.discLimitSq - pixelDY * pixelDY;
    if (chord < 0) continue;
    const double half = std::sqrt(chord) + 1;
    int x = std::max(0, static_cast<int>(map.centreX - half));
    const int xEnd = std::min(g.width, static_cast<int>(map.centreX + half) + 2);
    while (x < xEnd) {
      int count = 0;
      for (; x < xEnd && count < kBatchSamples - kMaxLanes; ++x) {
        const double pixelDX = static_cast<double>(static_cast<float>(x)) - map.centreX;
        if (pixelDX * pixelDX + pixelDY * pixelDY > view.discLimitSq) continue;
        dx[count] = pixelDX;
        dy[count] = pixelDY;
        xs[count++] = x;
      }
      if (count == 0) continue;
      int padded = count;
      while (padded % batch.lanes) {
        dx[padded] = dx[0];
        dy[padded++] = dy[0];
      }
      batch.evaluate(k, dx, dy, padded, out);
      for (int s = 0; s < count; ++s) {
        const float fx = static_cast<float>(xs[s]);
        const size_t i = g.index(xs[s], y);
        if (out.status[s] == kSampleMiss) continue;
        if (out.status[s] == kSampleHit) {
          Angles angles;
          angles.cosI = out.cosI[s];
          angles.cosE = out.cosE[s];
          g.phiA[i] = probePhi(a, map, mirrorA, fx, fy, angles);
          g.phiB[i] = probePhi(b, map, mirrorB, fx, fy, angles);
          g.shown[i] = 1;
          continue;
        }
        const ProbeReading ra = probeAt(view, a, map, mirrorA, fx, fy, false);
        if (!ra.shown) continue;
        const ProbeReading rb = probeAt(view, b, map, mirrorB, fx, fy, false);
        g.phiA[i] = ra.phi;
        g.phiB[i] = rb.phi;
        g.shown[i] = 1;
      }
    }
  }
}

// Fills g on the helper threads, each group of rows followed on its thread by
// `then` (rows first..last-1); the error of the first row in scan order that
// had one is raised afterwards.
void fillGrid(const ViewAndRotation& view, const MapPicture& map, const LightAndModel& a,
              const MirrorSpot& mirrorA, const LightAndModel& b, const MirrorSpot& mirrorB, int width,
              int height, ComparisonGrid& g, const std::function<void(int, int)>& then,
              const std::function<void(double)>& progress) {
  g.width = std::max(width, 0);
  g.height = std::max(height, 0);
  const size_t n = static_cast<size_t>(g.width) * static_cast<size_t>(g.height);
  g.phiA.resize(n);
  g.phiB.resize(n);
  g.shown.resize(n);
  const SampleConstants k = sampleConstantsOf(view, a, 10 * view.unitsPerPixel);
  const BatchEvaluation batch = fastestBatchEvaluation();
  std::vector<std::exception_ptr> errors(static_cast<size_t>(g.height));
  forRowsOnHelpers(g.height, [&](int first, int last) {
    try {
      fillRows(view, map, a, mirrorA, b, mirrorB, k, batch, g, first, last);
      if (then) then(first, last);
    } catch (...) {
      errors[static_cast<size_t>(first)] = std::current_exception();
    }
  }, progress);
  for (const std::exception_ptr& e : errors)
    if (e) std::rethrow_exception(e);
}

}  // namespace

ComparisonGrid compareOverSphere(const ViewAndRotation& view, const MapPicture& map,
                                 const LightAndModel& a, const MirrorSpot& mirrorA,
                                 const LightAndModel& b, const MirrorSpot& mirrorB, int width,
                                 int height, const std::function<void(double)>& progress) {
  ComparisonGrid g;
  fillGrid(view, map, a, mirrorA, b, mirrorB, width, height, g, {}, progress);
  return g;
}

namespace {

// The scale is linear in this: the logarithm of the ratio, the difference itself.
// The ratio's logarithm in 32 bits: phi is a 32-bit float, the scale has a
// few thousand steps, and the map takes one for every pixel.
double linearOf(ComparisonKind kind, double value) {
  if (kind != ComparisonKind::Ratio) return value;
  return std::log(static_cast<float>(std::min(value, static_cast<double>(std::numeric_limits<float>::max()))));
}
double linearLimitOf(ComparisonKind kind, double limit) { return kind == ComparisonKind::Ratio ? std::log(limit) : limit; }

// A ratio of 0 lies at the scale's lower end, however narrow the scale.
bool zeroRatio(ComparisonKind kind, double value) { return kind == ComparisonKind::Ratio && !(value > 0); }

// 1 / linearOf the limit, 0 for a limit that leaves no room either side.
double perLimitOf(ComparisonKind kind, double limit) {
  const double l = linearLimitOf(kind, limit);
  return l > 0 ? 1 / l : 0;
}

// What stands for a ratio of 0, which lies at the scale's lower end.
constexpr double kScaleBottom = -std::numeric_limits<double>::max();

// The scale's step of a value's linearOf (or kScaleBottom), 0 to 2
// kScaleSteps, with perLimitOf the limit.
int stepOfLinear(double linear, double perLimit) {
  double t = linear == kScaleBottom ? -1 : linear * perLimit;
  t = std::clamp(t, -1.0, 1.0);
  // Both t + 1 and the step lie at 0 or above: the conversion rounds down.
  return static_cast<int>((t + 1) * kScaleSteps + 0.5);
}

// The scale's step of a value, 0 to 2 kScaleSteps, with perLimitOf the limit.
int stepOf(ComparisonKind kind, double value, double perLimit) {
  return stepOfLinear(zeroRatio(kind, value) ? kScaleBottom : linearOf(kind, value), perLimit);
}

// What a value must exceed to lie above a level: the level and what the
// rounding of phi (a 32-bit float) can move a value by. A region where the two
// models agree to within that rounding (a ratio of 1 wherever both are the
// same model) lies on the level, not on both sides of it pixel by pixel.
std::vector<double> thresholdsOf(const std::vector<double>& levels) {
  std::vector<double> t;
  for (double l : levels) t.push_back(l + 1e-6 * std::max(1.0, std::fabs(l)));
  return t;
}

// How far a value lies from the scale's middle: a ratio's excess over 1
// either way (r - 1 or 1/r - 1, so that 1/2 and 2 lie equally far), |difference|.
double distanceOf(ComparisonKind kind, double value) {
  if (kind == ComparisonKind::Difference) return std::fabs(value);
  return value >= 1 ? value - 1 : 1 / value - 1;
}

// The colour of every step, found once.
const std::vector<uint32_t>& stepColours() {
  static const std::vector<uint32_t> colours = [] {
    std::vector<uint32_t> c(2 * kScaleSteps + 1);
    for (int k = 0; k <= 2 * kScaleSteps; ++k)
      c[static_cast<size_t>(k)] = toArgb(divergingColour(static_cast<double>(k - kScaleSteps) / kScaleSteps));
    return c;
  }();
  return colours;
}

// The picture of a grid in two passes over groups of rows, each on any
// thread: measure (the levels below the values, their distances from the
// middle), then the scale's limit on the calling thread, then colour every
// pixel.
class Painter {
 public:
  Painter(const ComparisonGrid& grid, ComparisonKind kind, const std::vector<double>& levels)
      : grid_(grid), kind_(kind), thresholds_(thresholdsOf(levels)) {
    const size_t n = grid.shown.size();
    spread_.resize(n);
    linear_.resize(n);
    below_.resize(n);
    counted_.assign(static_cast<size_t>(grid.height), 0);
  }

  // Per pixel the number of levels its value lies above, -1 where it has
  // none (a level lies between two values exactly where the two numbers differ). The distances from the middle of the values at a finite
  // distance (not a ratio of 0), packed from the group's first pixel on.
  void measure(int first, int last) {
    const size_t start = grid_.index(0, first);
    size_t m = 0;
    for (size_t i = start, end = grid_.index(0, last); i < end; ++i) {
      below_[i] = -1;
      if (!grid_.shown[i]) continue;
      const std::optional<double> v = comparedValue(kind_, grid_.phiA[i], grid_.phiB[i]);
      if (!v) continue;
      // Where the value lies on the scale, before the scale's limit is known.
      linear_[i] = zeroRatio(kind_, *v) ? kScaleBottom : linearOf(kind_, *v);
      int8_t above = 0;  // a byte: a comparison draws a few levels, not a hundred
      for (double t : thresholds_)
        if (*v > t && above < INT8_MAX) ++above;
      below_[i] = above;
      if (zeroRatio(kind_, *v)) continue;
      spread_[start + m++] = distanceOf(kind_, *v);
    }
    counted_[static_cast<size_t>(first)] = m;
  }

  // The distance of the value at the 95th percentile (one wild value does not
  // wash the rest out), rounded up to 1, 2 or 5 times a power of ten, at
  // least a thousandth, which only the rounding of phi would fill.
  double findLimit() {
    size_t m = 0;
    for (int y = 0; y < grid_.height; ++y) {
      const size_t c = counted_[static_cast<size_t>(y)], start = grid_.index(0, y);
      if (c && start != m)
        std::copy(spread_.begin() + static_cast<std::ptrdiff_t>(start),
                  spread_.begin() + static_cast<std::ptrdiff_t>(start + c), spread_.begin() + static_cast<std::ptrdiff_t>(m));
      m += c;
    }
    constexpr double kNarrowest = 1e-3;
    double distance = 0;
    if (m > 0) {
      const size_t k = std::min(m - 1, static_cast<size_t>(std::ceil(0.95 * static_cast<double>(m))) - 1);
      std::nth_element(spread_.begin(), spread_.begin() + static_cast<std::ptrdiff_t>(k),
                       spread_.begin() + static_cast<std::ptrdiff_t>(m));
      distance = spread_[k];
    }
    const double rounded = roundScaleUp(std::max(distance, kNarrowest));
    limit_ = kind_ == ComparisonKind::Ratio ? 1 + rounded : rounded;
    return limit_;
  }

  void colour(int first, int last, Raster::PixelWriter& pixels) {
    const int w = grid_.width, h = grid_.height;
    const double perLimit = perLimitOf(kind_, limit_);
    const std::vector<uint32_t>& colours = stepColours();
    const uint32_t noRatio = toArgb(kNoRatioColour);
    auto crosses = [&](size_t i, size_t j) { return below_[j] >= 0 && below_[j] != below_[i]; };
    for (int y = first; y < last; ++y) {
      for (int x = 0; x < w; ++x) {
        const size_t i = grid_.index(x, y);
        uint32_t c;
        if (!grid_.shown[i])
          continue;  // the background, as the picture was cleared
        else if (below_[i] < 0)
          c = noRatio;
        // On an isoline: a level crossed between the pixel and its right or lower neighbour.
        else if ((x + 1 < w && crosses(i, i + 1)) || (y + 1 < h && crosses(i, i + static_cast<size_t>(w))))
          c = toArgb(kComparisonLineColour);
        else
          c = colours[static_cast<size_t>(stepOfLinear(linear_[i], perLimit))];
        pixels.put(x, y, c);
      }
    }
  }

  // Colours every pixel, each group of rows on any thread with a writer of its own.
  void colourAll(Raster& out) {
    std::vector<Raster::PixelWriter> writers;
    const size_t groups = static_cast<size_t>((grid_.height + kRowsPerJob - 1) / kRowsPerJob);
    writers.reserve(groups);
    for (size_t k = 0; k < groups; ++k) writers.emplace_back(out);
    forRowsOnHelpers(grid_.height, [&](int first, int last) {
      colour(first, last, writers[static_cast<size_t>(first / kRowsPerJob)]);
    });
    for (Raster::PixelWriter& w : writers) w.commit();
  }

 private:
  const ComparisonGrid& grid_;
  ComparisonKind kind_;
  const std::vector<double> thresholds_;
  double limit_ = 0;
  // Kept from run to run on the thread that paints, so that a run of the same
  // size finds its memory ready; the helpers reach it through the references.
  static thread_local std::vector<double> keptSpread, keptLinear;
  static thread_local std::vector<int8_t> keptBelow;
  static thread_local std::vector<size_t> keptCounts;
  std::vector<double>& spread_ = keptSpread;
  std::vector<double>& linear_ = keptLinear;  // linearOf each value, kScaleBottom for a ratio of 0
  std::vector<int8_t>& below_ = keptBelow;
  std::vector<size_t>& counted_ = keptCounts;  // by the group's first row
};

thread_local std::vector<double> Painter::keptSpread;
thread_local std::vector<double> Painter::keptLinear;
thread_local std::vector<int8_t> Painter::keptBelow;
thread_local std::vector<size_t> Painter::keptCounts;

}  // namespace

double scalePosition(ComparisonKind kind, double value, double limit) {
  return static_cast<double>(stepOf(kind, value, perLimitOf(kind, limit)) - kScaleSteps) / kScaleSteps;
}

double drawComparison(const ComparisonGrid& grid, ComparisonKind kind, const std::vector<double>& levels,
                      Raster& out) {
  Painter p(grid, kind, levels);
  forRowsOnHelpers(grid.height, [&](int first, int last) { p.measure(first, last); });
  const double limit = p.findLimit();
  p.colourAll(out);
  return limit;
}

double shadeComparison(const ViewAndRotation& view, const MapPicture& map, const LightAndModel& a,
                       const MirrorSpot& mirrorA, const LightAndModel& b, const MirrorSpot& mirrorB,
                       ComparisonKind kind, const std::vector<double>& levels, Raster& out,
                       const std::function<void(double)>& progress) {
  // Kept from run to run on the thread, as the painter's memory is.
  thread_local ComparisonGrid kept;
  ComparisonGrid& grid = kept;
  // The grid's size is set before the painter takes its measure.
  grid.width = out.widthPixels();
  grid.height = out.heightPixels();
  grid.shown.resize(static_cast<size_t>(grid.width) * static_cast<size_t>(grid.height));
  Painter p(grid, kind, levels);
  fillGrid(view, map, a, mirrorA, b, mirrorB, grid.width, grid.height, grid,
           [&](int first, int last) { p.measure(first, last); }, progress);
  const double limit = p.findLimit();
  p.colourAll(out);
  return limit;
}

}  // namespace korvalen
