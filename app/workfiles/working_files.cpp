#include "workfiles/working_files.h"

#include <QFile>

#include "platform/file_helpers.h"

WorkingFiles::WorkingFiles(const QString& appPath) : folder_(appPath + QStringLiteral("/temp")) {}

QString WorkingFiles::candidate(int n) const { return file(QStringLiteral("temp%1.bin").arg(n)); }

QString WorkingFiles::previewName(int depth, mireo::imaging::Method method) {
    if (depth == 16) return QStringLiteral("temp24bit.bmp");
    const QChar letter = method == mireo::imaging::Method::Nearest ? QLatin1Char('n') : QLatin1Char('d');
    return QStringLiteral("temp%1%2.bmp").arg(depth).arg(letter);
}

const QStringList& WorkingFiles::workingImageNames() {
    static const QStringList names{QStringLiteral("temp.bmp"),   QStringLiteral("temp24bit.bmp"),
                                   QStringLiteral("temp4n.bmp"), QStringLiteral("temp8n.bmp"),
                                   QStringLiteral("temp4d.bmp"), QStringLiteral("temp8d.bmp")};
    return names;
}

void WorkingFiles::DeleteWorkingImages() const {
    for (const QString& name : workingImageNames())
        if (FileExists(file(name))) QFile::remove(file(name));
}

void WorkingFiles::cleanUp() const {
    for (const char* pattern : {"*.bmp", "*.bin"})
        if (FileExists(file(QLatin1String(pattern)))) DeleteMatching(folder_, QLatin1String(pattern));
}
