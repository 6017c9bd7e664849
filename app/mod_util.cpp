#include "mod_util.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMdiSubWindow>
#include <QWidget>

#include "dialogs.h"
#include "form1.h"
#include "mdi_main.h"
#include "open_backimage.h"
#include "shared_state.h"

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

void DeleteMatching(const QString& folder, const QString& pattern) {
    QDir dir(folder);
    for (const QString& name : matches(folder, pattern)) dir.remove(name);
}

void DeleteWorkingImages() {
    const QString temp = AppPath + QStringLiteral("/temp/");
    for (const char* name : {"temp.bmp", "temp24bit.bmp", "temp4n.bmp", "temp8n.bmp", "temp4d.bmp", "temp8d.bmp"})
        if (FileExists(temp + QLatin1String(name))) QFile::remove(temp + QLatin1String(name));
}

QWidget* FindForm(const QString& name) {
    for (QWidget* widget : QApplication::allWidgets()) {
        const bool form = widget->isWindow() || qobject_cast<QMdiSubWindow*>(widget->parentWidget());
        if (form && widget->objectName() == name) return widget;
    }
    return nullptr;
}

bool IsFormLoaded(const QString& name) { return FindForm(name) != nullptr; }

void OpenDroppedFile() {
    TheMainWindow().SaveOptionStates();
    const QString extension = DroppedFileName.right(4).toUpper();
    if (extension == QLatin1String(".BMP") || extension == QLatin1String(".GIF") ||
        extension == QLatin1String(".JPG")) {
        DeleteWorkingImages();
        TheMainWindow().form1().mnuImport_Click();
    } else if (extension == QLatin1String(".PDB")) {
        LoadVTPDB();
    } else {
        MsgBox(QStringLiteral("Incorrect file type!"));
    }
}
