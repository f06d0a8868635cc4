// The window's look on any desktop: the layout holds whatever style the
// desktop asks for, and text stays readable in light and dark schemes.
#include <QMouseEvent>
#include <QPushButton>
#include <QStyleFactory>
#include <QStyleOption>
#include <vector>

#include "about_window/frm_about.h"
#include "form1_fixture.h"
#include "toolkit/appearance.h"

namespace korvalen {
namespace {

// The style options the controls paint with (their initStyleOption is protected).
struct LineEditOption : QLineEdit {
  using QLineEdit::initStyleOption;
};
struct CheckBoxOption : QCheckBox {
  using QCheckBox::initStyleOption;
};
struct RadioButtonOption : QRadioButton {
  using QRadioButton::initStyleOption;
};

// Where each check box's and option button's caption starts.
std::vector<int> captionStarts(const Form1& f) {
  std::vector<int> starts;
  for (const QCheckBox* b : {f.Check1, f.Check2, f.Check3}) {
    QStyleOptionButton opt;
    (b->*&CheckBoxOption::initStyleOption)(&opt);
    starts.push_back(b->style()->subElementRect(QStyle::SE_CheckBoxContents, &opt, b).left());
  }
  for (const QRadioButton* b : {f.Option1, f.Option2, f.Option3, f.Option4}) {
    QStyleOptionButton opt;
    (b->*&RadioButtonOption::initStyleOption)(&opt);
    starts.push_back(b->style()->subElementRect(QStyle::SE_RadioButtonContents, &opt, b).left());
  }
  return starts;
}

// The room a text box gives its text: the style's contents rectangle less the
// two pixels QLineEdit keeps free on each side.
int textRoom(const QLineEdit* box) {
  QStyleOptionFrame opt;
  (box->*&LineEditOption::initStyleOption)(&opt);
  const QRect r = box->style()->subElementRect(QStyle::SE_LineEditContents, &opt, box);
  const QMargins m = box->textMargins();
  return r.width() - m.left() - m.right() - 4;
}

class WindowStyleTest : public ::testing::Test {
 protected:
  void SetUp() override { palette_ = QApplication::palette(); }
  void TearDown() override {
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setPalette(palette_);
  }
  // The window as it opens on a desktop whose style is `desktopStyle`.
  static std::unique_ptr<Form1> formUnder(const QString& desktopStyle) {
    QApplication::setStyle(QStyleFactory::create(desktopStyle));
    useWindowStyle();
    auto f = std::make_unique<Form1>();
    f->show();
    return f;
  }

 private:
  QPalette palette_;
};

TEST_F(WindowStyleTest, StartUpTextsFitAndCaptionsStayInPlaceUnderEveryDesktopStyle) {
  const std::vector<int> fusion = captionStarts(*formUnder(QStringLiteral("Fusion")));
  QStringList styles = {QStringLiteral("Fusion"), QStringLiteral("Windows")};
  // GNOME's style for Qt programs, where the machine has it (Debian's adwaita-qt6).
  for (const QString& s : {QStringLiteral("Adwaita"), QStringLiteral("Adwaita-Dark")})
    if (QStyleFactory::keys().contains(s, Qt::CaseInsensitive)) styles << s;
  for (const QString& style : styles) {
    SCOPED_TRACE(style.toStdString());
    auto f = formUnder(style);
    std::vector<TextBox*> boxes = {f->Text1, f->Text2, f->Text3[0], f->Text4[0], f->Text5, f->Text6, f->Text9};
    for (int i = 1; i <= 7; ++i) boxes.insert(boxes.end(), {f->Text7[i], f->Text8[i]});
    for (const TextBox* box : boxes) {
      EXPECT_LE(box->fontMetrics().horizontalAdvance(box->text()), textRoom(box))
          << box->accessibleName().toStdString() << ": " << box->text().toStdString();
    }
    EXPECT_EQ(captionStarts(*f), fusion);
  }
}

// A dark scheme as the desktop's theme gives it to the application (the
// colours of GNOME's dark Adwaita), and Fusion's light one.
QPalette darkScheme() {
  QPalette p;
  const QColor window(0x35, 0x35, 0x35), text(0xee, 0xee, 0xec), base(0x2d, 0x2d, 0x2d);
  for (auto [role, colour] : {std::pair{QPalette::Window, window}, {QPalette::WindowText, text},
                              {QPalette::Base, base}, {QPalette::Text, text},
                              {QPalette::Button, QColor(0x37, 0x37, 0x37)}, {QPalette::ButtonText, text}})
    p.setColor(role, colour);
  p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x91, 0x91, 0x90));
  return p;
}

QColor textColour(const QWidget* w) { return w->palette().color(w->foregroundRole()); }

TEST_F(WindowStyleTest, TextReadsOnWhatLiesBehindItInLightAndDarkSchemes) {
  // A third scheme whose text is grey on a grey button face.
  QPalette muddled = darkScheme();
  muddled.setColor(QPalette::Button, QColor(0x99, 0x99, 0x99));
  muddled.setColor(QPalette::WindowText, QColor(0x77, 0x77, 0x77));
  const std::pair<const char*, QPalette> schemes[] = {
      {"light", QApplication::style()->standardPalette()}, {"dark", darkScheme()}, {"grey on grey", muddled}};
  for (const auto& [name, scheme] : schemes) {
    SCOPED_TRACE(name);
    QApplication::setPalette(scheme);
    Form1 f;
    f.show();
    // Text on the fixed light colours of the map, the example and a box not accepted.
    EXPECT_GE(contrastRatio(textColour(f.Label17), QColor(255, 255, 255)), 4.5);
    EXPECT_GE(contrastRatio(textColour(f.Label16), QColor(176, 240, 240)), 4.5);
    f.Text4[0]->setText(QString());
    ASSERT_EQ(f.Text4[0]->backColour(), kNotAccepted);
    EXPECT_GE(contrastRatio(f.Text4[0]->palette().color(QPalette::Text), QColor(255, 192, 192)), 4.5);
    f.Text4[0]->setText(QStringLiteral("0"));
    EXPECT_EQ(f.Text4[0]->palette().color(QPalette::Text), QApplication::palette().color(QPalette::Text));
    // Captions on the window's own surface (the greyed labels of the glossy
    // parameters stand for controls out of use, and are left grey).
    const QColor surface = f.palette().color(QPalette::Window);
    int captions = 0;
    for (const QWidget* w : f.findChildren<QWidget*>()) {
      const auto* label = qobject_cast<const QLabel*>(w);
      const auto* button = qobject_cast<const QAbstractButton*>(w);
      if (w->parentWidget() != &f || !w->isEnabled() || w->isHidden() || qobject_cast<const QPushButton*>(w) ||
          !(label ? !label->text().isEmpty() && w->autoFillBackground() == false : button != nullptr))
        continue;
      ++captions;
      EXPECT_GE(contrastRatio(textColour(w), surface), 4.5)
          << (label ? label->text() : button->text()).toStdString();
    }
    EXPECT_GT(captions, 30);
    // Every label of the About window, and its link at rest and under the mouse.
    frmAbout about(&f);
    const QColor aboutSurface = about.palette().color(QPalette::Window);
    for (const QLabel* label : {about.lblTitle, static_cast<QLabel*>(about.lblVersion), about.Label1,
                                about.lblDescription, about.lblDisclaimer, static_cast<QLabel*>(about.Label2)})
      EXPECT_GE(contrastRatio(textColour(label), aboutSurface), 4.5) << label->objectName().toStdString();
    QMouseEvent over(QEvent::MouseMove, QPointF(2, 2), about.Label2->mapToGlobal(QPointF(2, 2)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(about.Label2, &over);
    EXPECT_GE(contrastRatio(textColour(about.Label2), aboutSurface), 4.5);
  }
}

TEST_F(WindowStyleTest, ClearIndicatorsShowTheirFramesInLightAndDarkSchemes) {
  // The strongest contrast of a drawn indicator against the window behind
  // it: an empty check box or option button is seen only by its frame.
  const auto frameContrast = [](QAbstractButton* button, const QColor& window) {
    QStyleOptionButton opt;
    QStyle::SubElement indicator = QStyle::SE_CheckBoxIndicator;
    if (auto* check = qobject_cast<QCheckBox*>(button)) {
      (check->*&CheckBoxOption::initStyleOption)(&opt);
    } else {
      (static_cast<QRadioButton*>(button)->*&RadioButtonOption::initStyleOption)(&opt);
      indicator = QStyle::SE_RadioButtonIndicator;
    }
    const QImage image = button->grab(button->style()->subElementRect(indicator, &opt, button)).toImage();
    double best = 1;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) best = std::max(best, contrastRatio(image.pixelColor(x, y), window));
    return best;
  };
  const auto indicatorOf = [](QAbstractButton* button) {
    return button->grab(QRect(0, 0, button->height(), button->height())).toImage();
  };
  for (const bool dark : {false, true}) {
    QApplication::setPalette(dark ? darkScheme() : QApplication::style()->standardPalette());
    Form1 f;
    f.show();
    f.Check3->setValue(0);
    ASSERT_FALSE(f.Option4->isChecked());
    const QColor window = f.palette().color(QPalette::Window);
    if (dark) {
      EXPECT_GE(frameContrast(f.Check3, window), 3.0);
      EXPECT_GE(frameContrast(f.Option4, window), 3.0);
    } else {
      // A light scheme keeps the window style's own look.
      for (QAbstractButton* button : std::initializer_list<QAbstractButton*>{f.Check3, f.Option4}) {
        const QImage ours = indicatorOf(button);
        button->setStyle(QApplication::style());
        EXPECT_EQ(indicatorOf(button), ours) << button->text().toStdString();
      }
    }
  }
}

TEST(Contrast, RatioAndTheNearestReadableColour) {
  EXPECT_NEAR(contrastRatio(Qt::black, Qt::white), 21, 1e-9);
  EXPECT_NEAR(contrastRatio(QColor(0, 0, 128), QColor(0x35, 0x35, 0x35)), 1.30, 0.01);
  // Readable colours stay; others move towards white on dark, towards black on light.
  EXPECT_EQ(readableOn(QColor(0, 0, 128), QColor(239, 239, 239)), QColor(0, 0, 128));
  for (auto [colour, background] : {std::pair{QColor(0, 0, 128), QColor(0x35, 0x35, 0x35)},
                                    {QColor(200, 200, 200), QColor(255, 255, 255)},
                                    {QColor(128, 128, 128), QColor(128, 128, 128)}}) {
    const QColor r = readableOn(colour, background);
    EXPECT_GE(contrastRatio(r, background), 4.5) << colour.name().toStdString();
    EXPECT_NE(r, colour);
  }
}

}  // namespace
}  // namespace korvalen
