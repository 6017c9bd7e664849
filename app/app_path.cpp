#include "app_path.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace {

bool canWriteIn(const QString& folder) {
    QTemporaryFile probe(folder + QStringLiteral("/.mireo-write-test-XXXXXX"));
    return probe.open();
}

QString withoutTrailingSlash(QString path) {
    while (path.size() > 1 && path.endsWith(QLatin1Char('/'))) path.chop(1);
    return path;
}

} // namespace

QString ResolveAppPath(const QString& programFolder) {
    const QString folder = withoutTrailingSlash(QDir::fromNativeSeparators(programFolder));
    if (canWriteIn(folder)) return folder;
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(data);
    return withoutTrailingSlash(QDir::fromNativeSeparators(data));
}

QString HelpPagePath(const QString& programFolder) {
    const QString beside = programFolder + QStringLiteral("/Help/Mireo_Help.htm");
    const QString installed = QDir::cleanPath(programFolder + QStringLiteral("/" MIREO_DATA_FROM_BIN) +
                                              QStringLiteral("/Help/Mireo_Help.htm"));
    if (!QFileInfo::exists(beside) && QFileInfo::exists(installed)) return installed;
    return beside;
}
