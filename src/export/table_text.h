#pragma once
// What every table the program writes shares: two comment lines (the program
// and its version, the command that makes the table again; a third says
// that phi is the radiance factor I/F where the table holds an added model's),
// and numbers with
// the point, without grouping, each the shortest text that reads back to the
// same value.
#include <QByteArray>
#include <QString>
#include <charconv>

#include "export/command_line.h"
#include "export/observation_tables.h"

namespace korvalen {

// The command comes as commandText writes it, on one line; should a line
// break reach it all the same, the line after it is a comment too.
// A table of I/F says so in a third comment line.
inline QByteArray tableHead(const QString& command, bool radianceFactor = false) {
  QByteArray head = "# " + softwareName().toUtf8() + "\n# ";
  for (const char c : command.toUtf8()) head += c == '\n' || c == '\r' ? QByteArray("\n# ") : QByteArray(1, c);
  head += "\n";
  if (radianceFactor) head += "# " + radianceFactorText().toUtf8() + "\n";
  return head;
}

template <typename T>
void appendNumber(QByteArray& out, T v) {
  char buf[64];
  const auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, v);
  out.append(buf, static_cast<qsizetype>(ptr - buf));
}

}  // namespace korvalen
