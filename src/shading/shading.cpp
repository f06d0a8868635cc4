// The shading run, its per-sample routine Тонирование and the colour of a
// sample. They live in one file so that the scan loops get the per-sample
// routine inlined: a run makes up to half a million calls.
#include "shading/shading.h"

#include <cmath>

#include "photometry/checked.h"
#include "photometry/geometry.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace korvalen {

namespace {

// The tint each band adds; it leans towards the band's swatch in the legend.
struct Tint {
  int16_t red, green, blue;
};
constexpr Tint kBandTint[8] = {
    {0, 0, 0},    // unused: bands are 1..7
    {40, 0, 0},   // 1, swatch (255, 128, 128)
    {40, 20, 0},  // 2, swatch (255, 192, 128)
    {37, 40, 0},  // 3, swatch (255, 255, 0)
    {0, 40, 0},   // 4, swatch (0, 192, 0)
    {0, 30, 40},  // 5, swatch (0, 176, 240)
    {0, 0, 40},   // 6, swatch (0, 0, 255)
    {25, 0, 40},  // 7, swatch (96, 0, 128)
};
// phi from 0 up to the seventh half-width: the surface is about to shadow itself.
constexpr Tint kZoneAtZero{96, 0, 52};
// phi below 0 down to minus the first half-width.
constexpr Tint kZoneBelowZero{175, 0, 91};

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

// phi * 255 + 0.5 rounded half to even. phi lies in [0, 1] here, so the sum lies
// in [0.5, 255.5], and adding and taking away 2^52 rounds it to the nearest
// integer, halves to even, exactly as nearbyint does, without the library's
// save and restore of the floating-point environment on every sample.
inline int16_t greyOf(float phi) {
  const double v = static_cast<double>(phi) * 255 + 0.5;
  constexpr double kTwo52 = 4503599627370496.0;
  return static_cast<int16_t>((v + kTwo52) - kTwo52);
}

// Code that ran before the scan (the dynamic loader, a library routine using
// 256- or 512-bit registers) can leave the upper halves of the vector registers
// marked in use. While they are, the scalar SSE arithmetic of the point
// evaluation carries false dependencies from one sample to the next, the
// samples no longer overlap, and a run takes twice as long. Clearing the upper
// halves once per column costs nothing and changes no result.
#if defined(__x86_64__) || defined(__i386__)
__attribute__((target("avx"))) void zeroUpperHalves() { _mm256_zeroupper(); }
void clearVectorUpperHalves() {
  static const bool hasAvx = __builtin_cpu_supports("avx");
  if (hasAvx) zeroUpperHalves();
}
#else
void clearVectorUpperHalves() {}
#endif

}  // namespace

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

ShadingRun shadeMap(const ViewAndRotation& view, const LightAndModel& lm,
                    const MapPicture& picture, const Isolines& isolines, MirrorSpot& mirror,
                    Raster& picture1) {
  ShadingRun run = prepareShadingRun(view, picture, isolines, mirror);
  if (isolines.noSmoothing != kFalse)
    scanDirect(run, view, lm, picture, mirror, picture1);
  else
    scanSmoothed(run, view, lm, picture, mirror, picture1);
  if (lm.surfaceModel == kMirror) {
    picture1.setPixel(mirror.mirrorSpotColumn, picture.pictureHeight - mirror.mirrorSpotRow,
                      RGB(255, 255, 255));
  }
  return run;
}

}  // namespace korvalen
