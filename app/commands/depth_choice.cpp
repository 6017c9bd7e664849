// The colour depth and reduction options.  Each preview file is a cache
// entry keyed by depth and method: made once from temp.bmp by the library,
// then only shown again.  Without a picture a click only moves the options.
#include <QFile>
#include <QToolButton>

#include "imaging/working_bmp.h"
#include "platform/file_helpers.h"
#include "platform/user_dialogs.h"
#include "program/app_error.h"
#include "program/shared_state.h"
#include "windows/image_window.h"
#include "windows/main_window.h"
#include "workfiles/working_files.h"

namespace im = mireo::imaging;

namespace {

void errorLoadingImage() { MsgBox(QStringLiteral("Error loading image!")); }

} // namespace

void MDImain::opt16Bit_Click() {
    selectDepth(16);
    shared.ColorDepthBits = 16;
    if (!shared.ImageLoaded) return;
    const QString preview = WorkingFiles(shared.AppPath).preview(16, im::Method::Diffused);
    if (FileExists(preview)) {
        form1_->showFile(preview);
        return;
    }
    try {
        form1_->picBuff = im::readWorkingBmp(shared.TempBmpPath);
        form1_->capturePicture(16);
        form1_->writePreview(16, im::Method::Diffused);
    } catch (const AppError&) {
    }
    if (!FileExists(preview)) {
        errorLoadingImage();
        return;
    }
    form1_->showFile(preview);
    form1_->sizeToPicture();
}

void MDImain::opt8Bit_Click() { Show8BitImg(); }

void MDImain::opt4Bit_Click() { Show4BitImg(); }

void MDImain::Show8BitImg() { showReduced(8); }

void MDImain::Show4BitImg() { showReduced(4); }

// Show8BitImg and Show4BitImg.  They differ in two points: at 4 bits the
// method options are read before anything else (also without a picture),
// and the controls come back only after the preview is shown.
void MDImain::showReduced(int depth) {
    const bool fourBits = depth == 4;
    if (fourBits) {
        shared.NearestSelected = nearestSelected();
        shared.DitheredSelected = ditheredSelected();
    }
    selectDepth(depth);
    shared.Want16Bit = false;
    shared.Want8Bit = !fourBits;
    shared.Want4Bit = fourBits;
    shared.ColorDepthBits = static_cast<int16_t>(depth);
    if (!shared.ImageLoaded) return;
    if (!fourBits) {
        shared.NearestSelected = nearestSelected();
        shared.DitheredSelected = ditheredSelected();
    }
    shared.WantNearest = shared.NearestSelected;
    shared.WantDithered = shared.DitheredSelected;
    const WorkingFiles files(shared.AppPath);
    const QString nearest = files.preview(depth, im::Method::Nearest), diffused = files.preview(depth, im::Method::Diffused);
    bool rebuild = false;
    for (auto [wanted, path] : {std::pair{shared.NearestSelected, nearest}, {shared.DitheredSelected, diffused}}) {
        if (!wanted) continue;
        if (FileExists(path)) form1_->showFile(path);
        else rebuild = true;
    }
    if (!rebuild) return;
    form1_->picBuff = im::readWorkingBmp(shared.TempBmpPath);
    form1_->capturePicture(depth);
    DisableControls();
    try {
        if (shared.NearestSelected) form1_->writePreview(depth, im::Method::Nearest);
        if (shared.DitheredSelected) form1_->writePreview(depth, im::Method::Diffused);
    } catch (const AppError&) {
    }
    if (!fourBits) EnableControls();
    if ((shared.NearestSelected && !FileExists(nearest)) || (shared.DitheredSelected && !FileExists(diffused))) {
        errorLoadingImage();
        if (fourBits) EnableControls();
        return;
    }
    if (shared.NearestSelected) form1_->showFile(nearest);
    if (shared.DitheredSelected) form1_->showFile(diffused);
    if (fourBits) EnableControls();
    form1_->sizeToPicture();
}

// Both method buttons: the preview of the depth on show follows the method.
void MDImain::methodClicked(im::Method method) {
    selectMethod(method);
    shared.Opt8Selected = selectedDepth() == 8;
    shared.Opt4Selected = selectedDepth() == 4;
    if (shared.Opt8Selected) Show8BitImg();
    if (shared.Opt4Selected) Show4BitImg();
}

void MDImain::optNearestCol_Click() { methodClicked(im::Method::Nearest); }

void MDImain::optDithered_Click() { methodClicked(im::Method::Diffused); }
