#pragma once
// The command line: options that set the window's boxes as a user would type
// them, the files to write without a window, and the text of the command that
// makes a run again. Numbers on the command line always take the point as the
// decimal separator, whatever the locale, so that scripts carry over.
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <optional>

namespace korvalen {

struct CommandLine {
  std::optional<int32_t> model;  // 1 matte, 2 glossy, 3 rocky, 4 mirror, 5.. the added models
  // Numbers as given, with the point: Text4(0), Text1, Text2, Text3(0), Text9, Text5, Text6.
  std::optional<QString> inclination, ox, oy, oz, radius, s, n;
  // The added models' parameters as given: Minnaert's k, lunar-Lambert's L (a
  // number or "mcewen", the lunar fit L(g)), Akimov's eta, the factor.
  std::optional<QString> k, L, eta, factor;
  // Hapke's: w, b, c, B0, h, theta-bar (degrees) as given, the 1981 variant,
  // and a published set of parameters by its name (set before the numbers);
  // the 2012 terms (the filling factor, the coherent backscatter's amplitude
  // and width) and the H function by name (kHFunctionNames).
  std::optional<QString> w, b, c, b0, h, theta, preset;
  bool hapke1981 = false;
  std::optional<QString> porosity, bc0, hc, hFunction;
  // The legend's rows 1 to 7, top to bottom.
  std::optional<std::array<QString, 7>> levels, halfWidths;
  bool smoothing = false;     // Check2 ticked
  bool wholeSphere = false;   // Check1 clear
  bool hideIsolines = false;  // Check3 ticked
  bool live = false;          // the window shades at every change
  std::optional<QString> tints;  // the bands' colours by name (kTintNames)
  std::optional<QString> scale;  // screen pixels per window pixel of the pictures
  // Model B of a comparison: its options in one text, the map as the ratio
  // or the difference (kComparisonKindNames) and the isolines' levels, as given.
  std::optional<QString> compare, compareAs, compareLevels;
  double scaleValue = 1;
  QString render, values, example;  // files to write; empty: none
  QString profile, phaseCurve;      // the curves' tables to write; empty: none
  // Observations: the table to fit (and to load into the window), the
  // parameters to fit by their option names, every model compared, the
  // report's file; a table to evaluate the model at and the file for it.
  QString data, fitReport, evaluate, out;
  // How far in g (degrees) an observation may lie from the map's to be marked on it.
  std::optional<QString> dataTolerance;
  // --levels auto: the levels taken from the map (Form1::setLevelsFromMap).
  bool levelsAuto = false;
  std::optional<QStringList> fit;
  bool fitAll = false;
  bool help = false, version = false;

  bool withoutWindow() const {
    return help || version || !render.isEmpty() || !values.isEmpty() || !example.isEmpty() ||
           !profile.isEmpty() || !phaseCurve.isEmpty() || fit || fitAll || !evaluate.isEmpty();
  }
};

// The options' names for the models, indexed as the window numbers them.
inline const std::array<const char*, 10> kModelNames = {
    "", "matte", "glossy", "rocky", "mirror", "lommel-seeliger", "minnaert", "lunar-lambert", "akimov", "hapke"};
// --tints' names of the bands' colours, indexed as IsolineColours.
inline const std::array<const char*, 2> kTintNames = {"legend", "okabe-ito"};

// --h-function's names, indexed as HFunction: 2002, 1981, exact.
inline const std::array<const char*, 3> kHFunctionNames = {"2002", "1981", "exact"};

// --L's word for the lunar fit L(g).
inline constexpr const char* kLunarFitName = "mcewen";

// The range --scale takes.
inline constexpr double kScaleMin = 0.5, kScaleMax = 8;

struct ParsedCommandLine {
  CommandLine options;
  QString error;  // not empty: a usage error, said in Russian
};

// arguments[0] is the program, as in QCoreApplication::arguments().
ParsedCommandLine parseCommandLine(const QStringList& arguments);

// --help and --version.
QString helpText();
QString versionText();
// "Korvalen <version>", the "Software" text of every picture written.
QString softwareName();

// The options of c, every one given, in the order --help lists them; the
// output options last.
QStringList argumentsOf(const CommandLine& c);
// The command as a shell reads it: "korvalen" and the arguments, quoted where needed.
QString commandText(const QStringList& arguments);

// The shortest text with the point, without an exponent, that reads back to
// the same value: as a double, and (for a float) read as a double and then
// rounded to a float.
QString numberText(double v);
QString numberText(float v);

// Reads a number as the command line writes it; nullopt for anything else
// (another separator, grouping, an exponent-only text, inf, nan).
std::optional<double> readCommandLineNumber(const QString& text);

}  // namespace korvalen
