#pragma once
// "Параметры модели": the parameters of the selected added model, its factor,
// its published sets of parameters and the fitting of the factor. The values
// live in the main window's state; this window only shows and changes them,
// and follows the model and the values wherever they change.
#include <QDialog>
#include <QDoubleSpinBox>
#include <array>
#include <bitset>
#include <optional>
#include <utility>
#include <vector>

#include "observations/fit.h"
#include "photometry/planetary.h"

class QCheckBox;
class QComboBox;
class QRadioButton;
class QLabel;
class QPushButton;
class QVBoxLayout;

namespace korvalen {

class Form1;

// A number field that shows its value in the shortest form that reads back
// the same, in the user's locale, without group separators. Up, Down, the
// wheel (one unit) and Page Up, Page Down (ten) step the number by units of
// its last written decimal place, in the digits of its text, and keep that
// place ("0.10" up gives "0.11"); a text the field refuses, or a step beyond
// its range, is not stepped.
//
// It keeps every double of its range to the last bit, so that it shows the
// value in effect. A value the window does not take (out of the parameter's
// range, or a phase function that falls below 0) is shown pale red.
class ParameterBox : public QDoubleSpinBox {
  Q_OBJECT
 public:
  explicit ParameterBox(QWidget* parent);
  QString textFromValue(double value) const override;
  void stepBy(int steps) override;
  void setRefused(bool refused);
  bool refused() const { return refused_; }

 private:
  bool refused_ = false;
  // text stepped, or nullopt where the field would refuse the result.
  std::optional<QString> steppedText(const QString& text, int steps) const;
  QString stepped_;  // the text of the last step, shown while the value is its
};

class ModelWindow : public QDialog {
  Q_OBJECT
 public:
  explicit ModelWindow(Form1& form, QWidget* parent = nullptr);

  // The fields of the selected model, in the order the window shows them
  // (the factor last); empty for the four models of the main window.
  const std::vector<ParameterBox*>& fields() const { return fields_; }
  ParameterBox* factorBox() const { return factor_; }
  QComboBox* presetBox() const { return presets_; }
  QPushButton* fitButton() const { return fit_; }
  // Hapke's H function: 2002, 1981 and the exact one, indexed as HFunction.
  const std::array<QRadioButton*, 3>& hFunctionButtons() const { return hFunctionButtons_; }
  QRadioButton* variantBox() const { return hFunctionButtons_[static_cast<size_t>(HFunction::Form1981)]; }
  QLabel* noteLabel() const { return note_; }

  // ---- fitting to observations
  // Beside each field a parameter can be fitted by, a box "подбирать" makes it
  // free; its tick is kept for that parameter whichever model is shown.
  QCheckBox* freeBox(FitParameter id) const { return freeBoxes_[id]; }
  ParameterBox* fieldOf(FitParameter id) const { return fieldOf_[id]; }
  // The ticked parameters of the model shown, in the model's own order; empty
  // for the four models of the main window.
  std::vector<FitParameter> freeParameters() const;
  // Values of the shown model's parameters entered into their fields as typed
  // (rounded and limited as a field takes them), then taken by the program all
  // at once. Parameters without a field here are passed over.
  void enterValues(const std::vector<std::pair<FitParameter, double>>& values);
  // Puts a part of the window (the fitting's) below the model's fields, where
  // it stays whatever model is shown.
  void addSection(QWidget* section);

 signals:
  void freeParametersChanged();

 private:
  void rebuild();         // for the selected model
  void showValues();      // from the state into the fields, without echo
  void store(const PlanetaryParameters& p);
  void fitFactor();

  Form1& form_;
  QVBoxLayout* layout_ = nullptr;
  QWidget* body_ = nullptr;
  QLabel* note_ = nullptr;
  std::vector<ParameterBox*> fields_;
  ParameterBox* factor_ = nullptr;
  QComboBox* presets_ = nullptr;
  QPushButton* fit_ = nullptr;
  std::array<QRadioButton*, 3> hFunctionButtons_ = {};
  int32_t shownModel_ = 0;
  bool showing_ = false;  // the fields are being set from the state
  std::array<ParameterBox*, kFitParameterCount> fieldOf_{};
  std::array<QCheckBox*, kFitParameterCount> freeBoxes_{};
  std::bitset<kFitParameterCount> free_;
  // The field, with the box that frees its parameter where it has one.
  QWidget* withFreeBox(ParameterBox* box, std::optional<FitParameter> id);
};

}  // namespace korvalen
