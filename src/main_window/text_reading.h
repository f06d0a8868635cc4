#pragma once
// Reading numbers from the texts the user types. Only QtCore: the fuzz tests
// drive these without a window.
#include <QString>
#include <cstdint>
#include <optional>

#include "photometry/model_state.h"

namespace korvalen {

// The variables of the text-to-number procedure.
struct TextConversion {
  QString inputText;
  QString currentChar;
  VbBool inputEmpty = kFalse;
  QString numberText;
  VbBool separatorFree = kFalse;
};

// Collects the number in inputText into numberText: digits kept, the first "."
// or "," as the point, the last minus ("-" or the em dash) dropping what came
// before it, everything else skipped. An empty inputText sets inputEmpty and
// leaves numberText as it was. scanColumn walks the characters; scanRow holds
// the code of the current one.
void convertTextToNumber(TextConversion& t, int32_t& scanColumn, int32_t& scanRow);

// The leading decimal number of numberText with "." as the point; "", "-", "."
// and "-." read as 0. A number too large for a double is an overflow error.
double cleanedReadingOf(const QString& numberText);

// The user's locale's reading; the empty text, non-numbers and non-finite
// values fail.
std::optional<double> localeReadingOf(const QString& text);

}  // namespace korvalen
