// Fitting a picture to a Palm screen: the resize dialog, the crop view and
// its rectangle, crop and stretch, the border colour dialog, the about box.
#include <QCheckBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>

#include "app_test_support.h"
#include "dialogs/crop_canvas.h"

namespace {

template <class T = QWidget>
T* child(const char* form, const char* name) {
    QWidget* window = FindForm(QLatin1String(form));
    return window ? window->findChild<T*>(QLatin1String(name)) : nullptr;
}

// The text of a label, box or button.
QString text(const char* form, const char* name) { return child(form, name)->property("text").toString(); }

void press(const char* form, const char* name) {
    QPushButton* button = child<QPushButton>(form, name);
    ASSERT_TRUE(button) << form << "." << name;
    button->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Red, green, blue and yellow quarters.
QImage quadrants(int width, int height) {
    const QRgb colours[] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 0)};
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) picture.setPixel(x, y, colours[(x >= width / 2) + 2 * (y >= height / 2)]);
    return picture;
}

struct FitDialogs : ProgramTest {
    CropCanvas& canvas() { return *child<CropCanvas>("frmCrop", "picResize"); }
    QColor canvasPixel(QPoint at) { return canvas().grab().toImage().pixelColor(at); }
    void importAndChoose(const QImage& picture, const char* sizeButton) { load(picture), press("frmResize", sizeButton); }
    // The sides typed key by key; the boxes refuse every key but a digit.
    void chooseCustom(const char* width, const char* height) {
        for (auto [box, typed] : {std::pair{"txtCustomWidth", width}, {"txtCustomHeight", height}}) {
            child<QLineEdit>("frmResize", box)->clear();
            QTest::keyClicks(child<QLineEdit>("frmResize", box), QLatin1String(typed));
        }
        press("frmResize", "cmd_custom_size");
    }
    void drag(Qt::MouseButton button, QPointF from, QPointF to) {
        QMouseEvent down(QEvent::MouseButtonPress, from, from, button, button, Qt::NoModifier);
        QMouseEvent move(QEvent::MouseMove, to, to, Qt::NoButton, button, Qt::NoModifier);
        QCoreApplication::sendEvent(&canvas(), &down);
        QCoreApplication::sendEvent(&canvas(), &move);
    }
};

TEST_F(FitDialogs, TheDialogsShowTheirControlsAndTheResizeDialogHandsOnToTheCropDialog) {
    load(QImage(450, 320, QImage::Format_RGB32));
    ASSERT_TRUE(IsFormLoaded(QStringLiteral("frmResize")));
    EXPECT_EQ(std::tuple(FindForm("frmResize")->pos(), child("frmResize", "lblWrongSize")->isHidden(),
                         text("frmResize", "lblInFileDims"), text("frmResize", "txtCustomWidth")),
              std::tuple(QPoint(13, 13), false, "450 X 320 Pixels", "320")) << "at 200 twips";
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
        {C, "cmdChangeBackColor", "Change Border Color", "If you include part of the border, you can change its color."},
        {B, "chkBackGray", "Lock to Grayscale", ""}, {B, "cmdCancel", "Cancel", ""}, {A, "cmdOK", "OK", ""},
        {A, "cmdSysInfo", "&System Info...", ""}};
    const auto check = [&controls](const char* which) {
        for (auto [dialog, name, caption, tooltip] : controls) {
            if (dialog != which) continue;
            QWidget* control = child(dialog, name);
            ASSERT_TRUE(control) << dialog << "." << name;
            EXPECT_EQ(std::tuple(control->property("text").toString(), control->toolTip(), control->accessibleName()),
                      std::tuple(QLatin1String(caption), QLatin1String(tooltip), QString(caption).remove('&')))
                << dialog << "." << name;
        }
    };
    check(R);
    EXPECT_FALSE(program->button("cmdLoadPic")->isEnabled());
    press("frmResize", "cmdResize320x480");
    EXPECT_EQ(std::tuple(shared().SizeChoice, FindForm("frmCrop")->pos()), std::tuple("320x480", QPoint(0, 0)));
    EXPECT_FALSE(IsFormLoaded(QStringLiteral("frmResize")) || program->button("cmdLoadPic")->isEnabled())
        << "the crop dialog is still open";
    press("frmCrop", "cmdChangeBackColor");
    program->main->cmdAbout_Click();  // its button waits for the crop dialog
    for (const char* which : {C, B, A}) check(which);
    // The about box: its version comes from the project's own CMakeLists.txt.
    const QString version = QRegularExpression(QStringLiteral("project\\(Mireo VERSION (\\d+\\.\\d+\\.\\d+)"))
        .match(ReadTextFile(QStringLiteral(__FILE__).section('/', 0, -4) + "/CMakeLists.txt")).captured(1);
    ASSERT_FALSE(version.isEmpty());
    EXPECT_EQ(std::tuple(FindForm(A)->windowTitle(), text(A, "lblTitle"), text(A, "lblVersion"), text(A, "lblDescription")),
              std::tuple("About Mireo", "Mireo", "Version " + version,
                         "Creates Native PDB background image files for Vantrel"));
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", ScratchFolder().toLocal8Bit());  // no system information tool to be found
    press("frmAbout", "cmdSysInfo");
    qputenv("PATH", path);
    EXPECT_EQ(takeMessages(), QStringList{"System Information Is Unavailable At This Time"});
    press("frmAbout", "cmdOK");
    EXPECT_FALSE(IsFormLoaded(QStringLiteral("frmAbout")));
}

// Custom Size tests the typed sides (the boxes take digits only, an empty
// one is 0, too many digits too large), Keep Original Size the picture's
// own. A custom size that passes is stored at once, even if the crop is
// cancelled.
TEST_F(FitDialogs, CustomAndOriginalSizesAreCheckedAndTheCustomOneStored) {
    const char* const aspect = "Incorrect aspect ratio! Must be less then 2:1.";
    const QSize wide(450, 320);
    // The picture, the typed sides (none: Keep Original Size) and the message.
    const std::tuple<QSize, const char*, const char*, const char*> cases[] = {
        {wide, "6x00", "300", ""}, {wide, "12px", "100", "Width is too small."}, {wide, "100", "", "Height is too small."},
        {wide, "99999999999", "300", "Width is too large."}, {wide, "500", "249", aspect}, {wide, nullptr, nullptr, ""},
        {{300, 560}, nullptr, nullptr, ""}, {{500, 240}, nullptr, nullptr, aspect},
        {{700, 400}, nullptr, nullptr, "Width is too large."}};
    for (auto [picture, width, height, message] : cases) {
        load(Filled(picture, Qt::blue));
        if (width) chooseCustom(width, height);
        else press("frmResize", "cmdKeepOrig");
        const auto digits = [](const char* typed) { return QByteArray(typed).replace("x", ""); };
        const QSize size = width ? QSize(digits(width).toInt(), digits(height).toInt()) : picture;
        EXPECT_EQ(takeMessages().join(""), QLatin1String(message)) << picture << (width ? width : " kept");
        EXPECT_EQ(IsFormLoaded(QStringLiteral("frmResize")), *message != 0);
        if (*message) {
            press("frmResize", "cmdCancelResize");
            continue;
        }
        EXPECT_EQ(std::tuple(shared().SizeChoice, QSize(shared().TargetWidth, shared().TargetHeight),
                             QSize(shared().CustomWidth, shared().CustomHeight)), std::tuple("Custom", size, size));
        if (width) {
            EXPECT_TRUE(ReadTextFile(program->ini()).contains("Width=" + digits(width) + "\nHeight=" + height + '\n'));
            press("frmCrop", "cmdCancel");
        } else {
            EXPECT_TRUE(shared().ImageLoaded && program->button("cmdLoadPic")->isEnabled());
            EXPECT_EQ(std::tuple(bmp("temp24bit.bmp").size(), form().lblPicSize->text()),
                      std::tuple(size, Form1::sizeText(size)));
        }
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
        QFile::remove(temp("lgtemp.bmp"));
        importAndChoose(Filled(c.picture, Qt::blue), "cmdResize160x160");
        EXPECT_EQ(std::tuple(shared().CropScale, canvas().size(), QPoint(shared().CropOffsetX, shared().CropOffsetY)),
                  std::tuple(c.scale, QSize(c.side, c.side), c.offset)) << c.picture;
        const QImage large = bmp("lgtemp.bmp");
        EXPECT_EQ(std::tuple(large.isNull() ? QSize() : large.size(), shared().LargeImageReduced),
                  std::tuple(c.large, c.large.isValid())) << c.picture;
        // The first and last pixels of the picture, and the border just outside them.
        const QPoint first = c.offset, last = c.offset + QPoint(c.shown.width() - 1, c.shown.height() - 1);
        const QPoint outward(first.x() > 0, first.y() > 0);
        for (QPoint at : {first, last}) EXPECT_EQ(canvasPixel(at), QColor(Qt::blue)) << c.picture;
        for (QPoint at : {first - outward, last + outward}) EXPECT_EQ(canvasPixel(at), QColor(Qt::white)) << c.picture;
        EXPECT_FALSE(child("frmCrop", "cmdChangeBackColor")->isHidden()) << c.picture;
        press("frmCrop", "cmdCancel");
    }
    importAndChoose(Filled({450, 450}, Qt::blue), "cmdResize160x160");
    EXPECT_TRUE(child("frmCrop", "cmdChangeBackColor")->isHidden() && child("frmCrop", "picBackColor")->isHidden())
        << "a square needs no border";
    press("frmCrop", "cmdCancel");
}

TEST_F(FitDialogs, TheRectangleMovesWithinTheCanvasAndKeepsTheTargetsProportions) {
    importAndChoose(Filled({450, 320}, Qt::blue), "cmdResize240x320");
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
    // The keys: plus and minus by one pixel of height, arrows by one pixel or, with Shift, by ten.
    QTest::keyClick(&canvas(), Qt::Key_Plus);
    EXPECT_EQ(canvas().CropRec().size(), QSizeF(25.5, 34));
    for (int i = 0; i < 2; ++i) QTest::keyClick(&canvas(), Qt::Key_Minus);
    EXPECT_EQ(canvas().CropRec().size(), QSizeF(24.75, 33)) << "the keys keep the floor too";
    QTest::keyClick(&canvas(), Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(&canvas(), Qt::Key_Down);
    EXPECT_EQ(canvas().CropRec().topLeft(), QPointF(20, 21));
}

// The colour dialog keeps its values in range, locks grey and cancels; OK
// shows the colour and puts the rectangle back. The crop's part off the
// picture is border colour, and the crop is scaled to the custom size.
TEST_F(FitDialogs, TheBorderColourFillsTheCropOffThePicture) {
    load(quadrants(300, 200));
    chooseCustom("100", "100");
    EXPECT_EQ(canvas().CropRec(), QRectF(125, 125, 50, 50));
    drag(Qt::LeftButton, {130, 130}, {0, 0});
    const auto box = [](const char* name) { return child<QLineEdit>("frmChangeBackColor", name); };
    const auto bar = [](const char* name) { return child<QScrollBar>("frmChangeBackColor", name); };
    const auto colour = [this] { return QColor(shared().BackRed, shared().BackGreen, shared().BackBlue); };
    press("frmCrop", "cmdChangeBackColor");
    EXPECT_EQ(box("TextBlue")->text(), QStringLiteral("255"));
    box("TextRed")->clear();
    QTest::keyClicks(box("TextRed"), "300");
    EXPECT_EQ(std::tuple(box("TextRed")->text(), bar("VScrollRed")->value()), std::tuple(QStringLiteral("0"), 0));
    box("TextGrn")->clear();
    EXPECT_EQ(box("TextGrn")->text(), QStringLiteral("0")) << "an empty box";
    for (const char* name : {"VScrollGrn", "VScrollBlue"}) bar(name)->setValue(7);
    child<QCheckBox>("frmChangeBackColor", "chkBackGray")->click();
    EXPECT_EQ(colour(), QColor(0, 0, 0)) << "the lock takes red";
    bar("VScrollGrn")->setValue(128);
    for (const char* name : {"TextRed", "TextGrn", "TextBlue"}) EXPECT_EQ(box(name)->text(), QStringLiteral("128")) << name;
    EXPECT_EQ(colour(), QColor(128, 128, 128));
    press("frmChangeBackColor", "cmdCancel");
    EXPECT_EQ(std::tuple(colour(), canvas().borderColor()), std::tuple(QColor(Qt::white), QColor(Qt::white)));
    press("frmCrop", "cmdChangeBackColor");
    for (auto [name, value] : {std::pair{"TextRed", "0"}, {"TextGrn", "128"}, {"TextBlue", "255"}})
        box(name)->setText(QLatin1String(value));
    press("frmChangeBackColor", "cmdOK");
    EXPECT_EQ(canvasPixel({10, 10}), QColor(0, 128, 255)) << "the picture starts at row 50";
    EXPECT_EQ(canvas().CropRec(), QRectF(0, 0, 50, 50)) << "the rectangle comes back where it was";
    drag(Qt::RightButton, {0, 0}, {0, 100});  // 150 x 150: rows 0 to 49 lie above the picture
    press("frmCrop", "cmdOK");
    const QImage cropped = bmp("temp.bmp");
    ASSERT_EQ(cropped.size(), QSize(100, 100));
    EXPECT_EQ(std::tuple(cropped.pixelColor(50, 10), cropped.pixelColor(50, 90), cropped.pixelColor(90, 50)),
              std::tuple(QColor(0, 128, 255), QColor(Qt::red), QColor(Qt::red)));
    EXPECT_TRUE(shared().ImageLoaded && program->button("cmdResizeImg")->isEnabled());
}

// Stretch in the program and in mireo-cli give the same database.
TEST_F(FitDialogs, StretchBuildsWhatTheCommandLineToolBuilds) {
    QImage source = quadrants(450, 300);
    for (int y = 0; y < 300; ++y) source.setPixel((y * 7) % 450, y, qRgb(y % 256, 40, 200));
    // Opening the resize dialog reads the settings again, compression included.
    WriteTextFile(program->ini(), "[Compression]\nUse Backimage Compression=True\nShow Compression Warning=False\n");
    click("opt4Bit");
    importAndChoose(source, "cmdResize320x480");
    child<QRadioButton>("frmCrop", "optStretch")->click();
    EXPECT_TRUE(child("frmCrop", "Label1")->isHidden() && !child("frmCrop", "lblStretch")->isHidden());
    EXPECT_EQ(canvas().size(), QSize(320, 480));
    press("frmCrop", "cmdOK");
    create(file("program.pdb"), QStringLiteral("Same"));
    const QStringList args{"convert", "--size", "320x480", "--fit", "stretch", "-b", "4", "-c", "-n", "Same", file("in.bmp")};
    EXPECT_EQ(ReadTextFile(file("program.pdb")), CliDatabase(args, file("cli.pdb")));
}

// Cancel and the close box give the controls back and the logo when no
// picture is on show; the picture on screen stays.
TEST_F(FitDialogs, CancelAndCloseLeaveThePictureOrTheLogo) {
    const std::tuple<bool, const char*, const char*> cases[] = {
        {false, "frmResize", "cmdCancelResize"}, {false, "frmCrop", "cmdCancel"}, {false, "frmCrop", ""},
        {true, "frmResize", "cmdCancelResize"},  {true, "frmCrop", "cmdCancel"},  {true, "frmResize", ""}};
    for (auto [onScreen, dialog, cancel] : cases) {
        const std::string what = std::string(onScreen ? "on screen " : "imported ") + dialog + cancel;
        load(Filled(onScreen ? QSize(320, 480) : QSize(450, 320), Qt::blue));
        if (onScreen) {
            click("cmdResizeImg");
            EXPECT_EQ(std::tuple(program->button("cmdResizeImg")->isEnabled(), FindForm("frmResize")->pos(),
                                 child("frmResize", "lblWrongSize")->isHidden(), text("frmResize", "lblInFileDims")),
                      std::tuple(false, QPoint(0, 0), true, "320 X 480"));
        }
        if (QLatin1String(dialog) == QLatin1String("frmCrop")) press("frmResize", "cmdResize160x160");
        if (*cancel) press(dialog, cancel);
        else FindForm(QLatin1String(dialog))->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(std::tuple(IsFormLoaded(QLatin1String(dialog)), shared().ImageLoaded, form().picMain->pixmap().size(),
                             form().lblPicSize->text()),
                  std::tuple(false, onScreen, QSize(320, onScreen ? 480 : 320), onScreen ? "320 x 480 Pixels" : "")) << what;
        EXPECT_TRUE(program->button("cmdLoadPic")->isEnabled() && program->button("cmdResizeImg")->isEnabled()) << what;
    }
}

} // namespace
