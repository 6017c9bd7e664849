// frmAbout: the program's title, version and description, and a way to
// start the system-information program of the desktop.
#pragma once

#include <QDialog>

class MDImain;

class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(MDImain& main);

private:
    void cmdSysInfo_Click();

    MDImain& main_;
};
