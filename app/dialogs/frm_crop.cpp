#include "dialogs/frm_crop.h"

#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <exception>

#include "dialogs/crop_canvas.h"
#include "dialogs/frm_change_back_color.h"
#include "dialogs/frm_crop_view.h"
#include "imaging/fit.h"
#include "imaging/load.h"
#include "imaging/sizes.h"
#include "imaging/working_bmp.h"
#include "platform/user_dialogs.h"
#include "program/shared_state.h"
#include "windows/image_window.h"
#include "windows/main_window.h"
#include "workfiles/working_files.h"

namespace im = mireo::imaging;

namespace {

const QString kNoPicture = QStringLiteral("Unable to load original image!");

// The picture at another size, by the area-averaging resampling that the
// command-line tool uses too.
QImage stretched(const QImage& picture, QSize size, const QColor& border) {
    return im::fitPicture(picture, size, im::FitMode::Stretch, border);
}

bool saved(const QImage& picture, const QString& path) {
    try {
        im::saveWorkingBmp(picture, path.toStdString());
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace

frmCrop::frmCrop(MDImain& main, SharedState& state) : QDialog(&main), main_(main), shared(state) {
    setObjectName(QStringLiteral("frmCrop"));
    setWindowTitle(QStringLiteral("Resize Image"));
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls();
    connect(this, &QDialog::finished, this, &frmCrop::Form_Unload);
    main_.DisableControls();
    CropFrmLoad();
}

void frmCrop::CropFrmLoad() {
    optMaintainAspect->setChecked(true);
    const QString source = shared.ImageLoaded ? shared.TempBmpPath : shared.CurrentFile;
    if (!QFile::exists(source)) {
        MsgBox(kNoPicture);
        return;
    }
    shared.CropScale = 1;
    shared.CropOffsetX = shared.CropOffsetY = 0;
    if (!CropRecSav) shared.BackRed = shared.BackGreen = shared.BackBlue = 255;
    setBorderColor(borderColor());
    picResize->clearPicture();
    if (!loadPicture(source)) return;
    if (picwidth > 2400 || picheight > 2400)
        halveLargePicture();
    else
        shared.LargeImageReduced = false;
    setUpCropView(CropRecSav);
}

bool frmCrop::loadPicture(const QString& path) {
    imgCBuff = im::PictureReader(path).read().convertToFormat(QImage::Format_RGB32);
    if (imgCBuff.isNull()) {
        MsgBox(kNoPicture);
        return false;
    }
    picwidth = imgCBuff.width();
    picheight = imgCBuff.height();
    return true;
}

// A very large picture is worked on at half its size, kept as lgtemp.bmp.
// Should that file not be written, the halved picture is still on view and
// the crop takes it from memory.
void frmCrop::halveLargePicture() {
    picwidth /= 2;
    picheight /= 2;
    imgCBuff = stretched(imgCBuff, QSize(picwidth, picheight), borderColor());
    const QString large = WorkingFiles(shared.AppPath).largePicture();
    QFile::remove(large);
    shared.LargeImageReduced = false;
    if (!saved(imgCBuff, large)) return;
    shared.CurrentFile = large;
    shared.LargeImageReduced = true;
}

void frmCrop::setUpCropView(bool restoreRect) {
    const std::string problem = im::importSizeProblem({picwidth, picheight});
    if (!problem.empty()) {
        imgCBuff = QImage();
        MsgBox(QString::fromStdString(problem));
        main_.EnableControls();
        return;
    }
    if (picwidth == picheight) {
        cmdChangeBackColor->hide();
        picBackColor->hide();
    }
    const CropView view = CropViewFor(QSize(picwidth, picheight));
    shared.CropScale = view.scale;
    shared.CropOffsetX = static_cast<int16_t>(view.offset.x());
    shared.CropOffsetY = static_cast<int16_t>(view.offset.y());
    picwidth = view.shown.width();
    picheight = view.shown.height();
    picResize->showCrop(stretched(imgCBuff, view.shown, borderColor()), view.offset, view.side);
    shared.CropAspect = shared.TargetHeight > 0 ? double(shared.TargetWidth) / shared.TargetHeight : 1;
    picResize->setAspect(shared.CropAspect);
    const QSize target(shared.TargetWidth, shared.TargetHeight);
    picResize->setCropRec(restoreRect ? QRectF(CropRecLeft, CropRecTop, CropRecWidth, CropRecHeight)
                                      : DefaultCropRect(target, view.side));
    fitCanvasArea();
}

QColor frmCrop::borderColor() const { return QColor(shared.BackRed, shared.BackGreen, shared.BackBlue); }

void frmCrop::optStretch_Click() {
    showCropControls(false);
    if (!QFile::exists(shared.CurrentFile)) return;
    if (!loadPicture(QFile::exists(shared.TempBmpPath) ? shared.TempBmpPath : shared.CurrentFile)) return;
    picwidth = shared.TargetWidth;
    picheight = shared.TargetHeight;
    const std::string problem = im::importSizeProblem({picwidth, picheight});
    if (!problem.empty()) {
        MsgBox(QString::fromStdString(problem));
        main_.EnableControls();
        return;
    }
    picResize->showStretch(stretched(imgCBuff, QSize(picwidth, picheight), borderColor()));
    fitCanvasArea();
}

void frmCrop::optMaintainAspect_Click() {
    showCropControls(true);
    const WorkingFiles files(shared.AppPath);
    const QString source = shared.LargeImageReduced ? files.largePicture()
                           : QFile::exists(files.picture()) ? files.picture()
                                                            : shared.CurrentFile;
    setBorderColor(borderColor());
    shared.CropScale = 1;
    shared.CropOffsetX = shared.CropOffsetY = 0;
    if (loadPicture(source)) setUpCropView(false);
}

void frmCrop::cmdOK_Click() {
    if (optStretch->isChecked()) {
        shared.ReloadFromBuffer = true;
        main_.form1().ResizeImg();
        close();
        return;
    }
    cropAndResize();
}

// The crop is taken from the very picture on view, so that the canvas
// offsets and the scale it was shown with belong to it.
void frmCrop::cropAndResize() {
    shared.CropScale = CropScaleFor(imgCBuff.size());
    const QPoint offset(shared.CropOffsetX, shared.CropOffsetY);
    const QImage cropped = imgCBuff.isNull() ? QImage()
                                             : CropAtFullSize(imgCBuff, picResize->CropRec(), offset, shared.CropScale,
                                                              borderColor());
    const QString picture = WorkingFiles(shared.AppPath).picture();
    if (!cropped.isNull()) QFile::remove(picture);
    if (cropped.isNull() || !saved(cropped, picture)) {
        MsgBox(QStringLiteral("Error Processing Image!"));
        main_.EnableControls();
        return;
    }
    main_.setResizeEnabled(true);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);  // no second click meanwhile
    main_.form1().ResizeImg();
    close();
}

void frmCrop::cmdCancel_Click() {
    shared.ReloadFromBuffer = false;
    if (!QFile::exists(WorkingFiles(shared.AppPath).picture())) {
        shared.ImageLoaded = false;
        main_.setResizeEnabled(false);
    }
    Form1& form = main_.form1();
    if (form.picMain->pixmap().isNull()) form.ShowStartLogo();
    close();
}

void frmCrop::cmdChangeBackColor_Click() {
    if (auto* open = findChild<frmChangeBackColor*>(); open && open->isVisible()) {
        open->raise();
        open->activateWindow();
        return;
    }
    CropRecSav = true;
    const QRectF rect = picResize->CropRec();
    CropRecWidth = qRound(rect.width());
    CropRecHeight = qRound(rect.height());
    CropRecTop = qRound(rect.top());
    CropRecLeft = qRound(rect.left());
    (new frmChangeBackColor(*this, shared))->show();
}

void frmCrop::Form_Unload() {
    if (auto* colors = findChild<frmChangeBackColor*>()) colors->close();
    if (shared.ImageLoaded) main_.setResizeEnabled(true);
    Form1& form = main_.form1();
    if (shared.LogoShown) {
        shared.LogoShown = false;
    } else if (!form.picMain->pixmap().isNull()) {
        form.lblPicSize->setText(Form1::sizeText(form.picMain->size()));
    } else {
        form.lblPicSize->clear();
        form.ShowStartLogo();
    }
    main_.EnableControls();
}
