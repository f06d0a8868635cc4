// The model option buttons, the check boxes and the cursor probe over the map.
#include <QMouseEvent>

#include <QSet>

#include "form1_fixture.h"
#include "shading/colour_table.h"

namespace korvalen {
namespace {

TEST_P(Form1Test, ModelButtonsSetTheModelTheFormulaAndTheLabels) {
  struct Case {
    OptionButton* Form1::*button;
    int model;
    const char* formula;
  } cases[] = {
      {&Form1::Option3, 3, "ф(i, e, g) = cos(i)·cos(e)"},
      {&Form1::Option4, 4, "ф(i, e, g) = 1 при i = e и g = 2·i, иначе ф(i, e, g) = 0"},
      {&Form1::Option1, 1, "ф(i, e, g) = cos(i)"},
  };
  for (const Case& c : cases) {
    form->Option2->click();  // glossy first, so each case has labels to hide
    EXPECT_TRUE(form->Label6->isEnabled());
    (form.get()->*c.button)->click();
    EXPECT_EQ(form->st.lm.surfaceModel, c.model);
    EXPECT_EQ(form->Label13->text(), QString::fromUtf8(c.formula));
    EXPECT_TRUE(form->Label14->isHidden());
    EXPECT_TRUE(form->Label15->isHidden());
    EXPECT_FALSE(form->Label6->isEnabled());
    EXPECT_FALSE(form->Label4->isEnabled());
    EXPECT_TRUE((form.get()->*c.button)->isChecked());
    EXPECT_FALSE(form->Option2->isChecked());
  }
}

TEST_P(Form1Test, GlossyFormulaIsBuiltFromTheTextsAsTyped) {
  form->Text5->setText(d("0.3"));  // matte: nothing but the text changes
  EXPECT_EQ(form->Label13->text(), QStringLiteral("ф(i, e, g) = cos(i)"));
  form->Text6->setText(QStringLiteral("8"));
  form->Option2->click();
  EXPECT_EQ(form->Label13->text(),
            QStringLiteral("ф(i, e, g)= ") + d("0.3") + QStringLiteral("·(8+1)/2·[2·cos(i)·cos(e) —cos(g)]"));
  EXPECT_EQ(form->Label14->text(), QStringLiteral("8"));
  EXPECT_EQ(form->Label15->text(), QStringLiteral("+(1—") + d("0.3") + QStringLiteral(")·cos(i)"));
  EXPECT_FALSE(form->Label14->isHidden());
  EXPECT_EQ(form->Label14->x(), form->Label13->x() + form->Label13->width());
  EXPECT_EQ(form->Label15->x(), form->Label14->x() + form->Label14->width() + 1);
  EXPECT_EQ(form->st.lm.specularShare, 0.3f);
  EXPECT_EQ(form->st.lm.peakSharpness, 8.0f);
  // A longer n moves both labels to the right.
  const int exponentLeft = form->Label14->x(), tailLeft = form->Label15->x();
  form->Text6->setText(QStringLiteral("8000"));
  EXPECT_GT(form->Label14->x(), exponentLeft);
  EXPECT_GT(form->Label15->x(), tailLeft);
  EXPECT_EQ(form->Label14->text(), QStringLiteral("8000"));
  EXPECT_EQ(form->Label15->x(), form->Label14->x() + form->Label14->width() + 1);
  // s cleared while glossy: the labels follow the text, the example stays as it was.
  const QImage example = imageOf(form->Picture2->raster()).copy();
  form->Text5->setText(QString());
  EXPECT_EQ(form->Label15->text(), QStringLiteral("+(1—)·cos(i)"));
  EXPECT_EQ(imageOf(form->Picture2->raster()), example);
}

TEST_P(Form1Test, CheckBoxesSetTheirFlags) {
  form->Check1->setValue(0);
  EXPECT_EQ(form->st.view.visibleHalfOnly, kFalse);
  EXPECT_EQ(form->Label1[0]->text(), QStringLiteral("Поворот сферы по оси OX"));
  // A user's click on a clear box ticks it; on a ticked one clears it.
  form->Check1->click();
  EXPECT_EQ(form->Check1->value(), 1);
  EXPECT_EQ(form->st.view.visibleHalfOnly, kTrue);
  EXPECT_EQ(form->Label1[0]->text(), QStringLiteral("Поворот полусферы по оси OX"));
  form->Check2->click();
  EXPECT_EQ(form->st.iso.noSmoothing, kFalse);
  form->Check2->click();
  EXPECT_EQ(form->st.iso.noSmoothing, kTrue);
}

TEST_P(Form1Test, HidingIsolinesGreysTheSwatchesFromTheLevels) {
  const int greys[8] = {0, 229, 204, 178, 153, 127, 102, 76};
  form->Check3->click();
  EXPECT_EQ(form->st.iso.isolinesHidden, kTrue);
  for (int r = 1; r <= 7; ++r) {
    const int i = kLegendIndex[r];
    EXPECT_EQ(form->Shape1[i]->fillColour(), RGB(greys[r], greys[r], greys[r])) << r;
    EXPECT_FALSE(form->Label1[i]->isEnabled());
    EXPECT_FALSE(form->Label2[kLegendPlusMinus[r]]->isEnabled());
    EXPECT_TRUE(form->Text8[i]->isEnabled());
  }
  form->Check3->click();
  EXPECT_EQ(form->st.iso.isolinesHidden, kFalse);
  for (int r = 1; r <= 7; ++r) {
    EXPECT_EQ(form->Shape1[kLegendIndex[r]]->fillColour(), kLegendColour[r]) << r;
    EXPECT_TRUE(form->Label1[kLegendIndex[r]]->isEnabled());
  }
  // Levels outside 0..1 give swatches clamped to black and white.
  passStartUpGuard();
  form->Text8[7]->setText(QStringLiteral("-3"));
  form->Text8[1]->setText(QStringLiteral("7"));
  form->Check3->click();
  EXPECT_EQ(form->Shape1[7]->fillColour(), RGB(0, 0, 0));
  EXPECT_EQ(form->Shape1[1]->fillColour(), RGB(255, 255, 255));
  // Validation on leaving the box: only an ordinary tick counts.
  form->Check3->setValue(2);
  form->Check3_Validate();
  EXPECT_EQ(form->st.iso.isolinesHidden, kFalse);
  EXPECT_EQ(form->Shape1[1]->fillColour(), kLegendColour[2]);
}

TEST_P(Form1Test, DistinctBandColoursInTheLegendAndOnTheMap) {
  const QImage legendMap = (form->Command1->click(), form->mapPicture());
  form->setIsolineColours(kDistinctColours);
  // The swatches at once in the map's colours, the zone's kept; the map from the next run.
  QSet<QRgb> expected;
  for (int r = 1; r <= 7; ++r) {
    const Tint& t = kDistinctBandColour[r];
    EXPECT_EQ(form->Shape1[kLegendIndex[r]]->fillColour(), RGB(t.red, t.green, t.blue)) << r;
    expected.insert(qRgb(t.red, t.green, t.blue));
  }
  EXPECT_EQ(form->Shape2->fillColour(), RGB(96, 0, 52));
  EXPECT_EQ(form->mapPicture(), legendMap);
  form->Command1->click();
  const QImage distinct = form->mapPicture();
  int changed = 0;  // every band in its colour, nothing else changed
  QSet<QRgb> bands;
  for (int y = 0; y < distinct.height(); ++y)
    for (int x = 0; x < distinct.width(); ++x)
      if (distinct.pixel(x, y) != legendMap.pixel(x, y)) {
        ++changed;
        bands.insert(distinct.pixel(x, y));
      }
  EXPECT_GT(changed, 7 * 20);
  EXPECT_EQ(bands, expected);
  form->setIsolineColours(kLegendColours);  // back: the default tints, pixel for pixel
  for (int r = 1; r <= 7; ++r) EXPECT_EQ(form->Shape1[kLegendIndex[r]]->fillColour(), kLegendColour[r]) << r;
  form->Command1->click();
  EXPECT_EQ(form->mapPicture(), legendMap);
}

// The probe, driven by mouse moves over the map.
class ProbeTest : public Form1Test {
 protected:
  void moveTo(int x, int y) {
    QMouseEvent e(QEvent::MouseMove, QPointF(x, y), form->Picture1->mapToGlobal(QPointF(x, y)),
                  Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(form->Picture1, &e);
  }
  // Picture coordinates of the pixel dx, dy (upward) from the map's centre.
  int xOf(int dx) const { return form->st.map.centreX + dx; }
  int yOf(int dy) const { return form->st.map.pictureHeight - form->st.map.centreY - dy; }
  QString caption(const char* v) const { return QStringLiteral("ф = ") + d(v); }
};

TEST_P(ProbeTest, NothingBeforeTheFirstRun) {
  moveTo(xOf(0), yOf(0));
  EXPECT_TRUE(form->Label12->isHidden());
  EXPECT_EQ(form->Label12->text(), QStringLiteral("ф = 1,000"));
}

TEST_P(ProbeTest, ShowsPhiBesideTheCursor) {
  form->Text4[0]->setText(QStringLiteral("30"));
  form->Command1->click();
  struct Case {
    int dx, dy;
    const char* shown;  // nullptr: hidden
  } cases[] = {
      {0, 100, "0.359"},   // cosI 0.35916 above the centre
      {0, -100, "0.988"},  // cosI 0.98771 below it
      {0, 0, "0.866"},
      {200, 0, nullptr},  // off the disc
      {0, 0, "0.866"},
  };
  for (const Case& c : cases) {
    moveTo(xOf(c.dx), yOf(c.dy));
    if (!c.shown) {
      EXPECT_TRUE(form->Label12->isHidden()) << c.dx << "," << c.dy;
      continue;
    }
    EXPECT_FALSE(form->Label12->isHidden()) << c.dx << "," << c.dy;
    EXPECT_EQ(form->Label12->text(), caption(c.shown));
    EXPECT_EQ(form->Label12->pos(), QPoint(xOf(c.dx) + 20, yOf(c.dy) + 20));
  }
  // After a change of model the probe uses the new model with the last run's rotation.
  form->Option3->click();
  moveTo(xOf(0), yOf(0));
  EXPECT_EQ(form->Label12->text(), caption("0.866"));
}

TEST_P(ProbeTest, HiddenHalfShowsTheFarPointOrNothing) {
  // Tilted by 135 degrees about OX, the sight line through the centre meets the
  // sphere first on its hidden half; the far point B faces the viewer.
  form->Text1->setText(QStringLiteral("135"));
  form->Command1->click();
  moveTo(xOf(0), yOf(0));
  EXPECT_EQ(form->Label12->text(), caption("0.707"));
  // The whole sphere: A is used, with its negative cosine shown as 0.
  form->Check1->setValue(0);
  moveTo(xOf(0), yOf(0));
  EXPECT_EQ(form->Label12->text(), caption("0.000"));
  // No rotation at all: the lower half is hidden from view.
  form->Check1->setValue(1);
  form->Text1->setText(QStringLiteral("0"));
  form->Command1->click();
  moveTo(xOf(0), yOf(-50));
  EXPECT_TRUE(form->Label12->isHidden());
  moveTo(xOf(0), yOf(50));
  EXPECT_FALSE(form->Label12->isHidden());
}

TEST_P(ProbeTest, MirrorShowsOneOnlyOnTheRememberedPixel) {
  form->Option4->click();
  form->Text4[0]->setText(QStringLiteral("40"));
  form->Command1->click();
  const int x = form->st.mirror.mirrorSpotColumn;
  const int y = form->st.map.pictureHeight - form->st.mirror.mirrorSpotRow;
  EXPECT_EQ(form->Picture1->raster().point(x, y), RGB(255, 255, 255));
  moveTo(x, y);
  EXPECT_EQ(form->Label12->text(), caption("1.000"));
  for (QPoint p : {QPoint(x + 1, y), QPoint(x, y - 1)}) {
    moveTo(p.x(), p.y());
    EXPECT_EQ(form->Label12->text(), caption("0.000"));
  }
}

INSTANTIATE_TEST_SUITE_P(Locales, ProbeTest, ::testing::Values(Loc::Point, Loc::Comma),
                         [](const auto& info) {
                           return std::string(info.param == Loc::Point ? "Point" : "Comma");
                         });

}  // namespace
}  // namespace korvalen
