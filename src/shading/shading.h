#pragma once
// The shading of the map: the run over the pixels of the sphere's disc and the
// per-sample routine Тонирование, which finds phi at a sample and turns it into
// a grey level, an isoline tint or a zone colour, drawing straight into the
// map's Raster (one sample per pixel) or adding to the pixel's sub-sample sums
// (four samples per pixel with smoothing).
//
// The window does the run's set-ups (texts, rotation, light, parameters, radius),
// clears and hides Picture1, calls shadeMap and shows the picture afterwards.
#include <cstdint>
#include <functional>

#include "photometry/model_state.h"
#include "raster/raster.h"
#include "shading/colour_table.h"

namespace korvalen {

// The bounds of the bands and of the two zones for the given isolines.
IsolineBands isolineBandsOf(const Isolines& isolines);

// The scratch of one shading run: what the run sets before the scan, and the
// per-sample inputs and colour sums that the scan and Тонирование share.
struct ShadingRun {
  // Set before the scan.
  int16_t backRedTimes4 = 0, backGreenTimes4 = 0, backBlueTimes4 = 0;
  int16_t scanColumnFirst = 0, scanColumnLast = 0;
  int16_t scanRowFirst = 0, scanRowLast = 0;
  double sightLineHalfLength = 0;  // depth of the sight-line points: 10 units per pixel
  IsolineBands bands;

  // Per sample, set by the scan before each call of Тонирование.
  int32_t scanColumn = 0, scanRow = 0;  // the pixel; rows count from the bottom
  double pixelDX = 0, pixelDY = 0;      // offset from the centre, pixels, dy upward
  int16_t sampleIndex = 0;              // 0 direct mode; 1..4 sub-sample number

  // The sample's colour (direct mode) or the pixel's sub-sample sums (smoothing).
  int16_t pointRed = 0, pointGreen = 0, pointBlue = 0;
};

// What the run prepares before its scan: the background times four, the scan
// rectangle, the best mirror score reset to 100, the sight-line depth and the
// band bounds. Throws RuntimeError when a 16-bit store overflows or
// unitsPerPixel is 0.
ShadingRun prepareShadingRun(const ViewAndRotation& view, const MapPicture& picture,
                             const Isolines& isolines, MirrorSpot& mirror);

// The colour stage of one sample: a miss (hit false) or phi (at most 1, possibly
// negative). Direct mode draws the pixel (scanColumn, pictureHeight - scanRow);
// smoothing mode sets (sub-sample 1) or adds to (2..4) the sums and draws nothing.
void colourSample(ShadingRun& run, const MapPicture& picture, bool hit, float phi,
                  Raster& picture1);

// The per-sample routine for the sample (run.pixelDX, run.pixelDY) of the pixel
// (run.scanColumn, run.scanRow): the point evaluation, the mirror bookkeeping,
// phi limited to 1, then the colour stage.
void Тонирование(ShadingRun& run, const ViewAndRotation& view, const LightAndModel& lm,
                 const MapPicture& picture, MirrorSpot& mirror, Raster& picture1);
// The same, drawing through a writer of the map's raster.
void Тонирование(ShadingRun& run, const ViewAndRotation& view, const LightAndModel& lm,
                 const MapPicture& picture, MirrorSpot& mirror, Raster::PixelWriter& pixels);

// How a run evaluates its samples. Every path draws the same pixels, finds the
// same mirror spot and stops at the same sample with the same error.
//   Checked: Тонирование for every sample, every conversion checked as it is made.
//   Scalar: one sample at a time, the checks taken out of the arithmetic (a
//     sample that would raise an error is done again by Тонирование).
//   Sse2, Avx2, Avx512: as Scalar, with the point evaluation of 2, 4 or 8
//     samples of one column at a time in the processor's vector unit.
//   Parallel: the widest of these on all of the processor's hardware threads,
//     the columns split into contiguous bands that the threads take in turn.
enum class ShadingPath { Checked, Scalar, Sse2, Avx2, Avx512, Parallel };

// Whether this processor (and this build) can run the path.
bool shadingPathAvailable(ShadingPath path);
// The widest vector path the processor offers, or Scalar: the path of one
// thread that Parallel runs on each of its threads.
ShadingPath fastestShadingPath();
const char* shadingPathName(ShadingPath path);

// The scan of one run: prepares the run, shades every pixel of the disc (four
// sub-samples each unless isolines.noSmoothing), and paints the mirror spot
// white under the mirror model. picture1 must be pictureWidth x pictureHeight
// and already cleared; the run draws nothing outside the disc.
// Returns the run's scratch as the scan left it.
// shadeMap without a path takes Parallel; a path the processor lacks falls
// back to Checked.
ShadingRun shadeMap(const ViewAndRotation& view, const LightAndModel& lm,
                    const MapPicture& picture, const Isolines& isolines, MirrorSpot& mirror,
                    Raster& picture1);
// How far a run has come, 0 to 1: called on the thread that called shadeMap,
// between pieces of the scan and while it waits for the other threads, never
// while a sample is being shaded. It must not touch the run's inputs or picture1.
using ShadingProgress = std::function<void(double done)>;
// The Parallel path reporting its progress; the pixels, the mirror spot and
// the error are those of the run without it.
ShadingRun shadeMap(const ViewAndRotation& view, const LightAndModel& lm,
                    const MapPicture& picture, const Isolines& isolines, MirrorSpot& mirror,
                    Raster& picture1, const ShadingProgress& progress);
ShadingRun shadeMap(ShadingPath path, const ViewAndRotation& view, const LightAndModel& lm,
                    const MapPicture& picture, const Isolines& isolines, MirrorSpot& mirror,
                    Raster& picture1);
// The Parallel path on exactly `workers` threads (its bands of columns fewer
// only where the map has fewer columns), whatever the map's size and the
// processor.
ShadingRun shadeMapOnWorkers(int workers, const ViewAndRotation& view, const LightAndModel& lm,
                             const MapPicture& picture, const Isolines& isolines,
                             MirrorSpot& mirror, Raster& picture1);

}  // namespace korvalen
