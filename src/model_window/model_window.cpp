#include "model_window/model_window.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QStyle>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <functional>

#include "export/parameter_fields.h"
#include "main_window/form1.h"
#include "photometry/geometry.h"
#include "toolkit/guard.h"
#include "toolkit/number_steps.h"

namespace korvalen {

namespace {

// One parameter of a model: its caption, its range and where it lives.
struct Field {
  QString caption;
  ParameterRange range;
  std::function<double&(PlanetaryParameters&)> value;
};

// A published set of parameters, with where it comes from.
struct Preset {
  QString name, source;
  std::function<void(PlanetaryParameters&)> apply;
};

QString modelName(int32_t model) {
  switch (model) {
    case kLommelSeeliger: return QStringLiteral("Ломмеля — Зеелигера");
    case kMinnaert: return QStringLiteral("Миннарта");
    case kLunarLambert: return QStringLiteral("Лунно-ламбертова");
    case kAkimov: return QStringLiteral("Акимова");
    case kHapke: return QStringLiteral("Хапке");
    default: return {};
  }
}

std::vector<Field> fieldsOf(int32_t model) {
  switch (model) {
    case kMinnaert:
      return {{QStringLiteral("Показатель k"), kMinnaertKRange,
               [](PlanetaryParameters& p) -> double& { return p.minnaertK; }}};
    case kLunarLambert:
      return {{QStringLiteral("Доля L"), kLunarLRange,
               [](PlanetaryParameters& p) -> double& { return p.lunarL; }}};
    case kAkimov:
      return {{QStringLiteral("Показатель η"), kAkimovEtaRange,
               [](PlanetaryParameters& p) -> double& { return p.akimovEta; }}};
    case kHapke:
      return {
          {QStringLiteral("Альбедо однократного рассеяния w"), kHapkeWRange,
           [](PlanetaryParameters& p) -> double& { return p.hapke.w; }},
          {QStringLiteral("Асимметрия индикатрисы b"), kHapkeBRange,
           [](PlanetaryParameters& p) -> double& { return p.hapke.b; }},
          {QStringLiteral("Доля обратного рассеяния c"), kHapkeCRange,
           [](PlanetaryParameters& p) -> double& { return p.hapke.c; }},
          {QStringLiteral("Амплитуда оппозиционного эффекта B₀"), kHapkeB0Range,
           [](PlanetaryParameters& p) -> double& { return p.hapke.b0; }},
          {QStringLiteral("Ширина оппозиционного пика h"), kHapkeHRange,
           [](PlanetaryParameters& p) -> double& { return p.hapke.h; }},
          {QStringLiteral("Шероховатость θ̄, °"), kHapkeThetaRange,
           [](PlanetaryParameters& p) -> double& { return p.hapke.thetaBar; }},
          {QStringLiteral("Коэффициент заполнения φ (0 — без пористости)"), kHapkePorosityRange,
           [](PlanetaryParameters& p) -> double& { return p.hapke.porosity; }},
          {QStringLiteral("Когерентное обратное рассеяние Bc₀"), kHapkeBc0Range,
           [](PlanetaryParameters& p) -> double& { return p.hapke.bc0; }},
          {QStringLiteral("Ширина его пика hc"), kHapkeHcRange,
           [](PlanetaryParameters& p) -> double& { return p.hapke.hc; }},
      };
    default: return {};
  }
}

// The parameter a field holds, where the model can be fitted by it.
std::optional<FitParameter> fitParameterOf(int32_t model, const Field& f) {
  PlanetaryParameters probe;
  const double* held = &f.value(probe);
  for (FitParameter id : fitParametersOf(model))
    if (&fitField(probe, id) == held) return id;
  return std::nullopt;
}

std::vector<Preset> presetsOf(int32_t model) {
  switch (model) {
    case kMinnaert:
      return {{QStringLiteral("Луна (k = 0,5)"), QStringLiteral("Minnaert 1941, ApJ 93, 403"),
               [](PlanetaryParameters& p) { p.minnaertK = 0.5; }}};
    case kLunarLambert:
      return {{QStringLiteral("Луна, L(g) по МакЮэну"), QStringLiteral("McEwen 1996, LPSC 27, 841"),
               [](PlanetaryParameters& p) { p.lunarLOfPhase = true; }}};
    case kAkimov:
      return {{QStringLiteral("Акимов (η = 1)"),
               QStringLiteral("Akimov 1988; Shkuratov et al. 2011, PSS 59, 1326"),
               [](PlanetaryParameters& p) { p.akimovEta = 1; }}};
    case kHapke: {
      // The factor stays where it is: only the model's own parameters change.
      std::vector<Preset> sets;
      for (const HapkePreset& h : kHapkePresets)
        sets.push_back({QString::fromUtf8(h.name), QString::fromUtf8(h.source),
                        [h](PlanetaryParameters& p) { p.hapke = h.p; }});
      return sets;
    }
    default: return {};
  }
}

}  // namespace

ParameterBox::ParameterBox(QWidget* parent) : QDoubleSpinBox(parent) {
  QLocale l;
  l.setNumberOptions(l.numberOptions() | QLocale::OmitGroupSeparator);
  setLocale(l);
  setDecimals(kParameterDecimals);
  setKeyboardTracking(false);
  setAccelerated(true);
  // A text typed over a step is the user's own again.
  connect(lineEdit(), &QLineEdit::textEdited, this, [this] { stepped_.clear(); });
}

QString ParameterBox::textFromValue(double value) const {
  if (!stepped_.isEmpty() && valueFromText(stepped_) == value) return stepped_;
  return locale().toString(value, 'f', QLocale::FloatingPointShortest);
}

void ParameterBox::stepBy(int steps) {
  QString text = cleanText();
  int at = 0;
  if (validate(text, at) != QValidator::Acceptable) return;
  const std::optional<QString> next = steppedText(text, steps);
  if (next) {
    stepped_ = *next;
    // As a value typed in: the change handler takes it.
    setValue(valueFromText(*next));
  } else {
    // No step at a bound of the range; a value typed before it still counts.
    interpretText();
  }
  if (style()->styleHint(QStyle::SH_SpinBox_SelectOnStep, nullptr, this)) selectAll();
}

void ParameterBox::setRefused(bool refused) {
  if (refused == refused_) return;
  refused_ = refused;
  if (!refused) {
    setPalette(QPalette());  // the scheme's own again
    return;
  }
  // The pale red of a text the main window does not accept, with the text of
  // a light scheme, which reads on it in a dark scheme too.
  QPalette pal = palette();
  for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    pal.setColor(group, QPalette::Base, QColor(255, 192, 192));
    pal.setColor(group, QPalette::Text, QColor(0, 0, 0));
  }
  setPalette(pal);
}

std::optional<QString> ParameterBox::steppedText(const QString& text, int steps) const {
  // A point or comma that is not the locale's decimal separator is a group
  // separator or a mistake, not a place to step.
  const QString separator = locale().decimalPoint();
  for (QChar c : {QLatin1Char('.'), QLatin1Char(',')})
    if (text.contains(c) && separator != QString(c)) return std::nullopt;
  const QString minus = locale().negativeSign();
  std::optional<QString> next =
      steppedNumberText(text, steps, minus.size() == 1 ? minus[0] : QLatin1Char('-'));
  int at = 0;
  if (!next || validate(*next, at) != QValidator::Acceptable) return std::nullopt;
  const double v = valueFromText(*next);
  if (v < minimum() || v > maximum()) return std::nullopt;
  return next;
}

ModelWindow::ModelWindow(Form1& form, QWidget* parent) : QDialog(parent), form_(form) {
  setWindowTitle(QStringLiteral("Параметры модели"));
  setModal(false);
  layout_ = new QVBoxLayout(this);
  layout_->setSizeConstraint(QLayout::SetFixedSize);
  rebuild();
  connect(&form_, &Form1::surfaceModelChanged, this, [this] {
    if (form_.st.lm.surfaceModel != shownModel_) rebuild();
  });
  connect(&form_, &Form1::planetaryParametersChanged, this, [this] { showValues(); });
  // L(g) follows the inclination.
  connect(&form_, &Form1::curveInputsChanged, this, [this] { showValues(); });
}

void ModelWindow::rebuild() {
  delete body_;
  fields_.clear();
  factor_ = nullptr;
  presets_ = nullptr;
  fit_ = nullptr;
  hFunctionButtons_ = {};
  fieldOf_.fill(nullptr);
  freeBoxes_.fill(nullptr);
  shownModel_ = form_.st.lm.surfaceModel;
  body_ = new QWidget(this);
  layout_->insertWidget(0, body_);
  auto* column = new QVBoxLayout(body_);
  column->setContentsMargins(0, 0, 0, 0);
  note_ = new QLabel(body_);
  column->addWidget(note_);
  if (!isPlanetaryModel(shownModel_)) {
    note_->setText(QStringLiteral("Параметры этой модели задаются в главном окне."));
    return;
  }
  note_->setText(QStringLiteral("Модель: ") + modelName(shownModel_));
  auto* form = new QFormLayout;
  column->addLayout(form);

  const std::vector<Preset> presets = presetsOf(shownModel_);
  if (!presets.empty()) {
    presets_ = new QComboBox(body_);
    presets_->addItem(QStringLiteral("Свои значения"));
    for (const Preset& p : presets) {
      presets_->addItem(p.name);
      presets_->setItemData(presets_->count() - 1, p.source, Qt::ToolTipRole);
    }
    auto* caption = new QLabel(QStringLiteral("&Набор параметров"), body_);
    caption->setBuddy(presets_);
    form->addRow(caption, presets_);
    connect(presets_, &QComboBox::activated, this, [this, presets](int index) {
      PlanetaryParameters p = form_.st.lm.planetary;
      if (index < 1) {
        // "Свои значения": L no longer follows the phase; L is the user's own again.
        if (!p.lunarLOfPhase) return;
        p.lunarLOfPhase = false;
        store(p);
        return;
      }
      presets[static_cast<size_t>(index - 1)].apply(p);
      store(p);
      presets_->setCurrentIndex(index);
    });
  }

  const std::vector<Field> fields = fieldsOf(shownModel_);
  for (const Field& f : fields) {
    auto* box = new ParameterBox(body_);
    const FieldBounds bounds = fieldBoundsOf(f.range);
    box->setRange(bounds.low, bounds.high);
    auto* caption = new QLabel(f.caption, body_);
    caption->setBuddy(box);
    form->addRow(caption, withFreeBox(box, fitParameterOf(shownModel_, f)));
    fields_.push_back(box);
    connect(box, &QDoubleSpinBox::valueChanged, this, [this, f, box](double v) {
      if (showing_) return;
      PlanetaryParameters p = form_.st.lm.planetary;
      f.value(p) = v;
      // Refused, the value in effect stays: one out of the range (the field
      // widened to show an L(g) below 0), or a phase function below 0.
      const bool refused =
          !f.range.holds(v) || (shownModel_ == kHapke && !phaseFunctionNonNegative(p.hapke.b, p.hapke.c));
      box->setRefused(refused);
      if (refused) return;
      // A value typed in is the user's own: L no longer follows the phase.
      if (form_.st.lm.surfaceModel == kLunarLambert) p.lunarLOfPhase = false;
      if (presets_) presets_->setCurrentIndex(0);
      store(p);
    });
  }

  if (shownModel_ == kHapke) {
    // The H function: one of three, indexed as HFunction.
    const struct {
      QString text, tip;
    } choices[] = {
        {QStringLiteral("H-функция &2002"), QStringLiteral("Приближение Хапке 2002 года, точное до 1 %")},
        {QStringLiteral("H-функция &1981"),
         QStringLiteral("Совместимый вариант: H-функция 1981 года, (1 + 2x)/(1 + 2γx), как в наборах, "
                        "подобранных средствами планетного картографирования")},
        {QStringLiteral("&Точная H-функция"),
         QStringLiteral("H-функция Чандрасекара для изотропного рассеяния, точная до 1e-7")},
    };
    auto* group = new QButtonGroup(body_);
    for (size_t k = 0; k < hFunctionButtons_.size(); ++k) {
      hFunctionButtons_[k] = new QRadioButton(choices[k].text, body_);
      hFunctionButtons_[k]->setToolTip(choices[k].tip);
      group->addButton(hFunctionButtons_[k], static_cast<int>(k));
      form->addRow(hFunctionButtons_[k]);
    }
    connect(group, &QButtonGroup::idToggled, this, [this](int id, bool on) {
      if (showing_ || !on) return;
      PlanetaryParameters p = form_.st.lm.planetary;
      p.hapke.hFunction = static_cast<HFunction>(id);
      if (presets_) presets_->setCurrentIndex(0);
      store(p);
    });
  }

  factor_ = new ParameterBox(body_);
  factor_->setRange(kFactorRange.low, kFactorRange.high);
  auto* factorCaption = new QLabel(QStringLiteral("&Множитель"), body_);
  factorCaption->setBuddy(factor_);
  form->addRow(factorCaption, withFreeBox(factor_, kFitFactor));
  connect(factor_, &QDoubleSpinBox::valueChanged, this, [this](double v) {
    if (showing_) return;
    PlanetaryParameters p = form_.st.lm.planetary;
    p.factor = v;
    store(p);
  });

  fit_ = new QPushButton(QStringLiteral("&Подобрать множитель"), body_);
  fit_->setAutoDefault(false);
  fit_->setToolTip(QStringLiteral("Множитель, при котором самая яркая освещённая точка видимой "
                                  "полусферы, какую может показать карта, при нынешнем наклоне "
                                  "источника равна 1"));
  column->addWidget(fit_);
  connect(fit_, &QPushButton::clicked, this, [this] { fitFactor(); });
  showValues();
}

void ModelWindow::showValues() {
  if (form_.st.lm.surfaceModel != shownModel_) rebuild();
  if (!factor_) return;
  showing_ = true;
  PlanetaryParameters p = form_.st.lm.planetary;
  const std::vector<Field> fields = fieldsOf(shownModel_);
  for (size_t k = 0; k < fields.size(); ++k) {
    const FieldBounds bounds = fieldBoundsOf(fields[k].range);
    double value = fields[k].value(p);
    if (shownModel_ == kLunarLambert && p.lunarLOfPhase) {
      // L follows the phase: the field shows the L in effect at the present
      // inclination, below 0 too beyond 104 degrees.
      value = planetaryConstantsOf(kLunarLambert, p, form_.st.lm.sourceInclination, form_.st.lm.cosG).lunarL;
      presets_->setCurrentIndex(1);
    }
    fields_[k]->setRange(std::min(bounds.low, value), std::max(bounds.high, value));
    fields_[k]->setValue(value);
    fields_[k]->setRefused(false);
  }
  factor_->setValue(p.factor);
  if (hFunctionButtons_[0]) hFunctionButtons_[static_cast<size_t>(p.hapke.hFunction)]->setChecked(true);
  showing_ = false;
}

void ModelWindow::store(const PlanetaryParameters& p) {
  runGuarded([&] { form_.setPlanetaryParameters(p); });
}

void ModelWindow::fitFactor() {
  const LightAndModel& lm = form_.st.lm;
  PlanetaryParameters p = lm.planetary;
  const std::optional<double> factor = fittedFactor(lm.surfaceModel, p, lm.sourceInclination, lm.cosG,
                                                    outermostPixelCosE(form_.st.view.unitsPerPixel));
  if (!factor) return;
  // Through the field, so that the factor in effect is the one it shows.
  factor_->setValue(*factor);
}

QWidget* ModelWindow::withFreeBox(ParameterBox* box, std::optional<FitParameter> id) {
  if (!id) return box;
  fieldOf_[*id] = box;
  auto* row = new QWidget(body_);
  auto* line = new QHBoxLayout(row);
  line->setContentsMargins(0, 0, 0, 0);
  box->setParent(row);
  line->addWidget(box, 1);
  auto* free = new QCheckBox(QStringLiteral("подбирать"), row);
  free->setToolTip(QStringLiteral("Подбирать этот параметр по наблюдениям; без отметки он "
                                  "остаётся таким, как в поле"));
  free->setChecked(free_[*id]);
  line->addWidget(free);
  freeBoxes_[*id] = free;
  connect(free, &QCheckBox::toggled, this, [this, id = *id](bool on) {
    free_[id] = on;
    emit freeParametersChanged();
  });
  return row;
}

std::vector<FitParameter> ModelWindow::freeParameters() const {
  std::vector<FitParameter> out;
  if (!isPlanetaryModel(shownModel_)) return out;
  for (FitParameter id : fitParametersOf(shownModel_))
    if (free_[id] && fieldOf_[id]) out.push_back(id);
  return out;
}

void ModelWindow::enterValues(const std::vector<std::pair<FitParameter, double>>& values) {
  if (form_.st.lm.surfaceModel != shownModel_) rebuild();
  PlanetaryParameters p = form_.st.lm.planetary;
  bool any = false;
  showing_ = true;
  for (const auto& [id, v] : values) {
    ParameterBox* box = fieldOf_[id];
    if (!box || !std::isfinite(v)) continue;
    box->setValue(v);
    fitField(p, id) = box->value();
    // As typed: L no longer follows the phase.
    if (id == kFitL) p.lunarLOfPhase = false;
    any = true;
  }
  showing_ = false;
  if (!any) return;
  // A pair (b, c) whose phase function falls below 0 is refused here too.
  if (shownModel_ == kHapke && !phaseFunctionNonNegative(p.hapke.b, p.hapke.c)) {
    for (FitParameter id : {kFitB, kFitC})
      if (fieldOf_[id]) fieldOf_[id]->setRefused(true);
    return;
  }
  if (presets_) presets_->setCurrentIndex(0);
  store(p);
}

void ModelWindow::addSection(QWidget* section) {
  section->setParent(this);
  layout_->addWidget(section);
}

}  // namespace korvalen
