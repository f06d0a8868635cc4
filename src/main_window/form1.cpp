#include "main_window/form1.h"

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>
#include <QProgressBar>
#include <QTimer>
#include <functional>

#include "shading/colour_table.h"
#include "toolkit/appearance.h"
#include "toolkit/guard.h"

namespace korvalen {

namespace {

// Fonts of the window, in pixels at 96 dots per inch: 8.25 pt is 11 px,
// 9.75 pt is 13 px, 12 pt is 16 px, 6 pt is 8 px.
QFont windowFont(const char* family, int pixels) {
  QFont f(QString::fromLatin1(family));
  f.setPixelSize(pixels);
  return f;
}

QFont tahoma() { return windowFont("Tahoma", 11); }

template <typename W>
W* place(W* w, int left, int top, int width, int height) {
  w->setGeometry(left, top, width, height);
  return w;
}

// A label clicked away with one click, or gone by itself after a few seconds.
// It lies over the foot of the map; mouse moves over it go on to the map, so
// the probe keeps following the cursor.
class FailureNotice : public QLabel {
 public:
  FailureNotice(QWidget* parent, QWidget* below) : QLabel(parent), below_(below) {
    setTextFormat(Qt::PlainText);
    setMouseTracking(true);
  }

 protected:
  void mousePressEvent(QMouseEvent*) override { hide(); }
  void mouseMoveEvent(QMouseEvent* e) override {
    const QPointF at = below_->mapFromGlobal(e->globalPosition());
    QMouseEvent moved(QEvent::MouseMove, at, e->globalPosition(), e->button(), e->buttons(),
                      e->modifiers());
    QApplication::sendEvent(below_, &moved);
  }

 private:
  QWidget* below_;
};

}  // namespace

void installFontSubstitutions() {
  QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
  QFont::insertSubstitution(QStringLiteral("Tahoma"), QStringLiteral("Liberation Sans"));
  QFont::insertSubstitution(QStringLiteral("MS Serif"), QStringLiteral("Liberation Serif"));
}

Form1::Form1(QWidget* parent) : QWidget(parent) {
  setWindowTitle(QStringLiteral("Korvalen"));
  QIcon icon;
  for (int s : {16, 32, 48}) icon.addFile(QStringLiteral(":/icons/icon%1.png").arg(s));
  setWindowIcon(icon);
  setFont(windowFont("MS Sans Serif", 11));
  setFixedSize(637, 499);
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, pal.color(QPalette::Button));
  // The captions stand on the button face, which a scheme need not have
  // matched to its window text.
  makeCaptionsReadable(pal, QPalette::Button);
  setPalette(pal);

  buildControls();
  connectHandlers();
  buildPictureMenus();
  setFailureHandler([this](const std::string& m) { reportFailure(m); });
  runGuarded([this] { Form_Load(); });
}

Form1::~Form1() { setFailureHandler(nullptr); }

void Form1::buildControls() {
  // ---- map area
  Shape1[0] = place(new Shape(this, Shape::Rectangle, RGB(48, 200, 200), RGB(64, 64, 64), 3), 8, 0, 409, 353);
  Picture1 = new PictureBox(this, 393, 337, RGB(255, 255, 255));
  Picture1->move(16, 8);
  Picture1->setFocusPolicy(Qt::StrongFocus);
  Picture1->setAccessibleName(QStringLiteral("Карта на сфере"));
  Label17 = place(new Label(Picture1, QStringLiteral("Карта на сфере повёрнута так, как её видит наблюдатель.")), 3, 3, 91, 109);
  Label17->setWordWrap(true);
  // Text over the white map: the map keeps its colour in a dark scheme, so the note keeps a light scheme's.
  Label17->setForeColour(kTextOnFixedColour);
  Label17->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  // The note is text over the map: the probe sees the mouse under it too.
  Label17->setAttribute(Qt::WA_TransparentForMouseEvents);
  Label12 = new Label(Picture1, QStringLiteral("ф = 1,000"), true);
  Label12->move(144, 232);
  Label12->setBackColour(kSystemWindowBackground);
  Label12->setAttribute(Qt::WA_TransparentForMouseEvents);
  Label12->hide();

  // ---- isoline legend
  Label5 = place(new Label(this, QStringLiteral("ИЗОЛИНИИ ОСВЕЩЁННОСТИ")), 448, 8, 161, 17);
  for (int r = 1; r <= 7; ++r) {
    const int i = kLegendIndex[r], j = kLegendPlusMinus[r];
    const int top = 32 + 24 * (r - 1);
    const Colour border = r <= 3 ? RGB(128, 128, 128) : RGB(64, 64, 64);
    Shape1[i] = place(new Shape(this, Shape::RoundedSquare, kLegendColour[r], border), 440, top, 17, 17);
    Label1[i] = place(new Label(this, QStringLiteral("ф (i,e,g) =")), 464, top, i == 5 ? 52 : 73, i == 5 ? 13 : 17);
    Label1[i]->setFont(tahoma());
    Label2[j] = place(new Label(this), 552, top, 25, 17);
    Label2[j]->setFont(tahoma());
    Label2[j]->setAlignment(Qt::AlignCenter);
  }
  for (int r = 1; r <= 7; ++r) {
    const int i = kLegendIndex[r];
    const int top = 30 + 24 * (r - 1);
    Text8[i] = place(new TextBox(this), 520, top, 33, 19);
    Text7[i] = place(new TextBox(this), 576, i == 4 ? 128 : top, 41, 19);
    for (TextBox* t : {Text8[i], Text7[i]}) {
      t->setFont(tahoma());
      t->setAlignment(Qt::AlignCenter);
    }
  }

  Check3 = place(new CheckBox(this, QStringLiteral("Скрыть изолинии")), 440, 200, 177, 17);
  Line7 = new LineControl(this, 624, 222, 440, 222, RGB(128, 128, 128), 2);
  Line6 = new LineControl(this, 440, 224, 624, 224, RGB(255, 255, 255), 2);
  // The swatch of the zone about phi = 0 in the colour the map gives it.
  Shape2 = place(new Shape(this, Shape::RoundedSquare,
                           RGB(kZoneAtZero.red, kZoneAtZero.green, kZoneAtZero.blue),
                           RGB(220, 0, 220)),
                 440, 240, 17, 17);
  Label9 = place(new Label(this, QStringLiteral("В этой зоне поверхность становится самозатеняющейся")), 464, 232, 161, 49);
  Label9->setWordWrap(true);
  Label9->setFont(tahoma());
  Label9->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Command1 = place(new CommandButton(this, QStringLiteral("Тонировать")), 432, 264, 105, 33);
  Command1->setFont(windowFont("MS Sans Serif", 13));
  Command2 = place(new CommandButton(this, QStringLiteral("О программе")), 544, 264, 89, 33);
  Check2 = place(new CheckBox(this, QStringLiteral("Сглаживание")), 432, 304, 113, 17);
  Check1 = place(new CheckBox(this, QStringLiteral("Только видимую половину сферы")), 432, 328, 201, 17);

  // ---- view parameters below the map
  Label1[0] = place(new Label(this, QStringLiteral("Поворот полусферы по оси OX")), 0, 368, 89, 41);
  Label1[0]->setWordWrap(true);
  Label1[0]->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  Image1 = place(new ImageBox(this, QStringLiteral(":/icons/image1.xpm")), 104, 360, 20, 20);
  Text1 = place(new TextBox(this, QStringLiteral("90")), 88, 384, 38, 19);
  Text1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  Label2[0] = new Label(this, QStringLiteral("°         по ОY"), true);
  Label2[0]->move(136, 384);
  Image2 = place(new ImageBox(this, QStringLiteral(":/icons/image2.xpm")), 224, 360, 20, 20);
  Text2 = place(new TextBox(this, QStringLiteral("0")), 208, 384, 38, 19);
  Text2->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  Label2[1] = new Label(this, QStringLiteral("°         по ОZ"), true);
  Label2[1]->move(256, 384);
  Image3 = place(new ImageBox(this, QStringLiteral(":/icons/image3.xpm")), 336, 360, 20, 20);
  Text3[0] = place(new TextBox(this, QStringLiteral("0")), 320, 384, 38, 19);
  Text3[0]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  Label2[2] = new Label(this, QString(), true);
  Label2[2]->setFont(windowFont("MS Sans Serif", 16));
  Label2[2]->setCaption(QStringLiteral("°"));
  Label2[2]->move(368, 384);
  Line11 = new LineControl(this, 200, 408, 8, 408);
  Line10 = new LineControl(this, 200, 408, 200, 496);
  Label3 = place(new Label(this, QStringLiteral("Наклон источника")), 8, 418, 117, 17);
  Label3->setAlignment(Qt::AlignRight | Qt::AlignTop);
  Text4[0] = place(new TextBox(this, QStringLiteral("0")), 128, 416, 49, 19);
  Text4[0]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  Label2[3] = place(new Label(this, QStringLiteral("°")), 176, 416, 17, 17);
  Label2[3]->setFont(windowFont("MS Sans Serif", 16));
  Label2[3]->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Label10 = place(new Label(this, QStringLiteral("или фазовый угол g")), 8, 432, 117, 17);
  Label10->setAlignment(Qt::AlignRight | Qt::AlignTop);
  Image4 = place(new ImageBox(this), 144, 440, 25, 25);
  Line12 = new LineControl(this, 8, 466, 200, 466);
  Label7 = new Label(this, QStringLiteral("Радиус шара"), true);
  Label7->move(8, 472);
  Text9 = place(new TextBox(this, QStringLiteral("159")), 88, 470, 36, 19);
  Text9->setAlignment(Qt::AlignCenter);
  Label8 = new Label(this, QStringLiteral("точек на поле."), true);
  Label8->move(128, 472);

  // ---- surface models
  // The formula line is set a little condensed, so that the glossy formula
  // with its start-up s and n fits the window's width.
  QFont formulaFont = font();
  formulaFont.setStretch(90);
  Label13 = new Label(this, QString(), true);
  Label13->setFont(formulaFont);
  Label13->setCaption(QStringLiteral("ф(i, e, g) = cos(i)"));
  Label13->move(328, 355);
  Label14 = new Label(this, QString(), true);
  QFont exponentFont = windowFont("MS Serif", 8);
  exponentFont.setStretch(90);
  Label14->setFont(exponentFont);
  Label14->setCaption(QStringLiteral("16"));
  Label14->move(552, 352);
  Label14->hide();
  Label15 = new Label(this, QString(), true);
  Label15->setFont(formulaFont);
  Label15->setCaption(QStringLiteral("+(1—s)·cos(i)"));
  Label15->move(560, 355);
  Label15->hide();
  Picture2 = new PictureBox(this, 121, 73, RGB(176, 240, 240));
  Picture2->move(512, 374);
  Picture2->setFocusPolicy(Qt::StrongFocus);
  Picture2->setAccessibleName(QStringLiteral("Пример: полусфера"));
  Label16 = place(new Label(Picture2, QStringLiteral("К наблю- дателю")), 0, 0, 57, 33);
  Label16->setWordWrap(true);
  Label16->setForeColour(kTextOnFixedColour);  // over the example's fixed cyan
  Label16->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  Label11 = place(new Label(Picture2, QStringLiteral("СФЕРА")), 8, 56, 105, 17);
  Label11->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  Line9 = new LineControl(this, 509, 448, 509, 373);
  Option1 = place(new OptionButton(this, QStringLiteral("Матовая (ламбертова) поверхность: ф = cos(i)")), 208, 407, 289, 17);
  Line8 = new LineControl(this, 208, 424, 509, 424);
  Option3 = place(new OptionButton(this, QStringLiteral("Каменистая поверхность: ф = cos(i)·cos(e)")), 208, 431, 289, 17);
  Line4 = new LineControl(this, 208, 448, 634, 448);
  Option2 = place(new OptionButton(this, QStringLiteral("Глянцевая поверхность:")), 208, 454, 153, 17);
  Label6 = place(new Label(this, QStringLiteral("Доля отраж-го зеркально s =")), 352, 448, 94, 36);
  Label6->setWordWrap(true);
  Label6->setAlignment(Qt::AlignRight | Qt::AlignTop);
  Label6->setEnabled(false);
  // The label overlaps the end of Option2's caption; clicks there reach the option.
  Label6->setAttribute(Qt::WA_TransparentForMouseEvents);
  Text5 = place(new TextBox(this), 449, 456, 38, 19);
  Label4 = place(new Label(this, QStringLiteral("Острота пика n =")), 493, 458, 97, 21);
  Label4->setAlignment(Qt::AlignRight | Qt::AlignTop);
  Label4->setEnabled(false);
  Text6 = place(new TextBox(this, QStringLiteral("16")), 593, 456, 39, 19);
  Line5 = new LineControl(this, 208, 476, 632, 476);
  Option4 = place(new OptionButton(this, QStringLiteral("Зеркальная поверхность: ф = 1  при i = e и g = i + e,  иначе ф = 0.")), 208, 477, 425, 17);
  Option1->setChecked(true);

  // Check1 starts with its tick in the grey third state.
  Check1->setValue(2);

  Timer1 = new Timer(this, 10, true);

  // Text boxes: every one starts in the accepted colour.
  for (TextBox* t : {Text1, Text2, Text3[0], Text4[0], Text5, Text6, Text9}) t->setBackColour(kAccepted);
  for (int i = 1; i <= 7; ++i) {
    Text7[i]->setBackColour(kAccepted);
    Text8[i]->setBackColour(kAccepted);
  }

  // Names for screen readers of the boxes whose caption stands beside them.
  Text1->setAccessibleName(QStringLiteral("Поворот по оси OX, градусы"));
  Text2->setAccessibleName(QStringLiteral("Поворот по оси OY, градусы"));
  Text3[0]->setAccessibleName(QStringLiteral("Поворот по оси OZ, градусы"));
  Text4[0]->setAccessibleName(QStringLiteral("Наклон источника, градусы"));
  Text5->setAccessibleName(QStringLiteral("Доля отражённого зеркально s"));
  Text6->setAccessibleName(QStringLiteral("Острота пика n"));
  Text9->setAccessibleName(QStringLiteral("Радиус шара, точек"));
  for (int r = 1; r <= 7; ++r) {
    Text8[kLegendIndex[r]]->setAccessibleName(QStringLiteral("Уровень изолинии %1").arg(r));
    Text7[kLegendIndex[r]]->setAccessibleName(QStringLiteral("Полуширина изолинии %1").arg(r));
  }

  // Tab order of the focusable controls.
  QWidget* order[] = {Picture1, Command1, Text1,    Text2,    Text3[0], Text4[0], Check1,   Option1,
                      Option2,  Option3,  Text5,    Text6,    Text8[6], Text8[5], Text8[4], Text8[3],
                      Text8[2], Text8[1], Text8[7], Text7[6], Text7[5], Text7[4], Text7[3], Text7[2],
                      Text7[1], Text7[7], Option4,  Check2,   Check3,   Text9,    Command2, Picture2};
  for (size_t k = 0; k + 1 < std::size(order); ++k) setTabOrder(order[k], order[k + 1]);

  // The notice of a failed handler: over the foot of the map, above everything.
  failureNotice_ = new FailureNotice(this, Picture1);
  failureNotice_->setGeometry(16, 300, 393, 45);
  failureNotice_->setWordWrap(true);
  failureNotice_->setAlignment(Qt::AlignCenter);
  failureNotice_->setStyleSheet(QStringLiteral(
      "background: rgb(255, 255, 225); color: black; border: 1px solid rgb(128, 128, 128);"));
  failureNotice_->hide();
  failureNoticeTimer_ = new QTimer(this);
  failureNoticeTimer_->setSingleShot(true);
  failureNoticeTimer_->setInterval(5000);
  connect(failureNoticeTimer_, &QTimer::timeout, failureNotice_, &QWidget::hide);

  // How far a long shading run has come: in the middle of the map's place,
  // which stays empty until the whole map is drawn.
  runProgress_ = new QProgressBar(this);
  runProgress_->setGeometry(76, 166, 273, 22);
  runProgress_->setRange(0, 100);
  runProgress_->setFormat(QStringLiteral("Тонирование: %p %"));
  runProgress_->setAccessibleName(QStringLiteral("Ход тонирования"));
  runProgress_->hide();
}

void Form1::connectHandlers() {
  // The handlers after which the curves beside the map follow the state, also
  // where a handler stopped half-way: what it stored before stays in effect.
  auto curves = [this](std::function<void()> handler) {
    return [this, handler] {
      try {
        handler();
      } catch (...) {
        emit curveInputsChanged();
        throw;
      }
      emit curveInputsChanged();
    };
  };
  Timer1->onTick = [this] { Timer1_Timer(); };
  Command1->onClick = curves([this] { shadeAndRecord(); });
  Command2->onClick = [this] { Command2_Click(); };
  // Every change the next run reads may be followed by a live run; a handler
  // that fails is not.
  auto box = [this](TextBox* t, std::function<void()> handler) {
    t->onChange = [this, t, handler] {
      handler();
      boxChanged(t);
    };
  };
  auto choice = [this](std::function<void()>& onClick, std::function<void()> handler) {
    onClick = [this, handler] {
      handler();
      requestLiveRun();
    };
  };
  box(Text1, curves([this] { Text1_Change(); }));
  box(Text2, curves([this] { Text2_Change(); }));
  box(Text3[0], curves([this] { Text3_Change(0); }));
  box(Text4[0], curves([this] { Text4_Change(0); }));
  box(Text5, curves([this] { Text5_Change(); }));
  box(Text6, curves([this] { Text6_Change(); }));
  box(Text9, curves([this] { Text9_Change(); }));
  for (int i = 1; i <= 7; ++i) {
    const auto index = static_cast<int16_t>(i);
    box(Text7[i], curves([this, index] { Text7_Change(index); }));
    box(Text8[i], curves([this, index] { Text8_Change(index); }));
  }
  choice(Option1->onClick, [this] { Option1_Click(); });
  choice(Option2->onClick, [this] { Option2_Click(); });
  choice(Option3->onClick, [this] { Option3_Click(); });
  choice(Option4->onClick, [this] { Option4_Click(); });
  choice(Check1->onClick, curves([this] { Check1_Click(); }));
  choice(Check2->onClick, [this] { Check2_Click(); });
  choice(Check3->onClick, curves([this] { Check3_Click(); }));
  Check1->onValidate = curves([this] { Check1_Validate(); });
  Check2->onValidate = [this] { Check2_Validate(); };
  Check3->onValidate = curves([this] { Check3_Validate(); });
  Picture1->onMouseMove = [this](float x, float y) { Picture1_MouseMove(x, y); };
  // The boxes read with the user's locale step only a number written in it.
  auto readsInLocale = [](const QString& text) { return localeReading(text).has_value(); };
  for (TextBox* t : {Text2, Text3[0], Text5, Text6}) t->readsAsNumber = readsInLocale;
  for (int i = 1; i <= 7; ++i) Text7[i]->readsAsNumber = readsInLocale;

  liveTimer_ = new QTimer(this);
  liveTimer_->setSingleShot(true);
  connect(liveTimer_, &QTimer::timeout, this, [this] { liveTimerTick(); });
}

void Form1::reportFailure(const std::string& message) {
  // Nothing may stay half-done in a way that traps the user: a busy pointer
  // or a hidden map left by a stopped shading run is put right here.
  if (mousePointer(this) != kPointerDefault) setMousePointer(this, kPointerDefault);
  if (Picture1 && Picture1->isHidden()) Picture1->show();
  if (runProgress_) runProgress_->hide();
  lastFailure_ = QString::fromStdString(message);
  // One notice, replaced by the newest: a run of failing mouse moves never
  // piles up messages. A click or a few seconds take it away.
  failureNotice_->setText(QStringLiteral("Действие прервано: %1.").arg(lastFailure_));
  failureNotice_->show();
  failureNotice_->raise();
  failureNoticeTimer_->start();
}

void Form1::dismissFailureNotice() {
  failureNoticeTimer_->stop();
  failureNotice_->hide();
}

QString Form1::lastFailureMessage() const { return lastFailure_; }
bool Form1::failureNoticeVisible() const { return !failureNotice_->isHidden(); }
QString Form1::failureNoticeText() const { return failureNotice_->text(); }

}  // namespace korvalen
