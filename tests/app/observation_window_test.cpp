// Observations in the windows, driven as a user drives them: a table opened
// from the File menu (and refused, keeping the last), the fit of the ticked
// parameters on its own thread into the fields and the report, "Отмена" and
// Escape, a fit's failure, "Вернуть прежние", and the comparison's choice.
#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <cmath>

#include "app/main_frame.h"
#include "form1_fixture.h"
#include "model_window/model_window.h"
#include "observation_samples.h"
#include "observation_window/comparison_window.h"
#include "observation_window/fit_panel.h"
#include "observation_window/observation_store.h"
#include "export/report_text.h"

namespace korvalen {
namespace {

QString writeTable(const QString& path, const ObservationTable& t) {
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::WriteOnly));
  QString text = t.hasSigma() ? QStringLiteral("i,e,g,I/F,sigma\n") : QStringLiteral("i,e,g,I/F\n");
  for (size_t r = 0; r < t.size(); ++r) {
    QStringList row;
    for (double v : {t.i[r], t.e[r], t.g[r], t.value[r]}) row << QString::number(v, 'g', 17);
    if (t.hasSigma()) row << QString::number(t.sigma[r], 'g', 17);
    text += row.join(QLatin1Char(',')) + QLatin1Char('\n');
  }
  file.write(text.toUtf8());
  return path;
}

ObservationTable measured(int32_t model, const PlanetaryParameters& p, size_t n, double noise) {
  ObservationTable t = spreadGeometries(n);
  measure(t, model, p, noise);
  return t;
}

// The program after start-up with the parameter window open on `model`.
struct Frame {
  MainFrame frame;
  Form1& f = frame.form();
  ModelWindow* w = nullptr;
  FitPanel* panel = nullptr;
  explicit Frame(int32_t model) {
    frame.show();
    for (int k = 0; k < 1000 && f.Timer1->enabled(); ++k) QTest::qWait(5);
    frame.modelActions[static_cast<size_t>(model)]->trigger();
    frame.parametersAction->trigger();
    w = frame.modelWindow();
    panel = w->findChild<FitPanel*>();
  }
  void tick(FitParameter id) {
    w->freeBox(id)->setFocus();
    QTest::keyClick(w->freeBox(id), Qt::Key_Space);
  }
  bool finish() {
    for (int k = 0; k < 12000 && panel->running(); ++k) QTest::qWait(5);
    return !panel->running();
  }
};

// Answers every modal window of type W that opens while it lives (one opened
// from a queued call, say, in the middle of a wait).
template <typename W>
struct ModalAnswer {
  QTimer timer;
  int answered = 0;
  explicit ModalAnswer(std::function<void(W*)> answer) {
    QObject::connect(&timer, &QTimer::timeout, [this, answer] {
      if (auto* w = qobject_cast<W*>(QApplication::activeModalWidget())) {
        ++answered;
        answer(w);
      }
    });
    timer.start(5);
  }
};

TEST(ObservationWindow, OpenedFromTheFileMenuAndRefusedFilesKeepTheLast) {
  QTemporaryDir dir;
  ObservationTable sigma = measured(kMinnaert, {}, 3, 0.01);
  ObservationTable plain = measured(kMinnaert, {}, 21, 0);
  const QString good = writeTable(dir.filePath("a.csv"), sigma), bad = dir.filePath("b.csv");
  QFile b(bad);
  ASSERT_TRUE(b.open(QIODevice::WriteOnly));
  b.write("i,e,g,I/F\n10,20,15,0.5\n95,20,80,0.5\n");
  b.close();
  QFile c(dir.filePath("c.dat"));
  ASSERT_TRUE(c.open(QIODevice::WriteOnly));
  c.write("i e g\n10 20 15\n");
  c.close();
  struct Step {
    QString path;
    const char* refusal;  // the start of the message box's text; nullptr: read
    const char* status;
    bool canCompare;
  } const steps[] = {
      {good, nullptr, "Наблюдения: a.csv, 3 точки, с погрешностями σ.", true},
      {bad, "не принят: строка 3, столбец «i»", "Наблюдения: a.csv, 3 точки, с погрешностями σ.", true},
      {writeTable(dir.filePath("d.txt"), plain), nullptr, "Наблюдения: d.txt, 21 точка.", true},
      {dir.filePath("c.dat"), nullptr, "Наблюдения: c.dat, 1 точка, без измеренных I/F: подбирать не по чему.", false},
  };
  Frame t(kMinnaert);
  EXPECT_FALSE(t.panel->compareButton()->isEnabled());
  for (const Step& s : steps) {
    SCOPED_TRACE(s.path.toStdString());
    t.frame.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&t.frame));
    int answered = 0;
    QString message;
    answerNext<QFileDialog>(answered, [&](QFileDialog* d) {
      EXPECT_EQ(d->nameFilters(), (QStringList{"Таблицы наблюдений (*.csv *.txt *.tsv *.dat)", "Все файлы (*)"}));
      if (s.refusal)
        answerNext<QMessageBox>(answered, [&](QMessageBox* box) { message = box->text(), box->accept(); });
      d->selectFile(s.path);
      QMetaObject::invokeMethod(d, "accept");
    });
    QTest::keyClick(t.f.Text1, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(answered, s.refusal ? 2 : 1);
    if (s.refusal) {
      EXPECT_TRUE(message.contains(QString::fromUtf8(s.refusal))) << message.toStdString();
    }
    EXPECT_EQ(t.panel->statusLabel()->text(), QString::fromUtf8(s.status));
    EXPECT_EQ(t.panel->compareButton()->isEnabled(), s.canCompare);
  }
}

class ObservationFit : public ::testing::TestWithParam<Loc> {
 protected:
  void SetUp() override { QLocale::setDefault(localeOf(GetParam())); }
  void TearDown() override { QLocale::setDefault(QLocale::c()); }
};

// Minnaert's k and the factor, fitted on the worker, go into the fields and the
// program as typed; the report speaks the window's locale; "Вернуть прежние".
TEST_P(ObservationFit, FitEntersTheFieldsReportsAndRestores) {
  QTemporaryDir dir;
  PlanetaryParameters truth;
  truth.factor = 0.8;
  truth.minnaertK = 0.7;
  Frame t(kMinnaert);
  ASSERT_TRUE(t.frame.observations()
                  .load(writeTable(dir.filePath("m.csv"), measured(kMinnaert, truth, 200, 0.01)))
                  .isEmpty());
  EXPECT_FALSE(t.panel->fitButton()->isEnabled());  // nothing free yet
  EXPECT_EQ(t.w->freeBox(kFitL), nullptr);          // no field of another model
  t.tick(kFitK);
  t.tick(kFitFactor);
  ASSERT_TRUE(t.panel->fitButton()->isEnabled());
  const PlanetaryParameters before = t.f.st.lm.planetary;
  const QImage example = t.f.examplePicture();
  t.panel->fitButton()->click();
  EXPECT_TRUE(t.panel->running());
  EXPECT_FALSE(t.panel->fitButton()->isEnabled());
  EXPECT_FALSE(t.panel->compareButton()->isEnabled());
  EXPECT_TRUE(t.panel->progressBar()->isVisible());
  ASSERT_TRUE(t.finish());
  EXPECT_FALSE(t.panel->progressBar()->isVisible());

  const PlanetaryParameters& now = t.f.st.lm.planetary;
  EXPECT_NEAR(now.minnaertK, 0.7, 0.02);
  EXPECT_NEAR(now.factor, 0.8, 0.02);
  EXPECT_EQ(t.w->fieldOf(kFitK)->value(), now.minnaertK);
  EXPECT_EQ(t.w->factorBox()->value(), now.factor);
  EXPECT_NE(t.f.examplePicture(), example);
  const QStringList args = argumentsOf(t.f.currentCommandLine());
  ASSERT_TRUE(args.contains(QStringLiteral("--k")));
  EXPECT_EQ(args[args.indexOf(QStringLiteral("--k")) + 1].toDouble(), now.minnaertK);

  const QString report = t.panel->reportView()->toPlainText();
  const QString d = GetParam() == Loc::Comma ? QStringLiteral(",") : QStringLiteral("\\.");
  for (const QString& line :
       {QStringLiteral("^k = 0%1\\d+ ± \\d%1\\d+([eE]-0\\d)?$"), QStringLiteral("^A \\(множитель\\) = 0%1\\d+ ± "),
        QStringLiteral("^χ² = \\d+%1?\\d*; приведённый χ² = [01]%1\\d+$"), QStringLiteral("^Сошёлся: да$"),
        QStringLiteral("^Модель Миннарта, наблюдений: 200$"), QStringLiteral("^Итог: сошёлся")})
    EXPECT_TRUE(report.contains(QRegularExpression(QString(line).replace(QStringLiteral("%1"), d), QRegularExpression::MultilineOption)))
        << line.toStdString() << "\n" << report.toStdString();
  EXPECT_FALSE(report.contains(QStringLiteral("nan"), Qt::CaseInsensitive));

  ASSERT_TRUE(t.panel->restoreButton()->isEnabled());
  t.panel->restoreButton()->click();
  EXPECT_EQ(t.f.st.lm.planetary, before);
  EXPECT_EQ(t.w->fieldOf(kFitK)->value(), before.minnaertK);
  EXPECT_FALSE(t.panel->restoreButton()->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(Locales, ObservationFit, ::testing::Values(Loc::Point, Loc::Comma));

// A fit that is cancelled, outrun by a change of model, or refused by the
// core leaves every value as it was; the refusal is told in a message box.
TEST(ObservationWindow, CancelledOutrunOrFailedFitsChangeNothing) {
  struct Case {
    const char* name;
    size_t points;
    std::function<void(Frame&)> meanwhile;  // right after the click
    const char* state;
    const char* message;  // of the box; nullptr: none
  } const cases[] = {
      {"Отмена", 300, [](Frame& t) { t.panel->cancelButton()->click(); }, "Подбор отменён; значения не изменились.", nullptr},
      {"Escape", 300, [](Frame& t) { QTest::keyClick(t.w->fieldOf(kFitW), Qt::Key_Escape); },
       "Подбор отменён; значения не изменились.", nullptr},
      {"another model", 300, [](Frame& t) { t.frame.modelActions[kAkimov]->trigger(); },
       "Модель сменилась во время подбора: значения не внесены в поля.", nullptr},
      {"too few points", 3, [](Frame&) {}, "Подбор не удался.", "Наблюдений 3, а свободных параметров 4"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QTemporaryDir dir;
    PlanetaryParameters truth;
    truth.hapke.w = 0.4;
    Frame t(kHapke);
    t.frame.observations().load(writeTable(dir.filePath("h.csv"), measured(kHapke, truth, c.points, 0.01)));
    for (FitParameter id : {kFitW, kFitB, kFitC, kFitTheta}) t.tick(id);
    const PlanetaryParameters before = t.f.st.lm.planetary;
    QString message;
    ModalAnswer<QMessageBox> box([&](QMessageBox* b) { message = b->text(), b->accept(); });
    t.panel->fitButton()->click();
    c.meanwhile(t);
    ASSERT_TRUE(t.finish());
    EXPECT_EQ(t.f.st.lm.planetary, before);
    EXPECT_TRUE(t.w->isVisible());
    EXPECT_EQ(t.panel->stateLabel()->text(), QString::fromUtf8(c.state));
    EXPECT_FALSE(t.panel->restoreButton()->isEnabled());
    EXPECT_EQ(box.answered, c.message ? 1 : 0);
    if (c.message) {
      EXPECT_TRUE(message.startsWith(QString::fromUtf8(c.message))) << message.toStdString();
    }
  }
}

// Every model fitted, best first by BIC; Enter on a row selects its model with
// its values, a double click on Lambert's row the matte model.
TEST(ObservationWindow, ComparisonChoosesTheModelOfARow) {
  QTemporaryDir dir;
  PlanetaryParameters truth;
  truth.factor = 0.9;
  truth.lunarL = 0.3;
  Frame t(kMinnaert);
  t.frame.observations().load(writeTable(dir.filePath("ll.csv"), measured(kLunarLambert, truth, 120, 0.01)));
  t.panel->compareButton()->click();
  ASSERT_TRUE(t.finish());
  ComparisonWindow* cw = t.panel->comparisonWindow();
  ASSERT_NE(cw, nullptr);
  EXPECT_TRUE(cw->isVisible());
  QTableWidget* table = cw->table();
  ASSERT_EQ(table->rowCount(), 6);
  int lunar = -1, lambert = -1;
  for (int r = 0; r < 6; ++r) {
    EXPECT_LE(cw->rows()[r > 0 ? r - 1 : 0].bic, cw->rows()[r].bic);
    EXPECT_NE(table->item(r, 3)->text(), QStringLiteral("—"));  // sigma given: reduced chi^2
    if (table->item(r, 0)->text() == QString::fromUtf8(fitModelName(kLunarLambert))) lunar = r;
    if (table->item(r, 0)->text() == QString::fromUtf8(fitModelName(kLambertLaw))) lambert = r;
  }
  EXPECT_EQ(table->item(0, 6)->text(), QStringLiteral("0"));
  ASSERT_GE(lunar, 0);
  ASSERT_GE(lambert, 0);

  table->setCurrentCell(lunar, 0);
  QTest::keyClick(table, Qt::Key_Return);
  EXPECT_EQ(t.f.st.lm.surfaceModel, kLunarLambert);
  EXPECT_TRUE(t.frame.modelActions[kLunarLambert]->isChecked());
  EXPECT_NEAR(t.f.st.lm.planetary.lunarL, 0.3, 0.02);
  EXPECT_EQ(t.w->fieldOf(kFitL)->value(), t.f.st.lm.planetary.lunarL);
  EXPECT_EQ(t.w->factorBox()->value(), t.f.st.lm.planetary.factor);
  EXPECT_TRUE(t.panel->restoreButton()->isEnabled());

  const QRect cell = table->visualItemRect(table->item(lambert, 0));
  // A double click as the mouse gives it: a click, then the second press.
  QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
  QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cell.center());
  EXPECT_EQ(t.f.st.lm.surfaceModel, kMatte);
  EXPECT_TRUE(t.f.Option1->isChecked());
}

TEST(ObservationWindow, NumbersAreShownInTheLocaleAndNeverAsNaN) {
  const QLocale ru(QLocale::Russian, QLocale::Russia), c = QLocale::c();
  struct Case {
    double v;
    const char *point, *comma;
  } const cases[] = {
      {std::nan(""), "—", "—"},   {-HUGE_VAL, "—", "—"},           {-0.0, "0", "0"},
      {0.123456789, "0.123457", "0,123457"}, {12345.67, "12345.7", "12345,7"}, {1.5e-7, "1.5e-07", "1,5E-07"},
  };
  for (const Case& k : cases) {
    EXPECT_EQ(shownNumber(k.v, c), QString::fromUtf8(k.point)) << k.v;
    EXPECT_EQ(shownNumber(k.v, ru), QString::fromUtf8(k.comma)) << k.v;
  }
  const std::pair<size_t, const char*> words[] = {{1, "1 точка"}, {4, "4 точки"}, {11, "11 точек"},
                                                  {22, "22 точки"}, {112, "112 точек"}, {101, "101 точка"}};
  for (const auto& [n, text] : words) EXPECT_EQ(pointsText(n, c), QString::fromUtf8(text));
  const FittedValue unfixed{kFitB, 0.25, std::nullopt}, theta{kFitTheta, 20, 1.5};
  EXPECT_EQ(fittedValueText(unfixed, ru), QStringLiteral("b = 0,25 — не определяется"));
  EXPECT_EQ(fittedValueText(theta, c), QStringLiteral("θ̄ = 20° ± 1.5°"));
}

}  // namespace
}  // namespace korvalen
