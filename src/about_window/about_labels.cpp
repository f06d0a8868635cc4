#include "about_window/about_labels.h"

#include <QMouseEvent>

namespace korvalen {

AutoSizeLabel::AutoSizeLabel(const QString& caption, QWidget* parent) : QLabel(parent) {
  setTextFormat(Qt::PlainText);
  setCaption(caption);
}

void AutoSizeLabel::setCaption(const QString& caption) {
  setText(caption);
  resize(sizeHint());
}

LinkLabel::LinkLabel(const QString& caption, QWidget* parent) : AutoSizeLabel(caption, parent) {
  // Moves without a button pressed reach only widgets that track the mouse.
  setMouseTracking(true);
}

void LinkLabel::mouseMoveEvent(QMouseEvent* event) {
  event->accept();
  emit mouseMoved();
}

void LinkLabel::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) pressed_ = true;
  event->accept();
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
  const bool click = pressed_ && event->button() == Qt::LeftButton &&
                     rect().contains(event->position().toPoint());
  if (event->button() == Qt::LeftButton) pressed_ = false;
  event->accept();
  if (click) emit clicked();
}

}  // namespace korvalen
