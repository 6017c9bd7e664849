// MDImain: the program's frame window.  A toolbar (Picture2) across the
// top, the options panel (Picture1) along the left, and the document area
// that holds the image window Form1.
#pragma once

#include <QMainWindow>
#include <QString>

class Form1;
class QButtonGroup;
class QLabel;
class QLineEdit;
class QMdiArea;
class QMdiSubWindow;
class QToolButton;

// What start-up takes from its surroundings; tests give their own.
struct StartupOptions {
    QString programFolder;  // empty: the folder of the running program
    int screenBits = 0;     // 0: the depth of the primary screen
};

class MDImain : public QMainWindow {
    Q_OBJECT
public:
    explicit MDImain(const StartupOptions& options = {});
    ~MDImain() override;

    // True when start-up ended the program (display too shallow, or Mireo
    // already running); the window is then never shown.
    bool Ended() const { return ended_; }

    Form1& form1() { return *form1_; }
    QMdiSubWindow* form1Window() { return form1Window_; }
    const StartupOptions& startupOptions() const { return options_; }

    void DisableControls();
    void EnableControls();
    void SaveOptionStates();
    void EnableFlipRotate();
    void DisableFlipRotate();
    void CleanUpAndQuit();
    // Start-up ends the program without touching the working files.
    void EndAtStartUp();

    // A drop of `files`; `copyAllowed` when the drop effect includes copy.
    void FilesDropped(const QStringList& files, bool copyAllowed);

    // Toolbar.
    QWidget* Picture2;
    QToolButton* cmdLoadPic;
    QToolButton* cmdLoadVTPDB;
    QToolButton* cmdCreatePDB;
    QToolButton* cmdExportImg;
    QToolButton* cmdHelp;
    QToolButton* cmdAbout;
    QToolButton* cmdExit;
    // Options panel.
    QWidget* Picture1;
    QToolButton* opt16Bit;
    QToolButton* opt8Bit;
    QToolButton* opt4Bit;
    QToolButton* optDithered;
    QToolButton* optNearestCol;
    QToolButton* cmdResizeImg;
    QToolButton* cmdFlip_V;
    QToolButton* cmdFlip_H;
    QToolButton* cmdRotateL;
    QToolButton* cmdRotateR;
    QToolButton* cmdCompress;
    QLabel* Label2;
    QLineEdit* txtPDBname;
    QToolButton* cmdPDBNameExplain;
    QLabel* lblWorking;
    QButtonGroup* depthOptions;
    QButtonGroup* methodOptions;

public slots:
    void cmdLoadPic_Click();
    void cmdLoadVTPDB_Click();
    void cmdCreatePDB_Click();
    void cmdExportImg_Click();
    void cmdHelp_Click();
    void cmdAbout_Click();
    void cmdExit_Click();
    void opt16Bit_Click();
    void opt8Bit_Click();
    void opt4Bit_Click();
    void optNearestCol_Click();
    void optDithered_Click();
    void cmdResizeImg_Click();
    void cmdFlip_V_Click();
    void cmdFlip_H_Click();
    void cmdRotateL_Click();
    void cmdRotateR_Click();
    void cmdCompress_Click();
    void cmdPDBNameExplain_Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildToolbar();
    void buildOptionsPanel();
    void connectCommands();
    void Form_Load();
    QList<QToolButton*> workingControls() const;
    QList<QToolButton*> flipRotateButtons() const;

    StartupOptions options_;
    QMdiArea* mdiArea_;
    Form1* form1_;
    QMdiSubWindow* form1Window_;
    bool ended_ = false;
    bool closing_ = false;
};

// The main window of the running program: the first one made.
MDImain& TheMainWindow();
