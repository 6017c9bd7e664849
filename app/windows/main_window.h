// MDImain: the program's frame window.  A toolbar (Picture2) across the
// top, the options panel (Picture1) along the left, and the document area
// that holds the image window Form1.  The commands of its buttons live in
// app/commands; the image window and the dialogs reach its controls only
// through the operations declared here.
#pragma once

#include <QMainWindow>
#include <QString>

#include "imaging/library.h"
#include "imaging/reduce.h"

class Form1;
class QButtonGroup;
class QLabel;
class QLineEdit;
class QMdiArea;
class QMdiSubWindow;
class QToolButton;
struct SharedState;

// What start-up takes from its surroundings; tests give their own.
struct StartupOptions {
    QString programFolder;  // empty: the folder of the running program
    int screenBits = 0;     // 0: the depth of the primary screen
    const mireo::imaging::Library* library = nullptr;  // null: bound at run time
};

class MDImain : public QMainWindow {
    Q_OBJECT
public:
    MDImain(SharedState& shared, const StartupOptions& options = {});
    ~MDImain() override;

    // True when start-up ended the program (display too shallow, or Mireo
    // already running); the window is then never shown.
    bool Ended() const { return ended_; }

    Form1& form1() { return *form1_; }
    QMdiSubWindow* form1Window() { return form1Window_; }
    const StartupOptions& startupOptions() const { return options_; }
    const mireo::imaging::Library& library() const { return *options_.library; }

    // The busy bracket and the option states recorded around it.
    void DisableControls();
    void EnableControls();
    void SaveOptionStates();
    void EnableFlipRotate();
    void DisableFlipRotate();

    // The depth option that is selected: 16, 8, 4, or 0 for none.
    int selectedDepth() const;
    // Selects one depth option and clears the other two.
    void selectDepth(int bits);
    bool ditheredSelected() const;
    bool nearestSelected() const;
    void selectMethod(mireo::imaging::Method method);
    // cmdCompress pressed with its caption.
    void showCompression(bool on);
    // cmdCreatePDB and cmdExportImg.
    void setBuildCommandsEnabled(bool enabled);
    void setResizeEnabled(bool enabled);
    bool resizeEnabled() const;
    // After a conversion: the build commands, the five options and Resize.
    void enableConvertedPictureControls();
    // The five depth and method options.
    void enableOptions();
    void showWorking(bool shown);
    QString backimageNameText() const;
    void setBackimageNameText(const QString& text);

    void CleanUpAndQuit();
    // Start-up ends the program without touching the working files.
    void EndAtStartUp();

    // A drop of `files`; `copyAllowed` when the drop effect includes copy.
    void FilesDropped(const QStringList& files, bool copyAllowed);
    void OpenDroppedFile();
    // A file handed to the program from the desktop (or by a second start)
    // is opened as a dropped one; no file only brings the window forward.
    void OpenFromDesktop(const QString& file);

    // The resize dialog, from the import of a picture of no standard size
    // (with its notice) or for the picture on screen.
    void ShowResizeDialog(bool fromImport);

    // The depth choices of the options' clicks.
    void Show8BitImg();
    void Show4BitImg();

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
    void methodClicked(mireo::imaging::Method method);
    void Form_Load();
    QList<QToolButton*> workingControls() const;
    QList<QToolButton*> flipRotateButtons() const;
    void showReduced(int depth);
    void showCurrentDepth();
    void mirror(bool horizontal);
    void rotate(bool right);

    SharedState& shared;
    StartupOptions options_;
    QMdiArea* mdiArea_ = nullptr;
    Form1* form1_ = nullptr;
    QMdiSubWindow* form1Window_ = nullptr;
    bool ended_ = false;
    bool closing_ = false;

    // Toolbar.
    QWidget* Picture2 = nullptr;
    QToolButton* cmdLoadPic = nullptr;
    QToolButton* cmdLoadVTPDB = nullptr;
    QToolButton* cmdCreatePDB = nullptr;
    QToolButton* cmdExportImg = nullptr;
    QToolButton* cmdHelp = nullptr;
    QToolButton* cmdAbout = nullptr;
    QToolButton* cmdExit = nullptr;
    // Options panel.
    QWidget* Picture1 = nullptr;
    QToolButton* opt16Bit = nullptr;
    QToolButton* opt8Bit = nullptr;
    QToolButton* opt4Bit = nullptr;
    QToolButton* optDithered = nullptr;
    QToolButton* optNearestCol = nullptr;
    QToolButton* cmdResizeImg = nullptr;
    QToolButton* cmdFlip_V = nullptr;
    QToolButton* cmdFlip_H = nullptr;
    QToolButton* cmdRotateL = nullptr;
    QToolButton* cmdRotateR = nullptr;
    QToolButton* cmdCompress = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* txtPDBname = nullptr;
    QToolButton* cmdPDBNameExplain = nullptr;
    QLabel* lblWorking = nullptr;
};
