// The save dialogs list and complete a folder of special files without
// opening any of them: a pipe, whose opening waits for a writer, and a
// regular file whose name does not tell its type (as /proc/kmsg, whose
// reading never returns).
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

// The names of the files of a folder opened or read since the watch began.
class OpenWatch {
 public:
  explicit OpenWatch(const QString& folder) : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
    watching_ = inotify_add_watch(fd_, QFile::encodeName(folder).constData(), IN_OPEN | IN_ACCESS) >= 0;
  }
  ~OpenWatch() { close(fd_); }
  bool watching() const { return watching_; }
  QStringList opened() const {
    QStringList names;
    alignas(inotify_event) char buffer[4096];
    ssize_t n;
    while ((n = read(fd_, buffer, sizeof buffer)) > 0) {
      for (ssize_t at = 0; at < n;) {
        const auto* e = reinterpret_cast<const inotify_event*>(buffer + at);
        if (e->len > 0) names << QFile::decodeName(e->name);  // not the folder's own listing
        at += static_cast<ssize_t>(sizeof(inotify_event) + e->len);
      }
    }
    return names;
  }

 private:
  int fd_;
  bool watching_;
};

// Makes the folder's entries: a pipe and two regular files that begin as a
// PNG does, one named so and one whose name says nothing.
void fillFolder(const QTemporaryDir& folder) {
  ASSERT_TRUE(folder.isValid());
  ASSERT_EQ(mkfifo(QFile::encodeName(folder.filePath(QStringLiteral("pipe.png"))).constData(), 0600), 0);
  for (const char* name : {"kmsg", "picture.png"}) {
    QFile f(folder.filePath(QString::fromLatin1(name)));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray("\x89PNG\r\n\x1a\n", 8));
  }
}

// The two ways a folder reaches the dialog: shown as its folder, or typed
// into its name field, where the completer lists it and the dialog looks the
// name up on the window's thread.
TEST(SaveDialogs, ListFolderOfSpecialFilesWithoutOpeningThem) {
  struct Way {
    const char* how;
    std::function<void(QFileDialog*, const QString& folder)> reach;
  } ways[] = {
      {"shown", [](QFileDialog* d, const QString& folder) { d->setDirectory(folder); }},
      {"typed", [](QFileDialog* d, const QString& folder) {
         auto* name = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
         name->clear();
         QTest::keyClicks(name, folder + QStringLiteral("/kmsg"));
       }},
  };
  Form1 form;
  for (const Way& way : ways) {
    SCOPED_TRACE(way.how);
    QTemporaryDir folder;
    ASSERT_NO_FATAL_FAILURE(fillFolder(folder));
    const OpenWatch watch(folder.path());
    ASSERT_TRUE(watch.watching());
    bool seen = false;
    QTimer::singleShot(0, [&] {
      auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(d, nullptr);
      seen = true;
      auto* model = d->findChild<QFileSystemModel*>();
      bool loaded = false;
      QObject::connect(model, &QFileSystemModel::directoryLoaded, d,
                       [&](const QString& path) { loaded = loaded || path == folder.path(); });
      way.reach(d, folder.path());
      // The listing ends, the pipe in it; the list offers files and folders only.
      EXPECT_TRUE(QTest::qWaitFor([&] { return loaded; }, 20000));
      const QModelIndex root = model->index(folder.path());
      QStringList listed;
      for (int r = 0; r < model->rowCount(root); ++r) listed << model->index(r, 0, root).data().toString();
      EXPECT_EQ(listed, QStringList{QStringLiteral("picture.png")});
      d->reject();
    });
    form.saveMapAction->trigger();
    EXPECT_TRUE(seen);
    EXPECT_EQ(watch.opened().join(QStringLiteral(", ")).toStdString(), "");
  }
}

}  // namespace
}  // namespace korvalen
