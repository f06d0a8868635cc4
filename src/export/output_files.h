#pragma once
// Files the program writes, and only when the user asks for one. Each goes
// through QSaveFile: a failed or interrupted write leaves the old file as it
// was, and no half-written file is ever left behind.
#include <QByteArray>
#include <QImage>
#include <QString>
#include <utility>
#include <vector>

namespace korvalen {

// The picture as a PNG with two texts: "Comment", the command that makes it
// again, and "Software", the program and its version. Its pixels are the
// image's own, whatever device pixel ratio the image carries.
QByteArray pngOf(const QImage& picture, const QString& command);

// Writes every file, or, where any of them cannot be written, none: each is
// written in full beside its place first, and they take their places only
// when all are written. Returns the failure's text, empty on success.
QString saveFiles(const std::vector<std::pair<QString, QByteArray>>& files);

// "Не удалось сохранить файл «NAME»: REASON".
QString saveFailureText(const QString& path, const QString& reason);

// Qt's reason for a file it could not write, as the user reads it: a reason
// already in Russian (Qt's translation or the system's) as it is; the common
// causes in the program's own words (a folder that does not exist, no
// permission, a read-only file system, no space, a name too long, a folder or
// a file where the other should be); any other cause in the system's words.
QString reasonInRussian(const QString& reason);

}  // namespace korvalen
