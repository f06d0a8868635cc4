#pragma once
// The controls of the windows, over Qt Widgets. Each is a real widget of its
// kind, so focus, tab order, keyboard use and screen readers work; what the
// window model adds is the event order: a text, value or selection written from
// code raises the control's change or click handler at once, nested.
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPointF>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <optional>

#include "raster/colour.h"
#include "raster/raster.h"
#include "toolkit/raster_image.h"

namespace korvalen {

// The colour a Colour stands for on this palette (system colours resolved).
QColor toQColor(Colour c, const QWidget* w = nullptr);

// Text that stands on one of the program's fixed light colours (the map's
// white, the example's cyan, a pale red box): the text colour of a light
// scheme, whatever scheme the desktop has.
inline constexpr Colour kTextOnFixedColour = RGB(0, 0, 0);

// Mouse pointers of a window: 0 default, 11 busy, 99 custom picture.
enum PointerKind { kPointerDefault = 0, kPointerBusy = 11, kPointerCustom = 99 };

// A picture box: a Raster its widget paints, whose drawing persists across
// hiding, showing and being covered.
//
// The window is laid out in logical pixels, which the screen scale (1.25,
// 1.5, 2 ...) turns into screen pixels. The picture itself works in screen
// pixels: its Raster holds one element per screen pixel and is painted 1:1,
// its Width and Height are reported in screen pixels, mouse positions are
// handed over in screen pixels and its child labels are placed from them.
// The scale is read once, when the box is made, and kept: a window moved to
// a screen of another scale goes on drawing and probing the same pixels
// (Qt then shows the picture resampled to the box).
class PictureBox : public QWidget {
  Q_OBJECT
 public:
  PictureBox(QWidget* parent, int width, int height, Colour background);
  Raster& raster() { return raster_; }
  const Raster& raster() const { return raster_; }
  // Screen pixels per logical pixel.
  double scale() const { return scale_; }
  // Width and Height as the drawing code reads them: 32-bit floats in screen
  // pixels, the logical size times the scale (491.25 x 421.25 for 393 x 337 at 1.25).
  float widthF() const { return static_cast<float>(logicalWidth_ * scale_); }
  float heightF() const { return static_cast<float>(logicalHeight_ * scale_); }
  // Moves a child widget so that its top-left corner lies at (x, y) screen
  // pixels of the picture (or only its left edge), to the nearest logical pixel.
  void moveChild(QWidget* child, double x, double y);
  void setChildLeft(QWidget* child, double x);
  // Raised with the cursor position in screen pixels of the picture.
  std::function<void(float x, float y)> onMouseMove;
  // Where the pointer is over the picture, as the last mouse move raised it;
  // none while the pointer is elsewhere.
  std::optional<QPointF> pointerPosition() const;
  // A transparent layer over the raster, of the raster's size (a null image:
  // none): what is drawn over the picture without touching its pixels.
  void setOverlay(const QImage& overlay);
  const QImage& overlay() const { return overlay_; }

  // The scale the picture boxes made from now on take; 0 (the default) takes
  // the scale of the screen. Lets tests build the window for any scale.
  static void setScaleOverride(double scale);

 protected:
  void paintEvent(QPaintEvent*) override;
  void mouseMoveEvent(QMouseEvent*) override;

 private:
  int logicalWidth_, logicalHeight_;
  double scale_;
  Raster raster_;
  QImage overlay_;
  std::optional<QPointF> lastMove_;  // in screen pixels
};

// A label; with autoSize it takes its caption's size at once, so a handler
// that reads its width right after setting the caption sees the new width.
class Label : public QLabel {
  Q_OBJECT
 public:
  explicit Label(QWidget* parent, const QString& caption = {}, bool autoSize = false);
  void setCaption(const QString& c);
  QString caption() const { return text(); }
  void setForeColour(Colour c);
  void setBackColour(Colour c);  // makes the label opaque
  void setLeft(int left) { move(left, y()); }
  bool autoSize() const { return autoSize_; }
  std::function<void()> onMouseMove;
  std::function<void()> onClick;

 protected:
  void mouseMoveEvent(QMouseEvent*) override;
  void mouseReleaseEvent(QMouseEvent*) override;

 private:
  bool autoSize_;
};

// The colour of a text box whose text is not accepted: pale red.
inline constexpr Colour kRefusedTextColour = RGB(255, 192, 192);

// A single-line text box whose background colour can be set.
//
// A number in it steps by one unit of its last written decimal place with Up
// and Down, by ten with Page Up and Page Down, and with the mouse wheel over
// the box. The stepped text is set as the box's text, so it goes through the
// change handler as typed text does. A text the box refuses (pale red, or
// not read by readsAsNumber) is not stepped, nor is a step made into one.
class TextBox : public QLineEdit {
  Q_OBJECT
 public:
  explicit TextBox(QWidget* parent, const QString& text = {});
  void setBackColour(Colour c);
  Colour backColour() const { return back_; }
  // The box's change handler; it runs for every change of the text, typed or set from code.
  std::function<void()> onChange;
  // Whether the box reads a text as a number; unset, every plain decimal number.
  std::function<bool(const QString&)> readsAsNumber;
  // Steps the number by `units` units of its last decimal place; false when
  // nothing was stepped.
  bool stepNumber(int units);

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;

 private:
  Colour back_ = kSystemWindowBackground;
  int wheelEighths_ = 0;  // wheel turns not yet a whole step, in eighths of a degree
};

// A check box holding 0 (clear), 1 (ticked) or 2 (the grey third state).
// A user's click only ever toggles between ticked and clear.
class CheckBox : public QCheckBox {
  Q_OBJECT
 public:
  CheckBox(QWidget* parent, const QString& caption);
  int value() const;
  void setValue(int v);
  std::function<void()> onClick;     // raised by every change of the value
  std::function<void()> onValidate;  // raised when it is about to lose the focus

 protected:
  void nextCheckState() override;
  void focusOutEvent(QFocusEvent* e) override;
};

// An option button; all option buttons of a window form one group.
// Selecting one (by the user or from code) raises its click handler; clearing
// one raises none.
class OptionButton : public QRadioButton {
  Q_OBJECT
 public:
  OptionButton(QWidget* parent, const QString& caption);
  std::function<void()> onClick;
};

class CommandButton : public QPushButton {
  Q_OBJECT
 public:
  CommandButton(QWidget* parent, const QString& caption);
  std::function<void()> onClick;
};

// A shape: a rectangle or a rounded square with fill and border.
class Shape : public QWidget {
  Q_OBJECT
 public:
  enum Kind { Rectangle, RoundedSquare };
  Shape(QWidget* parent, Kind kind, Colour fill, Colour border, int borderWidth = 1);
  void setFillColour(Colour c);
  Colour fillColour() const { return fill_; }

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  Kind kind_;
  Colour fill_, border_;
  int borderWidth_;
};

// A straight line drawn on the window, from (x1, y1) to (x2, y2) in the parent's pixels.
class LineControl : public QWidget {
  Q_OBJECT
 public:
  // A colour of kDefaultLineColour draws in the window's text colour.
  static constexpr Colour kDefaultLineColour = 0x80000008u;
  LineControl(QWidget* parent, int x1, int y1, int x2, int y2, Colour colour = kDefaultLineColour,
              int width = 1);

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  QPoint a_, b_;
  Colour colour_;
  int width_;
};

// An image control showing a picture, which another image can share.
class ImageBox : public QLabel {
  Q_OBJECT
 public:
  ImageBox(QWidget* parent, const QString& resource = {});
  void sharePicture(const ImageBox& other) { setPixmap(other.pixmap()); }
};

// The one-shot timer of the window: interval, enabled state, tick handler.
class Timer : public QObject {
  Q_OBJECT
 public:
  Timer(QObject* parent, int intervalMs, bool enabled);
  bool enabled() const { return enabled_; }
  void setEnabled(bool e);
  std::function<void()> onTick;

 private:
  QTimer timer_;
  bool enabled_ = false;
};

// Sets the mouse pointer of a window.
void setMousePointer(QWidget* window, int kind, const QCursor& custom = {});
int mousePointer(const QWidget* window);

}  // namespace korvalen
