// The pictures' menus: opened by the right button, the menu key and Shift+F10;
// copy and save the picture as drawn, at the screen's pixels; the values once
// a run has completed; Ctrl+S saves the map, and the text boxes keep Ctrl+C.
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QImageReader>
#include <QMenu>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

#include "form1_fixture.h"

namespace korvalen {
namespace {

QStringList itemsOf(const QMenu* menu) {
  QStringList items;
  for (const QAction* a : menu->actions()) items << a->text() + (a->isEnabled() ? "" : " (off)");
  return items;
}

// Handles the save dialog that the next step opens: checks it, then chooses
// the file (or, with an empty path, cancels).
void answerDialog(std::function<void(QFileDialog*)> check, const QString& path, bool& seen) {
  QTimer::singleShot(0, [=, &seen] {
    auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(d, nullptr);
    seen = true;
    check(d);
    if (path.isEmpty()) {
      d->reject();
    } else {
      d->selectFile(path);
      QMetaObject::invokeMethod(d, "accept");
    }
  });
}

TEST_P(Form1Test, MenusOpenFromMouseAndKeyboard) {
  const QStringList map = {"Копировать изображение", "Сохранить изображение…\tCtrl+S",
                           "Сохранить значения…"};
  struct Opening {
    const char* how;
    std::function<void(QWidget*)> open;
  } openings[] = {
      {"right button", [](QWidget* w) {
         QContextMenuEvent e(QContextMenuEvent::Mouse, QPoint(30, 40), w->mapToGlobal(QPoint(30, 40)));
         QApplication::sendEvent(w, &e);
       }},
      {"menu key", [](QWidget* w) { QTest::keyClick(w, Qt::Key_Menu); }},
      {"Shift+F10", [](QWidget* w) { QTest::keyClick(w, Qt::Key_F10, Qt::ShiftModifier); }},
  };
  for (const Opening& o : openings) {
    SCOPED_TRACE(o.how);
    o.open(form->Picture1);
    ASSERT_TRUE(form->Picture1Menu->isVisible());
    QStringList items = itemsOf(form->Picture1Menu);
    items[1].replace(QStringLiteral("&"), QString());
    // No run yet: no values to save.
    EXPECT_EQ(items, (QStringList{map[0], map[1].section('\t', 0, 0), map[2] + " (off)"}));
    form->Picture1Menu->hide();
    o.open(form->Picture2);
    ASSERT_TRUE(form->Picture2Menu->isVisible());
    EXPECT_EQ(itemsOf(form->Picture2Menu), (QStringList{map[0], "Сохранить изображение…"}));
    form->Picture2Menu->hide();
  }
  EXPECT_EQ(form->saveMapAction->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
  form->Command1->click();
  QTest::keyClick(form->Picture1, Qt::Key_Menu);
  EXPECT_TRUE(form->saveValuesAction->isEnabled());
  form->Picture1Menu->hide();
}

TEST_P(Form1Test, CopiesThePicturesWithoutTheirLabels) {
  auto scaled = [] {
    PictureBox::setScaleOverride(2);
    auto f = std::make_unique<Form1>();
    PictureBox::setScaleOverride(0);
    f->show();
    return f;
  }();
  scaled->Command1->click();
  ASSERT_FALSE(scaled->Label17->isHidden());  // the note stands over the map
  // Only what the run drew, pixel for pixel: the note's corner is the map's white.
  auto isRaster = [](const QImage& image, const Raster& r) {
    if (image.size() != QSize(r.widthPixels(), r.heightPixels())) return false;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) {
        const Colour c = r.point(x, y);
        if (image.pixel(x, y) != qRgb(redOf(c), greenOf(c), blueOf(c))) return false;
      }
    return true;
  };
  scaled->copyMapAction->trigger();
  const QImage copied = QApplication::clipboard()->image();
  EXPECT_EQ(copied.size(), QSize(786, 674));
  EXPECT_TRUE(isRaster(copied, scaled->Picture1->raster()));
  EXPECT_EQ(QColor(copied.pixel(10, 10)), QColor(Qt::white));
  scaled->copyExampleAction->trigger();
  const QImage example = QApplication::clipboard()->image();
  EXPECT_EQ(example.size(), QSize(242, 146));
  EXPECT_TRUE(isRaster(example, scaled->Picture2->raster()));
}

TEST_P(Form1Test, SavesThroughTheDialog) {
  QTemporaryDir dir;
  form->Command1->click();
  struct Save {
    QAction* action;
    const char* title;
    const char* filter;
    const char* proposed;
  } saves[] = {
      {form->saveMapAction, "Сохранить изображение", "Изображения PNG (*.png)", "korvalen-map.png"},
      {form->saveValuesAction, "Сохранить значения", "Таблица CSV (*.csv)", "korvalen-map.csv"},
      {form->saveExampleAction, "Сохранить изображение", "Изображения PNG (*.png)", "korvalen-example.png"},
  };
  for (const Save& s : saves) {
    SCOPED_TRACE(s.proposed);
    bool seen = false;
    const QString path = dir.filePath(QString::fromUtf8(s.proposed));
    answerDialog([&](QFileDialog* d) {
      EXPECT_EQ(d->windowTitle(), QString::fromUtf8(s.title));
      EXPECT_EQ(d->nameFilters(), QStringList{QString::fromUtf8(s.filter)});
      EXPECT_EQ(QFileInfo(d->selectedFiles().value(0)).fileName(), QString::fromUtf8(s.proposed));
    }, path, seen);
    s.action->trigger();
    EXPECT_TRUE(seen);
    EXPECT_TRUE(QFile::exists(path));
  }
  EXPECT_EQ(QImage(dir.filePath("korvalen-map.png")).convertToFormat(QImage::Format_RGB32),
            form->mapPicture().convertToFormat(QImage::Format_RGB32));
  EXPECT_TRUE(QImageReader(dir.filePath("korvalen-map.png")).text("Comment").endsWith("--render korvalen-map.png"));
  // The next dialog proposes the folder saved into.
  bool seen = false;
  answerDialog([&](QFileDialog* d) { EXPECT_EQ(d->directory().absolutePath(), QDir(dir.path()).absolutePath()); },
               QString(), seen);
  form->saveExampleAction->trigger();
  EXPECT_TRUE(seen);
}

TEST_P(Form1Test, CtrlSSavesTheMapAndTheBoxesKeepTheirKeys) {
  type(form->Text1, QStringLiteral("45"));
  form->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  form->Text1->setFocus();
  bool seen = false;
  answerDialog([](QFileDialog* d) { EXPECT_EQ(d->windowTitle(), QStringLiteral("Сохранить изображение")); },
               QString(), seen);
  QTest::keyClick(form->Text1, Qt::Key_S, Qt::ControlModifier);
  EXPECT_TRUE(seen);
  EXPECT_EQ(form->Text1->text(), QStringLiteral("45"));
  // Ctrl+C in a box copies its text, not a picture.
  form->Text1->selectAll();
  QTest::keyClick(form->Text1, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("45"));
}


}  // namespace
}  // namespace korvalen
