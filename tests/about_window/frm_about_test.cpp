#include <gtest/gtest.h>

#include <QApplication>
#include <QDesktopServices>
#include <QFont>
#include <QImage>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <functional>
#include <memory>
#include <vector>

#include "about_window/frm_about.h"

using korvalen::frmAbout;
using korvalen::ProgramVersion;

namespace {

class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    static int argc = 1;
    static char name[] = "about_window_test";
    static char* argv[] = {name, nullptr};
    app_ = std::make_unique<QApplication>(argc, argv);
    // As the program does: the window's font names drawn with metric-compatible fonts.
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Tahoma"), QStringLiteral("Liberation Sans"));
  }
  void TearDown() override { app_.reset(); }

 private:
  std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] ::testing::Environment* const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

// Opens the About window as the main window's command does and runs `drive` on
// it from inside its modal loop. Returns whether `drive` left the window
// closed; if it did not, the window is closed here so the test cannot hang.
bool driveAbout(const std::function<void(frmAbout&)>& drive) {
  bool ran = false;
  bool closed = false;
  QObject context;  // cancels the timer if showAbout never enters its loop
  QTimer::singleShot(0, &context, [&] {
    frmAbout* about = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* candidate = qobject_cast<frmAbout*>(w); candidate && candidate->isVisible())
        about = candidate;
    if (about == nullptr) return;
    ran = true;
    EXPECT_EQ(QApplication::activeModalWidget(), about) << "the About window is modal";
    drive(*about);
    closed = !about->isVisible();
    if (!closed) about->done(QDialog::Rejected);
  });
  korvalen::showAbout(nullptr);
  EXPECT_TRUE(ran) << "showAbout did not run an About window";
  return closed;
}

QColor linkColour(const frmAbout& about) {
  return about.Label2->palette().color(QPalette::WindowText);
}

// Moves the mouse, as the window system would, to `point` of the window.
void moveMouse(frmAbout& about, QPoint point) {
  QTest::mouseMove(about.windowHandle(), point);
}

void clickMouse(frmAbout& about, QPoint point) {
  QTest::mouseClick(about.windowHandle(), Qt::LeftButton, Qt::NoModifier, point);
}

QPoint centreOf(const frmAbout& about, const char* control) {
  auto* widget = about.findChild<QWidget*>(QString::fromLatin1(control));
  EXPECT_NE(widget, nullptr) << control;
  return widget ? widget->geometry().center() : QPoint();
}

// Receives the addresses handed to the user's browser.
class UrlRecorder : public QObject {
  Q_OBJECT
 public:
  std::vector<QUrl> urls;
 public slots:
  void open(const QUrl& url) { urls.push_back(url); }
};

TEST(AboutWindow, VersionShowsMajorMinorRevisionAndTheDateFollowsIt) {
  struct Case {
    ProgramVersion version;
    const char* text;
  };
  const Case cases[] = {
      {{1, 2, 0, 1}, "Версия 1.2.1"},
      {{3, 10, 7, 0}, "Версия 3.10.0"},  // build number not shown, a zero revision is
      {{12, 0, 5, 345}, "Версия 12.0.345"},
  };
  std::vector<int> dateLefts;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    frmAbout about(nullptr, c.version);
    EXPECT_EQ(about.lblVersion->text(), QString::fromUtf8(c.text));
    EXPECT_GE(about.lblVersion->width(),
              about.lblVersion->fontMetrics().horizontalAdvance(about.lblVersion->text()))
        << "the version label sized itself to its new text";
    EXPECT_EQ(about.Label1->x(), about.lblVersion->x() + about.lblVersion->width() + 3);
    EXPECT_EQ(about.Label1->y(), 52);
    dateLefts.push_back(about.Label1->x());
  }
  EXPECT_LT(dateLefts.front(), dateLefts.back()) << "a longer version pushes the date right";
}

TEST(AboutWindow, EveryOpenBuildsAndLoadsTheWindowAfresh) {
  for (int open = 1; open <= 2; ++open) {
    SCOPED_TRACE(open);
    QPointer<frmAbout> window;
    const bool closed = driveAbout([&](frmAbout& about) {
      window = &about;
      EXPECT_EQ(about.windowTitle(), QStringLiteral("О программе Korvalen"));
      EXPECT_EQ(about.lblTitle->text(), QStringLiteral("Korvalen"));
      EXPECT_EQ(about.lblVersion->text(), QStringLiteral("Версия 1.2.1"));
      EXPECT_EQ(about.Label1->x(), about.lblVersion->x() + about.lblVersion->width() + 3);
      EXPECT_EQ(linkColour(about), QColor(0, 0, 128));
      // Leave traces that only a fresh load undoes.
      moveMouse(about, {2, 2});
      moveMouse(about, centreOf(about, "Label2"));
      EXPECT_EQ(linkColour(about), QColor(0, 0, 224));
      about.lblVersion->setCaption(QStringLiteral("Версия 0.0.0 и ещё много текста"));
      about.setWindowTitle(QStringLiteral("?"));
      about.cmdOK->click();
    });
    EXPECT_TRUE(closed) << "OK closes the window";
    EXPECT_TRUE(window.isNull()) << "the window is destroyed when it closes";
  }
}

TEST(AboutWindow, EnterEscAndSpaceCloseTheWindow) {
  const Qt::Key keys[] = {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape, Qt::Key_Space};
  for (Qt::Key key : keys) {
    const std::unique_ptr<char[]> keyName(QTest::toString(key));
    SCOPED_TRACE(keyName.get());
    const bool closed = driveAbout([&](frmAbout& about) {
      EXPECT_EQ(about.focusWidget(), about.cmdOK) << "OK is first in the tab order";
      QTest::keyClick(about.windowHandle(), key);
    });
    EXPECT_TRUE(closed);
  }
}

TEST(AboutWindow, LinkBrightensUnderTheMouseAndDimsOnlyOverTheBareWindow) {
  const QColor dark(0, 0, 128);
  const QColor bright(0, 0, 224);
  struct Step {
    const char* control;  // nullptr: the window's own surface at `point`
    QPoint point;
    QColor expected;
  };
  const Step path[] = {
      // Enter over the surface: the window system drops a move to where the
      // pointer already is, and the previous window may have left it on the link.
      {nullptr, {2, 2}, dark},
      {"Label2", {}, bright},
      {"lblDescription", {}, bright},  // another control keeps the bright colour
      {"cmdOK", {}, bright},
      {"Picture1", {}, bright},
      {nullptr, {2, 2}, dark},
      {"Label2", {}, bright},
      {nullptr, {100, 183}, dark},  // the separator is painted on the surface
      {"Label2", {}, bright},
      {nullptr, {200, 187}, dark},
      {"lblDisclaimer", {}, dark},  // and a control does not brighten it
  };
  driveAbout([&](frmAbout& about) {
    EXPECT_EQ(linkColour(about), dark);
    EXPECT_TRUE(about.Label2->font().underline());
    for (const Step& step : path) {
      const QPoint point = step.control ? centreOf(about, step.control) : step.point;
      SCOPED_TRACE(step.control ? step.control : "window surface");
      moveMouse(about, point);
      EXPECT_EQ(linkColour(about), step.expected);
    }
    about.cmdOK->click();
  });
}

TEST(AboutWindow, ClickOnTheLinkHandsThePageAddressToTheBrowser) {
  struct Case {
    const char* control;  // nullptr: the window's own surface
    std::vector<QUrl> opened;
  };
  const Case cases[] = {
      {"Label2", {QUrl(QStringLiteral("https://www.example.org/ruvizevez.htm"))}},
      {"lblDisclaimer", {}},
      {"Picture1", {}},
      {nullptr, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.control ? c.control : "window surface");
    UrlRecorder browser;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &browser, "open");
    QDesktopServices::setUrlHandler(QStringLiteral("http"), &browser, "open");
    driveAbout([&](frmAbout& about) {
      clickMouse(about, c.control ? centreOf(about, c.control) : QPoint(2, 2));
      about.cmdOK->click();
    });
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    EXPECT_EQ(browser.urls, c.opened);
  }
}

TEST(AboutWindow, PicturesAndTheLinkPointerAreCompiledIn) {
  frmAbout about;
  EXPECT_EQ(about.Picture1->pixmap().size(), QSize(52, 52));
  EXPECT_FALSE(about.windowIcon().isNull());
  const QCursor pointer = about.Label2->cursor();
  EXPECT_EQ(pointer.shape(), Qt::BitmapCursor);
  EXPECT_EQ(pointer.hotSpot(), QPoint(0, 0));
  EXPECT_EQ(pointer.pixmap().size(), QSize(32, 32));
  EXPECT_EQ(pointer.pixmap().toImage(), about.Image1->pixmap().toImage())
      << "the link's pointer is Image1's picture";
}

TEST(AboutWindow, TextsFitTheFixedLayout) {
  frmAbout about;
  EXPECT_EQ(about.minimumSize(), QSize(382, 237));
  EXPECT_EQ(about.maximumSize(), QSize(382, 237));

  const QLabel* singleLine[] = {about.lblTitle, about.Label1, about.lblDisclaimer};
  for (const QLabel* label : singleLine) {
    SCOPED_TRACE(label->objectName().toStdString());
    const QFontMetrics metrics = label->fontMetrics();
    EXPECT_LE(metrics.horizontalAdvance(label->text()), label->width());
    EXPECT_LE(metrics.height(), label->height());
  }
  const QLabel* description = about.lblDescription;
  const QRect wrapped = description->fontMetrics().boundingRect(
      QRect(0, 0, description->width(), 10000), Qt::TextWordWrap, description->text());
  EXPECT_LE(wrapped.height(), description->height());

  // The etched separator: white over grey, painted on the window itself.
  const QImage window = about.grab().toImage();
  EXPECT_EQ(window.pixelColor(100, 183), QColor(255, 255, 255));
  EXPECT_EQ(window.pixelColor(100, 184), QColor(128, 128, 128));
}

}  // namespace

#include "frm_about_test.moc"
