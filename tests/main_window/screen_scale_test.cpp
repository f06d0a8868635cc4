// The window at other screen scales: the pictures work in screen pixels, so the
// sphere keeps its radius in screen pixels, the example keeps its size to the
// window (its radius grows with the scale), and the probe reads the pixel
// under the cursor.
#include <QMouseEvent>

#include "example_hemisphere/example_hemisphere.h"
#include "form1_fixture.h"

namespace korvalen {
namespace {

// A Form1 built as on a screen of the given scale.
std::unique_ptr<Form1> formAt(double scale) {
  PictureBox::setScaleOverride(scale);
  auto f = std::make_unique<Form1>();
  PictureBox::setScaleOverride(0);
  f->show();
  return f;
}

int drawnPixels(const Raster& r, Colour background) {
  int n = 0;
  for (int y = 0; y < r.heightPixels(); ++y)
    for (int x = 0; x < r.widthPixels(); ++x) n += r.point(x, y) != background;
  return n;
}

TEST(ScreenScale, PicturesAreMeasuredInScreenPixels) {
  struct Case {
    double scale;
    float width, height;  // Picture1 as the drawing code reads it
    int16_t pictureWidth, centreX, pictureHeight, centreY;
    float exampleWidth, exampleHeight;
    int16_t exampleCentreX, exampleBottomRow;
  } cases[] = {
      {1, 393, 337, 393, 196, 337, 168, 121, 73, 60, 72},
      {1.25, 491.25f, 421.25f, 491, 246, 421, 210, 151.25f, 91.25f, 75, 90},
      {1.5, 589.5f, 505.5f, 590, 295, 506, 253, 181.5f, 109.5f, 91, 109},
      {2, 786, 674, 786, 393, 674, 337, 242, 146, 121, 145},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.scale);
    auto f = formAt(c.scale);
    EXPECT_EQ(f->Picture1->widthF(), c.width);
    EXPECT_EQ(f->Picture1->heightF(), c.height);
    EXPECT_EQ(f->st.map.pictureWidth, c.pictureWidth);
    EXPECT_EQ(f->st.map.centreX, c.centreX);
    EXPECT_EQ(f->st.map.pictureHeight, c.pictureHeight);
    EXPECT_EQ(f->st.map.centreY, c.centreY);
    // One raster element per screen pixel, the extent rounded as the map's.
    EXPECT_EQ(f->Picture1->raster().widthPixels(), c.pictureWidth);
    EXPECT_EQ(f->Picture1->raster().heightPixels(), c.pictureHeight);
    EXPECT_EQ(f->Picture2->widthF(), c.exampleWidth);
    EXPECT_EQ(f->Picture2->heightF(), c.exampleHeight);
    const ExampleFrame frame = exampleFrame(f->Picture2->raster());
    EXPECT_EQ(frame.exampleCentreX, c.exampleCentreX);
    EXPECT_EQ(frame.exampleBottomRow, c.exampleBottomRow);
    // The layout itself stays in logical pixels.
    EXPECT_EQ(f->size(), QSize(637, 499));
    EXPECT_EQ(f->Picture1->size(), QSize(393, 337));
  }
}

TEST(ScreenScale, SphereKeepsItsSizeInScreenPixelsAndTheExampleGrows) {
  auto one = formAt(1);
  one->Command1->click();
  const int atOne = drawnPixels(one->Picture1->raster(), RGB(255, 255, 255));
  for (auto [scale, discPixels] : {std::pair{1.25, 2669}, {2.0, 6902}}) {
    SCOPED_TRACE(scale);
    auto f = formAt(scale);
    // The half-disc of radius 41 or 66 (the arrows outside it are not counted).
    const Raster& ex = f->Picture2->raster();
    const ExampleFrame fr = exampleFrame(ex, scale);
    int halfDisc = 0;
    for (int x = fr.exampleFirstColumn; x <= fr.exampleLastColumn; ++x)
      for (int y = fr.exampleTopRow; y <= fr.exampleBottomRow; ++y) {
        const Colour c = ex.point(x, y);
        halfDisc += redOf(c) == greenOf(c) && greenOf(c) == blueOf(c);
      }
    EXPECT_EQ(halfDisc, discPixels);
    f->Command1->click();
    const Raster& map = f->Picture1->raster();
    EXPECT_EQ(drawnPixels(map, RGB(255, 255, 255)), atOne);
    // The centre pixel is phi 1 and its row runs 159 pixels each way.
    const int cx = f->st.map.centreX, cy = f->st.map.pictureHeight - f->st.map.centreY;
    EXPECT_EQ(map.point(cx, cy - 1), RGB(255, 255, 255));
    EXPECT_NE(map.point(cx - 159, cy), RGB(255, 255, 255));
    EXPECT_EQ(map.point(cx - 160, cy), RGB(255, 255, 255));
    EXPECT_NE(map.point(cx + 159, cy), RGB(255, 255, 255));
    EXPECT_EQ(map.point(cx + 160, cy), RGB(255, 255, 255));
  }
}

TEST(ScreenScale, ProbeReadsTheScreenPixelUnderTheCursor) {
  auto f = formAt(2);
  f->Command1->click();
  // A logical position of half-pixel precision is the screen pixel (293, 437),
  // 100 pixels left of and below the centre, where phi changes fast.
  const QPointF logical(146.5, 218.5);
  QMouseEvent e(QEvent::MouseMove, logical, f->Picture1->mapToGlobal(logical), Qt::NoButton,
                Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(f->Picture1, &e);
  ASSERT_FALSE(f->Label12->isHidden());
  const QString shown = f->Label12->text();
  // Label12 at X + 20, Y + 20 screen pixels: (313, 457), logical (156.5, 228.5) to even.
  EXPECT_EQ(f->Label12->pos(), QPoint(156, 228));
  f->Picture1_MouseMove(293, 437);
  EXPECT_EQ(f->Label12->text(), shown);
  // The neighbours show other values, so the test tells the pixels apart.
  for (auto [x, y] : {std::pair{292.0f, 437.0f}, {294.0f, 437.0f}, {293.0f, 436.0f}, {293.0f, 438.0f}}) {
    f->Picture1_MouseMove(x, y);
    EXPECT_NE(f->Label12->text(), shown) << x << "," << y;
  }
}

// The pixels the end-to-end test points at with the real pointer at scale 2
// (tests/e2e/window_opens.sh): the odd column 277 of row 260 shows what the
// even pixel (266, 280) shows, and its neighbours, where Qt's rounded
// positions land, show other values.
TEST(ScreenScale, PixelsOfTheEndToEndProbeTellTheirNeighboursApart) {
  auto f = formAt(2);
  f->Command1->click();
  const auto caption = [&](float x, float y) {
    f->Picture1_MouseMove(x, y);
    return f->Label12->text();
  };
  EXPECT_EQ(caption(277, 260), QStringLiteral("ф = 0.483"));
  EXPECT_EQ(caption(266, 280), QStringLiteral("ф = 0.483"));
  EXPECT_EQ(caption(278, 260), QStringLiteral("ф = 0.492"));
  EXPECT_EQ(caption(276, 260), QStringLiteral("ф = 0.473"));
  // The test compares 90 x 22 screen pixels from the label's corner: inside the label.
  EXPECT_GE(f->Label12->width() * 2, 90);
  EXPECT_GE(f->Label12->height() * 2, 22);
}

}  // namespace
}  // namespace korvalen
