#include "main_window/compare_dialog.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QVBoxLayout>
#include <array>
#include <cmath>

#include "export/comparison_options.h"
#include "photometry/planetary.h"

namespace korvalen {

QString comparedModelText(const ComparedModel& m, const QLocale& l) {
  static const std::array<const char*, 10> names = {
      "",         "матовая (ламбертова)", "глянцевая",        "каменистая", "зеркальная",
      "Ломмеля — Зеелигера", "Миннарта", "лунно-ламбертова", "Акимова",    "Хапке"};
  const size_t k = static_cast<size_t>(m.surfaceModel);
  QString text = QString::fromUtf8(k < names.size() ? names[k] : "");
  auto num = [&l](double v) { return l.toString(v, 'g', 6); };
  QStringList parts;
  const PlanetaryParameters& p = m.planetary;
  switch (m.surfaceModel) {
    case kGlossy:
      parts << QStringLiteral("s = %1").arg(num(m.specularShare)) << QStringLiteral("n = %1").arg(num(m.peakSharpness));
      break;
    case kMinnaert: parts << QStringLiteral("k = %1").arg(num(p.minnaertK)); break;
    case kLunarLambert:
      parts << (p.lunarLOfPhase ? QStringLiteral("L(g) по МакЮэну") : QStringLiteral("L = %1").arg(num(p.lunarL)));
      break;
    case kAkimov: parts << QStringLiteral("η = %1").arg(num(p.akimovEta)); break;
    case kHapke:
      parts << QStringLiteral("w = %1").arg(num(p.hapke.w)) << QStringLiteral("b = %1").arg(num(p.hapke.b))
            << QStringLiteral("c = %1").arg(num(p.hapke.c)) << QStringLiteral("B0 = %1").arg(num(p.hapke.b0))
            << QStringLiteral("h = %1").arg(num(p.hapke.h)) << QStringLiteral("θ = %1°").arg(num(p.hapke.thetaBar));
      if (p.hapke.porosity > 0) parts << QStringLiteral("φ = %1").arg(num(p.hapke.porosity));
      if (p.hapke.bc0 > 0)
        parts << QStringLiteral("BC0 = %1").arg(num(p.hapke.bc0)) << QStringLiteral("hc = %1").arg(num(p.hapke.hc));
      break;
    default: break;
  }
  if (isPlanetaryModel(m.surfaceModel)) parts << QStringLiteral("A = %1").arg(num(p.factor));
  if (!parts.isEmpty()) text += QStringLiteral(": ") + parts.join(QStringLiteral("; "));
  return text;
}

QString levelsText(const std::vector<double>& levels, const QLocale& l) {
  QStringList parts;
  for (double v : levels) parts << l.toString(v, 'g', 12);
  return parts.join(QLatin1Char(' '));
}

std::optional<std::vector<double>> readLevelsText(const QString& text, const QLocale& l) {
  static const QRegularExpression separators(QStringLiteral("[\\s;]+"));
  const QStringList parts = text.split(separators, Qt::SkipEmptyParts);
  if (parts.isEmpty() || parts.size() > static_cast<qsizetype>(kMostComparisonLevels)) return std::nullopt;
  std::vector<double> levels;
  for (const QString& p : parts) {
    bool ok = false;
    const double v = l.toDouble(p, &ok);
    if (!ok || !std::isfinite(v)) return std::nullopt;
    levels.push_back(v);
  }
  return levels;
}

CompareDialog::CompareDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Сравнение моделей"));
  setModal(false);
  auto* layout = new QVBoxLayout(this);
  auto* intro = new QLabel(QStringLiteral("Модель A — та, что выбрана в окне сейчас. Карта показывает их "
                                          "сравнение при каждом тонировании."),
                           this);
  intro->setWordWrap(true);
  layout->addWidget(intro);
  modelLabel = new QLabel(this);
  modelLabel->setWordWrap(true);
  modelLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(modelLabel);
  takeButton = new QPushButton(QStringLiteral("&Взять текущую модель как B"), this);
  layout->addWidget(takeButton, 0, Qt::AlignLeft);

  ratioButton = new QRadioButton(QStringLiteral("&Отношение φA / φB"), this);
  differenceButton = new QRadioButton(QStringLiteral("&Разность φA − φB"), this);
  auto* kinds = new QButtonGroup(this);
  kinds->addButton(ratioButton);
  kinds->addButton(differenceButton);
  layout->addWidget(ratioButton);
  layout->addWidget(differenceButton);

  auto* levelsRow = new QHBoxLayout;
  auto* levelsLabel = new QLabel(QStringLiteral("&Уровни изолиний:"), this);
  levelsBox = new TextBox(this);
  levelsBox->setMinimumWidth(levelsBox->fontMetrics().horizontalAdvance(QStringLiteral("−0,05 −0,1 0 0,05 0,1 0,25")));
  levelsBox->setToolTip(QStringLiteral("Числа через пробел, не больше %1").arg(kMostComparisonLevels));
  levelsLabel->setBuddy(levelsBox);
  levelsRow->addWidget(levelsLabel);
  levelsRow->addWidget(levelsBox, 1);
  layout->addLayout(levelsRow);

  auto* buttons = new QHBoxLayout;
  normalMapButton = new QPushButton(QStringLiteral("Обычная &карта"), this);
  closeButton = new QPushButton(QStringLiteral("&Закрыть"), this);
  buttons->addWidget(normalMapButton);
  buttons->addStretch(1);
  buttons->addWidget(closeButton);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetMinimumSize);

  connect(ratioButton, &QRadioButton::toggled, this, [this](bool on) {
    if (on) emit kindChosen(ComparisonKind::Ratio);
  });
  connect(differenceButton, &QRadioButton::toggled, this, [this](bool on) {
    if (on) emit kindChosen(ComparisonKind::Difference);
  });
  levelsBox->onChange = [this] { emit levelsTyped(levelsBox->text()); };
  connect(takeButton, &QPushButton::clicked, this, &CompareDialog::takeCurrentModel);
  connect(normalMapButton, &QPushButton::clicked, this, &CompareDialog::normalMapChosen);
  connect(closeButton, &QPushButton::clicked, this, &QDialog::close);
}

void CompareDialog::showSettings(const ComparisonSettings& s) {
  const QLocale l;
  modelLabel->setText(QStringLiteral("Модель B: %1").arg(comparedModelText(s.b, l)));
  QRadioButton* kind = s.kind == ComparisonKind::Ratio ? ratioButton : differenceButton;
  if (!kind->isChecked()) {
    const QSignalBlocker quiet(kind);
    kind->setChecked(true);
  }
  const std::optional<std::vector<double>> shown = readLevelsText(levelsBox->text(), l);
  if (!shown || *shown != s.levelsInEffect()) {
    const std::function<void()> handler = levelsBox->onChange;
    levelsBox->onChange = nullptr;
    levelsBox->setText(levelsText(s.levelsInEffect(), l));
    levelsBox->onChange = handler;
    markLevels(true);
  }
  normalMapButton->setEnabled(s.on);
}

void CompareDialog::markLevels(bool accepted) {
  levelsBox->setBackColour(accepted ? kSystemWindowBackground : kRefusedTextColour);
}

}  // namespace korvalen
