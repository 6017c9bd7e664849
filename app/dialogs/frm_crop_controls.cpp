// The controls of the crop dialog and their layout: the two modes, the
// border colour button and swatch, the hints, the canvas and OK/Cancel.
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>

#include "dialogs/dialog_controls.h"
#include "dialogs/crop_canvas.h"
#include "dialogs/frm_crop.h"

namespace {

QRadioButton* option(QWidget* parent, const char* name, const QString& caption, const QString& tooltip) {
    auto* button = new QRadioButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setToolTip(tooltip);
    button->setAccessibleName(caption);
    return button;
}

} // namespace

void frmCrop::buildControls() {
    optMaintainAspect =
        option(this, "optMaintainAspect", QStringLiteral("Crop"), QStringLiteral("Resize your image by cropping."));
    optStretch = option(this, "optStretch", QStringLiteral("Stretch"),
                        QStringLiteral("Stretch image to fit the size you selected."));
    optMaintainAspect->setChecked(true);
    // A click on the mode already on view changes nothing.
    connect(optMaintainAspect, &QRadioButton::clicked, this, [this] {
        if (stretchOnView_) optMaintainAspect_Click();
    });
    connect(optStretch, &QRadioButton::clicked, this, [this] {
        if (!stretchOnView_) optStretch_Click();
    });
    cmdChangeBackColor = quietButton(this, "cmdChangeBackColor", QStringLiteral("Change Border Color"));
    cmdChangeBackColor->setToolTip(QStringLiteral("If you include part of the border, you can change its color."));
    connect(cmdChangeBackColor, &QPushButton::clicked, this, &frmCrop::cmdChangeBackColor_Click);
    picBackColor = namedLabel(this, "picBackColor", {});
    picBackColor->setFixedSize(22, 22);
    Label1 = namedLabel(this, "Label1", QStringLiteral("Left Click to Reposition Crop Area."));
    Label2 = namedLabel(this, "Label2", QStringLiteral("Right Click, Drag Up or Down, to Resize Crop Area."));
    lblStretch = namedLabel(this, "lblStretch", QStringLiteral("Stretch To Fit Target Size"));
    lblStretch->hide();
    canvasArea_ = new QScrollArea(this);
    canvasArea_->setObjectName(QStringLiteral("canvasArea"));
    canvasArea_->setAlignment(Qt::AlignCenter);
    picResize = new CropCanvas(canvasArea_);
    canvasArea_->setWidget(picResize);
    QPushButton* ok = quietButton(this, "cmdOK", QStringLiteral("OK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &frmCrop::cmdOK_Click);
    QPushButton* cancel = quietButton(this, "cmdCancel", QStringLiteral("Cancel"));
    connect(cancel, &QPushButton::clicked, this, &frmCrop::cmdCancel_Click);

    auto* modes = new QHBoxLayout;
    modes->addWidget(optMaintainAspect);
    modes->addWidget(optStretch);
    modes->addStretch(1);
    modes->addWidget(cmdChangeBackColor);
    modes->addWidget(picBackColor);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* column = new QVBoxLayout(this);
    column->addLayout(modes);
    for (QLabel* text : {Label1, Label2, lblStretch}) column->addWidget(text);
    column->addWidget(canvasArea_, 0, Qt::AlignHCenter);
    column->addLayout(buttons);
    column->setSizeConstraint(QLayout::SetFixedSize);
}

// The canvas is shown whole when the screen has room for it, else scrolled.
void frmCrop::fitCanvasArea() {
    const QSize canvas = picResize->size() + QSize(2, 2) * canvasArea_->frameWidth();
    QSize room(1024, 768);
    if (const QScreen* display = screen()) room = display->availableGeometry().size() - QSize(60, 200);
    canvasArea_->setFixedSize(canvas.boundedTo(room));
    picResize->setFocus();
}

void frmCrop::showCropControls(bool crop) {
    stretchOnView_ = !crop;
    (crop ? optMaintainAspect : optStretch)->setChecked(true);
    picResize->setCropRecShown(crop);
    for (QWidget* control : {static_cast<QWidget*>(Label1), static_cast<QWidget*>(Label2),
                             static_cast<QWidget*>(cmdChangeBackColor), static_cast<QWidget*>(picBackColor)})
        control->setVisible(crop);
    lblStretch->setVisible(!crop);
}

void frmCrop::setBorderColor(const QColor& color) {
    picResize->setBorderColor(color);
    picBackColor->setStyleSheet(QStringLiteral("background-color: %1; border: 1px solid black;").arg(color.name()));
}

