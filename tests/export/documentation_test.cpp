// The manual page, --help and the README speak of the same options.
#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QSet>

#include "export/command_line.h"

namespace korvalen {
namespace {

QString readSource(const char* path) {
  QFile f(QStringLiteral(KORVALEN_SOURCE_DIR "/") + QLatin1String(path));
  EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path;
  return QString::fromUtf8(f.readAll());
}

QSet<QString> longOptions(const QString& text) {
  QSet<QString> names;
  static const QRegularExpression option(QStringLiteral("--[a-z][a-z-]*"));
  for (auto it = option.globalMatch(text); it.hasNext();) names.insert(it.next().captured());
  return names;
}

TEST(Documentation, ManualPageAndHelpAgree) {
  const QString help = helpText();
  const QString options = help.section(QStringLiteral("Параметры:"), 1).section(QStringLiteral("\n\n"), 0, 0);
  QString manual = readSource("packaging/korvalen.1.in");
  manual.replace(QStringLiteral("\\-"), QStringLiteral("-"));
  const QString manualOptions = manual.section(QStringLiteral(".SH ПАРАМЕТРЫ"), 1).section(QStringLiteral(".SH"), 0, 0);
  EXPECT_EQ(longOptions(manualOptions), longOptions(options));
  EXPECT_EQ(longOptions(options).size(), 47);
  // Each option's description, as --help gives it, stands in the manual page.
  for (const QString& line : options.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
    const QString description = line.section(QRegularExpression(QStringLiteral("\\s{2,}")), 2);
    EXPECT_TRUE(manualOptions.contains(description.section(QLatin1Char(':'), 0, 0))) << line.toStdString();
  }
}

TEST(Documentation, ReadmeExampleRenders) {
  const QString readme = readSource("README.md");
  const QString section = readme.section(QStringLiteral("## Command line"), 1).section(QStringLiteral("\n## "), 0, 0);
  const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("\n(korvalen [^\n]*)\n")).match(section);
  ASSERT_TRUE(m.hasMatch());
  const ParsedCommandLine p = parseCommandLine(m.captured(1).split(QLatin1Char(' ')));
  EXPECT_TRUE(p.error.isEmpty()) << p.error.toStdString();
  EXPECT_EQ(p.options.model, 2);
  EXPECT_FALSE(p.options.render.isEmpty());
  EXPECT_FALSE(p.options.values.isEmpty());
  EXPECT_TRUE(section.contains(QStringLiteral("man korvalen")));
}

}  // namespace
}  // namespace korvalen
