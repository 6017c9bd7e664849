// frmChangeBackColor: the border colour of the crop view as red, green and
// blue values 0 to 255, each with a bar and a text box, a grey lock and a
// preview.  The colour changes while the user works; OK rebuilds the crop
// view with it, Cancel (or the close box) puts the old colour back.
#pragma once

#include <QDialog>
#include <array>
#include <cstdint>

class QCheckBox;
class QLabel;
class QLineEdit;
class QScrollBar;
class frmCrop;
struct SharedState;

class frmChangeBackColor : public QDialog {
    Q_OBJECT
public:
    frmChangeBackColor(frmCrop& crop, SharedState& shared);

private:
    // One colour component: its bar, its text box and its shared variable.
    struct Component {
        QScrollBar* bar;
        QLineEdit* text;
        int16_t* value;
    };

    void buildControls();
    Component makeComponent(const char* barName, const char* textName, int16_t& value);
    void Form_Load();
    void barChanged(const Component& component);
    void barDragged(const Component& component);
    void textChanged(const Component& component);
    void chkBackGray_Click();
    void cmdOK_Click();
    void restoreColor();
    void showColor();

    frmCrop& crop_;
    SharedState& shared;
    std::array<Component, 3> components_{};
    QLabel* picBackCol = nullptr;
    QCheckBox* chkBackGray = nullptr;
    int16_t openRed_ = 0, openGreen_ = 0, openBlue_ = 0;
    bool accepted_ = false;
};
