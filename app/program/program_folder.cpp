#include "program/program_folder.h"

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

// The help page of an installed program, in the data folder beside bin.
QString installedHelpPage(const QString& programFolder) {
    return QDir::cleanPath(programFolder + QStringLiteral("/" MIREO_DATA_FROM_BIN) + QStringLiteral("/Help/Mireo_Help.htm"));
}

} // namespace

QString ResolveAppPath(const QString& programFolder) {
    const QString folder = withoutTrailingSlash(QDir::fromNativeSeparators(programFolder));
    const bool installed = !QFileInfo::exists(folder + QStringLiteral("/Help/Mireo_Help.htm")) &&
                           QFileInfo::exists(installedHelpPage(folder));
    if (!installed && canWriteIn(folder)) return folder;
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(data);
    return withoutTrailingSlash(QDir::fromNativeSeparators(data));
}

QString HelpPagePath(const QString& programFolder) {
    const QString beside = programFolder + QStringLiteral("/Help/Mireo_Help.htm");
    const QString installed = installedHelpPage(programFolder);
    if (!QFileInfo::exists(beside) && QFileInfo::exists(installed)) return installed;
    return beside;
}
