// The save dialogs list a folder, shown or typed into the name field, without
// opening a file of it: neither a pipe, whose opening waits for a writer, nor
// a file whose name does not tell its type (as /proc/kmsg, which never answers).
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include "form1_fixture.h"

namespace korvalen {
namespace {

TEST(SaveDialogs, ListAFolderWithoutOpeningItsFiles) {
  const std::function<void(QFileDialog*, const QString&)> ways[] = {
      [](QFileDialog* d, const QString& folder) { d->setDirectory(folder); },
      [](QFileDialog* d, const QString& folder) {
        QTest::keyClicks(d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")), folder + QStringLiteral("/kmsg"));
      }};
  Form1 form;
  for (const auto& reach : ways) {
    QTemporaryDir folder;
    ASSERT_EQ(mkfifo(QFile::encodeName(folder.filePath(QStringLiteral("pipe.png"))).constData(), 0600), 0);
    for (const char* name : {"kmsg", "picture.png"}) {  // both begin as a PNG does
      QFile f(folder.filePath(QString::fromLatin1(name)));
      ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write("\x89PNG\r\n\x1a\n", 8) == 8);
    }
    const int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(inotify_add_watch(watch, QFile::encodeName(folder.path()).constData(), IN_OPEN | IN_ACCESS), 0);
    bool seen = false;
    QTimer::singleShot(0, [&] {
      auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(d, nullptr);
      seen = true;
      auto* model = d->findChild<QFileSystemModel*>();
      bool loaded = false;
      QObject::connect(model, &QFileSystemModel::directoryLoaded, d,
                       [&](const QString& path) { loaded = loaded || path == folder.path(); });
      reach(d, folder.path());
      EXPECT_TRUE(QTest::qWaitFor([&] { return loaded; }, 20000));
      // Listed to its end; of the three only the picture is offered.
      EXPECT_EQ(model->rowCount(model->index(folder.path())), 1);
      d->reject();
    });
    form.saveMapAction->trigger();
    EXPECT_TRUE(seen);
    // The events that name a file; the folder's own listing names none.
    QStringList opened;
    alignas(inotify_event) char events[65536];
    for (ssize_t n = read(watch, events, sizeof events), at = 0; at < n;) {
      const auto* e = reinterpret_cast<const inotify_event*>(events + at);
      if (e->len > 0) opened << QFile::decodeName(e->name);
      at += static_cast<ssize_t>(sizeof(inotify_event) + e->len);
    }
    close(watch);
    EXPECT_EQ(opened.join(QStringLiteral(", ")).toStdString(), "");
  }
}

}  // namespace
}  // namespace korvalen
