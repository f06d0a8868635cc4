// Qt's own texts read in Russian under an English session (C.UTF-8): the
// number boxes' standard menu and the save dialog. And the first save of a
// session goes where a fresh account can write: the pictures folder, or the
// home folder where there is none.
#include <QAbstractButton>
#include <QFileDialog>
#include <QHeaderView>
#include <QImageReader>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

#include "form1_fixture.h"

namespace korvalen {
namespace {

// A text as the user reads it: without the mnemonic's "&" and the shortcut
// after the tab, which keeps Latin key names in every language.
QString shown(QString text) {
  text = text.section(QLatin1Char('\t'), 0, 0);
  text.remove(QLatin1Char('&'));
  return text;
}

bool hasLatinLetter(const QString& text) {
  for (const QChar c : text)
    if ((c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))) return true;
  return false;
}

// Runs the check on the save dialog the next step opens, then does what
// `answer` says with it.
void onSaveDialog(std::function<void(QFileDialog*)> check, std::function<void(QFileDialog*)> answer, bool& seen) {
  QTimer::singleShot(0, [=, &seen] {
    auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!d) return;
    seen = true;
    check(d);
    answer(d);
  });
}

TEST_P(Form1Test, NumberBoxMenuIsRussian) {
  for (QLineEdit* box : {static_cast<QLineEdit*>(form->Text1), static_cast<QLineEdit*>(form->Text8[1])}) {
    std::unique_ptr<QMenu> menu(box->createStandardContextMenu());
    QStringList items;
    for (const QAction* a : menu->actions())
      if (!a->isSeparator()) items << shown(a->text());
    SCOPED_TRACE(items.join(QStringLiteral(" | ")).toStdString());
    ASSERT_GE(items.size(), 7);  // undo, redo, cut, copy, paste, delete, select all
    for (const QString& item : items) EXPECT_FALSE(hasLatinLetter(item)) << item.toStdString();
  }
}

TEST_P(Form1Test, SaveDialogIsRussian) {
  QStringList texts;
  bool seen = false;
  onSaveDialog(
      [&](QFileDialog* d) {
        // Qt's own dialog, not the desktop's, whose language is the session's.
        EXPECT_TRUE(d->testOption(QFileDialog::DontUseNativeDialog));
        for (const QLabel* l : d->findChildren<QLabel*>()) texts << shown(l->text());
        for (const QAbstractButton* b : d->findChildren<QAbstractButton*>()) texts << shown(b->text()) << b->toolTip();
        for (const QHeaderView* h : d->findChildren<QHeaderView*>())
          for (int s = 0; s < h->count(); ++s) texts << h->model()->headerData(s, h->orientation()).toString();
      },
      [](QFileDialog* d) { d->reject(); }, seen);
  form->saveMapAction->trigger();
  ASSERT_TRUE(seen);
  texts.removeAll(QString());
  SCOPED_TRACE(texts.join(QStringLiteral(" | ")).toStdString());
  // The labels "look in", "file name", "files of type", the buttons and the
  // columns' headers at least.
  EXPECT_GE(texts.size(), 10);
  for (const QString& t : texts) EXPECT_FALSE(hasLatinLetter(t)) << t.toStdString();
}

// A fresh account, with and without a pictures folder: the first dialog opens
// where it can write, and taking the name it proposes writes the whole map.
TEST_P(Form1Test, FirstSaveOnAFreshAccount) {
  const QByteArray home = qgetenv("HOME"), config = qgetenv("XDG_CONFIG_HOME");
  const bool hadConfig = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
  qunsetenv("XDG_CONFIG_HOME");  // no user-dirs.dirs: the pictures folder is ~/Pictures
  for (const bool withPictures : {false, true}) {
    SCOPED_TRACE(withPictures ? "with a pictures folder" : "without a pictures folder");
    QTemporaryDir fresh;
    qputenv("HOME", QFile::encodeName(fresh.path()));
    if (withPictures) {
      ASSERT_TRUE(QDir(fresh.path()).mkdir(QStringLiteral("Pictures")));
    }
    const QString expected = withPictures ? fresh.filePath(QStringLiteral("Pictures")) : fresh.path();
    auto f = std::make_unique<Form1>();  // a new session: no folder saved into yet
    f->show();
    f->Command1->click();
    bool seen = false;
    QString folder, proposed;
    onSaveDialog(
        [&](QFileDialog* d) {
          folder = d->directory().absolutePath();
          proposed = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text();
        },
        [](QFileDialog* d) { QMetaObject::invokeMethod(d, "accept"); }, seen);
    // A failed save would wait on its message box: closed and counted.
    int failures = 0;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&failures] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        ++failures;
        box->reject();
      }
    });
    closer.start(10);
    f->saveMapAction->trigger();
    closer.stop();
    ASSERT_TRUE(seen);
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(folder.toStdString(), QDir(expected).absolutePath().toStdString());
    EXPECT_EQ(proposed.toStdString(), "korvalen-map.png");
    QImageReader written(QDir(expected).filePath(QStringLiteral("korvalen-map.png")));
    EXPECT_EQ(written.text(QStringLiteral("Software")).toStdString(), softwareName().toStdString());
    const QImage map = written.read();
    EXPECT_EQ(map.convertToFormat(QImage::Format_RGB32), f->mapPicture().convertToFormat(QImage::Format_RGB32));
  }
  qputenv("HOME", home);
  if (hadConfig) qputenv("XDG_CONFIG_HOME", config);
}

}  // namespace
}  // namespace korvalen
