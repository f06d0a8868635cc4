#pragma once
// --compare, --compare-as and --compare-levels: model B of a comparison in one
// argument, read by the program's own parser, which may carry nothing but a
// model's options; the kind of the map; the levels of its isolines.
#include <QString>
#include <array>
#include <optional>
#include <vector>

#include "comparison/model_comparison.h"
#include "export/command_line.h"

namespace korvalen {

// --compare-as's words, indexed as ComparisonKind.
inline const std::array<const char*, 2> kComparisonKindNames = {"ratio", "difference"};

// The most levels a comparison draws isolines at.
inline constexpr size_t kMostComparisonLevels = 20;

struct ComparisonOptions {
  CommandLine model;  // model B's options, and nothing else
  ComparisonKind kind = ComparisonKind::Ratio;
  std::vector<double> levels;  // the kind's own where none are given
};

// c's comparison, when c asks for one and its options are sound; otherwise
// none, and `error` (where given) says in Russian what is wrong, if anything.
std::optional<ComparisonOptions> comparisonOptionsOf(const CommandLine& c, QString* error = nullptr);

// false, with the message in `error`, when a comparison option is unsound:
// --compare's text not a model's options, an unknown kind, a bad list of
// levels, --compare-as or --compare-levels without --compare.
bool readComparisonOptions(const CommandLine& c, QString& error);

// Numbers with the point, separated by commas: 1 to kMostComparisonLevels of them.
std::optional<std::vector<double>> readLevelList(const QString& text);

}  // namespace korvalen
