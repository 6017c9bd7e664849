// The main window's commands: dropped files, Load Picture, the busy
// bracket, Help, and Exit with its clean-up.
#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMimeData>
#include <QStandardPaths>
#include <QTest>
#include <QToolButton>
#include <QUrl>

#include "app_path.h"
#include "app_test_support.h"
#include "form1.h"
#include "mod_util.h"
#include "shared_state.h"

namespace {

const QString kImport = QStringLiteral("Importing a picture is not available yet in this version of Mireo.");
const QString kOpenBackimage = QStringLiteral("Opening a backimage is not available yet in this version of Mireo.");

void drop(QWidget* target, const QStringList& files, Qt::DropActions actions) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& file : files) urls << QUrl::fromLocalFile(file);
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(5, 5), actions, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent event(QPointF(5, 5), actions, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
    QVERIFY(event.isAccepted());
}

} // namespace

class DropTest : public QObject {
    Q_OBJECT

    std::unique_ptr<RecordingDialogs> dialogs;
    std::unique_ptr<StartedProgram> program;

    QWidget* target(const QString& name) {
        MDImain& main = *program->main;
        if (name == QLatin1String("MDImain")) return &main;
        if (name == QLatin1String("Form1")) return &main.form1();
        return main.findChild<QWidget*>(name);
    }
    void writeWorkingImage() { WriteTextFile(program->temp() + QStringLiteral("/temp8d.bmp"), "x"); }
    bool workingImageKept() { return QFile::exists(program->temp() + QStringLiteral("/temp8d.bmp")); }

private slots:
    void init() {
        dialogs = std::make_unique<RecordingDialogs>();
        program = std::make_unique<StartedProgram>();
    }
    void cleanup() {
        program.reset();
        dialogs.reset();
    }

    void aDroppedPictureGoesToTheImportWithTheFirstFileOnly_data() {
        QTest::addColumn<QString>("widget");
        for (const char* name : {"MDImain", "Picture1", "Form1", "picMain"}) QTest::newRow(name) << name;
    }

    void aDroppedPictureGoesToTheImportWithTheFirstFileOnly() {
        QFETCH(QString, widget);
        writeWorkingImage();
        program->main->opt8Bit->setChecked(true);
        drop(target(widget), {"/pictures/beach.JPG", "/pictures/two.bmp", "/pictures/three.gif"},
             Qt::CopyAction | Qt::MoveAction);
        QCOMPARE(DroppedFileName, QStringLiteral("/pictures/beach.JPG"));
        QVERIFY(DroppedFileFlag);
        QVERIFY(Want8Bit);  // the options were recorded first
        QVERIFY(!workingImageKept());
        QCOMPARE(dialogs->texts(), QStringList{kImport});
    }

    void aDroppedDatabaseIsOpenedAndKeepsTheWorkingFiles() {
        writeWorkingImage();
        drop(program->main->Picture1, {"/palm/Sunset.pdb"}, Qt::CopyAction);
        QCOMPARE(DroppedFileName, QStringLiteral("/palm/Sunset.pdb"));
        QVERIFY(workingImageKept());
        QCOMPARE(dialogs->texts(), QStringList{kOpenBackimage});
    }

    void otherFilesAreRefused() {
        writeWorkingImage();
        drop(program->main.get(), {"/notes/readme.txt"}, Qt::CopyAction);
        QCOMPARE(dialogs->texts(), QStringList{"Incorrect file type!"});
        QVERIFY(workingImageKept());
    }

    void aDropThatMayNotCopyDispatchesNoName() {
        drop(&program->main->form1(), {"/pictures/beach.bmp"}, Qt::MoveAction);
        QVERIFY(DroppedFileName.isEmpty());
        QVERIFY(!DroppedFileFlag);
        QCOMPARE(dialogs->texts(), QStringList{"Incorrect file type!"});
    }
};

class CommandTest : public QObject {
    Q_OBJECT

    std::unique_ptr<RecordingDialogs> dialogs;
    std::unique_ptr<StartedProgram> program;

    MDImain& main() { return *program->main; }

private slots:
    void init() {
        dialogs = std::make_unique<RecordingDialogs>();
        program = std::make_unique<StartedProgram>();
    }
    void cleanup() {
        program.reset();
        dialogs.reset();
    }

    void disableAndEnableBracketTheTwelveWorkingControls() {
        const QList<QToolButton*> working{main().cmdLoadPic,   main().cmdLoadVTPDB, main().cmdCreatePDB,
                                          main().cmdExportImg, main().opt16Bit,     main().opt8Bit,
                                          main().opt4Bit,      main().optDithered,  main().optNearestCol,
                                          main().cmdHelp,      main().cmdAbout,     main().cmdResizeImg};
        main().opt4Bit->setChecked(true);
        main().optNearestCol->setChecked(true);
        main().cmdCompress->setChecked(true);
        main().SaveOptionStates();
        QVERIFY(Want4Bit && !Want8Bit && !Want16Bit && WantNearest && !WantDithered && UseCompression);
        QVERIFY(ResizeWasEnabled);
        main().DisableControls();
        for (QToolButton* control : working) QVERIFY2(!control->isEnabled(), qPrintable(control->objectName()));
        QVERIFY(main().cmdExit->isEnabled() && main().cmdFlip_V->isEnabled() && main().cmdCompress->isEnabled());
        main().opt16Bit->setChecked(true);
        main().optDithered->setChecked(true);
        main().EnableControls();
        for (QToolButton* control : working) QVERIFY(control->isEnabled());
        QVERIFY(main().opt4Bit->isChecked());
        QVERIFY(main().optNearestCol->isChecked());
        QCOMPARE(main().cmdCompress->text(), QStringLiteral("Compression is On"));
    }

    void enableControlsLeavesCompressionAloneWhenOff() {
        main().cmdCompress->setChecked(true);
        UseCompression = false;
        main().EnableControls();
        QVERIFY(main().cmdCompress->isChecked());
        QCOMPARE(main().cmdCompress->text(), QStringLiteral("Compression is Off"));
    }

    void flipAndRotateButtonsSwitchTogether() {
        const QList<QToolButton*> buttons{main().cmdFlip_V, main().cmdFlip_H, main().cmdRotateL, main().cmdRotateR};
        main().DisableFlipRotate();
        for (QToolButton* b : buttons) QVERIFY(!b->isEnabled());
        QVERIFY(main().cmdLoadPic->isEnabled());
        main().EnableFlipRotate();
        for (QToolButton* b : buttons) QVERIFY(b->isEnabled());
    }

    void withoutAPictureOptionsOnlyMoveAndFlipsDoNothing() {
        main().opt8Bit->click();
        QVERIFY(main().opt8Bit->isChecked() && !main().opt16Bit->isChecked());
        main().optNearestCol->click();
        QVERIFY(main().optNearestCol->isChecked() && !main().optDithered->isChecked());
        for (QToolButton* b : {main().cmdFlip_V, main().cmdFlip_H, main().cmdRotateL, main().cmdRotateR}) b->click();
        QVERIFY(dialogs->messages.empty());
    }

    void loadedWindowsAreFoundByTheirExactName() {
        QVERIFY(IsFormLoaded(QStringLiteral("MDImain")));
        QVERIFY(IsFormLoaded(QStringLiteral("Form1")));
        QVERIFY(!IsFormLoaded(QStringLiteral("form1")));
        QVERIFY(!IsFormLoaded(QStringLiteral("frmResize")));
        QVERIFY(!IsFormLoaded(QStringLiteral("picMain")));
    }

    void cancellingLoadPictureOnlyBlanksTheCaption() {
        main().form1().setWindowTitle(QStringLiteral("beach.bmp"));
        CurrentFile = QStringLiteral("/pictures/beach.bmp");
        main().cmdLoadPic->click();
        QCOMPARE(dialogs->fileDialogs.size(), std::size_t{1});
        const FileDialogSetup& setup = dialogs->fileDialogs[0];
        QCOMPARE(setup.title, QStringLiteral("Load Picture"));
        QCOMPARE(setup.filter, QStringLiteral("Image File (*.bmp;*.jpg;*.gif)|*.bmp;*.jpg;*.gif"));
        QCOMPARE(setup.filterIndex, 1);
        QCOMPARE(setup.flags, 4);
        QVERIFY(setup.fileName.isEmpty());
        QCOMPARE(main().form1().windowTitle(), QStringLiteral(" "));
        QCOMPARE(CurrentFile, QStringLiteral("/pictures/beach.bmp"));
        QVERIFY(dialogs->messages.empty());
    }

    void aChosenPictureStartsTheImport() {
        WriteTextFile(program->temp() + QStringLiteral("/temp24bit.bmp"), "x");
        WriteTextFile(program->temp() + QStringLiteral("/lgtemp.bmp"), "x");
        main().DisableFlipRotate();
        ImageLoaded = true;
        ReloadFromBuffer = true;
        dialogs->answers << QStringLiteral("/pictures/sunset.gif");
        main().cmdLoadPic->click();
        QCOMPARE(CurrentFile, QStringLiteral("/pictures/sunset.gif"));
        QVERIFY(!ImageLoaded && !ReloadFromBuffer);
        QVERIFY(!QFile::exists(program->temp() + QStringLiteral("/temp24bit.bmp")));
        QVERIFY(QFile::exists(program->temp() + QStringLiteral("/lgtemp.bmp")));
        QVERIFY(main().cmdFlip_V->isEnabled() && main().cmdRotateR->isEnabled());
        QCOMPARE(dialogs->texts(), QStringList{"Loading a picture is not available yet in this version of Mireo."});
    }

    void exitDeletesEveryBmpAndBinAndStoresTheSettings() {
        const QStringList doomed{"temp.bmp", "mine.bmp", "SHOUT.BMP", "temp1.bin", "temp10.bin"};
        const QStringList kept{"notes.txt", "image.bmp.txt", "Sunset.pdb"};
        for (const QString& name : doomed + kept) WriteTextFile(program->temp() + '/' + name, "x");
        QDir().mkpath(program->temp() + QStringLiteral("/folder.bmp"));
        main().opt8Bit->setChecked(true);
        main().cmdExit->click();
        for (const QString& name : doomed) QVERIFY2(!QFile::exists(program->temp() + '/' + name), qPrintable(name));
        for (const QString& name : kept) QVERIFY2(QFile::exists(program->temp() + '/' + name), qPrintable(name));
        QVERIFY(QFileInfo(program->temp() + QStringLiteral("/folder.bmp")).isDir());
        QVERIFY(ReadTextFile(program->ini()).contains("Default Color Depth=8-Bit\n"));
        QVERIFY(main().Ended());
        QVERIFY(!main().isVisible());
        QVERIFY(dialogs->messages.empty());
    }

    void theCloseBoxCleansUpToo() {
        main().show();
        WriteTextFile(program->temp() + QStringLiteral("/temp4d.bmp"), "x");
        main().opt4Bit->setChecked(true);
        QVERIFY(main().close());
        QVERIFY(!QFile::exists(program->temp() + QStringLiteral("/temp4d.bmp")));
        QVERIFY(ReadTextFile(program->ini()).contains("Default Color Depth=4-Bit\n"));
    }

    void closingTheImageWindowStoresTheSettings() {
        main().opt4Bit->setChecked(true);
        main().form1().close();
        QVERIFY(ReadTextFile(program->ini()).contains("Default Color Depth=4-Bit\n"));
        QVERIFY(!main().Ended());
    }
};

class HelpTest : public QObject {
    Q_OBJECT

    std::unique_ptr<RecordingDialogs> dialogs;
    std::unique_ptr<FakeBrowser> browser;
    std::unique_ptr<StartedProgram> program;

    QString throwAway() const { return program->folder + QStringLiteral("/temphtm.HTM"); }

private slots:
    void init() {
        dialogs = std::make_unique<RecordingDialogs>();
        browser = std::make_unique<FakeBrowser>();
        program = std::make_unique<StartedProgram>();
    }
    void cleanup() {
        program.reset();
        browser.reset();
        dialogs.reset();
    }

    void helpOpensThePageInTheAssociatedBrowser() {
        browser->browser = QStringLiteral("  firefox-esr.desktop ");
        program->main->cmdHelp->click();
        QCOMPARE(browser->askedAbout, throwAway());
        QCOMPARE(browser->askedContent, QByteArray(" <\\HTML>\n"));
        QCOMPARE(browser->launched,
                 QStringList{"firefox-esr.desktop " + program->folder + "/Help/Mireo_Help.htm"});
        QVERIFY(dialogs->messages.empty());
        QVERIFY(!QFile::exists(throwAway()));
    }

    void noAssociatedBrowserIsReported() {
        program->main->cmdHelp->click();
        QCOMPARE(dialogs->texts(), QStringList{"Could not find a browser"});
        QVERIFY(browser->launched.isEmpty());
        QVERIFY(!QFile::exists(throwAway()));
    }

    void aFailedLaunchIsReported() {
        browser->browser = QStringLiteral("browser");
        browser->launchSucceeds = false;
        program->main->cmdHelp->click();
        QCOMPARE(dialogs->texts(), QStringList{"Web Page not Opened"});
        QVERIFY(!QFile::exists(throwAway()));
    }

    void aThrowAwayPageThatCannotBeWrittenIsReported() {
        browser->browser = QStringLiteral("browser");
        AppPath = program->folder + QStringLiteral("/no such folder");
        program->main->cmdHelp->click();
        QCOMPARE(dialogs->texts(), QStringList{"Error #75 Path/File access error occurred in SecurityMod, while "
                                               "executing StartBrowser."});
        QVERIFY(browser->launched.isEmpty());
    }
};

class PathTest : public QObject {
    Q_OBJECT

private slots:
    void aWritableProgramFolderHoldsTheSettings() {
        const QString folder = ScratchFolder();
        QCOMPARE(ResolveAppPath(folder + QStringLiteral("/")), folder);
        QVERIFY(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
    }

    void otherwiseTheUsersDataFolderIsCreated() {
        QStandardPaths::setTestModeEnabled(true);
        const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        QDir(data).removeRecursively();
        QCOMPARE(ResolveAppPath(ScratchFolder() + QStringLiteral("/missing/bin")), data);
        QVERIFY(QFileInfo(data).isDir());
        QStandardPaths::setTestModeEnabled(false);
    }

    void theHelpPageIsFoundBesideTheProgramOrInstalled() {
        const QString root = ScratchFolder();
        const QString bin = root + QStringLiteral("/bin");
        QCOMPARE(HelpPagePath(bin), bin + QStringLiteral("/Help/Mireo_Help.htm"));
        WriteTextFile(root + QStringLiteral("/share/mireo/Help/Mireo_Help.htm"), "<html/>");
        QCOMPARE(HelpPagePath(bin), root + QStringLiteral("/share/mireo/Help/Mireo_Help.htm"));
        WriteTextFile(bin + QStringLiteral("/Help/Mireo_Help.htm"), "<html/>");
        QCOMPARE(HelpPagePath(bin), bin + QStringLiteral("/Help/Mireo_Help.htm"));
    }

    void fileFiltersBecomeQtFilters() {
        QCOMPARE(QtFileFilter(QStringLiteral("Image File (*.bmp;*.jpg;*.gif)|*.bmp;*.jpg;*.gif")),
                 QStringLiteral("Image File (*.bmp *.jpg *.gif *.BMP *.JPG *.GIF)"));
        QCOMPARE(QtFileFilter(QStringLiteral("Backimage (*.pdb)|*.pdb|All Files|*.*")),
                 QStringLiteral("Backimage (*.pdb *.PDB);;All Files (*.*)"));
    }
};

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    DropTest drops;
    CommandTest commands;
    HelpTest help;
    PathTest paths;
    int failures = QTest::qExec(&drops, argc, argv);
    failures |= QTest::qExec(&commands, argc, argv);
    failures |= QTest::qExec(&help, argc, argv);
    failures |= QTest::qExec(&paths, argc, argv);
    return failures;
}

#include "commands_test.moc"
