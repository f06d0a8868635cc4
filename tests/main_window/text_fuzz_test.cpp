// The text readings over random bytes and random Unicode: each keeps its
// contract and none crashes. KORVALEN_FUZZ_TEXTS sets how many texts.
#include <QLocale>
#include <cmath>
#include <random>

#include <gtest/gtest.h>

#include "main_window/text_reading.h"
#include "number_text_contract.h"
#include "photometry/runtime_error.h"

namespace korvalen {
namespace {

QString randomText(std::mt19937& rng) {
  auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
  const int length = pick(4) == 0 ? pick(2000) : pick(24);
  switch (pick(4)) {
    case 3: {  // long runs of digits, some beyond the range of a double
      QString s(300 + pick(200), QLatin1Char('7'));
      if (pick(2)) s.insert(pick(static_cast<int>(s.size())), QLatin1Char(','));
      return s;
    }
    case 0: {  // raw bytes, read as UTF-8 (invalid sequences included)
      QByteArray b;
      for (int i = 0; i < length; ++i) b.append(static_cast<char>(pick(256)));
      return QString::fromUtf8(b);
    }
    case 1: {  // any UTF-16 unit, lone surrogates included
      QString s;
      for (int i = 0; i < length; ++i) s += QChar(static_cast<char16_t>(pick(0x10000)));
      return s;
    }
    default: {  // mostly characters that mean something to the readings
      static const char16_t alphabet[] = u"0123456789.,-—+eE xX\u00A0\u202F\u2212\u0661\u00B7";
      QString s;
      for (int i = 0; i < length; ++i) s += QChar(alphabet[pick(static_cast<int>(std::size(alphabet)) - 1)]);
      return s;
    }
  }
}

TEST(TextReadingFuzz, ContractsHoldForRandomTexts) {
  int texts = 200000;
  if (const QByteArray n = qgetenv("KORVALEN_FUZZ_TEXTS"); !n.isEmpty()) texts = n.toInt();
  std::mt19937 rng(20261207);
  const QLocale locales[] = {QLocale::c(), QLocale(QLocale::Russian, QLocale::Russia),
                             QLocale(QLocale::German, QLocale::Germany)};
  int overflows = 0, localeNumbers = 0;
  TextConversion t;
  int32_t column = 0, row = 0;
  for (int i = 0; i < texts; ++i) {
    const QString text = randomText(rng);
    t.inputText = text;
    const QString before = t.numberText;
    convertTextToNumber(t, column, row);
    if (text.isEmpty()) {
      ASSERT_EQ(t.inputEmpty, kTrue);
      ASSERT_EQ(t.numberText, before);
    } else {
      ASSERT_EQ(t.inputEmpty, kFalse);
      ASSERT_TRUE(isWellFormedNumberText(t.numberText)) << t.numberText.toStdString();
      try {
        ASSERT_TRUE(std::isfinite(cleanedReadingOf(t.numberText)));
      } catch (const RuntimeError& e) {
        ASSERT_EQ(e.kind(), ErrorKind::Overflow);
        ++overflows;
      }
    }
    QLocale::setDefault(locales[i % 3]);
    if (const std::optional<double> v = localeReadingOf(text)) {
      ASSERT_TRUE(std::isfinite(*v));
      ++localeNumbers;
    }
  }
  QLocale::setDefault(QLocale::c());
  std::printf("%d texts: %d cleaned readings overflowed, %d locale readings gave a number\n", texts,
              overflows, localeNumbers);
}

}  // namespace
}  // namespace korvalen
