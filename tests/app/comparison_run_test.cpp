// Two models compared, through the command line and the window: the table's
// rows are each model's own, a bad comparison is refused and writes nothing,
// a picture's command makes it again, the probe tells both models and their
// ratio, and the normal map comes back as it was.
#include <QFile>
#include <QImageReader>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <charconv>

#include "app/batch.h"
#include "export/command_line.h"
#include "form1_fixture.h"
#include "main_window/compare_dialog.h"
#include "photometry/probe.h"

namespace korvalen {
namespace {

QStringList args(std::initializer_list<const char*> list) {
  QStringList a;
  for (const char* s : list) a << QString::fromUtf8(s);
  return a;
}

CommandLine parsed(const QStringList& a) {
  const ParsedCommandLine p = parseCommandLine(QStringList{QStringLiteral("korvalen")} + a);
  EXPECT_TRUE(p.error.isEmpty()) << p.error.toStdString();
  return p.options;
}

// The table's rows after its header, each split at the commas.
QList<QStringList> rows(const QString& file) {
  QFile f(file);
  EXPECT_TRUE(f.open(QIODevice::ReadOnly));
  QList<QStringList> r;
  bool header = false;
  for (const QByteArray& line : f.readAll().split('\n')) {
    if (line.isEmpty() || line.startsWith('#')) continue;
    if (header) r << QString::fromUtf8(line).split(QLatin1Char(','));
    header = true;
  }
  return r;
}

template <typename T>
T number(const QString& text) {
  const std::string s = text.toStdString();
  T v{};
  std::from_chars(s.data(), s.data() + s.size(), v);
  return v;
}

struct TableCase {
  const char* name;
  QStringList view, a, b;
  bool difference;
  bool someWithoutRatio;  // phi_b is 0 on a part of the disc
};

const TableCase kTableCases[] = {
    {"lunar-lambert against Lommel-Seeliger", args({"--inclination", "40", "--radius", "60"}),
     args({"--model", "lunar-lambert", "--L", "0.3"}), args({"--model", "lommel-seeliger"}), false, true},
    {"matte against glossy, a dark side", args({"--inclination", "70", "--radius", "60", "--ox", "60"}),
     args({"--model", "matte"}), args({"--model", "glossy", "--s", "0.2", "--n", "5"}), false, true},
    {"Hapke minus Minnaert, whole sphere", args({"--inclination", "30", "--radius", "50", "--whole-sphere"}),
     args({"--model", "hapke", "--preset", "ceres"}), args({"--model", "minnaert", "--k", "0.7"}), true, false},
};

class ComparisonTable : public ::testing::TestWithParam<TableCase> {};

TEST_P(ComparisonTable, RowsAreEachModelsOwnAndTheirRatio) {
  const TableCase& c = GetParam();
  QTemporaryDir dir;
  auto run = [&](const QStringList& options, const char* file) {
    CommandLine line = parsed(options + QStringList{QStringLiteral("--values"), dir.filePath(QLatin1String(file))});
    const BatchResult r = runWithoutWindow(line);
    EXPECT_EQ(r.status, kExitSuccess) << r.message.toStdString();
    return rows(dir.filePath(QLatin1String(file)));
  };
  const QList<QStringList> a = run(c.view + c.a, "a.csv"), b = run(c.view + c.b, "b.csv");
  QStringList compare = c.view + c.a + QStringList{QStringLiteral("--compare"), c.b.join(QLatin1Char(' '))};
  if (c.difference) compare << QStringLiteral("--compare-as") << QStringLiteral("difference");
  const QList<QStringList> ab = run(compare, "ab.csv");
  ASSERT_EQ(ab.size(), a.size());
  ASSERT_EQ(ab.size(), b.size());
  ASSERT_GT(ab.size(), 1000);
  int withoutRatio = 0;
  for (qsizetype i = 0; i < ab.size(); ++i) {
    const QStringList& r = ab[i];
    ASSERT_EQ(r.size(), 5);
    ASSERT_EQ(r.mid(0, 2), a[i].mid(0, 2));
    ASSERT_EQ(r.mid(0, 2), b[i].mid(0, 2));
    ASSERT_EQ(r[2], a[i][2]) << "phi_a at " << r[0].toStdString() << "," << r[1].toStdString();
    ASSERT_EQ(r[3], b[i][2]) << "phi_b at " << r[0].toStdString() << "," << r[1].toStdString();
    const double pa = number<float>(r[2]), pb = number<float>(r[3]);
    if (c.difference) {
      ASSERT_EQ(number<double>(r[4]), pa - pb);
    } else if (pb == 0) {
      ASSERT_TRUE(r[4].isEmpty());
      ++withoutRatio;
    } else {
      ASSERT_EQ(number<double>(r[4]), pa / pb);
    }
  }
  EXPECT_EQ(withoutRatio > 0, c.someWithoutRatio);
}

INSTANTIATE_TEST_SUITE_P(Models, ComparisonTable, ::testing::ValuesIn(kTableCases), [](const auto& info) {
  std::string n = info.param.name;
  for (char& ch : n)
    if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
  return n;
});

// The real program, run as a script runs it, in a directory of its own.
struct Exit {
  int status;
  QString err;
};
Exit runProgram(const QString& command, const QString& workDir) {
  QProcess sh;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("PATH"), QFileInfo(QStringLiteral(KORVALEN_BINARY)).absolutePath() + ":" + env.value("PATH"));
  env.insert(QStringLiteral("LC_ALL"), QStringLiteral("ru_RU.UTF-8"));
  env.remove(QStringLiteral("QT_QPA_PLATFORM"));
  env.remove(QStringLiteral("DISPLAY"));
  sh.setProcessEnvironment(env);
  sh.setWorkingDirectory(workDir);
  sh.start(QStringLiteral("bash"), {QStringLiteral("-c"), command});
  if (!sh.waitForFinished(-1)) sh.kill();
  return {sh.exitCode(), QString::fromLocal8Bit(sh.readAllStandardError())};
}

struct Refusal {
  const char* command;
  const char* named;  // what the message names
};

TEST(ComparisonOptions, ABadComparisonIsRefusedAndWritesNothing) {
  const Refusal cases[] = {
      {"korvalen --compare '--model matte --render x.png' --render out.png", "«--render»"},
      {"korvalen --compare '--model glossy --k 2' --values out.csv", "--k"},
      {"korvalen --compare '--model nosuch' --render out.png", "nosuch"},
      {"korvalen --compare '--help' --render out.png", "«--help»"},
      {"korvalen --compare-as ratio --render out.png", "--compare"},
      {"korvalen --compare '--model matte' --compare-as quotient --render out.png", "quotient"},
      {"korvalen --compare '--model matte' --compare-levels 1,,2 --values out.csv", "--compare-levels"},
      {"korvalen --compare '--model glossy --s 1e39' --render out.png --values out.csv", "--s"},
  };
  for (const Refusal& r : cases) {
    QTemporaryDir dir;
    const Exit e = runProgram(QString::fromUtf8(r.command), dir.path());
    EXPECT_EQ(e.status, kExitUsage) << r.command << "\n" << e.err.toStdString();
    EXPECT_TRUE(e.err.contains(QString::fromUtf8(r.named))) << r.command << "\n" << e.err.toStdString();
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty()) << r.command;
  }
}

QImage rgb(const QImage& i) { return i.convertToFormat(QImage::Format_RGB32); }

// The picture's command, run by the shell, makes the same picture.
void expectCommandRemakes(const QString& picture) {
  QTemporaryDir again;
  const QString comment = QImageReader(picture).text(QStringLiteral("Comment"));
  ASSERT_TRUE(comment.contains(QStringLiteral("--compare"))) << comment.toStdString();
  const Exit e = runProgram(comment, again.path());
  ASSERT_EQ(e.status, 0) << comment.toStdString() << "\n" << e.err.toStdString();
  const QImage remade(again.filePath(QFileInfo(picture).fileName()));
  ASSERT_FALSE(remade.isNull()) << comment.toStdString();
  EXPECT_TRUE(rgb(remade) == rgb(QImage(picture))) << comment.toStdString();
}

class ComparisonWindow : public Form1Test {
 protected:
  // Model B as the window has it now, then model A chosen.
  void compareWithCurrent() {
    form->showCompareDialog();
    ASSERT_NE(form->compareDialog(), nullptr);
    form->compareDialog()->hide();
  }
};

TEST_P(ComparisonWindow, APicturesCommandMakesItAgain) {
  passStartUpGuard();
  type(form->Text4[0], d("35"));
  type(form->Text9, d("70"));
  form->Option2->setChecked(true);  // B: glossy
  compareWithCurrent();
  form->Option3->setChecked(true);  // A: rocky
  form->compareDialog()->differenceButton->click();
  type(form->compareDialog()->levelsBox, d("-0.2 0 0.25"));
  form->Command1->click();
  QTemporaryDir dir;
  const QString picture = dir.filePath(QStringLiteral("compared map.png"));
  ASSERT_TRUE(form->saveMapPicture(picture));
  if (GetParam() == Loc::Comma) expectCommandRemakes(picture);  // the legend's numbers are the locale's
  const Exit e = runProgram(QStringLiteral("korvalen --model lunar-lambert --compare '--model akimov --eta 0.5' "
                                           "--compare-levels 0.9,1.1 --scale 2 --render cli.png"),
                            dir.path());
  ASSERT_EQ(e.status, 0) << e.err.toStdString();
  expectCommandRemakes(dir.filePath(QStringLiteral("cli.png")));
}

struct ProbeCase {
  const char* name;
  bool difference;
  float x, y;
  const char* lastLine;  // where it is not a number
};

TEST_P(ComparisonWindow, TheProbeTellsBothModelsAndTheirRatio) {
  passStartUpGuard();
  type(form->Text4[0], d("60"));
  compareWithCurrent();  // B: matte, dark beyond the terminator
  form->Option2->setChecked(true);
  const ProbeCase cases[] = {
      {"ratio", false, 220, 200, nullptr},
      {"difference", true, 150, 250, nullptr},
      {"dark side of B", false, 196, 30, "φA / φB: нет отношения (φB = 0)"},
  };
  const QLocale l;
  for (const ProbeCase& c : cases) {
    (c.difference ? form->compareDialog()->differenceButton : form->compareDialog()->ratioButton)->click();
    form->Command1->click();
    form->Picture1_MouseMove(c.x, c.y);
    const LightAndModel b = withModel(form->st.lm, form->comparisonSettings()->b);
    const ProbeReading ra = probeAt(form->st.view, form->st.lm, form->st.map, form->st.mirror, c.x, c.y, false);
    const ProbeReading rb = probeAt(form->st.view, b, form->st.map, form->st.mirror, c.x, c.y, false);
    ASSERT_TRUE(ra.shown && rb.shown) << c.name;
    const double pa = ra.phi, pb = rb.phi;
    QString last = c.lastLine ? QString::fromUtf8(c.lastLine)
                   : c.difference ? QStringLiteral("φA − φB = ") + l.toString(pa - pb, 'f', 3)
                                  : QStringLiteral("φA / φB = ") + l.toString(pa / pb, 'g', 3);
    EXPECT_EQ(form->Label12->text(), QStringLiteral("φA = %1\nφB = %2\n").arg(l.toString(pa, 'f', 3), l.toString(pb, 'f', 3)) + last)
        << c.name;
    EXPECT_TRUE(form->Label12->isVisible()) << c.name;
  }
}

TEST_P(ComparisonWindow, TheNormalMapComesBackAsItWas) {
  passStartUpGuard();
  type(form->Text4[0], d("25"));
  form->Command1->click();
  const QImage before = form->mapPicture().copy();
  const QStringList line = argumentsOf(form->currentCommandLine());
  compareWithCurrent();
  form->Option3->setChecked(true);
  form->Command1->click();
  EXPECT_FALSE(form->mapPicture() == before);
  EXPECT_TRUE(argumentsOf(form->currentCommandLine()).contains(QStringLiteral("--compare")));
  // A list the box does not read (pasted) turns it pale red and keeps the levels in effect.
  const std::vector<double> levels = form->comparisonSettings()->levelsInEffect();
  form->compareDialog()->levelsBox->setText(d("0.9 x"));
  EXPECT_EQ(form->compareDialog()->levelsBox->backColour(), kRefusedTextColour);
  EXPECT_EQ(form->comparisonSettings()->levelsInEffect(), levels);
  form->Option1->setChecked(true);
  form->compareDialog()->normalMapButton->click();
  EXPECT_FALSE(form->comparing());
  EXPECT_TRUE(form->mapPicture() == before);
  EXPECT_EQ(argumentsOf(form->currentCommandLine()), line);
}

INSTANTIATE_TEST_SUITE_P(Locales, ComparisonWindow, ::testing::Values(Loc::Point, Loc::Comma),
                         [](const auto& info) { return std::string(info.param == Loc::Point ? "Point" : "Comma"); });

}  // namespace
}  // namespace korvalen
