#include "main_window/save_dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
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
}  // namespace

void SaveDialogs::askAndSave(QWidget* parent, const QString& title, const QStringList& filters,
                             const QString& name,
                             const std::function<bool(const QString&, const QString&)>& save) {
  QString folder = folder_;
  if (folder.isEmpty()) {
    folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) folder = QDir::homePath();
  }
  QFileDialog dialog(parent, title, folder);
  dialog.setNameFilters(filters);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
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
