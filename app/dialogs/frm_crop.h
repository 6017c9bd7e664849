// frmCrop: fits the current picture to the size chosen in the resize
// dialog, by cropping (a rectangle of the target's proportions over the
// picture, centred on a square canvas of the border colour) or by
// stretching the whole picture.  OK leaves the result to ResizeImg.
#pragma once

#include <QDialog>
#include <QImage>
#include <cstdint>

class CropCanvas;
class MDImain;
class QLabel;
class QPushButton;
class QRadioButton;
class QScrollArea;
struct SharedState;

class frmCrop : public QDialog {
    Q_OBJECT
public:
    frmCrop(MDImain& main, SharedState& shared);

    // Sets up the crop view; with CropRecSav the rectangle comes back where
    // it was saved.
    void CropFrmLoad();
    CropCanvas& canvas() const { return *picResize; }

    // The rectangle saved while the border colour dialog is open.
    bool CropRecSav = false;
    int32_t CropRecWidth = 0, CropRecHeight = 0, CropRecTop = 0, CropRecLeft = 0;

private:
    void buildControls();
    void optMaintainAspect_Click();
    void optStretch_Click();
    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdChangeBackColor_Click();
    void Form_Unload();

    void showCropControls(bool crop);
    void setBorderColor(const QColor& color);
    QColor borderColor() const;
    // imgCBuff from `path`; false (and the message) when it cannot be read.
    bool loadPicture(const QString& path);
    void halveLargePicture();
    // Limits, scale, canvas and rectangle for the picture in imgCBuff.
    void setUpCropView(bool restoreRect);
    void fitCanvasArea();
    void cropAndResize();

    MDImain& main_;
    SharedState& shared;
    QScrollArea* canvasArea_ = nullptr;
    CropCanvas* picResize = nullptr;
    QLabel* picBackColor = nullptr;
    QRadioButton* optMaintainAspect = nullptr;
    QRadioButton* optStretch = nullptr;
    QPushButton* cmdChangeBackColor = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* lblStretch = nullptr;
    // The picture on view, at the resolution the crop is taken from.
    QImage imgCBuff;
    int32_t picwidth = 0, picheight = 0;
    bool stretchOnView_ = false;
};
