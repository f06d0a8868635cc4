// The scan of a shading run with the checks taken out of the per-sample path.
//
// The samples of a column are gathered into batches and evaluated in one go
// (one sample at a time, or several in the vector unit), a sample the checked
// code would raise an error at being marked instead. For the matte, glossy and
// rocky models the colours of the whole batch follow in the same lanes. Any
// other batch is finished sample by sample in scan order with the program's
// one source of phi, the mirror score and the colour stage under MarkFault; a
// marked or faulting sample is handed to Тонирование, which raises the error
// at that very sample, with everything before it drawn and nothing after it.
#include "shading/fast_scan.h"
#include "shading/point_batch.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <exception>
#include <thread>
#include <vector>

#include "photometry/geometry.h"
#include "photometry/reflectance.h"
#include "shading/sample_batch.h"
#include "shading/sample_colour.h"
#include "shading/sample_kernel.h"
#include "workers/helpers.h"

namespace korvalen {

namespace {

template <class Evaluate>
class FastScan {
 public:
  FastScan(ShadingRun& run, const ViewAndRotation& view, const LightAndModel& lm,
           const MapPicture& picture, MirrorSpot& mirror, Raster::PixelWriter& pixels,
           Evaluate evaluate, int lanes)
      : run_(run),
        view_(view),
        lm_(lm),
        picture_(picture),
        mirror_(mirror),
        pixels_(pixels),
        evaluate_(evaluate),
        lanes_(lanes) {
    k_ = sampleConstantsOf(view, lm, run.sightLineHalfLength);

    FinishConstants& c = c_;
    c.surfaceModel = lm.surfaceModel;
    c.g = lm.sourceInclination;
    c.cosG = lm.cosG;
    c.diffuseShare = lm.diffuseShare;
    c.specularGain = lm.specularGain;
    c.peakSharpness = lm.peakSharpness;
    c.planetaryRun = lm.planetaryRun;
    c.bands = run.bands;
    c.back = {picture.backRed, picture.backGreen, picture.backBlue};
    c.backTimes4 = partsOf<double>(Tint{run.backRedTimes4, run.backGreenTimes4, run.backBlueTimes4});
  }

  // Whether the scan took any sample at all, and whether any of them left a
  // colour in the scratch (a miss in direct mode leaves the one before it).
  bool anySample() const { return anySample_; }
  bool coloured() const { return coloured_; }

  // One sample per pixel.
  void scanDirect() {
    for (int32_t column = run_.scanColumnFirst; column <= run_.scanColumnLast; ++column) {
      clearVectorUpperHalves();
      const double dx = column - picture_.centreX;
      int32_t row = 0, rowEnd = 0;
      sampledRows(dx, 0.0, row, rowEnd);
      while (row <= rowEnd) {
        const int n = rowEnd - row + 1 < kBatchSamples ? rowEnd - row + 1 : kBatchSamples;
        for (int i = 0; i < n; ++i) {
          rows_[i] = row + i;
          dx_[i] = dx;
          dy_[i] = row + i - picture_.centreY;
        }
        finishDirect(column, n);
        row += n;
      }
    }
    // The scratch as the checked scan leaves it.
    direct_ = true;
    leaveScratch(0.0, 0.0, 0);
  }

  // Four sub-samples per pixel, in the order 1, 2, 4, 3 around its centre.
  void scanSmoothed() {
    for (int32_t column = run_.scanColumnFirst; column <= run_.scanColumnLast; ++column) {
      clearVectorUpperHalves();
      const double dx = column - picture_.centreX;
      int32_t row = 0, rowEnd = 0;
      // The first sub-sample alone decides whether the pixel is sampled.
      sampledRows(dx - 0.25, -0.25, row, rowEnd);
      const double left = dx - 0.25, right = dx + 0.25;
      constexpr int kBatchPixels = kBatchSamples / 4;
      while (row <= rowEnd) {
        const int pixels = rowEnd - row + 1 < kBatchPixels ? rowEnd - row + 1 : kBatchPixels;
        // Four planes, one per sub-sample, each padded to the lane count
        // with copies of the first pixel's.
        const int plane = (pixels + lanes_ - 1) / lanes_ * lanes_;
        double* const dx1 = dx_;
        double* const dx2 = dx_ + plane;
        double* const dx4 = dx_ + 2 * plane;
        double* const dx3 = dx_ + 3 * plane;
        double* const dy1 = dy_;
        double* const dy2 = dy_ + plane;
        double* const dy4 = dy_ + 2 * plane;
        double* const dy3 = dy_ + 3 * plane;
        for (int p = 0; p < plane; ++p) {
          const double dy = (p < pixels ? row + p : row) - picture_.centreY;
          const double lower = dy - 0.25, upper = dy + 0.25;
          rows_[p] = row + p;
          dx1[p] = left;
          dy1[p] = lower;
          dx2[p] = right;
          dy2[p] = lower;
          dx4[p] = right;
          dy4[p] = upper;
          dx3[p] = left;
          dy3[p] = upper;
        }
        plane_ = plane;
        finishSmoothed(column, pixels);
        row += pixels;
      }
    }
    direct_ = false;
    leaveScratch(-0.25, -0.25, 3);
  }

 private:
  // The rows of a column whose (first) sample lies inside the disc: those with
  // dx^2 + (row - centreY + offsetDY)^2 < discLimitSq, first..last (none when
  // first > last). The sum is exact (quarter pixels, a few thousand at most),
  // so it grows strictly with the distance from its lowest point, and the rows
  // inside form one run: walking in from both ends finds it with the same
  // test as a row-by-row scan.
  void sampledRows(double dx, double offsetDY, int32_t& first, int32_t& last) const {
    const double limit = view_.discLimitSq;
    auto inside = [&](int32_t row) {
      const double dy = (row - picture_.centreY) + offsetDY;
      return dx * dx + dy * dy < limit;
    };
    first = run_.scanRowFirst;
    last = run_.scanRowLast;
    while (first <= last && !inside(first)) ++first;
    while (last >= first && !inside(last)) --last;
  }

  // Evaluates the n gathered samples, padded to a multiple of the lane count
  // with copies of the first, and finds their colours where it can. True when
  // every colour was found (see ShadeSamplesFn).
  bool evaluateBatch(int n, int plane) {
    int padded = n;
    while (padded % lanes_ != 0) {
      dx_[padded] = dx_[0];
      dy_[padded] = dy_[0];
      ++padded;
    }
    return evaluate_(k_, c_, plane, dx_, dy_, padded, results_);
  }

  // A batch whose colours were all found: its pixels in scan order.
  void writeDirect(int32_t column, int n) {
    const int height = picture_.pictureHeight;
    int lastHit = -1;
    for (int i = 0; i < n; ++i) {
      if (results_.status[i] != kSampleHit) continue;
      pixels_.put(column, height - rows_[i], 0xFF000000u | static_cast<uint32_t>(results_.rgb[i]));
      lastHit = i;
    }
    if (lastHit < 0) return;
    pixels_.done(column, height - rows_[lastHit]);
    const int32_t rgb = results_.rgb[lastHit];
    last_ = {static_cast<double>(rgb >> 16), static_cast<double>((rgb >> 8) & 0xFF),
             static_cast<double>(rgb & 0xFF)};
    coloured_ = true;
  }

  // pixels: the batch's pixels, the samples in the four planes of plane_.
  void writeSmoothed(int32_t column, int pixels) {
    const int height = picture_.pictureHeight;
    const SampleResults& r = results_;
    int lastDrawn = -1;
    for (int p = 0; p < pixels; ++p) {
      if (r.rgb[p] < 0) continue;
      pixels_.put(column, height - rows_[p], 0xFF000000u | static_cast<uint32_t>(r.rgb[p]));
      lastDrawn = p;
    }
    if (lastDrawn >= 0) pixels_.done(column, height - rows_[lastDrawn]);
    // The sums of the last pixel, as the scratch keeps them.
    const int p = pixels - 1, plane = plane_;
    auto sum = [&](const double* part) {
      return part[p] + part[plane + p] + part[2 * plane + p] + part[3 * plane + p];
    };
    last_ = {sum(r.red), sum(r.green), sum(r.blue)};
    coloured_ = true;
  }

  // The sample i through the checked routine; it raises the error, if any.
  void checkedSample(int32_t column, int32_t row, int i, int16_t sampleIndex, Sums& s) {
    run_.scanColumn = column;
    run_.scanRow = row;
    run_.pixelDX = dx_[i];
    run_.pixelDY = dy_[i];
    run_.sampleIndex = sampleIndex;
    run_.pointRed = static_cast<int16_t>(s.red);
    run_.pointGreen = static_cast<int16_t>(s.green);
    run_.pointBlue = static_cast<int16_t>(s.blue);
    Тонирование(run_, view_, lm_, picture_, mirror_, pixels_);
    s = partsOf<double>(Tint{run_.pointRed, run_.pointGreen, run_.pointBlue});
  }

  // Sample i of the batch: false when it must go through the checked routine.
  template <int32_t Model>
  bool finishSample(const FinishConstants& c, int32_t column, int32_t row, int i, bool replace,
                    Sums& s) {
    const uint8_t status = results_.status[i];
    if (status == kSampleNeedsCheck) return false;
    if (status == kSampleMiss) {
      // Smoothing counts a missed sub-sample as background; direct mode
      // leaves the background that the clear left there.
      if (!direct_) s = s + partsOf<double>(c.back);
      return true;
    }
    MarkFault fault;
    float phi = phiOfModel<Model>(c, results_.cosI[i], results_.cosE[i], kShadingRules.mirrorPhi,
                                  fault);
    float score = 0;
    if (Model == kMirror) {
      Angles a;
      a.cosI = results_.cosI[i];
      a.cosE = results_.cosE[i];
      anglesAt(a, Vec3{0, 0, results_.hz[i]});
      score = mirrorScore(c.g, a.angleI, a.angleE, fault);
    }
    if (fault.faulted) return false;
    phi = clampPhi(phi, kShadingRules);
    const Sums add = colourOfHit<double>(c.bands, phi, replace, fault);
    if (fault.faulted) return false;
    if (Model == kMirror && score < mirror_.mirrorBestScore) {
      // Of equal scores the first sample scanned keeps the spot.
      mirror_.mirrorBestScore = score;
      mirror_.mirrorSpotColumn = static_cast<int16_t>(column);
      mirror_.mirrorSpotRow = static_cast<int16_t>(row);
    }
    if (replace)
      s = add;
    else
      s = s + add;
    return true;
  }

  // The model decides once per batch how phi is found.
  void finishDirect(int32_t column, int n) {
    direct_ = true;
    anySample_ = true;
    if (evaluateBatch(n, 0)) {
      writeDirect(column, n);
      return;
    }
    switch (c_.surfaceModel) {
      case kMatte: finishDirectAs<kMatte>(column, n); break;
      case kGlossy: finishDirectAs<kGlossy>(column, n); break;
      case kRocky: finishDirectAs<kRocky>(column, n); break;
      case kMirror: finishDirectAs<kMirror>(column, n); break;
      case kLommelSeeliger:
      case kMinnaert:
      case kLunarLambert:
      case kAkimov:
      case kHapke: finishDirectAs<kLommelSeeliger>(column, n); break;
      default: finishDirectAs<0>(column, n); break;
    }
  }

  // n: the batch's pixels.
  void finishSmoothed(int32_t column, int n) {
    direct_ = false;
    anySample_ = true;
    if (evaluateBatch(4 * plane_, plane_)) {
      writeSmoothed(column, n);
      return;
    }
    switch (c_.surfaceModel) {
      case kMatte: finishSmoothedAs<kMatte>(column, n); break;
      case kGlossy: finishSmoothedAs<kGlossy>(column, n); break;
      case kRocky: finishSmoothedAs<kRocky>(column, n); break;
      case kMirror: finishSmoothedAs<kMirror>(column, n); break;
      case kLommelSeeliger:
      case kMinnaert:
      case kLunarLambert:
      case kAkimov:
      case kHapke: finishSmoothedAs<kLommelSeeliger>(column, n); break;
      default: finishSmoothedAs<0>(column, n); break;
    }
  }

  template <int32_t Model>
  void finishDirectAs(int32_t column, int n) {
    const FinishConstants c = c_;
    const int height = picture_.pictureHeight;
    Sums last = last_;
    for (int i = 0; i < n; ++i) {
      const int32_t row = rows_[i];
      Sums s = last;
      if (!finishSample<Model>(c, column, row, i, true, s)) {
        last_ = last;
        // (Before the first colour of the scan, a colour no sample gives,
        // so that a miss, which leaves the colour as it is, shows.)
        if (!coloured_) s = {-1.0, -1.0, -1.0};
        checkedSample(column, row, i, 0, s);  // draws the pixel itself
        if (s.red < 0) {
          s = last;
        } else {
          coloured_ = true;
        }
        last = s;
        continue;
      }
      if (results_.status[i] == kSampleMiss) continue;
      s = limitTo255(s);
      last = s;
      coloured_ = true;
      pixels_.put(column, height - row, 0xFF000000u | static_cast<uint32_t>(packedRgb(s)));
      pixels_.done(column, height - row);
    }
    last_ = last;
  }

  template <int32_t Model>
  void finishSmoothedAs(int32_t column, int n) {
    static constexpr int16_t kOrder[4] = {1, 2, 4, 3};
    const FinishConstants c = c_;
    const int height = picture_.pictureHeight;
    Sums s{0, 0, 0};
    for (int p = 0; p < n; ++p) {
      const int32_t row = rows_[p];
      s = {0, 0, 0};
      for (int j = 0; j < 4; ++j) {
        const int i = j * plane_ + p;
        if (!finishSample<Model>(c, column, row, i, j == 0, s))
          checkedSample(column, row, i, kOrder[j], s);
      }
      const double rgb = smoothedPixel(s, c.backTimes4);
      if (rgb >= 0) {
        pixels_.put(column, height - row, 0xFF000000u | static_cast<uint32_t>(rgb));
        pixels_.done(column, height - row);
      }
    }
    last_ = s;
    if (n > 0) coloured_ = true;
  }

  // The run's scratch as the checked scan leaves it: the loop counters one past
  // their ends, the offsets of the last pixel looked at, the sample number and
  // colour of the last sample taken.
  void leaveScratch(double offsetDX, double offsetDY, int16_t lastSampleIndex) {
    ShadingRun& r = run_;
    const bool anyColumn = r.scanColumnFirst <= r.scanColumnLast;
    const bool anyRow = r.scanRowFirst <= r.scanRowLast;
    r.scanColumn = anyColumn ? r.scanColumnLast + 1 : r.scanColumnFirst;
    if (anyColumn) r.scanRow = anyRow ? r.scanRowLast + 1 : r.scanRowFirst;
    if (anyColumn && anyRow) {
      r.pixelDX = (r.scanColumnLast - picture_.centreX) + offsetDX;
      r.pixelDY = (r.scanRowLast - picture_.centreY) + offsetDY;
      // A sampled last pixel ends at its fourth sub-sample, a quarter up.
      if (!direct_ && r.pixelDX * r.pixelDX + r.pixelDY * r.pixelDY < view_.discLimitSq)
        r.pixelDY = (r.scanRowLast - picture_.centreY) + 0.25;
    }
    if (anySample_) {
      r.sampleIndex = lastSampleIndex;
      r.pointRed = static_cast<int16_t>(last_.red);
      r.pointGreen = static_cast<int16_t>(last_.green);
      r.pointBlue = static_cast<int16_t>(last_.blue);
    }
  }

  ShadingRun& run_;
  const ViewAndRotation& view_;
  const LightAndModel& lm_;
  const MapPicture& picture_;
  MirrorSpot& mirror_;
  Raster::PixelWriter& pixels_;
  Evaluate evaluate_;
  int lanes_;
  SampleConstants k_;
  FinishConstants c_;
  bool direct_ = true;
  bool anySample_ = false;
  bool coloured_ = false;  // last_ holds the colour of a sample of this scan
  int plane_ = 0;  // samples per plane of a smoothed batch
  Sums last_{0, 0, 0};

  int32_t rows_[kBatchSamples];
  alignas(64) double dx_[kBatchSamples + kMaxLanes];
  alignas(64) double dy_[kBatchSamples + kMaxLanes];
  SampleResults results_{};  // (zeroed: a glossy power not found in a batch is never garbage)
};

// One scan of the run's columns; the pixels drawn are handed to the raster
// also when a sample raises an error, as drawing them one by one would.
template <class Evaluate>
void scanWith(Evaluate evaluate, int lanes, ShadingRun& run, const ViewAndRotation& view,
              const LightAndModel& lm, const MapPicture& picture, bool direct,
              MirrorSpot& mirror, Raster& picture1) {
  Raster::PixelWriter pixels(picture1);
  try {
    FastScan<Evaluate> scan(run, view, lm, picture, mirror, pixels, evaluate, lanes);
    if (direct)
      scan.scanDirect();
    else
      scan.scanSmoothed();
  } catch (...) {
    pixels.commit();
    throw;
  }
  pixels.commit();
}

// Samples per worker: measured on the cheapest model (matte, about 8 ns a
// sample on one thread), a second worker begins to save time from about
// 16000 samples of a run on, less than that costs more to hand its bands than
// it saves. (With smoothing a pixel holds four samples.)
constexpr double kSamplesPerWorker = 8192;
// Bands per worker: enough that the others make up for a worker held back.
constexpr int kBandsPerWorker = 4;

// The run's columns in at most `workers` contiguous bands, each with about
// the same number of samples (a column's share is its chord through the
// disc, cut to the rows scanned). Each band holds at least one column.
struct ColumnBand {
  int32_t first, last;
};
std::vector<ColumnBand> columnBands(const ShadingRun& run, const ViewAndRotation& view,
                                    const MapPicture& picture, int workers, double& samples) {
  std::vector<ColumnBand> bands;
  samples = 0;
  const int32_t first = run.scanColumnFirst, last = run.scanColumnLast;
  if (first > last) return bands;
  const int columns = last - first + 1;
  const double rows = std::max(0, run.scanRowLast - run.scanRowFirst + 1);
  std::vector<double> upTo(static_cast<size_t>(columns) + 1, 0.0);
  for (int i = 0; i < columns; ++i) {
    const double dx = (first + i) - picture.centreX;
    const double sq = view.discLimitSq - dx * dx;
    const double chord = sq > 0 ? std::min(rows, 2 * std::sqrt(sq) + 1) : 0.0;
    upTo[static_cast<size_t>(i) + 1] = upTo[static_cast<size_t>(i)] + chord;
  }
  samples = upTo.back();
  const int n = std::max(1, std::min(workers, columns));
  int32_t start = first;
  for (int b = 0; b < n; ++b) {
    int32_t end = last;
    if (b < n - 1) {
      const double share = samples * (b + 1) / n;
      end = start;
      // At least one column each, and room left for the bands after this one.
      while (end < last - (n - 1 - b) && upTo[static_cast<size_t>(end - first) + 1] < share) ++end;
    }
    bands.push_back({start, end});
    start = end + 1;
  }
  return bands;
}

// The run's scan split over contiguous bands of columns, several per worker
// thread: a worker takes the next band not yet taken whenever it is free, so
// a thread that the system holds back (other programs share the cores) is
// made up for by the others. Each band is scanned as the whole run would scan
// it, and every pixel belongs to one band. The bands' pixels are handed to
// the raster, their mirror spots compared and their scratch taken in scan
// order, so the result is the sequential scan's: among equal mirror scores
// the first band's wins, and the scratch is the last band's. A run in which
// any band meets an error is put back as it was and scanned again on one
// thread, which stops at the first faulting sample in scan order.
template <class Evaluate>
void scanWithWorkers(Evaluate evaluate, int lanes, int workers, ShadingRun& run,
                     const ViewAndRotation& view, const LightAndModel& lm,
                     const MapPicture& picture, bool direct, MirrorSpot& mirror,
                     Raster& picture1, const ShadingProgress& progress) {
  double samples = 0;
  columnBands(run, view, picture, 1, samples);
  if (workers <= 0) {
    // As many workers as the processor has hardware threads, but each with
    // enough samples to repay the start of its thread.
    const int threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    const double perWorker = kSamplesPerWorker / (direct ? 1 : 4);
    workers = std::min(threads, static_cast<int>(std::max(1.0, samples / perWorker)));
    if (workers == 1 && !progress) {
      scanWith(evaluate, lanes, run, view, lm, picture, direct, mirror, picture1);
      return;
    }
  }
  const std::vector<ColumnBand> bands =
      columnBands(run, view, picture, workers * kBandsPerWorker, samples);
  if (bands.size() <= 1) {
    scanWith(evaluate, lanes, run, view, lm, picture, direct, mirror, picture1);
    return;
  }
  const Raster::SavedRows saved = picture1.saveRows(picture.pictureHeight - run.scanRowLast,
                                                    picture.pictureHeight - run.scanRowFirst);
  struct Part {
    ShadingRun run;
    MirrorSpot mirror;
    Raster::PixelWriter pixels;
    bool anySample = false, coloured = false;
    std::exception_ptr error;
  };
  std::vector<Part> parts;
  parts.reserve(bands.size());
  for (const ColumnBand& b : bands) {
    parts.push_back({run, mirror, Raster::PixelWriter(picture1), false, false, nullptr});
    parts.back().run.scanColumnFirst = static_cast<int16_t>(b.first);
    parts.back().run.scanColumnLast = static_cast<int16_t>(b.last);
  }
  std::function<void(size_t)> bandsDone;
  if (progress)
    bandsDone = [&](size_t done) { progress(static_cast<double>(done) / bands.size()); };
  Helpers::instance().run(parts.size(), workers - 1, [&](size_t b) {
    Part& p = parts[b];
    try {
      FastScan<Evaluate> scan(p.run, view, lm, picture, p.mirror, p.pixels, evaluate, lanes);
      if (direct)
        scan.scanDirect();
      else
        scan.scanSmoothed();
      p.anySample = scan.anySample();
      p.coloured = scan.coloured();
    } catch (...) {
      p.error = std::current_exception();
    }
  }, bandsDone);

  for (const Part& p : parts) {
    if (p.error) {
      picture1.restoreRows(saved);
      scanWith(evaluate, lanes, run, view, lm, picture, direct, mirror, picture1);
      return;
    }
  }
  for (Part& p : parts) {
    p.pixels.commit();
    if (p.mirror.mirrorBestScore < mirror.mirrorBestScore) mirror = p.mirror;
  }
  const ShadingRun& end = parts.back().run;
  run.scanColumn = end.scanColumn;
  run.scanRow = end.scanRow;
  run.pixelDX = end.pixelDX;
  run.pixelDY = end.pixelDY;
  // The sample number of the last sample taken, and the colour of the last
  // sample that left one.
  for (auto p = parts.rbegin(); p != parts.rend(); ++p) {
    if (!p->anySample) continue;
    run.sampleIndex = p->run.sampleIndex;
    break;
  }
  for (auto p = parts.rbegin(); p != parts.rend(); ++p) {
    if (!p->coloured) continue;
    run.pointRed = p->run.pointRed;
    run.pointGreen = p->run.pointGreen;
    run.pointBlue = p->run.pointBlue;
    break;
  }
}

}  // namespace

void scanFast(ShadingPath path, int workers, ShadingRun& run, const ViewAndRotation& view,
              const LightAndModel& lm, const MapPicture& picture, bool direct,
              MirrorSpot& mirror, Raster& picture1, const ShadingProgress& progress) {
  const bool parallel = path == ShadingPath::Parallel;
  auto scan = [&](auto evaluate, int lanes) {
    if (parallel)
      scanWithWorkers(evaluate, lanes, workers, run, view, lm, picture, direct, mirror, picture1,
                      progress);
    else
      scanWith(evaluate, lanes, run, view, lm, picture, direct, mirror, picture1);
  };
  switch (parallel ? fastestShadingPath() : path) {
#if defined(__x86_64__)
    case ShadingPath::Sse2: scan(shadeSamplesSse2, 2); return;
    case ShadingPath::Avx2: scan(shadeSamplesAvx2, 4); return;
    case ShadingPath::Avx512: scan(shadeSamplesAvx512, 8); return;
#endif
    default:
      // One sample at a time, the evaluation inlined into the scan; the
      // colours are found sample by sample too (with one lane, the branches
      // of the scalar colour stage cost less than the selects of the lanes).
      scan([](const SampleConstants& k, const FinishConstants&, int, const double* dx,
              const double* dy, int count, SampleResults& out) {
        evaluateSampleLanes<double>(k, dx, dy, count, out);
        return false;
      }, 1);
      return;
  }
}

}  // namespace korvalen
