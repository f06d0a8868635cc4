#pragma once
// What every table the program writes shares: two comment lines (the program
// and its version, the command that makes the table again), and numbers with
// the point, without grouping, each the shortest text that reads back to the
// same value.
#include <QByteArray>
#include <QString>
#include <charconv>

#include "export/command_line.h"

namespace korvalen {

inline QByteArray tableHead(const QString& command) {
  return "# " + softwareName().toUtf8() + "\n# " + command.toUtf8() + "\n";
}

template <typename T>
void appendNumber(QByteArray& out, T v) {
  char buf[64];
  const auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, v);
  out.append(buf, static_cast<qsizetype>(ptr - buf));
}

}  // namespace korvalen
