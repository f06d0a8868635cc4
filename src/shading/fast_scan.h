#pragma once
// The scan of a shading run without a check in the per-sample arithmetic.
#include "photometry/model_state.h"
#include "shading/shading.h"
#include "raster/raster.h"

namespace korvalen {

// The scan of shadeMap for the Scalar and vector paths (path available on this
// processor); run is prepared. Leaves run as the checked scan would.
void scanFast(ShadingPath path, ShadingRun& run, const ViewAndRotation& view,
              const LightAndModel& lm, const MapPicture& picture, bool direct,
              MirrorSpot& mirror, Raster& picture1);

}  // namespace korvalen
