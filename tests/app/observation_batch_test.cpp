// The observations on the command line: a fit's values reach every picture
// of the run, the evaluation's table, and bad input that writes nothing.
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>

#include "app/batch.h"
#include "export/command_line.h"
#include "observation_samples.h"
#include "form1_fixture.h"

namespace korvalen {
namespace {

CommandLine parsed(const QStringList& args) {
  const ParsedCommandLine p = parseCommandLine(QStringList{QStringLiteral("korvalen")} + args);
  EXPECT_TRUE(p.error.isEmpty()) << p.error.toStdString();
  return p.options;
}

QString writeObservations(const QTemporaryDir& dir, const char* name, const QByteArray& text) {
  QFile f(dir.filePath(QLatin1String(name)));
  EXPECT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(text);
  return f.fileName();
}

QByteArray tableOf(const ObservationTable& t) {
  QByteArray text = "i,e,g,I/F\n";
  for (size_t r = 0; r < t.size(); ++r)
    text += QByteArray::number(t.i[r], 'g', 17) + ',' + QByteArray::number(t.e[r], 'g', 17) + ',' +
            QByteArray::number(t.g[r], 'g', 17) + ',' + QByteArray::number(t.value[r], 'g', 17) + '\n';
  return text;
}

TEST(ObservationBatch, FitEvaluateAndRefuse) {
  QTemporaryDir dir;
  ObservationTable t = spreadGeometries(60);
  PlanetaryParameters truth;
  truth.factor = 0.6;
  truth.lunarL = 0.3;
  measure(t, kLunarLambert, truth, 0);
  const QString good = writeObservations(dir, "good.csv", tableOf(t));
  const QString bad = writeObservations(dir, "bad.csv", "i,e,g,I/F\n30,20,10,0.5\n30,20,80,0.5\n");
  const QString few = writeObservations(dir, "few.csv", "30 20 10 0.5\n");
  const QString map = dir.filePath(QStringLiteral("map.png")), report = dir.filePath(QStringLiteral("fit.csv")),
                out = dir.filePath(QStringLiteral("ev.csv"));
  const QStringList lunar{QStringLiteral("--model"), QStringLiteral("lunar-lambert"), QStringLiteral("--inclination"),
                          QStringLiteral("40")};
  struct Case {
    const char* name;
    QStringList args;
    int status;
    std::vector<QString> written;
    const char* said;  // in the output (success) or the message (failure)
  } const cases[] = {
      {"fit", lunar + QStringList{"--data", good, "--fit", "factor,L", "--fit-report", report, "--render", map},
       kExitSuccess, {report, map}, "L = 0.3"},
      {"evaluate", lunar + QStringList{"--L", "0.3", "--factor", "0.6", "--evaluate", good, "--out", out},
       kExitSuccess, {out}, ""},
      {"compare", {"--data", good, "--fit-all"}, kExitSuccess, {}, "Лунно-ламбертова: ΔBIC = 0"},
      {"bad file", lunar + QStringList{"--data", bad, "--fit", "L", "--render", map}, kExitUsage, {},
       "строка 3, столбец «g»"},
      {"too few points", lunar + QStringList{"--data", few, "--fit", "factor,L", "--render", map}, kExitUsage, {},
       "нужно не меньше 3"},
      {"a model without phi", {"--model", "glossy", "--evaluate", good, "--out", out}, kExitUsage, {},
       "модель glossy"},
  };
  for (const Case& c : cases) {
    for (const QString& f : {map, report, out}) QFile::remove(f);
    const BatchResult r = runWithoutWindow(parsed(c.args));
    EXPECT_EQ(r.status, c.status) << c.name << ": " << r.message.toStdString();
    const QString text = c.status == kExitSuccess ? r.output : r.message;
    EXPECT_TRUE(text.contains(QString::fromUtf8(c.said))) << c.name << ": " << text.toStdString();
    for (const QString& f : {map, report, out})
      EXPECT_EQ(QFile::exists(f), std::count(c.written.begin(), c.written.end(), f) > 0) << c.name;
  }

  // The fitted map is the map of the fitted values typed in, and carries them.
  runWithoutWindow(parsed(lunar + QStringList{"--data", good, "--fit", "factor,L", "--render", map}));
  QImageReader fitted(map);
  const QString command = fitted.text(QStringLiteral("Comment"));
  EXPECT_FALSE(command.contains(QStringLiteral("--fit"))) << command.toStdString();
  const QImage fittedMap = fitted.read();
  const QString again = dir.filePath(QStringLiteral("again.png"));
  QStringList args = QProcess::splitCommand(command).mid(1);
  args[args.indexOf(QStringLiteral("--render")) + 1] = again;
  ASSERT_EQ(runWithoutWindow(parsed(args)).status, kExitSuccess);
  EXPECT_EQ(QImage(again), fittedMap);

  // The evaluation: the quantity named, each row's phi the model's own, the residual value - phi.
  runWithoutWindow(parsed(lunar + QStringList{"--L", "0.3", "--factor", "0.6", "--evaluate", good, "--out", out}));
  QFile ev(out);
  ASSERT_TRUE(ev.open(QIODevice::ReadOnly));
  const QList<QByteArray> lines = ev.readAll().split('\n');
  EXPECT_TRUE(lines[2].startsWith("# phi — радиационный фактор I/F"));
  EXPECT_EQ(lines[3], "i,e,g,phi,value,residual");
  for (size_t r = 0; r < t.size(); r += 7) {
    const QList<QByteArray> f = lines[static_cast<qsizetype>(r) + 4].split(',');
    EXPECT_NEAR(f[3].toDouble(), t.value[r], 1e-15) << r;
    EXPECT_EQ(f[5].toDouble(), f[4].toDouble() - f[3].toDouble()) << r;
  }
}

}  // namespace
}  // namespace korvalen
