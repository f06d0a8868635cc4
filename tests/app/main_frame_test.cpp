// The window with its menu bar: the model items and the option buttons in
// step, the parameter window, and the added models on the command line
// against the window driven through the menu and the parameter window.
#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <cmath>
#include <map>
#include <vector>

#include "app/batch.h"
#include "app/main_frame.h"
#include "export/command_line.h"
#include "form1_fixture.h"
#include "model_window/model_window.h"
#include "photometry/geometry.h"
#include "profile_window/profile_window.h"

namespace korvalen {
namespace {

QStringList itemsOf(const QMenu* menu) {
  QStringList items;
  for (const QAction* a : menu->actions()) items << (a->isSeparator() ? QStringLiteral("-") : a->text());
  return items;
}

void waitForStartUp(Form1& f) {
  while (f.Timer1->enabled()) QTest::qWait(5);
}

TEST(MainFrame, MenusHoldTheirItemsAndTheFormKeepsItsSize) {
  MainFrame frame;
  frame.show();
  EXPECT_EQ(frame.form().size(), QSize(637, 499));
  EXPECT_EQ(frame.form().pos(), QPoint(0, frame.menuBar()->height()));
  EXPECT_EQ(frame.size(), QSize(637, 499 + frame.menuBar()->height()));
  EXPECT_EQ(itemsOf(frame.fileMenu),
            (QStringList{"&Копировать карту", "&Сохранить карту…", "Сохранить &значения…",
                         "Сохранить &пример…", "-", "&Открыть наблюдения…", "-", "&Выход"}));
  EXPECT_EQ(itemsOf(frame.modelMenu),
            (QStringList{"&Матовая (ламбертова)", "&Каменистая", "&Глянцевая", "&Зеркальная", "-",
                         "&Ломмеля — Зеелигера", "М&иннарта", "Л&унно-ламбертова", "&Акимова",
                         "&Хапке", "-", "&Параметры модели…"}));
  EXPECT_EQ(itemsOf(frame.helpMenu), QStringList{"&О программе"});
  QStringList bar;
  for (const QAction* a : frame.menuBar()->actions()) bar << a->text();
  EXPECT_EQ(bar, (QStringList{"&Файл", "&Модель", "&Вид", "&Справка"}));
  EXPECT_EQ(itemsOf(frame.viewMenu),
            (QStringList{"&Профили φ…", "&Сравнить с…", "-", "Тонировать при каждом изменении", "Цвета изолиний",
                         "&Уровни по карте", "-", "Показывать &наблюдения", "Наблюдения на &карте…"}));
  EXPECT_EQ(itemsOf(frame.isolineColoursMenu), (QStringList{"Как в легенде", "Различимые для всех"}));
  // The values' item is enabled as the map menu's is: after the first run.
  EXPECT_FALSE(frame.fileMenu->actions()[2]->isEnabled());
  frame.form().Command1->click();
  EXPECT_TRUE(frame.fileMenu->actions()[2]->isEnabled());
}

// The view menu's checks and the form's state follow each other both ways.
TEST(MainFrame, ViewItemsAndTheFormStayInStep) {
  MainFrame frame;
  frame.show();
  Form1& f = frame.form();
  waitForStartUp(f);
  EXPECT_FALSE(frame.liveShadingAction->isChecked());
  frame.liveShadingAction->trigger();
  frame.isolineColoursActions[kDistinctColours]->trigger();
  EXPECT_TRUE(f.liveShading());
  EXPECT_EQ(f.st.iso.isolineColours, kDistinctColours);
  f.setLiveShading(false);  // set from the form (as the command line does), the menu follows
  f.setIsolineColours(kLegendColours);
  EXPECT_FALSE(frame.liveShadingAction->isChecked());
  EXPECT_TRUE(frame.isolineColoursActions[kLegendColours]->isChecked());
}

TEST(MainFrame, ModelItemsAndOptionButtonsStayInStep) {
  MainFrame frame;
  frame.show();
  Form1& f = frame.form();
  waitForStartUp(f);
  const QImage matte = f.examplePicture();
  EXPECT_TRUE(frame.modelActions[kMatte]->isChecked());

  frame.modelActions[kLunarLambert]->trigger();
  EXPECT_EQ(f.st.lm.surfaceModel, kLunarLambert);
  for (OptionButton* b : {f.Option1, f.Option2, f.Option3, f.Option4}) EXPECT_FALSE(b->isChecked());
  EXPECT_FALSE(f.Label6->isEnabled());
  EXPECT_FALSE(f.Label14->isVisible());
  EXPECT_EQ(f.Label13->text(), QStringLiteral("ф(i, e, g) = (1−L)·cos(i)+2L·cos(i)/(cos(i)+cos(e))"));
  EXPECT_NE(f.examplePicture(), matte);

  // A click on an option button returns to that model and checks its item.
  QTest::mouseClick(f.Option3, Qt::LeftButton, {}, QPoint(6, f.Option3->height() / 2));
  EXPECT_EQ(f.st.lm.surfaceModel, kRocky);
  EXPECT_TRUE(frame.modelActions[kRocky]->isChecked());
  // The menu's glossy item selects the button as a click does.
  frame.modelActions[kGlossy]->trigger();
  EXPECT_TRUE(f.Option2->isChecked());
  EXPECT_TRUE(f.Label14->isVisible());
  frame.modelActions[kMatte]->trigger();
  EXPECT_EQ(f.examplePicture(), matte);
}

// The menu bar's shortcuts, pressed in each of the program's windows, trigger
// their item once and no other.
TEST(MainFrame, MenuShortcutsWorkInEveryWindow) {
  MainFrame frame;
  frame.show();
  waitForStartUp(frame.form());
  frame.showModelWindow();
  frame.showProfileWindow();
  std::map<const QAction*, int> fired;
  for (const QAction* a : frame.findChildren<QAction*>())
    QObject::connect(a, &QAction::triggered, &frame, [&fired, a] { ++fired[a]; });
  const struct {
    QAction* action;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
  } presses[] = {
      {frame.parametersAction, Qt::Key_M, Qt::ControlModifier},
      {frame.profilesAction, Qt::Key_P, Qt::ControlModifier | Qt::ShiftModifier},
      {frame.quitAction, Qt::Key_Q, Qt::ControlModifier},  // last: it closes the window
  };
  QWidget* const windows[] = {&frame, frame.modelWindow(), frame.profileWindow()};
  for (QWidget* w : windows) {
    frame.show();
    for (const auto& p : presses) {
      SCOPED_TRACE(w->windowTitle().toStdString() + ", " + p.action->text().toStdString());
      w->activateWindow();
      ASSERT_TRUE(QTest::qWaitForWindowActive(w));
      fired.clear();
      QWidget* focus = QApplication::focusWidget();
      QTest::keyClick(focus && focus->window() == w ? focus : w, p.key, p.modifiers);
      EXPECT_EQ(fired, (std::map<const QAction*, int>{{p.action, 1}}));
    }
    EXPECT_FALSE(frame.isVisible());
  }
}

TEST(MainFrame, OneParameterWindowWithPresetsAndTheFittedFactor) {
  MainFrame frame;
  frame.show();
  frame.activateWindow();
  Form1& f = frame.form();
  waitForStartUp(f);
  frame.modelActions[kMinnaert]->trigger();
  frame.parametersAction->trigger();
  ModelWindow* w = frame.modelWindow();
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(w->isVisible());
  EXPECT_EQ(w->windowTitle(), QStringLiteral("Параметры модели"));
  frame.parametersAction->trigger();
  EXPECT_EQ(frame.findChildren<ModelWindow*>().size(), 1);

  // A preset sets its value; a value changes the example at once.
  ASSERT_NE(w->presetBox(), nullptr);
  EXPECT_EQ(w->presetBox()->itemText(1), QStringLiteral("Луна (k = 0,5)"));
  emit w->presetBox()->activated(1);
  EXPECT_EQ(f.st.lm.planetary.minnaertK, 0.5);
  EXPECT_EQ(w->fields()[0]->value(), 0.5);
  const QImage before = f.examplePicture();
  w->fields()[0]->setValue(2);
  EXPECT_EQ(f.st.lm.planetary.minnaertK, 2);
  EXPECT_NE(f.examplePicture(), before);

  // Akimov's brightest point at g = 30 is its limb, 1.159.
  frame.modelActions[kAkimov]->trigger();
  f.Text4[0]->setText(QStringLiteral("30"));
  w->fitButton()->click();
  EXPECT_NEAR(f.st.lm.planetary.factor * std::cos(M_PI / 12) * 180 / 150, 1, 1e-4);
  EXPECT_EQ(w->factorBox()->value(), f.st.lm.planetary.factor);

  // Hapke's sets leave the factor where it is; the four of the form have none here.
  frame.modelActions[kHapke]->trigger();
  ASSERT_NE(w->presetBox(), nullptr);
  EXPECT_EQ(w->presetBox()->count(), 1 + kHapkePresetCount);
  const double factor = f.st.lm.planetary.factor;
  emit w->presetBox()->activated(4);  // Mars, red: the 1981 variant
  EXPECT_EQ(f.st.lm.planetary.hapke.w, 0.52);
  EXPECT_TRUE(w->variantBox()->isChecked());
  EXPECT_EQ(f.st.lm.planetary.factor, factor);
  f.Option1->click();
  EXPECT_EQ(w->factorBox(), nullptr);
  EXPECT_EQ(w->noteLabel()->text(), QStringLiteral("Параметры этой модели задаются в главном окне."));
}

// Every field shows the value in effect: L(g) at the present inclination
// (below 0 too), "Свои значения" leaving L(g), the command line's digits to
// the last; a pair (b, c) whose phase function falls below 0 is refused, pale
// red, the pair in effect kept.
TEST(MainFrame, ParameterFieldsShowTheValuesInEffect) {
  MainFrame frame;
  frame.show();
  Form1& f = frame.form();
  waitForStartUp(f);
  frame.modelActions[kLunarLambert]->trigger();
  frame.showModelWindow();
  ModelWindow* w = frame.modelWindow();
  emit w->presetBox()->activated(1);  // McEwen's L(g)
  for (const char* inclination : {"30", "-75.5", "200"}) {
    f.Text4[0]->setText(QString::fromLatin1(inclination));
    EXPECT_EQ(w->fields()[0]->value(), lunarLOfPhase(phaseAngleDegrees(f.st.lm.sourceInclination))) << inclination;
  }
  EXPECT_LT(w->fields()[0]->value(), 0);  // L(160)
  emit w->presetBox()->activated(0);      // "Свои значения"
  EXPECT_FALSE(f.st.lm.planetary.lunarLOfPhase);
  EXPECT_TRUE(w->fields()[0]->value() == 0.5 && w->fields()[0]->minimum() == 0);

  frame.modelActions[kHapke]->trigger();
  const ParsedCommandLine line = parseCommandLine({"korvalen", "--model", "hapke", "--w", "0.12345678912345678", "--h",
                                                   "1e-12", "--b", "0.99999999999999988", "--c", "-0.5"});
  ASSERT_TRUE(line.error.isEmpty() && typeIn(f, line.options).isEmpty());
  const HapkeParameters& h = f.st.lm.planetary.hapke;
  const double inEffect[] = {h.w, h.b, h.c, h.b0, h.h, h.thetaBar, h.porosity, h.bc0, h.hc};
  for (size_t k = 0; k < 9; ++k) EXPECT_EQ(w->fields()[k]->value(), inEffect[k]) << k;
  EXPECT_EQ(h.w, 0.12345678912345678);

  // b and c typed in turn: {field (1: b, 2: c), value, refused, b and c in effect after}.
  const double steps[][5] = {{1, 0.6, 0, 0.6, -0.5}, {2, 2, 1, 0.6, -0.5}, {1, 0.1, 0, 0.1, -0.5},
                             {2, 2, 0, 0.1, 2},      {1, 0.6, 1, 0.1, 2}};
  for (const auto& [field, value, refused, b, c] : steps) {
    ParameterBox* box = w->fields()[static_cast<size_t>(field)];
    box->setValue(value);
    EXPECT_EQ(box->refused(), refused != 0) << field << " " << value;
    EXPECT_EQ(box->palette().color(QPalette::Base) == QColor(255, 192, 192), refused != 0);
    EXPECT_TRUE(h.b == b && h.c == c && w->fields()[1]->value() == (field == 1 && refused ? value : b));
  }
}

// Hapke 2012 in the window: the H function's three buttons, and the formula
// with K and the coherent backscatter's factor where they are on, ending inside
// the window; the command names them, and is as before once they are off.
TEST(MainFrame, Hapke2012InTheParameterWindowAndTheFormula) {
  MainFrame frame;
  frame.show();
  Form1& f = frame.form();
  waitForStartUp(f);
  frame.modelActions[kHapke]->trigger();
  frame.showModelWindow();
  ModelWindow* w = frame.modelWindow();
  EXPECT_TRUE(w->hFunctionButtons()[0]->isChecked());
  EXPECT_EQ(w->variantBox()->text(), QStringLiteral("H-функция &1981"));
  const QString plain = f.Label13->text();
  const QStringList before = argumentsOf(f.currentCommandLine());
  const struct {
    double porosity, bc0;
    HFunction h;
    const char *formula, *named;
  } steps[] = {
      {0.4, 0, HFunction::Exact, "ф(i, e, g) = K·w/4·μ₀ₑ/(μ₀ₑ+μₑ)·[P(g)(1+B(g))+H(μ₀ₑ/K)H(μₑ/K)−1]·S",
       "--h-function exact --porosity 0.4"},
      {0.4, 2, HFunction::Form1981, "ф = K·w/4·μ₀ₑ/(μ₀ₑ+μₑ)·[P(1+B)+H(μ₀ₑ/K)H(μₑ/K)−1]·(1+Bc₀·Bc(g))·S",
       "--hapke-1981 --porosity 0.4 --bc0 2"},
      {0, 2, HFunction::Approximation2002, "ф = w/4·μ₀ₑ/(μ₀ₑ+μₑ)·[P(g)(1+B(g))+H(μ₀ₑ)H(μₑ)−1]·(1+Bc₀·Bc(g))·S", "--bc0 2"},
      {0, 0, HFunction::Approximation2002, nullptr, nullptr},
  };
  for (const auto& s : steps) {
    w->fields()[6]->setValue(s.porosity);
    w->fields()[7]->setValue(s.bc0);
    w->hFunctionButtons()[static_cast<size_t>(s.h)]->click();
    const HapkeParameters& h = f.st.lm.planetary.hapke;
    EXPECT_TRUE(h.porosity == s.porosity && h.bc0 == s.bc0 && h.hFunction == s.h);
    EXPECT_EQ(f.Label13->text(), s.formula ? QString::fromUtf8(s.formula) : plain);
    EXPECT_LE(f.Label13->x() + f.Label13->width(), f.width());
    if (s.named) {
      EXPECT_TRUE(commandText(argumentsOf(f.currentCommandLine())).contains(QString::fromUtf8(s.named)));
    } else {
      EXPECT_EQ(argumentsOf(f.currentCommandLine()), before);
    }
  }
}

// The window through the menu and the parameter window, and the command line
// typed into a window of its own: the same map, pixel for pixel.
TEST(MainFrame, CommandLineRendersWhatTheMenuAndParameterWindowSet) {
  struct Case {
    int32_t model;
    int preset;                  // 0: none
    std::vector<double> fields;  // the parameter window's fields, in order
    double factor;
    const char* inclination;
    std::vector<const char*> args;
    int hFunction = -1;  // the H function's button, -1: as it is
  } const cases[] = {
      {kLommelSeeliger, 0, {}, 0.8, "30", {"--model", "lommel-seeliger", "--factor", "0.8", "--inclination", "30"}},
      {kMinnaert, 0, {0.5}, 1, "45", {"--model", "minnaert", "--k", "0.5", "--inclination", "45"}},
      {kLunarLambert, 1, {}, 1, "60", {"--model", "lunar-lambert", "--L", "mcewen", "--inclination", "60"}},
      {kAkimov, 0, {0.5}, 1.1, "-40", {"--model", "akimov", "--eta", "0.5", "--factor", "1.1", "--inclination", "-40"}},
      {kHapke, 1, {}, 20, "5", {"--model", "hapke", "--preset", "ceres", "--factor", "20", "--inclination", "5"}},
      {kHapke, 2, {}, 8, "0", {"--model", "hapke", "--preset", "mercury-v", "--factor", "8", "--inclination", "0"}},
      {kHapke, 3, {}, 12, "75", {"--model", "hapke", "--preset", "mercury-messenger", "--factor", "12", "--inclination", "75"}},
      {kHapke, 4, {}, 5, "30", {"--model", "hapke", "--preset", "mars-red", "--factor", "5", "--inclination", "30"}},
      {kHapke, 5, {}, 1, "120", {"--model", "hapke", "--preset", "europa", "--inclination", "120"}},
      // Hapke 2012: the exact H, the porosity and the coherent backscatter.
      {kHapke, 1, {0.14, 0.11, 1, 1.6, 0.06, 29, 0.4, 1.5, 0.05}, 15, "20",
       {"--model", "hapke", "--preset", "ceres", "--h-function", "exact", "--porosity", "0.4", "--bc0", "1.5",
        "--hc", "0.05", "--factor", "15", "--inclination", "20"}, static_cast<int>(HFunction::Exact)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args[1]);
    MainFrame frame;
    frame.show();
    Form1& f = frame.form();
    waitForStartUp(f);
    frame.modelActions[static_cast<size_t>(c.model)]->trigger();
    frame.showModelWindow();
    ModelWindow* w = frame.modelWindow();
    if (c.preset) emit w->presetBox()->activated(c.preset);
    for (size_t k = 0; k < c.fields.size(); ++k) w->fields()[k]->setValue(c.fields[k]);
    if (c.hFunction >= 0) w->hFunctionButtons()[static_cast<size_t>(c.hFunction)]->click();
    w->factorBox()->setValue(c.factor);
    f.Text4[0]->setText(QString::fromLatin1(c.inclination));
    f.Command1->click();

    QStringList a{QStringLiteral("korvalen")};
    for (const char* s : c.args) a << QString::fromUtf8(s);
    const ParsedCommandLine p = parseCommandLine(a);
    ASSERT_TRUE(p.error.isEmpty()) << p.error.toStdString();
    Form1 typed;
    typed.show();
    ASSERT_TRUE(typeIn(typed, p.options).isEmpty());
    typed.Command1->click();
    EXPECT_EQ(typed.mapPicture(), f.mapPicture());
    EXPECT_EQ(typed.examplePicture(), f.examplePicture());
    // The command the window would write into a picture makes the same window again.
    const ParsedCommandLine again = parseCommandLine(QStringList{QStringLiteral("korvalen")} + argumentsOf(f.currentCommandLine()));
    ASSERT_TRUE(again.error.isEmpty()) << again.error.toStdString();
    Form1 retyped;
    retyped.show();
    ASSERT_TRUE(typeIn(retyped, again.options).isEmpty());
    retyped.Command1->click();
    EXPECT_EQ(retyped.mapPicture(), f.mapPicture());
  }
}

TEST(MainFrame, BadModelParametersAreUsageErrorsNamingThem) {
  struct Case {
    std::vector<const char*> args;
    const char* named;  // nullptr: accepted
  } const cases[] = {
      {{"--model", "akimov", "--k", "1"}, "--k"},
      {{"--L", "0.5"}, "--L"},
      {{"--model", "minnaert", "--k", "5.5"}, "--k"},
      {{"--model", "lunar-lambert", "--L", "moon"}, "--L"},
      {{"--model", "akimov", "--eta", "-0.1"}, "--eta"},
      {{"--model", "lommel-seeliger", "--factor", "0"}, "--factor"},
      {{"--model", "hapke", "--w", "0"}, "--w"},
      {{"--model", "hapke", "--b", "1"}, "--b"},
      {{"--model", "hapke", "--theta", "61"}, "--theta"},
      {{"--model", "hapke", "--preset", "moon"}, "--preset"},
      {{"--model", "minnaert", "--hapke-1981"}, "--hapke-1981"},
      {{"--model", "minnaert", "--k", "0", "--factor", "1000"}, nullptr},
      {{"--model", "lunar-lambert", "--L", "mcewen"}, nullptr},
      {{"--model", "hapke", "--w", "1", "--b", "0", "--c", "-1", "--b0", "5", "--h", "0", "--theta", "60", "--hapke-1981"}, nullptr},
      // A pair whose P(g) falls below 0, with the window's b or a preset's; the
      // window's digits, nothing it cannot show; Hapke 2012 and the H function.
      {{"--model", "hapke", "--c", "2"}, "b = 0.2, c = 2"},
      {{"--model", "hapke", "--preset", "europa", "--c", "1.5"}, "b = 0.431, c = 1.5"},
      {{"--model", "hapke", "--b", "0.1", "--c", "2", "--w", "0.12345678912345678"}, nullptr},
      {{"--model", "hapke", "--w", "5e-324"}, "--w"},
      {{"--model", "hapke", "--porosity", "0.752"}, "--porosity"},
      {{"--model", "lunar-lambert", "--bc0", "1"}, "--bc0"},
      {{"--model", "hapke", "--h-function", "chandrasekhar"}, "--h-function"},
      {{"--model", "hapke", "--hapke-1981", "--h-function", "exact"}, "--h-function"},
      {{"--model", "hapke", "--h-function", "exact", "--porosity", "0.7519", "--bc0", "5", "--hc", "0"}, nullptr},
  };
  for (const Case& c : cases) {
    QStringList a{QStringLiteral("korvalen")};
    for (const char* s : c.args) a << QString::fromUtf8(s);
    const ParsedCommandLine p = parseCommandLine(a);
    if (c.named)
      EXPECT_TRUE(p.error.contains(QString::fromUtf8(c.named))) << a.join(' ').toStdString() << ": " << p.error.toStdString();
    else
      EXPECT_TRUE(p.error.isEmpty()) << a.join(' ').toStdString() << ": " << p.error.toStdString();
  }
  EXPECT_TRUE(parseCommandLine({QStringLiteral("korvalen"), QStringLiteral("-h")}).options.help);
}

}  // namespace
}  // namespace korvalen
