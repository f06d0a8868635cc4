#pragma once
// The two label behaviours the About window needs beyond a plain QLabel.
#include <QLabel>

namespace korvalen {

// A label that sizes itself to its caption. The new size is in effect as soon
// as setCaption returns, so code that reads width() right after sees it.
class AutoSizeLabel : public QLabel {
  Q_OBJECT
 public:
  explicit AutoSizeLabel(const QString& caption, QWidget* parent = nullptr);
  void setCaption(const QString& caption);
};

// A self-sizing label that reports the mouse moving over it and being clicked
// (pressed and released over it with the left button).
class LinkLabel : public AutoSizeLabel {
  Q_OBJECT
 public:
  explicit LinkLabel(const QString& caption, QWidget* parent = nullptr);

 signals:
  void mouseMoved();
  void clicked();

 protected:
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  bool pressed_ = false;
};

}  // namespace korvalen
