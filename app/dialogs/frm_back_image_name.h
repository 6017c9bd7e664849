// frmBackImageName: what the Palm Backimage Name is, shown on request.
#pragma once

#include <QDialog>

class frmBackImageName : public QDialog {
    Q_OBJECT
public:
    explicit frmBackImageName(QWidget* owner);
};
