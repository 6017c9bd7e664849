#include "dialogs/frm_resize.h"

#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "dialogs/dialog_controls.h"
#include "dialogs/frm_crop.h"
#include "imaging/sizes.h"
#include "platform/user_dialogs.h"
#include "program/shared_state.h"
#include "windows/image_window.h"
#include "windows/loaded_forms.h"
#include "windows/main_window.h"

namespace im = mireo::imaging;

namespace {

// What a box of more digits than a number holds counts as: too large.
constexpr int kBeyondAnySize = 1000000;

QLineEdit* sizeBox(QWidget* parent, const char* name, const QString& accessibleName) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(name));
    box->setAccessibleName(accessibleName);
    // Digits only, typed or pasted.
    box->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), box));
    box->setFixedWidth(56);
    box->setAlignment(Qt::AlignRight);
    return box;
}

} // namespace

frmResize::frmResize(MDImain& main, SharedState& state) : QDialog(&main), main_(main), shared(state) {
    setObjectName(QStringLiteral("frmResize"));
    setWindowTitle(QStringLiteral("Resize Image"));
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls();
    // The buttons, Escape and the close box all end here.
    connect(this, &QDialog::finished, this, &frmResize::Form_Unload);
    Form_Load();
}

void frmResize::buildControls() {
    auto* grid = new QGridLayout;
    for (std::size_t i = 0; i < im::kStandardSizes.size(); ++i) {
        const QSize size(im::kStandardSizes[i].width, im::kStandardSizes[i].height);
        const QByteArray name = "cmdResize" + QByteArray::fromStdString(im::sizeName(im::kStandardSizes[i]));
        const QString caption = QStringLiteral("Resize to %1 X %2").arg(size.width()).arg(size.height());
        QPushButton* button = quietButton(this, name.constData(), caption);
        connect(button, &QPushButton::clicked, this, [this, size] { resizeTo(size); });
        grid->addWidget(button, static_cast<int>(i % 4), static_cast<int>(i / 4));
    }
    txtCustomWidth = sizeBox(this, "txtCustomWidth", QStringLiteral("Custom Width"));
    txtCustomHeight = sizeBox(this, "txtCustomHeight", QStringLiteral("Custom Height"));
    QPushButton* custom = quietButton(this, "cmd_custom_size", QStringLiteral("Custom Size"));
    custom->setDefault(true);
    connect(custom, &QPushButton::clicked, this, &frmResize::cmd_custom_size_Click);
    auto* customRow = new QHBoxLayout;
    customRow->addWidget(txtCustomWidth);
    customRow->addWidget(new QLabel(QStringLiteral("X"), this));
    customRow->addWidget(txtCustomHeight);
    customRow->addWidget(custom, 1);
    grid->addLayout(customRow, 4, 0, 1, 2);

    QPushButton* keep = quietButton(this, "cmdKeepOrig", QStringLiteral("Keep Original Size"));
    connect(keep, &QPushButton::clicked, this, &frmResize::cmdKeepOrig_Click);
    QPushButton* cancel = quietButton(this, "cmdCancelResize", QStringLiteral("Cancel"));
    connect(cancel, &QPushButton::clicked, this, &frmResize::cmdCancelResize_Click);
    grid->addWidget(keep, 5, 0);
    grid->addWidget(cancel, 5, 1);

    auto* label1 = new QLabel(QStringLiteral("Imported Image Size = "), this);
    label1->setObjectName(QStringLiteral("Label1"));
    lblInFileDims = new QLabel(this);
    lblInFileDims->setObjectName(QStringLiteral("lblInFileDims"));
    lblWrongSize = new QLabel(QStringLiteral("The image you've selected is a non-standard size."), this);
    lblWrongSize->setObjectName(QStringLiteral("lblWrongSize"));
    auto* importedRow = new QHBoxLayout;
    importedRow->setSpacing(0);
    importedRow->addWidget(label1);
    importedRow->addWidget(lblInFileDims, 1);
    auto* column = new QVBoxLayout(this);
    column->addLayout(importedRow);
    column->addWidget(lblWrongSize);
    column->addSpacing(6);
    column->addLayout(grid);
    column->setSizeConstraint(QLayout::SetFixedSize);
}

void frmResize::showWrongSizeNotice(bool shown) { lblWrongSize->setVisible(shown); }

// The main window stays disabled while this dialog and the crop dialog are
// open; the settings are read again, so the custom size is the stored one.
void frmResize::Form_Load() {
    main_.DisableControls();
    main_.form1().ReadINI();
    txtCustomWidth->setText(QString::number(shared.CustomWidth));
    txtCustomHeight->setText(QString::number(shared.CustomHeight));
    const QSize shown = main_.form1().picMain->size();
    lblInFileDims->setText(shared.ImageLoaded
                               ? QStringLiteral("%1 X %2").arg(shown.width()).arg(shown.height())
                               : QStringLiteral("%1 X %2 Pixels").arg(shared.ImportWidth).arg(shared.ImportHeight));
    shared.ReloadFromBuffer = false;
}

void frmResize::resizeTo(QSize size) {
    shared.SizeChoice = QString::fromStdString(im::sizeName({size.width(), size.height()}));
    shared.TargetWidth = static_cast<int16_t>(size.width());
    shared.TargetHeight = static_cast<int16_t>(size.height());
    showCropDialog();
    shared.ReloadFromBuffer = true;
    close();
}

int frmResize::boxNumber(const QLineEdit* box) {
    bool isNumber = false;
    const int number = box->text().toInt(&isNumber);
    if (isNumber) return number;
    return box->text().isEmpty() ? 0 : kBeyondAnySize;
}

void frmResize::cmd_custom_size_Click() {
    const int width = boxNumber(txtCustomWidth), height = boxNumber(txtCustomHeight);
    const std::string problem = im::customSizeProblem({width, height});
    if (!problem.empty()) {
        MsgBox(QString::fromStdString(problem));
        return;
    }
    shared.SizeChoice = QStringLiteral("Custom");
    shared.ResizeWidth = shared.TargetWidth = static_cast<int16_t>(width);
    shared.ResizeHeight = shared.TargetHeight = static_cast<int16_t>(height);
    shared.CustomWidth = width;
    shared.CustomHeight = height;
    showCropDialog();
    shared.ReloadFromBuffer = true;
    main_.form1().WriteINI();  // the custom size is kept even if the crop is cancelled
    close();
}

// The picture's own size must pass the custom-size tests; the import then
// converts the buffered picture unchanged.
void frmResize::cmdKeepOrig_Click() {
    const QSize own = main_.form1().picBuff.size();
    const std::string problem = im::customSizeProblem({own.width(), own.height()});
    if (!problem.empty()) {
        MsgBox(QString::fromStdString(problem));
        return;
    }
    shared.SizeChoice = QStringLiteral("Custom");
    shared.ResizeWidth = shared.TargetWidth = shared.ImageWidth;
    shared.ResizeHeight = shared.TargetHeight = shared.ImageHeight;
    shared.CustomWidth = shared.ImageWidth;
    shared.CustomHeight = shared.ImageHeight;
    shared.ReloadFromBuffer = true;
    main_.form1().LoadImage();
    close();
}

void frmResize::cmdCancelResize_Click() {
    main_.EnableControls();
    forgetMissingPicture();
    Form1& form = main_.form1();
    if (form.picMain->pixmap().isNull()) form.ShowStartLogo();
    close();
}

void frmResize::Form_Unload() {
    forgetMissingPicture();
    Form1& form = main_.form1();
    if (!shared.LogoShown)
        form.lblPicSize->setText(form.picMain->pixmap().isNull() ? QString() : Form1::sizeText(form.picMain->size()));
    else
        shared.LogoShown = false;
    // A crop dialog that was opened gives the controls back when it closes.
    const QWidget* crop = FindForm(QStringLiteral("frmCrop"));
    if (!crop || !crop->isVisible()) main_.EnableControls();
}

void frmResize::showCropDialog() {
    auto* crop = new frmCrop(main_, shared);
    crop->show();
    crop->move(0, 0);
}

bool frmResize::workingPictureExists() const { return QFile::exists(shared.TempBmpPath); }

// Without temp.bmp there is no picture to resize.
void frmResize::forgetMissingPicture() {
    if (workingPictureExists()) return;
    shared.ImageLoaded = false;
    main_.setResizeEnabled(false);
}
