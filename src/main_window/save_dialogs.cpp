#include "main_window/save_dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QRegularExpression>
#include <QStandardPaths>

#include "export/output_files.h"

namespace korvalen {

namespace {
// "Изображения PNG (*.png)" gives "png".
QString suffixOf(const QString& filter) {
  static const QRegularExpression pattern(QStringLiteral("\\*\\.([A-Za-z0-9]+)"));
  return pattern.match(filter).captured(1);
}

// The icons and type names of the dialog's list and of its name completer,
// from what listing the folder learnt (a folder, a file, something else) and
// the file's name alone. Qt's own provider opens every file whose name does
// not tell its type and reads its first bytes, also on the window's thread;
// a kernel file such as /proc/kmsg never answers, a device may wait, and the
// program with them. No file is opened here, and the desktop's icon lookup,
// which may open files too, is never asked.
class TypesByName : public QFileIconProvider {
 public:
  using QFileIconProvider::icon;

  QIcon icon(const QFileInfo& info) const override {
    if (info.isRoot()) return icon(Drive);
    if (info.isDir()) return icon(Folder);
    if (!info.isFile()) return icon(File);
    const QIcon named = QIcon::fromTheme(typeOfName(info).iconName());
    return named.isNull() ? icon(File) : named;
  }

  QString type(const QFileInfo& info) const override {
    // Folders, links and special files are named by what the listing found;
    // only a regular file would be read.
    if (!info.isFile()) return QFileIconProvider::type(info);
    const QMimeType t = typeOfName(info);
    return t.comment().isEmpty() ? t.name() : t.comment();
  }

 private:
  QMimeType typeOfName(const QFileInfo& info) const {
    return types_.mimeTypeForFile(info.fileName(), QMimeDatabase::MatchExtension);
  }
  QMimeDatabase types_;
};
}  // namespace

void SaveDialogs::askAndSave(QWidget* parent, const QString& title, const QStringList& filters,
                             const QString& name,
                             const std::function<bool(const QString&, const QString&)>& save) {
  QString folder = folder_;
  if (folder.isEmpty()) {
    folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) folder = QDir::homePath();
  }
  // Outlives the dialog, whose folder listing uses it until the dialog is gone.
  TypesByName types;
  QFileDialog dialog(parent, title, folder);
  dialog.setNameFilters(filters);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  // Only now has the dialog its own list to give the provider to.
  dialog.setIconProvider(&types);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setDefaultSuffix(QFileInfo(name).suffix());
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                   [&dialog](const QString& filter) { dialog.setDefaultSuffix(suffixOf(filter)); });
  dialog.selectFile(name);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  const QString path = dialog.selectedFiles().constFirst();
  if (save(path, dialog.selectedNameFilter())) folder_ = QFileInfo(path).absolutePath();
}

void SaveDialogs::askAndOpen(QWidget* parent, const QString& title, const QStringList& filters,
                             const std::function<bool(const QString&)>& open) {
  QString folder = folder_;
  if (folder.isEmpty()) {
    folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) folder = QDir::homePath();
  }
  QFileDialog dialog(parent, title, folder);
  dialog.setNameFilters(filters);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  const QString path = dialog.selectedFiles().constFirst();
  if (open(path)) folder_ = QFileInfo(path).absolutePath();
}

void tellSaveFailure(QWidget* parent, const QString& failure) {
  QMessageBox::warning(parent, QStringLiteral("Korvalen"), failure);
}

bool writeFileOrTell(QWidget* parent, const QString& path, const QByteArray& bytes) {
  const QString failure = saveFiles({{path, bytes}});
  if (failure.isEmpty()) return true;
  tellSaveFailure(parent, failure);
  return false;
}

}  // namespace korvalen
