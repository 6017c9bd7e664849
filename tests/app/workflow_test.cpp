// The picture workflow up to the preview: import through the dialog, the
// size and type checks, the previews of each depth and method with their
// cache, flips and turns of every working file, and bad input.
#include <sys/resource.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QLabel>
#include <QToolButton>
#include <csignal>
#include <gtest/gtest.h>

#include "app_test_support.h"
#include "imaging/working_bmp.h"
#include "program/library_binding.h"
#include "windows/image_window.h"
#include "windows/loaded_forms.h"

namespace {

namespace im = mireo::imaging;

// The library as the program binds it, with every call written down.
std::vector<std::string> calls;

std::string lastName(const MireoString* path) {
    const std::string text(path->text, static_cast<std::size_t>(path->length));
    return text.substr(text.rfind('/') + 1);
}

void reduce24(const MireoArray* b, const int32_t* w, const int32_t* h, const MireoString* f, const int32_t* d) {
    calls.push_back("WriteBmp24 " + lastName(f));
    mireocore::BoundLibrary().WriteBmp24(b, w, h, f, d);
}
#define COUNTED_REDUCTION(name)                                                                                  \
    void name(const MireoArray* b, const MireoArray* p, const int32_t* w, const int32_t* h, const MireoString* f, \
              const int32_t* d) {                                                                                \
        calls.push_back(#name " " + lastName(f));                                                                \
        mireocore::BoundLibrary().name(b, p, w, h, f, d);                                                       \
    }
COUNTED_REDUCTION(WriteBmp8)
COUNTED_REDUCTION(WriteBmp8dith)
COUNTED_REDUCTION(WriteBmp4)
COUNTED_REDUCTION(WriteBmp4dith)
void rotate(const MireoString* f, const MireoString* d) {
    const std::string name = lastName(f);  // the hidden copy ".temp.bmp.<pid>.<n>.part"
    calls.push_back("RotateImg " + name.substr(1, name.find(".bmp") + 3) + " " +
                    std::string(d->text, static_cast<std::size_t>(d->length)));
    mireocore::BoundLibrary().RotateImg(f, d);
}

const im::Library& countingLibrary() {
    static const im::Library table = [] {
        im::Library t = mireocore::BoundLibrary();
        t.WriteBmp24 = reduce24;
        t.WriteBmp8 = WriteBmp8;
        t.WriteBmp8dith = WriteBmp8dith;
        t.WriteBmp4 = WriteBmp4;
        t.WriteBmp4dith = WriteBmp4dith;
        t.RotateImg = rotate;
        return t;
    }();
    return table;
}

// Left half red, right half blue.
QImage redBlue(int width, int height) {
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(Qt::red);
    for (int y = 0; y < height; ++y)
        for (int x = width / 2; x < width; ++x) picture.setPixel(x, y, qRgb(0, 0, 255));
    return picture;
}

struct Workflow : testing::Test {
    RecordingDialogs dialogs;
    QString folder = ScratchFolder();
    std::unique_ptr<StartedProgram> program;

    void SetUp() override {
        calls.clear();
        WriteTextFile(folder + "/Mireo.ini", "[Color Reduction Method]\nType=Dithered\n");
        program = std::make_unique<StartedProgram>(24, folder, &countingLibrary());
    }
    QString temp(const QString& name) const { return program->temp() + '/' + name; }
    SharedState& shared() { return program->shared; }
    Form1& form() { return program->main->form1(); }
    QString picture(const QImage& image, const QString& name) {
        const QString path = folder + "/pictures/" + name;
        QDir().mkpath(folder + "/pictures");
        EXPECT_TRUE(image.save(path, nullptr, 95)) << name.toStdString();
        return path;
    }
    void load(const QString& path) {
        dialogs.answers << path;
        program->button("cmdLoadPic")->click();
    }
    void click(const char* name) { program->button(name)->click(); }
    QSize sizeOf(const QString& name) const { return im::readWorkingBmp(temp(name)).size(); }
    QStringList workingFiles() const {
        return QDir(program->temp()).entryList({"*.bmp"}, QDir::Files, QDir::Name);
    }
};

TEST_F(Workflow, LoadsAStandardPictureAtSixteenBits) {
    load(picture(redBlue(320, 320), "Sun set.JPG"));
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.texts().join("|").toStdString();
    ASSERT_EQ(dialogs.fileDialogs.size(), 1u);
    EXPECT_EQ(dialogs.fileDialogs[0].title, QStringLiteral("Load Picture"));
    EXPECT_EQ(workingFiles(), (QStringList{"temp.bmp", "temp24bit.bmp"}));
    EXPECT_EQ(calls, std::vector<std::string>{"WriteBmp24 temp24bit.bmp"});
    EXPECT_EQ(form().windowTitle(), QStringLiteral("Sun set.JPG"));
    EXPECT_EQ(form().lblPicSize->text(), QStringLiteral("320 x 320 Pixels"));
    EXPECT_EQ(form().picMain->pixmap().toImage().convertToFormat(QImage::Format_RGB32),
              im::readWorkingBmp(temp("temp24bit.bmp")));
    EXPECT_TRUE(shared().ImageLoaded);
    for (const char* name : {"cmdCreatePDB", "cmdExportImg", "cmdResizeImg", "cmdFlip_H", "cmdRotateR"})
        EXPECT_TRUE(program->button(name)->isEnabled()) << name;
    EXPECT_EQ(form().width(), 320 + 15 + 18) << "the picture, its left margin and 275 twips";
}

TEST_F(Workflow, ChecksTheSizeFromTheHeaderWidthFirst) {
    const std::pair<QSize, const char*> cases[] = {
        {{4001, 60}, "Image is to large to process!"}, {{60, 4001}, "Image is to large to process!"},
        {{4000, 4000}, nullptr},
        {{5000, 10}, "Image is to large to process!"}, {{49, 300}, "Image is to small to process!"},
        {{300, 49}, "Image is to small to process!"},  {{4000, 60}, nullptr}, {{450, 320}, nullptr}};
    for (auto [size, message] : cases) {
        dialogs.messages.clear();
        program->main->EnableControls();  // a picture of no standard size leaves them to the resize dialog
        load(picture(QImage(size, QImage::Format_RGB32), QStringLiteral("p.bmp")));
        // A picture of no standard size goes to the resize dialog without a message.
        EXPECT_EQ(dialogs.texts(), message ? QStringList{QLatin1String(message)} : QStringList{})
            << size.width() << "x" << size.height();
        EXPECT_EQ(IsFormLoaded(QStringLiteral("frmResize")), !message) << size.width() << "x" << size.height();
        if (QWidget* resize = FindForm(QStringLiteral("frmResize"))) resize->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_FALSE(shared().ImageLoaded);
    }
}

TEST_F(Workflow, APictureTooLargeShowsTheLogoAgain) {
    load(picture(QImage(4001, 60, QImage::Format_RGB32), QStringLiteral("p.bmp")));
    EXPECT_EQ(form().picMain->pixmap().size(), QSize(320, 320));
    EXPECT_TRUE(program->button("cmdLoadPic")->isEnabled());
}

TEST_F(Workflow, AHugeHeaderIsRefusedWithoutDecoding) {
    // A small JPEG whose frame header is made to claim 60000 x 60000.
    QByteArray jpeg = ReadTextFile(picture(redBlue(64, 64), "small.jpg"));
    const qsizetype frame = jpeg.indexOf("\xff\xc0");
    ASSERT_GT(frame, 0);
    for (qsizetype at : {frame + 5, frame + 7}) jpeg[at] = char(0xEA), jpeg[at + 1] = char(0x60);
    WriteTextFile(folder + "/huge.jpg", jpeg);
    load(folder + "/huge.jpg");
    EXPECT_EQ(dialogs.texts(), QStringList{"Image is to large to process!"});
    EXPECT_TRUE(workingFiles().isEmpty());
}

TEST_F(Workflow, TheOrientationTagTurnsAPortraitPhoto) {
    QImageWriter writer(folder + "/phone.jpg");
    writer.setTransformation(QImageIOHandler::TransformationRotate90);
    ASSERT_TRUE(writer.write(redBlue(320, 240)));
    load(folder + "/phone.jpg");
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.texts().join("|").toStdString();
    EXPECT_EQ(sizeOf("temp.bmp"), QSize(240, 320));
}

TEST_F(Workflow, BadFilesAndExtensionsAreRefused) {
    WriteTextFile(folder + "/cut.jpg", QByteArray::fromHex("ffd8ffe000104a4649460001"));
    WriteTextFile(folder + "/bad.bmp", "BM" + QByteArray(60, '\xff'));
    WriteTextFile(folder + "/not.gif", "this is text");
    WriteTextFile(folder + "/photo.jpeg", "x");
    for (const char* name : {"cut.jpg", "bad.bmp", "not.gif", "photo.jpeg"}) {
        dialogs.messages.clear();
        load(folder + '/' + name);
        const char* expected = QByteArray(name).endsWith("jpeg") ? "Unsupported Image format!" : "Error loading file!";
        EXPECT_EQ(dialogs.texts(), QStringList{QLatin1String(expected)}) << name;
        EXPECT_TRUE(program->button("cmdLoadPic")->isEnabled()) << name;
    }
    load(picture(redBlue(160, 160), "good.bmp"));
    EXPECT_TRUE(shared().ImageLoaded) << "the program is still usable";
}

TEST_F(Workflow, DepthSwitchesBuildEachPreviewOnceAndReuseIt) {
    load(picture(redBlue(320, 480), "p.bmp"));
    click("opt8Bit");
    click("opt16Bit");
    click("opt8Bit");
    click("optNearestCol");
    click("optDithered");
    EXPECT_EQ(calls, (std::vector<std::string>{"WriteBmp24 temp24bit.bmp", "WriteBmp8dith temp8d.bmp",
                                               "WriteBmp8 temp8n.bmp"}));
    EXPECT_EQ(form().picMain->pixmap().toImage().convertToFormat(QImage::Format_RGB32),
              im::readWorkingBmp(temp("temp8d.bmp")));
    EXPECT_EQ(shared().ColorDepthBits, 8);
    EXPECT_TRUE(shared().Want8Bit && !shared().Want16Bit && shared().WantDithered);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(Workflow, AMethodAtSixteenBitsOnlyMovesTheButtons) {
    load(picture(redBlue(320, 320), "p.bmp"));
    calls.clear();
    click("optNearestCol");
    EXPECT_TRUE(calls.empty());
    EXPECT_TRUE(program->button("optNearestCol")->isChecked() && program->button("opt16Bit")->isChecked());
    click("opt4Bit");
    EXPECT_EQ(calls, std::vector<std::string>{"WriteBmp4 temp4n.bmp"});
}

TEST_F(Workflow, FourBitPreviewsAreMadeFromTheLuminance) {
    load(picture(redBlue(160, 160), "p.bmp"));
    click("optNearestCol");
    click("opt4Bit");
    // Red (luma 76) and blue (29) become the greys nearest their brightness,
    // not the greys nearest their channel mean (85 and 85).
    const QImage preview = im::readWorkingBmp(temp("temp4n.bmp"));
    EXPECT_EQ(preview.pixelColor(10, 10), QColor(68, 68, 68));
    EXPECT_EQ(preview.pixelColor(150, 10), QColor(34, 34, 34));
}

TEST_F(Workflow, NoMethodSelectedWritesNoPreview) {
    program->button("opt8Bit")->setChecked(true);
    program->main->SaveOptionStates();
    shared().WantDithered = shared().WantNearest = false;
    shared().CurrentFile = picture(redBlue(320, 320), "p.bmp");
    form().LoadImage();
    EXPECT_EQ(workingFiles(), QStringList{"temp.bmp"});
    EXPECT_TRUE(form().picMain->pixmap().isNull());
    EXPECT_TRUE(form().lblPicSize->text().isEmpty());
}

TEST_F(Workflow, TheImageWindowIsNeverSmallerThanItsMinimum) {
    program->main->SaveOptionStates();
    form().picBuff = redBlue(50, 50);
    shared().ReloadFromBuffer = true;
    form().LoadImage();
    EXPECT_EQ(form().lblPicSize->text(), QStringLiteral("50 x 50 Pixels"));
    EXPECT_EQ(form().size(), QSize(133, 147)) << "2000 x 2200 twips";
}

TEST_F(Workflow, APictureFromADatabaseGetsPlainCopiesAtEightBits) {
    program->button("opt8Bit")->setChecked(true);
    program->main->SaveOptionStates();
    ASSERT_NO_THROW(im::saveWorkingBmp(redBlue(160, 160), temp("temp.bmp").toStdString()));
    shared().LoadFromTemp = true;
    form().LoadImage();
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(workingFiles(), (QStringList{"temp.bmp", "temp8d.bmp", "temp8n.bmp"}));
    for (const char* name : {"temp8d.bmp", "temp8n.bmp"}) EXPECT_EQ(ReadTextFile(temp(name)), ReadTextFile(temp("temp.bmp")));
    EXPECT_FALSE(shared().LoadFromTemp);
}

TEST_F(Workflow, AFailedPreviewKeepsTheShownPicture) {
    load(picture(redBlue(320, 320), "p.bmp"));
    const QImage before = form().picMain->pixmap().toImage();
    QDir().mkpath(temp("temp8d.bmp"));  // the library cannot put its file there
    click("opt8Bit");
    ASSERT_EQ(dialogs.texts().size(), 2);
    EXPECT_TRUE(dialogs.texts()[0].startsWith("Error in dll module WriteBmp8dith - ")) << dialogs.texts()[0].toStdString();
    EXPECT_EQ(dialogs.texts()[1], QStringLiteral("Error loading image!"));
    EXPECT_EQ(form().picMain->pixmap().toImage(), before);
    EXPECT_TRUE(program->button("cmdLoadPic")->isEnabled());
}

TEST_F(Workflow, AnInterruptedSaveLeavesNoHalfWrittenFile) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const QString source = picture(redBlue(480, 480), "p.bmp");
    rlimit small = old;
    small.rlim_cur = 100000;  // the picture's BMP needs 691254 bytes
    setrlimit(RLIMIT_FSIZE, &small);
    load(source);
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_EQ(dialogs.texts(), QStringList{"Error loading file!"});
    EXPECT_TRUE(QDir(program->temp()).entryList({"*.bmp", "*.part"}, QDir::Files | QDir::Hidden).isEmpty());
}

TEST_F(Workflow, TurningLeftTurnsEveryWorkingFileAndTheSizeLabel) {
    load(picture(redBlue(320, 480), "p.bmp"));
    click("opt8Bit");
    calls.clear();
    click("cmdRotateL");
    EXPECT_EQ(calls, (std::vector<std::string>{"RotateImg temp24bit.bmp Left", "RotateImg temp.bmp Left",
                                               "RotateImg temp8d.bmp Left"}));
    for (const QString& name : workingFiles()) EXPECT_EQ(sizeOf(name), QSize(480, 320)) << name.toStdString();
    EXPECT_EQ(form().lblPicSize->text(), QStringLiteral("480 x 320 Pixels"));
    EXPECT_EQ(form().width(), 480 + 15 + 18) << "the picture, its left margin and 275 twips";
    EXPECT_TRUE(program->button("cmdRotateR")->isEnabled());
    // A left turn is counter-clockwise: the red left half is now at the bottom.
    EXPECT_EQ(im::readWorkingBmp(temp("temp.bmp")).pixelColor(240, 310), QColor(Qt::red));
}

TEST_F(Workflow, FlipsMirrorEveryFileAndTwoOfThemGiveTheFilesBack) {
    load(picture(redBlue(320, 320), "p.bmp"));
    click("opt4Bit");
    click("opt8Bit");
    std::map<QString, QByteArray> before;
    for (const QString& name : workingFiles()) before[name] = ReadTextFile(temp(name));
    click("cmdFlip_H");
    EXPECT_EQ(im::readWorkingBmp(temp("temp.bmp")).pixelColor(10, 10), QColor(Qt::blue));
    EXPECT_EQ(im::readWorkingBmp(temp("temp24bit.bmp")).pixelColor(310, 10), QColor(Qt::red));
    for (const QString& name : workingFiles()) EXPECT_NE(ReadTextFile(temp(name)), before[name]) << name.toStdString();
    click("cmdFlip_H");
    click("cmdFlip_V");
    click("cmdFlip_V");
    click("cmdRotateL");
    click("cmdRotateR");
    for (const QString& name : workingFiles()) EXPECT_EQ(ReadTextFile(temp(name)), before[name]) << name.toStdString();
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.texts().join("|").toStdString();
}

TEST_F(Workflow, ABrokenPreviewIsDroppedAndABrokenPictureStopsTheTransform) {
    load(picture(redBlue(320, 320), "p.bmp"));
    click("opt8Bit");
    WriteTextFile(temp("temp24bit.bmp"), "broken");
    click("cmdFlip_V");
    EXPECT_EQ(workingFiles(), (QStringList{"temp.bmp", "temp8d.bmp"}));
    EXPECT_TRUE(dialogs.messages.empty());
    const QByteArray preview = ReadTextFile(temp("temp8d.bmp"));
    WriteTextFile(temp("temp.bmp"), "broken");
    click("cmdFlip_V");
    EXPECT_EQ(dialogs.texts(), QStringList{"Error Processing Image!"});
    EXPECT_EQ(ReadTextFile(temp("temp8d.bmp")), preview);
}

TEST_F(Workflow, WithoutAPictureTheTransformsDoNothing) {
    for (const char* name : {"cmdFlip_H", "cmdFlip_V", "cmdRotateL", "cmdRotateR", "opt8Bit", "opt4Bit"}) click(name);
    EXPECT_TRUE(calls.empty());
    EXPECT_TRUE(workingFiles().isEmpty());
    EXPECT_TRUE(dialogs.messages.empty());
}

} // namespace
