// "Тонировать" in the window: what it reads, what it shows, and how it ends
// when something fails half-way.
#include "form1_fixture.h"
#include <QProgressBar>

#include "toolkit/guard.h"

namespace korvalen {
namespace {

// Pixels of the map that the run drew (not the white background).
int drawnPixels(const Form1& f) {
  int n = 0;
  const Raster& r = f.Picture1->raster();
  for (int y = 0; y < r.heightPixels(); ++y)
    for (int x = 0; x < r.widthPixels(); ++x) n += r.point(x, y) != RGB(255, 255, 255);
  return n;
}

TEST_P(Form1Test, StartUpMapAndTheNoteFollowTheView) {
  form->Command1->click();
  EXPECT_EQ(form->st.map.probeDisabled, kFalse);
  EXPECT_FALSE(form->Label17->isHidden());
  EXPECT_FALSE(form->Picture1->isHidden());
  EXPECT_EQ(mousePointer(form.get()), kPointerDefault);
  const Raster& r = form->Picture1->raster();
  EXPECT_EQ(r.point(196, 169), RGB(255, 255, 255));  // the centre: phi 1 drawn as 255
  const Colour grey = r.point(196 - 100, 169);  // lit less towards the rim
  EXPECT_TRUE(redOf(grey) == greenOf(grey) && greenOf(grey) == blueOf(grey));
  EXPECT_NEAR(redOf(grey), 0.7776 * 255, 2);
  const QImage first = imageOf(r).copy();
  form->Command1->click();
  EXPECT_EQ(imageOf(r), first);  // the same inputs draw the same picture
  for (auto [box, text] : {std::pair{form->Text1, "45"}, {form->Text2, "10"}, {form->Text3[0], "5"}}) {
    box->setText(QString::fromUtf8(text));
    form->Command1->click();
    EXPECT_TRUE(form->Label17->isHidden()) << text;
    box->setText(box == form->Text1 ? QStringLiteral("90") : QStringLiteral("0"));
    form->Command1->click();
    EXPECT_FALSE(form->Label17->isHidden()) << text;
  }
}

TEST_P(Form1Test, RadiusInEffect) {
  form->Text9->setText(QStringLiteral("50"));
  form->Command1->click();
  const int small = drawnPixels(*form);
  EXPECT_NEAR(small, 3.14159 * 50 * 50, 400);
  // 0 and -5: the run keeps the radius last accepted.
  for (const char* t : {"0", "-5"}) {
    form->Text9->setText(QString::fromUtf8(t));
    form->Command1->click();
    EXPECT_EQ(drawnPixels(*form), small) << t;
  }
  // 1e-311: its reciprocal overflows. The run stops there, and nothing of it is
  // stored: the radius 50 stays in effect for the probe and the next run.
  const long failures = failureCount();
  form->Text9->setText(QStringLiteral("1e-311"));
  form->Command1->click();
  EXPECT_EQ(failureCount(), failures + 1);
  EXPECT_EQ(form->st.view.unitsPerPixel, 1.0 / 50);
  EXPECT_EQ(form->st.view.discLimitSq, 2550.0);
  form->Picture1_MouseMove(196, 169);
  EXPECT_FALSE(form->Label12->isHidden());
  form->Text9->setText(QStringLiteral("0"));
  form->Command1->click();
  EXPECT_EQ(failureCount(), failures + 1);
  EXPECT_EQ(drawnPixels(*form), small);
  // 950: the box accepts it, so it is the radius in effect although the run's
  // own test rejects it; the disc covers the whole picture.
  form->Text9->setText(QStringLiteral("950"));
  EXPECT_EQ(form->Text9->backColour(), kAccepted);
  form->Command1->click();
  EXPECT_EQ(form->st.view.unitsPerPixel, 1.0 / 950);
  EXPECT_NE(form->Picture1->raster().point(0, 0), RGB(255, 255, 255));
  EXPECT_NE(form->Picture1->raster().point(392, 336), RGB(255, 255, 255));
}

TEST_P(Form1Test, AFailedRunRestoresThePointerAndShowsTheMap) {
  form->Command1->click();
  const QImage map = imageOf(form->Picture1->raster()).copy();
  const long before = failureCount();
  // Text2 holding letters: the run stops at the rotation, before clearing.
  form->Text2->setText(QStringLiteral("abc"));
  form->Command1->click();
  EXPECT_EQ(failureCount(), before + 1);
  EXPECT_EQ(mousePointer(form.get()), kPointerDefault);
  EXPECT_FALSE(form->Picture1->isHidden());
  EXPECT_EQ(imageOf(form->Picture1->raster()), map);
  EXPECT_TRUE(form->failureNoticeVisible());
  // A negative peak sharpness: where t is small, t^n overflows, so the run
  // stops in the middle of the scan, after hiding the map; the map is shown again.
  form->Text2->setText(QStringLiteral("0"));
  form->Option2->click();
  form->Text6->setText(QStringLiteral("-100"));
  form->Command1->click();
  EXPECT_EQ(failureCount(), before + 2);
  EXPECT_EQ(mousePointer(form.get()), kPointerDefault);
  EXPECT_FALSE(form->Picture1->isHidden());
  // The window goes on: a sound run afterwards draws the map.
  form->Text6->setText(QStringLiteral("16"));
  form->Command1->click();
  EXPECT_EQ(failureCount(), before + 2);
  EXPECT_NE(form->Picture1->raster().point(196 - 100, 169), RGB(255, 255, 255));
}

// A run judged long shows its progress over the empty map place and takes the
// bar away when it ends, completed or stopped; the map is the same as without.
TEST_P(Form1Test, ALongRunShowsItsProgressAndDrawsTheSameMap) {
  form->Text9->setText(QStringLiteral("400"));
  form->Check2->setValue(1);  // smoothing: enough samples for several bands
  form->Command1->click();
  const QImage quick = imageOf(form->Picture1->raster()).copy();
  QProgressBar* bar = form->runProgress();
  ASSERT_TRUE(bar->isHidden());  // this run was judged short

  std::vector<int> shown;  // the values the bar showed, and whether the map was hidden then
  QObject::connect(bar, &QProgressBar::valueChanged, [&](int v) {
    shown.push_back(v);
    EXPECT_TRUE(form->Picture1->isHidden());
  });
  form->longRunSeconds = 0;
  form->Command1->click();
  EXPECT_TRUE(bar->isHidden());
  EXPECT_FALSE(form->Picture1->isHidden());
  EXPECT_EQ(mousePointer(form.get()), kPointerDefault);
  EXPECT_EQ(imageOf(form->Picture1->raster()), quick);
  ASSERT_FALSE(shown.empty());
  EXPECT_EQ(shown.back(), 100);
  EXPECT_TRUE(std::is_sorted(shown.begin(), shown.end()));

  // Stopped half-way: the bar goes with the busy pointer.
  form->Option2->click();
  form->Text6->setText(QStringLiteral("-100"));
  shown.clear();
  form->Command1->click();
  EXPECT_TRUE(form->failureNoticeVisible());
  EXPECT_TRUE(bar->isHidden());
  EXPECT_FALSE(form->Picture1->isHidden());
}

// The notice of a failed run does not outlive the next run that completes: it
// would stand over the new map and make it read as failed. Edits that fail
// after that run put up their own notice again.
TEST_P(Form1Test, ACompletedRunTakesAwayTheNoticeOfAnEarlierFailure) {
  const QString commaNumber = GetParam() == Loc::Point ? QStringLiteral("1,5") : QStringLiteral("1.5");
  type(form->Text1, commaNumber);
  form->Command1->click();
  ASSERT_TRUE(form->failureNoticeVisible());
  type(form->Text1, d("1.5"));
  EXPECT_TRUE(form->failureNoticeVisible());  // typing leaves it to be read
  form->Command1->click();
  EXPECT_FALSE(form->failureNoticeVisible());
  form->Text5->setText(QStringLiteral("x"));
  form->Option2->click();
  EXPECT_TRUE(form->failureNoticeVisible());
}

}  // namespace
}  // namespace korvalen
