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
  void settle() {
    ASSERT_TRUE(QTest::qWaitFor([this] { return !form->liveRunPending(); }, 20000));
  }
  QImage map() const { return form->mapPicture(); }
  // The map a click of "Тонировать" draws from the same inputs.
  QImage clickedMap() {
    form->Command1->click();
    return map();
  }
};

TEST_P(LiveShading, ABurstOfKeysGivesOneRunAfterTheLast) {
  // Off at start-up: typing shades nothing.
  type(form->Text4[0], QStringLiteral("30"));
  QTest::qWait(1);
  EXPECT_FALSE(form->liveRunPending());
  EXPECT_EQ(form->liveRuns(), 0);
  EXPECT_EQ(form->st.map.probeDisabled, kTrue);

  // Turned on, it shades the values as they stand, once.
  form->setLiveShading(true);
  settle();
  EXPECT_EQ(form->liveRuns(), 1);
  EXPECT_EQ(form->st.map.probeDisabled, kFalse);
  const QImage first = map();
  EXPECT_EQ(first, clickedMap());

  // Eight keys before the window gets back to its events: one run, with the last value.
  form->Text4[0]->selectAll();
  QTest::keyClicks(form->Text4[0], d("12.5"));
  for (int k = 0; k < 4; ++k) QTest::keyClick(form->Text4[0], Qt::Key_Backspace);
  QTest::keyClicks(form->Text4[0], QStringLiteral("45"));
  EXPECT_EQ(form->liveRuns(), 1);
  settle();
  EXPECT_EQ(form->liveRuns(), 2);
  EXPECT_FLOAT_EQ(form->st.lm.sourceInclination, static_cast<float>(45 / 180.0 * kPi));
  const QImage live = map();
  EXPECT_EQ(live, clickedMap());

  // Turned off, changes start nothing and the map stays.
  form->setLiveShading(false);
  type(form->Text4[0], QStringLiteral("60"));
  settle();
  EXPECT_EQ(form->liveRuns(), 2);
  EXPECT_EQ(map(), live);
}

TEST_P(LiveShading, EveryAcceptedChangeAndNoRefusedOne) {
  Form1& f = *form;
  const struct {
    const char* what;
    std::function<void()> change;
    bool runs;
  } cases[] = {
      {"radius 0, pale red", [&] { type(f.Text9, QStringLiteral("0")); }, false},
      {"radius empty", [&] { type(f.Text9, QString()); }, false},
      {"radius 120", [&] { type(f.Text9, QStringLiteral("120")); }, true},
      {"OY not a number", [&] { type(f.Text2, QStringLiteral("abc")); }, false},
      {"OY 20", [&] { type(f.Text2, QStringLiteral("20")); }, true},
      {"OX letters: its own reading takes them, the run's does not",
       [&] { type(f.Text1, QStringLiteral("abc")); }, false},
      {"OX 60", [&] { type(f.Text1, QStringLiteral("60")); }, true},
      {"s emptied", [&] { type(f.Text5, QString()); }, false},
      {"s 0.3", [&] { type(f.Text5, d("0.3")); }, true},
      {"a level emptied", [&] { type(f.Text8[3], QString()); }, false},
      {"a level 0.65", [&] { type(f.Text8[3], d("0.65")); }, true},
      {"a half-width not a number", [&] { type(f.Text7[3], QStringLiteral("x")); }, false},
      {"a half-width 0.02", [&] { type(f.Text7[3], d("0.02")); }, true},
      {"smoothing", [&] { f.Check2->click(); }, true},
      {"whole sphere", [&] { f.Check1->click(); }, true},
      {"isolines hidden", [&] { f.Check3->click(); }, true},
      {"glossy model", [&] { f.Option2->click(); }, true},
      {"n 8 under the glossy model", [&] { type(f.Text6, QStringLiteral("8")); }, true},
      {"Minnaert's model", [&] { runGuarded([&] { f.selectPlanetaryModel(kMinnaert); }); }, true},
      {"its k", [&] {
         PlanetaryParameters p = f.st.lm.planetary;
         p.minnaertK = 1.5;
         runGuarded([&] { f.setPlanetaryParameters(p); });
       }, true},
      {"mirror model", [&] { f.Option4->click(); }, true},
  };
  f.setLiveShading(true);
  settle();
  for (const auto& c : cases) {
    const long runs = f.liveRuns();
    c.change();
    settle();
    EXPECT_EQ(f.liveRuns(), runs + (c.runs ? 1 : 0)) << c.what;
    const QImage live = map();
    if (c.runs) {
      EXPECT_EQ(live, clickedMap()) << c.what;
    }
  }
}

TEST_P(LiveShading, TheFailureNoticeAsAfterAClick) {
  form->setLiveShading(true);
  settle();
  // A value taken while another box the run reads holds no number: the run
  // stops there and says so, as a click would.
  type(form->Text3[0], QStringLiteral("abc"));
  const long failures = failureCount();
  type(form->Text4[0], QStringLiteral("20"));
  settle();
  EXPECT_EQ(failureCount(), failures + 1);
  EXPECT_TRUE(form->failureNoticeVisible());
  EXPECT_FALSE(form->Picture1->isHidden());
  EXPECT_EQ(mousePointer(form.get()), kPointerDefault);
  // The box put right, the map is drawn and the notice goes.
  type(form->Text3[0], QStringLiteral("0"));
  settle();
  EXPECT_FALSE(form->failureNoticeVisible());
  const QImage live = map();
  EXPECT_EQ(live, clickedMap());
}

INSTANTIATE_TEST_SUITE_P(Locales, LiveShading, ::testing::Values(Loc::Point, Loc::Comma));

}  // namespace
}  // namespace korvalen
