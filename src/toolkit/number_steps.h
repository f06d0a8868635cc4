#pragma once
// Stepping a number as it is written: the number boxes' Up and Down keys and
// the mouse wheel change a value by one unit of its last written decimal
// place, in the digits of the text itself, so that no binary rounding ever
// shows ("0.1" up by one gives "0.2", never "0.20000000000000001").
#include <QChar>
#include <QString>
#include <optional>

namespace korvalen {

// text stepped by `units` units of its last decimal place ("30" by 1, "0.005"
// by 0.001, "0,5" by 0,1), keeping its decimal separator (a point or a comma),
// its digits after the separator, leading zeros it was written with and a
// leading plus sign; a value that becomes negative is written with its own
// minus sign, or with `minus` when it had none; zero has no sign.
// Only a plain decimal text is stepped: an optional sign ('+', '-' or `minus`),
// Latin digits, at most one separator, at least one digit. Anything else
// (empty, exponents, group separators, spaces, letters) gives nullopt.
std::optional<QString> steppedNumberText(const QString& text, long long units,
                                         QChar minus = QLatin1Char('-'));

}  // namespace korvalen
