#include "workfiles/file_transforms.h"

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <exception>
#include <memory>
#include <vector>

#include "imaging/library_args.h"
#include "imaging/replacement_file.h"
#include "imaging/working_bmp.h"
#include "workfiles/working_files.h"

namespace im = mireo::imaging;

namespace {

const QString kPicture = QStringLiteral("temp.bmp");

struct Pending {
    QString name;
    std::unique_ptr<im::ReplacementFile> file;
    bool ready = false;
};

QImage readBmp(const QString& path) {
    QImageReader reader(path, "bmp");
    return reader.read();
}

// The reserved bytes 6 to 9 of a BMP header, which the library writes as
// zeros: a copy marked there shows afterwards whether the library rewrote it.
constexpr qint64 kReservedField = 6;
const QByteArray kMark("MREO");

QByteArray reservedField(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(kReservedField)) return {};
    return file.read(kMark.size());
}

bool mark(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadWrite) && file.seek(kReservedField) && file.write(kMark) == kMark.size();
}

// Replaces what was made and drops the previews that failed; nothing is
// replaced when the picture itself failed.
TransformOutcome commit(const WorkingFiles& files, std::vector<Pending>& pending, QString problem) {
    TransformOutcome outcome;
    for (const Pending& p : pending)
        if (p.name == kPicture && !p.ready) {
            outcome.problem = problem.isEmpty() ? QStringLiteral("temp.bmp could not be transformed") : problem;
            return outcome;
        }
    for (Pending& p : pending) {
        if (p.ready) {
            p.file->commit();
        } else {
            QFile::remove(files.file(p.name));
            outcome.dropped << p.name;
        }
    }
    outcome.pictureDone = true;
    return outcome;
}

std::vector<Pending> existing(const WorkingFiles& files, const QStringList& order) {
    std::vector<Pending> pending;
    for (const QString& name : order)
        if (QFile::exists(files.file(name)))
            pending.push_back({name, std::make_unique<im::ReplacementFile>(files.file(name).toStdString())});
    return pending;
}

} // namespace

QStringList FlipOrder() { return WorkingFiles::workingImageNames(); }

QStringList RotateOrder(bool right) {
    QStringList order = WorkingFiles::workingImageNames();
    if (!right) order.swapItemsAt(0, 1);
    return order;
}

TransformOutcome MirrorWorkingFiles(const WorkingFiles& files, bool horizontal) {
    QString problem;
    std::vector<Pending> pending;
    try {
        pending = existing(files, FlipOrder());
        for (Pending& p : pending) {
            const QImage picture = readBmp(files.file(p.name));
            if (picture.isNull()) continue;
            im::saveWorkingBmp(picture.mirrored(horizontal, !horizontal), p.file->path().string());
            p.ready = true;
        }
        return commit(files, pending, problem);
    } catch (const std::exception& error) {
        problem = QString::fromLocal8Bit(error.what());
    }
    TransformOutcome failed;
    failed.problem = problem;
    return failed;
}

TransformOutcome RotateWorkingFiles(const WorkingFiles& files, const im::Library& library, bool right) {
    std::vector<Pending> pending;
    try {
        pending = existing(files, RotateOrder(right));
        for (Pending& p : pending) {
            const QSize before = QImageReader(files.file(p.name), "bmp").size();
            const std::string copy = p.file->path().string();
            std::filesystem::copy_file(files.file(p.name).toStdString(), copy);
            if (!mark(QString::fromStdString(copy))) continue;
            im::LibraryString path(copy), direction(right ? "Right" : "Left");
            library.RotateImg(path.get(), direction.get());
            const QSize after = QImageReader(QString::fromStdString(copy), "bmp").size();
            const bool rewritten = reservedField(QString::fromStdString(copy)) == QByteArray(kMark.size(), '\0');
            p.ready = before.isValid() && after == before.transposed() && rewritten;
        }
        return commit(files, pending, {});
    } catch (const std::exception& error) {
        TransformOutcome failed;
        failed.problem = QString::fromLocal8Bit(error.what());
        return failed;
    }
}
