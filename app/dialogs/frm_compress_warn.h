// frmCompressWarn: what a Palm needs to show compressed backimages.  While
// it is open the main window's working controls are disabled.
#pragma once

#include <QDialog>

class MDImain;
class QCheckBox;
struct SharedState;

class frmCompressWarn : public QDialog {
    Q_OBJECT
public:
    frmCompressWarn(MDImain& main, SharedState& shared);

private:
    MDImain& main_;
    SharedState& shared;
    QCheckBox* chkDontShowCompWarn;
};
