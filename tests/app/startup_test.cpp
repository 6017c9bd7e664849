// The program as it starts and ends: controls, logo, settings, display and
// library checks, the single copy, drops, the busy bracket, help and exit.
#include <QDropEvent>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMimeData>

#include "app_test_support.h"
#include "platform/browser.h"
#include "program/library_binding.h"
#include "program/progress_dialog.h"
#include "program/window_system.h"

namespace {

TEST(StartUp, ShowsEveryControlAndTheLogoClearsOnlyTheWorkingImagesAndRunsOnce) {
    RecordingDialogs dialogs;
    const QString folder = ScratchFolder();
    for (const char* name : {"temp.bmp", "temp24bit.bmp", "temp4n.bmp", "temp8n.bmp", "temp4d.bmp", "temp8d.bmp",
                             "lgtemp.bmp", "temp1.bin", "notes.txt"})
        WriteTextFile(folder + "/temp/" + name, "x");
    StartedProgram program(24, folder);
    EXPECT_EQ(QDir(program.temp()).entryList({"*.bmp", "*.bin", "*.txt"}, QDir::Files, QDir::Name),
              (QStringList{"lgtemp.bmp", "notes.txt", "temp1.bin"}));
    const std::tuple<const char*, const char*, const char*, bool> controls[] = {
        {"cmdLoadPic", "Load Picture", "Open a Windows BMP, GIF, or JPG file.", true},
        {"cmdLoadVTPDB", "Open Backimage", "Open a Vantrel backimage \"PDB\" file.", true},
        {"cmdCreatePDB", "Create  Backimage", "Save the current image to a Vantrel backimage PDB file.", false},
        {"cmdExportImg", "Save Image", "Export the current image to a Windows BMP file.", false},
        {"cmdHelp", "Help", "Open the Mireo help file.", true}, {"cmdAbout", "About", "About Mireo.", true},
        {"cmdExit", "Exit", "Goodbye!", true},
        {"opt16Bit", "16-Bit Color Depth", "Display image in 16-bit (65536 colors).", true},
        {"opt8Bit", "8-Bit Color Depth", "Display image in 8-bit (256 colors).", true},
        {"opt4Bit", "4-Bit Color Depth", "Display image in 4-bit (16 color grayscale).", true},
        {"optDithered", "Diffused", "On 4 and 8-bit images, use error diffusion color reduction.", true},
        {"optNearestCol", "Nearest Color", "On 4 and 8-bit images, use nearest color reduction.", true},
        {"cmdResizeImg", "Resize Image", "Change the size of the current image.", true},
        {"cmdFlip_V", "", "Flip Image Vertically", true}, {"cmdFlip_H", "", "Flip Image Horizontally", true},
        {"cmdRotateL", "", "Rotate Image 90 Degrees Left", true}, {"cmdRotateR", "", "Rotate Image 90 Degrees Right", true},
        {"cmdCompress", "Compression is Off", "", true}, {"cmdPDBNameExplain", "", "Help on the Palm Backimage Name.", true}};
    for (auto [name, caption, tooltip, enabled] : controls) {
        QToolButton* control = program.button(name);
        ASSERT_TRUE(control) << name;
        EXPECT_EQ(std::tuple(control->text(), control->toolTip(), control->isEnabled(), control->icon().isNull()),
                  std::tuple(QLatin1String(caption), QLatin1String(tooltip), enabled, false)) << name;
    }
    EXPECT_TRUE(program.button("opt16Bit")->isChecked() && program.button("optDithered")->isChecked());
    MDImain& main = *program.main;
    auto* busy = main.findChild<QLabel*>(QStringLiteral("lblWorking"));
    EXPECT_EQ(std::tuple(main.windowTitle(), main.findChild<QLabel*>(QStringLiteral("Label2"))->text(), busy->text(),
                         busy->isHidden(), main.findChild<QLineEdit*>(QStringLiteral("txtPDBname"))->maxLength()),
              std::tuple("Mireo", "Palm Backimage Name", "Working..........", true, 31)) << "busy: shown while working";
    // The logo at 230 x 120 twips in a window 500 twips wider, itself at 200 x 200 twips.
    Form1& form = main.form1();
    EXPECT_EQ(std::tuple(form.windowTitle(), form.lblPicSize->text(), form.picMain->pixmap().size(), form.picMain->pos(),
                         main.form1Window()->pos(), form.windowWidthTwips()),
              std::tuple(QStringLiteral(" "), QString(), QSize(320, 320), QPoint(15, 8), QPoint(13, 13), 320 * 15 + 495));
    EXPECT_EQ(ReadTextFile(program.ini()), "[Program]\nName=Mireo\n");
    // A second copy in the same folder stops at once and leaves the first one's files alone.
    WriteTextFile(program.temp() + "/temp8d.bmp", "preview");
    EXPECT_TRUE(StartedProgram(24, folder).main->Ended());
    ASSERT_EQ(dialogs.texts(), QStringList{"Mireo is already running. Please use the window that is open."});
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(std::tuple(ReadTextFile(program.temp() + "/temp8d.bmp"), ReadTextFile(program.ini())),
              std::tuple(QByteArray("preview"), QByteArray("[Program]\nName=Mireo\n")));
    program.main.reset();
    EXPECT_FALSE(StartedProgram(24, folder).main->Ended()) << "the folder is free once the first copy ends";
}

// The stored depth (in any letter case) and compression apply. A display
// under 16 bits ends the program after its clean-up; an unwritable settings
// file is reported twice, a missing library or export once.
TEST(StartUp, AppliesTheStoredSettingsOrSaysWhyNot) {
    const QString shallow = QStringLiteral("Problem! Mireo requires a video depth of at least 16-bit.\n"
                                           "Please check your video settings.");
    const QStringList unwritable{"Failed to save value to Mireo.ini file.", "Failed to get value from Mireo.ini."};
    const QString noLibrary = QStringLiteral("Mireo could not load its image library (%1). Pictures cannot be converted.");
    // The display depth, the stored depth (none: Mireo.ini is a folder), ColorDepthBits after (the option
    // selected: the same, 16 for 0), the messages and the image library's file (none: the real one).
    const std::tuple<int, const char*, int, QStringList, const char*> cases[] = {
        {24, "16-Bit", 16, {}, nullptr}, {24, "8-bit", 8, {}, nullptr}, {16, "4-BIT", 4, {}, nullptr},
        {24, "24-Bit", 0, {}, nullptr}, {15, "8-Bit", 0, {shallow}, nullptr}, {24, nullptr, 16, unwritable, nullptr},
        {24, "8-Bit", 8, {noLibrary.arg("Error #53 File not found: libmireocore-missing.so.1")},
         "libmireocore-missing.so.1"},
        {24, "8-Bit", 8, {noLibrary.arg("Error #453 Can't find DLL entry point MireoSetWindowSystem in libm.so.6")},
         "libm.so.6"}};
    const std::string soname = mireocore::LibraryFile();
    for (const auto& [bits, depth, depthBits, expected, library] : cases) {
        RecordingDialogs dialogs;
        const QString folder = ScratchFolder(), left = folder + "/temp/left.bmp";
        WriteTextFile(left, "x");
        if (!depth) QDir().mkpath(folder + "/Mireo.ini");
        else WriteTextFile(folder + "/Mireo.ini", QByteArray("[Color Depth]\nDefault Color Depth=") + depth +
                                                      "\n[Compression]\nUse Backimage Compression=TRUE\n");
        mireocore::SetLibraryFile(library ? library : soname);
        StartedProgram program(bits, folder);
        mireocore::SetLibraryFile(soname);
        EXPECT_EQ(dialogs.texts(), expected) << bits << " " << (depth ? depth : "no settings");
        for (const auto& m : dialogs.messages) EXPECT_EQ(m.icon, depth ? MessageIcon::None : MessageIcon::Information);
        EXPECT_EQ(std::tuple(program.main->Ended(), QFile::exists(left)), std::tuple(bits < 16, bits >= 16));
        if (bits < 16) continue;
        EXPECT_EQ(std::tuple(program.main->selectedDepth(), program.shared.ColorDepthBits,
                             program.button("cmdCompress")->isChecked()),
                  std::tuple(depthBits ? depthBits : 16, int16_t(depthBits), depth != nullptr)) << depth;
    }
}

TEST(WindowSystem, ShowsTheLibrarysMessagesAndProgressWindows) {
    RecordingDialogs dialogs;
    const MireoWindowSystem& ws = QtWindowSystem();
    ws.messageBox(ws.context, "Error in dll module WriteBmp24 -  76 - Path not found", nullptr, MIREO_ICON_INFORMATION);
    ASSERT_EQ(dialogs.texts(), QStringList{"Error in dll module WriteBmp24 -  76 - Path not found"});
    EXPECT_EQ(std::tuple(dialogs.messages[0].icon, dialogs.messages[0].caption),
              std::tuple(MessageIcon::Information, QStringLiteral("Mireo")));
    const int32_t window = ws.createProgress(ws.context, 0, "Working");
    EXPECT_TRUE(ws.isWindow(ws.context, window) && !ws.isWindowVisible(ws.context, window));
    ws.showProgress(ws.context, window);
    ws.setProgressPosition(ws.context, window, 250);
    ws.setProgressText(ws.context, window, " 37 %");
    EXPECT_EQ(std::tuple(ws.isWindowVisible(ws.context, window), ProgressWindow(window)->position(),
                         ProgressWindow(window)->text()), std::tuple(true, 100, QStringLiteral(" 37 %")));
    char buffer[4] = {'x', 'x', 'x', 'x'};
    ws.readCancelLabel(ws.context, window, buffer, 4);
    ws.destroyProgress(ws.context, window);
    EXPECT_TRUE(buffer[0] == '\0' && !ws.isWindow(ws.context, window));
    ws.setProgressText(ws.context, window, "gone");  // a closed window is ignored
}

// Only the first file of a drop counts, and only when the drop may copy;
// the options are recorded before anything else.
TEST(Drops, TheFirstFileGoesByItsExtension) {
    const std::tuple<QStringList, Qt::DropActions, const char*, bool> cases[] = {
        {{"/p/beach.JPG", "/p/other.bmp"}, Qt::CopyAction, "Error loading file!", false},
        {{"/p/beach.gif"}, Qt::CopyAction | Qt::MoveAction, "Error loading file!", false},
        {{"/p/a.Bmp"}, Qt::CopyAction, "Error loading file!", false},
        {{"/palm/Sunset.pdb"}, Qt::CopyAction, "This file doesn't appear to be a valid Vantrel Backimage", true},
        {{"/p/beach.jpeg"}, Qt::CopyAction, "Incorrect file type!", true},
        {{"/p/beach.jpg"}, Qt::MoveAction, "Incorrect file type!", true}};
    for (const auto& [files, actions, reached, kept] : cases) {
        RecordingDialogs dialogs;
        StartedProgram program;
        program.button("opt8Bit")->setChecked(true);
        WriteTextFile(program.temp() + "/temp8d.bmp", "x");
        QMimeData mime;
        for (const QString& file : files) mime.setUrls(mime.urls() << QUrl::fromLocalFile(file));
        QDragEnterEvent enter(QPoint(1, 1), actions, &mime, Qt::LeftButton, Qt::NoModifier);
        QDropEvent drop(QPointF(1, 1), actions, &mime, Qt::LeftButton, Qt::NoModifier);
        for (QEvent* event : std::initializer_list<QEvent*>{&enter, &drop})
            QCoreApplication::sendEvent(program.main->form1().picMain, event);
        EXPECT_EQ(dialogs.texts(), QStringList{QLatin1String(reached)}) << files.first();
        EXPECT_EQ(std::tuple(QFile::exists(program.temp() + "/temp8d.bmp"), program.shared.Want8Bit), std::tuple(kept, true));
        EXPECT_EQ(program.shared.DroppedFileName, actions & Qt::CopyAction ? files.first() : QString());
    }
}

using BusyBracket = ProgramTest;

TEST_F(BusyBracket, DisablesTheTwelveWorkingControlsAndRestoresTheRecordedOptions) {
    const char* const working[] = {"cmdLoadPic", "cmdLoadVTPDB", "cmdCreatePDB", "cmdExportImg", "opt16Bit", "opt8Bit",
                                   "opt4Bit",    "optDithered",  "optNearestCol", "cmdHelp",     "cmdAbout", "cmdResizeImg"};
    const auto on = [this](const char* name) { return program->button(name)->isEnabled(); };
    MDImain& main = *program->main;
    for (const char* name : {"opt4Bit", "optNearestCol"}) program->button(name)->setChecked(true);
    main.showCompression(true);
    main.SaveOptionStates();
    const SharedState& s = shared();
    EXPECT_TRUE(s.Want4Bit && !s.Want8Bit && !s.Want16Bit && s.WantNearest && !s.WantDithered && s.UseCompression);
    main.DisableControls();
    for (const char* name : working) EXPECT_FALSE(on(name)) << name;
    EXPECT_TRUE(on("cmdExit") && on("cmdFlip_V") && on("cmdCompress"));
    for (const char* name : {"opt16Bit", "optDithered"}) program->button(name)->setChecked(true);
    main.showCompression(false);
    main.EnableControls();
    for (const char* name : working) EXPECT_TRUE(on(name)) << name;
    EXPECT_TRUE(program->button("opt4Bit")->isChecked() && program->button("optNearestCol")->isChecked());
    EXPECT_EQ(program->button("cmdCompress")->text(), QStringLiteral("Compression is On"));
    main.DisableFlipRotate();
    EXPECT_FALSE(on("cmdFlip_V") || on("cmdFlip_H") || on("cmdRotateL") || on("cmdRotateR"));
    EXPECT_TRUE(IsFormLoaded(QStringLiteral("Form1")) && !IsFormLoaded(QStringLiteral("form1")));
    EXPECT_FALSE(IsFormLoaded(QStringLiteral("frmResize")) || IsFormLoaded(QStringLiteral("picMain")));
}

// Answers with `browser` and writes down what the program asks and starts.
struct FakeBrowser : BrowserPlatform {
    FakeBrowser(const char* name, bool succeeds) : browser(QLatin1String(name)), launches(succeeds) { SetBrowserPlatform(this); }
    ~FakeBrowser() override { SetBrowserPlatform(nullptr); }
    QString findBrowserFor(const QString& file) override { askedContent = ReadTextFile(file); return browser; }
    bool launch(const QString& program, const QString& page) override { return launched << program + ' ' + page, launches; }
    QString browser;
    bool launches;
    QByteArray askedContent;  // of the file the browser was looked up for, at that moment
    QStringList launched;
};

TEST(Help, OpensThePageThroughAThrowAwayFileOrSaysWhyNot) {
    const std::tuple<const char*, bool, bool, const char*> cases[] = {
        {"firefox", true, false, nullptr}, {"", true, false, "Could not find a browser"},
        {"firefox", false, false, "Web Page not Opened"},
        {"firefox", true, true, "Error #75 Path/File access error occurred in SecurityMod, while executing StartBrowser."}};
    for (auto [browserName, launches, blocked, message] : cases) {
        RecordingDialogs dialogs;
        FakeBrowser browser(browserName, launches);
        StartedProgram program;
        const QString throwAway = program.folder + QStringLiteral("/temphtm.HTM");
        if (blocked) QDir().mkpath(throwAway);
        program.button("cmdHelp")->click();
        EXPECT_EQ(dialogs.texts(), message ? QStringList{QLatin1String(message)} : QStringList{});
        if (blocked) continue;
        EXPECT_TRUE(browser.askedContent == " <\\HTML>\n" && !QFile::exists(throwAway)) << browser.askedContent;
        const QString page = program.folder + "/Help/Mireo_Help.htm";
        EXPECT_EQ(browser.launched, *browserName ? QStringList{"firefox " + page} : QStringList{});
    }
}

TEST(Exit, DeletesEveryBmpAndBinAndStoresTheSettings) {
    for (bool byButton : {true, false}) {
        RecordingDialogs dialogs;
        StartedProgram program;
        for (const char* name : {"temp.bmp", "other.bmp", "temp3.bin", "x.BMP", "notes.txt", "temp.bmp.keep"})
            WriteTextFile(program.temp() + '/' + name, "x");
        program.button("opt8Bit")->setChecked(true);
        if (byButton) program.button("cmdExit")->click();
        else program.main->close();
        EXPECT_EQ(QDir(program.temp()).entryList({"*.bmp", "*.bin", "*.txt", "*.keep"}, QDir::Files, QDir::Name),
                  (QStringList{"notes.txt", "temp.bmp.keep"})) << byButton;
        EXPECT_TRUE(ReadTextFile(program.ini()).contains("Default Color Depth=8-Bit\n")) << byButton;
        EXPECT_TRUE(program.main->Ended() && dialogs.messages.empty());
    }
}

} // namespace
