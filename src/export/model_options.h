#pragma once
// A model's own options on the command line, both ways: the added models'
// parameters a command line sets, and the options that name a model as it
// stands. The map's command, the compared model's options and the window
// started from a command line all go through here.
#include <QString>
#include <optional>

#include "export/command_line.h"
#include "photometry/planetary.h"

namespace korvalen {

// The added models' parameters `base` with those the command line gives
// (a preset first, then each number) put in.
PlanetaryParameters planetaryParametersOf(const CommandLine& c, PlanetaryParameters base);

// The options of the added model `model` (5..9) with the parameters p, set in c;
// nothing for the form's own models.
void addPlanetaryOptions(CommandLine& c, int32_t model, const PlanetaryParameters& p);

// A model's options as --compare takes them: --model, --s, --n and the
// model's own parameters, in the order --help lists them, on one line.
QString modelOptionsText(int32_t model, float s, float n, const PlanetaryParameters& p);

}  // namespace korvalen
