// The curves window's tab "Наблюдения" with a large table, offscreen: the
// time from a change of the model to the charts drawn, and of a change of the
// misses' angle alone. Prints the median of each in milliseconds.
// Run: QT_QPA_PLATFORM=offscreen korvalen_observation_tab [rows] [changes]
#include <QApplication>
#include <QButtonGroup>
#include <QElapsedTimer>
#include <QFile>
#include <QTabWidget>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/main_frame.h"
#include "main_window/form1.h"
#include "observation_samples.h"
#include "observation_window/observation_store.h"
#include "profile_window/curve_chart.h"
#include "profile_window/observation_page.h"
#include "profile_window/profile_window.h"

int main(int argc, char* argv[]) {
  using namespace korvalen;
  QApplication app(argc, argv);
  const size_t rows = argc > 1 ? static_cast<size_t>(std::max(1, std::atoi(argv[1]))) : 100000;
  const int changes = argc > 2 ? std::max(1, std::atoi(argv[2])) : 10;
  MainFrame frame;
  frame.show();
  Form1& form = frame.form();
  while (form.Timer1->enabled()) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
  frame.modelActions[kHapke]->trigger();

  ObservationTable t = spreadGeometries(rows);
  measure(t, kHapke, form.st.lm.planetary, 0.05);
  QTemporaryDir dir;
  QFile file(dir.filePath(QStringLiteral("big.csv")));
  if (!file.open(QIODevice::WriteOnly)) return 1;
  QByteArray text = "i,e,g,I/F\n";
  for (size_t r = 0; r < t.size(); ++r)
    text += QByteArray::number(t.i[r], 'g', 17) + ',' + QByteArray::number(t.e[r], 'g', 17) + ',' +
            QByteArray::number(t.g[r], 'g', 17) + ',' + QByteArray::number(t.value[r], 'g', 17) + '\n';
  file.write(text);
  file.close();
  if (!frame.observations().load(file.fileName()).isEmpty()) return 1;

  frame.showProfileWindow();
  ProfileWindow* w = frame.profileWindow();
  ObservationPage* page = w->observationPage;
  w->tabs->setCurrentWidget(page);
  auto drawn = [&] {
    w->refreshNow();
    page->fitChart->picture();
    page->missChart->picture();
  };
  drawn();
  auto median = [](std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
  };
  std::vector<double> model, angle;
  QElapsedTimer clock;
  for (int k = 0; k < changes; ++k) {
    clock.start();
    frame.modelActions[k % 2 ? kHapke : kLunarLambert]->trigger();
    drawn();
    model.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
    clock.start();
    page->abscissa->button(k % 3)->click();
    page->missChart->picture();
    angle.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
  }
  std::printf("%zu rows: the model changed, drawn in %.0f ms; the angle changed, %.0f ms (medians of %d)\n", rows,
              median(model), median(angle), changes);
  return 0;
}
