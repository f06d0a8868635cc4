// "Файл → Открыть наблюдения…": the observations the parameter window fits to.
#include <QAction>
#include <QMenu>

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
}

}  // namespace korvalen
