#include "dialogs/frm_compress_warn.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/dialog_controls.h"
#include "program/shared_state.h"
#include "windows/main_window.h"

frmCompressWarn::frmCompressWarn(MDImain& main, SharedState& state)
    : QDialog(&main), main_(main), shared(state), chkDontShowCompWarn(new QCheckBox(this)) {
    setObjectName(QStringLiteral("frmCompressWarn"));
    setWindowTitle(QStringLiteral("About Backimage Compression"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* heading = new QLabel(QStringLiteral("Important information about using compression."), this);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    auto* text = new QLabel(QStringList{QStringLiteral("To be able to use compressed backimages, your PDA must have:"),
                                        QString(),
                                        QStringLiteral("1) Vantrel version 4.1 or later"),
                                        QString(),
                                        QStringLiteral("2) Palm OS 4.0 or later."),
                                        QStringLiteral("       (If you’re unsure, check your owner’s manual.)"),
                                        QString(),
                                        QStringLiteral("3) Your PDA must have a fast processor."),
                                        QStringLiteral("       (Otherwise screen refresh times may be visibly slower.)"),
                                        QString(),
                                        QStringLiteral("See the help manual for more information.")}
                                .join(QLatin1Char('\n')),
                            this);
    text->setTextFormat(Qt::PlainText);
    chkDontShowCompWarn->setObjectName(QStringLiteral("chkDontShowCompWarn"));
    chkDontShowCompWarn->setText(QStringLiteral("Don't show this warning next time."));
    chkDontShowCompWarn->setChecked(!shared.ShowCompressionWarning);
    connect(chkDontShowCompWarn, &QCheckBox::toggled, this, [this](bool ticked) { shared.ShowCompressionWarning = !ticked; });
    QPushButton* ok = namedButton(this, "cmdOK", QStringLiteral("OK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(text);
    layout->addWidget(chkDontShowCompWarn);
    layout->addWidget(ok, 0, Qt::AlignRight);
    main_.SaveOptionStates();
    main_.DisableFlipRotate();
    main_.DisableControls();
    // Closing by OK, Escape or the close box gives the controls back.
    connect(this, &QDialog::finished, this, [this] {
        main_.EnableControls();
        main_.EnableFlipRotate();
    });
}
