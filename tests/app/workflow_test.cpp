// The picture workflow up to the preview: the import and its checks, the
// previews and their cache, flips and turns of every working file.
#include <QImageWriter>
#include <QPainter>

#include "app_test_support.h"

namespace {

namespace im = mireo::imaging;

// Left half red, right half blue.
QImage redBlue(int width, int height) {
    QImage picture = Filled({width, height}, Qt::red);
    QPainter(&picture).fillRect(width / 2, 0, width - width / 2, height, Qt::blue);
    return picture;
}

struct Workflow : ProgramTest {
    QImage shown() { return form().picMain->pixmap().toImage().convertToFormat(QImage::Format_RGB32); }
    std::map<QString, QByteArray> contents() const {
        std::map<QString, QByteArray> all;
        for (const QString& name : workingFiles()) all[name] = ReadTextFile(temp(name));
        return all;
    }
};

// Each preview is made once and then only shown again: a marked copy stays
// as it is. A method chosen at 16 bits only moves the buttons.
TEST_F(Workflow, LoadsAtSixteenBitsAndMakesEachPreviewOnce) {
    load(redBlue(320, 480), QStringLiteral("Sun set.JPG"));
    EXPECT_EQ(std::tuple(takeMessages(), form().windowTitle()), std::tuple(QStringList{}, QStringLiteral("Sun set.JPG")));
    EXPECT_EQ(shown(), bmp("temp24bit.bmp"));
    click("optNearestCol");
    EXPECT_TRUE(program->button("optNearestCol")->isChecked() && program->button("opt16Bit")->isChecked());
    EXPECT_EQ(workingFiles(), (QStringList{"temp.bmp", "temp24bit.bmp"}));
    for (const char* name : {"opt8Bit", "optDithered"}) click(name);
    const std::pair<const char*, QRgb> marks[] = {
        {"temp24bit.bmp", qRgb(0, 255, 0)}, {"temp8n.bmp", qRgb(0, 255, 255)}, {"temp8d.bmp", qRgb(255, 0, 255)}};
    for (auto [name, colour] : marks) im::saveWorkingBmp(Filled({320, 480}, colour), temp(name).toStdString());
    for (auto [option, colour] : {std::pair{"opt16Bit", marks[0].second}, {"opt8Bit", marks[2].second},
                                  {"optNearestCol", marks[1].second}, {"optDithered", marks[2].second}}) {
        click(option);
        EXPECT_EQ(shown().pixel(5, 5), colour) << option;
    }
    EXPECT_TRUE(shared().ColorDepthBits == 8 && shared().Want8Bit && !shared().Want16Bit && shared().WantDithered);
    click("opt4Bit");
    EXPECT_EQ(shown(), bmp("temp4d.bmp"));
}

// The sides come from the header, before any pixel is decoded. A refused picture leaves no working file and, refused for its
// size, brings the logo back; one of no standard size opens the resize
// dialog. A photo's orientation tag turns it.
TEST_F(Workflow, ReadsTheSizeAndTurnFromTheHeaderAndRefusesBadFiles) {
    ASSERT_TRUE(redBlue(64, 64).save(file("small.jpg")));
    QByteArray huge = ReadTextFile(file("small.jpg"));
    const qsizetype frame = huge.indexOf("\xff\xc0");
    ASSERT_GT(frame, 0);
    for (qsizetype at : {frame + 5, frame + 7}) huge[at] = char(0xEA), huge[at + 1] = char(0x60);
    const char *const large = "Image is to large to process!", *const small = "Image is to small to process!";
    const char* const error = "Error loading file!";
    const std::tuple<const char*, QSize, QByteArray, const char*> cases[] = {  // a picture of the size, else the bytes
        {"p.bmp", {4001, 60}, {}, large}, {"p.bmp", {49, 300}, {}, small}, {"p.bmp", {450, 320}, {}, nullptr},
        {"huge.jpg", {}, huge, large},
        {"cut.jpg", {}, QByteArray::fromHex("ffd8ffe000104a4649460001"), error},
        {"bad.bmp", {}, "BM" + QByteArray(60, '\xff'), error}, {"not.gif", {}, "this is text", error},
        {"photo.jpeg", {}, "x", "Unsupported Image format!"}};
    for (const auto& [name, size, content, message] : cases) {
        program->main->EnableControls();  // the resize dialog of the case before leaves them off
        QFile::remove(temp("temp.bmp"));
        if (size.isValid()) load(QImage(size, QImage::Format_RGB32), QLatin1String(name));
        else WriteTextFile(file(QLatin1String(name)), content), load(file(QLatin1String(name)));
        EXPECT_EQ(takeMessages(), message ? QStringList{QLatin1String(message)} : QStringList{}) << name << " " << size;
        EXPECT_EQ(IsFormLoaded(QStringLiteral("frmResize")), !message) << name << " " << size;
        EXPECT_EQ(workingFiles().isEmpty(), message != nullptr) << name << " " << size;
        if (message && size.isValid()) { EXPECT_EQ(form().picMain->pixmap().size(), QSize(320, 320)) << "the logo"; }
        if (QWidget* resize = FindForm(QStringLiteral("frmResize"))) resize->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(!shared().ImageLoaded && program->button("cmdLoadPic")->isEnabled());
    }
    QImageWriter writer(file("phone.jpg"));
    writer.setTransformation(QImageIOHandler::TransformationRotate90);
    ASSERT_TRUE(writer.write(redBlue(320, 240)));
    load(file("phone.jpg"));
    EXPECT_EQ(bmp("temp.bmp").size(), QSize(240, 320));
}

// LoadImage follows the recorded options: no method, no preview; 4 bits go
// before 8. The image window keeps its minimum size.
TEST_F(Workflow, LoadImageFollowsTheRecordedOptions) {
    program->button("opt8Bit")->setChecked(true);
    program->main->SaveOptionStates();
    shared().WantDithered = shared().WantNearest = false;
    shared().CurrentFile = file("p.bmp");
    ASSERT_TRUE(redBlue(160, 160).save(shared().CurrentFile));
    form().LoadImage();
    EXPECT_EQ(workingFiles(), QStringList{"temp.bmp"});
    EXPECT_TRUE(form().picMain->pixmap().isNull() && form().lblPicSize->text().isEmpty());
    shared().Want4Bit = shared().WantNearest = true;
    form().LoadImage();
    EXPECT_EQ(workingFiles(), (QStringList{"temp.bmp", "temp4n.bmp"}));
    // Red (luma 76) and blue (29) become the greys nearest their brightness,
    // not the greys nearest their channel mean (85 and 85).
    EXPECT_EQ(std::tuple(shown().pixelColor(10, 10), shown().pixelColor(150, 10)),
              std::tuple(QColor(68, 68, 68), QColor(34, 34, 34)));
    form().picBuff = redBlue(50, 50);
    shared().ReloadFromBuffer = true;
    form().LoadImage();
    EXPECT_EQ(form().lblPicSize->text(), QStringLiteral("50 x 50 Pixels"));
    EXPECT_EQ(form().size(), QSize(133, 147)) << "2000 x 2200 twips";
}

// A save cut short leaves no half-written file; a failed preview keeps the
// picture on show.
TEST_F(Workflow, AFailedSaveLeavesNoHalfFileAndAFailedPreviewKeepsThePicture) {
    ASSERT_TRUE(redBlue(480, 480).save(file("p.bmp")));
    WithFileSizeLimit(100000, [this] { load(file("p.bmp")); });  // the picture's BMP needs 691254 bytes
    EXPECT_EQ(takeMessages(), QStringList{"Error loading file!"});
    EXPECT_TRUE(QDir(program->temp()).entryList({"*.bmp", "*.part"}, QDir::Files | QDir::Hidden).isEmpty());
    load(file("p.bmp"));
    const QImage before = shown();
    QDir().mkpath(temp("temp8d.bmp"));  // the library cannot put its file there
    click("opt8Bit");
    const QStringList shownMessages = takeMessages();
    ASSERT_EQ(shownMessages.size(), 2);
    EXPECT_TRUE(shownMessages[0].startsWith("Error in dll module WriteBmp8dith - ")) << shownMessages[0];
    EXPECT_EQ(std::tuple(shownMessages[1], shown()), std::tuple(QStringLiteral("Error loading image!"), before));
    EXPECT_TRUE(program->button("cmdLoadPic")->isEnabled());
}

// Every working file is mirrored or turned, and two flips or two opposite
// turns give them back. A preview that cannot be read is dropped; a temp.bmp
// that cannot be read stops the transform and leaves every file as it was.
TEST_F(Workflow, FlipsAndTurnsTransformEveryWorkingFile) {
    for (const char* name : {"cmdFlip_H", "cmdFlip_V", "cmdRotateL", "cmdRotateR", "opt8Bit", "opt4Bit", "opt16Bit"})
        click(name);
    EXPECT_TRUE(workingFiles().isEmpty()) << "without a picture nothing happens";
    QImage picture = redBlue(320, 480);
    QPainter(&picture).fillRect(0, 0, 320, 40, Qt::green);  // a green band at the top
    load(picture);
    for (const char* name : {"opt4Bit", "opt8Bit"}) click(name);
    auto before = contents();
    click("cmdFlip_H");
    EXPECT_EQ(std::tuple(bmp("temp.bmp").pixelColor(10, 100), bmp("temp24bit.bmp").pixelColor(310, 100)),
              std::tuple(QColor(Qt::blue), QColor(Qt::red)));
    for (const auto& [name, content] : contents()) EXPECT_NE(content, before.at(name)) << name;
    for (const char* name : {"cmdFlip_H", "cmdFlip_V"}) click(name);
    // Net one vertical flip: the band goes to the bottom, the halves stay.
    EXPECT_EQ(std::tuple(bmp("temp.bmp").pixelColor(10, 470), bmp("temp.bmp").pixelColor(10, 100)),
              std::tuple(QColor(Qt::green), QColor(Qt::red)));
    for (const auto& [name, content] : contents()) EXPECT_NE(content, before.at(name)) << name;
    click("cmdFlip_V");
    EXPECT_EQ(contents(), before);
    click("cmdRotateL");
    for (const QString& name : workingFiles()) EXPECT_EQ(bmp(name).size(), QSize(480, 320)) << name;
    EXPECT_EQ(form().lblPicSize->text(), QStringLiteral("480 x 320 Pixels"));
    EXPECT_EQ(form().width(), 480 + 15 + 18) << "the picture, its left margin and 275 twips";
    // A left turn is counter-clockwise: the red left half is now at the bottom.
    EXPECT_EQ(bmp("temp.bmp").pixelColor(240, 310), QColor(Qt::red));
    click("cmdRotateR");
    EXPECT_EQ(contents(), before);
    WriteTextFile(temp("temp24bit.bmp"), "broken");
    click("cmdFlip_V");
    EXPECT_EQ(workingFiles(), (QStringList{"temp.bmp", "temp4d.bmp", "temp8d.bmp"})) << "the broken preview is dropped";
    WriteTextFile(temp("temp.bmp"), "broken");
    before = contents();
    click("cmdFlip_V");
    EXPECT_EQ(takeMessages(), QStringList{"Error Processing Image!"});
    EXPECT_EQ(contents(), before);
}

} // namespace
