// Building a background-image database: its name, the save dialog, the
// one or two library builds, and the compression switch with its warning.
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <system_error>

#include "dialogs/frm_back_image_name.h"
#include "dialogs/frm_compress_warn.h"
#include "imaging/build_pdb.h"
#include "imaging/names.h"
#include "imaging/replacement_file.h"
#include "platform/file_helpers.h"
#include "platform/user_dialogs.h"
#include "program/app_error.h"
#include "program/shared_state.h"
#include "windows/image_window.h"
#include "windows/loaded_forms.h"
#include "windows/main_window.h"
#include "workfiles/working_files.h"

namespace im = mireo::imaging;

namespace {

// The candidates temp1.bin to temp10.bin of a compressed build.
constexpr int kCandidateFiles = 10;

// The characters between the last folder separator and the extension.
QString nameFromSavePath(const QString& path) {
    const QString file = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    return file.left(std::max<qsizetype>(0, file.size() - 4));
}

} // namespace

void MDImain::cmdCreatePDB_Click() {
    if (!shared.ImageLoaded) {
        MsgBox(QStringLiteral("No file loaded."));
        return;
    }
    shared.NameFromFile = false;
    // A name of blanks only counts as none: the file name gives it.
    shared.BackimageName = QString::fromStdString(im::cleanTypedName(txtPDBname->text().toStdString()));
    if (shared.BackimageName.isEmpty()) shared.NameFromFile = true;
    FileDialogSetup setup = SaveDialogSetup(QStringLiteral("Create VT Background Image"),
                                            QStringLiteral("Vantrel Background Image (*.pdb)|*.pdb"),
                                            QStringLiteral(".pdb"));
    setup.fileName = shared.BackimageName;
    const std::optional<QString> chosen = dialogs().saveFile(setup);
    if (!chosen) return;
    QString path = *chosen;
    while (path.endsWith(QLatin1Char(' '))) path.chop(1);
    shared.PdbSavePath = path;
    if (shared.PdbSavePath.isEmpty()) {
        MsgBox(QStringLiteral("No Filename Specified!'"));
        return;
    }
    if (shared.NameFromFile) shared.BackimageName = nameFromSavePath(shared.PdbSavePath);
    form1_->CompileImg();
}

// The preview of the chosen depth and method, handed to the library once
// (compression off) or twice with the two block sizes (compression on).
void Form1::CompileImg() {
    const WorkingFiles files(shared.AppPath);
    const im::Method method = main_.ditheredSelected() ? im::Method::Diffused : im::Method::Nearest;
    const bool methodChosen = shared.ColorDepthBits == 16 || main_.ditheredSelected() || main_.nearestSelected();
    const QString working = methodChosen ? files.preview(shared.ColorDepthBits, method) : QString();
    main_.DisableControls();
    shared.PicInfo.bmWidth = picMain->width();
    shared.PicInfo.bmHeight = picMain->height();
    if (working.isEmpty() || !FileExists(working)) {
        MsgBox(QStringLiteral("Error finding temporary image file!"));
        main_.EnableControls();
        return;
    }
    shared.CompressArg = shared.UseCompression ? 1 : 0;
    main_.showWorking(true);
    // The database stores the name in the Palm's character set.
    const im::PdbRequest request{working.toStdString(),
                                 {shared.PicInfo.bmWidth, shared.PicInfo.bmHeight},
                                 shared.ColorDepthBits,
                                 im::palmNameBytes(shared.BackimageName),
                                 shared.UseCompression,
                                 shared.Block1Size,
                                 shared.Block2Size};
    const QString chosen = shared.PdbSavePath;
    auto build = [&](const QString& output, int32_t blockSize) {
        shared.PdbSize = 0;
        auto size = im::compilePdb(main_.library(), request, output.toStdString(), blockSize, shared.Grey16Palette,
                                   shared.Palm8Palette);
        if (size) shared.PdbSize = *size;
        return size;
    };
    try {
        if (!shared.UseCompression) {
            im::checkReplaceable(chosen.toStdString());
            build(chosen, shared.Block1Size);
        } else {
            for (int n = 1; n <= kCandidateFiles; ++n)
                if (FileExists(files.candidate(n))) QFile::remove(files.candidate(n));
            shared.PdbSavePath = files.candidate(1);
            const auto withBlock2 = build(shared.PdbSavePath, shared.Block2Size);
            shared.PdbSavePath = files.candidate(2);
            const auto withBlock1 = build(shared.PdbSavePath, shared.Block1Size);
            shared.PdbSavePath = chosen;
            switch (im::smallerCandidate(withBlock2, withBlock1)) {
            case im::Winner::Block2: im::moveFileOver(files.candidate(1).toStdString(), chosen.toStdString()); break;
            case im::Winner::Block1: im::moveFileOver(files.candidate(2).toStdString(), chosen.toStdString()); break;
            case im::Winner::None: break;
            }
        }
    } catch (const std::system_error& error) {
        shared.PdbSavePath = chosen;
        const AppError failure = ErrorFromErrno(error.code().value());
        MsgBox(QStringLiteral("Error # %1 %2, in module CompileImg. ").arg(failure.number).arg(failure.description),
               MessageIcon::None, QStringLiteral("Error"));
    } catch (const AppError& failure) {
        shared.PdbSavePath = chosen;
        MsgBox(QStringLiteral("Error # %1 %2, in module CompileImg. ").arg(failure.number).arg(failure.description),
               MessageIcon::None, QStringLiteral("Error"));
    }
    main_.EnableControls();
    main_.showWorking(false);
}

void MDImain::cmdCompress_Click() {
    shared.UseCompression = cmdCompress->isChecked();
    cmdCompress->setText(shared.UseCompression ? QStringLiteral("Compression is On")
                                               : QStringLiteral("Compression is Off"));
    if (!shared.UseCompression || !shared.ShowCompressionWarning) return;
    auto* warning = static_cast<frmCompressWarn*>(FindForm(QStringLiteral("frmCompressWarn")));
    if (!warning) warning = new frmCompressWarn(*this, shared);
    warning->show();
}

void MDImain::cmdPDBNameExplain_Click() {
    auto* explanation = static_cast<frmBackImageName*>(FindForm(QStringLiteral("frmBackImageName")));
    if (!explanation) explanation = new frmBackImageName(this);
    explanation->show();
    explanation->raise();
}
