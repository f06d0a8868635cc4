#include "observations/observation_table.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <numbers>

namespace korvalen {

namespace {

enum Column { kI, kE, kG, kPsi, kValue, kSigma, kColumnCount };

// The names a header may give each column, compared without regard to case.
struct ColumnNames {
  Column column;
  std::vector<std::string_view> names;
};
const ColumnNames kNames[] = {
    {kI, {"i", "inc", "incidence"}},
    {kE, {"e", "ema", "emission"}},
    {kG, {"g", "phase", "alpha"}},
    {kPsi, {"psi", "azimuth"}},
    {kValue, {"i/f", "iof", "reflectance", "value", "phi", "φ", "Φ", "ϕ"}},
    {kSigma, {"sigma", "err", "σ", "Σ"}},
};
// How a table without a header lays out its columns, and how messages name them.
const char* const kPlainNames[] = {"i", "e", "g", "psi", "I/F", "sigma"};

std::string lowerAscii(std::string_view s) {
  std::string out(s);
  for (char& ch : out)
    if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
  return out;
}

std::optional<Column> columnNamed(std::string_view field) {
  const std::string name = lowerAscii(field);
  for (const ColumnNames& c : kNames)
    for (std::string_view n : c.names)
      if (name == n) return c.column;
  return std::nullopt;
}

bool isSpace(char ch) { return ch == ' ' || ch == '\t' || ch == '\v' || ch == '\f'; }

// Fields between commas, semicolons, tabs or runs of spaces; spaces around a
// comma or a semicolon belong to the separator, and a pair of double quotes
// around a field is not part of it. Two separators in a row leave an empty field.
void splitFields(std::string_view line, std::vector<std::string_view>& fields) {
  fields.clear();
  size_t pos = 0;
  const size_t n = line.size();
  while (pos < n && isSpace(line[pos])) ++pos;
  if (pos == n) return;
  while (true) {
    const size_t start = pos;
    while (pos < n && !isSpace(line[pos]) && line[pos] != ',' && line[pos] != ';') ++pos;
    std::string_view f = line.substr(start, pos - start);
    if (f.size() >= 2 && f.front() == '"' && f.back() == '"') f = f.substr(1, f.size() - 2);
    fields.push_back(f);
    while (pos < n && isSpace(line[pos])) ++pos;
    if (pos == n) return;
    if (line[pos] == ',' || line[pos] == ';') {
      ++pos;
      while (pos < n && isSpace(line[pos])) ++pos;
      if (pos == n) {  // a separator at the end leaves an empty last field
        fields.push_back(std::string_view());
        return;
      }
    }
  }
}

// A number with the point, whatever the locale: the whole field or nothing.
// NaN and infinities are read (and refused by their own rule).
std::optional<double> numberOf(std::string_view f) {
  if (!f.empty() && f.front() == '+') f.remove_prefix(1);
  if (f.empty() || f.front() == '+') return std::nullopt;
  double v = 0;
  const auto [ptr, ec] = std::from_chars(f.data(), f.data() + f.size(), v);
  if (ec != std::errc() || ptr != f.data() + f.size()) return std::nullopt;
  return v;
}

// A field as a message quotes it: control characters escaped, at most 40 bytes
// (not cutting a UTF-8 character).
std::string shown(std::string_view f) {
  std::string out;
  size_t end = f.size();
  bool cut = false;
  if (end > 40) {
    end = 40;
    while (end > 0 && (static_cast<unsigned char>(f[end]) & 0xC0) == 0x80) --end;
    cut = true;
  }
  for (size_t k = 0; k < end; ++k) {
    const unsigned char ch = static_cast<unsigned char>(f[k]);
    if (ch < 0x20 || ch == 0x7F) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02X", ch);
      out += buf;
    } else {
      out += static_cast<char>(ch);
    }
  }
  if (cut) out += "…";
  return out;
}

std::string numberText(double v) {
  char buf[32];
  const auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 6);
  return std::string(buf, ec == std::errc() ? ptr : buf);
}

constexpr double kRadian = std::numbers::pi / 180;

class Reader {
 public:
  explicit Reader(std::string name) { table_.source = std::move(name); }

  void line(std::string_view text, int32_t number) {
    if (fatal_) return;
    if (number == 1 && text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    size_t first = 0;
    while (first < text.size() && isSpace(text[first])) ++first;
    if (first == text.size() || text[first] == '#') return;
    splitFields(text, fields_);
    if (fieldCount_ == 0) {
      bool allNumbers = true;
      for (std::string_view f : fields_) allNumbers = allNumbers && numberOf(f).has_value();
      if (!allNumbers) {
        header(number);
        return;
      }
      plainLayout(number);
      if (fatal_) return;
    }
    row(number);
  }

  ObservationRead finish() {
    ObservationRead r;
    if (!error_.empty()) {
      r.error = error_;
      if (otherBad_ > 0 && !fatal_) r.error += " Других строк с ошибками: " + std::to_string(otherBad_) + ".";
      return r;
    }
    if (table_.size() == 0) {
      r.error = "В файле «" + shown(table_.source) + "» нет ни одного наблюдения.";
      return r;
    }
    for (auto* v : {&table_.i, &table_.e, &table_.g, &table_.value, &table_.sigma}) v->shrink_to_fit();
    table_.line.shrink_to_fit();
    r.table = std::move(table_);
    return r;
  }

  void fail(const std::string& message) {
    error_ = message;
    fatal_ = true;
  }

 private:
  bool hasColumn(Column c) const { return at_[c] >= 0; }

  std::string where(int32_t number, int field) const {
    std::string s = "Файл «" + shown(table_.source) + "» не принят: строка " + std::to_string(number);
    if (field >= 0) s += ", столбец «" + names_[static_cast<size_t>(field)] + "»";
    return s + ": ";
  }

  void header(int32_t number) {
    for (size_t f = 0; f < fields_.size(); ++f) {
      const std::optional<Column> c = columnNamed(fields_[f]);
      if (!c) {
        fail(where(number, -1) + "неизвестное имя столбца «" + shown(fields_[f]) + "» (" +
             std::to_string(f + 1) +
             "-й); известны i, e, g или psi, I/F (value, phi), sigma (err).");
        return;
      }
      if (at_[*c] >= 0) {
        fail(where(number, -1) + "столбец «" + shown(fields_[f]) + "» повторяет столбец «" +
             names_[static_cast<size_t>(at_[*c])] + "».");
        return;
      }
      at_[*c] = static_cast<int>(f);
      names_.emplace_back(shown(fields_[f]));
    }
    const char* missing = !hasColumn(kI)   ? "i (угол падения)"
                          : !hasColumn(kE) ? "e (угол отражения)"
                          : (!hasColumn(kG) && !hasColumn(kPsi)) ? "g (фазовый угол) или psi (азимут)"
                                                                 : nullptr;
    if (missing) {
      fail(where(number, -1) + "в заголовке нет столбца " + missing + ".");
      return;
    }
    if (hasColumn(kG) && hasColumn(kPsi)) {
      fail(where(number, -1) + "заданы и g, и psi; нужен один из них.");
      return;
    }
    fieldCount_ = fields_.size();
  }

  void plainLayout(int32_t number) {
    for (int c = 0; c < kColumnCount; ++c) at_[c] = -1;
    const size_t n = fields_.size();
    if (n > 5) {
      fail(where(number, -1) + "столбцов " + std::to_string(n) +
           ", а без заголовка их 3, 4 или 5: i, e, g, I/F, sigma.");
      return;
    }
    const Column order[] = {kI, kE, kG, kValue, kSigma};
    // i, e and g are always there; fewer than three fields: the row below
    // names the first one missing.
    fieldCount_ = n < 3 ? 3 : n;
    for (size_t f = 0; f < 5; ++f) {
      names_.emplace_back(kPlainNames[order[f]]);
      if (f < fieldCount_) at_[order[f]] = static_cast<int>(f);
    }
  }

  void bad(int32_t number, int field, const std::string& detail) {
    if (error_.empty())
      error_ = where(number, field) + detail + ".";
    else
      ++otherBad_;
  }

  void row(int32_t number) {
    if (fields_.size() < fieldCount_) {
      bad(number, static_cast<int>(fields_.size()),
          "в строке " + std::to_string(fields_.size()) + " из " + std::to_string(fieldCount_) +
              " столбцов, этого столбца нет");
      return;
    }
    if (fields_.size() > fieldCount_) {
      bad(number, -1,
          "в строке " + std::to_string(fields_.size()) + " столбцов, а в таблице " +
              std::to_string(fieldCount_));
      return;
    }
    double v[kColumnCount] = {};
    for (int c = 0; c < kColumnCount; ++c) {
      if (at_[c] < 0) continue;
      const std::string_view f = fields_[static_cast<size_t>(at_[c])];
      const std::optional<double> x = numberOf(f);
      if (!x) {
        bad(number, at_[c], "«" + shown(f) + "» — не число (число пишется с точкой: 0.25)");
        return;
      }
      if (!std::isfinite(*x)) {
        bad(number, at_[c], "«" + shown(f) + "» — не конечное число");
        return;
      }
      v[c] = *x;
    }
    auto out = [&](Column c, const std::string& rule) {
      bad(number, at_[c], "«" + shown(fields_[static_cast<size_t>(at_[c])]) + "» — " + rule);
    };
    if (!(v[kI] >= 0 && v[kI] < 90)) return out(kI, "угол падения i должен лежать в [0, 90)");
    if (!(v[kE] >= 0 && v[kE] <= 90)) return out(kE, "угол отражения e должен лежать в [0, 90]");
    double g = v[kG];
    if (hasColumn(kPsi)) {
      const double cosG = std::cos(v[kI] * kRadian) * std::cos(v[kE] * kRadian) +
                          std::sin(v[kI] * kRadian) * std::sin(v[kE] * kRadian) *
                              std::cos(v[kPsi] * kRadian);
      g = std::acos(cosG < -1 ? -1.0 : (cosG > 1 ? 1.0 : cosG)) / kRadian;
    } else {
      if (!(g >= 0 && g <= 180)) return out(kG, "фазовый угол g должен лежать в [0, 180]");
      const double low = std::fabs(v[kI] - v[kE]), high = v[kI] + v[kE];
      if (g < low - kGeometrySlackDegrees || g > high + kGeometrySlackDegrees)
        return out(kG, "такой геометрии нет: при i = " + numberText(v[kI]) + " и e = " +
                           numberText(v[kE]) + " фазовый угол лежит в [" + numberText(low) +
                           ", " + numberText(high) + "] (с допуском 0.01°)");
    }
    if (hasColumn(kSigma) && !(v[kSigma] > 0))
      return out(kSigma, "погрешность sigma должна быть больше нуля");
    if (!error_.empty()) return;  // the file is refused already: only bad lines are counted
    table_.i.push_back(v[kI]);
    table_.e.push_back(v[kE]);
    table_.g.push_back(g);
    if (hasColumn(kValue)) table_.value.push_back(v[kValue]);
    if (hasColumn(kSigma)) table_.sigma.push_back(v[kSigma]);
    table_.line.push_back(number);
  }

  ObservationTable table_;
  int at_[kColumnCount] = {-1, -1, -1, -1, -1, -1};
  std::vector<std::string> names_;  // each field's name as messages give it
  size_t fieldCount_ = 0;
  std::vector<std::string_view> fields_;
  std::string error_;
  long otherBad_ = 0;
  bool fatal_ = false;
};

// Splits text into lines (a final line needs no end), without their ends.
template <class Sink>
size_t eachLine(std::string_view text, int32_t& number, Sink&& sink, bool last) {
  size_t start = 0;
  while (true) {
    const size_t end = text.find('\n', start);
    if (end == std::string_view::npos) break;
    std::string_view l = text.substr(start, end - start);
    if (!l.empty() && l.back() == '\r') l.remove_suffix(1);
    sink(l, ++number);
    start = end + 1;
  }
  if (last && start < text.size()) {
    std::string_view l = text.substr(start);
    if (!l.empty() && l.back() == '\r') l.remove_suffix(1);
    sink(l, ++number);
    start = text.size();
  }
  return start;
}

std::string openFailure(const std::string& name, int error) {
  const char* why = error == ENOENT    ? "такого файла нет"
                    : error == EACCES  ? "нет прав на чтение"
                    : error == EISDIR  ? "это папка, а не файл"
                                       : nullptr;
  std::string s = "Файл «" + shown(name) + "» не прочитан: ";
  s += why ? why : "ошибка чтения (код " + std::to_string(error) + ")";
  return s + ".";
}

}  // namespace

ObservationRead parseObservations(std::string_view text, const std::string& name) {
  Reader reader(name);
  int32_t number = 0;
  eachLine(text, number, [&](std::string_view l, int32_t n) { reader.line(l, n); }, true);
  return reader.finish();
}

ObservationRead readObservations(const std::string& path) {
  Reader reader(path);
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
  if (!file) return {std::nullopt, openFailure(path, errno)};
  // Read in blocks, so that memory holds the numbers and one block of text.
  constexpr size_t kBlock = 1 << 20;
  std::string buffer;
  int32_t number = 0;
  while (true) {
    const size_t kept = buffer.size();
    buffer.resize(kept + kBlock);
    const size_t got = std::fread(buffer.data() + kept, 1, kBlock, file.get());
    buffer.resize(kept + got);
    if (got == 0 && std::ferror(file.get())) return {std::nullopt, openFailure(path, errno ? errno : EIO)};
    const bool last = got == 0;
    const size_t used = eachLine(buffer, number,
                                 [&](std::string_view l, int32_t n) { reader.line(l, n); }, last);
    buffer.erase(0, used);
    if (last) break;
  }
  return reader.finish();
}

}  // namespace korvalen
