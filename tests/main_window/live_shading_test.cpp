// Shading on every change: which changes start a run, that a burst of them
// gives one run after the last, and that the live run's map is the clicked one.
#include <functional>

#include "form1_fixture.h"
#include "toolkit/guard.h"

namespace korvalen {
namespace {

class LiveShading : public Form1Test {
 protected:
  void SetUp() override {
    Form1Test::SetUp();
    passStartUpGuard();
  }
  // Until live shading has nothing more to do (bounded by the runs it may start, not by time).
  void settle() { ASSERT_TRUE(QTest::qWaitFor([this] { return !form->liveRunPending(); }, 20000)); }
  void typeAndSettle(QLineEdit* box, const QString& text) {
    type(box, text);
    settle();
  }
  // The map as it stands is, pixel for pixel, the one a click of "Тонировать" draws.
  void expectAsClicked(const char* what = "") {
    const QImage live = form->mapPicture();
    form->Command1->click();
    EXPECT_EQ(live, form->mapPicture()) << what;
  }
};

TEST_P(LiveShading, ABurstGivesOneRunAfterTheLastAndAFailureTheClicksNotice) {
  typeAndSettle(form->Text4[0], QStringLiteral("30"));  // off at start-up: nothing
  EXPECT_EQ(form->liveRuns(), 0);
  form->setLiveShading(true);  // on: the values as they stand, once
  settle();
  EXPECT_EQ(form->liveRuns(), 1);
  expectAsClicked();
  // Eight keys before the window gets back to its events: one run, with the last value.
  form->Text4[0]->selectAll();
  QTest::keyClicks(form->Text4[0], d("12.5"));
  for (int k = 0; k < 4; ++k) QTest::keyClick(form->Text4[0], Qt::Key_Backspace);
  QTest::keyClicks(form->Text4[0], QStringLiteral("45"));
  EXPECT_EQ(form->liveRuns(), 1);
  settle();
  EXPECT_EQ(form->liveRuns(), 2);
  EXPECT_FLOAT_EQ(form->st.lm.sourceInclination, static_cast<float>(45 / 180.0 * kPi));
  expectAsClicked();
  // A value taken while OZ holds no number: the run stops and says so, as a click would.
  type(form->Text3[0], QStringLiteral("abc"));
  const long failures = failureCount();
  typeAndSettle(form->Text4[0], QStringLiteral("20"));
  EXPECT_EQ(failureCount(), failures + 1);
  EXPECT_TRUE(form->failureNoticeVisible());
  EXPECT_FALSE(form->Picture1->isHidden());
  EXPECT_EQ(mousePointer(form.get()), kPointerDefault);
  typeAndSettle(form->Text3[0], QStringLiteral("0"));  // put right: the map is drawn, the notice goes
  EXPECT_FALSE(form->failureNoticeVisible());
  expectAsClicked();
  const QImage live = form->mapPicture();
  form->setLiveShading(false);  // off: changes start nothing, the map stays
  typeAndSettle(form->Text4[0], QStringLiteral("60"));
  EXPECT_EQ(form->liveRuns(), 4);
  EXPECT_EQ(form->mapPicture(), live);
}

TEST_P(LiveShading, EveryAcceptedChangeAndNoRefusedOne) {
  Form1& f = *form;
  auto typing = [this](QLineEdit* box, QString text) { return [=, this] { type(box, text); }; };
  // OX's own reading takes letters, the run's does not (OY leaves the start-up view
  // first: the grey tick it turns runs too); s has no pale red of its own.
  const struct { const char* what; std::function<void()> change; bool runs; } cases[] = {
      {"radius 0, pale red", typing(f.Text9, "0"), false}, {"radius 120", typing(f.Text9, "120"), true},
      {"OY 20", typing(f.Text2, "20"), true}, {"OX letters", typing(f.Text1, "abc"), false},
      {"OX 60", typing(f.Text1, "60"), true}, {"s emptied", typing(f.Text5, {}), false},
      {"s 0.3", typing(f.Text5, d("0.3")), true}, {"a level emptied", typing(f.Text8[3], {}), false},
      {"a level", typing(f.Text8[3], d("0.65")), true},
      {"smoothing", [&] { f.Check2->click(); }, true}, {"glossy model", [&] { f.Option2->click(); }, true},
      {"Minnaert's model", [&] { runGuarded([&] { f.selectPlanetaryModel(kMinnaert); }); }, true},
      {"its k", [&] { PlanetaryParameters p = f.st.lm.planetary; p.minnaertK = 1.5;
                      runGuarded([&] { f.setPlanetaryParameters(p); }); }, true},
  };
  f.setLiveShading(true);
  settle();
  for (const auto& c : cases) {
    const long runs = f.liveRuns();
    c.change();
    settle();
    EXPECT_EQ(f.liveRuns(), runs + (c.runs ? 1 : 0)) << c.what;
    if (c.runs) expectAsClicked(c.what);
  }
}

INSTANTIATE_TEST_SUITE_P(Locales, LiveShading, ::testing::Values(Loc::Point, Loc::Comma));

}  // namespace
}  // namespace korvalen
