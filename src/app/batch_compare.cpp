// --compare run through the window: model B made as the window would make it
// from its start-up values with B's options typed in, then set as the window's
// model B.
#include "app/batch.h"
#include "export/comparison_options.h"
#include "export/model_options.h"
#include "main_window/form1.h"
#include "photometry/checked.h"

namespace korvalen {

QString typeInComparison(Form1& f, const CommandLine& c) {
  QString error;
  const std::optional<ComparisonOptions> o = comparisonOptionsOf(c, &error);
  if (!o) return error;
  const CommandLine& m = o->model;
  ComparedModel b = comparedModelOf(f.st.lm, f.st.mirror);
  if (m.model) b.surfaceModel = *m.model;
  b.planetary = planetaryParametersOf(m, b.planetary);
  // s and n as the run reads them from their boxes: 32-bit floats.
  for (const auto& [name, text, field] : {std::tuple{"s", &m.s, &b.specularShare}, {"n", &m.n, &b.peakSharpness}}) {
    if (!*text) continue;
    try {
      *field = toSingle(*readCommandLineNumber(**text));
    } catch (const RuntimeError&) {
      return QStringLiteral("значение «%1» параметра --%2 в --compare не принято: допустимы числа от "
                            "-3.4028235e38 до 3.4028235e38")
          .arg(**text, QLatin1String(name));
    }
  }
  f.setComparison(b, o->kind, o->levels);
  return {};
}

}  // namespace korvalen
