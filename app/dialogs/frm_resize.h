// frmResize: the choice of the screen size a picture must have, one of the
// seven Palm screen sizes, a custom size, or the picture's own size.  It
// only records the choice; the crop dialog fits the picture, or the import
// goes on at the picture's own size.
#pragma once

#include <QDialog>
#include <QSize>

class MDImain;
class QLabel;
class QLineEdit;
class QPushButton;
struct SharedState;

class frmResize : public QDialog {
    Q_OBJECT
public:
    frmResize(MDImain& main, SharedState& shared);

    // The notice that the imported picture is of no standard size.
    void showWrongSizeNotice(bool shown);

private:
    void buildControls();
    void Form_Load();
    void resizeTo(QSize size);
    void cmd_custom_size_Click();
    void cmdKeepOrig_Click();
    void cmdCancelResize_Click();
    void Form_Unload();
    // The number in a size box (digits only); an empty box counts as 0.
    static int boxNumber(const QLineEdit* box);
    void showCropDialog();
    bool workingPictureExists() const;
    void forgetMissingPicture();

    MDImain& main_;
    SharedState& shared;
    QLineEdit* txtCustomWidth = nullptr;
    QLineEdit* txtCustomHeight = nullptr;
    QLabel* lblInFileDims = nullptr;
    QLabel* lblWrongSize = nullptr;
};
