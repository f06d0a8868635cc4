// The window "Профили φ": opened from the menu "Вид", one instance; its
// charts follow the main window (the phase curve only while its tab is shown)
// and show exactly the curves' numbers, gaps included; each chart's menu
// copies and saves its picture and values; its colours follow the palette.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QImageReader>
#include <QLegend>
#include <QLegendMarker>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QValueAxis>
#include <cmath>
#include <set>

#include "app/main_frame.h"
#include "form1_fixture.h"
#include "profile_window/curve_chart.h"
#include "profile_window/profile_window.h"
#include "toolkit/appearance.h"

namespace korvalen {
namespace {

QStringList itemsOf(const QMenu* menu) {
  QStringList items;
  for (const QAction* a : menu->actions()) items << a->text() + (a->isEnabled() ? "" : " (off)");
  return items;
}

// The main window after start-up with the curves' window open on it.
struct Frame {
  MainFrame frame;
  Form1& f = frame.form();
  ProfileWindow* w = nullptr;
  Frame() {
    frame.show();
    while (f.Timer1->enabled()) QTest::qWait(5);
    frame.showProfileWindow();
    w = frame.profileWindow();
    w->refreshNow();
  }
};

QList<QPointF> equatorPoints(const EquatorCurve& c) {
  QList<QPointF> p;
  for (const EquatorPoint& q : c.points) p.append(QPointF(q.gamma, static_cast<double>(q.phi)));
  return p;
}

TEST(ProfileWindow, ViewMenuOpensOneWindowWithItsShortcut) {
  MainFrame frame;
  frame.show();
  frame.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
  QStringList menus;
  for (const QAction* a : frame.menuBar()->actions()) menus << a->text();
  EXPECT_EQ(menus, (QStringList{"&Файл", "&Модель", "&Вид", "&Справка"}));
  ASSERT_NE(frame.viewMenu, nullptr);
  EXPECT_EQ(frame.viewMenu->actions().first(), frame.profilesAction);
  EXPECT_EQ(frame.profilesAction->text(), QStringLiteral("&Профили φ…"));
  // Its shortcut is no other action's, and a text box leaves it to the window.
  EXPECT_EQ(frame.profilesAction->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+P")));
  std::multiset<QString> shortcuts;
  for (const QAction* a : frame.findChildren<QAction*>())
    if (!a->shortcut().isEmpty() && a != frame.fileMenu->actions()[1]) shortcuts.insert(a->shortcut().toString());
  for (const QString& s : shortcuts) EXPECT_EQ(shortcuts.count(s), 1u) << s.toStdString();
  frame.form().Text1->setFocus();
  QTest::keyClick(frame.form().Text1, Qt::Key_P, Qt::ControlModifier | Qt::ShiftModifier);
  ProfileWindow* w = frame.profileWindow();
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(w->isVisible());
  EXPECT_FALSE(w->isModal());
  EXPECT_EQ(frame.form().Text1->text(), QStringLiteral("90"));
  EXPECT_EQ(w->windowTitle(), QStringLiteral("Профили φ"));
  QStringList tabs;
  for (int k = 0; k < w->tabs->count(); ++k) tabs << w->tabs->tabText(k);
  EXPECT_EQ(tabs, (QStringList{"Фотометрический экватор", "Через точку карты", "Фазовая кривая диска"}));
  frame.profilesAction->trigger();
  EXPECT_EQ(frame.findChildren<ProfileWindow*>().size(), 1);
  // Axes titled with their units.
  EXPECT_EQ(w->equatorChart->axisX->titleText(), QStringLiteral("Фотометрическая долгота γ, °"));
  EXPECT_EQ(w->equatorChart->axisY->titleText(), QStringLiteral("φ"));
  EXPECT_EQ(w->probeChart->axisX->titleText(), QStringLiteral("Смещение от центра, пиксели"));
  EXPECT_EQ(w->phaseChart->axisX->titleText(), QStringLiteral("Фазовый угол g, °"));
  EXPECT_EQ(w->phaseChart->axisY->titleText(), QStringLiteral("Относительная яркость"));
  // Each chart's menu, from the right button, the menu key and Shift+F10.
  for (CurveChart* chart : {w->equatorChart, w->probeChart, w->phaseChart}) {
    // The right button reaches the chart's viewport, as a real click does.
    QContextMenuEvent e(QContextMenuEvent::Mouse, QPoint(30, 40), chart->viewport()->mapToGlobal(QPoint(30, 40)));
    QApplication::sendEvent(chart->viewport(), &e);
    ASSERT_TRUE(chart->menu->isVisible());
    QStringList items = itemsOf(chart->menu);
    items.replaceInStrings(QStringLiteral(" (off)"), QString());
    EXPECT_EQ(items, (QStringList{"Копировать изображение", "Сохранить изображение…", "Сохранить значения…"}));
    chart->menu->hide();
    QTest::keyClick(chart, Qt::Key_Menu);
    EXPECT_TRUE(chart->menu->isVisible());
    chart->menu->hide();
    QTest::keyClick(chart, Qt::Key_F10, Qt::ShiftModifier);
    EXPECT_TRUE(chart->menu->isVisible());
    chart->menu->hide();
  }
}

TEST(ProfileWindow, EquatorFollowsModelLightAndIsolines) {
  Frame t;
  ASSERT_TRUE(t.w->equator());
  EXPECT_EQ(t.w->equatorSeries()->points(), equatorPoints(equatorCurve(t.f.st.lm)));
  t.f.Text4[0]->setText(QStringLiteral("60"));
  t.frame.modelActions[kLunarLambert]->trigger();
  t.w->refreshNow();
  ASSERT_TRUE(t.w->equator());
  EXPECT_NEAR(t.w->equator()->g, 60, 1e-5);
  const EquatorCurve want = equatorCurve(t.f.st.lm);
  EXPECT_EQ(t.w->equatorSeries()->points(), equatorPoints(want));
  EXPECT_TRUE(t.w->equatorChart->chart()->title().endsWith(QStringLiteral("g = 60°")));
  // The isolines: a new level moves its line; hidden, every line is grey and dashed.
  t.f.Text8[kLegendIndex[3]]->setText(QStringLiteral("0.55"));
  QTest::mouseClick(t.f.Check3, Qt::LeftButton, {}, QPoint(6, 8));
  t.w->refreshNow();
  auto isolines = [&] {
    std::vector<QLineSeries*> lines;
    for (QAbstractSeries* s : t.w->equatorChart->chart()->series())
      if (s->name().startsWith(QStringLiteral("Изолиния"))) lines.push_back(static_cast<QLineSeries*>(s));
    return lines;
  };
  ASSERT_EQ(isolines().size(), 7u);
  EXPECT_EQ(isolines()[2]->points(), (QList<QPointF>{{-90, 0.55f}, {90, 0.55f}}));
  for (QLineSeries* s : isolines()) EXPECT_EQ(s->pen().style(), Qt::DashLine);
  QTest::mouseClick(t.f.Check3, Qt::LeftButton, {}, QPoint(6, 8));
  t.w->refreshNow();
  EXPECT_EQ(isolines()[0]->pen().color(), QColor(255, 128, 128));
  // A set-up that overflows leaves no curve and says so.
  t.frame.modelActions[kGlossy]->trigger();
  t.f.Text5->setText(QStringLiteral("3e38"));
  t.w->refreshNow();
  EXPECT_FALSE(t.w->equator());
  EXPECT_TRUE(t.w->equatorSeries()->points().isEmpty());
  EXPECT_EQ(t.w->equatorChart->chart()->title(), QStringLiteral("Кривая не найдена: Переполнение."));
  EXPECT_FALSE(t.w->equatorChart->saveValuesAction->isEnabled());
}

TEST(ProfileWindow, ProbeCurvesFollowTheProbeWithGaps) {
  Frame t;
  EXPECT_FALSE(t.w->probe());
  EXPECT_TRUE(t.w->probeChart->chart()->title().contains(QStringLiteral("«Тонировать»")));
  t.f.Check1->setValue(0);  // the whole sphere
  t.f.Text1->setText(QStringLiteral("20"));
  t.f.Command1->click();
  auto moveTo = [&](int x, int y) {
    QMouseEvent e(QEvent::MouseMove, QPointF(x, y), t.f.Picture1->mapToGlobal(QPointF(x, y)), Qt::NoButton,
                  Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(t.f.Picture1, &e);
  };
  moveTo(230, 140);
  t.w->refreshNow();
  ASSERT_TRUE(t.w->probe());
  const ProbeCurves want = probeCurves(t.f.st.view, t.f.st.lm, t.f.st.map, t.f.st.mirror, 230, 140, 393, 337);
  // The charts' runs are the shown samples between the gaps.
  auto runsOf = [](const std::vector<ProbeSample>& samples) {
    std::vector<QList<QPointF>> runs;
    bool open = false;
    for (const ProbeSample& s : samples) {
      if (s.shown && !open) runs.emplace_back();
      if (s.shown) runs.back().append(QPointF(s.offset, static_cast<double>(s.phi)));
      open = s.shown;
    }
    return runs;
  };
  EXPECT_EQ(t.w->rowCurve().runs(), runsOf(want.row));
  EXPECT_EQ(t.w->columnCurve().runs(), runsOf(want.column));
  EXPECT_EQ(t.w->columnCurve().runs().size(), 1u);
  // Off the disc the probe shows nothing: the curves stay at its last point.
  moveTo(2, 2);
  t.w->refreshNow();
  EXPECT_EQ(t.w->probe()->x, 230);
  // A new light moves the values, not the point.
  t.f.Text4[0]->setText(QStringLiteral("45"));
  t.w->refreshNow();
  const ProbeCurves lit = probeCurves(t.f.st.view, t.f.st.lm, t.f.st.map, t.f.st.mirror, 230, 140, 393, 337);
  EXPECT_EQ(t.w->rowCurve().runs(), runsOf(lit.row));
  EXPECT_NE(runsOf(lit.row), runsOf(want.row));
  // With only the visible half, the rotation leaves a gap inside the column.
  t.f.Check1->setValue(1);
  t.f.Text1->setText(QStringLiteral("120"));
  t.f.Command1->click();
  moveTo(196, 169);
  t.w->refreshNow();
  const ProbeCurves half = probeCurves(t.f.st.view, t.f.st.lm, t.f.st.map, t.f.st.mirror, 196, 169, 393, 337);
  EXPECT_EQ(t.w->columnCurve().runs(), runsOf(half.column));
}

TEST(ProfileWindow, PhaseCurveOnlyWhileItsTabIsShown) {
  Frame t;
  EXPECT_EQ(t.w->phaseCurvesFound(), 0);
  EXPECT_FALSE(t.w->phase());
  t.w->tabs->setCurrentIndex(2);
  t.w->refreshNow();
  EXPECT_EQ(t.w->phaseCurvesFound(), 1);
  ASSERT_TRUE(t.w->phase());
  const PhaseCurve want = phaseCurve(t.f.st.lm);
  ASSERT_EQ(t.w->phaseSeries().runs().size(), 1u);
  const QList<QPointF> drawn = t.w->phaseSeries().runs()[0];
  ASSERT_EQ(drawn.size(), 181);
  for (int d = 0; d <= 180; ++d) EXPECT_EQ(drawn[d].y(), want.points[static_cast<size_t>(d)].relative);
  // The inclination moves only the mark; another model finds the curve again.
  t.f.Text4[0]->setText(QStringLiteral("30"));
  t.w->refreshNow();
  EXPECT_EQ(t.w->phaseCurvesFound(), 1);
  t.frame.modelActions[kAkimov]->trigger();
  t.w->refreshNow();
  EXPECT_EQ(t.w->phaseCurvesFound(), 2);
  // Magnitudes: brighter is higher; the dark disc at 180 degrees is a gap.
  t.w->magnitudeScale->setChecked(true);
  EXPECT_EQ(t.w->phaseChart->axisY->titleText(), QStringLiteral("Звёздная величина"));
  EXPECT_TRUE(t.w->phaseChart->axisY->isReverse());
  const QList<QPointF> m = t.w->phaseSeries().runs()[0];
  EXPECT_EQ(m.size(), 180);
  EXPECT_EQ(m[90].y(), *magnitudeOf(t.w->phase()->points[90].relative));
  // Another tab: changes wait for the phase tab.
  t.w->tabs->setCurrentIndex(0);
  t.frame.modelActions[kMatte]->trigger();
  t.w->refreshNow();
  EXPECT_EQ(t.w->phaseCurvesFound(), 2);
  t.w->tabs->setCurrentIndex(2);
  t.w->refreshNow();
  EXPECT_EQ(t.w->phaseCurvesFound(), 3);
  // A hidden window finds nothing until it is shown again.
  t.w->hide();
  t.frame.modelActions[kRocky]->trigger();
  QTest::qWait(5);
  EXPECT_EQ(t.w->phaseCurvesFound(), 3);
  t.frame.showProfileWindow();
  t.w->refreshNow();
  EXPECT_EQ(t.w->phaseCurvesFound(), 4);
}

// Copy, PNG at the screen's pixels, SVG by the name or the filter, the values; a
// failed save tells why and writes nothing.
TEST(ProfileWindow, ChartsCopyAndSave) {
  Frame t;
  QTemporaryDir dir;
  CurveChart* chart = t.w->equatorChart;
  chart->copyAction->trigger();
  const QImage copied = QApplication::clipboard()->image();
  EXPECT_EQ(copied.size(), chart->size() * chart->devicePixelRatio());
  ASSERT_TRUE(chart->savePicture(dir.filePath(QStringLiteral("e.png")), QStringLiteral("Изображения PNG (*.png)")));
  QImageReader png(dir.filePath(QStringLiteral("e.png")));
  EXPECT_EQ(png.format(), "png");
  EXPECT_EQ(png.text(QStringLiteral("Comment")), commandText(argumentsOf(t.f.currentCommandLine())));
  EXPECT_EQ(png.read().size(), chart->size() * chart->devicePixelRatio());
  for (const auto& [name, filter] : {std::pair{"e.svg", "Изображения PNG (*.png)"}, {"e2", "Рисунки SVG (*.svg)"}}) {
    const QString path = dir.filePath(QString::fromUtf8(name));
    ASSERT_TRUE(chart->savePicture(path, QString::fromUtf8(filter)));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray svg = f.readAll();
    EXPECT_TRUE(svg.startsWith("<?xml")) << name;
    EXPECT_TRUE(svg.contains("<svg")) << name;
    EXPECT_TRUE(svg.contains("<path")) << name;
  }
  // The values, with the command that writes them again.
  ASSERT_TRUE(chart->saveValues(dir.filePath(QStringLiteral("e.csv"))));
  QFile csv(dir.filePath(QStringLiteral("e.csv")));
  ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
  const QList<QByteArray> lines = csv.readAll().split('\n');
  EXPECT_EQ(lines[1], "# " + commandText(argumentsOf(t.f.currentCommandLine()) << "--profile" << "e.csv").toUtf8());
  EXPECT_EQ(lines[2], "gamma,i,e,g,phi");
  EXPECT_EQ(lines.size(), 3 + 361 + 1);
  // A folder that is not there: the program's message box, nothing written.
  const QString missing = dir.filePath(QStringLiteral("no/e.png"));
  QString text;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    text = box->text();
    box->accept();
  });
  EXPECT_FALSE(chart->savePicture(missing, QString()));
  EXPECT_TRUE(text.startsWith(QStringLiteral("Не удалось сохранить файл «") + missing + QStringLiteral("»: ")))
      << text.toStdString();
  EXPECT_FALSE(QFile::exists(missing));
  // Through the dialog: both kinds offered; the SVG filter gives a bare name its suffix;
  // the next dialog opens where the last save went, the form's own saves included.
  bool seen = false;
  QTimer::singleShot(0, [&] {
    auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(d, nullptr);
    seen = true;
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Сохранить изображение"));
    EXPECT_EQ(d->nameFilters(), (QStringList{"Изображения PNG (*.png)", "Рисунки SVG (*.svg)"}));
    d->setDirectory(dir.path());
    d->selectNameFilter(QStringLiteral("Рисунки SVG (*.svg)"));
    emit d->filterSelected(QStringLiteral("Рисунки SVG (*.svg)"));
    d->selectFile(QStringLiteral("chosen"));
    QMetaObject::invokeMethod(d, "accept");
  });
  t.w->phaseChart->saveImageAction->trigger();
  EXPECT_TRUE(seen);
  EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("chosen.svg"))));
  seen = false;
  QTimer::singleShot(0, [&] {
    auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(d, nullptr);
    seen = true;
    EXPECT_EQ(d->directory().absolutePath(), QDir(dir.path()).absolutePath());
    d->reject();
  });
  t.f.saveExampleAction->trigger();
  EXPECT_TRUE(seen);
}

// Light and dark schemes: the charts take the window's colours, and the curves
// read on the plot area.
TEST(ProfileWindow, ChartsFollowThePalette) {
  Frame t;
  for (const bool dark : {false, true}) {
    SCOPED_TRACE(dark ? "dark" : "light");
    QPalette p = t.w->palette();
    p.setColor(QPalette::Window, dark ? QColor(40, 42, 46) : QColor(239, 239, 239));
    p.setColor(QPalette::Base, dark ? QColor(30, 30, 30) : QColor(255, 255, 255));
    p.setColor(QPalette::WindowText, dark ? QColor(238, 238, 238) : QColor(0, 0, 0));
    p.setColor(QPalette::Text, dark ? QColor(230, 230, 230) : QColor(0, 0, 0));
    t.w->setPalette(p);
    t.w->refreshNow();
    for (CurveChart* c : {t.w->equatorChart, t.w->probeChart, t.w->phaseChart}) {
      EXPECT_EQ(c->chart()->backgroundBrush().color(), p.color(QPalette::Window));
      EXPECT_EQ(c->chart()->plotAreaBackgroundBrush().color(), p.color(QPalette::Base));
      EXPECT_EQ(c->axisX->labelsColor(), p.color(QPalette::WindowText));
      EXPECT_EQ(c->axisY->titleBrush().color(), p.color(QPalette::WindowText));
      EXPECT_EQ(c->chart()->legend()->labelColor(), p.color(QPalette::WindowText));
    }
    EXPECT_GE(contrastRatio(t.w->equatorSeries()->pen().color(), p.color(QPalette::Base)), 3.0);
    EXPECT_GE(contrastRatio(t.w->phaseSeries().series()[0]->pen().color(), p.color(QPalette::Base)), 3.0);
  }
}

}  // namespace
}  // namespace korvalen
