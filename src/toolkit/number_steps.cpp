#include "toolkit/number_steps.h"

#include <algorithm>
#include <string>

namespace korvalen {

namespace {

// Unsigned whole numbers as strings of decimal digits, most significant first.
std::string withoutLeadingZeros(const std::string& a) {
  const size_t first = a.find_first_not_of('0');
  return first == std::string::npos ? std::string("0") : a.substr(first);
}

int compareDigits(const std::string& a, const std::string& b) {
  const std::string x = withoutLeadingZeros(a), y = withoutLeadingZeros(b);
  if (x.size() != y.size()) return x.size() < y.size() ? -1 : 1;
  return x.compare(y) < 0 ? -1 : (x == y ? 0 : 1);
}

std::string addDigits(const std::string& a, const std::string& b) {
  std::string sum;
  int carry = 0;
  for (size_t k = 0; k < std::max(a.size(), b.size()) || carry; ++k) {
    const int x = k < a.size() ? a[a.size() - 1 - k] - '0' : 0;
    const int y = k < b.size() ? b[b.size() - 1 - k] - '0' : 0;
    const int d = x + y + carry;
    sum.push_back(static_cast<char>('0' + d % 10));
    carry = d / 10;
  }
  std::reverse(sum.begin(), sum.end());
  return sum;
}

// a - b for a >= b.
std::string subtractDigits(const std::string& a, const std::string& b) {
  std::string difference;
  int borrow = 0;
  for (size_t k = 0; k < a.size(); ++k) {
    const int x = a[a.size() - 1 - k] - '0';
    const int y = k < b.size() ? b[b.size() - 1 - k] - '0' : 0;
    int d = x - y - borrow;
    borrow = d < 0;
    if (borrow) d += 10;
    difference.push_back(static_cast<char>('0' + d));
  }
  std::reverse(difference.begin(), difference.end());
  return withoutLeadingZeros(difference);
}

bool isMinus(QChar c, QChar minus) { return c == QLatin1Char('-') || c == minus; }

}  // namespace

std::optional<QString> steppedNumberText(const QString& text, long long units, QChar minus) {
  // sign, whole part, separator, decimals
  qsizetype i = 0;
  QChar sign;
  if (!text.isEmpty() && (text[0] == QLatin1Char('+') || isMinus(text[0], minus))) sign = text[i++];
  std::string whole, decimals;
  while (i < text.size() && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'))
    whole.push_back(static_cast<char>(text[i++].unicode()));
  QChar separator;
  if (i < text.size() && (text[i] == QLatin1Char('.') || text[i] == QLatin1Char(','))) {
    separator = text[i++];
    while (i < text.size() && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'))
      decimals.push_back(static_cast<char>(text[i++].unicode()));
  }
  if (i != text.size() || whole.size() + decimals.size() == 0) return std::nullopt;

  // value = (negative ? -1 : 1) * digits units of the last place; the step likewise.
  const std::string digits = whole + decimals;
  bool negative = !sign.isNull() && isMinus(sign, minus) && compareDigits(digits, "0") != 0;
  const bool down = units < 0;
  // (|units| in unsigned arithmetic: the most negative long long has no positive twin.)
  const unsigned long long size = down ? 0ULL - static_cast<unsigned long long>(units)
                                       : static_cast<unsigned long long>(units);
  const std::string step = std::to_string(size);
  std::string result;
  if (negative == down) {
    result = addDigits(digits, step);
  } else if (compareDigits(digits, step) >= 0) {
    result = subtractDigits(withoutLeadingZeros(digits), step);
  } else {
    // Across zero: the sign turns.
    result = subtractDigits(step, withoutLeadingZeros(digits));
    negative = !negative;
  }
  result = withoutLeadingZeros(result);
  if (result == "0") negative = false;

  // Back into the text's own form: as many decimals as it had, its leading
  // zeros ("007"), and a bare separator or a missing whole part (".5") kept.
  if (result.size() < decimals.size() + 1) result.insert(0, decimals.size() + 1 - result.size(), '0');
  std::string newWhole = withoutLeadingZeros(result.substr(0, result.size() - decimals.size()));
  const std::string newDecimals = result.substr(result.size() - decimals.size());
  const size_t wholeWidth = whole.size() > 1 && whole[0] == '0' ? whole.size() : std::min<size_t>(whole.size(), 1);
  if (newWhole == "0" && wholeWidth == 0) newWhole.clear();
  if (newWhole.size() < wholeWidth) newWhole.insert(0, wholeWidth - newWhole.size(), '0');

  QString out;
  if (negative)
    out += !sign.isNull() && isMinus(sign, minus) ? sign : minus;
  else if (sign == QLatin1Char('+'))
    out += sign;
  out += QString::fromLatin1(newWhole);
  if (!separator.isNull()) out += separator + QString::fromLatin1(newDecimals);
  return out;
}

}  // namespace korvalen
