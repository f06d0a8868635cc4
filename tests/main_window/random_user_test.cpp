// A randomised user: thousands of events chosen at random from everything a
// user can do to the window, with the window's invariants checked after each.
// KORVALEN_RANDOM_SEED and KORVALEN_RANDOM_EVENTS choose another run by hand.
#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <cmath>
#include <random>

#include "form1_fixture.h"
#include "toolkit/guard.h"

namespace korvalen {
namespace {

// Colours the shading can give a pixel in direct mode: a grey, a grey with
// one band's tint (components above 255 drawn as 255), or a zone colour.
bool isMapColour(Colour c) {
  const int r = redOf(c), g = greenOf(c), b = blueOf(c);
  if (r == g && g == b) return true;
  if (c == RGB(96, 0, 52) || c == RGB(175, 0, 91)) return true;
  static const int tints[7][3] = {{40, 0, 0}, {40, 20, 0}, {37, 40, 0}, {0, 40, 0},
                                  {0, 30, 40}, {0, 0, 40}, {25, 0, 40}};
  const int px[3] = {r, g, b};
  for (const auto& t : tints) {
    for (int k = 0; k < 3; ++k) {
      if (t[k] != 0) continue;
      for (int base : {px[k], px[k] + 1}) {  // a drawn 255 may stand for 256
        bool ok = true;
        for (int m = 0; m < 3; ++m) ok = ok && std::min(base + t[m], 255) == px[m];
        if (ok) return true;
      }
    }
  }
  return false;
}

bool isExampleColour(Colour c) {
  const int r = redOf(c), g = greenOf(c), b = blueOf(c);
  return (r == g && g == b) || c == RGB(176, 240, 240) || c == RGB(128, 128, 0) ||
         c == RGB(144, 144, 0);
}

bool allFinite(const Form1State& st) {
  const double values[] = {
      st.lm.sourceInclination, st.lm.lightX, st.lm.lightY, st.lm.lightZ, st.lm.cosG,
      st.lm.specularShare, st.lm.peakSharpness, st.lm.peakSharpnessPlus1, st.lm.diffuseShare,
      st.lm.specularGain, st.view.rotAngleOX, st.view.rotAngleOY, st.view.rotAngleOZ,
      st.view.cosRotOX, st.view.sinRotOX, st.view.cosRotOY, st.view.sinRotOY, st.view.cosRotOZ,
      st.view.sinRotOZ, st.view.sphereRadius, st.view.unitsPerPixel, st.view.discLimitSq,
      st.mirror.mirrorBestScore};
  for (double v : values)
    if (!std::isfinite(v)) return false;
  for (int r = 1; r <= 7; ++r)
    if (!std::isfinite(st.iso.isolineLevel[r]) || !std::isfinite(st.iso.isolineHalfWidth[r])) return false;
  return true;
}

class RandomUser {
 public:
  RandomUser(Form1& f, unsigned seed) : f_(f), rng_(seed) {}

  QString randomText() {
    static const char* pieces[] = {
        "0", "1", "2", "5", "9", "16", "45", "90", "-90", "180", "-180", "1e15", "0.5", "0,5",
        ".", ",", "-", "—", "1e309", "-1e-400", "nan", "inf", "0x1F", "  ", " 3 ", "абв",
        "١٢٣", "\t", "\x01", "e", "+", "12345678901234567890", "0.000001", "899", "950", "1000",
        "-0", "0,005", "0.9", "-3", "100000", "-100"};
    const int kind = pick(10);
    if (kind == 0) return QString();
    if (kind == 1) return QString(10000, QChar(QLatin1Char('0' + pick(10))));
    if (kind == 2) {  // long digit strings, with or without a separator
      QString s;
      const int n = 20 + pick(400);
      for (int i = 0; i < n; ++i) s += QChar(QLatin1Char('0' + pick(10)));
      if (pick(2)) s.insert(pick(static_cast<int>(s.size())), QLatin1Char(','));
      return s;
    }
    if (kind == 3) {  // random code points, control characters included
      QString s;
      const int n = 1 + pick(12);
      for (int i = 0; i < n; ++i) s += QChar(static_cast<char16_t>(1 + pick(0xD7FF)));
      return s;
    }
    QString s;
    const int n = 1 + pick(3);
    for (int i = 0; i < n; ++i) s += QString::fromUtf8(pieces[pick(std::size(pieces))]);
    return s;
  }

  QLineEdit* randomBox() {
    QLineEdit* boxes[] = {f_.Text1, f_.Text2, f_.Text3[0], f_.Text4[0], f_.Text5, f_.Text6, f_.Text9};
    const int k = pick(7 + 14);
    if (k < 7) return boxes[k];
    const int i = 1 + (k - 7) % 7;
    return k - 7 < 7 ? f_.Text7[i] : f_.Text8[i];
  }

  // One event; returns true when it drew the map.
  bool step() {
    const int kind = pick(100);
    if (kind < 30) {
      QLineEdit* box = randomBox();
      box->setFocus();
      const QString text = randomText();
      bool printableAscii = true;
      for (QChar ch : text) printableAscii = printableAscii && ch.unicode() >= 32 && ch.unicode() < 127;
      if (pick(2) && printableAscii) {
        box->selectAll();
        QTest::keyClicks(box, text.left(40));
      } else if (pick(2)) {
        box->insert(text);  // pasted at the cursor
      } else {
        box->setText(text);
      }
    } else if (kind < 40) {
      QTest::keyClick(randomBox(), Qt::Key_Backspace);
    } else if (kind < 50) {
      OptionButton* options[] = {f_.Option1, f_.Option2, f_.Option3, f_.Option4};
      options[pick(4)]->click();
    } else if (kind < 60) {
      CheckBox* checks[] = {f_.Check1, f_.Check2, f_.Check3};
      CheckBox* c = checks[pick(3)];
      if (pick(3) == 0)
        c->setValue(pick(3));
      else
        c->click();
    } else if (kind < 66) {
      // Tabbing away from a check box validates it.
      CheckBox* checks[] = {f_.Check1, f_.Check2, f_.Check3};
      CheckBox* c = checks[pick(3)];
      c->setFocus();
      QTest::keyClick(c, Qt::Key_Tab);
    } else if (kind < 69) {
      const char* radii[] = {"159", "0", "-5", "50", "899", "950", "1000", "1", "3"};
      const char* angles[] = {"90", "-90", "180", "-180", "1e15", "0", "30", "45,5", "-45.5"};
      f_.Text9->setText(QString::fromUtf8(radii[pick(std::size(radii))]));
      f_.Text1->setText(QString::fromUtf8(angles[pick(std::size(angles))]));
      f_.Text2->setText(QString::fromUtf8(angles[pick(std::size(angles))]));
      f_.Text3[0]->setText(QString::fromUtf8(angles[pick(std::size(angles))]));
    } else if (kind < 72) {
      const long before = failureCount();
      f_.Command1->click();
      return failureCount() == before;  // a run stopped early may leave an older map
    } else if (kind < 99) {
      const QPointF p(pick(460) - 30, pick(400) - 30);
      QMouseEvent e(QEvent::MouseMove, p, f_.Picture1->mapToGlobal(p), Qt::NoButton, Qt::NoButton,
                    Qt::NoModifier);
      QApplication::sendEvent(f_.Picture1, &e);
    } else if (pick(20) == 0) {
      // The About window, opened and closed again.
      closeModalSoon();
      f_.Command2->click();
    }
    return false;
  }

  // Closes the modal window as soon as it is up, however long that takes.
  static void closeModalSoon() {
    QTimer::singleShot(1, [] {
      if (QWidget* w = QApplication::activeModalWidget())
        w->close();
      else
        closeModalSoon();
    });
  }

  int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
  int pick(size_t n) { return pick(static_cast<int>(n)); }

 private:
  Form1& f_;
  std::mt19937 rng_;
};

class RandomUserTest : public ::testing::TestWithParam<unsigned> {};

TEST_P(RandomUserTest, WindowSurvivesAndKeepsItsInvariants) {
  unsigned seed = GetParam();
  int events = 20000;
  if (const QByteArray s = qgetenv("KORVALEN_RANDOM_SEED"); !s.isEmpty()) seed = s.toUInt();
  if (const QByteArray n = qgetenv("KORVALEN_RANDOM_EVENTS"); !n.isEmpty()) events = n.toInt();
  QLocale::setDefault(seed % 2 ? QLocale(QLocale::Russian, QLocale::Russia) : QLocale::c());
  Form1 form;
  form.show();
  RandomUser user(form, seed);
  const long failuresBefore = failureCount();
  int drawn = 0;
  for (int i = 0; i < events; ++i) {
    // The start-up timer ticks before event 50, however busy the machine: the
    // events before it meet the start-up guard, those after it do not.
    if (i == 50) {
      for (int k = 0; k < 1000 && form.Timer1->enabled(); ++k) QTest::qWait(5);
      ASSERT_FALSE(form.Timer1->enabled());
    }
    const bool drew = user.step();
    SCOPED_TRACE(testing::Message() << "seed " << seed << ", event " << i);
    ASSERT_EQ(mousePointer(&form), kPointerDefault);
    ASSERT_FALSE(form.Picture1->isHidden());
    ASSERT_TRUE(allFinite(form.st));
    for (QLineEdit* box : {form.Text1, form.Text2, form.Text3[0], form.Text4[0], form.Text5, form.Text6,
                           form.Text9}) {
      const Colour c = static_cast<TextBox*>(box)->backColour();
      ASSERT_TRUE(c == kAccepted || c == kNotAccepted);
    }
    for (int k = 1; k <= 7; ++k) {
      ASSERT_TRUE(form.Text7[k]->backColour() == kAccepted || form.Text7[k]->backColour() == kNotAccepted);
      ASSERT_TRUE(form.Text8[k]->backColour() == kAccepted || form.Text8[k]->backColour() == kNotAccepted);
    }
    // A map drawn with one sample per pixel holds only colours the shading gives a sample.
    if (drew && form.st.iso.noSmoothing == kTrue && ++drawn % 4 == 0) {
      const Raster& map = form.Picture1->raster();
      for (int y = 0; y < map.heightPixels(); y += 3)
        for (int x = 0; x < map.widthPixels(); ++x) ASSERT_TRUE(isMapColour(map.point(x, y))) << x << "," << y << " colour " << std::hex << map.point(x, y) << std::dec << " model " << form.st.lm.surfaceModel;
    }
    if (i % 50 == 49) {
      const Raster& ex = form.Picture2->raster();
      for (int y = 0; y < ex.heightPixels(); ++y)
        for (int x = 0; x < ex.widthPixels(); ++x) ASSERT_TRUE(isExampleColour(ex.point(x, y))) << x << "," << y;
      // The event loop answers.
      bool answered = false;
      QTimer::singleShot(0, [&] { answered = true; });
      QCoreApplication::processEvents();
      ASSERT_TRUE(answered);
    }
  }
  std::printf("random user, seed %u: %d events, %ld handler failures\n", seed, events,
              failureCount() - failuresBefore);
  QLocale::setDefault(QLocale::c());
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomUserTest, ::testing::Values(1u, 2u));

}  // namespace
}  // namespace korvalen
