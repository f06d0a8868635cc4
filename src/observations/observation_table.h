#pragma once
// Measured reflectance: rows of (i, e, g, I/F, sigma) read from a text table,
// as a goniometer, a telescope or a spacecraft gives them. Plain C++, no Qt.
//
// A table is read whole or not at all: the first bad field refuses the file,
// with a Russian message that names the file, the line, the column, the text
// and the rule broken, and how many other lines are bad.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvalen {

// Columns of one array each, so that a million rows take little more than
// their numbers. Angles are in degrees.
struct ObservationTable {
  std::string source;            // the file's name as the user gave it
  std::vector<double> i, e, g;   // incidence, emission, phase
  std::vector<double> value;     // measured I/F; empty where the file has no such column
  std::vector<double> sigma;     // 1-sigma errors; empty where the file gives none
  std::vector<int32_t> line;     // each row's line in the file, from 1

  size_t size() const { return i.size(); }
  bool hasValue() const { return !value.empty(); }
  bool hasSigma() const { return !sigma.empty(); }
};

struct ObservationRead {
  std::optional<ObservationTable> table;
  std::string error;  // Russian, UTF-8; set exactly when table is empty
};

// Reads a file; `name` is how messages call it (the path as given).
ObservationRead readObservations(const std::string& path);
// The same reading over text already in memory.
ObservationRead parseObservations(std::string_view text, const std::string& name);

// The tolerance, in degrees, of the check that g lies in [|i - e|, i + e].
inline constexpr double kGeometrySlackDegrees = 0.01;

}  // namespace korvalen
