#include "platform/file_helpers.h"

#include <QDir>
#include <QFileInfo>

namespace {

QStringList matches(const QString& folder, const QString& pattern) {
    return QDir(folder).entryList({pattern}, QDir::Files | QDir::Hidden | QDir::System);
}

} // namespace

bool FileExists(const QString& pattern) {
    const QFileInfo info(pattern);
    return !matches(info.path(), info.fileName()).isEmpty();
}

bool DirExists(const QString& folder) { return QFileInfo(folder).isDir(); }

QString GetShortPath(const QString& path) { return path; }

void DeleteMatching(const QString& folder, const QString& pattern) {
    QDir dir(folder);
    for (const QString& name : matches(folder, pattern)) dir.remove(name);
}
