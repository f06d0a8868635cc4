#pragma once
// frmAbout: the About window with the program's description, version, date,
// author and a link to its web page.
#include <QColor>
#include <QDialog>
#include <QPoint>
#include <array>

#include "toolkit/controls.h"

class QPushButton;

namespace korvalen {

// A program version: major.minor.build.revision.
struct ProgramVersion {
  int major;
  int minor;
  int build;
  int revision;
};

// The version this program was built as.
ProgramVersion programVersion();

class frmAbout : public QDialog {
  Q_OBJECT
 public:
  // `version` is what the window reports; the program always shows its own.
  explicit frmAbout(QWidget* owner = nullptr, ProgramVersion version = programVersion());

  // The window's controls under their names. Each is a child of the window,
  // which owns and destroys it.
  QLabel* Picture1;
  QLabel* lblTitle;
  Label* lblVersion;
  QLabel* Label1;
  QLabel* lblDescription;
  QLabel* lblDisclaimer;
  Label* Label2;
  QPushButton* cmdOK;
  QLabel* Image1;

  // Esc and closing the window act as the OK button does.
  void reject() override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  // A line of the window, painted on its surface (it takes no mouse input,
  // so the mouse over it is over the window itself).
  struct LineControl {
    QPoint from;
    QPoint to;
    QColor colour;
    int width;
  };

  void Form_Load();
  void Form_MouseMove();
  void Label2_MouseMove();
  void Label2_Click();
  void cmdOK_Click();
  // A colour of the link as it reads on the window's background.
  QColor linkColour(const QColor& colour) const;

  ProgramVersion version_;
  std::array<LineControl, 2> Line1;
};

// Opens the About window modally over `owner` and returns when the user has
// closed it. Every call builds the window afresh and destroys it on return.
void showAbout(QWidget* owner);

}  // namespace korvalen
