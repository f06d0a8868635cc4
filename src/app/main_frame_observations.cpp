// "Файл → Открыть наблюдения…": the observations the parameter window fits to.
#include <QAction>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

#include "app/main_frame.h"
#include "main_window/form1.h"
#include "observation_window/observation_store.h"

namespace korvalen {

void MainFrame::buildObservationItems() {
  observations_ = new ObservationStore(this);
  openObservationsAction = new QAction(QStringLiteral("&Открыть наблюдения…"), this);
  openObservationsAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  // After the pictures' items, before "Выход".
  fileMenu->insertAction(quitAction, openObservationsAction);
  fileMenu->insertSeparator(quitAction);
  connect(openObservationsAction, &QAction::triggered, this,
          [this] { observations_->open(this, form_->saveDialogs()); });
  // The map marks the observations the program holds.
  connect(observations_, &ObservationStore::changed, this,
          [this] { form_->setObservations(observations_->table()); });
}

void MainFrame::buildObservationViewItems() {
  // At the end of "Вид": whether the map marks them, and how near its g.
  viewMenu->addSeparator();
  showMarksAction = new QAction(QStringLiteral("Показывать &наблюдения"), this);
  showMarksAction->setCheckable(true);
  showMarksAction->setChecked(form_->marksShown());
  connect(showMarksAction, &QAction::toggled, this, [this](bool on) { form_->setMarksShown(on); });
  markToleranceAction = new QAction(QStringLiteral("Наблюдения на &карте…"), this);
  connect(markToleranceAction, &QAction::triggered, this, &MainFrame::askMarkTolerance);
  viewMenu->addActions({showMarksAction, markToleranceAction});
}

// The tolerance in g of the marks, asked in a small dialog: a text that is
// not a number of degrees from 0 to 180 turns its box pale red and cannot be taken.
void MainFrame::askMarkTolerance() {
  QDialog dialog(this);
  dialog.setWindowTitle(QStringLiteral("Наблюдения на карте"));
  auto* layout = new QFormLayout(&dialog);
  auto* box = new QLineEdit(Form1::numberToText(form_->markTolerance()), &dialog);
  layout->addRow(QStringLiteral("&Допуск по фазовому углу g, °:"), box);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("ОК"));
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
  layout->addRow(buttons);
  const QPalette accepted = box->palette();
  auto reading = [box]() -> std::optional<double> {
    const std::optional<double> v = Form1::localeReading(box->text());
    if (v && *v >= 0 && *v <= 180) return v;
    return std::nullopt;
  };
  connect(box, &QLineEdit::textChanged, &dialog, [&] {
    QPalette p = accepted;
    if (!reading()) p.setColor(QPalette::Base, QColor(toArgb(kRefusedTextColour)));
    box->setPalette(p);
    buttons->button(QDialogButtonBox::Ok)->setEnabled(reading().has_value());
  });
  connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  if (dialog.exec() == QDialog::Accepted)
    if (const std::optional<double> v = reading()) form_->setMarkTolerance(*v);
}

}  // namespace korvalen
