// The command line against the window: --render and --example give the
// window's own pictures for the same inputs, typed in by a user; --values gives
// the probe's values; failures give their status and leave every file as it was.
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QMessageBox>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTabWidget>
#include <QTimer>
#include <charconv>
#include <map>
#include <vector>

#include "app/batch.h"
#include "app/main_frame.h"
#include "app/qt_setup.h"
#include "export/command_line.h"
#include "form1_fixture.h"
#include "photometry/probe.h"
#include "profile_window/curve_chart.h"
#include "profile_window/profile_window.h"

namespace korvalen {
namespace {

struct Case {
  const char* name;
  std::vector<const char*> args;
};

const Case kCases[] = {
    {"start-up", {}},
    {"glossy, smoothed", {"--model", "glossy", "--inclination", "30", "--s", "0.3", "--n", "40", "--smoothing"}},
    {"rocky, turned, whole sphere", {"--model", "rocky", "--ox", "30", "--oy", "-20", "--oz", "15.5", "--whole-sphere", "--radius", "200"}},
    {"mirror", {"--model", "mirror", "--inclination", "40", "--ox", "60.5"}},
    {"own bands", {"--levels", "0.95,0.85,0.75,0.65,0.55,0.45,0.35", "--half-widths", "0.01,0.02,0.005,0.005,0.03,0.005,0.001"}},
    {"hidden bands, radius beyond the run's own limit", {"--hide-isolines", "--radius", "950", "--oz", "90", "--inclination", "-60"}},
};

CommandLine parsed(const std::vector<const char*>& args, const char* extra = nullptr) {
  QStringList a{QStringLiteral("korvalen")};
  for (const char* s : args) a << QString::fromUtf8(s);
  if (extra) a << QString::fromUtf8(extra);
  const ParsedCommandLine p = parseCommandLine(a);
  EXPECT_TRUE(p.error.isEmpty()) << p.error.toStdString();
  return p.options;
}

// Replaces a box's text as a user does: select all, type.
void type(QLineEdit* box, const QString& pointText, Loc loc) {
  box->selectAll();
  QTest::keyClicks(box, dec(loc, pointText.toUtf8().constData()));
}

// The window made at a scale, set up by a user through its controls.
std::unique_ptr<Form1> windowAsUserSetsIt(const CommandLine& c, double scale, Loc loc) {
  PictureBox::setScaleOverride(scale);
  auto f = std::make_unique<Form1>();
  PictureBox::setScaleOverride(0);
  f->show();
  while (f->Timer1->enabled()) QTest::qWait(5);
  if (c.model) {
    OptionButton* buttons[] = {nullptr, f->Option1, f->Option2, f->Option3, f->Option4};
    QTest::mouseClick(buttons[*c.model], Qt::LeftButton, {}, QPoint(6, 8));
  }
  const std::pair<const std::optional<QString>&, QLineEdit*> boxes[] = {
      {c.s, f->Text5}, {c.n, f->Text6}, {c.inclination, f->Text4[0]}, {c.ox, f->Text1},
      {c.oy, f->Text2}, {c.oz, f->Text3[0]}, {c.radius, f->Text9}};
  for (const auto& [value, box] : boxes)
    if (value) type(box, *value, loc);
  for (int r = 1; r <= 7; ++r) {
    if (c.levels) type(f->Text8[kLegendIndex[r]], (*c.levels)[r - 1], loc);
    if (c.halfWidths) type(f->Text7[kLegendIndex[r]], (*c.halfWidths)[r - 1], loc);
  }
  if (c.smoothing) QTest::mouseClick(f->Check2, Qt::LeftButton, {}, QPoint(6, 8));
  if (c.wholeSphere) QTest::mouseClick(f->Check1, Qt::LeftButton, {}, QPoint(6, 8));
  if (c.hideIsolines) QTest::mouseClick(f->Check3, Qt::LeftButton, {}, QPoint(6, 8));
  EXPECT_EQ(f->Check2->value(), c.smoothing ? 1 : 0);
  EXPECT_EQ(f->Check1->value() == 0, c.wholeSphere);
  return f;
}

QImage rgb(const QImage& i) { return i.convertToFormat(QImage::Format_RGB32); }

class CommandLineRun : public ::testing::TestWithParam<Loc> {
 protected:
  void SetUp() override { QLocale::setDefault(localeOf(GetParam())); }
  void TearDown() override { QLocale::setDefault(QLocale::c()); }
  QTemporaryDir dir;
  QString path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }
};

TEST_P(CommandLineRun, PicturesAreTheWindowsOwn) {
  for (double scale : {1.0, 2.0}) {
    for (const Case& k : kCases) {
      SCOPED_TRACE(std::string(k.name) + " at scale " + std::to_string(scale));
      CommandLine c = parsed(k.args);
      if (scale != 1) {
        c.scale = QStringLiteral("2");
        c.scaleValue = 2;
      }
      c.render = path("map.png");
      c.example = path("example.png");
      const BatchResult r = runWithoutWindow(c);
      ASSERT_EQ(r.status, kExitSuccess) << r.message.toStdString();

      auto f = windowAsUserSetsIt(c, scale, GetParam());
      QTest::mouseClick(f->Command1, Qt::LeftButton);
      QImageReader map(c.render);
      EXPECT_EQ(map.text(QStringLiteral("Software")), softwareName());
      CommandLine line = c;
      line.example.clear();
      EXPECT_EQ(map.text(QStringLiteral("Comment")), commandText(argumentsOf(line)));
      const QImage drawn = map.read();
      EXPECT_EQ(drawn.size(), QSize(scale == 1 ? 393 : 786, scale == 1 ? 337 : 674));
      EXPECT_TRUE(rgb(drawn) == rgb(f->mapPicture()));
      EXPECT_TRUE(rgb(QImage(c.example)) == rgb(f->examplePicture()));
    }
  }
}

using Rows = std::map<std::pair<int, int>, QStringList>;

Rows readTable(const QString& file, QStringList& head) {
  QFile in(file);
  EXPECT_TRUE(in.open(QIODevice::ReadOnly));
  Rows rows;
  while (!in.atEnd()) {
    const QString line = QString::fromUtf8(in.readLine()).trimmed();
    if (line.startsWith(QLatin1Char('#')) || line.startsWith(QLatin1Char('x'))) {
      head << line;
      continue;
    }
    const QStringList cells = line.split(QLatin1Char(','));
    EXPECT_EQ(cells.size(), 6) << line.toStdString();
    rows[{cells[0].toInt(), cells[1].toInt()}] = cells;
  }
  return rows;
}

float floatOf(const QString& text) {
  const std::string s = text.toStdString();
  float v = 0;
  const auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  EXPECT_TRUE(ec == std::errc() && ptr == s.data() + s.size()) << s;
  return v;
}

TEST_P(CommandLineRun, ValuesAreWhatTheProbeShows) {
  struct ValuesCase {
    std::vector<const char*> args;
    double scale;
  } cases[] = {{{}, 1},
               {{"--model", "glossy", "--inclination", "30", "--smoothing"}, 1},
               {{"--model", "mirror", "--inclination", "40", "--ox", "60.5"}, 1},
               {{"--model", "rocky", "--ox", "-30", "--whole-sphere", "--scale", "2"}, 2}};
  for (const ValuesCase& k : cases) {
    CommandLine c = parsed(k.args);
    c.values = path("values.csv");
    SCOPED_TRACE(commandText(argumentsOf(c)).toStdString());
    ASSERT_EQ(runWithoutWindow(c).status, kExitSuccess);
    QStringList head;
    const Rows rows = readTable(c.values, head);
    ASSERT_EQ(head.size(), 3);
    EXPECT_EQ(head[0], QStringLiteral("# ") + softwareName());
    EXPECT_EQ(head[1], QStringLiteral("# ") + commandText(argumentsOf(c)));
    EXPECT_EQ(head[2], QStringLiteral("x,y,phi,i,e,g"));

    auto f = windowAsUserSetsIt(c, k.scale, GetParam());
    QTest::mouseClick(f->Command1, Qt::LeftButton);
    const int cx = f->st.map.centreX, cy = f->st.map.pictureHeight - f->st.map.centreY;
    std::vector<std::pair<int, int>> pixels = {
        {cx, cy}, {cx + 100, cy - 50}, {cx - 37, cy + 121}, {cx + 159, cy}, {cx + 160, cy},
        {cx, cy - 159}, {0, 0}, {f->st.map.pictureWidth - 1, f->st.map.pictureHeight - 1}};
    if (f->st.lm.surfaceModel == kMirror)
      pixels.push_back({f->st.mirror.mirrorSpotColumn, f->st.map.pictureHeight - f->st.mirror.mirrorSpotRow});
    int ones = 0;
    for (auto [x, y] : pixels) {
      SCOPED_TRACE(std::to_string(x) + "," + std::to_string(y));
      f->Picture1_MouseMove(static_cast<float>(x), static_cast<float>(y));
      const auto row = rows.find({x, y});
      ASSERT_EQ(row != rows.end(), !f->Label12->isHidden());
      if (row == rows.end()) continue;
      const float phi = floatOf(row->second[2]);
      ones += phi == 1;
      EXPECT_EQ(f->Label12->text(), QStringLiteral("ф = ") + QLocale().toString(static_cast<double>(phi), 'f', 3));
      const ProbeReading exact = probeAt(f->st.view, f->st.lm, f->st.map, f->st.mirror, x, y, true);
      EXPECT_EQ(phi, exact.phi);
      EXPECT_EQ(row->second[3].toDouble(), static_cast<double>(exact.angles.angleI) * 180 / kPi);
      EXPECT_EQ(row->second[4].toDouble(), static_cast<double>(exact.angles.angleE) * 180 / kPi);
      EXPECT_EQ(row->second[5].toDouble(), static_cast<double>(f->st.lm.sourceInclination) * 180 / kPi);
    }
    // The mirror shows 1 on its spot alone; the start-up view is lit head-on at the centre.
    if (f->st.lm.surfaceModel == kMirror) {
      EXPECT_EQ(ones, 1);
    }
    if (k.args.empty()) {
      // The centre of the start-up view, lit head-on: phi 1 to float precision.
      const QStringList centre = rows.at({cx, cy});
      EXPECT_EQ(centre[0] + "," + centre[1], QStringLiteral("196,169"));
      EXPECT_GT(floatOf(centre[2]), 0.99999f);
      EXPECT_EQ(centre[5], QStringLiteral("0"));
    }
  }
}

// The data rows of a table the program wrote, each split into its cells.
QList<QStringList> dataRows(const QString& file) {
  QFile in(file);
  EXPECT_TRUE(in.open(QIODevice::ReadOnly)) << file.toStdString();
  QList<QStringList> rows;
  bool header = true;  // the first line after the comments
  for (const QByteArray& line : in.readAll().split('\n')) {
    if (line.startsWith('#')) continue;
    if (!line.isEmpty() && !header) rows << QString::fromUtf8(line).split(QLatin1Char(','));
    header = false;
  }
  return rows;
}

// --profile and --phase-curve write, number for number, the curves the window shows
// for the same input typed in, and the rows its charts' menus save.
TEST_P(CommandLineRun, CurvesAreTheWindowsOwn) {
  const std::vector<const char*> cases[] = {
      {"--model", "glossy", "--inclination", "30", "--s", "0.3", "--n", "40"},
      {"--model", "mirror", "--inclination", "40"},
      {"--model", "lunar-lambert", "--L", "mcewen", "--inclination", "60"},
  };
  for (const auto& args : cases) {
    CommandLine c = parsed(args);
    c.profile = path("equator.csv");
    c.phaseCurve = path("phase.csv");
    SCOPED_TRACE(commandText(argumentsOf(c)).toStdString());
    const BatchResult r = runWithoutWindow(c);
    ASSERT_EQ(r.status, kExitSuccess) << r.message.toStdString();
    QFile head(c.profile);
    ASSERT_TRUE(head.open(QIODevice::ReadOnly));
    head.readLine();
    CommandLine own = c;
    own.phaseCurve.clear();  // a table's command writes that table alone
    EXPECT_EQ(head.readLine(), "# " + commandText(argumentsOf(own)).toUtf8() + "\n");
    MainFrame frame;  // the planetary models through the menu's own calls
    std::unique_ptr<Form1> typed;
    Form1* f = &frame.form();
    if (c.model && isPlanetaryModel(*c.model)) {
      frame.show();
      ASSERT_TRUE(typeIn(*f, c).isEmpty());
    } else {
      typed = windowAsUserSetsIt(c, 1, GetParam());
      f = typed.get();
    }
    ProfileWindow w(*f, frame.observations());
    w.show();
    w.tabs->setCurrentIndex(2);
    w.refreshNow();
    ASSERT_TRUE(w.equator() && w.phase());
    const QList<QStringList> equator = dataRows(c.profile), phase = dataRows(c.phaseCurve);
    ASSERT_EQ(equator.size(), static_cast<qsizetype>(w.equator()->points.size()));
    for (qsizetype k = 0; k < equator.size(); ++k) {
      const EquatorPoint& p = w.equator()->points[static_cast<size_t>(k)];
      ASSERT_EQ(equator[k].size(), 5);
      EXPECT_EQ(equator[k][0].toDouble(), p.gamma);
      EXPECT_EQ(equator[k][3].toDouble(), w.equator()->g);
      EXPECT_EQ(floatOf(equator[k][4]), p.phi) << "gamma " << p.gamma;
    }
    ASSERT_EQ(phase.size(), 181);
    for (qsizetype d = 0; d < phase.size(); ++d)
      EXPECT_EQ(phase[d][1].toDouble(), w.phase()->points[static_cast<size_t>(d)].relative) << phase[d][0].toStdString();
    ASSERT_TRUE(w.equatorChart->saveValues(path("e.csv")) && w.phaseChart->saveValues(path("p.csv")));
    EXPECT_EQ(dataRows(path("e.csv")), equator);
    EXPECT_EQ(dataRows(path("p.csv")), phase);
  }
}

INSTANTIATE_TEST_SUITE_P(Locales, CommandLineRun, ::testing::Values(Loc::Point, Loc::Comma),
                         [](const auto& info) { return std::string(info.param == Loc::Point ? "Point" : "Comma"); });

// The real program, run as a script would run it.
struct Exit {
  int status;
  QString err;
};
Exit korvalen(const QStringList& args, const QString& workDir, const char* locale = "C.UTF-8") {
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("LC_ALL"), QString::fromLatin1(locale));
  env.remove(QStringLiteral("QT_QPA_PLATFORM"));  // the program finds its platform itself
  env.remove(QStringLiteral("DISPLAY"));
  p.setProcessEnvironment(env);
  p.setWorkingDirectory(workDir);
  p.start(QStringLiteral(KORVALEN_BINARY), args);
  if (!p.waitForFinished(-1)) p.kill();
  return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromLocal8Bit(p.readAllStandardError())};
}

TEST(CommandLineFailure, LeavesEveryFileAsItWas) {
  const QString big = QStringLiteral("1") + QString(39, QLatin1Char('0'));
  const QString bigs = QStringList(7, big).join(QLatin1Char(','));
  struct Bad {
    QStringList args;
    int status;
    QString mentions;  // in the message
  } cases[] = {
      {{"--radius", "0"}, 2, "«0» параметра --radius не принято: допустимы значения больше 0 и не больше 1000"},
      {{"--radius", "1000.5"}, 2, "--radius"},
      {{"--radius", "-5"}, 2, "--radius"},
      {{"--levels", "0.9,0.8,0.7,0.6,0.5,0.4," + big}, 2, "«" + big + "» параметра --levels"},
      {{"--half-widths", "0.1,0.1,0.1,0.1,0.1,0.1,3.5e38"}, 2, "«3.5e38» параметра --half-widths"},
      // Degrees beyond the float range: the box takes the inclination as the
      // run does, as a float first, so it refuses them before any run.
      {{"--inclination", big + "00"}, 2, "параметра --inclination не принято"},
      {{"--inclination", big}, 2, "параметра --inclination не принято"},
      {{"--ox", "abc"}, 2, "«abc» параметра --ox не число"},
      {{"--s", "0,5"}, 2, "--s"},
      {{"--model", "shiny"}, 2, "«shiny» параметра --model"},
      {{"--levels", "0.1,0.2"}, 2, "--levels"},
      {{"--scale", "0"}, 2, "--scale"},
      {{"--colour", "red"}, 2, "«--colour»"},
      {{"stray"}, 2, "«stray»"},
      // A band's bounds beyond the float range stop the run.
      {{"--levels", "300000000000000000000000000000000000000,0.8,0.7,0.6,0.5,0.4,0.3",
        "--half-widths", "3e38,0.005,0.005,0.005,0.005,0.005,0.005"}, 1, "Действие прервано: Переполнение."},
      {{"--model", "glossy", "--s", "1e39"}, 1, "Действие прервано: Переполнение."},
  };
  QTemporaryDir dir;
  const QString map = dir.filePath(QStringLiteral("map.png")), table = dir.filePath(QStringLiteral("v.csv"));
  {
    QFile old(map);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old");
  }
  for (const Bad& b : cases) {
    SCOPED_TRACE(b.args.join(QLatin1Char(' ')).toStdString());
    for (const char* locale : {"C.UTF-8", "ru_RU.UTF-8"}) {
      const Exit e = korvalen(b.args + QStringList{"--render", map, "--values", table}, dir.path(), locale);
      EXPECT_EQ(e.status, b.status) << e.err.toStdString();
      EXPECT_TRUE(e.err.contains(b.mentions)) << e.err.toStdString();
    }
  }
  // A folder that is not there, and a file where a folder should be.
  for (const QString& where : {dir.filePath(QStringLiteral("no/such.png")), map + QStringLiteral("/x.png")}) {
    const Exit e = korvalen({"--values", table, "--render", where}, dir.path());
    EXPECT_EQ(e.status, 1);
    EXPECT_TRUE(e.err.contains(QStringLiteral("korvalen: Не удалось сохранить файл «") + where + "»: "))
        << e.err.toStdString();
  }
  QFile old(map);
  ASSERT_TRUE(old.open(QIODevice::ReadOnly));
  EXPECT_EQ(old.readAll(), "old");
  EXPECT_FALSE(QFile::exists(table));
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{"map.png"});
}

// A path that cannot be written, a dark disc at g = 0, an overflow: status 1 with the reason
// and no file written, those given with it included.
TEST(CommandLineFailure, CurvesWriteAllOrNothing) {
  QTemporaryDir dir;
  const struct {
    QStringList args;
    const char* mentions;
  } cases[] = {
      {{"--profile", "no/such.csv", "--phase-curve", "p.csv"}, "korvalen: Не удалось сохранить файл «no/such.csv»: "},
      {{"--profile", "e.csv", "--phase-curve", "no/such.csv"}, "korvalen: Не удалось сохранить файл «no/such.csv»: "},
      {{"--model", "glossy", "--s", "2", "--n", "1000000", "--profile", "e.csv", "--phase-curve", "p.csv"},
       "korvalen: фазовая кривая не определена"},
      {{"--model", "glossy", "--s", "3e38", "--profile", "e.csv"}, "korvalen: Действие прервано: Переполнение."},
      {{"--profile", "e.csv", "--phase-curve", "p.csv"}, ""},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.args.join(QLatin1Char(' ')).toStdString());
    const Exit e = korvalen(k.args, dir.path());
    const bool good = !*k.mentions;
    EXPECT_EQ(e.status, good ? 0 : 1);
    if (!good) { EXPECT_TRUE(e.err.startsWith(QString::fromUtf8(k.mentions))) << e.err.toStdString(); }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
              good ? (QStringList{"e.csv", "p.csv"}) : QStringList());
  }
}

// What a picture carries, run as a command, makes the same picture again: for
// one written by the command line, and for one saved from the window, whose
// radius box shows a text it does not accept (the radius in effect is 120).
TEST(CommandLineComment, MakesTheSamePictureAgain) {
  QTemporaryDir dir;
  QDir(dir.path()).mkpath(QStringLiteral("again"));
  auto runComment = [&](const QString& picture, const QString& name) {
    const QString comment = QImageReader(picture).text(QStringLiteral("Comment"));
    EXPECT_TRUE(comment.startsWith(QStringLiteral("korvalen "))) << comment.toStdString();
    QProcess sh;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PATH"), QFileInfo(QStringLiteral(KORVALEN_BINARY)).absolutePath() + ":" + env.value("PATH"));
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("ru_RU.UTF-8"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    sh.setProcessEnvironment(env);
    sh.setWorkingDirectory(dir.filePath(QStringLiteral("again")));
    sh.start(QStringLiteral("bash"), {QStringLiteral("-c"), comment});
    if (!sh.waitForFinished(-1)) sh.kill();
    EXPECT_EQ(sh.exitCode(), 0) << sh.readAllStandardError().toStdString();
    const QImage again(dir.filePath(QStringLiteral("again/") + name));
    EXPECT_FALSE(again.isNull());
    EXPECT_TRUE(rgb(again) == rgb(QImage(picture)));
  };
  const Exit e = korvalen({"--model", "glossy", "--ox", "33.3", "--n", "7", "--smoothing", "--scale", "1.5",
                           "--render", "first.png", "--example", "ex.png"},
                          dir.path());
  ASSERT_EQ(e.status, 0) << e.err.toStdString();
  runComment(dir.filePath(QStringLiteral("first.png")), QStringLiteral("first.png"));

  QLocale::setDefault(localeOf(Loc::Comma));
  PictureBox::setScaleOverride(2);
  Form1 f;
  PictureBox::setScaleOverride(0);
  f.show();
  f.Option3->setChecked(true);
  f.Text9->setText(QStringLiteral("120"));
  f.Text4[0]->setText(QStringLiteral("12,5"));
  f.Check1->setValue(0);
  f.Text9->setText(QStringLiteral("0"));
  EXPECT_EQ(f.Text9->backColour(), kNotAccepted);
  f.Command1->click();
  ASSERT_TRUE(f.saveMapPicture(dir.filePath(QStringLiteral("window map.png"))));
  ASSERT_TRUE(f.saveExamplePicture(dir.filePath(QStringLiteral("window-example.png"))));
  QLocale::setDefault(QLocale::c());
  runComment(dir.filePath(QStringLiteral("window map.png")), QStringLiteral("window map.png"));
  runComment(dir.filePath(QStringLiteral("window-example.png")), QStringLiteral("window-example.png"));
}

TEST(CommandLineHelp, NeedsNoDisplay) {
  QTemporaryDir dir;
  for (const char* option : {"--help", "--version"}) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.remove(QStringLiteral("DISPLAY"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(KORVALEN_BINARY), {QString::fromLatin1(option)});
    if (!p.waitForFinished(-1)) p.kill();
    EXPECT_EQ(p.exitCode(), 0);
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    EXPECT_EQ(out, QString::fromLatin1(option) == QStringLiteral("--help") ? helpText() : versionText());
  }
}

// Started as under ssh or in a container: no display and no XDG_RUNTIME_DIR.
// Window-less runs print only their own lines; the window says in Russian
// that it has no display, points to the window-less outputs and exits with 1,
// not an abort; a failed save names a Russian reason and writes nothing.
TEST(CommandLineWithoutSession, OwnRussianMessagesOnly) {
  QTemporaryDir dir;
  ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder")));
  const QString tooLong = QString(300, QLatin1Char('n')) + QStringLiteral(".png");
  const struct {
    QStringList args;
    int status;
    const char* firstLine;  // of the error stream; "" for none
  } runs[] = {
      {{"--help"}, 0, ""},
      {{"--render", "m.png", "--values", "v.csv", "--example", "e.png"}, 0, ""},
      {{"--ox", "abc"}, 2, "korvalen: значение «abc»"},
      {{"--model", "glossy"}, 1, "korvalen: нет дисплея, на котором можно открыть окно"},
      {{"--render", "no/x.png"}, 1, "korvalen: Не удалось сохранить файл «no/x.png»: "},
      {{"--render", "m.png/x.png"}, 1, "korvalen: Не удалось сохранить файл «m.png/x.png»: "},
      {{"--render", "folder"}, 1, "korvalen: Не удалось сохранить файл «folder»: "},
      {{"--render", tooLong}, 1, "korvalen: Не удалось сохранить файл «n"},
      // Qt's own options: the window, without a display to open on; files, with or without them.
      {{"-style", "Fusion", "-reverse"}, 1, "korvalen: нет дисплея, на котором можно открыть окно"},
      {{"--qwindowtitle", "X", "-geometry", "300x200", "--model", "akimov"}, 1, "korvalen: нет дисплея"},
      {{"-style=Fusion", "-geometry", "300x200", "--render", "m.png"}, 0, ""},
  };
  for (const auto& r : runs) {
    SCOPED_TRACE(r.args.join(QLatin1Char(' ')).left(40).toStdString());
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"XDG_RUNTIME_DIR", "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
      env.remove(QString::fromLatin1(name));
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(dir.path());
    p.start(QStringLiteral(KORVALEN_BINARY), r.args);
    if (!p.waitForFinished(60000)) p.kill();
    p.waitForFinished();
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), r.status);
    const QStringList lines = QString::fromUtf8(p.readAllStandardError()).split('\n', Qt::SkipEmptyParts);
    SCOPED_TRACE(lines.join('\n').toStdString());
    ASSERT_EQ(lines.isEmpty(), !*r.firstLine);
    for (const QString& line : lines)  // Qt's notices and advice start otherwise
      EXPECT_TRUE(line.startsWith(QStringLiteral("korvalen: ")) || line.startsWith(QStringLiteral("Справка")) ||
                  line.startsWith(QStringLiteral("Без дисплея работают --render, --values, --example, --profile, ")));
    if (lines.isEmpty()) continue;
    EXPECT_TRUE(lines[0].startsWith(QString::fromUtf8(r.firstLine)));
    if (lines[0].contains(QStringLiteral("»: "))) {  // the reason in Russian
      EXPECT_FALSE(lines[0].section(QStringLiteral("»: "), -1).contains(QRegularExpression(QStringLiteral("[A-Za-z]"))));
    }
  }
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), (QStringList{"e.png", "m.png", "v.csv"}));
  EXPECT_TRUE(QDir(dir.filePath(QStringLiteral("folder"))).isEmpty());
}

// The inclination has one rounding, whoever reads the box: --profile gives the
// same values with or without a map shaded in the same run, and "Тонировать"
// keeps the inclination the box stored (at these the box's degrees / 180 * pi
// and the run's float degrees * pi / 180 once gave different floats).
TEST(CommandLineCurves, SameWithOrWithoutAMap) {
  QTemporaryDir dir;
  for (const char* model : {"glossy", "akimov"})
    for (const char* inclination : {"0.11", "44.45", "-359.99"}) {
      CommandLine alone = parsed({"--model", model, "--inclination", inclination}), withMap = alone;
      alone.profile = dir.filePath(QStringLiteral("alone.csv"));
      withMap.profile = dir.filePath(QStringLiteral("with-map.csv"));
      withMap.render = dir.filePath(QStringLiteral("map.png"));
      ASSERT_TRUE(runWithoutWindow(alone).status == kExitSuccess && runWithoutWindow(withMap).status == kExitSuccess);
      EXPECT_EQ(dataRows(alone.profile), dataRows(withMap.profile)) << model << " at " << inclination;
      Form1 f;
      f.show();
      ASSERT_TRUE(typeIn(f, alone).isEmpty());
      const float stored = f.st.lm.sourceInclination;
      f.Command1->click();
      EXPECT_EQ(f.st.lm.sourceInclination, stored) << model << " at " << inclination;
    }
}

// Qt's own options are passed over with their values (one only where it
// follows, as Qt takes it); the program's own stay, whatever they look like.
TEST(QtOptions, PassedOverByTheProgramsReading) {
  const QStringList cases[][2] = {
      {{"korvalen", "-style", "Fusion", "--style=Fusion", "-reverse", "--model", "glossy"}, {"korvalen", "--model", "glossy"}},
      {{"korvalen", "-qwindowtitle", "-reverse", "--live", "-geometry", "9x9", "--display", ":1"}, {"korvalen", "--live"}},
      {{"korvalen", "--h", "0.1", "--render", "-reverse.png", "-sync", "-h", "--inclination", "-style"},
       {"korvalen", "--h", "0.1", "--render", "-reverse.png", "-h", "--inclination", "-style"}},
      {{"-style"}, {"-style"}},  // the program's own name is never an option
  };
  for (const auto& [args, kept] : cases) EXPECT_EQ(withoutQtOptions(args), kept) << args.join(' ').toStdString();
}

// A save that fails in the window says so in a message box, and writes nothing.
TEST(WindowSave, FailureShowsTheMessageBox) {
  Form1 f;
  f.show();
  QTemporaryDir dir;
  const QString where = dir.filePath(QStringLiteral("missing/map.png"));
  QString title, text;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    title = box->windowTitle();
    text = box->text();
    box->accept();
  });
  EXPECT_FALSE(f.saveMapPicture(where));
  EXPECT_EQ(title, QStringLiteral("Korvalen"));
  EXPECT_TRUE(text.startsWith(QStringLiteral("Не удалось сохранить файл «") + where + QStringLiteral("»: ")))
      << text.toStdString();
  EXPECT_GT(text.size(), QString(QStringLiteral("Не удалось сохранить файл «") + where + QStringLiteral("»: ")).size());
  EXPECT_FALSE(QFile::exists(where));
}

}  // namespace
}  // namespace korvalen
