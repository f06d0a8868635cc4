#pragma once
// What a parameter field of the window holds, for the window and the command
// line alike: the field keeps every double of its range to the last bit
// (shown in the shortest text that reads back), and its bounds are those of
// the parameter's range, an open end being the nearest value inside it that
// the field keeps. The command line takes only what a field can show, so the
// window never shows a value other than the one in effect.
#include "photometry/planetary.h"

namespace korvalen {

// The decimals of a field: as many as a double has.
inline constexpr int kParameterDecimals = 323;

// v as a field keeps it: rounded to kParameterDecimals places.
double fieldRounding(double v);

struct FieldBounds {
  double low, high;
};
FieldBounds fieldBoundsOf(const ParameterRange& range);

// Whether a field of this range shows v as it is: within its bounds and
// unchanged by its rounding.
bool fieldHolds(const ParameterRange& range, double v);

}  // namespace korvalen
