// What the mouse meets in the real window: the probe under the note and the
// failure notice, the click areas of check boxes and option buttons, the grey
// tick, and captions that hold typed text.
#include <QAccessible>
#include <QCursor>
#include <QMouseEvent>

#include "form1_fixture.h"

namespace korvalen {
namespace {

class WindowMouseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QLocale::setDefault(QLocale::c());
    form = std::make_unique<Form1>();
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  }
  // A mouse move delivered as the window system delivers it: to whatever
  // widget lies at that point of the window.
  void moveOnWindow(QPoint p) { QTest::mouseMove(form->windowHandle(), p); }
  void clickOnWindow(QPoint p) {
    QTest::mouseClick(form->windowHandle(), Qt::LeftButton, Qt::NoModifier, p);
  }
  std::unique_ptr<Form1> form;
};

TEST_F(WindowMouseTest, ProbeFollowsTheCursorUnderTheNoteAndTheFailureNotice) {
  form->Command1->click();
  const QPoint map = form->Picture1->pos();
  const QPoint centre = map + QPoint(196, 337 - 168);  // phi 1 at the centre of the disc
  // Points of the note's rectangle (3, 3, 91, 109) inside the map: most lie off
  // the disc, (84, 57) and (93, 70) on its rim.
  const QPoint underNote[] = {{3, 3}, {50, 50}, {84, 57}, {93, 70}, {10, 111}, {93, 111}, {90, 8}};
  for (QPoint p : underNote) {
    moveOnWindow(centre);
    ASSERT_EQ(form->Label12->text(), QStringLiteral("ф = 1.000"));
    moveOnWindow(map + p);
    const bool hidden = form->Label12->isHidden();
    const QString shown = form->Label12->text();
    // What the probe shows for that pixel when it gets the move itself.
    form->Picture1_MouseMove(static_cast<float>(p.x()), static_cast<float>(p.y()));
    EXPECT_EQ(hidden, form->Label12->isHidden()) << p.x() << "," << p.y();
    EXPECT_EQ(shown, form->Label12->text()) << p.x() << "," << p.y();
  }
  moveOnWindow(map + QPoint(84, 57));
  EXPECT_FALSE(form->Label12->isHidden());
  EXPECT_EQ(form->Label12->text(), QStringLiteral("ф = 0.088"));
  // A failed run leaves its notice over the foot of the map; the probe sees through it.
  form->Text1->setText(QStringLiteral("x"));
  form->Command1->click();
  ASSERT_TRUE(form->failureNoticeVisible());
  moveOnWindow(centre);
  moveOnWindow(map + QPoint(196, 310));
  const QString underNotice = form->Label12->text();
  form->Picture1_MouseMove(196, 310);
  EXPECT_EQ(underNotice, form->Label12->text());
  EXPECT_NE(underNotice, QStringLiteral("ф = 1.000"));
}

// After every run, by a click or live, the probe's caption tells the new
// map's value under a pointer that has not moved, or hides where the new map
// has none, the pointer is off the map or the run stopped.
TEST_F(WindowMouseTest, ProbeCaptionFollowsEachRunUnderAStillPointer) {
  const QPoint centre(196, 337 - 168), nearRim(296, 337 - 168);  // picture pixels
  const QPoint onButton = form->Picture1->mapFrom(form.get(), form->Command1->geometry().center());
  struct Case {
    const char* what;
    QPoint rest;   // where the pointer stays from before the run
    TextBox* box;  // the change before the run
    const char* text;
    bool live;
    const char* shown;  // nullptr: hidden
  } cases[] = {
      {"inclination 60", centre, form->Text4[0], "60", false, "ф = 0.500"},
      {"inclination 60, live", centre, form->Text4[0], "60", true, "ф = 0.500"},
      {"radius 50: off the disc", nearRim, form->Text9, "50", false, nullptr},
      {"pointer on the button", onButton, form->Text4[0], "60", false, nullptr},
      {"stopped run", centre, form->Text1, "x", false, nullptr},
  };
  // Moves the pointer itself, so that Qt knows where it is when the map reappears.
  auto pointAt = [this](QPoint p) {
    QCursor::setPos(form->Picture1->mapToGlobal(p));
    const bool onMap = form->Picture1->rect().contains(p);
    return QTest::qWaitFor([&] {
      const std::optional<QPointF> at = form->Picture1->pointerPosition();
      return onMap ? at && *at == QPointF(p) : !at;
    });
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    form->setLiveShading(false);
    form->Text1->setText(QStringLiteral("90"));
    form->Text4[0]->setText(QStringLiteral("0"));
    form->Text9->setText(QStringLiteral("159"));
    form->Command1->click();
    ASSERT_TRUE(pointAt(centre));
    ASSERT_EQ(form->Label12->text().toStdString(), "ф = 1.000");
    ASSERT_TRUE(pointAt(c.rest));
    ASSERT_FALSE(form->Label12->isHidden());  // the caption stays as the pointer leaves the map
    form->setLiveShading(c.live);
    c.box->setText(QString::fromUtf8(c.text));
    if (!c.live) form->Command1->click();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !form->liveRunPending(); }));
    EXPECT_EQ(form->Label12->isHidden(), c.shown == nullptr);
    if (c.shown) {
      EXPECT_EQ(form->Label12->text().toStdString(), c.shown);
      EXPECT_EQ(form->Label12->pos(), c.rest + QPoint(20, 20));
    }
  }
}

TEST_F(WindowMouseTest, ButtonsOwnTheirWholeRectangle) {
  // A click 3 pixels inside the right-hand end of each box, beyond its caption
  // (Option2's right end lies under the disabled label "Доля отраж-го ...").
  struct Case {
    QAbstractButton* button;
    bool checkedAfter;
  } cases[] = {
      {form->Check3, true}, {form->Check2, true}, {form->Check1, false},  // from the grey tick
      {form->Option3, true}, {form->Option2, true}, {form->Option4, true}, {form->Option1, true},
  };
  for (const Case& c : cases) {
    const QRect r = c.button->geometry();
    const QString name = c.button->text();
    clickOnWindow(QPoint(r.right() - 3, r.center().y()));
    EXPECT_EQ(c.button->isChecked(), c.checkedAfter) << name.toStdString();
    // Screen readers are told the same rectangle.
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(c.button);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->rect(), QRect(c.button->mapToGlobal(QPoint(0, 0)), r.size())) << name.toStdString();
  }
  EXPECT_EQ(form->Check1->value(), 0);
  EXPECT_EQ(form->st.lm.surfaceModel, 1);
}

// The pixels of a check box's rendering that differ from its clear state.
QImage renderedAt(CheckBox* box, int value) {
  box->setValue(value);
  return box->grab().toImage();
}

TEST_F(WindowMouseTest, GreyThirdStateShowsATickInGrey) {
  CheckBox* box = form->Check1;
  const QImage clear = renderedAt(box, 0), ticked = renderedAt(box, 1), grey = renderedAt(box, 2);
  ASSERT_EQ(clear.size(), grey.size());
  int tickPixels = 0, greyPixels = 0, greyOutsideTick = 0;
  for (int y = 0; y < clear.height(); ++y)
    for (int x = 0; x < clear.width(); ++x) {
      const bool inTick = ticked.pixel(x, y) != clear.pixel(x, y);
      const bool inGrey = grey.pixel(x, y) != clear.pixel(x, y);
      tickPixels += inTick;
      greyPixels += inGrey;
      greyOutsideTick += inGrey && !inTick;
      // Where both are drawn, the grey tick is lighter than the ordinary one.
      if (inTick && inGrey) {
        EXPECT_GE(qGray(grey.pixel(x, y)), qGray(ticked.pixel(x, y)));
      }
    }
  ASSERT_GT(tickPixels, 0);
  EXPECT_EQ(greyOutsideTick, 0) << "the grey state draws something other than a tick";
  EXPECT_GE(greyPixels * 10, tickPixels * 8);
  EXPECT_NE(grey, ticked);
  EXPECT_EQ(box->checkState(), Qt::PartiallyChecked);
}

TEST_F(WindowMouseTest, CaptionsShowTypedTextAsItStands) {
  form->Option2->click();
  const QString markup[] = {QStringLiteral("<b>0.5"), QStringLiteral("<img src=\"/etc/x.png\">"),
                            QStringLiteral("&amp;")};
  for (const QString& text : markup) {
    form->Text5->setText(text);
    form->Text6->setText(text);
    for (Label* l : {form->Label13, form->Label14, form->Label15}) {
      EXPECT_TRUE(l->text().contains(text)) << l->text().toStdString();
      // Sized to the literal text, tags and all.
      EXPECT_GE(l->width(), l->fontMetrics().horizontalAdvance(text));
    }
  }
  for (QLabel* l : form->findChildren<QLabel*>())
    if (!l->text().isEmpty()) {
      EXPECT_EQ(l->textFormat(), Qt::PlainText) << l->text().toStdString();
    }
}

}  // namespace
}  // namespace korvalen
