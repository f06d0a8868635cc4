// The window "Профили φ": one instance from the menu "Вид"; its charts follow the
// main window (the phase curve and the observations only while their tab is
// shown) and show the curves' numbers, gaps included; the observations at their
// places and in the map's colours; each chart's menu copies and saves; the
// palette's colours.
#include <QAction>
#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QImageReader>
#include <QLabel>
#include <QLegend>
#include <QMenu>
#include <QMessageBox>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QValueAxis>
#include <algorithm>
#include <array>
#include <numbers>
#include <set>

#include "app/main_frame.h"
#include "export/curve_tables.h"
#include "export/value_table.h"
#include "shading/colour_table.h"
#include "form1_fixture.h"
#include "observation_samples.h"
#include "observation_window/observation_store.h"
#include "profile_window/curve_chart.h"
#include "profile_window/observation_page.h"
#include "profile_window/profile_window.h"
#include "raster/diverging_scale.h"
#include "toolkit/appearance.h"

namespace korvalen {
namespace {

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

// The shortcut (no other action's) from a text box opens one window; every chart's
// menu comes from the right button, and from the menu key and Shift+F10.
TEST(ProfileWindow, ViewMenuOpensOneWindowWithChartMenus) {
  MainFrame frame;
  frame.show();
  frame.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
  EXPECT_EQ(frame.viewMenu->actions().first(), frame.profilesAction);
  std::multiset<QString> shortcuts;
  for (const QAction* a : frame.findChildren<QAction*>())
    if (!a->shortcut().isEmpty() && a != frame.fileMenu->actions()[1]) shortcuts.insert(a->shortcut().toString());
  for (const QString& s : shortcuts) EXPECT_EQ(shortcuts.count(s), 1u) << s.toStdString();
  frame.form().Text1->setFocus();
  QTest::keyClick(frame.form().Text1, Qt::Key_P, Qt::ControlModifier | Qt::ShiftModifier);
  ProfileWindow* w = frame.profileWindow();
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(w->isVisible());
  EXPECT_EQ(frame.form().Text1->text(), QStringLiteral("90"));
  frame.profilesAction->trigger();
  EXPECT_EQ(frame.findChildren<ProfileWindow*>().size(), 1);
  for (CurveChart* chart : {w->equatorChart, w->probeChart, w->phaseChart, w->observationPage->fitChart,
                            w->observationPage->missChart}) {
    QContextMenuEvent e(QContextMenuEvent::Mouse, QPoint(30, 40), chart->viewport()->mapToGlobal(QPoint(30, 40)));
    QApplication::sendEvent(chart->viewport(), &e);  // where a real right click arrives
    ASSERT_TRUE(chart->menu->isVisible());
    QStringList items;
    for (const QAction* a : chart->menu->actions()) items << a->text();
    EXPECT_EQ(items, (QStringList{"Копировать изображение", "Сохранить изображение…", "Сохранить значения…"}));
    chart->menu->hide();
  }
  for (const auto& [key, modifier] : {std::pair{Qt::Key_Menu, Qt::NoModifier}, {Qt::Key_F10, Qt::ShiftModifier}}) {
    QTest::keyClick(w->probeChart, key, modifier);
    EXPECT_TRUE(w->probeChart->menu->isVisible()) << key;
    w->probeChart->menu->hide();
  }
}

QList<QPointF> equatorPoints(const EquatorCurve& c) {
  QList<QPointF> p;
  for (const EquatorPoint& q : c.points) p.append(QPointF(q.gamma, static_cast<double>(q.phi)));
  return p;
}

// The model, the light, a level, hidden isolines (grey, dashed); an overflow leaves no curve.
TEST(ProfileWindow, EquatorFollowsModelLightAndIsolines) {
  Frame t;
  EXPECT_EQ(t.w->equatorSeries()->points(), equatorPoints(equatorCurve(t.f.st.lm)));
  t.f.Text4[0]->setText(QStringLiteral("60"));
  t.frame.modelActions[kLunarLambert]->trigger();
  t.f.Text8[kLegendIndex[3]]->setText(QStringLiteral("0.55"));
  QTest::mouseClick(t.f.Check3, Qt::LeftButton, {}, QPoint(6, 8));
  t.w->refreshNow();
  ASSERT_TRUE(t.w->equator());
  EXPECT_NEAR(t.w->equator()->g, 60, 1e-5);
  EXPECT_EQ(t.w->equatorSeries()->points(), equatorPoints(equatorCurve(t.f.st.lm)));
  std::vector<QLineSeries*> isolines;
  for (QAbstractSeries* s : t.w->equatorChart->chart()->series())
    if (s->name().startsWith(QStringLiteral("Изолиния"))) isolines.push_back(static_cast<QLineSeries*>(s));
  ASSERT_EQ(isolines.size(), 7u);
  EXPECT_EQ(isolines[2]->points(), (QList<QPointF>{{-90, 0.55f}, {90, 0.55f}}));
  for (QLineSeries* s : isolines) EXPECT_EQ(s->pen().style(), Qt::DashLine);
  // Shown again in the colours every eye can tell apart: the lines take the legend's set.
  QTest::mouseClick(t.f.Check3, Qt::LeftButton, {}, QPoint(6, 8));
  t.frame.isolineColoursActions[kDistinctColours]->trigger();
  t.w->refreshNow();
  for (int r = 1; r <= 7; ++r) {
    const Tint& c = kDistinctBandColour[r];
    EXPECT_EQ(isolines[r - 1]->pen().color(), QColor(c.red, c.green, c.blue)) << r;
  }
  t.frame.modelActions[kGlossy]->trigger();
  t.f.Text5->setText(QStringLiteral("3e38"));
  t.w->refreshNow();
  EXPECT_FALSE(t.w->equator());
  EXPECT_TRUE(t.w->equatorSeries()->points().isEmpty());
  EXPECT_EQ(t.w->equatorChart->chart()->title(), QStringLiteral("Кривая не найдена: Переполнение."));
  EXPECT_FALSE(t.w->equatorChart->saveValuesAction->isEnabled());
}

QLineSeries* seriesNamed(CurveChart* chart, const QString& start) {
  for (QAbstractSeries* s : chart->chart()->series())
    if (s->name().startsWith(start)) return static_cast<QLineSeries*>(s);
  return nullptr;
}

// What the map shows is named for the model: φ under the form's four, I/F
// (the radiance factor) under the added ones, in the probe, on the charts'
// axes and in the tables' comment line. The marks stand at the phase angle,
// an inclination of any size folded (200 degrees is 160).
TEST(ProfileWindow, QuantityNamedAndMarksAtThePhaseAngle) {
  for (const int32_t model : {int32_t{kMatte}, int32_t{kLunarLambert}, int32_t{kHapke}}) {
    Frame t;
    t.frame.modelActions[static_cast<size_t>(model)]->trigger();
    t.f.Command1->click();
    t.f.Picture1_MouseMove(196, 168);
    t.w->refreshNow();
    const bool iOverF = model != kMatte;
    EXPECT_TRUE(t.f.Label12->text().startsWith(iOverF ? QStringLiteral("I/F = ") : QStringLiteral("ф = ")));
    for (CurveChart* chart : {t.w->equatorChart, t.w->probeChart})
      EXPECT_EQ(chart->axisY->titleText(), iOverF ? QStringLiteral("I/F (радиационный фактор)") : QStringLiteral("φ"));
    ASSERT_TRUE(t.w->equator() && t.w->probe() && t.f.lastCompletedRun());
    for (const QByteArray& table : {equatorTable(*t.w->equator(), QStringLiteral("korvalen")),
                                    probeTable(*t.w->probe(), QStringLiteral("korvalen")),
                                    valueTable(t.f.lastCompletedRun()->state, QStringLiteral("korvalen"))})
      EXPECT_EQ(table.split('\n')[2].startsWith("# phi — радиационный фактор I/F"), iOverF) << model;
  }
  Frame t;
  t.w->tabs->setCurrentIndex(2);
  // The inclination typed, where the light's and the phase's marks stand (none beyond 90 for the light's).
  const double marks[][3] = {{30, 30, 30}, {-45, -45, 45}, {200, -160, 160}, {330, -30, 30}, {540, 180, 180}};
  for (const auto& [inclination, lightGamma, phase] : marks) {
    t.f.Text4[0]->setText(QString::number(inclination));
    t.w->refreshNow();
    const QLineSeries* light = seriesNamed(t.w->equatorChart, QStringLiteral("Источник"));
    const QLineSeries* mark = seriesNamed(t.w->phaseChart, QStringLiteral("Нынешний g"));
    ASSERT_TRUE(light && mark && mark->count() == 2);
    ASSERT_EQ(light->count(), std::fabs(lightGamma) <= 90 ? 2 : 0) << inclination;
    if (light->count()) {
      EXPECT_NEAR(light->at(0).x(), lightGamma, 1e-4) << inclination;
    }
    EXPECT_NEAR(mark->at(0).x(), phase, 1e-4) << inclination;
  }
}

// The row and column through the probe's last point, in runs between the gaps: off
// the disc the point stays, and a new light moves its values.
TEST(ProfileWindow, ProbeCurvesFollowTheProbeWithGaps) {
  Frame t;
  EXPECT_FALSE(t.w->probe());  // nothing shaded yet
  t.f.Text1->setText(QStringLiteral("120"));  // turned: the visible half ends inside the disc
  t.f.Command1->click();
  auto moveTo = [&](int x, int y) {
    QMouseEvent e(QEvent::MouseMove, QPointF(x, y), t.f.Picture1->mapToGlobal(QPointF(x, y)), Qt::NoButton,
                  Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(t.f.Picture1, &e);
    t.w->refreshNow();
  };
  auto runsOf = [](const std::vector<ProbeSample>& samples) {
    std::vector<QList<QPointF>> runs;
    for (size_t k = 0; k < samples.size(); ++k) {
      if (samples[k].shown && (k == 0 || !samples[k - 1].shown)) runs.emplace_back();
      if (samples[k].shown) runs.back().append(QPointF(samples[k].offset, static_cast<double>(samples[k].phi)));
    }
    return runs;
  };
  auto expectTheProbes = [&] {
    ASSERT_TRUE(t.w->probe());
    const ProbeCurves want = probeCurves(t.f.st.view, t.f.st.lm, t.f.st.map, t.f.st.mirror, 196, 169, 393, 337);
    EXPECT_EQ(t.w->rowCurve().runs(), runsOf(want.row));
    EXPECT_EQ(t.w->columnCurve().runs(), runsOf(want.column));
  };
  moveTo(196, 169);
  expectTheProbes();
  const std::vector<QList<QPointF>> before = t.w->rowCurve().runs();
  t.f.Text4[0]->setText(QStringLiteral("45"));
  moveTo(2, 2);
  EXPECT_EQ(t.w->probe()->x, 196);
  expectTheProbes();
  EXPECT_NE(t.w->rowCurve().runs(), before);
}

// Found only while its tab and the window are shown, and again only for another model;
// in magnitudes brighter is higher and the dark disc at 180 degrees a gap.
TEST(ProfileWindow, PhaseCurveOnlyWhileItsTabIsShown) {
  Frame t;
  EXPECT_EQ(t.w->phaseCurvesFound(), 0);
  t.w->tabs->setCurrentIndex(2);
  t.w->refreshNow();
  ASSERT_EQ(t.w->phaseCurvesFound(), 1);
  const PhaseCurve want = phaseCurve(t.f.st.lm);
  ASSERT_EQ(t.w->phaseSeries().runs().size(), 1u);
  const QList<QPointF> drawn = t.w->phaseSeries().runs()[0];
  ASSERT_EQ(drawn.size(), 181);
  for (int d = 0; d <= 180; ++d) EXPECT_EQ(drawn[d].y(), want.points[static_cast<size_t>(d)].relative);
  t.f.Text4[0]->setText(QStringLiteral("30"));  // moves only the mark
  t.w->magnitudeScale->setChecked(true);
  t.w->refreshNow();
  EXPECT_EQ(t.w->phaseCurvesFound(), 1);
  EXPECT_TRUE(t.w->phaseChart->axisY->isReverse());
  const QList<QPointF> m = t.w->phaseSeries().runs()[0];
  EXPECT_EQ(m.size(), 180);
  EXPECT_EQ(m[90].y(), *magnitudeOf(want.points[90].relative));
  t.w->tabs->setCurrentIndex(0);
  t.frame.modelActions[kAkimov]->trigger();
  t.w->refreshNow();
  t.w->hide();
  t.w->tabs->setCurrentIndex(2);
  QTest::qWait(5);
  EXPECT_EQ(t.w->phaseCurvesFound(), 1);
  t.frame.showProfileWindow();
  t.w->refreshNow();
  EXPECT_EQ(t.w->phaseCurvesFound(), 2);
  EXPECT_EQ(t.w->phase()->points[90].relative, phaseCurve(t.f.st.lm).points[90].relative);
}

// Copy; PNG at the screen's pixels with its command; SVG by the name or the filter;
// the values; a failed save says why and writes nothing; the dialog shares the form's folder.
TEST(ProfileWindow, ChartsCopyAndSave) {
  Frame t;
  QTemporaryDir dir;
  auto in = [&](const char* name) { return dir.filePath(QString::fromUtf8(name)); };
  CurveChart* chart = t.w->equatorChart;
  const QSize pixels = chart->size() * chart->devicePixelRatio();
  chart->copyAction->trigger();
  EXPECT_EQ(QApplication::clipboard()->image().size(), pixels);
  ASSERT_TRUE(chart->savePicture(in("e.png"), QStringLiteral("Изображения PNG (*.png)")));
  QImageReader png(in("e.png"));
  EXPECT_EQ(png.format(), "png");
  EXPECT_EQ(png.text(QStringLiteral("Comment")), commandText(argumentsOf(t.f.currentCommandLine())));
  EXPECT_EQ(png.read().size(), pixels);
  for (const auto& [name, filter] : {std::pair{"e.svg", "Изображения PNG (*.png)"}, {"e2", "Рисунки SVG (*.svg)"}}) {
    ASSERT_TRUE(chart->savePicture(in(name), QString::fromUtf8(filter)));
    QFile f(in(name));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray svg = f.readAll();
    EXPECT_TRUE(svg.startsWith("<?xml") && svg.contains("<svg") && svg.contains("<path")) << name;
  }
  ASSERT_TRUE(chart->saveValues(in("e.csv")));
  QFile csv(in("e.csv"));
  ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
  const QList<QByteArray> lines = csv.readAll().split('\n');
  EXPECT_EQ(lines[1], "# " + commandText(argumentsOf(t.f.currentCommandLine()) << "--profile" << "e.csv").toUtf8());
  EXPECT_EQ(lines.size(), 3 + 361 + 1);
  int answered = 0;
  QString text;
  answerNext<QMessageBox>(answered, [&](QMessageBox* box) { text = box->text(), box->accept(); });
  EXPECT_FALSE(chart->savePicture(in("no/e.png"), QString()));
  EXPECT_TRUE(text.startsWith(QStringLiteral("Не удалось сохранить файл «") + in("no/e.png") + QStringLiteral("»: ")))
      << text.toStdString();
  EXPECT_FALSE(QFile::exists(in("no/e.png")));
  answerNext<QFileDialog>(answered, [&](QFileDialog* d) {
    EXPECT_EQ(d->nameFilters(), (QStringList{"Изображения PNG (*.png)", "Рисунки SVG (*.svg)"}));
    d->setDirectory(dir.path());
    d->selectNameFilter(QStringLiteral("Рисунки SVG (*.svg)"));
    emit d->filterSelected(QStringLiteral("Рисунки SVG (*.svg)"));  // a bare name takes its suffix
    d->selectFile(QStringLiteral("chosen"));
    QMetaObject::invokeMethod(d, "accept");
  });
  t.w->phaseChart->saveImageAction->trigger();
  EXPECT_TRUE(QFile::exists(in("chosen.svg")));
  answerNext<QFileDialog>(answered, [&](QFileDialog* d) {
    EXPECT_EQ(d->directory().absolutePath(), QDir(dir.path()).absolutePath());
    d->reject();
  });
  t.f.saveExampleAction->trigger();
  EXPECT_EQ(answered, 3);
}

// A table written as a user's file: i,e,g and, where given, the measured I/F.
QString writeObservations(const QString& path, const std::vector<std::array<double, 4>>& rows, bool measured) {
  QByteArray text = measured ? "i,e,g,I/F\n" : "i,e,g\n";
  for (const auto& r : rows) {
    text += QByteArray::number(r[0], 'g', 17) + ',' + QByteArray::number(r[1], 'g', 17) + ',' +
            QByteArray::number(r[2], 'g', 17);
    if (measured) text += ',' + QByteArray::number(r[3], 'g', 17);
    text += '\n';
  }
  QFile f(path);
  EXPECT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(text);
  return path;
}

// The points of a chart's dots, with the class each is drawn in.
std::vector<std::pair<QPointF, int>> dotsOf(const std::vector<QLineSeries*>& classes) {
  std::vector<std::pair<QPointF, int>> dots;
  for (size_t k = 0; k < classes.size(); ++k)
    for (const QPointF& p : classes[k]->points()) dots.emplace_back(p, static_cast<int>(k));
  return dots;
}

// Four observations under Lambert's law, A cos i, each missed by a known
// amount: every point where it belongs on both charts and along each angle,
// in the map's colour for its miss, and its row in the table; the tab says
// why it shows nothing without a table, without measured values and under a
// model that gives no values; it finds values only while shown, once for
// many changes.
TEST(ProfileWindow, ObservationsAgainstTheModel) {
  Frame t;
  ObservationPage* page = t.w->observationPage;
  QTemporaryDir dir;
  t.w->tabs->setCurrentWidget(page);
  t.w->refreshNow();
  EXPECT_EQ(page->pages->currentWidget(), page->note);
  EXPECT_EQ(page->note->text(), QStringLiteral("Наблюдения не открыты (Файл → Открыть наблюдения…)."));
  EXPECT_FALSE(page->fitChart->saveValuesAction->isEnabled());

  t.frame.modelActions[kLambertLaw]->trigger();
  const double a = t.f.st.lm.planetary.factor;
  // i, e, g, the miss; the largest miss is the scale's half-range, 0.1.
  const double rows[][4] = {{0, 0, 0, 0.1}, {60, 30, 40, -0.1}, {30, 50, 70, 0.05}, {45, 10, 50, 0}};
  std::vector<std::array<double, 4>> file;
  for (const auto& [i, e, g, miss] : rows) file.push_back({i, e, g, a * std::cos(i * std::numbers::pi / 180) + miss});
  ASSERT_EQ(t.frame.observations().load(writeObservations(dir.filePath("m.csv"), file, true)), QString());
  t.w->refreshNow();
  ASSERT_TRUE(page->shown());
  EXPECT_EQ(page->shown()->limit, 0.1);
  EXPECT_EQ(page->scale->labels(), (QStringList{"−0.1", "0", "+0.1"}));
  const auto fit = dotsOf(page->fitClasses());
  ASSERT_EQ(fit.size(), 4u);
  for (size_t r = 0; r < 4; ++r) {
    const double model = a * std::cos(rows[r][0] * std::numbers::pi / 180);
    const auto found = std::find_if(fit.begin(), fit.end(), [&](const auto& d) {
      return std::fabs(d.first.x() - model) < 1e-12 && std::fabs(d.first.y() - file[r][3]) < 1e-12;
    });
    ASSERT_NE(found, fit.end()) << r;
    const QColor drawn = page->fitClasses()[static_cast<size_t>(found->second)]->color();
    const Colour want = divergingColour(rows[r][3] / 0.1);
    EXPECT_EQ(drawn, QColor(redOf(want), greenOf(want), blueOf(want))) << r;
  }
  // The line of agreement runs corner to corner of a square scale.
  const QList<QPointF> diagonal = page->diagonal()->points();
  ASSERT_EQ(diagonal.size(), 2);
  EXPECT_EQ(diagonal[0].x(), diagonal[0].y());
  EXPECT_EQ(diagonal[1].x(), diagonal[1].y());
  EXPECT_EQ(page->fitChart->axisX->min(), page->fitChart->axisY->min());
  EXPECT_EQ(page->fitChart->axisX->max(), page->fitChart->axisY->max());
  for (int by = 0; by < 3; ++by) {
    page->abscissa->button(by)->click();
    auto misses = dotsOf(page->missClasses());
    ASSERT_EQ(misses.size(), 4u);
    std::vector<std::pair<QPointF, int>> want;
    for (const auto& r : rows) want.emplace_back(QPointF(r[by == 0 ? 2 : by == 1 ? 0 : 1], r[3]), missClass(r[3], 0.1));
    auto byPlace = [](const auto& p, const auto& q) {
      return std::pair(p.first.x(), p.first.y()) < std::pair(q.first.x(), q.first.y());
    };
    std::sort(misses.begin(), misses.end(), byPlace);
    std::sort(want.begin(), want.end(), byPlace);
    for (size_t k = 0; k < 4; ++k) {
      EXPECT_EQ(misses[k].first.x(), want[k].first.x()) << by;
      EXPECT_NEAR(misses[k].first.y(), want[k].first.y(), 1e-12) << by;
      EXPECT_EQ(misses[k].second, want[k].second) << by;
    }
  }
  const QList<QByteArray> lines = page->fitChart->table(QStringLiteral("m-out.csv")).split('\n');
  ASSERT_EQ(lines.size(), 3 + 1 + 4 + 1);
  EXPECT_TRUE(lines[1].contains("--data " + dir.filePath("m.csv").toUtf8())) << lines[1].toStdString();
  EXPECT_EQ(lines[3], "line,i,e,g,measured,model,residual");
  for (size_t r = 0; r < 4; ++r) {
    const QList<QByteArray> cells = lines[4 + static_cast<int>(r)].split(',');
    ASSERT_EQ(cells.size(), 7);
    EXPECT_EQ(cells[0].toInt(), static_cast<int>(r) + 2);  // the header is line 1
    for (int c = 0; c < 3; ++c) EXPECT_EQ(cells[1 + c].toDouble(), rows[r][c]);
    EXPECT_EQ(cells[4].toDouble(), file[r][3]);
    EXPECT_NEAR(cells[5].toDouble(), file[r][3] - rows[r][3], 1e-12);
    EXPECT_NEAR(cells[6].toDouble(), rows[r][3], 1e-12);
  }

  // Elsewhere, many changes: nothing found until the tab is shown, then once.
  const int found = page->valuesFound();
  t.w->tabs->setCurrentIndex(0);
  t.f.Text4[0]->setText(QStringLiteral("30"));
  t.frame.modelActions[kMinnaert]->trigger();
  t.w->refreshNow();
  EXPECT_EQ(page->valuesFound(), found);
  t.w->tabs->setCurrentWidget(page);
  t.frame.modelActions[kLunarLambert]->trigger();
  for (int k = 0; k < 1000 && page->valuesFound() == found; ++k) QTest::qWait(5);
  QApplication::processEvents();
  EXPECT_EQ(page->valuesFound(), found + 1);
  EXPECT_NE(page->shown()->model, page->shown()->miss);

  t.frame.modelActions[kGlossy]->trigger();
  t.w->refreshNow();
  EXPECT_EQ(page->pages->currentWidget(), page->note);
  EXPECT_EQ(page->note->text(), QStringLiteral("Модель не даёт значений в точках наблюдений."));
  EXPECT_TRUE(dotsOf(page->fitClasses()).empty());
  t.frame.modelActions[kLambertLaw]->trigger();
  ASSERT_EQ(t.frame.observations().load(writeObservations(dir.filePath("g.csv"), file, false)), QString());
  t.w->refreshNow();
  EXPECT_EQ(page->note->text(), QStringLiteral("В таблице нет измеренных значений: сравнивать модель не с чем."));
}

// A table too large to draw whole is drawn a row in every few, evenly; its values keep every row.
TEST(ProfileWindow, LargeTableDrawnThinned) {
  Frame t;
  t.frame.modelActions[kLambertLaw]->trigger();
  QTemporaryDir dir;
  ObservationTable m = spreadGeometries(kMostDrawnPoints + 1);
  measure(m, kLambertLaw, t.f.st.lm.planetary, 0.05);
  std::vector<std::array<double, 4>> rows;
  for (size_t r = 0; r < m.size(); ++r) rows.push_back({m.i[r], m.e[r], m.g[r], m.value[r]});
  ASSERT_EQ(t.frame.observations().load(writeObservations(dir.filePath("big.csv"), rows, true)), QString());
  ObservationPage* page = t.w->observationPage;
  t.w->tabs->setCurrentWidget(page);
  t.w->refreshNow();
  ASSERT_TRUE(page->shown());
  EXPECT_EQ(page->shown()->step, 2u);
  EXPECT_EQ(dotsOf(page->fitClasses()).size(), kMostDrawnPoints / 2 + 1);
  EXPECT_EQ(dotsOf(page->missClasses()).size(), kMostDrawnPoints / 2 + 1);
  EXPECT_EQ(page->fitChart->table(QStringLiteral("big-out.csv")).count('\n'), static_cast<qsizetype>(4 + m.size()));
}

// A dark scheme: the charts take the window's colours, and the curves read on the plot area.
TEST(ProfileWindow, ChartsFollowThePalette) {
  Frame t;
  QPalette p = t.w->palette();
  p.setColor(QPalette::Window, QColor(40, 42, 46));
  p.setColor(QPalette::Base, QColor(30, 30, 30));
  p.setColor(QPalette::WindowText, QColor(238, 238, 238));
  p.setColor(QPalette::Text, QColor(230, 230, 230));
  t.w->setPalette(p);
  t.w->refreshNow();
  for (CurveChart* c : {t.w->equatorChart, t.w->probeChart, t.w->phaseChart, t.w->observationPage->fitChart,
                        t.w->observationPage->missChart}) {
    EXPECT_EQ(c->chart()->backgroundBrush().color(), p.color(QPalette::Window));
    EXPECT_EQ(c->chart()->plotAreaBackgroundBrush().color(), p.color(QPalette::Base));
    EXPECT_EQ(c->axisX->labelsColor(), p.color(QPalette::WindowText));
    EXPECT_EQ(c->chart()->legend()->labelColor(), p.color(QPalette::WindowText));
  }
  EXPECT_GE(contrastRatio(t.w->equatorSeries()->pen().color(), p.color(QPalette::Base)), 3.0);
  EXPECT_GE(contrastRatio(t.w->phaseSeries().series()[0]->pen().color(), p.color(QPalette::Base)), 3.0);
  for (QLineSeries* s : {t.w->observationPage->diagonal(), t.w->observationPage->zeroLine()})
    EXPECT_GE(contrastRatio(s->pen().color(), p.color(QPalette::Base)), 3.0);
}

}  // namespace
}  // namespace korvalen
