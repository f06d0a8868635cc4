#include "photometry/hapke.h"

#include "photometry/hapke_formulas.h"

namespace korvalen {

HapkeConstants hapkeConstantsOf(const HapkeParameters& p, double g, double cosG) {
  return formulas::hapkeConstants<double>(p, g, cosG);
}

HapkeTerms hapkeTerms(const HapkeConstants& k, double mu0, double mu) {
  return formulas::hapkeTermsAt<double>(k, mu0, mu);
}

double hapkeReflectance(const HapkeConstants& k, double mu0, double mu) {
  return formulas::hapkeTermsAt<double>(k, mu0, mu).reflectance;
}

double hapkeH(const HapkeConstants& k, double x) { return formulas::hOf<double>(k, x); }

double phaseFunctionOf(double b, double c, double cosG) { return formulas::phaseFunction<double>(b, c, cosG); }

bool phaseFunctionNonNegative(double b, double c) { return phaseFunctionOf(b, c, -1) >= 0; }

double porosityFactorOf(double phi) { return formulas::porosityFactor<double>(phi); }

double coherentBackscatterOf(double g, double hc) { return formulas::coherentBackscatter<double>(g, hc); }

const HapkePreset kHapkePresets[kHapkePresetCount] = {
    {"Церера", "ceres", "Ciarniello et al. 2017, A&A", {0.14, 0.11, 1, 1.6, 0.06, 29, HFunction::Approximation2002}},
    {"Меркурий (V)", "mercury-v", "Warell 2004", {0.16, 0.18, 1.1, 2.7, 0.09, 8, HFunction::Approximation2002}},
    {"Меркурий (MESSENGER)",
     "mercury-messenger",
     "фотометрическая модель мозаик MESSENGER MDIS",
     {0.218651419, 0.17896499, 0.942985404, 2.7, 0.085, 9, HFunction::Form1981}},
    {"Марс, красный",
     "mars-red",
     "Johnson et al. 1999; Kirk et al. 2000",
     {0.52, 0.213, 1, 0, 0, 30, HFunction::Form1981}},
    {"Европа", "europa", "Domingue et al. 1997", {0.992, 0.431, 0.842, 0.5, 0.0016, 10, HFunction::Form1981}},
};

}  // namespace korvalen
