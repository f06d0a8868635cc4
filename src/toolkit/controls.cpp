#include "toolkit/controls.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QWheelEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleOption>
#include <algorithm>
#include <cmath>

#include "toolkit/appearance.h"
#include "toolkit/guard.h"
#include "toolkit/number_steps.h"
#include "toolkit/screen_pointer.h"

namespace korvalen {

QColor toQColor(Colour c, const QWidget* w) {
  const QPalette pal = w ? w->palette() : QApplication::palette();
  if (c == kSystemWindowBackground) return pal.color(QPalette::Base);
  if (c == LineControl::kDefaultLineColour) return pal.color(QPalette::WindowText);
  return QColor(redOf(c), greenOf(c), blueOf(c));
}

// ---- PictureBox

namespace {

double scaleOverride = 0;

double scaleOf(const QWidget* w) {
  if (scaleOverride > 0) return scaleOverride;
  const double r = w->devicePixelRatioF();
  return std::isfinite(r) && r > 0 ? r : 1.0;
}

// Screen pixels of a logical extent: the nearest whole pixel, halves to even.
int screenPixels(int logical, double scale) {
  return std::max(1, static_cast<int>(std::nearbyint(logical * scale)));
}

int logicalOf(double screen, double scale) {
  return static_cast<int>(std::nearbyint(screen / scale));
}

}  // namespace

void PictureBox::setScaleOverride(double scale) { scaleOverride = scale; }

PictureBox::PictureBox(QWidget* parent, int width, int height, Colour background)
    : QWidget(parent),
      logicalWidth_(width),
      logicalHeight_(height),
      scale_(scaleOf(this)),
      raster_(screenPixels(width, scale_), screenPixels(height, scale_), background) {
  resize(width, height);
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  raster_.setChangeListener([this] { update(); });
  watchScreenPointer();
}

void PictureBox::moveChild(QWidget* child, double x, double y) {
  child->move(logicalOf(x, scale_), logicalOf(y, scale_));
}

void PictureBox::setChildLeft(QWidget* child, double x) {
  child->move(logicalOf(x, scale_), child->y());
}

void PictureBox::paintEvent(QPaintEvent*) {
  QPainter p(this);
  // At a fractional scale the box ends inside a screen pixel that the whole
  // pixels of the raster do not reach; the background fills that strip.
  QImage image = imageOf(raster_);
  const QSizeF covered = QSizeF(image.size()) / scale_;
  if (covered.width() < width() || covered.height() < height())
    p.fillRect(rect(), toQColor(raster_.backColour(), this));
  // The image carries the scale, so it lands on the screen pixel for pixel.
  image.setDevicePixelRatio(scale_);
  p.drawImage(0, 0, image);
  if (!overlay_.isNull()) {
    QImage over = overlay_;
    over.setDevicePixelRatio(scale_);
    p.drawImage(0, 0, over);
  }
  raster_.markPainted();
}

void PictureBox::setOverlay(const QImage& overlay) {
  if (overlay.isNull() && overlay_.isNull()) return;
  overlay_ = overlay;
  update();
}

void PictureBox::mouseMoveEvent(QMouseEvent* e) {
  // Logical positions times the scale are the screen pixels; rounding only
  // takes away the error of the division that made them logical. Where Qt
  // rounded the position to whole logical pixels, the platform's own is taken.
  const QPointF pos = screenPointerPosition(this, e->position()).value_or(e->position());
  const float x = static_cast<float>(std::nearbyint(pos.x() * scale_));
  const float y = static_cast<float>(std::nearbyint(pos.y() * scale_));
  lastMove_ = QPointF(x, y);
  if (onMouseMove) runGuarded([&] { onMouseMove(x, y); });
}

std::optional<QPointF> PictureBox::pointerPosition() const {
  if (!underMouse()) return std::nullopt;
  return lastMove_;
}

// ---- Label

Label::Label(QWidget* parent, const QString& caption, bool autoSize)
    : QLabel(parent), autoSize_(autoSize) {
  // A caption is shown as it stands: typed text that looks like markup is
  // never read as rich text, which could also load images from the disc.
  setTextFormat(Qt::PlainText);
  setText(caption);
  if (autoSize_) adjustSize();
}

void Label::setCaption(const QString& c) {
  setText(c);
  if (autoSize_) adjustSize();
}

void Label::setForeColour(Colour c) {
  QPalette pal = palette();
  pal.setColor(QPalette::WindowText, toQColor(c, this));
  setPalette(pal);
}

void Label::setBackColour(Colour c) {
  QPalette pal = palette();
  pal.setColor(QPalette::Window, toQColor(c, this));
  setPalette(pal);
  setAutoFillBackground(true);
}

void Label::mouseMoveEvent(QMouseEvent* e) {
  if (onMouseMove) runGuarded(onMouseMove);
  QLabel::mouseMoveEvent(e);
}

void Label::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()) && onClick)
    runGuarded(onClick);
  QLabel::mouseReleaseEvent(e);
}

// ---- TextBox

TextBox::TextBox(QWidget* parent, const QString& text) : QLineEdit(text, parent) {
  connect(this, &QLineEdit::textChanged, this, [this] {
    if (onChange) runGuarded(onChange);
  });
}

void TextBox::setBackColour(Colour c) {
  back_ = c;
  QPalette pal = palette();
  pal.setColor(QPalette::Base, toQColor(c, parentWidget()));
  // The scheme's text colour goes with the scheme's background; on a fixed
  // colour (the pale red of a text not accepted) the text is that of a light
  // scheme, which reads there in a dark scheme too.
  const QPalette scheme = parentWidget() ? parentWidget()->palette() : QApplication::palette();
  for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
    pal.setColor(group, QPalette::Text,
                 c == kSystemWindowBackground ? scheme.color(group, QPalette::Text)
                                              : toQColor(kTextOnFixedColour));
  setPalette(pal);
}

bool TextBox::stepNumber(int units) {
  if (isReadOnly() || !isEnabled() || back_ == kRefusedTextColour) return false;
  const QString before = text();
  const std::optional<QString> next = steppedNumberText(before, units);
  if (!next || (readsAsNumber && !(readsAsNumber(before) && readsAsNumber(*next)))) return false;
  setText(*next);
  if (back_ != kRefusedTextColour) return true;
  // A bound of the box (a radius of 0, say): the step is not made.
  setText(before);
  return false;
}

void TextBox::keyPressEvent(QKeyEvent* e) {
  int units = 0;
  if ((e->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
    switch (e->key()) {
      case Qt::Key_Up: units = 1; break;
      case Qt::Key_Down: units = -1; break;
      case Qt::Key_PageUp: units = 10; break;
      case Qt::Key_PageDown: units = -10; break;
      default: break;
    }
  }
  if (units != 0) {
    stepNumber(units);
    e->accept();
    return;
  }
  QLineEdit::keyPressEvent(e);
}

void TextBox::wheelEvent(QWheelEvent* e) {
  // A notch is 15 degrees (120 eighths); finer wheels and touch pads add up to one.
  wheelEighths_ += e->angleDelta().y();
  const int steps = wheelEighths_ / 120;
  wheelEighths_ -= steps * 120;
  if (steps != 0) stepNumber(steps);
  e->accept();
}

// ---- The look and the click area of check boxes and option buttons

namespace {

// The window style (not whatever style the desktop asks for: the captions
// must start where the layout expects them) with two changes: a check box or option button
// answers a click anywhere in its rectangle (and reports that rectangle to
// screen readers), as the layout gives each its whole box; and the grey third
// state of a check box shows a tick in grey rather than the style's
// "partly" mark.
class ButtonStyle : public QProxyStyle {
 public:
  using QProxyStyle::QProxyStyle;

  QRect subElementRect(SubElement e, const QStyleOption* opt, const QWidget* w) const override {
    if (e == SE_CheckBoxClickRect || e == SE_RadioButtonClickRect) return opt->rect;
    return QProxyStyle::subElementRect(e, opt, w);
  }

  void drawPrimitive(PrimitiveElement pe, const QStyleOption* opt, QPainter* p,
                     const QWidget* w) const override {
    if (pe != PE_IndicatorCheckBox && pe != PE_IndicatorRadioButton) {
      QProxyStyle::drawPrimitive(pe, opt, p, w);
      return;
    }
    QStyleOptionButton indicator;
    if (const auto* b = qstyleoption_cast<const QStyleOptionButton*>(opt))
      indicator = *b;
    else
      indicator.QStyleOption::operator=(*opt);
    keepFrameVisible(indicator.palette);
    if (pe == PE_IndicatorCheckBox && (opt->state & State_NoChange)) {
      indicator.state = (indicator.state & ~State_NoChange) | State_On;
      const QColor tick(128, 128, 128);
      for (QPalette::ColorRole role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText})
        indicator.palette.setColor(role, tick);
    }
    QProxyStyle::drawPrimitive(pe, &indicator, p, w);
  }

  // The window style draws an indicator's frame in the window colour made
  // 1.4 times darker. On a dark scheme's window that frame all but vanishes
  // (1.3 : 1 on Adwaita's dark grey), and an empty box or a clear option
  // button cannot be seen. There the frame is found from a window colour
  // light enough that the darkened frame stands out at 3 : 1, what the
  // outline of a control needs to be seen; light schemes keep their look.
  static void keepFrameVisible(QPalette& palette) {
    const QColor window = palette.color(QPalette::Window);
    const bool dark = contrastRatio(window, Qt::white) > contrastRatio(window, Qt::black);
    const QColor frame = window.darker(kFrameDarkening);
    if (!dark || contrastRatio(frame, window) >= kFrameContrast) return;
    palette.setColor(QPalette::Window, readableOn(frame, window, kFrameContrast).lighter(kFrameDarkening));
  }
  static constexpr int kFrameDarkening = 140;
  // 3 : 1 with room for the rounding of the colour and for the antialiased
  // edge of an option button's circle, whose pixels take only part of it.
  static constexpr double kFrameContrast = 4.0;
};

// One style for all buttons of the program, over the window style; it lives
// as long as the application.
QStyle* buttonStyle() {
  static QPointer<ButtonStyle> style;
  if (!style) {
    style = new ButtonStyle(newWindowStyle());
    style->setParent(qApp);
  }
  return style;
}

}  // namespace

// ---- CheckBox

CheckBox::CheckBox(QWidget* parent, const QString& caption) : QCheckBox(caption, parent) {
  setStyle(buttonStyle());
  setTristate(true);
  connect(this, &QCheckBox::stateChanged, this, [this] {
    if (onClick) runGuarded(onClick);
  });
}

int CheckBox::value() const {
  switch (checkState()) {
    case Qt::Unchecked: return 0;
    case Qt::Checked: return 1;
    case Qt::PartiallyChecked: return 2;
  }
  return 0;
}

void CheckBox::setValue(int v) {
  setCheckState(v == 0 ? Qt::Unchecked : (v == 1 ? Qt::Checked : Qt::PartiallyChecked));
}

void CheckBox::nextCheckState() { setValue(value() == 0 ? 1 : 0); }

void CheckBox::focusOutEvent(QFocusEvent* e) {
  if (onValidate) runGuarded(onValidate);
  QCheckBox::focusOutEvent(e);
}

// ---- OptionButton

OptionButton::OptionButton(QWidget* parent, const QString& caption)
    : QRadioButton(caption, parent) {
  setStyle(buttonStyle());
  connect(this, &QRadioButton::toggled, this, [this](bool on) {
    if (on && onClick) runGuarded(onClick);
  });
}

// ---- CommandButton

CommandButton::CommandButton(QWidget* parent, const QString& caption)
    : QPushButton(caption, parent) {
  setAutoDefault(false);
  connect(this, &QPushButton::clicked, this, [this] {
    if (onClick) runGuarded(onClick);
  });
}

// ---- Shape

Shape::Shape(QWidget* parent, Kind kind, Colour fill, Colour border, int borderWidth)
    : QWidget(parent), kind_(kind), fill_(fill), border_(border), borderWidth_(borderWidth) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void Shape::setFillColour(Colour c) {
  fill_ = c;
  update();
}

void Shape::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing, kind_ == RoundedSquare);
  const qreal half = borderWidth_ / 2.0;
  const QRectF r = QRectF(rect()).adjusted(half, half, -half, -half);
  p.setPen(QPen(toQColor(border_, this), borderWidth_));
  p.setBrush(toQColor(fill_, this));
  if (kind_ == RoundedSquare) {
    const qreal radius = std::min(r.width(), r.height()) / 4.0;
    p.drawRoundedRect(r, radius, radius);
  } else {
    p.drawRect(r);
  }
}

// ---- LineControl

LineControl::LineControl(QWidget* parent, int x1, int y1, int x2, int y2, Colour colour,
                         int width)
    : QWidget(parent), colour_(colour), width_(width) {
  const int left = std::min(x1, x2), top = std::min(y1, y2);
  setGeometry(left, top, std::abs(x2 - x1) + width, std::abs(y2 - y1) + width);
  a_ = QPoint(x1 - left, y1 - top);
  b_ = QPoint(x2 - left, y2 - top);
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void LineControl::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setPen(Qt::NoPen);
  p.setBrush(toQColor(colour_, this));
  // Axis-aligned lines of whole pixels, as the window's separators are.
  const int x = std::min(a_.x(), b_.x()), y = std::min(a_.y(), b_.y());
  const int w = std::abs(b_.x() - a_.x()), h = std::abs(b_.y() - a_.y());
  p.drawRect(x, y, w == 0 ? width_ : w + 1, h == 0 ? width_ : h + 1);
}

// ---- ImageBox

ImageBox::ImageBox(QWidget* parent, const QString& resource) : QLabel(parent) {
  if (!resource.isEmpty()) setPixmap(QPixmap(resource));
  setAlignment(Qt::AlignCenter);
}

// ---- Timer

Timer::Timer(QObject* parent, int intervalMs, bool enabled) : QObject(parent) {
  timer_.setInterval(intervalMs);
  connect(&timer_, &QTimer::timeout, this, [this] {
    if (onTick) runGuarded(onTick);
  });
  setEnabled(enabled);
}

void Timer::setEnabled(bool e) {
  enabled_ = e;
  if (e)
    timer_.start();
  else
    timer_.stop();
}

// ---- Pointer

void setMousePointer(QWidget* window, int kind, const QCursor& custom) {
  window->setProperty("mousePointer", kind);
  switch (kind) {
    case kPointerBusy: window->setCursor(Qt::WaitCursor); break;
    case kPointerCustom: window->setCursor(custom); break;
    default: window->unsetCursor(); break;
  }
}

int mousePointer(const QWidget* window) {
  const QVariant v = window->property("mousePointer");
  return v.isValid() ? v.toInt() : kPointerDefault;
}

}  // namespace korvalen
