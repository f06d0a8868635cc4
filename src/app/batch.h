#pragma once
// The command line run through the window itself: each option is typed into
// its box, ticked or selected as a user would do it, so every acceptance rule
// and value of the window applies, and the pictures are the window's own.
#include <QString>
#include <utility>

#include "export/command_line.h"

namespace korvalen {

class Form1;

// Exit statuses.
inline constexpr int kExitSuccess = 0, kExitRunFailed = 1, kExitUsage = 2;

// Types the options into the window. Empty when every box took its value;
// otherwise the message of the first value a box did not accept.
QString typeIn(Form1& window, const CommandLine& c);
// --compare's model B, made from the window's start-up values and its options,
// and the comparison set on the window; the message of a value not accepted.
QString typeInComparison(Form1& window, const CommandLine& c);

struct BatchResult {
  BatchResult() = default;
  BatchResult(int s, QString m, QString o = {}) : status(s), message(std::move(m)), output(std::move(o)) {}
  int status = kExitSuccess;
  QString message;  // for the error stream; empty on success
  QString output;   // for the output stream: a fit's report, a comparison of models
};

// --render, --values, --example, --profile and --phase-curve: a window on
// the current (offscreen) platform, the options typed in, "Тонировать"
// clicked where the map is wanted, the curves found from the values typed in,
// then every file written, or none. With --fit the parameters are first
// fitted to the observations and set as the parameter window sets them, so
// that every file shows the fitted model; --fit-all compares the models;
// --evaluate writes the model's values at the observations.
BatchResult runWithoutWindow(const CommandLine& c);

}  // namespace korvalen
