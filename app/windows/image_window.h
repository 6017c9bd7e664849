// Form1: the image window inside the main window.  It shows the current
// picture (picMain) above a status strip, keeps the hidden working
// pictures, owns the settings object and does the program-wide start-up.
// Its import, build and open procedures live in app/commands.
#pragma once

#include <QImage>
#include <QWidget>
#include <memory>

#include "imaging/reduce.h"
#include "settings/ini_file.h"

class FileDropFilter;
class MDImain;
class QFrame;
class QLabel;
class SingleInstance;
class WorkingFiles;
struct SharedState;

class Form1 : public QWidget {
    Q_OBJECT
public:
    Form1(MDImain& main, SharedState& shared, FileDropFilter* drops);
    ~Form1() override;

    // Program-wide start-up, run once inside the main window's.
    void Form_Load();
    void ShowStartLogo();

    void InitializeIni();
    void ReadINI();
    void WriteINI();
    // The settings object, created on first use.
    cInifile& settings();

    void mnuImport_Click();
    void LoadImage();
    void ResizeImg();
    void LoadVTPDB();
    void ExportImg();
    void CompileImg();

    // The hidden picture's pixels for the library: PicBits, PicInfo and
    // PicRowBytes, 32 bits per pixel, from the picture the preview at
    // `depth` is made of.
    void capturePicture(int depth);
    // The library writes the preview of the captured picture; false when
    // no file came out.  Raises AppError when the library cannot be bound.
    bool writePreview(int depth, mireo::imaging::Method method);
    // picMain shows the picture of a working file; false when it cannot be read.
    bool showFile(const QString& path);
    // The image window takes picMain's size plus its margins, never less
    // than its minimum, and the status strip goes under the picture.
    void sizeToPicture();
    void placeStatusBar();
    // "320 x 480 Pixels"
    static QString sizeText(QSize size);

    // The window's size in twips.
    int windowWidthTwips() const;
    int windowHeightTwips() const;
    void setWindowSizeTwips(int width, int height);
    QSize sizeHint() const override;

    QLabel* picMain;
    QLabel* imgLogo;
    QFrame* picStatusBar;
    QLabel* lblPicSize;
    // The hidden full-size working picture and the source of a stretch.
    QImage picBuff;
    QImage imgBuff;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void applyStoredDepth();
    bool readPicture(const WorkingFiles& files);
    void convertPicture(const WorkingFiles& files);
    void convertReduced(const WorkingFiles& files, int depth);
    void loadFailed();
    void resetDisplay();
    void readDatabase(const QString& bmpPath);

    MDImain& main_;
    SharedState& shared;
    FileDropFilter* drops_;
    std::unique_ptr<cInifile> settings_;
    std::unique_ptr<SingleInstance> instance_;
    QSize windowSize_;
};
