// The text boxes: the text-to-number procedure, the two readings, and what each
// box stores and how it shows a text it does not accept.
#include <cmath>

#include "form1_fixture.h"
#include "photometry/runtime_error.h"

namespace korvalen {
namespace {

struct Conversion {
  const char* text;
  const char* numberText;
  double value;
};

TEST_P(Form1Test, TextToNumberProcedure) {
  const Conversion cases[] = {
      {"12,5", "12.5", 12.5}, {"1 000", "1000", 1000}, {"1.2.3", "1.23", 1.23},
      {"+7", "7", 7},         {"5-3", "-3", -3},       {"3e2", "32", 32},
      {"abc", "", 0},         {"-", "-", 0},           {"—", "-", 0},
      {".", ".", 0},          {"-.", "-.", 0},         {"—4,5", "-4.5", -4.5},
      {"1,-2", "-2", -2},     {"١٢", "", 0},           {"90,0", "90.0", 90},
  };
  for (const Conversion& c : cases) {
    form->st.inputText = QString::fromUtf8(c.text);
    form->ПреобразованиеТекстаВЧисло();
    EXPECT_EQ(form->st.inputEmpty, kFalse) << c.text;
    EXPECT_EQ(form->st.numberText, QString::fromUtf8(c.numberText)) << c.text;
    EXPECT_EQ(form->cleanedReading(), c.value) << c.text;
  }
  // The empty text leaves numberText as the previous call left it.
  form->st.inputText.clear();
  form->ПреобразованиеТекстаВЧисло();
  EXPECT_EQ(form->st.inputEmpty, kTrue);
  EXPECT_EQ(form->st.numberText, QStringLiteral("90.0"));
  // A number too large for a double fails; a tiny one reads as (almost) 0.
  form->st.numberText = QStringLiteral("1") + QString(400, QLatin1Char('0'));
  EXPECT_THROW(form->cleanedReading(), RuntimeError);
  form->st.numberText = QStringLiteral("0.") + QString(400, QLatin1Char('0')) + QStringLiteral("1");
  EXPECT_EQ(form->cleanedReading(), 0.0);
}

TEST_P(Form1Test, LocaleReading) {
  EXPECT_EQ(Form1::localeReading(d("2.5")), 2.5);
  EXPECT_EQ(Form1::localeReading(QStringLiteral("-90")), -90.0);
  for (const char* bad : {"", "abc", "1e309", "nan", "inf", "-", "5-3"})
    EXPECT_FALSE(Form1::localeReading(QString::fromUtf8(bad)).has_value()) << bad;
}

struct BoxCase {
  const char* text;
  bool accepted;
};

TEST_P(Form1Test, Text1ReadsCleanedAndJudgesTheOtherRotationBoxes) {
  type(form->Text1, QStringLiteral("abc"));
  EXPECT_EQ(form->st.view.rotAngleOX, 0.0);  // read as 0
  EXPECT_EQ(form->Text1->backColour(), kAccepted);
  type(form->Text1, QStringLiteral("45"));
  EXPECT_EQ(form->st.view.rotAngleOX, 45 * kPi / 180);
  type(form->Text1, QString());
  EXPECT_EQ(form->Text1->backColour(), kNotAccepted);
  EXPECT_EQ(form->st.view.rotAngleOX, 45 * kPi / 180);  // empty: nothing else changes
  // Text2 holding letters: Text1 stores its angle, then turns pale red.
  form->Text2->setText(QStringLiteral("x"));
  EXPECT_EQ(form->Text2->backColour(), kNotAccepted);
  type(form->Text1, QStringLiteral("30"));
  EXPECT_EQ(form->st.view.rotAngleOX, 30 * kPi / 180);
  EXPECT_EQ(form->Text1->backColour(), kNotAccepted);
}

TEST_P(Form1Test, RotationBoxesTurnTheGreyTickIntoAnOrdinaryOne) {
  // 90, 90,0 and 90.0 all read as 90: still the start-up view, the tick stays grey.
  for (const char* t : {"90", "90,0", "90.0"}) {
    form->Text1->setText(QString::fromUtf8(t));
    EXPECT_EQ(form->Check1->value(), 2) << t;
  }
  form->Text1->setText(QStringLiteral("45"));
  EXPECT_EQ(form->Check1->value(), 1);
  EXPECT_EQ(form->st.view.visibleHalfOnly, kTrue);
  // A clear box stays clear.
  form->Check1->setValue(0);
  EXPECT_EQ(form->st.view.visibleHalfOnly, kFalse);
  form->Text2->setText(QStringLiteral("10"));
  EXPECT_EQ(form->Check1->value(), 0);
  EXPECT_EQ(form->Label1[0]->text(), QStringLiteral("Поворот сферы по оси OX"));
}

TEST_P(Form1Test, RotationBoxesKeepTheirColourUntilTheirOwnHandlerAccepts) {
  form->Text1->setText(QStringLiteral("abc"));  // accepted by Text1's cleaned reading
  form->Text2->setText(QStringLiteral("5"));    // but Text1 fails the locale reading
  EXPECT_EQ(form->Text2->backColour(), kNotAccepted);
  form->Text1->setText(QStringLiteral("90"));
  EXPECT_EQ(form->Text2->backColour(), kNotAccepted);  // only its own edit turns it back
  form->Text2->setText(QStringLiteral("6"));
  EXPECT_EQ(form->Text2->backColour(), kAccepted);
  form->Text3[0]->setText(d("1.5"));
  EXPECT_EQ(form->Text3[0]->backColour(), kAccepted);
  form->Text3[0]->setText(QStringLiteral("1e400"));
  EXPECT_EQ(form->Text3[0]->backColour(), kNotAccepted);
}

TEST_P(Form1Test, Text4StoresTheInclinationAndRedrawsTheExample) {
  const QImage before = imageOf(form->Picture2->raster()).copy();
  type(form->Text4[0], QStringLiteral("45"));
  EXPECT_EQ(form->st.lm.sourceInclination, static_cast<float>(45.0 / 180 * kPi));
  EXPECT_EQ(form->Text4[0]->backColour(), kAccepted);
  EXPECT_NE(imageOf(form->Picture2->raster()), before);
  type(form->Text4[0], QString());
  EXPECT_EQ(form->Text4[0]->backColour(), kNotAccepted);
  EXPECT_EQ(form->st.lm.sourceInclination, static_cast<float>(45.0 / 180 * kPi));
  // Beyond the float range: pale red, the program goes on.
  form->Text4[0]->setText(QString(60, QLatin1Char('9')));
  EXPECT_EQ(form->Text4[0]->backColour(), kNotAccepted);
  // A redraw that fails on s: stored, then pale red.
  form->Text5->setText(QStringLiteral("s"));
  form->Text4[0]->setText(QStringLiteral("10"));
  EXPECT_EQ(form->st.lm.sourceInclination, static_cast<float>(10.0 / 180 * kPi));
  EXPECT_EQ(form->Text4[0]->backColour(), kNotAccepted);
}

TEST_P(Form1Test, IsolineBoxes) {
  passStartUpGuard();
  // Text8(3) (row 4) emptied: only it turns pale red; its level stays, the others are re-read.
  form->Text8[1]->setText(d("0.85"));
  type(form->Text8[3], QString());
  EXPECT_EQ(form->Text8[3]->backColour(), kNotAccepted);
  EXPECT_EQ(form->st.iso.isolineLevel[4], 0.6f);
  EXPECT_EQ(form->st.iso.isolineLevel[2], 0.85f);
  for (int i : {1, 2, 4, 5, 6, 7}) EXPECT_EQ(form->Text8[i]->backColour(), kAccepted) << i;
  // Levels are read cleaned and need not lie in 0..1.
  form->Text8[3]->setText(QStringLiteral("x1,5y"));
  EXPECT_EQ(form->st.iso.isolineLevel[4], 1.5f);
  EXPECT_EQ(form->Text8[3]->backColour(), kAccepted);
  // Half-widths: locale reading; a non-number keeps the row's previous half-width.
  form->Text7[7]->setText(d("0.02"));
  EXPECT_EQ(form->st.iso.isolineHalfWidth[1], 0.02f);
  form->Text7[7]->setText(QStringLiteral("abc"));
  EXPECT_EQ(form->st.iso.isolineHalfWidth[1], 0.02f);
  EXPECT_EQ(form->Text7[7]->backColour(), kNotAccepted);
  form->Text7[2]->setText(d("0.5"));  // another row's edit re-reads all seven
  EXPECT_EQ(form->st.iso.isolineHalfWidth[3], 0.5f);
  EXPECT_EQ(form->Text7[7]->backColour(), kNotAccepted);
  form->Text7[7]->setText(d("0.01"));
  EXPECT_EQ(form->Text7[7]->backColour(), kAccepted);
  EXPECT_EQ(form->st.iso.isolineHalfWidth[1], 0.01f);
}

struct RadiusCase {
  const char* text;
  bool accepted;
  double stored;
};

TEST_P(Form1Test, Text9Radius) {
  const RadiusCase cases[] = {
      {"0", false, 0}, {"-5", false, -5}, {"1000,5", false, 1000.5}, {"1000", true, 1000},
      {"200", true, 200}, {"1001", false, 1001},
  };
  for (const RadiusCase& c : cases) {
    const double unitsBefore = form->st.view.unitsPerPixel;
    const double limitBefore = form->st.view.discLimitSq;
    form->Text9->setText(QString::fromUtf8(c.text));
    EXPECT_EQ(form->st.view.sphereRadius, c.stored) << c.text;
    EXPECT_EQ(form->Text9->backColour(), c.accepted ? kAccepted : kNotAccepted) << c.text;
    if (c.accepted) {
      EXPECT_EQ(form->st.view.unitsPerPixel, 1 / c.stored) << c.text;
    } else {
      EXPECT_EQ(form->st.view.unitsPerPixel, unitsBefore) << c.text;
      EXPECT_EQ(form->st.view.discLimitSq, limitBefore) << c.text;
    }
  }
  form->Text9->setText(QStringLiteral("1000"));
  EXPECT_EQ(form->st.view.unitsPerPixel, 0.001);
  EXPECT_EQ(form->st.view.discLimitSq, 1000999.9999999999);
  type(form->Text9, QString());
  EXPECT_EQ(form->Text9->backColour(), kNotAccepted);
  EXPECT_EQ(form->st.view.sphereRadius, 1000.0);
}

TEST_P(Form1Test, NoHandlerRewritesTheUsersText) {
  passStartUpGuard();
  const char* texts[] = {"abc", "-", "1e309", " 12 ", "—", "0,,5"};
  for (const char* t : texts) {
    const QString s = QString::fromUtf8(t);
    for (QLineEdit* box : {static_cast<QLineEdit*>(form->Text1), static_cast<QLineEdit*>(form->Text4[0]),
                           static_cast<QLineEdit*>(form->Text8[2]), static_cast<QLineEdit*>(form->Text9),
                           static_cast<QLineEdit*>(form->Text7[5])}) {
      box->setText(s);
      EXPECT_EQ(box->text(), s);
    }
  }
}

}  // namespace
}  // namespace korvalen
