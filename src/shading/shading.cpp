// The shading run, its per-sample routine Тонирование and the colour of a
// sample. They live in one file so that the scan loops get the per-sample
// routine inlined: a run makes up to half a million calls.
#include "shading/shading.h"

#include <cmath>

#include "photometry/checked.h"
#include "photometry/geometry.h"
#include "shading/fast_scan.h"
#include "shading/sample_colour.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace korvalen {

namespace {

// Sums of four samples of at most 256 + 175 each cannot overflow 16 bits; the
// check stays so that no store can wrap silently.
inline int16_t add16(int16_t a, int b) { return checkedInt16(static_cast<long long>(a) + b); }

inline void setColour(ShadingRun& run, const Tint& c) {
  run.pointRed = c.red;
  run.pointGreen = c.green;
  run.pointBlue = c.blue;
}

inline void addColour(ShadingRun& run, const Tint& c) {
  run.pointRed = add16(run.pointRed, c.red);
  run.pointGreen = add16(run.pointGreen, c.green);
  run.pointBlue = add16(run.pointBlue, c.blue);
}

// Direct mode (and sub-sample 1) replaces the colour; sub-samples 2..4 add to it.
inline void putColour(ShadingRun& run, const Tint& c) {
  if (run.sampleIndex < 2)
    setColour(run, c);
  else
    addColour(run, c);
}

}  // namespace

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
  b.isolinesHidden = isolines.isolinesHidden;
  for (int k = 1; k <= 7; ++k) {
    const double level = isolines.isolineLevel[k];
    const double halfWidth = isolines.isolineHalfWidth[k];
    const float low = static_cast<float>(level - halfWidth);
    const float high = static_cast<float>(level + halfWidth);
    if (b.firstOverflow == 8 && (std::isinf(low) || std::isinf(high))) b.firstOverflow = k;
    b.low[k] = low;
    b.high[k] = high;
  }
  b.shadowLow = -isolines.isolineHalfWidth[1];
  b.zoneHigh = isolines.isolineHalfWidth[7];
  return b;
}

void colourSample(ShadingRun& run, const MapPicture& picture, bool hit, float phi,
                  Raster& picture1) {
  if (!hit) {
    // Smoothing counts a missed sub-sample as background; direct mode leaves
    // the background that the clear left there.
    if (run.sampleIndex != 0) {
      run.pointRed = add16(run.pointRed, picture.backRed);
      run.pointGreen = add16(run.pointGreen, picture.backGreen);
      run.pointBlue = add16(run.pointBlue, picture.backBlue);
    }
    return;
  }

  const IsolineBands& bands = run.bands;
  if (phi >= 0) {
    // phi = 1 gives 256; the limit to 255 comes at drawing or averaging.
    const int16_t grey = greyOf(phi);
    putColour(run, Tint{grey, grey, grey});

    // The first band that holds phi tints it, in either mode, and no zone
    // colour follows.
    bool inBand = false;
    if (bands.isolinesHidden == kFalse) {
      const int last = bands.firstOverflow - 1;  // bands before an overflowing bound
      for (int k = 1; k <= last && k <= 7; ++k) {
        if (bands.low[k] <= phi && phi <= bands.high[k]) {
          addColour(run, kBandTint[k]);
          inBand = true;
          break;
        }
      }
      if (!inBand && last < 7) throw RuntimeError(ErrorKind::Overflow);
    }
    if (!inBand && phi <= bands.zoneHigh) putColour(run, kZoneAtZero);
  } else if (phi >= bands.shadowLow && phi <= bands.zoneHigh) {
    putColour(run, kZoneBelowZero);
  } else if (run.sampleIndex < 2) {
    setColour(run, Tint{0, 0, 0});  // black; a later sub-sample adds nothing
  }

  if (run.sampleIndex == 0) {
    if (run.pointRed > 255) run.pointRed = 255;
    if (run.pointGreen > 255) run.pointGreen = 255;
    if (run.pointBlue > 255) run.pointBlue = 255;
    picture1.setPixel(run.scanColumn, picture.pictureHeight - run.scanRow,
                      RGB(run.pointRed, run.pointGreen, run.pointBlue));
  }
}

// ---------------------------------------------------------------------------
// The per-sample routine.

void Тонирование(ShadingRun& run, const ViewAndRotation& view, const LightAndModel& lm,
                 const MapPicture& picture, MirrorSpot& mirror, Raster& picture1) {
  // Only the mirror score reads the angles themselves; the arctangents are
  // skipped for the other models.
  const bool mirrorModel = lm.surfaceModel == kMirror;
  const PointEvaluation point =
      evaluatePicturePoint(view, lm, run.pixelDX, run.pixelDY, run.sightLineHalfLength,
                           kShadingRules, mirrorModel);
  if (!point.hit) {
    colourSample(run, picture, false, 0.0f, picture1);
    return;
  }

  float phi = reflectance(lm, point.angles, kShadingRules);
  if (mirrorModel) {
    // 0 exactly where i = e and g = i + e; of equal scores the first sample
    // scanned keeps the spot.
    const double g = lm.sourceInclination;
    const double angleI = point.angles.angleI;
    const double angleE = point.angles.angleE;
    const float score = toSingle(std::fabs(g - angleE - angleI) + std::fabs(angleI - angleE));
    if (score < mirror.mirrorBestScore) {
      mirror.mirrorBestScore = score;
      mirror.mirrorSpotColumn = checkedInt16(run.scanColumn);
      mirror.mirrorSpotRow = checkedInt16(run.scanRow);
    }
  }
  phi = clampPhi(phi, kShadingRules);
  colourSample(run, picture, true, phi, picture1);
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
      // Truncating division; a quotient above 255 is drawn as 255.
      if (!(run.pointRed == run.backRedTimes4 && run.pointGreen == run.backGreenTimes4 &&
            run.pointBlue == run.backBlueTimes4)) {
        picture1.setPixel(run.scanColumn, picture.pictureHeight - run.scanRow,
                          RGB(run.pointRed / 4, run.pointGreen / 4, run.pointBlue / 4));
      }
    }
  }
}

}  // namespace

bool shadingPathAvailable(ShadingPath path) {
  switch (path) {
    case ShadingPath::Checked:
    case ShadingPath::Scalar:
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
  }
  return "?";
}

ShadingRun shadeMap(ShadingPath path, const ViewAndRotation& view, const LightAndModel& lm,
                    const MapPicture& picture, const Isolines& isolines, MirrorSpot& mirror,
                    Raster& picture1) {
  ShadingRun run = prepareShadingRun(view, picture, isolines, mirror);
  if (path == ShadingPath::Checked || !shadingPathAvailable(path)) {
    if (isolines.noSmoothing != kFalse)
      scanDirect(run, view, lm, picture, mirror, picture1);
    else
      scanSmoothed(run, view, lm, picture, mirror, picture1);
  } else {
    scanFast(path, run, view, lm, picture, isolines.noSmoothing != kFalse, mirror, picture1);
  }
  if (lm.surfaceModel == kMirror) {
    picture1.setPixel(mirror.mirrorSpotColumn, picture.pictureHeight - mirror.mirrorSpotRow,
                      RGB(255, 255, 255));
  }
  return run;
}

ShadingRun shadeMap(const ViewAndRotation& view, const LightAndModel& lm,
                    const MapPicture& picture, const Isolines& isolines, MirrorSpot& mirror,
                    Raster& picture1) {
  return shadeMap(fastestShadingPath(), view, lm, picture, isolines, mirror, picture1);
}

}  // namespace korvalen
