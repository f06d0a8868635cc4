#pragma once
// Checked conversions between the widths the program stores its numbers in.
// Every store that can overflow goes through one of these, so that a NaN or an
// infinity never reaches a stored value, a pixel or a label silently.
#include <cmath>
#include <cstdint>
#include <limits>

#include "runtime_error.h"

namespace korvalen {

// A double that must be finite: an infinity comes from an overflow or a
// division by zero, a NaN from an invalid operation (0/0, inf - inf).
inline double finite(double v) {
  if (std::isnan(v)) throw RuntimeError(ErrorKind::InvalidOperation);
  if (std::isinf(v)) throw RuntimeError(ErrorKind::Overflow);
  return v;
}

// Divides and reports a zero divisor as its own error, as the user should see it.
inline double divide(double a, double b) {
  if (b == 0.0) throw RuntimeError(ErrorKind::DivisionByZero);
  return finite(a / b);
}

// Rounds to the 32-bit float; a finite value beyond the float range overflows.
inline float toSingle(double v) {
  finite(v);
  const float f = static_cast<float>(v);
  if (std::isinf(f)) throw RuntimeError(ErrorKind::Overflow);
  return f;
}

// Rounds to the nearest integer, halves to even (the current rounding mode is
// never changed by the program, so nearbyint rounds to nearest-even).
inline double roundHalfEven(double v) { return std::nearbyint(v); }

inline int16_t toInt16(double v) {
  const double r = roundHalfEven(finite(v));
  if (r < -32768.0 || r > 32767.0) throw RuntimeError(ErrorKind::Overflow);
  return static_cast<int16_t>(r);
}

inline int32_t toInt32(double v) {
  const double r = roundHalfEven(finite(v));
  if (r < -2147483648.0 || r > 2147483647.0) throw RuntimeError(ErrorKind::Overflow);
  return static_cast<int32_t>(r);
}

// Integer arithmetic of the 16-bit stores: a result that does not fit overflows.
inline int16_t checkedInt16(long long v) {
  if (v < std::numeric_limits<int16_t>::min() || v > std::numeric_limits<int16_t>::max())
    throw RuntimeError(ErrorKind::Overflow);
  return static_cast<int16_t>(v);
}

inline int32_t checkedInt32(long long v) {
  if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
    throw RuntimeError(ErrorKind::Overflow);
  return static_cast<int32_t>(v);
}

}  // namespace korvalen
