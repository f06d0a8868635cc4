// The observations on the command line: a fit's values reach every picture
// of the run, the evaluation's table, and bad input that writes nothing.
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <numbers>

#include "app/batch.h"
#include "export/command_line.h"
#include "raster/diverging_scale.h"
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

// The marks on the map: each in its residual's colour, the probe over it,
// off with the menu's check, carried by the copy; --levels auto and the
// tolerance's options.
TEST(ObservationBatch, MarksAndLevelsFromTheMap) {
  Form1 f;
  f.show();
  while (f.Timer1->enabled()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  f.Text4[0]->setText(QStringLiteral("40"));
  // Four observations at the map's g, far apart, each missing Lambert's law
  // (the matte map's factor 1) by its own amount.
  ObservationTable t;
  t.source = "four.csv";
  const double rows[][3] = {{20, 30, 0.9}, {50, 20, 0.7}, {35, 60, 0.8}, {60, 55, 0.3}};
  for (const auto& r : rows) {
    t.i.push_back(r[0]), t.e.push_back(r[1]), t.g.push_back(40), t.value.push_back(r[2]);
    t.line.push_back(static_cast<int32_t>(t.size() + 1));
  }
  f.setObservations(std::make_shared<const ObservationTable>(t));
  f.Command1->click();
  const ObservationMarks& marks = f.observationMarks();
  ASSERT_EQ(marks.marks().size(), 8u);
  const QImage withMarks = f.mapPicture();
  for (const MapMark& m : marks.marks()) {
    const double miss = t.value[m.row] - std::cos(t.i[m.row] * std::numbers::pi / 180);
    EXPECT_NEAR(marks.residuals()[m.row], miss, 1e-12);
    // The scale's colour of the miss, to the nearest of its steps.
    const Colour c = divergingColour(std::clamp(miss / marks.residualLimit(), -1.0, 1.0));
    const QRgb shown = withMarks.pixel(static_cast<int>(std::lround(m.x)), static_cast<int>(std::lround(m.y)));
    EXPECT_EQ(shown, toArgb(marks.colourOf(m.row))) << "row " << m.row;
    EXPECT_NEAR(qRed(shown), redOf(c), 2) << "row " << m.row;
    EXPECT_NEAR(qGreen(shown), greenOf(c), 2) << "row " << m.row;
    EXPECT_NEAR(qBlue(shown), blueOf(c), 2) << "row " << m.row;
    f.Picture1_MouseMove(m.x, m.y);
    EXPECT_TRUE(f.Label12->caption().contains(QStringLiteral("строка %1").arg(t.line[m.row])))
        << f.Label12->caption().toStdString();
    EXPECT_TRUE(f.Label12->caption().contains(QStringLiteral("разность")));
  }
  f.setMarksShown(false);
  EXPECT_NE(f.mapPicture(), withMarks);
  f.setMarksShown(true);
  EXPECT_EQ(f.mapPicture(), withMarks);

  // --levels auto: seven falling levels of two significant digits inside the
  // lit map's range; a map with nothing lit is refused and writes nothing.
  QTemporaryDir dir;
  const QString map = dir.filePath(QStringLiteral("map.png"));
  const QString data = writeObservations(dir, "four.csv", "i,e,g,I/F\n20,30,40,0.9\n50,20,40,0.7\n");
  const QStringList hapke{"--model", "hapke", "--preset", "ceres", "--inclination", "30", "--render", map};
  ASSERT_EQ(runWithoutWindow(parsed(hapke + QStringList{"--levels", "auto", "--data", data})).status,
            kExitSuccess);
  const CommandLine remade =
      parsed(QProcess::splitCommand(QImageReader(map).text(QStringLiteral("Comment"))).mid(1));
  ASSERT_TRUE(remade.levels);
  EXPECT_EQ(remade.data, data);
  double above = 1;
  for (const QString& level : *remade.levels) {
    const double v = level.toDouble();
    EXPECT_LT(v, above) << level.toStdString();
    EXPECT_GT(v, 0);
    EXPECT_EQ(QString::number(v, 'g', 2).toDouble(), v) << level.toStdString();
    above = v;
  }
  struct Refused {
    QStringList args;
    int status;
    const char* said;
  } const refused[] = {
      {{"--whole-sphere", "--inclination", "180", "--levels", "auto", "--render", map}, kExitRunFailed,
       "нет освещённых точек"},
      {{"--data", data, "--data-tolerance", "-1", "--render", map}, kExitUsage, "--data-tolerance"},
      {{"--data-tolerance", "3", "--render", map}, kExitUsage, "вместе с --data"},
  };
  for (const Refused& r : refused) {
    QFile::remove(map);
    const ParsedCommandLine p = parseCommandLine(QStringList{QStringLiteral("korvalen")} + r.args);
    const BatchResult result = p.error.isEmpty() ? runWithoutWindow(p.options) : BatchResult{kExitUsage, p.error, {}};
    EXPECT_EQ(result.status, r.status) << result.message.toStdString();
    EXPECT_TRUE(result.message.contains(QString::fromUtf8(r.said))) << result.message.toStdString();
    EXPECT_FALSE(QFile::exists(map));
  }
}

}  // namespace
}  // namespace korvalen
