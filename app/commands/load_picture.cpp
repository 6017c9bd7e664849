// Bringing a picture in: Load Picture, a dropped file, the conversion of
// the picture into the working files (LoadImage) and the stretch to a
// chosen size (ResizeImg).
#include <QFile>
#include <QLabel>
#include <array>
#include <exception>

#include "imaging/fit.h"
#include "imaging/load.h"
#include "imaging/sizes.h"
#include "imaging/working_bmp.h"
#include "platform/twips.h"
#include "platform/user_dialogs.h"
#include "program/app_error.h"
#include "program/shared_state.h"
#include "windows/image_window.h"
#include "windows/main_window.h"
#include "workfiles/working_files.h"

namespace im = mireo::imaging;

namespace {

const QString kPictureFilter = QStringLiteral("Image File (*.bmp;*.jpg;*.gif)|*.bmp;*.jpg;*.gif");

// Raised inside LoadImage; its error exit reports it.
struct LoadFailure {};

std::optional<QString> askForPicture(const QString& title) {
    FileDialogSetup setup;
    setup.title = title;
    setup.filter = kPictureFilter;
    setup.filterIndex = 1;
    setup.flags = kHideReadOnly;
    return dialogs().openFile(setup);
}

bool hasPictureExtension(const QString& file) {
    const QString last = file.right(3).toLower();
    return last == QLatin1String("bmp") || last == QLatin1String("gif") || last == QLatin1String("jpg");
}

// The part of a path after its last folder separator.
QString fileNamePart(const QString& path) { return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1); }

void save(const QImage& picture, const QString& path) {
    try {
        im::saveWorkingBmp(picture, path.toStdString());
    } catch (const std::exception&) {
        throw LoadFailure{};
    }
}

} // namespace

void MDImain::cmdLoadPic_Click() {
    const std::optional<QString> file = askForPicture(QStringLiteral("Load Picture"));
    if (!file) {
        form1_->setWindowTitle(QStringLiteral(" "));
        return;
    }
    shared.CurrentFile = *file;
    shared.ReloadFromBuffer = false;
    shared.ImageLoaded = false;
    SaveOptionStates();
    WorkingFiles(shared.AppPath).DeleteWorkingImages();
    form1_->LoadImage();
    EnableFlipRotate();
}

void MDImain::OpenDroppedFile() {
    SaveOptionStates();
    const QString extension = shared.DroppedFileName.right(4).toUpper();
    if (extension == QLatin1String(".BMP") || extension == QLatin1String(".GIF") ||
        extension == QLatin1String(".JPG")) {
        WorkingFiles(shared.AppPath).DeleteWorkingImages();
        form1_->mnuImport_Click();
    } else if (extension == QLatin1String(".PDB")) {
        form1_->LoadVTPDB();
    } else {
        MsgBox(QStringLiteral("Incorrect file type!"));
    }
}

void Form1::mnuImport_Click() {
    if (!shared.DroppedFileFlag) {
        const std::optional<QString> file = askForPicture(QStringLiteral("Import Background Image"));
        if (!file) {
            setWindowTitle(QStringLiteral(" "));
            return;
        }
        shared.CurrentFile = *file;
    } else {
        shared.CurrentFile = shared.DroppedFileName;
        shared.DroppedFileFlag = false;
    }
    shared.ReloadFromBuffer = false;
    shared.ImageLoaded = false;
    LoadImage();
}

void Form1::LoadImage() {
    if (!shared.ReloadFromBuffer && !shared.LoadFromTemp) main_.setBackimageNameText({});
    const WorkingFiles files(shared.AppPath);
    if (shared.ReloadFromBuffer) {
        shared.ReloadFromBuffer = false;
    } else {
        if (shared.LoadFromTemp) {
            shared.CurrentFile = files.picture();
        } else if (!hasPictureExtension(shared.CurrentFile)) {
            MsgBox(QStringLiteral("Unsupported Image format!"));
            shared.LoadFromTemp = false;
            return;
        }
        main_.DisableControls();
        try {
            if (!readPicture(files)) return;
        } catch (const LoadFailure&) {
            loadFailed();
            return;
        }
    }
    try {
        convertPicture(files);
    } catch (const LoadFailure&) {
        loadFailed();
    } catch (const AppError&) {
        loadFailed();
    }
}

// Steps 5 to 11: the caption, the display reset, the size checks (read from
// the file's header before any pixel is decoded), temp.bmp, and the resize
// dialog for a picture that is not of a standard size.  False when the
// import ends here.
bool Form1::readPicture(const WorkingFiles& files) {
    if (!shared.LoadFromTemp) setWindowTitle(fileNamePart(shared.CurrentFile));
    resetDisplay();
    im::PictureReader reader(shared.CurrentFile);
    const QSize size = reader.size();
    if (!size.isValid()) throw LoadFailure{};
    const QString problem =
        QString::fromStdString(im::importSizeProblem({size.width(), size.height()}));
    if (!problem.isEmpty()) {
        MsgBox(problem);
        ShowStartLogo();
        main_.EnableControls();
        shared.LoadFromTemp = false;
        return false;
    }
    picBuff = reader.read().convertToFormat(QImage::Format_RGB32);
    if (picBuff.isNull()) throw LoadFailure{};
    save(picBuff, files.picture());
    shared.ImageWidth = static_cast<int16_t>(picBuff.width());
    shared.ImageHeight = static_cast<int16_t>(picBuff.height());
    shared.ImportWidth = shared.ImageWidth;
    shared.ImportHeight = shared.ImageHeight;
    if (!im::isStandardSize({shared.ImageWidth, shared.ImageHeight})) {
        main_.ShowResizeDialog(true);
        shared.LoadFromTemp = false;
        return false;
    }
    return true;
}

// Steps 12 to 20: the preview at the recorded depth and method.
void Form1::convertPicture(const WorkingFiles& files) {
    const int depth = shared.Want4Bit ? 4 : shared.Want8Bit ? 8 : 16;
    if (depth == 16) {
        QFile::remove(files.preview(16, im::Method::Diffused));
        capturePicture(16);
        writePreview(16, im::Method::Diffused);
        showFile(files.preview(16, im::Method::Diffused));
    } else {
        convertReduced(files, depth);
    }
    sizeToPicture();
    if (depth == 16) save(picBuff, files.picture());
    shared.ImageLoaded = true;
    main_.enableConvertedPictureControls();
    shared.LoadFromTemp = false;
    placeStatusBar();
    if (!picMain->pixmap().isNull()) lblPicSize->setText(sizeText(picMain->size()));
    placeStatusBar();
    main_.EnableControls();
    main_.EnableFlipRotate();
}

// The 8-bit and 4-bit paths: the diffused file is written before the
// nearest one at 8 bits, after it at 4 bits; a picture that came from a
// database is already reduced and gets plain copies.
void Form1::convertReduced(const WorkingFiles& files, int depth) {
    const im::Method nearest = im::Method::Nearest, diffused = im::Method::Diffused;
    QFile::remove(files.preview(depth, nearest));
    QFile::remove(files.preview(depth, diffused));
    capturePicture(depth);
    save(picBuff, files.picture());
    if (!shared.LoadFromTemp) {
        picBuff = im::readWorkingBmp(files.picture());
        const std::array<im::Method, 2> order =
            depth == 8 ? std::array<im::Method, 2>{diffused, nearest} : std::array<im::Method, 2>{nearest, diffused};
        for (im::Method method : order)
            if (method == nearest ? shared.WantNearest : shared.WantDithered) writePreview(depth, method);
    } else {
        save(picBuff, files.preview(depth, nearest));
        save(picBuff, files.preview(depth, diffused));
    }
    if (shared.WantNearest) showFile(files.preview(depth, nearest));
    if (shared.WantDithered) showFile(files.preview(depth, diffused));
}

void Form1::loadFailed() {
    MsgBox(QStringLiteral("Error loading file!"));
    main_.enableOptions();
    shared.LoadFromTemp = false;
    main_.EnableControls();
}

void Form1::ResizeImg() {
    static const std::pair<const char*, im::PixelSize> kNames[] = {
        {"160x160", {160, 160}}, {"240x320", {240, 320}}, {"320x320", {320, 320}}, {"320x480", {320, 480}},
        {"320x450", {320, 450}}, {"480x320", {480, 320}}, {"480x480", {480, 480}}};
    for (const auto& [name, size] : kNames)
        if (shared.SizeChoice.compare(QLatin1String(name), Qt::CaseInsensitive) == 0) {
            shared.ResizeWidth = static_cast<int16_t>(size.width);
            shared.ResizeHeight = static_cast<int16_t>(size.height);
        }
    const WorkingFiles files(shared.AppPath);
    const QString source = QFile::exists(files.picture()) ? files.picture() : shared.CurrentFile;
    imgBuff = im::PictureReader(source).read();
    picBuff = QImage();
    picMain->clear();
    try {
        if (imgBuff.isNull()) throw LoadFailure{};
        picBuff = im::fitPicture(imgBuff, {shared.ResizeWidth, shared.ResizeHeight}, im::FitMode::Stretch, Qt::white);
        files.DeleteWorkingImages();
        save(picBuff, files.preview(16, im::Method::Diffused));
        save(picBuff, files.picture());
    } catch (const LoadFailure&) {
        loadFailed();
        return;
    }
    shared.ReloadFromBuffer = true;
    LoadImage();
}
