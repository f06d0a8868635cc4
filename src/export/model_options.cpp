#include "export/model_options.h"

namespace korvalen {

PlanetaryParameters planetaryParametersOf(const CommandLine& c, PlanetaryParameters p) {
  auto number = [](const std::optional<QString>& text, double& field) {
    if (text) field = readCommandLineNumber(*text).value_or(field);
  };
  for (const HapkePreset& preset : kHapkePresets)
    if (c.preset && *c.preset == QLatin1String(preset.cliName)) p.hapke = preset.p;
  if (c.hapke1981) p.hapke.hFunction = HFunction::Form1981;
  for (size_t f = 0; f < kHFunctionNames.size(); ++f)
    if (c.hFunction && *c.hFunction == QLatin1String(kHFunctionNames[f])) p.hapke.hFunction = static_cast<HFunction>(f);
  number(c.w, p.hapke.w);
  number(c.b, p.hapke.b);
  number(c.c, p.hapke.c);
  number(c.b0, p.hapke.b0);
  number(c.h, p.hapke.h);
  number(c.theta, p.hapke.thetaBar);
  number(c.porosity, p.hapke.porosity);
  number(c.bc0, p.hapke.bc0);
  number(c.hc, p.hapke.hc);
  number(c.k, p.minnaertK);
  number(c.eta, p.akimovEta);
  number(c.factor, p.factor);
  if (c.L) {
    p.lunarLOfPhase = *c.L == QLatin1String(kLunarFitName);
    number(p.lunarLOfPhase ? std::nullopt : c.L, p.lunarL);
  }
  return p;
}

void addPlanetaryOptions(CommandLine& c, int32_t model, const PlanetaryParameters& p) {
  if (!isPlanetaryModel(model)) return;
  if (model == kMinnaert) c.k = numberText(p.minnaertK);
  if (model == kLunarLambert) c.L = p.lunarLOfPhase ? QString::fromLatin1(kLunarFitName) : numberText(p.lunarL);
  if (model == kAkimov) c.eta = numberText(p.akimovEta);
  if (model == kHapke) {
    c.w = numberText(p.hapke.w);
    c.b = numberText(p.hapke.b);
    c.c = numberText(p.hapke.c);
    c.b0 = numberText(p.hapke.b0);
    c.h = numberText(p.hapke.h);
    c.theta = numberText(p.hapke.thetaBar);
    // The H function as the older commands name it where they can; the
    // 2012 terms only where they are on, so that an older map's command
    // stays as it was.
    c.hapke1981 = p.hapke.hFunction == HFunction::Form1981;
    if (p.hapke.hFunction == HFunction::Exact)
      c.hFunction = QLatin1String(kHFunctionNames[static_cast<size_t>(HFunction::Exact)]);
    const HapkeParameters defaults;
    if (p.hapke.porosity != defaults.porosity) c.porosity = numberText(p.hapke.porosity);
    if (p.hapke.bc0 != defaults.bc0) c.bc0 = numberText(p.hapke.bc0);
    if (p.hapke.hc != defaults.hc) c.hc = numberText(p.hapke.hc);
  }
  c.factor = numberText(p.factor);
}

QString modelOptionsText(int32_t model, float s, float n, const PlanetaryParameters& p) {
  CommandLine c;
  c.model = model;
  c.s = numberText(s);
  c.n = numberText(n);
  addPlanetaryOptions(c, model, p);
  return argumentsOf(c).join(QLatin1Char(' '));
}

}  // namespace korvalen
