#include "about_window/frm_about.h"

#include <QCursor>
#include <QDesktopServices>
#include <QFont>
#include <QIcon>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QUrl>
#include <algorithm>

#include "toolkit/appearance.h"

// The pictures are compiled into this static library; registering them here
// keeps the linker from dropping them.
static void initAboutResources() { Q_INIT_RESOURCE(korvalen_about); }

namespace korvalen {
namespace {

const QString kTitle = QStringLiteral("Korvalen");
const QString kAuthor = QStringLiteral("А. Н. Северцев");
// The program's web page; a click opens this address with ".htm" appended.
const QString kWebAddress = QStringLiteral("https://www.example.org/ruvizevez");

const QString kDescription = QStringLiteral(
    "     Программа отображает распределение функций отражательной способности "
    "(двулучевых функций отражательной способности — ДФОС) на поверхности идеальной сферы "
    "для исследования их изменений. ДФОС задаётся углом падения, углом отражения и фазовым "
    "углом. Угол падения i между лучом падения и нормалью к поверхности. Угол отражения e "
    "между отражённым лучом и нормалью к поверхности. Фазовый угол g между лучом падения и "
    "лучом отражения.");

// The link's colours: at rest, and while the mouse is over it. On a dark
// scheme's window they are lightened until they read there.
const QColor kLinkColour(0, 0, 128);
const QColor kLinkHoverColour(0, 0, 224);

// Font sizes are in pixels so the fixed layout does not depend on the screen's
// DPI: 8.25 pt at 96 DPI is 11 px.
QFont pixelFont(const QString& family, int pixels, bool bold = false) {
  QFont font(family);
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

void setTextColour(QLabel* label, const QColor& colour) {
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, colour);
  label->setPalette(palette);
}

QLabel* placedLabel(QWidget* parent, const QString& name, const QRect& geometry) {
  auto* label = new QLabel(parent);
  label->setObjectName(name);
  label->setTextFormat(Qt::PlainText);
  label->setGeometry(geometry);
  return label;
}

}  // namespace

ProgramVersion programVersion() {
  return {KORVALEN_VERSION_MAJOR, KORVALEN_VERSION_MINOR, KORVALEN_VERSION_BUILD,
          KORVALEN_VERSION_REVISION};
}

frmAbout::frmAbout(QWidget* owner, ProgramVersion version)
    : QDialog(owner),
      version_(version),
      Line1{{
          // Together an etched separator: a white 2-pixel line with a grey one along its lower edge.
          {QPoint(7, 183), QPoint(377, 183), QColor(255, 255, 255), 2},
          {QPoint(6, 184), QPoint(377, 184), QColor(128, 128, 128), 1},
      }} {
  static const bool resourcesReady = [] {
    initAboutResources();
    return true;
  }();
  (void)resourcesReady;

  setObjectName(QStringLiteral("frmAbout"));
  setWindowTitle(QStringLiteral("О программе"));
  setWindowIcon(QIcon(QStringLiteral(":/about/korvalen.png")));
  setFont(pixelFont(QStringLiteral("MS Sans Serif"), 11));
  setFixedSize(382, 237);
  QPalette pal = palette();
  makeCaptionsReadable(pal, QPalette::Window);
  setPalette(pal);
  // Moves over the bare surface put the link back to its resting colour.
  setMouseTracking(true);

  Picture1 = placedLabel(this, QStringLiteral("Picture1"), QRect(8, 16, 52, 52));
  Picture1->setPixmap(QPixmap(QStringLiteral(":/about/sphere.jpg")));

  lblTitle = placedLabel(this, QStringLiteral("lblTitle"), QRect(70, 16, 251, 32));
  lblTitle->setFont(pixelFont(QStringLiteral("Tahoma"), 24, true));
  lblTitle->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  lblVersion = new Label(this, QStringLiteral("Версия"), true);
  lblVersion->setObjectName(QStringLiteral("lblVersion"));
  lblVersion->move(96, 52);

  Label1 = placedLabel(this, QStringLiteral("Label1"), QRect(200, 52, 89, 17));
  Label1->setText(QStringLiteral("от 08.II.2020 года."));
  Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  // Liberation Sans, drawn for "MS Sans Serif", is a couple of pixels wider than
  // the font the layout was measured in; the date must not lose its last dot.
  Label1->resize(std::max(Label1->width(), Label1->sizeHint().width()), Label1->height());

  lblDescription = placedLabel(this, QStringLiteral("lblDescription"), QRect(6, 75, 371, 108));
  lblDescription->setText(kDescription);
  lblDescription->setWordWrap(true);
  lblDescription->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  lblDisclaimer = placedLabel(this, QStringLiteral("lblDisclaimer"), QRect(16, 192, 258, 15));
  lblDisclaimer->setText(QStringLiteral("Автор: ") + kAuthor);
  lblDisclaimer->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  Label2 = new Label(this, QString(), true);
  Label2->setMouseTracking(true);  // moves without a button pressed reach it too
  Label2->setObjectName(QStringLiteral("Label2"));
  QFont linkFont = pixelFont(QStringLiteral("MS Sans Serif"), 11);
  linkFont.setUnderline(true);
  Label2->setFont(linkFont);
  setTextColour(Label2, linkColour(kLinkColour));
  Label2->move(16, 216);
  Label2->setCaption(kWebAddress);

  cmdOK = new QPushButton(QStringLiteral("OK"), this);
  cmdOK->setObjectName(QStringLiteral("cmdOK"));
  cmdOK->setGeometry(280, 192, 84, 39);
  // The only control that takes the focus, so it is first in the tab order;
  // Enter presses it as the default button, Esc through reject().
  cmdOK->setDefault(true);
  cmdOK->setFocus();

  // Image1 only carries the link's pointer picture; it is not shown.
  Image1 = placedLabel(this, QStringLiteral("Image1"), QRect(240, 200, 32, 32));
  Image1->setPixmap(QPixmap(QStringLiteral(":/about/link_hand.png")));
  Image1->hide();

  Label2->onMouseMove = [this] { Label2_MouseMove(); };
  Label2->onClick = [this] { Label2_Click(); };
  connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });

  Form_Load();
}

void frmAbout::Form_Load() {
  setWindowTitle(QStringLiteral("О программе ") + kTitle);
  // major.minor.revision; the build number stays out of the user's sight.
  lblVersion->setCaption(QStringLiteral("Версия %1.%2.%3")
                             .arg(version_.major)
                             .arg(version_.minor)
                             .arg(version_.revision));
  lblTitle->setText(kTitle);
  // The date follows the version text, whose width the caption above has just set.
  Label1->move(lblVersion->width() + lblVersion->x() + 3, Label1->y());
  // The hot spot is the top-left corner: the tip of the pointing finger.
  Label2->setCursor(QCursor(Image1->pixmap(), 0, 0));
}

void frmAbout::Form_MouseMove() { setTextColour(Label2, linkColour(kLinkColour)); }

void frmAbout::Label2_MouseMove() { setTextColour(Label2, linkColour(kLinkHoverColour)); }

QColor frmAbout::linkColour(const QColor& colour) const {
  return readableOn(colour, palette().color(QPalette::Window));
}

void frmAbout::Label2_Click() {
  // Nothing to report if no browser takes the page: the result is ignored.
  QDesktopServices::openUrl(QUrl(kWebAddress + QStringLiteral(".htm")));
}

void frmAbout::cmdOK_Click() { accept(); }

void frmAbout::reject() { cmdOK_Click(); }

void frmAbout::paintEvent(QPaintEvent* event) {
  QDialog::paintEvent(event);
  QPainter painter(this);
  for (const LineControl& line : Line1) {
    QPen pen(line.colour);
    pen.setWidth(line.width);
    pen.setCapStyle(Qt::FlatCap);
    painter.setPen(pen);
    painter.drawLine(line.from, line.to);
  }
}

void frmAbout::mouseMoveEvent(QMouseEvent* event) {
  // Only the bare surface counts as the window's own, even where a control
  // lets a move pass up to its parent.
  if (childAt(event->position().toPoint()) == nullptr) Form_MouseMove();
  QDialog::mouseMoveEvent(event);
}

void showAbout(QWidget* owner) {
  frmAbout about(owner);
  about.exec();
}

}  // namespace korvalen
