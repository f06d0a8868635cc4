// The command line's own reading and writing: what it takes, what it refuses
// before any box is touched, and texts that read back to the same values.
#include <gtest/gtest.h>

#include <QProcess>

#include <cmath>
#include <limits>

#include "export/command_line.h"

namespace korvalen {
namespace {

ParsedCommandLine parse(std::initializer_list<const char*> args) {
  QStringList a{QStringLiteral("korvalen")};
  for (const char* s : args) a << QString::fromUtf8(s);
  return parseCommandLine(a);
}

TEST(CommandLineParse, TakesEveryOption) {
  const ParsedCommandLine p = parse({"--model", "mirror", "--inclination", "-12.5", "--ox=30", "--oy", "-1e2",
                                     "--oz", ".5", "--radius", "200", "--s", "0.25", "--n", "3",
                                     "--levels", "1,2,3,4,5,6,7", "--half-widths", "0,0,0,0,0,0,0.5",
                                     "--smoothing", "--whole-sphere", "--hide-isolines", "--tints", "okabe-ito", "--live",
                                     "--scale", "1.25",
                                     "--render", "a.png", "--values", "b.csv", "--example", "c d.png"});
  ASSERT_TRUE(p.error.isEmpty()) << p.error.toStdString();
  const CommandLine& c = p.options;
  EXPECT_EQ(c.model, 4);
  EXPECT_EQ(c.inclination, QStringLiteral("-12.5"));
  EXPECT_EQ(c.ox, QStringLiteral("30"));
  EXPECT_EQ(c.oy, QStringLiteral("-1e2"));
  EXPECT_EQ(c.oz, QStringLiteral(".5"));
  EXPECT_EQ(c.s, QStringLiteral("0.25"));
  EXPECT_EQ((*c.levels)[6], QStringLiteral("7"));
  EXPECT_EQ((*c.halfWidths)[6], QStringLiteral("0.5"));
  EXPECT_TRUE(c.smoothing && c.wholeSphere && c.hideIsolines && c.live);
  EXPECT_EQ(c.tints, QStringLiteral("okabe-ito"));
  EXPECT_EQ(c.scaleValue, 1.25);
  EXPECT_EQ(c.example, QStringLiteral("c d.png"));
  EXPECT_TRUE(c.withoutWindow());
  // Written out and read again, the same options.
  QStringList again{QStringLiteral("korvalen")};
  again << argumentsOf(c);
  const ParsedCommandLine q = parseCommandLine(again);
  ASSERT_TRUE(q.error.isEmpty());
  EXPECT_EQ(argumentsOf(q.options), argumentsOf(c));
  EXPECT_FALSE(parse({"--model", "glossy"}).options.withoutWindow());
  // The curves' tables are written without a window too, and come last, after the pictures.
  const ParsedCommandLine curves = parse({"--phase-curve", "p.csv", "--model", "akimov", "--profile", "e q.csv"});
  ASSERT_TRUE(curves.error.isEmpty()) << curves.error.toStdString();
  EXPECT_EQ(curves.options.profile, QStringLiteral("e q.csv"));
  EXPECT_EQ(curves.options.phaseCurve, QStringLiteral("p.csv"));
  EXPECT_TRUE(curves.options.withoutWindow());
  EXPECT_EQ(argumentsOf(curves.options),
            (QStringList{"--model", "akimov", "--profile", "e q.csv", "--phase-curve", "p.csv"}));
  EXPECT_TRUE(parse({"--version"}).options.withoutWindow());
}

TEST(CommandLineParse, RefusesWhatIsNoValue) {
  const struct {
    std::initializer_list<const char*> args;
    const char* says;
  } cases[] = {
      {{"--ox", "1,5"}, "«1,5» параметра --ox не число"},
      {{"--ox", "1 000"}, "--ox"},
      {{"--n", "+3"}, "--n"},
      {{"--s", "inf"}, "--s"},
      {{"--s", "nan"}, "--s"},
      {{"--radius", ""}, "--radius"},
      {{"--model", "Glossy"}, "«Glossy» параметра --model"},
      {{"--levels", "1,2,3,4,5,6"}, "семь чисел"},
      {{"--levels", "1,2,3,4,5,6,7,8"}, "семь чисел"},
      {{"--half-widths", "1,2,3,x,5,6,7"}, "«x» параметра --half-widths"},
      {{"--tints", "rainbow"}, "«rainbow» параметра --tints"},
      {{"--tints"}, "«--tints» нет значения"},
      {{"--scale", "0.4"}, "--scale"},
      {{"--scale", "8.5"}, "--scale"},
      {{"--render", ""}, "--render"},
      {{"--profile", ""}, "у параметра «--profile» пустое имя файла"},
      {{"--phase-curve"}, "«--phase-curve» нет значения"},
      {{"--render"}, "«--render» нет значения"},
      {{"--shade"}, "неизвестный параметр «--shade»"},
      {{"file.png"}, "лишний аргумент «file.png»"},
  };
  for (const auto& k : cases) {
    const ParsedCommandLine p = parse(k.args);
    EXPECT_TRUE(p.error.contains(QString::fromUtf8(k.says))) << p.error.toStdString() << " / " << k.says;
  }
}

TEST(NumberText, ReadsBackToTheSameValue) {
  for (double v : {0.0, -0.0, 0.1, 0.3, -12.5, 1e-7, 159.0, 1.0 / 3, 123456789.125, 1e22, 5e-324}) {
    const QString t = numberText(v);
    EXPECT_FALSE(t.contains(QLatin1Char('e'))) << t.toStdString();
    EXPECT_EQ(readCommandLineNumber(t), v) << t.toStdString();
  }
  EXPECT_EQ(numberText(0.1), QStringLiteral("0.1"));
  // A float's text is read as a double and then rounded to the float.
  for (float v : {0.3f, 0.9f, 0.005f, 0.1f, 3.4028235e38f, 1e-45f, -7.25f, 16777217.0f}) {
    const QString t = numberText(v);
    EXPECT_EQ(static_cast<float>(*readCommandLineNumber(t)), v) << t.toStdString();
  }
  EXPECT_EQ(numberText(0.3f), QStringLiteral("0.3"));
}

// Each argument as the shell reads it back, on one line: quoted where the
// shell would split it, control characters as \n, \t or \xHH.
TEST(CommandText, QuotesWhatTheShellWouldSplit) {
  const struct {
    QStringList args;
    const char* text;
  } cases[] = {
      {{"--ox", "-30", "--render", "out/a.png"}, "korvalen --ox -30 --render out/a.png"},
      {{"--render", "it's $HOME.png"}, "korvalen --render 'it'\\''s $HOME.png'"},
      {{"--render", "карта.png"}, "korvalen --render 'карта.png'"},
      {{"--values", "a\nt\tb\\c's.csv"}, "korvalen --values $'a\\nt\\tb\\\\c\\'s.csv'"},
      {{"--values", QStringLiteral("r\r\x1b\x7f\u2028\u0085")}, "korvalen --values $'r\\x0D\\x1B\\x7F\\xE2\\x80\\xA8\\xC2\\x85'"},
  };
  for (const auto& c : cases) {
    const QString text = commandText(c.args);
    EXPECT_EQ(text, QString::fromUtf8(c.text));
    QProcess bash;  // which reads it back to the same arguments
    bash.start(QStringLiteral("bash"), {QStringLiteral("-c"), QStringLiteral("printf '%s\\0'") + text.mid(8)});
    ASSERT_TRUE(bash.waitForFinished(-1));
    QStringList back;
    for (const QByteArray& r : bash.readAllStandardOutput().split('\0')) back << QString::fromUtf8(r);
    back.removeLast();
    EXPECT_EQ(back, c.args) << text.toStdString();
  }
}

}  // namespace
}  // namespace korvalen
