// The curves' tables: the head of every table, the header rows, numbers that
// read back to the values, empty cells for the probe's gaps.
#include <gtest/gtest.h>

#include <QList>
#include <charconv>

#include "export/command_line.h"
#include "export/curve_tables.h"

namespace korvalen {
namespace {

QList<QByteArray> linesOf(const QByteArray& table) {
  QList<QByteArray> lines = table.split('\n');
  EXPECT_TRUE(lines.back().isEmpty());  // every line ends with its newline
  lines.removeLast();
  return lines;
}

template <typename T>
T read(const QByteArray& text) {
  T v{};
  const auto [ptr, ec] = std::from_chars(text.constData(), text.constData() + text.size(), v);
  EXPECT_TRUE(ec == std::errc() && ptr == text.constData() + text.size()) << text.toStdString();
  return v;
}

TEST(CurveTables, EquatorRowsReadBackExactly) {
  EquatorCurve c;
  c.g = 60.00000126;
  c.points = {{-90, 150.00000126, 90, 1.7948968e-09f}, {-0.5, 60.50000126, 0.5, 0.1f}, {60, 1.26e-6, 60, 1}};
  const QList<QByteArray> lines = linesOf(equatorTable(c, QStringLiteral("korvalen --profile e.csv")));
  ASSERT_EQ(lines.size(), 6);
  EXPECT_EQ(lines[0], "# " + softwareName().toUtf8());
  EXPECT_EQ(lines[1], "# korvalen --profile e.csv");
  EXPECT_EQ(lines[2], "gamma,i,e,g,phi");
  EXPECT_EQ(lines[4], "-0.5,60.50000126,0.5,60.00000126,0.1");  // the shortest text that reads back
  for (int k = 0; k < 3; ++k) {
    const QList<QByteArray> cells = lines[3 + k].split(',');
    ASSERT_EQ(cells.size(), 5);
    const EquatorPoint& p = c.points[static_cast<size_t>(k)];
    const double want[] = {p.gamma, p.i, p.e, c.g};
    for (int j = 0; j < 4; ++j) EXPECT_EQ(read<double>(cells[j]), want[j]) << k << "," << j;
    EXPECT_EQ(read<float>(cells[4]), p.phi);
  }
}

// The phase table: rows only for a defined curve; the probe's: gaps are empty cells.
TEST(CurveTables, PhaseAndProbeRows) {
  PhaseCurve phase;
  phase.points = {{0, 20944.5, 1}, {1, 20941.3, 0.9998479003303085}, {180, 0, 0}};
  EXPECT_EQ(linesOf(phaseTable(phase, QStringLiteral("korvalen"))).size(), 3);  // the head and the header
  phase.defined = true;
  EXPECT_EQ(linesOf(phaseTable(phase, QStringLiteral("korvalen"))).mid(2),
            (QList<QByteArray>{"g,relative", "0,1", "1,0.9998479003303085", "180,0"}));
  ProbeCurves c;
  c.x = 200;
  c.y = 150.5f;
  c.row = {{-2, false, 0}, {-1, true, 0.25f}, {0, true, 0.5f}, {1, false, 0}};
  c.column = {{1, true, 0.75f}, {0, true, 1}, {-1, false, 0}, {-2, true, 0}};
  EXPECT_EQ(linesOf(probeTable(c, QStringLiteral("korvalen --model rocky"))).mid(1),
            (QList<QByteArray>{"# korvalen --model rocky", "# точка зонда x,y: 200,150.5", "offset,row,column", "-2,,0",
                               "-1,0.25,", "0,0.5,1", "1,,0.75"}));
}

// A file name with a line break or another control character cannot end a
// comment line early: every line of every table's head starts with "#".
TEST(CurveTables, EveryHeadLineIsAComment) {
  EquatorCurve equator;
  equator.points = {{0, 30, 0, 0.5f}};
  PhaseCurve phase;
  phase.defined = true;
  ProbeCurves probe;
  for (const QString& command : {commandText({QStringLiteral("--profile"), QStringLiteral("a\nb\r\v\x1b.csv")}),
                                 QStringLiteral("korvalen\n--raw\r\nline\r")})
    for (const QByteArray& table : {equatorTable(equator, command), phaseTable(phase, command), probeTable(probe, command)}) {
      QList<QByteArray> lines = linesOf(table);
      while (!lines.isEmpty() && lines.front().startsWith('#')) lines.removeFirst();
      ASSERT_FALSE(lines.isEmpty());
      EXPECT_TRUE(QList<QByteArray>({"gamma,i,e,g,phi", "g,relative", "offset,row,column"}).contains(lines.front()));
      EXPECT_FALSE(table.contains('\r')) << table.toStdString();
    }
}

}  // namespace
}  // namespace korvalen
