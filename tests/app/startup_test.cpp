// The program as it starts and ends: the main window's controls, the image
// window with its logo, the settings file, the display check, the lock on
// the temporary folder, the binding to the image library, file drops, the
// busy bracket, the help page and the clean-up at exit.
#include <QCoreApplication>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QToolButton>
#include <QUrl>
#include <gtest/gtest.h>

#include "app_test_support.h"
#include "program/library_binding.h"
#include "program/progress_dialog.h"
#include "program/window_system.h"
#include "windows/image_window.h"
#include "windows/loaded_forms.h"

namespace {

const char* const kWorkingImages[] = {"temp.bmp", "temp24bit.bmp", "temp4n.bmp", "temp8n.bmp", "temp4d.bmp", "temp8d.bmp"};

TEST(StartUp, ShowsEveryControlWithItsCaptionTooltipAndState) {
    RecordingDialogs dialogs;
    StartedProgram program;
    const std::tuple<const char*, const char*, const char*, bool> controls[] = {
        {"cmdLoadPic", "Load Picture", "Open a Windows BMP, GIF, or JPG file.", true},
        {"cmdLoadVTPDB", "Open Backimage", "Open a Vantrel backimage \"PDB\" file.", true},
        {"cmdCreatePDB", "Create  Backimage", "Save the current image to a Vantrel backimage PDB file.", false},
        {"cmdExportImg", "Save Image", "Export the current image to a Windows BMP file.", false},
        {"cmdHelp", "Help", "Open the Mireo help file.", true},
        {"cmdAbout", "About", "About Mireo.", true},
        {"cmdExit", "Exit", "Goodbye!", true},
        {"opt16Bit", "16-Bit Color Depth", "Display image in 16-bit (65536 colors).", true},
        {"opt8Bit", "8-Bit Color Depth", "Display image in 8-bit (256 colors).", true},
        {"opt4Bit", "4-Bit Color Depth", "Display image in 4-bit (16 color grayscale).", true},
        {"optDithered", "Diffused", "On 4 and 8-bit images, use error diffusion color reduction.", true},
        {"optNearestCol", "Nearest Color", "On 4 and 8-bit images, use nearest color reduction.", true},
        {"cmdResizeImg", "Resize Image", "Change the size of the current image.", true},
        {"cmdFlip_V", "", "Flip Image Vertically", true},
        {"cmdFlip_H", "", "Flip Image Horizontally", true},
        {"cmdRotateL", "", "Rotate Image 90 Degrees Left", true},
        {"cmdRotateR", "", "Rotate Image 90 Degrees Right", true},
        {"cmdCompress", "Compression is Off", "", true},
        {"cmdPDBNameExplain", "", "Help on the Palm Backimage Name.", true},
    };
    for (auto [name, caption, tooltip, enabled] : controls) {
        QToolButton* control = program.button(name);
        ASSERT_TRUE(control) << name;
        EXPECT_EQ(control->text(), QString::fromUtf8(caption)) << name;
        EXPECT_EQ(control->toolTip(), QString::fromUtf8(tooltip)) << name;
        EXPECT_EQ(control->isEnabled(), enabled) << name;
        EXPECT_FALSE(control->icon().isNull()) << name;
    }
    MDImain& main = *program.main;
    EXPECT_EQ(main.windowTitle(), QStringLiteral("Mireo"));
    EXPECT_EQ(main.findChild<QLabel*>(QStringLiteral("Label2"))->text(), QStringLiteral("Palm Backimage Name"));
    auto* working = main.findChild<QLabel*>(QStringLiteral("lblWorking"));
    EXPECT_EQ(working->text(), QStringLiteral("Working.........."));
    EXPECT_TRUE(working->isHidden());
    EXPECT_EQ(main.findChild<QLineEdit*>(QStringLiteral("txtPDBname"))->maxLength(), 31);
    EXPECT_TRUE(program.button("opt16Bit")->isChecked());
    EXPECT_TRUE(program.button("optDithered")->isChecked()) << "the stored default method";
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST(StartUp, PreparesTheFoldersTheLogoAndTheSharedState) {
    RecordingDialogs dialogs;
    const QString folder = ScratchFolder();
    for (const char* name : kWorkingImages) WriteTextFile(folder + "/temp/" + name, "x");
    for (const char* name : {"lgtemp.bmp", "temp1.bin", "notes.txt"}) WriteTextFile(folder + "/temp/" + name, "x");
    StartedProgram program(24, folder);
    for (const char* name : kWorkingImages) EXPECT_FALSE(QFile::exists(program.temp() + '/' + name)) << name;
    for (const char* name : {"lgtemp.bmp", "temp1.bin", "notes.txt"})
        EXPECT_TRUE(QFile::exists(program.temp() + '/' + name)) << name;
    Form1& form = program.main->form1();
    EXPECT_EQ(form.windowTitle(), QStringLiteral(" "));
    EXPECT_EQ(form.picMain->pixmap().size(), QSize(320, 320));
    EXPECT_EQ(form.picMain->pos(), QPoint(15, 8));
    EXPECT_EQ(form.windowWidthTwips(), 320 * 15 + 495);
    EXPECT_TRUE(form.lblPicSize->text().isEmpty());
    EXPECT_EQ(program.main->form1Window()->pos(), QPoint(13, 13));
    const SharedState& s = program.shared;
    EXPECT_FALSE(s.LogoShown || s.ImageLoaded);
    EXPECT_EQ(std::tuple(s.ScreenBits, s.ColorDepthBits), std::tuple(24, int16_t{16}));
    EXPECT_EQ(s.AppPath, program.folder);
    EXPECT_EQ(s.TempBmpPath, program.folder + QStringLiteral("/temp/temp.bmp"));
    EXPECT_EQ(ReadTextFile(program.ini()), "[Program]\nName=Mireo\n");
}

TEST(StartUp, AppliesTheStoredDepthInAnyLetterCaseAndTheCompression) {
    const std::tuple<const char*, const char*, int> cases[] = {
        {"16-Bit", "opt16Bit", 16}, {"8-bit", "opt8Bit", 8}, {"4-BIT", "opt4Bit", 4}, {"24-Bit", "opt16Bit", 0}};
    for (auto [depth, selected, bits] : cases) {
        RecordingDialogs dialogs;
        const QString folder = ScratchFolder();
        WriteTextFile(folder + "/Mireo.ini", QByteArray("[Color Depth]\nDefault Color Depth=") + depth +
                                                 "\n[Compression]\nUse Backimage Compression=TRUE\n");
        StartedProgram program(24, folder);
        EXPECT_TRUE(program.button(selected)->isChecked()) << depth;
        EXPECT_EQ(program.main->selectedDepth(), bits ? bits : 16) << depth;
        EXPECT_EQ(program.shared.ColorDepthBits, bits) << depth;
        EXPECT_TRUE(program.button("cmdCompress")->isChecked());
        EXPECT_EQ(program.button("cmdCompress")->text(), QStringLiteral("Compression is On"));
    }
}

TEST(StartUp, AShallowDisplayEndsTheProgramAfterItsMessage) {
    for (int bits : {8, 15, 16}) {
        RecordingDialogs dialogs;
        const QString folder = ScratchFolder();
        WriteTextFile(folder + "/temp/left.bmp", "x");
        StartedProgram program(bits, folder);
        EXPECT_EQ(program.main->Ended(), bits < 16);
        EXPECT_EQ(QFile::exists(folder + "/temp/left.bmp"), bits >= 16);
        const QStringList expected{"Problem! Mireo requires a video depth of at least 16-bit.\n"
                                   "Please check your video settings."};
        EXPECT_EQ(dialogs.texts(), bits < 16 ? expected : QStringList{});
    }
}

TEST(StartUp, ASecondCopyLeavesTheFirstOnesFilesAlone) {
    RecordingDialogs dialogs;
    StartedProgram first;
    WriteTextFile(first.temp() + "/temp8d.bmp", "preview");
    const QByteArray settings = ReadTextFile(first.ini());
    {
        SharedState shared;
        MDImain second(shared, StartupOptions{first.folder, 24});
        EXPECT_TRUE(second.Ended());
    }
    EXPECT_EQ(dialogs.texts(), QStringList{"Mireo is already running. Please use the window that is open."});
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(ReadTextFile(first.temp() + "/temp8d.bmp"), "preview");
    EXPECT_EQ(ReadTextFile(first.ini()), settings);
    const QString folder = first.folder;
    first.main.reset();
    StartedProgram third(24, folder);
    EXPECT_FALSE(third.main->Ended()) << "the folder is free once the first copy ends";
}

TEST(StartUp, AnUnwritableSettingsFileIsReportedTwice) {
    RecordingDialogs dialogs;
    const QString folder = ScratchFolder();
    QDir().mkpath(folder + "/Mireo.ini");
    StartedProgram program(24, folder);
    EXPECT_EQ(dialogs.texts(),
              (QStringList{"Failed to save value to Mireo.ini file.", "Failed to get value from Mireo.ini."}));
    EXPECT_EQ(dialogs.messages[1].icon, MessageIcon::Information);
}

TEST(StartUp, AMissingLibraryOrExportIsReported) {
    const std::pair<const char*, const char*> cases[] = {
        {"libmireocore-missing.so.1", "Error #53 File not found: libmireocore-missing.so.1"},
        {"libm.so.6", "Error #453 Can't find DLL entry point MireoSetWindowSystem in libm.so.6"}};
    const std::string soname = mireocore::LibraryFile();
    for (auto [file, error] : cases) {
        RecordingDialogs dialogs;
        mireocore::SetLibraryFile(file);
        StartedProgram program;
        mireocore::SetLibraryFile(soname);
        EXPECT_EQ(dialogs.texts(), QStringList{QStringLiteral("Mireo could not load its image library (%1). "
                                                              "Pictures cannot be converted.").arg(QLatin1String(error))});
        EXPECT_FALSE(program.main->Ended());
    }
}

TEST(WindowSystem, ShowsTheLibrarysMessagesAndProgressWindows) {
    RecordingDialogs dialogs;
    StartedProgram program;
    const MireoWindowSystem& ws = QtWindowSystem();
    ws.messageBox(ws.context, "Error in dll module WriteBmp24 -  76 - Path not found", nullptr, MIREO_ICON_INFORMATION);
    ASSERT_EQ(dialogs.texts(), QStringList{"Error in dll module WriteBmp24 -  76 - Path not found"});
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("Mireo"));
    const int32_t window = ws.createProgress(ws.context, 0, "Working");
    EXPECT_TRUE(ws.isWindow(ws.context, window) && !ws.isWindowVisible(ws.context, window));
    ws.showProgress(ws.context, window);
    ws.setProgressPosition(ws.context, window, 250);
    ws.setProgressText(ws.context, window, " 37 %");
    EXPECT_TRUE(ws.isWindowVisible(ws.context, window));
    EXPECT_EQ(ProgressWindow(window)->position(), 100);
    EXPECT_EQ(ProgressWindow(window)->text(), QStringLiteral(" 37 %"));
    char buffer[4] = {'x', 'x', 'x', 'x'};
    ws.readCancelLabel(ws.context, window, buffer, 4);
    EXPECT_EQ(buffer[0], '\0');
    ws.destroyProgress(ws.context, window);
    EXPECT_FALSE(ws.isWindow(ws.context, window));
    ws.setProgressText(ws.context, window, "gone");  // a closed window is ignored
}

void drop(QWidget* target, const QStringList& files, Qt::DropActions actions) {
    auto* mime = new QMimeData;
    QList<QUrl> urls;
    for (const QString& file : files) urls << QUrl::fromLocalFile(file);
    mime->setUrls(urls);
    QDragEnterEvent enter(QPoint(1, 1), actions, mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    QDropEvent event(QPointF(1, 1), actions, mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &event);
    delete mime;
}

TEST(Drops, TheFirstFileGoesByItsExtension) {
    const std::tuple<QStringList, Qt::DropActions, const char*, bool> cases[] = {
        {{"/p/beach.JPG", "/p/other.bmp"}, Qt::CopyAction, "Error loading file!", false},
        {{"/p/beach.gif"}, Qt::CopyAction | Qt::MoveAction, "Error loading file!", false},
        {{"/p/a.Bmp"}, Qt::CopyAction, "Error loading file!", false},
        {{"/palm/Sunset.pdb"}, Qt::CopyAction, "This file doesn't appear to be a valid Vantrel Backimage", true},
        {{"/p/beach.jpeg"}, Qt::CopyAction, nullptr, true},
        {{"/p/beach.jpg"}, Qt::MoveAction, nullptr, true},
    };
    for (const auto& [files, actions, reached, kept] : cases) {
        RecordingDialogs dialogs;
        StartedProgram program;
        program.button("opt8Bit")->setChecked(true);
        WriteTextFile(program.temp() + "/temp8d.bmp", "x");
        drop(program.main->form1().picMain, files, actions);
        const QString expected = QLatin1String(reached ? reached : "Incorrect file type!");
        EXPECT_EQ(dialogs.texts(), QStringList{expected}) << files.first().toStdString();
        EXPECT_EQ(QFile::exists(program.temp() + "/temp8d.bmp"), kept) << files.first().toStdString();
        EXPECT_TRUE(program.shared.Want8Bit) << "the options are recorded first";
        EXPECT_EQ(program.shared.DroppedFileName, actions & Qt::CopyAction ? files.first() : QString());
    }
}

TEST(BusyBracket, DisablesTheTwelveWorkingControlsAndRestoresTheRecordedOptions) {
    RecordingDialogs dialogs;
    StartedProgram program;
    const char* const working[] = {"cmdLoadPic", "cmdLoadVTPDB", "cmdCreatePDB", "cmdExportImg", "opt16Bit", "opt8Bit",
                                   "opt4Bit",    "optDithered",  "optNearestCol", "cmdHelp",     "cmdAbout", "cmdResizeImg"};
    MDImain& main = *program.main;
    program.button("opt4Bit")->setChecked(true);
    program.button("optNearestCol")->setChecked(true);
    main.showCompression(true);
    main.SaveOptionStates();
    const SharedState& s = program.shared;
    EXPECT_TRUE(s.Want4Bit && !s.Want8Bit && !s.Want16Bit && s.WantNearest && !s.WantDithered && s.UseCompression);
    main.DisableControls();
    for (const char* name : working) EXPECT_FALSE(program.button(name)->isEnabled()) << name;
    for (const char* name : {"cmdExit", "cmdFlip_V", "cmdCompress"}) EXPECT_TRUE(program.button(name)->isEnabled());
    program.button("opt16Bit")->setChecked(true);
    program.button("optDithered")->setChecked(true);
    main.showCompression(false);
    main.EnableControls();
    for (const char* name : working) EXPECT_TRUE(program.button(name)->isEnabled()) << name;
    EXPECT_TRUE(program.button("opt4Bit")->isChecked() && program.button("optNearestCol")->isChecked());
    EXPECT_EQ(program.button("cmdCompress")->text(), QStringLiteral("Compression is On"));
    main.DisableFlipRotate();
    for (const char* name : {"cmdFlip_V", "cmdFlip_H", "cmdRotateL", "cmdRotateR"})
        EXPECT_FALSE(program.button(name)->isEnabled()) << name;
    EXPECT_TRUE(IsFormLoaded(QStringLiteral("Form1")) && !IsFormLoaded(QStringLiteral("form1")));
    EXPECT_FALSE(IsFormLoaded(QStringLiteral("frmResize")) || IsFormLoaded(QStringLiteral("picMain")));
}

TEST(Help, OpensThePageThroughAThrowAwayFileOrSaysWhyNot) {
    const std::tuple<const char*, bool, bool, const char*> cases[] = {
        {"firefox", true, false, nullptr},
        {"", true, false, "Could not find a browser"},
        {"firefox", false, false, "Web Page not Opened"},
        {"firefox", true, true, "Error #75 Path/File access error occurred in SecurityMod, while executing StartBrowser."},
    };
    for (auto [browserName, launches, blocked, message] : cases) {
        RecordingDialogs dialogs;
        FakeBrowser browser;
        StartedProgram program;
        browser.browser = QLatin1String(browserName);
        browser.launchSucceeds = launches;
        const QString throwAway = program.folder + QStringLiteral("/temphtm.HTM");
        if (blocked) QDir().mkpath(throwAway);
        program.button("cmdHelp")->click();
        EXPECT_EQ(dialogs.texts(), message ? QStringList{QLatin1String(message)} : QStringList{});
        if (blocked) continue;
        EXPECT_EQ(browser.askedContent, " <\\HTML>\n");
        EXPECT_FALSE(QFile::exists(throwAway));
        const QString page = program.folder + "/Help/Mireo_Help.htm";
        EXPECT_EQ(browser.launched, *browserName ? QStringList{QStringLiteral("firefox ") + page} : QStringList{});
    }
}

TEST(Exit, DeletesEveryBmpAndBinAndStoresTheSettings) {
    for (const char* how : {"Exit", "close box"}) {
        RecordingDialogs dialogs;
        StartedProgram program;
        for (const char* name : {"temp.bmp", "other.bmp", "temp3.bin", "x.BMP", "notes.txt", "temp.bmp.keep"})
            WriteTextFile(program.temp() + '/' + name, "x");
        program.button("opt8Bit")->setChecked(true);
        if (how == std::string("Exit")) program.button("cmdExit")->click();
        else program.main->close();
        for (const char* name : {"temp.bmp", "other.bmp", "temp3.bin", "x.BMP"})
            EXPECT_FALSE(QFile::exists(program.temp() + '/' + name)) << name << " " << how;
        for (const char* name : {"notes.txt", "temp.bmp.keep"})
            EXPECT_TRUE(QFile::exists(program.temp() + '/' + name)) << name << " " << how;
        EXPECT_TRUE(ReadTextFile(program.ini()).contains("Default Color Depth=8-Bit\n")) << how;
        EXPECT_TRUE(program.main->Ended());
        EXPECT_TRUE(dialogs.messages.empty());
    }
}

} // namespace
