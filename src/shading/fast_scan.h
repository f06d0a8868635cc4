#pragma once
// The scan of a shading run without a check in the per-sample arithmetic.
#include "photometry/model_state.h"
#include "shading/shading.h"
#include "raster/raster.h"

namespace korvalen {

// The scan of shadeMap for the Scalar, vector and Parallel paths (path
// available on this processor); run is prepared. Leaves run as the checked
// scan would. Parallel runs on `workers` threads, or with workers 0 on as
// many as the processor's hardware threads and the map's size repay. Parallel
// reports to `progress` when it is given (and then scans in bands even on one
// thread).
void scanFast(ShadingPath path, int workers, ShadingRun& run, const ViewAndRotation& view,
              const LightAndModel& lm, const MapPicture& picture, bool direct,
              MirrorSpot& mirror, Raster& picture1, const ShadingProgress& progress = {});

}  // namespace korvalen
