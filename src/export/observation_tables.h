#pragma once
// What the observations give out: a model's values at each observation, the
// report of a fit and the comparison of models, as tables (with the two
// comment lines of every table) and as text to read.
#include <QByteArray>
#include <QString>
#include <vector>

#include "observations/fit.h"
#include "observations/observation_table.h"

namespace korvalen {

// The quantity every value of an added model is, as the tables' comment says it.
QString radianceFactorText();

// i,e,g,phi and, where the observations have them, value,sigma,residual.
QByteArray evaluationTable(const ObservationTable& t, const std::vector<double>& phi,
                           const QString& command);

// line,i,e,g,measured,model,residual: each row of the table under the model,
// `model` the model's value row for row; a cell is empty where its number is
// not finite (a model that gives no value at a row's geometry).
QByteArray residualTable(const ObservationTable& t, const std::vector<double>& model,
                         const QString& command);

// name,value,sigma: each free parameter, then the fit's statistics.
QByteArray fitReportTable(const FitReport& r, const QString& command);

// One row a model, best by BIC first, with its delta-BIC to the best; as a
// table and as the text the command line prints (numbers with the point).
QByteArray comparisonTable(const Comparison& c, const QString& command);
QString comparisonText(const Comparison& c);

}  // namespace korvalen
