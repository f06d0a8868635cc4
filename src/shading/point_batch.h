#pragma once
// The shading's batch point evaluation for other scans of the map's pixels
// (the comparison of two models): the same cosines, hits and misses as the
// checked evaluation, on the widest vector unit the processor offers.
#include "photometry/model_state.h"
#include "shading/sample_batch.h"

namespace korvalen {

// The run's values the evaluation reads: the view's rotation and scale, the
// light, the sight line's depth (halfLength, 10 units per pixel).
SampleConstants sampleConstantsOf(const ViewAndRotation& view, const LightAndModel& lm, double halfLength);

// The widest evaluation this processor and build run (one sample at a time
// where there is no vector unit), and the lane count its batches are a
// multiple of.
struct BatchEvaluation {
  EvaluateSamplesFn evaluate;
  int lanes;
};
BatchEvaluation fastestBatchEvaluation();

}  // namespace korvalen
