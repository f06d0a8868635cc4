// Numbers stepped by key and wheel: the digits of the text, the window's boxes
// in both locales with the bounds they refuse, and the parameter window.
#include <QLineEdit>
#include <QWheelEvent>

#include "app/main_frame.h"
#include "form1_fixture.h"
#include "model_window/model_window.h"
#include "toolkit/number_steps.h"

namespace korvalen {
namespace {

TEST(SteppedNumberText, StepsTheDigitsOfTheText) {
  // stepped: nullptr where the text is no number that steps; minus: the locale's own minus.
  const struct { const char* text; long long units; const char* stepped; char16_t minus = u'-'; } cases[] = {
      {"30", 1, "31"}, {"0.1", 1, "0.2"}, {"9.99", 1, "10.00"}, {"0,5", -10, "-0,5"},
      {"-0.001", 1, "0.000"}, {"007", 1, "008"}, {"+7", -10, "-3"}, {"+0.1", -1, "+0.0"},
      {".5", 1, ".6"}, {"5.", 1, "6."}, {"99999999999999999999", 1, "100000000000000000000"},
      {"1", -9223372036854775807LL - 1, "-9223372036854775807"},
      {"", 1, nullptr}, {"-", 1, nullptr}, {"1e5", 1, nullptr}, {"1.2.3", 1, nullptr},
      {"\u0661\u0662", 1, nullptr},  // Arabic-Indic digits
      {"\u22122", 1, "\u22121", u'\u2212'}, {"0,5", -10, "\u22120,5", u'\u2212'},
  };
  for (const auto& c : cases) {
    const std::optional<QString> expected = c.stepped ? std::optional(QString::fromUtf8(c.stepped)) : std::nullopt;
    EXPECT_EQ(steppedNumberText(QString::fromUtf8(c.text), c.units, QChar(c.minus)), expected)
        << c.text << " " << c.units;
  }
}

TEST_P(Form1Test, NumberBoxesStepByKeysAndTheWheel) {
  passStartUpGuard();
  Form1& f = *form;
  const QString otherLocale = dec(GetParam() == Loc::Point ? Loc::Comma : Loc::Point, "0.5");
  // key 0: one notch of the wheel up. A level takes a point in either locale.
  const struct { TextBox* box; QString start; int key; QString stepped; } cases[] = {
      {f.Text1, "90", Qt::Key_Up, "91"}, {f.Text2, "0", Qt::Key_Down, "-1"},
      {f.Text3[0], d("0.5"), Qt::Key_PageUp, d("1.5")}, {f.Text4[0], "30", 0, "31"},
      {f.Text4[0], d("2.5"), Qt::Key_PageDown, d("1.5")}, {f.Text7[7], d("0.005"), Qt::Key_Down, d("0.004")},
      {f.Text8[1], "0.8", Qt::Key_Up, "0.9"},
      // Refused: the radius's bounds and above them, texts the box does not read.
      {f.Text9, "1000", Qt::Key_Up, "1000"}, {f.Text9, "1", Qt::Key_Down, "1"},
      {f.Text9, "1005", Qt::Key_Down, "1005"}, {f.Text2, otherLocale, Qt::Key_Up, otherLocale},
      {f.Text1, "abc", Qt::Key_Up, "abc"},
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
    EXPECT_EQ(c.box->text(), c.stepped) << c.start.toStdString() << " key " << c.key;
  }
  // The handlers took the stepped texts as typed ones.
  EXPECT_FLOAT_EQ(f.st.lm.sourceInclination, static_cast<float>(1.5 / 180 * kPi));
  EXPECT_EQ(f.st.iso.isolineHalfWidth[1], 0.004f);
  EXPECT_EQ(f.st.iso.isolineLevel[2], 0.9f);
}

TEST_P(Form1Test, ParameterFieldsStepTheirLastPlace) {
  MainFrame frame;
  frame.show();
  Form1& f = frame.form();
  while (f.Timer1->enabled()) QTest::qWait(5);
  frame.modelActions[kHapke]->trigger();
  frame.parametersAction->trigger();
  // The single-scattering albedo (0 < w <= 1), the backscatter fraction (-1 <= c <= 2).
  ParameterBox *w = frame.modelWindow()->fields()[0], *c3 = frame.modelWindow()->fields()[2];
  ParameterBox* factor = frame.modelWindow()->factorBox();
  // typed empty: the text as it stands. Refused: w and the factor past their
  // ranges, and "-" (not yet a number); "0.10" down keeps its place's zero.
  const struct { ParameterBox* box; QString typed; int key; QString shown; double value; } cases[] = {
      {w, d("0.25"), Qt::Key_PageDown, d("0.15"), 0.15}, {w, d("0.10"), Qt::Key_Up, d("0.11"), 0.11},
      {w, {}, Qt::Key_Down, d("0.10"), 0.1}, {w, d("1"), Qt::Key_Up, d("1"), 1},
      {factor, d("0.001"), Qt::Key_Down, d("0.001"), 0.001},
      {c3, d("0.4"), Qt::Key_PageDown, d("-0.6"), -0.6}, {c3, "-", Qt::Key_Up, "-", -0.6},
  };
  for (const auto& c : cases) {
    if (!c.typed.isEmpty()) {
      c.box->selectAll();
      QTest::keyClicks(c.box, c.typed);
    }
    QTest::keyClick(c.box, static_cast<Qt::Key>(c.key));
    EXPECT_EQ(c.box->text(), c.shown) << c.shown.toStdString();
    EXPECT_EQ(c.box->value(), c.value) << c.shown.toStdString();
  }
  EXPECT_EQ(f.st.lm.planetary.hapke.w, 1);
  EXPECT_EQ(f.st.lm.planetary.factor, 0.001);
  EXPECT_EQ(f.st.lm.planetary.hapke.c, -0.6);
}

}  // namespace
}  // namespace korvalen
