// Qt's own texts read in Russian under an English session (C.UTF-8), and the
// first save of a session goes where a fresh account can write.
#include <QAbstractButton>
#include <QFileDialog>
#include <QHeaderView>
#include <QImageReader>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

#include "form1_fixture.h"

namespace korvalen {
namespace {

// Triggers the action and hands its save dialog to `answer`; any message box
// that follows (a failed save) is closed and counted in `failures`.
void withSaveDialog(QAction* action, std::function<void(QFileDialog*)> answer, int& failures) {
  bool seen = false;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      ++failures;
      box->reject();
    } else if (auto* d = qobject_cast<QFileDialog*>(modal); d && !seen) {
      seen = true;
      answer(d);
    }
  });
  poll.start(5);
  action->trigger();
  EXPECT_TRUE(seen);
}

TEST_P(Form1Test, NumberBoxMenuAndSaveDialogAreRussian) {
  std::unique_ptr<QMenu> menu(form->Text1->createStandardContextMenu());
  QStringList texts;
  for (const QAction* a : menu->actions()) texts << a->text().section('\t', 0, 0);  // shortcuts keep Latin keys
  int failures = 0;
  withSaveDialog(form->saveMapAction, [&](QFileDialog* d) {
    EXPECT_TRUE(d->testOption(QFileDialog::DontUseNativeDialog));  // the desktop's would speak the session's language
    for (const QLabel* l : d->findChildren<QLabel*>()) texts << l->text();
    for (const QAbstractButton* b : d->findChildren<QAbstractButton*>()) texts << b->text() << b->toolTip();
    for (const QHeaderView* h : d->findChildren<QHeaderView*>())
      for (int s = 0; s < h->count(); ++s) texts << h->model()->headerData(s, h->orientation()).toString();
    d->reject();
  }, failures);
  texts.removeAll(QString());
  SCOPED_TRACE(texts.join(QStringLiteral(" | ")).toStdString());
  EXPECT_GE(texts.size(), 17);  // 7 menu items; 3 labels, 2 buttons, 5 tool buttons, the columns
  for (const QString& t : texts) EXPECT_FALSE(t.contains(QRegularExpression(QStringLiteral("[A-Za-z]"))));
}

// A fresh account, without and with its pictures folder: the first dialog
// opens where it can write, and taking the name it proposes writes the whole
// map. The pictures folder is named outside the home folder, where Qt's own
// walk up from a missing folder would not land on the home folder.
TEST_P(Form1Test, FirstSaveOnAFreshAccount) {
  const QByteArray home = qgetenv("HOME"), config = qgetenv("XDG_CONFIG_HOME");
  const bool hadConfig = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
  for (const bool withPictures : {false, true}) {
    SCOPED_TRACE(withPictures ? "with a pictures folder" : "without a pictures folder");
    QTemporaryDir fresh;
    const QString pictures = fresh.filePath(QStringLiteral("media/Pictures"));
    ASSERT_TRUE(QDir(fresh.path()).mkpath(QStringLiteral("home/.config")));
    QFile dirs(fresh.filePath(QStringLiteral("home/.config/user-dirs.dirs")));
    ASSERT_TRUE(dirs.open(QIODevice::WriteOnly));
    dirs.write("XDG_PICTURES_DIR=\"" + QFile::encodeName(pictures) + "\"\n");
    dirs.close();
    qputenv("HOME", QFile::encodeName(fresh.filePath(QStringLiteral("home"))));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(fresh.filePath(QStringLiteral("home/.config"))));
    if (withPictures) {
      ASSERT_TRUE(QDir().mkpath(pictures));
    }
    const QString expected = withPictures ? pictures : fresh.filePath(QStringLiteral("home"));
    auto f = std::make_unique<Form1>();  // a new session: no folder saved into yet
    f->show();
    f->Command1->click();
    int failures = 0;
    withSaveDialog(f->saveMapAction, [&](QFileDialog* d) {
      EXPECT_EQ(d->directory().absolutePath().toStdString(), expected.toStdString());
      EXPECT_EQ(d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text().toStdString(), "korvalen-map.png");
      QMetaObject::invokeMethod(d, "accept");
    }, failures);
    EXPECT_EQ(failures, 0);
    const QImage written(QDir(expected).filePath(QStringLiteral("korvalen-map.png")));
    EXPECT_EQ(written.convertToFormat(QImage::Format_RGB32), f->mapPicture().convertToFormat(QImage::Format_RGB32));
  }
  qputenv("HOME", home);
  hadConfig ? qputenv("XDG_CONFIG_HOME", config) : qunsetenv("XDG_CONFIG_HOME");
}

}  // namespace
}  // namespace korvalen
