// Form1: the image window inside the main window.  It shows the current
// picture (picMain) above a status strip, keeps the hidden working
// pictures, and owns the settings object and the program-wide start-up.
#pragma once

#include <QWidget>
#include <memory>

#include "c_inifile.h"

class FileDropFilter;
class MDImain;
class QFrame;
class QLabel;
class QLockFile;

class Form1 : public QWidget {
    Q_OBJECT
public:
    Form1(MDImain& main, FileDropFilter* drops);
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

    // The window's size in twips.
    int windowWidthTwips() const;
    int windowHeightTwips() const;
    void setWindowSizeTwips(int width, int height);
    QSize sizeHint() const override;

    QLabel* picMain;
    QLabel* picBuff;
    QLabel* imgBuff;
    QLabel* imgLogo;
    QFrame* picStatusBar;
    QLabel* lblPicSize;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    bool lockTemporaryFolder(const QString& folder);
    void applyStoredDepth();
    void applyStoredCompression();

    MDImain& main_;
    FileDropFilter* drops_;
    std::unique_ptr<cInifile> settings_;
    std::unique_ptr<QLockFile> lock_;
    QSize windowSize_;
};
