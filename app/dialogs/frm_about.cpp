#include "dialogs/frm_about.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>
#include <QVersionNumber>

#include "dialogs/dialog_controls.h"
#include "platform/user_dialogs.h"
#include "windows/image_window.h"
#include "windows/main_window.h"

namespace {

const QString kTitle = QStringLiteral("Mireo");

// The usual system-information programs of Linux desktops, most detailed first.
const char* const kSystemInformationPrograms[] = {"hardinfo2", "hardinfo", "kinfocenter", "hwinfo-gui",
                                                  "gnome-system-monitor"};

// "Version " and the program's major.minor.patch.
QString versionLine() {
    const QVersionNumber version = QVersionNumber::fromString(QStringLiteral(MIREO_VERSION));
    return QStringLiteral("Version %1.%2.%3")
        .arg(version.majorVersion())
        .arg(version.minorVersion())
        .arg(version.microVersion());
}

// The first system-information program found on PATH; empty when none is.
QString systemInformationProgram() {
    for (const char* name : kSystemInformationPrograms) {
        const QString found = QStandardPaths::findExecutable(QLatin1String(name));
        if (!found.isEmpty()) return found;
    }
    return {};
}

} // namespace

frmAbout::frmAbout(MDImain& main) : QDialog(&main), main_(main) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About ") + kTitle);
    setAttribute(Qt::WA_DeleteOnClose);
    QLabel* picIcon = namedLabel(this, "picIcon", {});
    const QPixmap icon(QStringLiteral(":/mireo/mireo.png"));
    picIcon->setPixmap(icon.scaled(64, 64, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    QLabel* lblTitle = namedLabel(this, "lblTitle", kTitle);
    QFont large = lblTitle->font();
    large.setPointSizeF(large.pointSizeF() * 1.6);
    large.setBold(true);
    lblTitle->setFont(large);
    QLabel* lblVersion = namedLabel(this, "lblVersion", versionLine());
    QLabel* lblDescription =
        namedLabel(this, "lblDescription", QStringLiteral("Creates Native PDB background image files for Vantrel"));
    QPushButton* ok = namedButton(this, "cmdOK", QStringLiteral("OK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::close);
    QPushButton* sysInfo = quietButton(this, "cmdSysInfo", QStringLiteral("&System Info..."));
    connect(sysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);
    // OK, Escape and the close box give the image window back.
    connect(this, &QDialog::finished, this, [this] { main_.form1().setEnabled(true); });

    auto* texts = new QVBoxLayout;
    texts->addWidget(lblTitle);
    texts->addWidget(lblVersion);
    texts->addSpacing(8);
    texts->addWidget(lblDescription);
    texts->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addWidget(picIcon, 0, Qt::AlignTop);
    top->addSpacing(12);
    top->addLayout(texts, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(sysInfo);
    auto* row = new QHBoxLayout(this);
    row->addLayout(top, 1);
    row->addSpacing(12);
    row->addLayout(buttons);
    row->setContentsMargins(16, 16, 16, 16);
    row->setSizeConstraint(QLayout::SetFixedSize);
}

void frmAbout::cmdSysInfo_Click() {
    const QString program = systemInformationProgram();
    if (program.isEmpty() || !QProcess::startDetached(program, {}))
        MsgBox(QStringLiteral("System Information Is Unavailable At This Time"));
}
