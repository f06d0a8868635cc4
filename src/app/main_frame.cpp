#include "app/main_frame.h"

#include <QActionGroup>
#include <QApplication>
#include <QKeyEvent>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>

#include "main_window/form1.h"
#include "model_window/model_window.h"
#include "observation_window/fit_panel.h"
#include "profile_window/profile_window.h"
#include "toolkit/guard.h"

namespace korvalen {

MainFrame::MainFrame(QWidget* parent) : QMainWindow(parent) {
  form_ = new Form1(this);
  setCentralWidget(form_);
  setWindowTitle(form_->windowTitle());
  setWindowIcon(form_->windowIcon());
  // The form keeps its size; the window is the form and the bar above it.
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  buildFileMenu();
  buildObservationItems();
  buildModelMenu();
  buildViewMenu();
  buildObservationViewItems();
  helpMenu = menuBar()->addMenu(QStringLiteral("&Справка"));
  QAction* about = helpMenu->addAction(QStringLiteral("&О программе"));
  connect(about, &QAction::triggered, this, [this] { form_->Command2->click(); });
  connect(form_, &Form1::surfaceModelChanged, this, [this] { showModelInMenu(); });
  showModelInMenu();
  qApp->installEventFilter(this);
  // Last, once every menu holds its items.
  shareMenuShortcuts(menuBar());
}

void shareMenuShortcuts(const QWidget* menus) {
  for (QAction* a : menus->actions()) {
    if (const QMenu* sub = a->menu()) {
      shareMenuShortcuts(sub);
    } else if (!a->shortcut().isEmpty() && a->shortcutContext() == Qt::WindowShortcut) {
      // Qt still keeps it from a window that a modal dialog shuts out.
      a->setShortcutContext(Qt::ApplicationShortcut);
    }
  }
}

void MainFrame::buildFileMenu() {
  fileMenu = menuBar()->addMenu(QStringLiteral("&Файл"));
  // Each item does what the picture menus' item does, and is enabled as it is.
  auto mirror = [this](const QString& text, QAction* original) {
    QAction* a = fileMenu->addAction(text);
    connect(a, &QAction::triggered, original, &QAction::trigger);
    auto follow = [a, original] { a->setEnabled(original->isEnabled()); };
    connect(original, &QAction::changed, a, follow);
    follow();
    return a;
  };
  mirror(QStringLiteral("&Копировать карту"), form_->copyMapAction);
  QAction* save = mirror(QStringLiteral("&Сохранить карту…"), form_->saveMapAction);
  // Shown beside the item; the window's own Ctrl+S (the map menu's) does the saving.
  save->setShortcut(form_->saveMapAction->shortcut());
  save->setShortcutContext(Qt::WidgetShortcut);
  mirror(QStringLiteral("Сохранить &значения…"), form_->saveValuesAction);
  mirror(QStringLiteral("Сохранить &пример…"), form_->saveExampleAction);
  fileMenu->addSeparator();
  quitAction = fileMenu->addAction(QStringLiteral("&Выход"));
  quitAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
  connect(quitAction, &QAction::triggered, this, &QWidget::close);
}

void MainFrame::buildModelMenu() {
  modelMenu = menuBar()->addMenu(QStringLiteral("&Модель"));
  models_ = new QActionGroup(this);
  models_->setExclusive(true);
  auto item = [this](int32_t model, const QString& text) {
    QAction* a = modelMenu->addAction(text);
    a->setCheckable(true);
    models_->addAction(a);
    modelActions[static_cast<size_t>(model)] = a;
    return a;
  };
  // The four of the form select their option button as a click does.
  const std::pair<int32_t, OptionButton*> buttons[] = {
      {kMatte, form_->Option1}, {kRocky, form_->Option3}, {kGlossy, form_->Option2}, {kMirror, form_->Option4}};
  const QString names[] = {QStringLiteral("&Матовая (ламбертова)"), QStringLiteral("&Каменистая"),
                           QStringLiteral("&Глянцевая"), QStringLiteral("&Зеркальная")};
  for (int k = 0; k < 4; ++k) {
    OptionButton* button = buttons[k].second;
    connect(item(buttons[k].first, names[k]), &QAction::triggered, this,
            [this, button] {
              button->setChecked(true);
              showModelInMenu();
            });
  }
  modelMenu->addSeparator();
  const std::pair<int32_t, QString> added[] = {
      {kLommelSeeliger, QStringLiteral("&Ломмеля — Зеелигера")},
      {kMinnaert, QStringLiteral("М&иннарта")},
      {kLunarLambert, QStringLiteral("Л&унно-ламбертова")},
      {kAkimov, QStringLiteral("&Акимова")},
      {kHapke, QStringLiteral("&Хапке")},
  };
  for (const auto& [model, text] : added) {
    connect(item(model, text), &QAction::triggered, this, [this, model = model] {
      runGuarded([&] { form_->selectPlanetaryModel(model); });
      showModelInMenu();
    });
  }
  modelMenu->addSeparator();
  parametersAction = modelMenu->addAction(QStringLiteral("&Параметры модели…"));
  parametersAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
  connect(parametersAction, &QAction::triggered, this, &MainFrame::showModelWindow);
}

void MainFrame::buildViewMenu() {
  viewMenu = menuBar()->addMenu(QStringLiteral("&Вид"));
  profilesAction = viewMenu->addAction(QStringLiteral("&Профили φ…"));
  // Not Ctrl+K: the text boxes delete to the end of the line with it.
  profilesAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P));
  connect(profilesAction, &QAction::triggered, this, &MainFrame::showProfileWindow);
  compareAction = viewMenu->addAction(QStringLiteral("&Сравнить с…"));
  connect(compareAction, &QAction::triggered, form_, &Form1::showCompareDialog);
  viewMenu->addSeparator();
  liveShadingAction = viewMenu->addAction(QStringLiteral("Тонировать при каждом изменении"));
  liveShadingAction->setCheckable(true);
  connect(liveShadingAction, &QAction::toggled, this, [this](bool on) { form_->setLiveShading(on); });
  isolineColoursMenu = viewMenu->addMenu(QStringLiteral("Цвета изолиний"));
  auto* colours = new QActionGroup(this);
  colours->setExclusive(true);
  const QString names[] = {QStringLiteral("Как в легенде"), QStringLiteral("Различимые для всех")};
  for (int16_t k : {kLegendColours, kDistinctColours}) {
    QAction* a = isolineColoursMenu->addAction(names[k]);
    a->setCheckable(true);
    colours->addAction(a);
    isolineColoursActions[static_cast<size_t>(k)] = a;
    connect(a, &QAction::triggered, this, [this, k] { form_->setIsolineColours(k); });
  }
  levelsFromMapAction = viewMenu->addAction(QStringLiteral("&Уровни по карте"));
  levelsFromMapAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
  connect(levelsFromMapAction, &QAction::triggered, this, [this] { form_->setLevelsFromMap(); });
  // The checks follow the form, whoever changed it (the command line too).
  auto follow = [this] {
    liveShadingAction->setChecked(form_->liveShading());
    isolineColoursActions[form_->st.iso.isolineColours == kDistinctColours ? 1 : 0]->setChecked(true);
  };
  connect(form_, &Form1::viewOptionsChanged, this, follow);
  follow();
}

// The menu's check follows the model, however it was chosen.
void MainFrame::showModelInMenu() {
  const int32_t model = form_->st.lm.surfaceModel;
  QAction* a = model >= 1 && model <= 9 ? modelActions[static_cast<size_t>(model)] : nullptr;
  if (a) {
    a->setChecked(true);
  } else if (QAction* checked = models_->checkedAction()) {
    checked->setChecked(false);
  }
}

void MainFrame::showModelWindow() {
  if (!modelWindow_) {
    modelWindow_ = new ModelWindow(*form_, this);
    modelWindow_->addSection(new FitPanel(*form_, *modelWindow_, *observations_));
  }
  modelWindow_->show();
  modelWindow_->raise();
  modelWindow_->activateWindow();
}

void MainFrame::showProfileWindow() {
  if (!profileWindow_) profileWindow_ = new ProfileWindow(*form_, *observations_, this);
  profileWindow_->show();
  profileWindow_->raise();
  profileWindow_->activateWindow();
}

void MainFrame::openMenuBar() { menuBar()->setActiveAction(fileMenu->menuAction()); }

// F10, and Alt pressed and released alone, open the menu bar from the
// keyboard where the window style does not do it itself.
bool MainFrame::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::MouseButtonPress)
    return QMainWindow::eventFilter(watched, event);
  auto* w = qobject_cast<QWidget*>(watched);
  if (!w || w->window() != this || !isActiveWindow()) return QMainWindow::eventFilter(watched, event);
  if (type == QEvent::MouseButtonPress) {
    altAlone_ = false;
    return QMainWindow::eventFilter(watched, event);
  }
  auto* e = static_cast<QKeyEvent*>(event);
  if (e->isAutoRepeat()) return QMainWindow::eventFilter(watched, event);
  if (type == QEvent::KeyPress) {
    if (e->key() == Qt::Key_F10 && e->modifiers() == Qt::NoModifier) {
      openMenuBar();
      return true;
    }
    altAlone_ = e->key() == Qt::Key_Alt && (e->modifiers() & ~Qt::AltModifier) == Qt::NoModifier;
    return QMainWindow::eventFilter(watched, event);
  }
  if (e->key() == Qt::Key_Alt && altAlone_ &&
      !style()->styleHint(QStyle::SH_MenuBar_AltKeyNavigation, nullptr, this)) {
    altAlone_ = false;
    openMenuBar();
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

}  // namespace korvalen
