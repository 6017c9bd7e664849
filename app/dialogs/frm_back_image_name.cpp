#include "dialogs/frm_back_image_name.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/dialog_controls.h"

frmBackImageName::frmBackImageName(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("frmBackImageName"));
    setWindowTitle(QStringLiteral("Palm Backimage Name"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* text = new QLabel(QStringList{
        QStringLiteral("The Palm Backimage Name is the 'filename' that is used on your PDA."),
        QStringLiteral("It can be the same or different than the Windows filename."),
        QStringLiteral("If you leave this box blank, the Windows filename will be used for the Backimage name."),
        QStringLiteral("If you enter a name in the Backimage box, this name will be suggested for the Windows "),
        QStringLiteral("filename, but can be changed if you desire."),
        QStringLiteral("Remember that special characters such as '*','?', and '\\' can't be used in the Windows "),
        QStringLiteral("filename."),
        QStringLiteral("The maximum length of the Backimage name is 31 characters.")}
                                .join(QLatin1Char('\n')), this);
    text->setObjectName(QStringLiteral("Label1"));
    text->setTextFormat(Qt::PlainText);
    QPushButton* ok = namedButton(this, "cmdOK", QStringLiteral("OK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(ok, 0, Qt::AlignRight);
}
