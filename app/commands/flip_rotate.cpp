// Mirroring and turning the current picture: every working file that
// exists is transformed, then the preview of the current depth is shown
// again.  Nothing happens without a picture.
#include <QApplication>
#include <QLabel>

#include "imaging/working_bmp.h"
#include "platform/user_dialogs.h"
#include "program/shared_state.h"
#include "windows/image_window.h"
#include "windows/main_window.h"
#include "workfiles/file_transforms.h"
#include "workfiles/working_files.h"

namespace im = mireo::imaging;

namespace {

void reportProblem(const TransformOutcome& outcome) {
    if (!outcome.pictureDone) MsgBox(QStringLiteral("Error Processing Image!"));
}

} // namespace

void MDImain::cmdFlip_V_Click() { mirror(false); }

void MDImain::cmdFlip_H_Click() { mirror(true); }

void MDImain::cmdRotateL_Click() { rotate(false); }

void MDImain::cmdRotateR_Click() { rotate(true); }

void MDImain::showCurrentDepth() {
    if (shared.Want16Bit) form1_->showFile(WorkingFiles(shared.AppPath).preview(16, im::Method::Diffused));
    if (shared.Want8Bit) Show8BitImg();
    if (shared.Want4Bit) Show4BitImg();
}

void MDImain::mirror(bool horizontal) {
    if (!shared.ImageLoaded) return;
    SaveOptionStates();
    const TransformOutcome outcome = MirrorWorkingFiles(WorkingFiles(shared.AppPath), horizontal);
    reportProblem(outcome);
    if (!outcome.pictureDone) return;
    form1_->picBuff = im::readWorkingBmp(shared.TempBmpPath);
    showCurrentDepth();
}

void MDImain::rotate(bool right) {
    if (!shared.ImageLoaded) return;
    SaveOptionStates();
    DisableControls();
    DisableFlipRotate();
    showWorking(true);
    QApplication::processEvents();
    const TransformOutcome outcome = RotateWorkingFiles(WorkingFiles(shared.AppPath), library(), right);
    EnableControls();
    reportProblem(outcome);
    showCurrentDepth();
    form1_->sizeToPicture();
    form1_->placeStatusBar();
    const bool shown = !form1_->picMain->pixmap().isNull();
    form1_->lblPicSize->setText(shown ? Form1::sizeText(form1_->picMain->size()) : QString());
    EnableFlipRotate();
    showWorking(false);
    QApplication::processEvents();
}
