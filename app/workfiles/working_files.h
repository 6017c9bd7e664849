// The temporary folder and its working files: the current picture at
// working size (temp.bmp), the previews (a cache keyed by depth and
// method), the crop dialog's large picture and the candidate databases.
#pragma once

#include <QString>
#include <QStringList>

#include "imaging/reduce.h"

class WorkingFiles {
public:
    // The folder is `appPath` followed by "/temp".
    explicit WorkingFiles(const QString& appPath);

    const QString& folder() const { return folder_; }
    QString file(const QString& name) const { return folder_ + QLatin1Char('/') + name; }
    QString picture() const { return file(QStringLiteral("temp.bmp")); }
    QString largePicture() const { return file(QStringLiteral("lgtemp.bmp")); }
    // temp<n>.bin
    QString candidate(int n) const;

    // temp24bit.bmp at 16 bits (either method), temp8n, temp8d, temp4n, temp4d.
    static QString previewName(int depth, mireo::imaging::Method method);
    QString preview(int depth, mireo::imaging::Method method) const { return file(previewName(depth, method)); }

    // temp.bmp, temp24bit.bmp, temp4n.bmp, temp8n.bmp, temp4d.bmp, temp8d.bmp.
    static const QStringList& workingImageNames();

    // Removes temp.bmp and the five previews, each only if it exists.
    void DeleteWorkingImages() const;
    // Removes every .bmp and every .bin file of the folder.
    void cleanUp() const;

private:
    QString folder_;
};
