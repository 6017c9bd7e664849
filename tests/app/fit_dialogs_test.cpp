// Fitting a picture to a Palm screen: the resize dialog with its custom
// size and Keep Original Size, the crop view (scale, canvas, halving, the
// rectangle and its mouse and keyboard rules), crop and stretch on OK, the
// border colour dialog and the about box.
#include <QCheckBox>
#include <QClipboard>
#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include "app_test_support.h"
#include "dialogs/crop_canvas.h"
#include "imaging/working_bmp.h"
#include "windows/image_window.h"
#include "windows/loaded_forms.h"

namespace {

namespace im = mireo::imaging;

template <class T = QWidget>
T* child(const char* form, const char* name) {
    QWidget* window = FindForm(QLatin1String(form));
    return window ? window->findChild<T*>(QLatin1String(name)) : nullptr;
}

void press(const char* form, const char* name) {
    QPushButton* button = child<QPushButton>(form, name);
    ASSERT_TRUE(button) << form << "." << name;
    button->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QImage filled(QSize size, QColor color) {
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(color);
    return picture;
}

// Red, green, blue and yellow quarters.
QImage quadrants(int width, int height) {
    QImage picture = filled({width, height}, Qt::red);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (x >= width / 2 || y >= height / 2)
                picture.setPixel(x, y, y < height / 2  ? qRgb(0, 255, 0)
                                       : x < width / 2 ? qRgb(0, 0, 255)
                                                       : qRgb(255, 255, 0));
    return picture;
}

struct FitDialogs : testing::Test {
    RecordingDialogs dialogs;
    QString folder = ScratchFolder();
    std::unique_ptr<StartedProgram> program;

    void SetUp() override {
        WriteTextFile(folder + "/Mireo.ini", "[Color Reduction Method]\nType=Dithered\n");
        program = std::make_unique<StartedProgram>(24, folder);
    }
    SharedState& shared() { return program->shared; }
    Form1& form() { return program->main->form1(); }
    CropCanvas& canvas() { return *child<CropCanvas>("frmCrop", "picResize"); }
    void load(const QImage& picture, const char* name = "in.bmp") {
        picture.save(folder + '/' + name);
        dialogs.answers << folder + '/' + name;
        program->button("cmdLoadPic")->click();
    }
    // The resize dialog for an imported picture, then a fixed size.
    void importAndChoose(const QImage& picture, const char* sizeButton) {
        load(picture);
        press("frmResize", sizeButton);
    }
    void chooseCustom(const QString& width, const QString& height) {
        child<QLineEdit>("frmResize", "txtCustomWidth")->setText(width);
        child<QLineEdit>("frmResize", "txtCustomHeight")->setText(height);
        press("frmResize", "cmd_custom_size");
    }
    void drag(Qt::MouseButton button, QPointF from, QPointF to) {
        QMouseEvent down(QEvent::MouseButtonPress, from, from, button, button, Qt::NoModifier);
        QCoreApplication::sendEvent(&canvas(), &down);
        QMouseEvent move(QEvent::MouseMove, to, to, Qt::NoButton, button, Qt::NoModifier);
        QCoreApplication::sendEvent(&canvas(), &move);
    }
    QColor canvasPixel(int x, int y) { return canvas().grab().toImage().pixelColor(x, y); }
};

TEST_F(FitDialogs, TheResizeDialogSaysWhyItOpenedAndHandsOnToTheCropDialog) {
    load(QImage(450, 320, QImage::Format_RGB32));
    ASSERT_TRUE(IsFormLoaded(QStringLiteral("frmResize")));
    EXPECT_EQ(FindForm(QStringLiteral("frmResize"))->pos(), QPoint(13, 13)) << "200 twips";
    EXPECT_FALSE(child<QLabel>("frmResize", "lblWrongSize")->isHidden());
    EXPECT_EQ(child<QLabel>("frmResize", "lblInFileDims")->text(), QStringLiteral("450 X 320 Pixels"));
    EXPECT_EQ(child<QLineEdit>("frmResize", "txtCustomWidth")->text(), QStringLiteral("320"));
    // Every button's caption and tooltip, and its name for assistive tools.
    const char *const R = "frmResize", *C = "frmCrop", *B = "frmChangeBackColor", *A = "frmAbout";
    const char* const controls[][4] = {
        {R, "cmdResize160x160", "Resize to 160 X 160", ""}, {R, "cmdResize240x320", "Resize to 240 X 320", ""},
        {R, "cmdResize320x320", "Resize to 320 X 320", ""}, {R, "cmdResize320x450", "Resize to 320 X 450", ""},
        {R, "cmdResize320x480", "Resize to 320 X 480", ""}, {R, "cmdResize480x320", "Resize to 480 X 320", ""},
        {R, "cmdResize480x480", "Resize to 480 X 480", ""}, {R, "cmd_custom_size", "Custom Size", ""},
        {R, "cmdKeepOrig", "Keep Original Size", ""}, {R, "cmdCancelResize", "Cancel", ""}, {C, "cmdOK", "OK", ""},
        {C, "optMaintainAspect", "Crop", "Resize your image by cropping."}, {C, "cmdCancel", "Cancel", ""},
        {C, "optStretch", "Stretch", "Stretch image to fit the size you selected."}, {B, "cmdOK", "OK", ""},
        {C, "cmdChangeBackColor", "Change Border Color",
         "If you include part of the border, you can change its color."},
        {B, "chkBackGray", "Lock to Grayscale", ""}, {B, "cmdCancel", "Cancel", ""}, {A, "cmdOK", "OK", ""},
        {A, "cmdSysInfo", "&System Info...", ""}};
    const auto check = [&controls](const char* which) {
        for (auto [dialog, name, text, tooltip] : controls) {
            if (dialog != which) continue;
            QWidget* control = child(dialog, name);
            ASSERT_TRUE(control) << dialog << "." << name;
            EXPECT_EQ(control->property("text").toString(), QLatin1String(text)) << dialog << "." << name;
            EXPECT_EQ(control->toolTip(), QLatin1String(tooltip)) << dialog << "." << name;
            EXPECT_EQ(control->accessibleName(), QString(text).remove('&')) << dialog << "." << name;
        }
    };
    check(R);
    EXPECT_FALSE(program->button("cmdLoadPic")->isEnabled());
    press("frmResize", "cmdResize320x480");
    EXPECT_EQ(shared().SizeChoice, QStringLiteral("320x480"));
    EXPECT_EQ(FindForm(QStringLiteral("frmCrop"))->pos(), QPoint(0, 0));
    EXPECT_FALSE(IsFormLoaded(QStringLiteral("frmResize")));
    EXPECT_FALSE(program->button("cmdLoadPic")->isEnabled()) << "the crop dialog is still open";
    press("frmCrop", "cmdChangeBackColor");
    program->main->cmdAbout_Click();  // its button waits for the crop dialog
    for (const char* which : {C, B, A}) check(which);
    EXPECT_EQ(FindForm(QStringLiteral("frmCrop"))->windowTitle(), QStringLiteral("Resize Image"));
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.texts().join("|").toStdString();
}

TEST_F(FitDialogs, ACustomSizeIsCheckedInOrderAndStoredAtOnce) {
    const char* const cases[][3] = {
        {"50", "50", ""},     {"600", "600", ""},   {"49", "100", "Width is too small."}, {"600", "300", ""},
        {"300", "600", ""},   {"100", "", "Height is too small."}, {"100", "601", "Height is too large."},
        {"601", "300", "Width is too large."}, {"500", "249", "Incorrect aspect ratio! Must be less then 2:1."},
        {"", "100", "Width is too small."}};
    for (auto [width, height, message] : cases) {
        dialogs.messages.clear();
        load(QImage(450, 320, QImage::Format_RGB32));
        chooseCustom(QLatin1String(width), QLatin1String(height));
        const QString size = QStringLiteral("%1 x %2").arg(width, height);
        if (*message) {
            EXPECT_EQ(dialogs.texts(), QStringList{QLatin1String(message)}) << size.toStdString();
            EXPECT_FALSE(IsFormLoaded(QStringLiteral("frmCrop")));
            press("frmResize", "cmdCancelResize");
            continue;
        }
        EXPECT_TRUE(dialogs.messages.empty()) << size.toStdString();
        EXPECT_EQ(shared().SizeChoice, QStringLiteral("Custom"));
        const QByteArray w(width), h(height), ini = ReadTextFile(folder + "/Mireo.ini");
        EXPECT_EQ(QSize(shared().TargetWidth, shared().TargetHeight), QSize(w.toInt(), h.toInt()));
        EXPECT_TRUE(ini.contains("Width=" + w + '\n') && ini.contains("Height=" + h + '\n')) << ini.toStdString();
        press("frmCrop", "cmdCancel");
    }
    load(QImage(450, 320, QImage::Format_RGB32));
    QLineEdit* width = child<QLineEdit>("frmResize", "txtCustomWidth");
    width->clear();
    QTest::keyClicks(width, "4a5-0 ");
    EXPECT_EQ(width->text(), QStringLiteral("450"));
    QGuiApplication::clipboard()->setText(QStringLiteral("12px"));
    width->clear();
    width->paste();
    EXPECT_EQ(width->text(), QString()) << "a paste with letters is refused";
}

// Keep Original Size tests the picture's own sides, whatever the preview shows.
TEST_F(FitDialogs, KeepOriginalSizeJudgesThePictureItself) {
    const std::pair<QSize, const char*> cases[] = {{{450, 320}, ""},
                                                   {{300, 560}, ""},
                                                   {{500, 240}, "Incorrect aspect ratio! Must be less then 2:1."},
                                                   {{250, 120}, "Incorrect aspect ratio! Must be less then 2:1."},
                                                   {{700, 400}, "Width is too large."}};
    for (auto [size, message] : cases) {
        dialogs.messages.clear();
        load(filled(size, Qt::blue));
        press("frmResize", "cmdKeepOrig");
        EXPECT_EQ(dialogs.texts().join(""), QLatin1String(message)) << size.width() << "x" << size.height();
        if (*message) {
            press("frmResize", "cmdCancelResize");
            continue;
        }
        EXPECT_TRUE(shared().ImageLoaded);
        EXPECT_EQ(im::readWorkingBmp(program->temp() + "/temp24bit.bmp").size(), size);
        EXPECT_EQ(form().lblPicSize->text(), Form1::sizeText(size));
        EXPECT_EQ(QSize(shared().CustomWidth, shared().CustomHeight), size);
        EXPECT_FALSE(IsFormLoaded(QStringLiteral("frmResize")));
        EXPECT_TRUE(program->button("cmdLoadPic")->isEnabled());
    }
}

// The picture sits centred on a square canvas of the border colour, shrunk
// by CropScale; pictures over 2400 pixels are worked on at half their size.
TEST_F(FitDialogs, TheCropViewScalesCentresAndHalvesThePicture) {
    struct Case { QSize picture; double scale; int side; QPoint offset; QSize shown, large; };  // large: lgtemp.bmp
    const Case cases[] = {{{3000, 2000}, 4, 375, {0, 62}, {375, 250}, {1500, 1000}},
                          {{2401, 1000}, 3, 400, {0, 117}, {400, 166}, {1200, 500}},
                          {{1000, 2400}, 5, 480, {140, 0}, {200, 480}, {}},
                          {{601, 300}, 2, 300, {0, 75}, {300, 150}, {}},
                          {{100, 80}, 0.5, 200, {0, 20}, {200, 160}, {}},
                          {{149, 200}, 0.5, 400, {52, 0}, {298, 400}, {}}};
    for (const Case& c : cases) {
        const std::string what = std::to_string(c.picture.width()) + "x" + std::to_string(c.picture.height());
        QFile::remove(program->temp() + "/lgtemp.bmp");
        importAndChoose(filled(c.picture, Qt::blue), "cmdResize160x160");
        EXPECT_EQ(shared().CropScale, c.scale) << what;
        EXPECT_EQ(canvas().size(), QSize(c.side, c.side)) << what;
        EXPECT_EQ(QPoint(shared().CropOffsetX, shared().CropOffsetY), c.offset) << what;
        const QImage large = im::readWorkingBmp(program->temp() + "/lgtemp.bmp");
        EXPECT_EQ(large.isNull() ? QSize() : large.size(), c.large) << what;
        EXPECT_EQ(shared().LargeImageReduced, c.large.isValid()) << what;
        const QPoint first = c.offset, last = c.offset + QPoint(c.shown.width() - 1, c.shown.height() - 1);
        EXPECT_EQ(canvasPixel(first.x(), first.y()), QColor(Qt::blue)) << what;
        EXPECT_EQ(canvasPixel(last.x(), last.y()), QColor(Qt::blue)) << what;
        const QPoint outward(first.x() > 0, first.y() > 0), before = first - outward, after = last + outward;
        EXPECT_EQ(canvasPixel(before.x(), before.y()), QColor(Qt::white)) << what;
        EXPECT_EQ(canvasPixel(after.x(), after.y()), QColor(Qt::white)) << what;
        EXPECT_FALSE(child<QPushButton>("frmCrop", "cmdChangeBackColor")->isHidden()) << what;
        press("frmCrop", "cmdCancel");
    }
    importAndChoose(filled({450, 450}, Qt::blue), "cmdResize160x160");
    EXPECT_TRUE(child<QPushButton>("frmCrop", "cmdChangeBackColor")->isHidden()) << "a square needs no border";
    EXPECT_TRUE(child<QLabel>("frmCrop", "picBackColor")->isHidden());
    press("frmCrop", "cmdCancel");
    QImage stripes = filled({2600, 1000}, Qt::black);  // halved by averaging, black and white columns make grey
    for (int x = 0; x < 2600; x += 2)
        for (int y = 0; y < 1000; ++y) stripes.setPixel(x, y, qRgb(255, 255, 255));
    importAndChoose(stripes, "cmdResize160x160");
    const QColor halved = im::readWorkingBmp(program->temp() + "/lgtemp.bmp").pixelColor(650, 250);
    EXPECT_NEAR(halved.red(), 128, 32);
}

TEST_F(FitDialogs, TheRectangleMovesWithinTheCanvasAndKeepsTheTargetsProportions) {
    importAndChoose(filled({450, 320}, Qt::blue), "cmdResize240x320");
    EXPECT_EQ(canvas().CropRec(), QRectF(165, 145, 120, 160)) << "half the target, centred";
    drag(Qt::RightButton, {200, 200}, {200, 210});
    EXPECT_EQ(canvas().CropRec(), QRectF(165, 145, 127.5, 170));
    drag(Qt::LeftButton, {200, 200}, {-300, -300});
    EXPECT_EQ(canvas().CropRec().topLeft(), QPointF(0, 0));
    drag(Qt::LeftButton, {0, 0}, {1000, 1000});
    EXPECT_EQ(canvas().CropRec().topLeft(), QPointF(0, 0)) << "past the right and bottom edges";
    drag(Qt::LeftButton, {0, 0}, {10, 20});
    EXPECT_EQ(canvas().CropRec().topLeft(), QPointF(10, 20));
    for (int y = 300; y > 0; --y) drag(Qt::RightButton, {5, double(y)}, {5, double(y - 1)});
    // Shrinking stops at the first step that leaves a side under 25.
    EXPECT_EQ(canvas().CropRec().size(), QSizeF(24.75, 33));
    QTest::keyClick(&canvas(), Qt::Key_Plus);
    EXPECT_EQ(canvas().CropRec().size(), QSizeF(25.5, 34));
    QTest::keyClick(&canvas(), Qt::Key_Minus);
    QTest::keyClick(&canvas(), Qt::Key_Minus);
    EXPECT_EQ(canvas().CropRec().size(), QSizeF(24.75, 33)) << "the keys keep the floor too";
    QTest::keyClick(&canvas(), Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(&canvas(), Qt::Key_Down);
    EXPECT_EQ(canvas().CropRec().topLeft(), QPointF(20, 21));
    for (int i = 0; i < 5; ++i) QTest::keyClick(&canvas(), Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(canvas().CropRec().topLeft(), QPointF(20, 0));
    for (int i = 0; i < 50; ++i) QTest::keyClick(&canvas(), Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_LE(canvas().CropRec().right(), 450);
    EXPECT_GT(canvas().CropRec().right(), 440);
}

// The part of the rectangle off the picture becomes border colour, chosen
// in the colour dialog; the crop is then scaled to the custom size.
TEST_F(FitDialogs, OkCropsAtFullSizeWithTheBorderColourOffThePicture) {
    load(quadrants(300, 200));
    chooseCustom(QStringLiteral("100"), QStringLiteral("100"));
    EXPECT_EQ(canvas().CropRec(), QRectF(125, 125, 50, 50));
    drag(Qt::LeftButton, {130, 130}, {0, 0});
    press("frmCrop", "cmdChangeBackColor");
    const std::pair<const char*, const char*> colour[] = {{"TextRed", "0"}, {"TextGrn", "128"}, {"TextBlue", "255"}};
    for (auto [box, value] : colour) child<QLineEdit>("frmChangeBackColor", box)->setText(QLatin1String(value));
    press("frmChangeBackColor", "cmdOK");
    EXPECT_EQ(canvas().borderColor(), QColor(0, 128, 255));
    EXPECT_EQ(canvas().CropRec(), QRectF(0, 0, 50, 50)) << "the rectangle comes back where it was";
    drag(Qt::RightButton, {0, 0}, {0, 100});  // 150 x 150: rows 0 to 49 lie above the picture
    press("frmCrop", "cmdOK");
    const QImage result = im::readWorkingBmp(program->temp() + "/temp.bmp");
    ASSERT_EQ(result.size(), QSize(100, 100));
    EXPECT_EQ(result.pixelColor(50, 10), QColor(0, 128, 255));
    EXPECT_EQ(result.pixelColor(50, 90), QColor(Qt::red));
    EXPECT_EQ(result.pixelColor(90, 50), QColor(Qt::red));
    EXPECT_TRUE(shared().ImageLoaded);
    EXPECT_EQ(form().lblPicSize->text(), QStringLiteral("100 x 100 Pixels"));
    EXPECT_FALSE(IsFormLoaded(QStringLiteral("frmCrop")));
    EXPECT_TRUE(program->button("cmdLoadPic")->isEnabled() && program->button("cmdResizeImg")->isEnabled());
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.texts().join("|").toStdString();
}

TEST_F(FitDialogs, TheColourDialogKeepsItsValuesInRangeLocksGreyAndCancels) {
    importAndChoose(quadrants(450, 320), "cmdResize160x160");
    press("frmCrop", "cmdChangeBackColor");
    const auto text = [](const char* name) { return child<QLineEdit>("frmChangeBackColor", name); };
    const auto bar = [](const char* name) { return child<QScrollBar>("frmChangeBackColor", name); };
    EXPECT_EQ(text("TextBlue")->text(), QStringLiteral("255"));
    text("TextRed")->clear();
    QTest::keyClicks(text("TextRed"), "300");
    EXPECT_EQ(text("TextRed")->text(), QStringLiteral("0"));
    EXPECT_EQ(bar("VScrollRed")->value(), 0);
    text("TextGrn")->clear();
    EXPECT_EQ(text("TextGrn")->text(), QStringLiteral("0"));
    QTest::keyClicks(text("TextGrn"), "x");
    EXPECT_EQ(text("TextGrn")->text(), QStringLiteral("0")) << "letters are refused";
    EXPECT_EQ(shared().BackGreen, 0);
    bar("VScrollBlue")->setValue(7);
    child<QCheckBox>("frmChangeBackColor", "chkBackGray")->click();
    EXPECT_EQ(QColor(shared().BackRed, shared().BackGreen, shared().BackBlue), QColor(0, 0, 0)) << "the lock takes red";
    bar("VScrollGrn")->setValue(128);
    for (const char* name : {"TextRed", "TextGrn", "TextBlue"})
        EXPECT_EQ(text(name)->text(), QStringLiteral("128")) << name;
    EXPECT_EQ(QColor(shared().BackRed, shared().BackGreen, shared().BackBlue), QColor(128, 128, 128));
    press("frmChangeBackColor", "cmdCancel");
    EXPECT_EQ(QColor(shared().BackRed, shared().BackGreen, shared().BackBlue), QColor(Qt::white));
    EXPECT_EQ(canvas().borderColor(), QColor(Qt::white)) << "the view keeps its colour";
}

// Stretch in the program and in mireo-cli give the same database.
TEST_F(FitDialogs, StretchBuildsWhatTheCommandLineToolBuilds) {
    qputenv("SOURCE_DATE_EPOCH", "1700000000");
    const std::tuple<const char*, const char*, const char*, bool> choices[] = {
        {"16", "optDithered", "diffused", false}, {"8", "optNearestCol", "nearest", false},
        {"4", "optDithered", "diffused", false},  {"8", "optDithered", "diffused", true}};
    QImage picture = quadrants(450, 300);
    for (int y = 0; y < 300; ++y) picture.setPixel((y * 7) % 450, y, qRgb(y % 256, 40, 200));
    for (auto [depth, option, method, compress] : choices) {
        // Opening the resize dialog reads the settings again, compression included.
        if (compress) WriteTextFile(folder + "/Mireo.ini", "[Compression]\nUse Backimage Compression=True\n");
        shared().ShowCompressionWarning = false;
        if (program->button("cmdCompress")->isChecked() != compress) program->button("cmdCompress")->click();
        program->button(option)->click();
        program->button(("opt" + std::string(depth) + "Bit").c_str())->click();
        importAndChoose(picture, "cmdResize320x480");
        child<QRadioButton>("frmCrop", "optStretch")->click();
        EXPECT_TRUE(child("frmCrop", "Label1")->isHidden() && !child("frmCrop", "lblStretch")->isHidden());
        EXPECT_EQ(canvas().size(), QSize(320, 480));
        press("frmCrop", "cmdOK");
        program->main->findChild<QLineEdit*>(QStringLiteral("txtPDBname"))->setText(QStringLiteral("Same"));
        dialogs.answers << folder + "/program.pdb";
        program->button("cmdCreatePDB")->click();
        QProcess cli;
        QStringList args{"convert", "--size", "320x480", "--fit", "stretch", "-b", depth, "-m", method, "-n", "Same"};
        args << "-o" << folder + "/cli.pdb" << folder + "/in.bmp" << (compress ? "-c" : "--");
        cli.start(QStringLiteral(MIREO_CLI), args);
        ASSERT_TRUE(cli.waitForFinished(60000));
        ASSERT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
        EXPECT_EQ(ReadTextFile(folder + "/program.pdb"), ReadTextFile(folder + "/cli.pdb")) << depth << method;
    }
    qunsetenv("SOURCE_DATE_EPOCH");
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.texts().join("|").toStdString();
}

// Cancel and the close box give the controls back and the logo when no
// picture is on show; the picture on screen stays.
TEST_F(FitDialogs, CancelAndCloseLeaveThePictureOrTheLogo) {
    const std::tuple<bool, const char*, const char*> cases[] = {
        {false, "frmResize", "cmdCancelResize"}, {false, "frmCrop", "cmdCancel"}, {false, "frmCrop", ""},
        {true, "frmResize", "cmdCancelResize"},  {true, "frmCrop", "cmdCancel"},  {true, "frmResize", ""}};
    for (auto [onScreen, dialog, cancel] : cases) {
        const std::string what = std::string(onScreen ? "on screen " : "imported ") + dialog + " " + cancel;
        if (onScreen) {
            load(filled({320, 480}, Qt::blue));
            program->button("cmdResizeImg")->click();
            EXPECT_FALSE(program->button("cmdResizeImg")->isEnabled()) << what;
            EXPECT_EQ(FindForm("frmResize")->pos(), QPoint(0, 0)) << what;
            EXPECT_TRUE(child<QLabel>("frmResize", "lblWrongSize")->isHidden()) << what;
            EXPECT_EQ(child<QLabel>("frmResize", "lblInFileDims")->text(), QStringLiteral("320 X 480")) << what;
        } else {
            load(filled({450, 320}, Qt::blue));
        }
        if (QLatin1String(dialog) == QLatin1String("frmCrop")) press("frmResize", "cmdResize160x160");
        if (*cancel) press(dialog, cancel);
        else FindForm(QLatin1String(dialog))->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_FALSE(IsFormLoaded(QLatin1String(dialog))) << what;
        EXPECT_EQ(shared().ImageLoaded, onScreen) << what;
        EXPECT_EQ(form().picMain->pixmap().size(), onScreen ? QSize(320, 480) : QSize(320, 320)) << what;
        EXPECT_EQ(form().lblPicSize->text(), onScreen ? QStringLiteral("320 x 480 Pixels") : QString()) << what;
        EXPECT_TRUE(program->button("cmdLoadPic")->isEnabled() && program->button("cmdResizeImg")->isEnabled());
    }
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.texts().join("|").toStdString();
}

// The version comes from the project's own CMakeLists.txt.
TEST_F(FitDialogs, TheAboutBoxShowsTheVersionAndStartsSystemInformation) {
    const QByteArray project = ReadTextFile(QStringLiteral(__FILE__).section('/', 0, -4) + "/CMakeLists.txt");
    const QRegularExpression declared(QStringLiteral("project\\(Mireo VERSION (\\d+\\.\\d+\\.\\d+)"));
    const QString version = declared.match(QString::fromUtf8(project)).captured(1);
    ASSERT_FALSE(version.isEmpty());
    program->button("cmdAbout")->click();
    EXPECT_EQ(FindForm("frmAbout")->windowTitle(), QStringLiteral("About Mireo"));
    EXPECT_EQ(child<QLabel>("frmAbout", "lblTitle")->text(), QStringLiteral("Mireo"));
    EXPECT_EQ(child<QLabel>("frmAbout", "lblVersion")->text(), "Version " + version);
    EXPECT_EQ(child<QLabel>("frmAbout", "lblDescription")->text(),
              QStringLiteral("Creates Native PDB background image files for Vantrel"));
    const QByteArray path = qgetenv("PATH");
    const QString tools = ScratchFolder();
    qputenv("PATH", tools.toLocal8Bit());
    press("frmAbout", "cmdSysInfo");
    EXPECT_EQ(dialogs.texts(), QStringList{"System Information Is Unavailable At This Time"});
    WriteTextFile(tools + "/hardinfo", "#!/bin/sh\n: > \"$0.ran\"\n");  // no PATH needed
    QFile::setPermissions(tools + "/hardinfo", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    press("frmAbout", "cmdSysInfo");
    qputenv("PATH", path);
    for (int wait = 0; wait < 100 && !QFile::exists(tools + "/hardinfo.ran"); ++wait) QTest::qWait(50);
    EXPECT_TRUE(QFile::exists(tools + "/hardinfo.ran") && dialogs.messages.size() == 1);
    press("frmAbout", "cmdOK");
    EXPECT_FALSE(IsFormLoaded(QStringLiteral("frmAbout")));
}

} // namespace
