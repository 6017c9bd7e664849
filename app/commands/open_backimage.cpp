// Opening a background-image database into the working files, and saving
// the shown picture as a BMP file.
#include <QFile>
#include <QLabel>
#include <exception>
#include <string_view>

#include "imaging/backimage_type.h"
#include "imaging/library_args.h"
#include "imaging/names.h"
#include "imaging/working_bmp.h"
#include "platform/user_dialogs.h"
#include "program/app_error.h"
#include "program/shared_state.h"
#include "windows/image_window.h"
#include "windows/main_window.h"
#include "workfiles/working_files.h"

namespace im = mireo::imaging;

namespace {

// The bytes the type test and the name need; fewer when the file is
// shorter, none when it cannot be read.
QByteArray databaseHead(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.read(im::kBackimageTypeEnd);
}

// The name field up to its first NUL, in the Palm's character set.
QString storedName(const QByteArray& head) {
    const QByteArray field = head.left(32);
    const qsizetype end = field.indexOf('\0');
    const qsizetype length = end < 0 ? field.size() : end;
    return im::palmNameText(std::string_view(field.constData(), static_cast<std::size_t>(length)));
}

std::optional<QString> askForDatabase() {
    FileDialogSetup setup;
    setup.title = QStringLiteral("Load Vantrel Background File");
    setup.flags = kHideReadOnly;
    setup.filter = QStringLiteral("Vantrel Backimage File (*.pdb)|*.pdb");
    setup.filterIndex = 1;
    return dialogs().openFile(setup);
}

} // namespace

void MDImain::cmdLoadVTPDB_Click() {
    SaveOptionStates();
    form1_->LoadVTPDB();
}

void MDImain::cmdExportImg_Click() { form1_->ExportImg(); }

void Form1::LoadVTPDB() {
    if (shared.DroppedFileFlag) {
        shared.PdbOpenPath = shared.DroppedFileName;
        shared.DroppedFileFlag = false;
    } else {
        const std::optional<QString> file = askForDatabase();
        if (!file) return;
        shared.PdbOpenPath = *file;
    }
    main_.SaveOptionStates();
    const QByteArray head = databaseHead(shared.PdbOpenPath);
    const std::string problem =
        im::backimageTypeProblem({reinterpret_cast<const uint8_t*>(head.constData()), static_cast<std::size_t>(head.size())});
    if (!problem.empty()) {
        MsgBox(QString::fromStdString(problem));
        return;
    }
    shared.BackimageName = storedName(head);
    main_.setBackimageNameText(shared.BackimageName);
    picMain->clear();
    const WorkingFiles files(shared.AppPath);
    files.DeleteWorkingImages();
    try {
        readDatabase(files.picture());
    } catch (const AppError&) {
        return;
    }
    for (int bits : {16, 8, 4}) {
        if (shared.StoredDepth != bits) continue;
        main_.selectDepth(bits);
        shared.Want16Bit = bits == 16;
        shared.Want8Bit = bits == 8;
        shared.Want4Bit = bits == 4;
        shared.ColorDepthBits = static_cast<int16_t>(bits);
    }
    if (!QFile::exists(files.picture())) return;
    setWindowTitle(shared.PdbOpenPath.mid(shared.PdbOpenPath.lastIndexOf(QLatin1Char('/')) + 1));
    shared.LoadFromTemp = true;
    imgBuff = im::readWorkingBmp(files.picture());
    LoadImage();
    main_.EnableFlipRotate();
}

// ReadVTBI writes the stored depth into the low 16 bits of StoredDepth.
void Form1::readDatabase(const QString& bmpPath) {
    MireoArray grey = shared.Grey16Palette.descriptor(), palm8 = shared.Palm8Palette.descriptor();
    im::LibraryString pdb(shared.PdbOpenPath.toStdString()), bmp(bmpPath.toStdString());
    auto depth = static_cast<int16_t>(shared.StoredDepth & 0xFFFF);
    main_.library().ReadVTBI(&grey, &palm8, pdb.get(), bmp.get(), &depth);
    shared.StoredDepth = static_cast<int32_t>((static_cast<uint32_t>(shared.StoredDepth) & 0xFFFF0000u) |
                                              static_cast<uint16_t>(depth));
}

void Form1::ExportImg() {
    if (!shared.ImageLoaded || picMain->pixmap().isNull()) {
        MsgBox(QStringLiteral("No file loaded."));
        return;
    }
    const std::optional<QString> file = dialogs().saveFile(SaveDialogSetup(
        QStringLiteral("Save Image"), QStringLiteral("Windows BMP (*.bmp)|*.bmp"), QStringLiteral(".bmp")));
    if (!file) return;
    try {
        im::saveWorkingBmp(picMain->pixmap().toImage(), file->toStdString());
    } catch (const std::exception& error) {
        MsgBox(QStringLiteral("Unable to save the image: %1").arg(QString::fromLocal8Bit(error.what())));
    }
}
