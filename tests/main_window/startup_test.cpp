// The window as it first opens: its state, its texts, the packed rotation row,
// the start-up timer and the guard around every handler.
#include "form1_fixture.h"
#include "photometry/runtime_error.h"
#include "toolkit/guard.h"

namespace korvalen {
namespace {

TEST_P(Form1Test, StartUpState) {
  const Form1State& st = form->st;
  EXPECT_EQ(st.lm.surfaceModel, 1);
  EXPECT_EQ(st.map.probeDisabled, kTrue);
  EXPECT_EQ(st.view.unitsPerPixel, 1.0 / 159);
  EXPECT_EQ(st.view.discLimitSq, 25440.0);
  EXPECT_EQ(st.map.pictureWidth, 393);
  EXPECT_EQ(st.map.pictureHeight, 337);
  EXPECT_EQ(st.map.centreX, 196);  // 196.5 to the even neighbour
  EXPECT_EQ(st.map.centreY, 168);  // 168.5 down to 168
  EXPECT_EQ(st.map.backRed, 255);
  EXPECT_EQ(st.map.backGreen, 255);
  EXPECT_EQ(st.map.backBlue, 255);
  EXPECT_EQ(st.iso.noSmoothing, kTrue);
  EXPECT_EQ(st.view.visibleHalfOnly, kTrue);
  EXPECT_EQ(st.iso.isolinesHidden, kFalse);
  const float levels[8] = {0, 0.9f, 0.8f, 0.7f, 0.6f, 0.5f, 0.4f, 0.3f};
  for (int r = 1; r <= 7; ++r) {
    EXPECT_EQ(st.iso.isolineLevel[r], levels[r]) << r;
    EXPECT_EQ(st.iso.isolineHalfWidth[r], 0.005f) << r;
  }
  // The model values that the start-up example drawing set.
  EXPECT_EQ(st.lm.specularShare, 0.5f);
  EXPECT_EQ(st.lm.peakSharpness, 16.0f);
  EXPECT_EQ(st.lm.peakSharpnessPlus1, 17.0f);
  EXPECT_EQ(st.lm.diffuseShare, 0.5f);
  EXPECT_EQ(st.lm.specularGain, 4.25f);
  EXPECT_EQ(st.lm.lightZ, 1.0);
  EXPECT_EQ(st.lm.cosG, 1.0f);
}

TEST_P(Form1Test, StartUpTextsAndControls) {
  EXPECT_EQ(form->windowTitle(), QStringLiteral("Korvalen"));
  EXPECT_EQ(form->size(), QSize(637, 499));
  EXPECT_EQ(form->Text1->text(), QStringLiteral("90"));
  EXPECT_EQ(form->Text2->text(), QStringLiteral("0"));
  EXPECT_EQ(form->Text3[0]->text(), QStringLiteral("0"));
  EXPECT_EQ(form->Text4[0]->text(), QStringLiteral("0"));
  EXPECT_EQ(form->Text5->text(), d("0.5"));
  EXPECT_EQ(form->Text6->text(), QStringLiteral("16"));
  EXPECT_EQ(form->Text9->text(), QStringLiteral("159"));
  // Rows 1..7 of the legend: level boxes Text8(7), Text8(1..6); 0.9 - 6 * 0.1 shows as 0.3.
  const char* levels[8] = {"", "0.9", "0.8", "0.7", "0.6", "0.5", "0.4", "0.3"};
  for (int r = 1; r <= 7; ++r) {
    EXPECT_EQ(form->Text8[kLegendIndex[r]]->text(), d(levels[r])) << r;
    EXPECT_EQ(form->Text7[kLegendIndex[r]]->text(), d("0.005")) << r;
  }
  for (int j = 4; j <= 10; ++j) EXPECT_EQ(form->Label2[j]->text(), QStringLiteral("± ")) << j;
  EXPECT_EQ(form->Picture1->raster().point(0, 0), RGB(255, 255, 255));
  EXPECT_EQ(form->Picture1->raster().point(392, 336), RGB(255, 255, 255));
  EXPECT_TRUE(form->Label12->isHidden());
  EXPECT_FALSE(form->Label17->isHidden());
  EXPECT_EQ(form->Check1->value(), 2);
  EXPECT_EQ(form->Check2->value(), 0);
  EXPECT_EQ(form->Check3->value(), 0);
  EXPECT_TRUE(form->Option1->isChecked());
  EXPECT_EQ(form->Label13->text(), QStringLiteral("ф(i, e, g) = cos(i)"));
  EXPECT_TRUE(form->Label14->isHidden());
  EXPECT_TRUE(form->Label15->isHidden());
  EXPECT_FALSE(form->Label6->isEnabled());
  EXPECT_FALSE(form->Label4->isEnabled());
  EXPECT_TRUE(form->Timer1->enabled());
  // Image4 shows Image1's icon.
  EXPECT_EQ(form->Image4->pixmap().toImage(), form->Image1->pixmap().toImage());
  EXPECT_FALSE(form->Image1->pixmap().isNull());
  // The example is drawn: the half-disc's top row is lit under the matte model.
  EXPECT_NE(form->Picture2->raster().point(60, 45), RGB(176, 240, 240));
}

TEST_P(Form1Test, RotationRowIsPackedFromRunTimeWidths) {
  auto right = [](QWidget* w) { return w->x() + w->width(); };
  auto centredOver = [](QWidget* icon, QWidget* box) {
    return icon->x() == box->x() + (box->width() - icon->width()) / 2;
  };
  EXPECT_EQ(form->Text9->x(), right(form->Label7) + 3);
  EXPECT_EQ(form->Label8->x(), right(form->Text9) + 2);
  EXPECT_EQ(form->Label2[0]->x(), right(form->Text1) + 1);
  EXPECT_EQ(form->Text2->x(), right(form->Label2[0]) + 2);
  EXPECT_EQ(form->Label2[1]->x(), right(form->Text2) + 1);
  EXPECT_EQ(form->Text3[0]->x(), right(form->Label2[1]) + 2);
  EXPECT_EQ(form->Label2[2]->x(), right(form->Text3[0]) + 1);
  EXPECT_TRUE(centredOver(form->Image1, form->Text1));
  EXPECT_TRUE(centredOver(form->Image2, form->Text2));
  EXPECT_TRUE(centredOver(form->Image3, form->Text3[0]));
  // The self-sizing labels fit their captions.
  for (Label* l : {form->Label2[0], form->Label2[1], form->Label2[2], form->Label7, form->Label8})
    EXPECT_GE(l->width(), l->fontMetrics().horizontalAdvance(l->text())) << l->text().toStdString();
  // Nothing of the row runs past the window.
  EXPECT_LE(right(form->Label2[2]), form->width());
}

TEST_P(Form1Test, IsolineEditsDuringTheStartUpGuardChangeOnlyTheText) {
  ASSERT_TRUE(form->Timer1->enabled());
  form->Text8[3]->setText(d("0.25"));
  form->Text7[3]->setText(d("0.1"));
  EXPECT_EQ(form->st.iso.isolineLevel[4], 0.6f);
  EXPECT_EQ(form->st.iso.isolineHalfWidth[4], 0.005f);
  passStartUpGuard();
  // From the first tick on, every edit takes effect.
  form->Text8[3]->setText(d("0.35"));
  EXPECT_EQ(form->st.iso.isolineLevel[4], 0.35f);
}

TEST_P(Form1Test, TextSetFromCodeRaisesItsChangeHandlerNested) {
  // Text4(0)'s handler stores the inclination and redraws the example before setText returns.
  form->Text4[0]->setText(QStringLiteral("30"));
  EXPECT_FLOAT_EQ(form->st.lm.sourceInclination, static_cast<float>(30.0 / 180 * kPi));
  EXPECT_EQ(form->Label16->x(), 0);
  form->Text4[0]->setText(QStringLiteral("-30"));
  EXPECT_EQ(form->Label16->x(), 62);  // c + 2 for the 121-pixel example
}

TEST_P(Form1Test, AFailingHandlerStopsKeepsItsStoresAndTheWindowGoesOn) {
  const long before = failureCount();
  // Text5 holds letters: choosing the glossy model switches the model and its
  // labels, then the example drawing fails on s before clearing anything.
  const QImage example = imageOf(form->Picture2->raster()).copy();
  form->Text5->setText(QStringLiteral("abc"));
  form->Option2->click();
  EXPECT_EQ(form->st.lm.surfaceModel, 2);
  EXPECT_FALSE(form->Label14->isHidden());
  EXPECT_EQ(imageOf(form->Picture2->raster()), example);
  EXPECT_EQ(failureCount(), before + 1);
  EXPECT_TRUE(form->failureNoticeVisible());
  EXPECT_FALSE(form->lastFailureMessage().isEmpty());
  // The window answers the next event.
  form->Text5->setText(d("0.3"));
  EXPECT_EQ(form->st.lm.specularShare, 0.3f);
  EXPECT_NE(imageOf(form->Picture2->raster()), example);
}

TEST_P(Form1Test, FailureNoticeGoesAwayWithOneClick) {
  form->Text5->setText(QStringLiteral("x"));
  form->Option2->click();
  ASSERT_TRUE(form->failureNoticeVisible());
  QWidget* notice = form->childAt(100, 320);
  ASSERT_NE(notice, nullptr);
  QTest::mouseClick(notice, Qt::LeftButton);
  EXPECT_FALSE(form->failureNoticeVisible());
}

// In every locale Qt knows, native digits and other separators included, each
// start-up text gives back its value through the reading of its own box.
TEST(StartUpTexts, ReadBackInEveryLocale) {
  const double levels[8] = {0, 0.9, 0.8, 0.7, 0.6, 0.5, 0.4, 0.3};
  int locales = 0;
  for (const QLocale& l :
       QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory)) {
    QLocale::setDefault(l);
    SCOPED_TRACE(l.name().toStdString());
    Form1 form;
    ASSERT_EQ(Form1::localeReading(form.Text5->text()), 0.5);
    for (int r = 1; r <= 7; ++r) {
      ASSERT_EQ(Form1::localeReading(form.Text7[kLegendIndex[r]]->text()), 0.005) << r;
      form.st.numberText.clear();
      form.st.inputText = form.Text8[kLegendIndex[r]]->text();
      form.ПреобразованиеТекстаВЧисло();
      ASSERT_EQ(static_cast<float>(form.cleanedReading()), static_cast<float>(levels[r])) << r;
    }
    ++locales;
  }
  QLocale::setDefault(QLocale::c());
  EXPECT_GT(locales, 300);
}

INSTANTIATE_TEST_SUITE_P(Locales, Form1Test, ::testing::Values(Loc::Point, Loc::Comma),
                         [](const auto& info) {
                           return std::string(info.param == Loc::Point ? "Point" : "Comma");
                         });

}  // namespace
}  // namespace korvalen

namespace korvalen {
namespace {

// With the window's fonts mapped to Liberation, every caption fits its box.
TEST(Form1Layout, EveryCaptionFitsItsBox) {
  Form1 form;
  form.show();
  for (QLabel* l : form.findChildren<QLabel*>()) {
    if (l->text().isEmpty() || l->pixmap().isNull() == false) continue;
    const QString name = l->text();
    if (l->wordWrap())
      EXPECT_LE(l->heightForWidth(l->width()), l->height()) << name.toStdString();
    else
      EXPECT_LE(l->fontMetrics().horizontalAdvance(l->text()), l->width()) << name.toStdString();
  }
  for (QAbstractButton* b : form.findChildren<QAbstractButton*>())
    EXPECT_LE(b->sizeHint().width(), b->width()) << b->text().toStdString();
  // The glossy formula with the start-up s and n ends inside the window.
  form.Option2->click();
  EXPECT_LE(form.Label15->x() + form.Label15->width(), form.width());
}

}  // namespace
}  // namespace korvalen
