#include "dialogs/frm_change_back_color.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScrollBar>
#include <QVBoxLayout>

#include "dialogs/dialog_controls.h"
#include "dialogs/frm_crop.h"
#include "program/shared_state.h"

namespace {

constexpr int kLargestComponent = 255;

} // namespace

frmChangeBackColor::frmChangeBackColor(frmCrop& crop, SharedState& state)
    : QDialog(&crop), crop_(crop), shared(state) {
    setObjectName(QStringLiteral("frmChangeBackColor"));
    setWindowTitle(QStringLiteral("Change Border Color"));
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls();
    Form_Load();
    for (const Component& component : components_) {
        connect(component.bar, &QScrollBar::valueChanged, this, [this, component] {
            if (component.bar->isSliderDown()) barDragged(component);
            else barChanged(component);
        });
        connect(component.bar, &QScrollBar::sliderReleased, this, [this, component] { barChanged(component); });
        connect(component.text, &QLineEdit::textChanged, this, [this, component] { textChanged(component); });
    }
    // Cancel, Escape and the close box all give the old colour back.
    connect(this, &QDialog::finished, this, [this] {
        if (!accepted_) restoreColor();
    });
}

frmChangeBackColor::Component frmChangeBackColor::makeComponent(const char* barName, const char* textName,
                                                                int16_t& value) {
    auto* bar = new QScrollBar(Qt::Vertical, this);
    bar->setObjectName(QLatin1String(barName));
    bar->setRange(0, kLargestComponent);
    bar->setSingleStep(1);
    bar->setPageStep(16);
    bar->setInvertedAppearance(true);  // the larger values at the top
    bar->setFixedHeight(140);
    auto* text = new QLineEdit(this);
    text->setObjectName(QLatin1String(textName));
    // Digits only, typed or pasted; the range is checked as the text changes.
    text->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), text));
    text->setFixedWidth(44);
    text->setAlignment(Qt::AlignCenter);
    return {bar, text, &value};
}

void frmChangeBackColor::buildControls() {
    auto* frame8 = new QGroupBox(QStringLiteral("Preview Background Color"), this);
    frame8->setObjectName(QStringLiteral("Frame8"));
    picBackCol = namedLabel(frame8, "picBackCol", {});
    picBackCol->setMinimumSize(180, 48);
    (new QVBoxLayout(frame8))->addWidget(picBackCol);

    components_ = {makeComponent("VScrollRed", "TextRed", shared.BackRed),
                   makeComponent("VScrollGrn", "TextGrn", shared.BackGreen),
                   makeComponent("VScrollBlue", "TextBlue", shared.BackBlue)};
    const std::array<std::pair<const char*, const char*>, 3> captions{
        {{"Label2", "RED"}, {"Label3", "GRN"}, {"Label4", "BLUE"}}};
    auto* bars = new QGridLayout;
    for (int i = 0; i < 3; ++i) {
        const std::size_t at = static_cast<std::size_t>(i);
        const QString caption = QLatin1String(captions[at].second);
        components_[at].text->setAccessibleName(caption);
        components_[at].bar->setAccessibleName(caption);
        bars->addWidget(namedLabel(this, captions[at].first, caption), 0, i, Qt::AlignHCenter);
        bars->addWidget(components_[at].bar, 1, i, Qt::AlignHCenter);
        bars->addWidget(components_[at].text, 2, i, Qt::AlignHCenter);
    }

    chkBackGray = new QCheckBox(QStringLiteral("Lock to Grayscale"), this);
    chkBackGray->setObjectName(QStringLiteral("chkBackGray"));
    chkBackGray->setAccessibleName(chkBackGray->text());
    connect(chkBackGray, &QCheckBox::clicked, this, &frmChangeBackColor::chkBackGray_Click);
    QPushButton* ok = namedButton(this, "cmdOK", QStringLiteral("OK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &frmChangeBackColor::cmdOK_Click);
    QPushButton* cancel = namedButton(this, "cmdCancel", QStringLiteral("Cancel"));
    connect(cancel, &QPushButton::clicked, this, &QDialog::close);

    auto* column = new QVBoxLayout(this);
    column->addWidget(frame8);
    column->addLayout(bars);
    column->addWidget(chkBackGray);
    column->addWidget(namedLabel(this, "Label1", QStringLiteral("If your final color depth will be less than 16-bit,")));
    column->addWidget(namedLabel(this, "Label5", QStringLiteral("any background color included in your image ")));
    column->addWidget(namedLabel(this, "Label6", QStringLiteral("will be adjusted to match the Palm color palette.")));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    column->addLayout(buttons);
    column->setSizeConstraint(QLayout::SetFixedSize);
}

void frmChangeBackColor::Form_Load() {
    openRed_ = shared.BackRed;
    openGreen_ = shared.BackGreen;
    openBlue_ = shared.BackBlue;
    for (const Component& component : components_) {
        component.text->setText(QString::number(*component.value));
        component.bar->setValue(*component.value);
    }
    showColor();
}

// A click on the bar or the end of a drag; the grey lock moves the other
// two bars along, whose own change then follows.
void frmChangeBackColor::barChanged(const Component& component) {
    barDragged(component);
    if (!chkBackGray->isChecked()) return;
    for (const Component& other : components_)
        if (other.bar != component.bar) other.bar->setValue(component.bar->value());
}

void frmChangeBackColor::barDragged(const Component& component) {
    *component.value = static_cast<int16_t>(component.bar->value());
    showColor();
}

// Empty or out-of-range text becomes "0", which comes back here; a number
// in range moves the bar.
void frmChangeBackColor::textChanged(const Component& component) {
    bool isNumber = false;
    const int number = component.text->text().toInt(&isNumber);
    if (!isNumber || number < 0 || number > kLargestComponent) {
        component.text->setText(QStringLiteral("0"));
        return;
    }
    component.bar->setValue(number);
}

void frmChangeBackColor::chkBackGray_Click() {
    if (!chkBackGray->isChecked()) return;
    const int red = components_[0].bar->value();
    components_[1].bar->setValue(red);
    components_[2].bar->setValue(red);
}

void frmChangeBackColor::cmdOK_Click() {
    accepted_ = true;
    crop_.CropFrmLoad();
    close();
}

void frmChangeBackColor::restoreColor() {
    shared.BackRed = openRed_;
    shared.BackGreen = openGreen_;
    shared.BackBlue = openBlue_;
}

// The preview and all three text boxes follow the shared colour.
void frmChangeBackColor::showColor() {
    const QColor color(shared.BackRed, shared.BackGreen, shared.BackBlue);
    picBackCol->setStyleSheet(QStringLiteral("background-color: %1; border: 1px solid black;").arg(color.name()));
    for (const Component& component : components_) {
        const QString text = QString::number(*component.value);
        if (component.text->text() != text) component.text->setText(text);
    }
}
