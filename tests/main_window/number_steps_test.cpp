// Numbers stepped by key and wheel: the digits of the text, the boxes of the
// window in both locales with the bounds they refuse, and the parameter window.
#include <QLineEdit>
#include <QWheelEvent>

#include "app/main_frame.h"
#include "form1_fixture.h"
#include "model_window/model_window.h"
#include "toolkit/number_steps.h"

namespace korvalen {
namespace {

TEST(SteppedNumberText, StepsTheDigitsOfTheText) {
  const struct {
    const char* text;
    long long units;
    const char* stepped;  // nullptr: not a number that steps
  } cases[] = {
      {"30", 1, "31"},
      {"0.1", 1, "0.2"},
      {"0.005", 1, "0.006"},
      {"0.9", 1, "1.0"},
      {"9.99", 1, "10.00"},
      {"0,5", 1, "0,6"},
      {"0,5", -10, "-0,5"},
      {"0.000", -1, "-0.001"},
      {"-0.001", 1, "0.000"},
      {"-1", 10, "9"},
      {"007", 1, "008"},
      {"+7", -10, "-3"},
      {"+0.1", -1, "+0.0"},
      {".5", 1, ".6"},
      {"5.", 1, "6."},
      {"99999999999999999999", 1, "100000000000000000000"},
      {"1", -9223372036854775807LL - 1, "-9223372036854775807"},
      {"", 1, nullptr},
      {"-", 1, nullptr},
      {".", 1, nullptr},
      {"1e5", 1, nullptr},
      {"12a", 1, nullptr},
      {"1.2.3", 1, nullptr},
      {"\u0661\u0662", 1, nullptr},  // Arabic-Indic digits
  };
  for (const auto& c : cases) {
    const std::optional<QString> s = steppedNumberText(QString::fromUtf8(c.text), c.units);
    if (c.stepped)
      EXPECT_EQ(s, QString::fromUtf8(c.stepped)) << c.text << " " << c.units;
    else
      EXPECT_FALSE(s) << c.text << " " << c.units;
  }
  // A minus of the locale's own is kept, and written where a sign turns.
  const QChar minus(0x2212);
  EXPECT_EQ(steppedNumberText(QString(minus) + QStringLiteral("2"), 1, minus), QString(minus) + QStringLiteral("1"));
  EXPECT_EQ(steppedNumberText(QStringLiteral("0,5"), -10, minus), QString(minus) + QStringLiteral("0,5"));
}

class NumberBoxes : public Form1Test {
 protected:
  void SetUp() override {
    Form1Test::SetUp();
    passStartUpGuard();
  }
  // A decimal text in the other locale's format.
  QString other(const char* text) const { return dec(GetParam() == Loc::Point ? Loc::Comma : Loc::Point, text); }
};

TEST_P(NumberBoxes, KeysAndTheWheelStepAsTyped) {
  Form1& f = *form;
  const struct {
    const char* what;
    TextBox* box;
    QString start;
    int key;  // 0: one notch of the wheel up
    QString stepped;
  } cases[] = {
      {"OX up", f.Text1, "90", Qt::Key_Up, "91"},
      {"OY down across zero", f.Text2, "0", Qt::Key_Down, "-1"},
      {"OZ by ten", f.Text3[0], d("0.5"), Qt::Key_PageUp, d("1.5")},
      {"inclination by the wheel", f.Text4[0], "30", 0, "31"},
      {"inclination down by ten", f.Text4[0], d("2.5"), Qt::Key_PageDown, d("1.5")},
      {"s", f.Text5, d("0.5"), Qt::Key_Up, d("0.6")},
      {"n", f.Text6, "16", Qt::Key_Down, "15"},
      {"a half-width", f.Text7[7], d("0.005"), Qt::Key_Down, d("0.004")},
      {"a level", f.Text8[7], d("0.9"), Qt::Key_Down, d("0.8")},
      {"a level with a point in either locale", f.Text8[1], "0.8", Qt::Key_Up, "0.9"},
      {"radius", f.Text9, "159", Qt::Key_PageUp, "169"},
      // Refused: the bounds of the radius, texts the box does not take.
      {"radius at its top", f.Text9, "1000", Qt::Key_Up, "1000"},
      {"radius at its bottom", f.Text9, "1", Qt::Key_Down, "1"},
      {"radius above its top", f.Text9, "1005", Qt::Key_Down, "1005"},
      {"OY in the other locale's format", f.Text2, other("0.5"), Qt::Key_Up, other("0.5")},
      {"s in the other locale's format", f.Text5, other("0.5"), Qt::Key_Up, other("0.5")},
      {"OX that is no plain number", f.Text1, "abc", Qt::Key_Up, "abc"},
  };
  for (const auto& c : cases) {
    c.box->setText(c.start);
    c.box->setFocus();
    if (c.key) {
      QTest::keyClick(c.box, static_cast<Qt::Key>(c.key));
    } else {
      const QPointF at(5, 5);
      QWheelEvent wheel(at, c.box->mapToGlobal(at), {}, QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                        Qt::NoScrollPhase, false);
      QApplication::sendEvent(c.box, &wheel);
    }
    EXPECT_EQ(c.box->text(), c.stepped) << c.what;
  }
  // The handlers took the stepped texts as typed ones.
  EXPECT_FLOAT_EQ(f.st.lm.sourceInclination, static_cast<float>(1.5 / 180 * kPi));
  EXPECT_EQ(f.st.iso.isolineHalfWidth[1], 0.004f);
  EXPECT_EQ(f.st.iso.isolineLevel[1], 0.8f);
  EXPECT_EQ(f.st.iso.isolineLevel[2], 0.9f);
  EXPECT_EQ(f.Text9->backColour(), kNotAccepted);  // 1005 stays as typed
  f.Text9->setText(QStringLiteral("1"));
  EXPECT_EQ(f.st.view.unitsPerPixel, 1.0);
  EXPECT_EQ(f.Text9->backColour(), kAccepted);
}

TEST_P(NumberBoxes, ParameterFieldsStepTheirLastPlace) {
  MainFrame frame;
  frame.show();
  Form1& f = frame.form();
  while (f.Timer1->enabled()) QTest::qWait(5);
  frame.modelActions[kHapke]->trigger();
  frame.parametersAction->trigger();
  ParameterBox* w = frame.modelWindow()->fields()[0];  // single-scattering albedo, 0 < w <= 1
  ParameterBox* c3 = frame.modelWindow()->fields()[2];  // backscatter fraction, -1 <= c <= 2
  ParameterBox* factor = frame.modelWindow()->factorBox();
  auto typeInto = [](ParameterBox* box, const QString& text) {
    box->selectAll();
    QTest::keyClicks(box, text);
  };
  const struct {
    ParameterBox* box;
    QString typed;  // empty: keep the text as it stands
    int key;
    QString shown;
    double value;
  } cases[] = {
      {w, d("0.25"), Qt::Key_Up, d("0.26"), 0.26},
      {w, {}, Qt::Key_PageDown, d("0.16"), 0.16},
      {w, d("0.10"), Qt::Key_Up, d("0.11"), 0.11},
      {w, {}, Qt::Key_Down, d("0.10"), 0.1},  // the place stays with its zero
      {w, {}, Qt::Key_Down, d("0.09"), 0.09},
      {w, d("0.1"), Qt::Key_Down, d("0.1"), 0.1},  // 0 is out of its range
      {w, d("1"), Qt::Key_Up, d("1"), 1},
      {factor, d("2"), Qt::Key_Up, d("3"), 3},
      {factor, d("0.001"), Qt::Key_Down, d("0.001"), 0.001},
      {c3, d("0.4"), Qt::Key_PageDown, d("-0.6"), -0.6},
      {c3, "-", Qt::Key_Up, "-", -0.6},  // not yet a number: not stepped
  };
  for (const auto& c : cases) {
    if (!c.typed.isEmpty()) typeInto(c.box, c.typed);
    QTest::keyClick(c.box, static_cast<Qt::Key>(c.key));
    EXPECT_EQ(c.box->text(), c.shown) << c.shown.toStdString();
    EXPECT_EQ(c.box->value(), c.value) << c.shown.toStdString();
  }
  EXPECT_EQ(f.st.lm.planetary.hapke.w, 1);
  EXPECT_EQ(f.st.lm.planetary.factor, 0.001);
  EXPECT_EQ(f.st.lm.planetary.hapke.c, -0.6);
}

INSTANTIATE_TEST_SUITE_P(Locales, NumberBoxes, ::testing::Values(Loc::Point, Loc::Comma));

}  // namespace
}  // namespace korvalen
