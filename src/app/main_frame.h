#pragma once
// The program's window: the menu bar above the main form, which stays as it
// is below it. The menus reach what goes beyond the form: the files, the
// models of planetary photometry and their parameter window, the curves of
// phi, the About window.
#include <QMainWindow>
#include <array>

class QAction;
class QActionGroup;
class QMenu;
class QWidget;

namespace korvalen {

class Form1;
class ModelWindow;
class ObservationStore;
class ProfileWindow;

// Makes the shortcuts of the items of `menus` (a menu bar or a menu, and the
// menus within) work wherever one of the program's windows has focus, not
// only in the window that holds them: the windows beside the form have no
// menu bar of their own. An item whose shortcut is only shown beside it, for a
// widget's own shortcut that does the work, is left as it is, so that no key
// is claimed twice.
void shareMenuShortcuts(const QWidget* menus);

class MainFrame : public QMainWindow {
  Q_OBJECT
 public:
  explicit MainFrame(QWidget* parent = nullptr);

  Form1& form() const { return *form_; }
  // The parameter window, made on first use and kept.
  ModelWindow* modelWindow() const { return modelWindow_; }
  void showModelWindow();
  // The window of the curves, made on first use and kept.
  ProfileWindow* profileWindow() const { return profileWindow_; }
  void showProfileWindow();
  // The observations the program holds, which the parameter window fits to.
  ObservationStore& observations() const { return *observations_; }

  QMenu* fileMenu = nullptr;
  QMenu* modelMenu = nullptr;
  QMenu* viewMenu = nullptr;
  QMenu* helpMenu = nullptr;
  // The model items by surfaceModel, 1..9 (0 unused).
  std::array<QAction*, 10> modelActions{};
  QAction* parametersAction = nullptr;
  QAction* profilesAction = nullptr;
  QAction* compareAction = nullptr;
  QAction* quitAction = nullptr;
  QAction* openObservationsAction = nullptr;
  QAction* liveShadingAction = nullptr;
  QMenu* isolineColoursMenu = nullptr;
  QAction* levelsFromMapAction = nullptr;  // "Уровни по карте", Ctrl+L
  QAction* showMarksAction = nullptr;      // "Показывать наблюдения"
  QAction* markToleranceAction = nullptr;  // "Наблюдения на карте…"
  // "Как в легенде" and "Различимые для всех", indexed as IsolineColours.
  std::array<QAction*, 2> isolineColoursActions{};

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildFileMenu();
  void buildModelMenu();
  void buildViewMenu();
  void buildObservationItems();
  void buildObservationViewItems();
  void askMarkTolerance();
  void showModelInMenu();
  void openMenuBar();

  Form1* form_ = nullptr;
  ModelWindow* modelWindow_ = nullptr;
  ProfileWindow* profileWindow_ = nullptr;
  ObservationStore* observations_ = nullptr;
  QActionGroup* models_ = nullptr;
  bool altAlone_ = false;  // Alt pressed and no other key since
};

}  // namespace korvalen
