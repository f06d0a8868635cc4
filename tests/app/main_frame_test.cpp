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
            (QStringList{"&Профили φ…", "-", "Тонировать при каждом изменении", "Цвета изолиний"}));
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
