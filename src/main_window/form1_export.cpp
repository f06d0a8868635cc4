// Taking the results away: the menus of the two pictures, the clipboard, the
// picture files and the table of the map's values, and the command line that
// sets the window as it stands.
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>

#include "export/model_options.h"
#include "export/output_files.h"
#include "main_window/form1.h"
#include "main_window/save_dialogs.h"
#include "toolkit/guard.h"
#include "toolkit/raster_image.h"

namespace korvalen {

namespace {

// The picture as the box shows it: the raster, and the layer over it.
QImage pictureOf(const PictureBox* box) {
  QImage image = imageOf(box->raster()).copy();
  image.setDevicePixelRatio(1);
  if (!box->overlay().isNull()) {
    QPainter p(&image);
    p.drawImage(0, 0, box->overlay());
  }
  return image;
}

// A number box as the command line writes it: the value the box's text reads
// as, or, for a text that is not a number, the text itself.
QString numberOption(const TextBox* box) {
  const std::optional<double> v = localeReadingOf(box->text());
  return v ? numberText(*v) : box->text();
}

}  // namespace

QImage Form1::mapPicture() const { return pictureOf(Picture1); }
QImage Form1::examplePicture() const { return pictureOf(Picture2); }

CommandLine Form1::currentCommandLine() const {
  CommandLine c;
  c.model = st.lm.surfaceModel;
  c.inclination = numberOption(Text4[0]);
  c.ox = numberOption(Text1);
  c.oy = numberOption(Text2);
  c.oz = numberOption(Text3[0]);
  // The run takes the radius it reads when it is below 900; otherwise the
  // radius in effect, which the radius box set when it last accepted a text.
  const std::optional<double> radius = localeReadingOf(Text9->text());
  c.radius = radius && *radius > 0 && *radius < 900 ? numberText(*radius) : numberText(1 / st.view.unitsPerPixel);
  c.s = numberOption(Text5);
  c.n = numberOption(Text6);
  addPlanetaryOptions(c, st.lm.surfaceModel, st.lm.planetary);
  // The levels and half-widths in effect: a box whose text was not accepted
  // keeps its row's previous value.
  std::array<QString, 7> levels, halfWidths;
  for (int r = 1; r <= 7; ++r) {
    levels[r - 1] = numberText(st.iso.isolineLevel[r]);
    halfWidths[r - 1] = numberText(st.iso.isolineHalfWidth[r]);
  }
  c.levels = levels;
  c.halfWidths = halfWidths;
  c.smoothing = st.iso.noSmoothing != kTrue;
  c.wholeSphere = st.view.visibleHalfOnly != kTrue;
  c.hideIsolines = st.iso.isolinesHidden == kTrue;
  // Named only where they are not the legend's, so that a default picture's command stays as it was.
  if (st.iso.isolineColours == kDistinctColours) c.tints = QLatin1String(kTintNames[kDistinctColours]);
  if (Picture1->scale() != 1) {
    c.scale = numberText(Picture1->scale());
    c.scaleValue = Picture1->scale();
  }
  addComparisonOptions(c);
  return c;
}

void Form1::buildPictureMenus() {
  Picture1Menu = new QMenu(this);
  copyMapAction = Picture1Menu->addAction(QStringLiteral("Копировать изображение"));
  saveMapAction = Picture1Menu->addAction(QStringLiteral("Сохранить изображение…"));
  saveValuesAction = Picture1Menu->addAction(QStringLiteral("Сохранить значения…"));
  saveValuesAction->setEnabled(false);
  // Ctrl+S anywhere in the window; the menu shows it beside its item.
  saveMapAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  saveMapAction->setShortcutContext(Qt::WindowShortcut);
  addAction(saveMapAction);

  Picture2Menu = new QMenu(this);
  copyExampleAction = Picture2Menu->addAction(QStringLiteral("Копировать изображение"));
  saveExampleAction = Picture2Menu->addAction(QStringLiteral("Сохранить изображение…"));

  const QString png = QStringLiteral("Изображения PNG (*.png)");
  const QString picture = QStringLiteral("Сохранить изображение");
  connect(copyMapAction, &QAction::triggered, this, [this] { QApplication::clipboard()->setImage(mapPicture()); });
  connect(copyExampleAction, &QAction::triggered, this,
          [this] { QApplication::clipboard()->setImage(examplePicture()); });
  connect(saveMapAction, &QAction::triggered, this, [=, this] {
    askAndSave(picture, png, QStringLiteral("korvalen-map.png"), &Form1::saveMapPicture);
  });
  connect(saveExampleAction, &QAction::triggered, this, [=, this] {
    askAndSave(picture, png, QStringLiteral("korvalen-example.png"), &Form1::saveExamplePicture);
  });
  connect(saveValuesAction, &QAction::triggered, this, [this] {
    if (!lastRun_) return;
    askAndSave(QStringLiteral("Сохранить значения"), QStringLiteral("Таблица CSV (*.csv)"),
               QStringLiteral("korvalen-map.csv"), &Form1::saveMapValues);
  });

  Picture1->installEventFilter(this);
  Picture2->installEventFilter(this);
}

// The right button, the menu key and Shift+F10 open a picture's menu.
bool Form1::eventFilter(QObject* watched, QEvent* event) {
  QMenu* menu = watched == Picture1 ? Picture1Menu : watched == Picture2 ? Picture2Menu : nullptr;
  if (!menu) return QWidget::eventFilter(watched, event);
  auto* box = static_cast<QWidget*>(watched);
  if (event->type() == QEvent::ContextMenu) {
    auto* e = static_cast<QContextMenuEvent*>(event);
    menu->popup(e->reason() == QContextMenuEvent::Mouse ? e->globalPos() : box->mapToGlobal(QPoint(8, 8)));
    return true;
  }
  if (event->type() == QEvent::KeyPress) {
    auto* e = static_cast<QKeyEvent*>(event);
    const bool menuKey = e->key() == Qt::Key_Menu && e->modifiers() == Qt::NoModifier;
    const bool shiftF10 = e->key() == Qt::Key_F10 && e->modifiers() == Qt::ShiftModifier;
    if (menuKey || shiftF10) {
      menu->popup(box->mapToGlobal(QPoint(8, 8)));
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void Form1::askAndSave(const QString& title, const QString& filter, const QString& name,
                       bool (Form1::*save)(const QString&)) {
  saving_.askAndSave(this, title, {filter}, name,
                     [this, save](const QString& path, const QString&) { return (this->*save)(path); });
}

bool Form1::writeFile(const QString& path, const QByteArray& bytes) { return writeFileOrTell(this, path, bytes); }

bool Form1::saveMapPicture(const QString& path) {
  CommandLine line = mapLine_.model ? mapLine_ : currentCommandLine();
  line.render = QFileInfo(path).fileName();
  return writeFile(path, pngOf(mapPicture(), commandText(argumentsOf(line))));
}

bool Form1::saveExamplePicture(const QString& path) {
  CommandLine line = currentCommandLine();
  line.example = QFileInfo(path).fileName();
  return writeFile(path, pngOf(examplePicture(), commandText(argumentsOf(line))));
}

bool Form1::saveMapValues(const QString& path) {
  if (!lastRun_) return false;
  CommandLine line = lastRun_->line;
  line.values = QFileInfo(path).fileName();
  QByteArray table;
  // The probe's own evaluation, with its own faults: told as any handler's are.
  if (!runGuarded([&] { table = mapValueTable(lastRun_->state, commandText(argumentsOf(line))); })) {
    tellSaveFailure(this, saveFailureText(path, lastFailureMessage()));
    return false;
  }
  return writeFile(path, table);
}

}  // namespace korvalen
