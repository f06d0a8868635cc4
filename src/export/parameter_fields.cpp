#include "export/parameter_fields.h"

#include <QString>
#include <cmath>
#include <limits>

namespace korvalen {

double fieldRounding(double v) {
  // As the field rounds a value set in it: to its decimals, through the text.
  return QString::number(v, 'f', kParameterDecimals).toDouble();
}

FieldBounds fieldBoundsOf(const ParameterRange& range) {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  FieldBounds b{range.low, range.high};
  // An open end: the first value inside that the rounding does not take back
  // to the end (above 0 the smallest subnormal rounds to 0).
  if (range.lowOpen) {
    b.low = std::nextafter(range.low, kInf);
    while (!(fieldRounding(b.low) > range.low)) b.low = std::nextafter(b.low, kInf);
  }
  if (range.highOpen) {
    b.high = std::nextafter(range.high, -kInf);
    while (!(fieldRounding(b.high) < range.high)) b.high = std::nextafter(b.high, -kInf);
  }
  return b;
}

bool fieldHolds(const ParameterRange& range, double v) {
  const FieldBounds b = fieldBoundsOf(range);
  return v >= b.low && v <= b.high && fieldRounding(v) == v;
}

}  // namespace korvalen
