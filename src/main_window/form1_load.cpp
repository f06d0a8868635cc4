// Start-up of the main window and its one-shot start-up timer.
#include <cmath>

#include "main_window/form1.h"
#include "photometry/checked.h"
#include "photometry/geometry.h"

namespace korvalen {

void Form1::Form_Load() {
  // No probe before the first shading; the matte model.
  st.map.probeDisabled = kTrue;
  st.lm.surfaceModel = kMatte;
  // The radius 159 of the radius box.
  setUpRadius(st.view, 159);
  // s in the user's number format; its change handler does nothing under the matte model.
  Text5->setText(numberToText(0.5));
  // The inclination's icon shows the same picture as the OX icon.
  Image4->sharePicture(*Image1);
  // The levels of rows 2..7, written while Timer1 keeps their handlers quiet.
  for (st.scanColumn = 1; st.scanColumn <= 6; ++st.scanColumn)
    Text8[st.scanColumn]->setText(numberToText(0.9 - st.scanColumn * 0.1, true));
  // The levels themselves, set directly rather than read back from the texts.
  const float levels[8] = {0, 0.9f, 0.8f, 0.7f, 0.6f, 0.5f, 0.4f, 0.3f};
  for (int r = 1; r <= 7; ++r) st.iso.isolineLevel[r] = levels[r];
  // Row 1's level.
  Text8[7]->setText(numberToText(0.9, true));
  // The half-widths, in the boxes and in the bands.
  for (int k = 1; k <= 7; ++k) Text7[k]->setText(numberToText(0.005));
  for (int r = 1; r <= 7; ++r) st.iso.isolineHalfWidth[r] = 0.005f;
  // The "± " labels between level and half-width.
  for (st.scanColumn = 4; st.scanColumn <= 10; ++st.scanColumn)
    Label2[st.scanColumn]->setCaption(QStringLiteral("± "));
  // The map's white background.
  st.map.backRed = st.map.backGreen = st.map.backBlue = 255;
  Picture1->raster().setBackColour(RGB(st.map.backRed, st.map.backGreen, st.map.backBlue));
  // Smoothing off and only the visible half of the sphere, as the check boxes show.
  st.iso.noSmoothing = kTrue;
  st.view.visibleHalfOnly = kTrue;
  // The map's extent and centre, halves to even (196.5 gives 196).
  st.map.pictureWidth = toInt16(Picture1->widthF());
  st.map.centreX = toInt16(st.map.pictureWidth / 2.0);
  st.map.pictureHeight = toInt16(Picture1->heightF());
  st.map.centreY = toInt16(st.map.pictureHeight / 2.0);
  // The rows below the map, packed from the current positions and widths.
  auto setLeft = [](QWidget* w, double left) {
    w->move(static_cast<int>(std::nearbyint(static_cast<float>(left))), w->y());
  };
  setLeft(Text9, Label7->x() + Label7->width() + 3);
  setLeft(Image1, Text1->x() + (Text1->width() - Image1->width()) / 2.0);
  setLeft(Label8, Text9->x() + Text9->width() + 2);
  setLeft(Label2[0], Text1->x() + Text1->width() + 1);
  setLeft(Text2, Label2[0]->x() + Label2[0]->width() + 2);
  setLeft(Image2, Text2->x() + (Text2->width() - Image2->width()) / 2.0);
  setLeft(Label2[1], Text2->x() + Text2->width() + 1);
  setLeft(Text3[0], Label2[1]->x() + Label2[1]->width() + 2);
  setLeft(Image3, Text3[0]->x() + (Text3[0]->width() - Image3->width()) / 2.0);
  setLeft(Label2[2], Text3[0]->x() + Text3[0]->width() + 1);
  // The example hemisphere for the matte model.
  РисованиеПолусферыПримера();
}

void Form1::Timer1_Timer() { Timer1->setEnabled(false); }

QString Form1::numberToText(double v, bool forCleanedReading) {
  // At most 15 significant digits, no grouping, and Latin digits whatever the
  // locale: the program's own reading knows no others, and the locale reading
  // takes them in every locale too.
  QString text = QLocale::c().toString(v, 'g', 15);
  // The user's decimal separator where it is a point or a comma. The Arabic
  // separator (U+066B) is kept for the boxes read with the user's locale, which
  // need it; the program's own reading knows only the point and the comma, so
  // its boxes take the point.
  const QString separator = QLocale().decimalPoint();
  const bool pointOrComma = separator == QStringLiteral(".") || separator == QStringLiteral(",");
  if (pointOrComma || !forCleanedReading) text.replace(QLatin1Char('.'), separator);
  return text;
}

}  // namespace korvalen
