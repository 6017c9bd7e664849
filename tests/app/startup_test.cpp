// Start-up: the controls of the main window, the image window with its
// logo, the settings file, the palettes, the display check, the lock on
// the temporary folder and the binding to the image library.
#include <QApplication>
#include <QButtonGroup>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QTest>
#include <QToolButton>

#include "app_test_support.h"
#include "form1.h"
#include "mireocore_binding.h"
#include "palettes.h"
#include "progress_dialog.h"
#include "qt_window_system.h"
#include "shared_state.h"

namespace {

const QString kDepthMessage =
    QStringLiteral("Problem! Mireo requires a video depth of at least 16-bit.\nPlease check your video settings.");

QToolButton* button(MDImain& main, const QString& name) { return main.findChild<QToolButton*>(name); }

} // namespace

class StartupTest : public QObject {
    Q_OBJECT

private slots:
    void controlsCarryTheirCaptionsAndTooltips_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("tooltip");
        QTest::addColumn<bool>("enabled");
        auto row = [](const char* name, const char* caption, const char* tooltip, bool enabled) {
            QTest::newRow(name) << QString::fromUtf8(caption) << QString::fromUtf8(tooltip) << enabled;
        };
        row("cmdLoadPic", "Load Picture", "Open a Windows BMP, GIF, or JPG file.", true);
        row("cmdLoadVTPDB", "Open Backimage", "Open a Vantrel backimage \"PDB\" file.", true);
        row("cmdCreatePDB", "Create  Backimage", "Save the current image to a Vantrel backimage PDB file.", false);
        row("cmdExportImg", "Save Image", "Export the current image to a Windows BMP file.", false);
        row("cmdHelp", "Help", "Open the Mireo help file.", true);
        row("cmdAbout", "About", "About Mireo.", true);
        row("cmdExit", "Exit", "Goodbye!", true);
        row("opt16Bit", "16-Bit Color Depth", "Display image in 16-bit (65536 colors).", true);
        row("opt8Bit", "8-Bit Color Depth", "Display image in 8-bit (256 colors).", true);
        row("opt4Bit", "4-Bit Color Depth", "Display image in 4-bit (16 color grayscale).", true);
        row("optDithered", "Diffused", "On 4 and 8-bit images, use error diffusion color reduction.", true);
        row("optNearestCol", "Nearest Color", "On 4 and 8-bit images, use nearest color reduction.", true);
        row("cmdResizeImg", "Resize Image", "Change the size of the current image.", true);
        row("cmdFlip_V", "", "Flip Image Vertically", true);
        row("cmdFlip_H", "", "Flip Image Horizontally", true);
        row("cmdRotateL", "", "Rotate Image 90 Degrees Left", true);
        row("cmdRotateR", "", "Rotate Image 90 Degrees Right", true);
        row("cmdCompress", "Compression is Off", "", true);
        row("cmdPDBNameExplain", "", "Help on the Palm Backimage Name.", true);
    }

    void controlsCarryTheirCaptionsAndTooltips() {
        QFETCH(QString, caption);
        QFETCH(QString, tooltip);
        QFETCH(bool, enabled);
        RecordingDialogs dialogs;
        StartedProgram program;
        QToolButton* control = button(*program.main, QString::fromLatin1(QTest::currentDataTag()));
        QVERIFY(control);
        QCOMPARE(control->text(), caption);
        QCOMPARE(control->toolTip(), tooltip);
        QCOMPARE(control->isEnabled(), enabled);
        QVERIFY(!control->icon().isNull());
        QVERIFY(dialogs.messages.empty());
    }

    void startsWithSixteenBitsTheLogoAndNoPicture() {
        RecordingDialogs dialogs;
        StartedProgram program;
        MDImain& main = *program.main;
        QCOMPARE(main.windowTitle(), QStringLiteral("Mireo"));
        QVERIFY(!main.Ended());
        QVERIFY(main.opt16Bit->isChecked());
        QVERIFY(main.depthOptions->exclusive());
        QCOMPARE(main.depthOptions->buttons().size(), 3);
        QCOMPARE(main.methodOptions->buttons().size(), 2);
        QVERIFY(main.optDithered->isChecked());  // the stored default method
        QVERIFY(!main.cmdCompress->isChecked());
        QCOMPARE(main.findChild<QLabel*>(QStringLiteral("Label2"))->text(), QStringLiteral("Palm Backimage Name"));
        QCOMPARE(main.lblWorking->text(), QStringLiteral("Working.........."));
        QVERIFY(main.lblWorking->isHidden());
        QCOMPARE(main.txtPDBname->maxLength(), 31);
        QVERIFY(main.txtPDBname->text().isEmpty());
        QCOMPARE(main.Picture2->height(), 65);
        QCOMPARE(main.Picture1->width(), 145);

        Form1& form = main.form1();
        QCOMPARE(form.windowTitle(), QStringLiteral(" "));
        QCOMPARE(form.picMain->pixmap().size(), QSize(320, 320));
        QCOMPARE(form.picMain->pixmap().toImage(), form.imgLogo->pixmap().toImage());
        QCOMPARE(form.picMain->pos(), QPoint(15, 8));
        QCOMPARE(form.windowWidthTwips(), 320 * 15 + 495);
        QCOMPARE(form.picStatusBar->y(), form.height() - 33);
        QVERIFY(form.picBuff->isHidden() && form.imgBuff->isHidden() && form.imgLogo->isHidden());
        QVERIFY(form.lblPicSize->text().isEmpty());
        QVERIFY(!main.form1Window()->isHidden());
        QCOMPARE(main.form1Window()->pos(), QPoint(13, 13));
        QVERIFY(!LogoShown && !ImageLoaded);
        QCOMPARE(ScreenBits, 24);
        QCOMPARE(ColorDepthBits, int16_t{16});
        QCOMPARE(AppPath, program.folder);
        QCOMPARE(TempBmpPath, program.folder + QStringLiteral("/temp/temp.bmp"));
        QVERIFY(QFileInfo(program.temp()).isDir());
        QVERIFY(dialogs.messages.empty());
    }

    void createsTheSettingsFileWithTheProgramName() {
        RecordingDialogs dialogs;
        StartedProgram program;
        QCOMPARE(ReadTextFile(program.ini()), QByteArray("[Program]\nName=Mireo\n"));
        QCOMPARE(CustomWidth, 320);
        QCOMPARE(CustomHeight, 320);
        QCOMPARE(Block1Size, 51200);
        QCOMPARE(Block2Size, 30720);
        QVERIFY(!UseCompression);
        QVERIFY(ShowCompressionWarning);
        QCOMPARE(DefaultColorDepth, QStringLiteral("16-Bit"));
    }

    void deletesOnlyTheStaleWorkingImages() {
        RecordingDialogs dialogs;
        const QString folder = ScratchFolder();
        const QStringList stale{"temp.bmp", "temp24bit.bmp", "temp4n.bmp", "temp8n.bmp", "temp4d.bmp", "temp8d.bmp"};
        for (const QString& name : stale + QStringList{"lgtemp.bmp", "temp1.bin", "notes.txt"})
            WriteTextFile(folder + QStringLiteral("/temp/") + name, "x");
        StartedProgram program(24, folder);
        for (const QString& name : stale) QVERIFY2(!QFile::exists(program.temp() + '/' + name), qPrintable(name));
        for (const char* name : {"lgtemp.bmp", "temp1.bin", "notes.txt"})
            QVERIFY(QFile::exists(program.temp() + '/' + QLatin1String(name)));
    }

    void storedDepthAndCompressionAreApplied_data() {
        QTest::addColumn<QByteArray>("depth");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<int>("bits");
        QTest::newRow("16-Bit") << QByteArray("16-Bit") << "opt16Bit" << 16;
        QTest::newRow("8-bit") << QByteArray("8-bit") << "opt8Bit" << 8;
        QTest::newRow("4-BIT") << QByteArray("4-BIT") << "opt4Bit" << 4;
        QTest::newRow("other") << QByteArray("24-Bit") << "opt16Bit" << 0;
    }

    void storedDepthAndCompressionAreApplied() {
        QFETCH(QByteArray, depth);
        QFETCH(QString, selected);
        QFETCH(int, bits);
        RecordingDialogs dialogs;
        const QString folder = ScratchFolder();
        WriteTextFile(folder + QStringLiteral("/Mireo.ini"),
                      "[Color Depth]\nDefault Color Depth=" + depth + "\n[Compression]\nUse Backimage Compression=TRUE\n");
        StartedProgram program(24, folder);
        QVERIFY(button(*program.main, selected)->isChecked());
        QCOMPARE(program.main->depthOptions->checkedButton(), button(*program.main, selected));
        QCOMPARE(ColorDepthBits, int16_t(bits));
        QVERIFY(program.main->cmdCompress->isChecked());
        QCOMPARE(program.main->cmdCompress->text(), QStringLiteral("Compression is On"));
    }

    void aShallowDisplayEndsTheProgram_data() {
        QTest::addColumn<int>("bits");
        QTest::newRow("8") << 8;
        QTest::newRow("15") << 15;
    }

    void aShallowDisplayEndsTheProgram() {
        QFETCH(int, bits);
        RecordingDialogs dialogs;
        const QString folder = ScratchFolder();
        WriteTextFile(folder + QStringLiteral("/temp/left.bmp"), "x");
        StartedProgram program(bits, folder);
        QCOMPARE(dialogs.texts(), QStringList{kDepthMessage});
        QVERIFY(program.main->Ended());
        QVERIFY(program.main->form1Window()->isHidden() || !program.main->form1().isVisible());
        QVERIFY(!QFile::exists(folder + QStringLiteral("/temp/left.bmp")));
        // Closing the image window stored the settings.
        QVERIFY(ReadTextFile(program.ini()).contains("Default Color Depth=16-Bit"));
    }

    void sixteenBitsAreEnough() {
        RecordingDialogs dialogs;
        StartedProgram program(16);
        QVERIFY(!program.main->Ended());
        QCOMPARE(ScreenBits, 16);
        QVERIFY(dialogs.messages.empty());
    }

    void aSecondCopyLeavesTheFirstOnesFilesAlone() {
        RecordingDialogs dialogs;
        StartedProgram first;
        WriteTextFile(first.temp() + QStringLiteral("/temp8d.bmp"), "preview");
        WriteTextFile(first.temp() + QStringLiteral("/temp1.bin"), "candidate");
        const QByteArray settings = ReadTextFile(first.ini());
        auto second = std::make_unique<MDImain>(StartupOptions{first.folder, 24});
        QCOMPARE(dialogs.texts(), QStringList{"Mireo is already running. Please use the window that is open."});
        QCOMPARE(dialogs.messages[0].icon, MessageIcon::Information);
        QVERIFY(second->Ended());
        second.reset();
        QCOMPARE(&TheMainWindow(), first.main.get());
        QCOMPARE(ReadTextFile(first.temp() + QStringLiteral("/temp8d.bmp")), QByteArray("preview"));
        QCOMPARE(ReadTextFile(first.temp() + QStringLiteral("/temp1.bin")), QByteArray("candidate"));
        QCOMPARE(ReadTextFile(first.ini()), settings);
    }

    void theFolderIsFreeAgainAfterTheFirstCopyEnds() {
        RecordingDialogs dialogs;
        const QString folder = ScratchFolder();
        { StartedProgram first(24, folder); }
        StartedProgram second(24, folder);
        QVERIFY(!second.main->Ended());
        QVERIFY(dialogs.messages.empty());
    }

    void anUnwritableSettingsFileIsReported() {
        RecordingDialogs dialogs;
        const QString folder = ScratchFolder();
        QDir().mkpath(folder + QStringLiteral("/Mireo.ini"));
        StartedProgram program(24, folder);
        QCOMPARE(dialogs.texts(), (QStringList{"Failed to save value to Mireo.ini file.",
                                               "Failed to get value from Mireo.ini."}));
        QCOMPARE(dialogs.messages[0].icon, MessageIcon::Information);
        QCOMPARE(dialogs.messages[1].icon, MessageIcon::Information);
        QCOMPARE(CustomWidth, 320);
    }
};

class PaletteTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { FillPalettes(); }

    void palm8HoldsTheSystemPaletteEntryFirst() {
        auto rgb = [](int entry) {
            return QList<float>{Palm8Palette.at(entry, 0), Palm8Palette.at(entry, 1), Palm8Palette.at(entry, 2)};
        };
        QCOMPARE(rgb(0), (QList<float>{255, 255, 255}));
        QCOMPARE(rgb(1), (QList<float>{255, 204, 255}));
        QCOMPARE(rgb(2), (QList<float>{255, 153, 255}));
        QCOMPARE(rgb(6), (QList<float>{255, 255, 204}));
        QCOMPARE(rgb(18), (QList<float>{204, 255, 255}));
        QCOMPARE(rgb(108), (QList<float>{255, 255, 102}));
        QCOMPARE(rgb(214), (QList<float>{0, 51, 0}));
        QCOMPARE(rgb(215), (QList<float>{17, 17, 17}));
        QCOMPARE(rgb(224), (QList<float>{238, 238, 238}));
        QCOMPARE(rgb(225), (QList<float>{192, 192, 192}));
        QCOMPARE(rgb(226), (QList<float>{128, 0, 0}));
        QCOMPARE(rgb(229), (QList<float>{0, 128, 128}));
        for (int entry = 230; entry <= 256; ++entry) QCOMPARE(rgb(entry), (QList<float>{0, 0, 0}));
        for (int entry = 0; entry <= 256; ++entry) QCOMPARE(Palm8Palette.at(entry, 3), 0.0f);
        // The planes: all reds, then all greens, then all blues.
        QCOMPARE(Palm8Palette.values[1], 255.0f);
        QCOMPARE(Palm8Palette.values[257 + 1], 204.0f);
        QCOMPARE(Palm8Palette.values[2 * 257 + 6], 204.0f);
    }

    void palm8CubeHasEveryColourButBlackOnce() {
        QSet<int> colours;
        const QList<int> levels{255, 204, 153, 102, 51, 0};
        for (int entry = 0; entry < 215; ++entry) {
            int key = 0;
            for (int c = 0; c < 3; ++c) {
                const int value = static_cast<int>(Palm8Palette.at(entry, c));
                QVERIFY(levels.contains(value));
                key = key * 256 + value;
            }
            colours.insert(key);
        }
        QCOMPARE(colours.size(), 215);
        QVERIFY(!colours.contains(0));
    }

    void grey16HoldsSixteenGreys() {
        for (int entry = 0; entry < 16; ++entry)
            for (int c = 0; c < 3; ++c) QCOMPARE(Grey16Palette.at(entry, c), float(255 - 17 * entry));
        for (int c = 0; c < 4; ++c) QCOMPARE(Grey16Palette.at(16, c), 0.0f);
    }

    void descriptorsShowTheBounds() {
        const MireoArray palm8 = Palm8Palette.descriptor();
        QCOMPARE(palm8.dims, 2);
        QCOMPARE(palm8.elementSize, 4);
        QCOMPARE(palm8.count[0], 257);
        QCOMPARE(palm8.count[1], 4);
        QCOMPARE(palm8.lowerBound[0], 0);
        QCOMPARE(palm8.data, static_cast<void*>(Palm8Palette.values.data()));
        QCOMPARE(Grey16Palette.descriptor().count[0], 17);
    }
};

class BindingTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { mireocore::SetLibraryFile("libmireocore.so.1"); }

    void aMissingLibraryIsReportedByStartUp() {
        RecordingDialogs dialogs;
        mireocore::SetLibraryFile("libmireocore-missing.so.1");
        StartedProgram program;
        QCOMPARE(dialogs.texts(), QStringList{"Mireo could not load its image library (Error #53 File not found: "
                                              "libmireocore-missing.so.1). Pictures cannot be converted."});
        QVERIFY(!program.main->Ended());
    }

    void aMissingExportIsReportedByStartUp() {
        RecordingDialogs dialogs;
        mireocore::SetLibraryFile("libm.so.6");
        StartedProgram program;
        QCOMPARE(dialogs.texts(), QStringList{"Mireo could not load its image library (Error #453 Can't find DLL "
                                              "entry point MireoSetWindowSystem in libm.so.6). Pictures cannot be "
                                              "converted."});
    }

    void theLibraryShowsItsWindowsThroughTheProgram() {
        RecordingDialogs dialogs;
        StartedProgram program;
        QVERIFY(dialogs.messages.empty());
        const QByteArray caption = "Checking / Adjusting color palette...";
        MireoString text{const_cast<char*>(caption.constData()), int32_t(caption.size()), int32_t(caption.size())};
        const int32_t window = mireocore::Bound<decltype(::PROGRESS_INIT)>("PROGRESS_INIT")(0, &text);
        ProgressDialog* dialog = ProgressWindow(window);
        QVERIFY(dialog);
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->text(), QString::fromLatin1(caption));
        const QByteArray percent = " 37 %";
        MireoString step{const_cast<char*>(percent.constData()), int32_t(percent.size()), int32_t(percent.size())};
        mireocore::Bound<decltype(::PROGRESS_SET)>("PROGRESS_SET")(window, 37, &step);
        QCOMPARE(dialog->position(), 37);
        QCOMPARE(dialog->text(), QStringLiteral(" 37 %"));
        mireocore::Bound<decltype(::PROGRESS_SHUTDOWN)>("PROGRESS_SHUTDOWN")(window);
        QVERIFY(!ProgressWindow(window));
    }

    void libraryMessagesReachTheDialogs() {
        RecordingDialogs dialogs;
        const MireoWindowSystem& ws = QtWindowSystem();
        ws.messageBox(ws.context, "Error in dll module WriteBmp24 -  76 - Path not found", nullptr,
                      MIREO_ICON_INFORMATION);
        QCOMPARE(dialogs.texts(), QStringList{"Error in dll module WriteBmp24 -  76 - Path not found"});
        QCOMPARE(dialogs.messages[0].icon, MessageIcon::Information);
        QCOMPARE(dialogs.messages[0].caption, QStringLiteral("Mireo"));
    }

    void progressWindowsKeepTheirCancelLabelAndBounds() {
        const MireoWindowSystem& ws = QtWindowSystem();
        const int32_t window = ws.createProgress(ws.context, 0, "Working");
        QVERIFY(ws.isWindow(ws.context, window));
        QVERIFY(!ws.isWindowVisible(ws.context, window));
        ws.showProgress(ws.context, window);
        QVERIFY(ws.isWindowVisible(ws.context, window));
        ws.setProgressPosition(ws.context, window, 250);
        QCOMPARE(ProgressWindow(window)->position(), 100);
        char buffer[4] = {'x', 'x', 'x', 'x'};
        ws.readCancelLabel(ws.context, window, buffer, 4);
        QCOMPARE(buffer[0], '\0');
        ws.destroyProgress(ws.context, window);
        QVERIFY(!ws.isWindow(ws.context, window));
        QVERIFY(!ws.isWindowVisible(ws.context, window));
        ws.setProgressText(ws.context, window, "gone");  // a closed window is ignored
    }
};

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    StartupTest startup;
    PaletteTest palettes;
    BindingTest binding;
    int failures = QTest::qExec(&startup, argc, argv);
    failures |= QTest::qExec(&palettes, argc, argv);
    failures |= QTest::qExec(&binding, argc, argv);
    return failures;
}

#include "startup_test.moc"
