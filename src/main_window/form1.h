#pragma once
// Form1, the main window: the map of the sphere, the isoline legend, the view
// parameters, the surface models with the example picture. It owns the whole
// state of the program; its handlers and private procedures communicate only
// through that state and through the controls.
#include <QLocale>
#include <QString>
#include <QWidget>
#include <array>
#include <optional>

#include "comparison/model_comparison.h"
#include "export/command_line.h"
#include "export/value_table.h"
#include "main_window/observation_marks.h"
#include "main_window/save_dialogs.h"
#include "main_window/text_reading.h"
#include "photometry/model_state.h"
#include "toolkit/controls.h"

class QAction;
class QLabel;
class QMenu;
class QProgressBar;
class QTimer;

namespace korvalen {

class CompareDialog;
class ComparisonSession;
struct ComparisonSettings;

// The state of the window that is not a control's own. The text-to-number
// procedure's variables come first.
struct Form1State : TextConversion {
  LightAndModel lm;
  ViewAndRotation view;
  MapPicture map;
  Isolines iso;
  MirrorSpot mirror;
  // Shared loop counters (the scan, start-up and the text procedure).
  int32_t scanColumn = 0;
  int32_t scanRow = 0;
};

// Colours of a text box: its text accepted, or not.
inline constexpr Colour kAccepted = kSystemWindowBackground;
inline constexpr Colour kNotAccepted = kRefusedTextColour;

// The legend's rows 1..7 from the top and the controls that belong to them.
// Shape1, Label1, Text8 and Text7 of row r have index kLegendIndex[r];
// its "± " label is Label2(kLegendPlusMinus[r]).
inline constexpr std::array<int, 8> kLegendIndex = {0, 7, 1, 2, 3, 4, 5, 6};
inline constexpr std::array<int, 8> kLegendPlusMinus = {0, 10, 9, 8, 7, 4, 5, 6};
// The swatch colours of the legend rows 1..7.
inline constexpr std::array<Colour, 8> kLegendColour = {
    0,
    RGB(255, 128, 128), RGB(255, 192, 128), RGB(255, 255, 0), RGB(0, 192, 0),
    RGB(0, 176, 240),   RGB(0, 0, 255),     RGB(96, 0, 128)};

// The legend's swatch of row r (1..7) for the bands' colours (IsolineColours).
Colour legendSwatchColour(int row, int16_t isolineColours);

// Maps the window's font names to fonts Debian ships with metrics that fit the layout.
void installFontSubstitutions();

inline const QString kNoLitPoints =
    QStringLiteral("на карте нет освещённых точек, уровни изолиний не изменены");

class Form1 : public QWidget {
  Q_OBJECT
 public:
  explicit Form1(QWidget* parent = nullptr);
  ~Form1() override;

  Form1State st;

  // ---- controls, named and indexed as the window names them
  std::array<Shape*, 8> Shape1{};
  PictureBox* Picture1 = nullptr;
  Label* Label17 = nullptr;
  Label* Label12 = nullptr;
  Label* Label5 = nullptr;
  std::array<Label*, 8> Label1{};
  std::array<Label*, 11> Label2{};
  std::array<TextBox*, 8> Text8{};
  std::array<TextBox*, 8> Text7{};
  CheckBox* Check3 = nullptr;
  LineControl* Line7 = nullptr;
  LineControl* Line6 = nullptr;
  Shape* Shape2 = nullptr;
  Label* Label9 = nullptr;
  CommandButton* Command1 = nullptr;
  CommandButton* Command2 = nullptr;
  CheckBox* Check2 = nullptr;
  CheckBox* Check1 = nullptr;
  ImageBox* Image1 = nullptr;
  TextBox* Text1 = nullptr;
  ImageBox* Image2 = nullptr;
  TextBox* Text2 = nullptr;
  ImageBox* Image3 = nullptr;
  std::array<TextBox*, 1> Text3{};
  LineControl* Line11 = nullptr;
  LineControl* Line10 = nullptr;
  Label* Label3 = nullptr;
  std::array<TextBox*, 1> Text4{};
  Label* Label10 = nullptr;
  ImageBox* Image4 = nullptr;
  LineControl* Line12 = nullptr;
  Label* Label7 = nullptr;
  TextBox* Text9 = nullptr;
  Label* Label8 = nullptr;
  Label* Label13 = nullptr;
  Label* Label14 = nullptr;
  Label* Label15 = nullptr;
  PictureBox* Picture2 = nullptr;
  Label* Label16 = nullptr;
  Label* Label11 = nullptr;
  LineControl* Line9 = nullptr;
  OptionButton* Option1 = nullptr;
  LineControl* Line8 = nullptr;
  OptionButton* Option3 = nullptr;
  LineControl* Line4 = nullptr;
  OptionButton* Option2 = nullptr;
  Label* Label6 = nullptr;
  TextBox* Text5 = nullptr;
  Label* Label4 = nullptr;
  TextBox* Text6 = nullptr;
  LineControl* Line5 = nullptr;
  OptionButton* Option4 = nullptr;
  Timer* Timer1 = nullptr;

  // ---- handlers
  void Form_Load();
  void Timer1_Timer();
  void Command1_Click();
  void Command2_Click();
  void Text1_Change();
  void Text2_Change();
  void Text3_Change(int16_t index);
  void Text4_Change(int16_t index);
  void Text5_Change();
  void Text6_Change();
  void Text7_Change(int16_t index);
  void Text8_Change(int16_t index);
  void Text9_Change();
  void Option1_Click();
  void Option2_Click();
  void Option3_Click();
  void Option4_Click();
  void Check1_Click();
  void Check2_Click();
  void Check3_Click();
  void Check1_Validate();
  void Check2_Validate();
  void Check3_Validate();
  void Picture1_MouseMove(float x, float y);

  // ---- the added models of planetary photometry (the model menu and its parameter window)
  // Selects model 5..9: the option buttons cleared (none of their handlers runs),
  // the parameter labels greyed, the formula shown, the example redrawn.
  void selectPlanetaryModel(int32_t model);
  // New parameters of the added models; the example follows at once, the map
  // at the next run.
  void setPlanetaryParameters(const PlanetaryParameters& p);
  // The formula Label13 shows for an added model.
  // The formula Label13 shows for an added model; Hapke's with the 2012 terms
  // where they are on.
  static QString planetaryFormula(int32_t model, const PlanetaryParameters& p);

  // ---- private procedures of the window
  void РисованиеПолусферыПримера();
  void ПреобразованиеТекстаВЧисло();

  // The two ways of reading a number from a text.
  double cleanedReading() const;                      // of numberText
  static std::optional<double> localeReading(const QString& text);
  static double localeNumber(const QString& text);    // a failure is a run-time error
  // A start-up number as a box shows it: the user's decimal separator, Latin
  // digits. forCleanedReading: the box is read by the program's own reading.
  static QString numberToText(double v, bool forCleanedReading = false);

  // The bar over the map area that shows how far a long shading run has come,
  // hidden otherwise; a run expected to last at least longRunSeconds shows it.
  QProgressBar* runProgress() const { return runProgress_; }
  double longRunSeconds = 0.5;

  // ---- shading on every change ("Тонировать при каждом изменении")
  // Off at start-up. Turned on, it shades the map at once; from then on every
  // accepted change that the next run reads is followed by one run, however
  // many changes arrive before it starts.
  void setLiveShading(bool on);
  bool liveShading() const { return liveShading_; }
  // The bands' colours (IsolineColours): on the map from the next run on,
  // in the legend at once.
  void setIsolineColours(int16_t colours);

  // Runs started by live shading so far, and whether one is still to come (for the tests).
  long liveRuns() const { return liveRuns_; }
  bool liveRunPending() const;

  // The notice that tells the user a handler failed (for the tests).
  QString lastFailureMessage() const;
  bool failureNoticeVisible() const;
  QString failureNoticeText() const;

  // ---- taking the results away: the pictures' menus, the files they write
  // The pictures as drawn, at the screen's own pixels, without the labels over them.
  QImage mapPicture() const;
  QImage examplePicture() const;
  // The command line that sets the boxes, options and scale as they stand now.
  CommandLine currentCommandLine() const;
  // The last shading run that completed, for the table of values.
  struct CompletedRun {
    MapRunState state;
    CommandLine line;
  };
  const std::optional<CompletedRun>& lastCompletedRun() const { return lastRun_; }
  // Each writes its file; a failure shows the message box and returns false.
  bool saveMapPicture(const QString& path);
  bool saveExamplePicture(const QString& path);
  bool saveMapValues(const QString& path);
  // The menus of the two pictures; Ctrl+S saves the map as its menu does.
  QMenu* Picture1Menu = nullptr;
  QMenu* Picture2Menu = nullptr;
  QAction* copyMapAction = nullptr;
  QAction* saveMapAction = nullptr;
  QAction* saveValuesAction = nullptr;
  QAction* copyExampleAction = nullptr;
  QAction* saveExampleAction = nullptr;
  // The session's save dialogs, which the windows beside the form share.
  SaveDialogs& saveDialogs() { return saving_; }

  // The last point where the probe showed a value, in picture pixels (y
  // downward); none before the first.
  struct ProbePoint {
    float x, y;
  };
  const std::optional<ProbePoint>& lastProbePoint() const { return probePoint_; }

  // ---- the observations over the map
  // The table whose observations near the map's phase angle are marked on
  // the map (none: no marks); the marks follow every run of the map.
  void setObservations(std::shared_ptr<const ObservationTable> table);
  // "Показывать наблюдения", and how far in g an observation may lie from
  // the map's to be marked (degrees, 0 to 180); both redraw the marks at once.
  void setMarksShown(bool on);
  bool marksShown() const { return marksShown_; }
  void setMarkTolerance(double degrees);
  double markTolerance() const { return markTolerance_; }
  const ObservationMarks& observationMarks() const { return marks_; }

  // "Уровни по карте": the seven levels evenly between the smallest and the
  // largest phi of the lit points the map shows (rounded to two significant
  // digits, the top row the highest), the half-widths kept, and the map shaded
  // with them. A map with no lit point leaves the levels as they are, says
  // so (kNoLitPoints) and gives false.
  bool setLevelsFromMap();

  // ---- two models compared over the sphere (form1_compare.cpp)
  // "Вид → Сравнить с…": the dialog; a comparison not yet on starts with the
  // model as it stands kept as model B. The map on show follows every change.
  void showCompareDialog();
  CompareDialog* compareDialog() const;  // none before the first
  // Model B, the kind and its levels at once, the comparison on (the command line).
  void setComparison(const ComparedModel& b, ComparisonKind kind, const std::vector<double>& levels);
  // Back to the normal map.
  void endComparison();
  bool comparing() const;
  const ComparisonSettings* comparisonSettings() const;  // none before the first comparison
  // The table of values of the run `run`: the comparison's where that run drew one.
  QByteArray mapValueTable(const MapRunState& run, const QString& command) const;

 private:
  void shadeMapOrComparison(const std::function<void(double)>& progress);
  bool showComparisonProbe(float x, float y);
  void addComparisonOptions(CommandLine& c) const;
  void comparisonChanged();
  ComparisonSession* comparison_ = nullptr;

signals:
  // The selected surface model changed (an option button, the menu, the command line).
  void surfaceModelChanged();
  // The added models' parameters changed.
  void planetaryParametersChanged();
  // Live shading was switched on or off, or the bands' colours changed.
  void viewOptionsChanged();
  // A handler ran that may have changed what the curves beside the map read:
  // the light, s and n, the radius, the rotation, the visible half, the
  // isolines, a shading run. Raised whether the handler completed or stopped.
  void curveInputsChanged();
  // The probe showed a value (lastProbePoint).
  void probeShown();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildControls();
  void connectHandlers();
  void reportFailure(const std::string& message);
  void dismissFailureNotice();
  void setGlossyFormula(bool rebuildExponent, bool rebuildTail);
  void glossyParameterChanged(bool exponent, bool tail);
  void selectModel(int32_t model, OptionButton* button, const QString& formula);
  void refreshPlanetaryConstants();
  void checkRotationView();
  void judgeRotationBoxes(TextBox* own);
  // Runs the box's text through the text-to-number procedure; false (and the
  // box pale red) when the text is empty.
  bool collectNumber(TextBox* box);

  // A change the next run reads: with live shading on, a run follows.
  void requestLiveRun();
  // A box's change: a text the box turns down, or that the run cannot read, starts no run.
  void boxChanged(const TextBox* box);
  void liveTimerTick();

  void buildPictureMenus();
  void shadeAndRecord();
  bool writeFile(const QString& path, const QByteArray& bytes);
  void askAndSave(const QString& title, const QString& filter, const QString& name,
                  bool (Form1::*save)(const QString&));

  void showRunProgress(double done, double seconds);
  // The marks' layer for the map as the last completed run drew it.
  void redrawMarks();
  // The probe over a mark; false off the marks.
  bool probeMark(float x, float y);

  QProgressBar* runProgress_ = nullptr;
  QLabel* failureNotice_ = nullptr;
  QTimer* failureNoticeTimer_ = nullptr;
  QString lastFailure_;
  std::optional<CompletedRun> lastRun_;
  std::optional<ProbePoint> probePoint_;
  CommandLine mapLine_;    // of the run that drew the map as it stands
  // Live shading: the single-shot timer that starts the next run, and whether
  // a change has come since the last run began.
  QTimer* liveTimer_ = nullptr;
  bool liveShading_ = false;
  bool livePending_ = false;
  long liveRuns_ = 0;
  qint64 lastRunNanoseconds_ = 0;  // how long the last completed run took
  SaveDialogs saving_;     // where this session saves
  ObservationMarks marks_;
  bool marksShown_ = true;
  double markTolerance_ = kDefaultMarkTolerance;
};

}  // namespace korvalen
