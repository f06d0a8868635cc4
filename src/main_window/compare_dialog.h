#pragma once
// "Сравнение моделей": the non-modal window of a comparison of two models. It
// names model B, offers the ratio or the difference, the isolines' levels,
// taking the model the main window has now as B, and the way back to the
// normal map. It holds no state of its own: the main window shows its state
// in it and acts on what the user does.
#include <QDialog>
#include <QLocale>
#include <QString>

#include "comparison/model_comparison.h"
#include "toolkit/controls.h"

class QLabel;
class QPushButton;
class QRadioButton;

namespace korvalen {

// The state of a comparison the main window keeps beside its own.
struct ComparisonSettings {
  bool on = false;
  ComparedModel b;
  ComparisonKind kind = ComparisonKind::Ratio;
  std::vector<double> levels[2] = {defaultComparisonLevels(ComparisonKind::Ratio),
                                   defaultComparisonLevels(ComparisonKind::Difference)};
  const std::vector<double>& levelsInEffect() const { return levels[static_cast<int>(kind)]; }
};

// Model B as the dialog names it: the model and its parameters, in the locale.
QString comparedModelText(const ComparedModel& m, const QLocale& locale);

// The levels as the box shows them (numbers in the locale, separated by
// spaces) and read back: none for a text that is not 1 to 20 numbers.
QString levelsText(const std::vector<double>& levels, const QLocale& locale);
std::optional<std::vector<double>> readLevelsText(const QString& text, const QLocale& locale);

class CompareDialog : public QDialog {
  Q_OBJECT
 public:
  explicit CompareDialog(QWidget* parent);
  // Shows the settings: model B, the kind, the levels in effect (the box's
  // text is kept while the user is typing a list it does not accept).
  void showSettings(const ComparisonSettings& s);
  // Whether the levels' box holds a list it accepts (otherwise pale red).
  void markLevels(bool accepted);

  QLabel* modelLabel = nullptr;
  QRadioButton* ratioButton = nullptr;
  QRadioButton* differenceButton = nullptr;
  TextBox* levelsBox = nullptr;
  QPushButton* takeButton = nullptr;
  QPushButton* normalMapButton = nullptr;
  QPushButton* closeButton = nullptr;

 signals:
  void kindChosen(korvalen::ComparisonKind kind);
  void levelsTyped(const QString& text);
  void takeCurrentModel();
  void normalMapChosen();
};

}  // namespace korvalen
