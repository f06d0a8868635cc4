// The shading run, its per-sample routine Тонирование and the colour of a
// sample. They live in one file so that the scan loops get the per-sample
// routine inlined: a run makes up to half a million calls.
#include "shading/shading.h"

#include <algorithm>
#include <cmath>

#include "photometry/checked.h"
#include "photometry/geometry.h"
#include "photometry/reflectance.h"
#include "shading/fast_scan.h"
#include "shading/sample_colour.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace korvalen {

#if defined(__x86_64__) || defined(__i386__)
namespace {
__attribute__((target("avx"))) void zeroUpperHalves() { _mm256_zeroupper(); }
}  // namespace
void clearVectorUpperHalves() {
  static const bool hasAvx = __builtin_cpu_supports("avx");
  if (hasAvx) zeroUpperHalves();
}
#else
void clearVectorUpperHalves() {}
#endif

// ---------------------------------------------------------------------------
// The colour of a sample.

IsolineBands isolineBandsOf(const Isolines& isolines) {
  IsolineBands b;
  const bool shown = isolines.isolinesHidden == kFalse;
  bool compared = shown;
  b.low[0] = HUGE_VAL;
  b.high[0] = -HUGE_VAL;
  for (int k = 1; k <= 7; ++k) {
    const double level = isolines.isolineLevel[k];
    const double halfWidth = isolines.isolineHalfWidth[k];
    const float low = static_cast<float>(level - halfWidth);
    const float high = static_cast<float>(level + halfWidth);
    if (compared && (std::isinf(low) || std::isinf(high))) {
      compared = false;
      b.boundOverflows = true;
    }
    b.low[k] = compared ? low : HUGE_VAL;
    b.high[k] = compared ? high : -HUGE_VAL;
  }
  b.shadowLow = -isolines.isolineHalfWidth[1];
  b.zoneHigh = isolines.isolineHalfWidth[7];
  b.opaqueBands = isolines.isolineColours == kDistinctColours;
  for (int k = 0; k <= 7; ++k) b.tint[k] = b.opaqueBands ? kDistinctBandColour[k] : kBandTint[k];
  return b;
}

namespace {
Sums sumsOf(const ShadingRun& run) {
  return partsOf<double>(Tint{run.pointRed, run.pointGreen, run.pointBlue});
}

// The sums back into the run's 16-bit stores; none can wrap silently.
void store(ShadingRun& run, const Sums& s) {
  run.pointRed = checkedInt16(static_cast<long long>(s.red));
  run.pointGreen = checkedInt16(static_cast<long long>(s.green));
  run.pointBlue = checkedInt16(static_cast<long long>(s.blue));
}

// The colour stage and the per-sample routine for any canvas with setPixel:
// the raster itself, or a writer of it.
template <class Canvas>
void colourSampleOn(ShadingRun& run, const MapPicture& picture, bool hit, float phi,
                    Canvas& picture1) {
  if (!hit) {
    // Smoothing counts a missed sub-sample as background; direct mode leaves
    // the background that the clear left there.
    if (run.sampleIndex != 0) {
      store(run, sumsOf(run) +
                     partsOf<double>(Tint{picture.backRed, picture.backGreen, picture.backBlue}));
    }
    return;
  }
  RaiseAtFault raise;
  const bool replace = run.sampleIndex < 2;
  Sums s = colourOfHit<double>(run.bands, phi, replace, raise);
  if (run.sampleIndex != 0) {
    store(run, replace ? s : s + sumsOf(run));
    return;
  }
  // Drawn at once, each part limited to 255.
  const auto rgb = static_cast<uint32_t>(packedRgb(limitTo255(s)));
  run.pointRed = static_cast<int16_t>(rgb >> 16);
  run.pointGreen = static_cast<int16_t>((rgb >> 8) & 0xFF);
  run.pointBlue = static_cast<int16_t>(rgb & 0xFF);
  picture1.setPixel(run.scanColumn, picture.pictureHeight - run.scanRow, fromArgb(rgb));
}

// The per-sample routine.
template <class Canvas>
void shadeSampleOn(ShadingRun& run, const ViewAndRotation& view, const LightAndModel& lm,
                   const MapPicture& picture, MirrorSpot& mirror, Canvas& picture1) {
  // Only the mirror score reads the angles themselves; the arctangents are
  // skipped for the other models.
  const bool mirrorModel = lm.surfaceModel == kMirror;
  const PointEvaluation point =
      evaluatePicturePoint(view, lm, run.pixelDX, run.pixelDY, run.sightLineHalfLength,
                           kShadingRules, mirrorModel);
  if (!point.hit) {
    colourSampleOn(run, picture, false, 0.0f, picture1);
    return;
  }

  float phi = reflectance(lm, point.angles, kShadingRules);
  if (mirrorModel) {
    // Of equal scores the first sample scanned keeps the spot.
    RaiseAtFault raise;
    const float score =
        mirrorScore(lm.sourceInclination, point.angles.angleI, point.angles.angleE, raise);
    if (score < mirror.mirrorBestScore) {
      mirror.mirrorBestScore = score;
      mirror.mirrorSpotColumn = checkedInt16(run.scanColumn);
      mirror.mirrorSpotRow = checkedInt16(run.scanRow);
    }
  }
  phi = clampPhi(phi, kShadingRules);
  colourSampleOn(run, picture, true, phi, picture1);
}

}  // namespace

void colourSample(ShadingRun& run, const MapPicture& picture, bool hit, float phi,
                  Raster& picture1) {
  colourSampleOn(run, picture, hit, phi, picture1);
}

void Тонирование(ShadingRun& run, const ViewAndRotation& view, const LightAndModel& lm,
                 const MapPicture& picture, MirrorSpot& mirror, Raster& picture1) {
  shadeSampleOn(run, view, lm, picture, mirror, picture1);
}

void Тонирование(ShadingRun& run, const ViewAndRotation& view, const LightAndModel& lm,
                 const MapPicture& picture, MirrorSpot& mirror, Raster::PixelWriter& pixels) {
  shadeSampleOn(run, view, lm, picture, mirror, pixels);
}

// ---------------------------------------------------------------------------
// The run.

ShadingRun prepareShadingRun(const ViewAndRotation& view, const MapPicture& picture,
                             const Isolines& isolines, MirrorSpot& mirror) {
  ShadingRun run;
  // All four sub-samples missed: the sums are four times the background.
  run.backRedTimes4 = checkedInt16(4LL * picture.backRed);
  run.backGreenTimes4 = checkedInt16(4LL * picture.backGreen);
  run.backBlueTimes4 = checkedInt16(4LL * picture.backBlue);

  // The square around the disc, cut at the picture's edges. Row 0 and column
  // pictureWidth lie just off the grid: their samples are taken but not drawn.
  const double r = roundHalfEven(divide(1, view.unitsPerPixel));
  run.scanRowFirst = toInt16(picture.centreY - r);
  if (run.scanRowFirst < 0) run.scanRowFirst = 0;
  run.scanRowLast = toInt16(picture.centreY + r);
  if (run.scanRowLast > picture.pictureHeight) run.scanRowLast = picture.pictureHeight;
  run.scanColumnFirst = toInt16(picture.centreX - r);
  if (run.scanColumnFirst < 0) run.scanColumnFirst = 0;
  run.scanColumnLast = toInt16(picture.centreX + r);
  if (run.scanColumnLast > picture.pictureWidth) run.scanColumnLast = picture.pictureWidth;

  mirror.mirrorBestScore = 100;
  run.sightLineHalfLength = finite(10 * view.unitsPerPixel);
  run.bands = isolineBandsOf(isolines);
  return run;
}

namespace {

// One sample per pixel, at the pixel itself; Тонирование draws it.
[[gnu::flatten]] void scanDirect(ShadingRun& run, const ViewAndRotation& view,
                                 const LightAndModel& lm, const MapPicture& picture,
                                 MirrorSpot& mirror, Raster& picture1) {
  for (run.scanColumn = run.scanColumnFirst; run.scanColumn <= run.scanColumnLast;
       ++run.scanColumn) {
    clearVectorUpperHalves();
    for (run.scanRow = run.scanRowFirst; run.scanRow <= run.scanRowLast; ++run.scanRow) {
      run.pixelDX = run.scanColumn - picture.centreX;
      run.pixelDY = run.scanRow - picture.centreY;
      if (run.pixelDX * run.pixelDX + run.pixelDY * run.pixelDY < view.discLimitSq) {
        run.sampleIndex = 0;
        Тонирование(run, view, lm, picture, mirror, picture1);
      }
    }
  }
}

// Four sub-samples a quarter pixel off the pixel's centre, in the order 1, 2,
// 4, 3 around it; the pixel gets their average unless all four missed.
[[gnu::flatten]] void scanSmoothed(ShadingRun& run, const ViewAndRotation& view,
                                   const LightAndModel& lm, const MapPicture& picture,
                                   MirrorSpot& mirror, Raster& picture1) {
  const Sums backTimes4 =
      partsOf<double>(Tint{run.backRedTimes4, run.backGreenTimes4, run.backBlueTimes4});
  for (run.scanColumn = run.scanColumnFirst; run.scanColumn <= run.scanColumnLast;
       ++run.scanColumn) {
    clearVectorUpperHalves();
    for (run.scanRow = run.scanRowFirst; run.scanRow <= run.scanRowLast; ++run.scanRow) {
      const double dx = run.scanColumn - picture.centreX;
      const double dy = run.scanRow - picture.centreY;
      run.pixelDX = dx - 0.25;
      run.pixelDY = dy - 0.25;
      // The first sub-sample alone decides whether the pixel is sampled.
      if (!(run.pixelDX * run.pixelDX + run.pixelDY * run.pixelDY < view.discLimitSq)) continue;
      run.pointRed = run.pointGreen = run.pointBlue = 0;
      run.sampleIndex = 1;
      Тонирование(run, view, lm, picture, mirror, picture1);
      run.pixelDX = dx + 0.25;
      run.sampleIndex = 2;
      Тонирование(run, view, lm, picture, mirror, picture1);
      run.pixelDY = dy + 0.25;
      run.sampleIndex = 4;
      Тонирование(run, view, lm, picture, mirror, picture1);
      run.pixelDX = dx - 0.25;
      run.sampleIndex = 3;
      Тонирование(run, view, lm, picture, mirror, picture1);
      const double rgb = smoothedPixel(sumsOf(run), backTimes4);
      if (rgb >= 0)
        picture1.setPixel(run.scanColumn, picture.pictureHeight - run.scanRow,
                          fromArgb(static_cast<uint32_t>(rgb)));
    }
  }
}

}  // namespace

bool shadingPathAvailable(ShadingPath path) {
  switch (path) {
    case ShadingPath::Checked:
    case ShadingPath::Scalar:
    case ShadingPath::Parallel:
      return true;
#if defined(__x86_64__)
    case ShadingPath::Sse2:
      return true;
    case ShadingPath::Avx2:
      return __builtin_cpu_supports("avx2");
    case ShadingPath::Avx512:
      return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512dq");
#else
    default:
      return false;
#endif
  }
  return false;
}

ShadingPath fastestShadingPath() {
  static const ShadingPath fastest = [] {
    for (ShadingPath p : {ShadingPath::Avx512, ShadingPath::Avx2, ShadingPath::Sse2})
      if (shadingPathAvailable(p)) return p;
    return ShadingPath::Scalar;
  }();
  return fastest;
}

const char* shadingPathName(ShadingPath path) {
  switch (path) {
    case ShadingPath::Checked: return "checked";
    case ShadingPath::Scalar: return "scalar";
    case ShadingPath::Sse2: return "sse2";
    case ShadingPath::Avx2: return "avx2";
    case ShadingPath::Avx512: return "avx512";
    case ShadingPath::Parallel: return "parallel";
  }
  return "?";
}

namespace {

ShadingRun shadeMapWith(ShadingPath path, int workers, const ViewAndRotation& view,
                        const LightAndModel& lm, const MapPicture& picture,
                        const Isolines& isolines, MirrorSpot& mirror, Raster& picture1,
                        const ShadingProgress& progress = {}) {
  ShadingRun run = prepareShadingRun(view, picture, isolines, mirror);
  if (path == ShadingPath::Checked || !shadingPathAvailable(path)) {
    if (isolines.noSmoothing != kFalse)
      scanDirect(run, view, lm, picture, mirror, picture1);
    else
      scanSmoothed(run, view, lm, picture, mirror, picture1);
  } else {
    scanFast(path, workers, run, view, lm, picture, isolines.noSmoothing != kFalse, mirror,
             picture1, progress);
  }
  if (lm.surfaceModel == kMirror) {
    picture1.setPixel(mirror.mirrorSpotColumn, picture.pictureHeight - mirror.mirrorSpotRow,
                      RGB(255, 255, 255));
  }
  return run;
}

}  // namespace

ShadingRun shadeMap(ShadingPath path, const ViewAndRotation& view, const LightAndModel& lm,
                    const MapPicture& picture, const Isolines& isolines, MirrorSpot& mirror,
                    Raster& picture1) {
  return shadeMapWith(path, 0, view, lm, picture, isolines, mirror, picture1);
}

ShadingRun shadeMapOnWorkers(int workers, const ViewAndRotation& view, const LightAndModel& lm,
                             const MapPicture& picture, const Isolines& isolines,
                             MirrorSpot& mirror, Raster& picture1) {
  return shadeMapWith(ShadingPath::Parallel, std::max(workers, 1), view, lm, picture, isolines,
                      mirror, picture1);
}

ShadingRun shadeMap(const ViewAndRotation& view, const LightAndModel& lm,
                    const MapPicture& picture, const Isolines& isolines, MirrorSpot& mirror,
                    Raster& picture1) {
  return shadeMap(ShadingPath::Parallel, view, lm, picture, isolines, mirror, picture1);
}

ShadingRun shadeMap(const ViewAndRotation& view, const LightAndModel& lm,
                    const MapPicture& picture, const Isolines& isolines, MirrorSpot& mirror,
                    Raster& picture1, const ShadingProgress& progress) {
  return shadeMapWith(ShadingPath::Parallel, 0, view, lm, picture, isolines, mirror, picture1,
                      progress);
}

}  // namespace korvalen
