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

// The command comes as commandText writes it, on one line; should a line
// break reach it all the same, the line after it is a comment too.
inline QByteArray tableHead(const QString& command) {
  QByteArray head = "# " + softwareName().toUtf8() + "\n# ";
  for (const char c : command.toUtf8()) head += c == '\n' || c == '\r' ? QByteArray("\n# ") : QByteArray(1, c);
  return head + "\n";
}

template <typename T>
void appendNumber(QByteArray& out, T v) {
  char buf[64];
  const auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, v);
  out.append(buf, static_cast<qsizetype>(ptr - buf));
}

}  // namespace korvalen
