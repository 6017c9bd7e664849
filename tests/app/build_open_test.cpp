// Create Backimage, Open Backimage and Save Image: the backimage name, the
// one or two builds and the file that is kept, the compression warning,
// the type checks of a database, and the round trip through the program.
#include <sys/resource.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QToolButton>
#include <csignal>
#include <cstdlib>
#include <gtest/gtest.h>

#include "app_test_support.h"
#include "imaging/working_bmp.h"
#include "windows/image_window.h"
#include "windows/loaded_forms.h"

namespace {

namespace im = mireo::imaging;

QImage stripes(int width, int height) {
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) picture.setPixel(x, y, qRgb((x * 7) % 256, (y * 3) % 256, (x + y) % 256));
    return picture;
}

struct Backimage : testing::Test {
    RecordingDialogs dialogs;
    QString folder = ScratchFolder();
    std::unique_ptr<StartedProgram> program;

    void SetUp() override {
        qputenv("SOURCE_DATE_EPOCH", "1700000000");
        WriteTextFile(folder + "/Mireo.ini", "[Color Reduction Method]\nType=Dithered\n");
        program = std::make_unique<StartedProgram>(24, folder);
    }
    void TearDown() override { qunsetenv("SOURCE_DATE_EPOCH"); }
    SharedState& shared() { return program->shared; }
    QString file(const QString& name) const { return folder + '/' + name; }
    void click(const char* name) { program->button(name)->click(); }
    void load(const QImage& picture, const char* name = "pic.bmp") {
        picture.save(file(QLatin1String(name)));
        dialogs.answers << file(QLatin1String(name));
        click("cmdLoadPic");
    }
    void create(const QString& name, const QString& typed = {}) {
        program->main->findChild<QLineEdit*>(QStringLiteral("txtPDBname"))->setText(typed);
        dialogs.answers << name;
        click("cmdCreatePDB");
    }
    QByteArray storedName(const QString& path) const { return ReadTextFile(path).left(32); }
    void compression(bool on) {
        if (program->button("cmdCompress")->isChecked() != on) click("cmdCompress");
    }
};

TEST_F(Backimage, TheNameComesFromTheBoxOrTheFileName) {
    load(stripes(160, 160));
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"  Sunset.jpg  ", "a.pdb", "Sunset"},
        {"Sun.JPG", "b.pdb", "Sun.JPG"},
        {".gif", "c.pdb", ".gif"},
        {"", "Beach.pdb", "Beach"},
        {"   ", "Dunes.pdb", "Dunes"},
        {"back\\slash:colon", "d.pdb", "back\\slash:colon"},
        {"abcdefghijklmnopqrstuvwxyz01234", "e.pdb", "abcdefghijklmnopqrstuvwxyz01234"},
    };
    for (auto [typed, output, stored] : cases) {
        create(file(QLatin1String(output)), QLatin1String(typed));
        QByteArray expected(stored);
        expected.resize(32, '\0');
        EXPECT_EQ(storedName(file(QLatin1String(output))), expected) << typed;
    }
    EXPECT_EQ(dialogs.fileDialogs.back().fileName, QStringLiteral("abcdefghijklmnopqrstuvwxyz01234"));
    EXPECT_EQ(dialogs.fileDialogs.back().title, QStringLiteral("Create VT Background Image"));
    EXPECT_EQ(dialogs.fileDialogs.back().defaultExtension, QStringLiteral(".pdb"));
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.texts().join("|").toStdString();
}

TEST_F(Backimage, RefusesWithoutAPictureOrAFileName) {
    program->main->cmdCreatePDB_Click();  // the button itself is disabled until a picture is loaded
    program->main->form1().ExportImg();
    EXPECT_EQ(dialogs.texts(), (QStringList{"No file loaded.", "No file loaded."}));
    load(stripes(160, 160));
    dialogs.messages.clear();
    create(QStringLiteral("   "));
    click("cmdCreatePDB");  // cancelled: nothing at all
    EXPECT_EQ(dialogs.texts(), QStringList{"No Filename Specified!'"});
    QFile::remove(program->temp() + "/temp24bit.bmp");
    create(file("x.pdb"));
    EXPECT_EQ(dialogs.texts().last(), QStringLiteral("Error finding temporary image file!"));
    EXPECT_TRUE(program->button("cmdLoadPic")->isEnabled());
}

TEST_F(Backimage, CompressionKeepsTheSmallerCandidateAndTheBlock2OneOnATie) {
    shared().ShowCompressionWarning = false;
    compression(true);
    click("opt8Bit");
    load(stripes(160, 160));
    create(file("tie.pdb"));  // 25600 bytes: one block either way, so the candidates are equal
    EXPECT_FALSE(QFile::exists(program->temp() + "/temp1.bin"));
    EXPECT_EQ(ReadTextFile(program->temp() + "/temp2.bin"), ReadTextFile(file("tie.pdb")));
    shared().Block2Size = 5121;  // five blocks compress worse than one
    create(file("small.pdb"));
    EXPECT_LT(QFileInfo(file("small.pdb")).size(), QFileInfo(program->temp() + "/temp1.bin").size());
    EXPECT_FALSE(QFile::exists(program->temp() + "/temp2.bin"));
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.texts().join("|").toStdString();
}

TEST_F(Backimage, AFailedCandidateNeverWinsAndTheUsersFileIsKept) {
    shared().ShowCompressionWarning = false;
    compression(true);
    load(stripes(480, 480));
    create(file("free.pdb"));
    const QStringList left = QDir(program->temp()).entryList({"*.bin"});
    ASSERT_EQ(left.size(), 1);
    const qint64 smaller = QFileInfo(file("free.pdb")).size(), larger = QFileInfo(program->temp() + '/' + left[0]).size();
    ASSERT_LT(smaller, larger);
    WriteTextFile(file("mine.pdb"), "my old backimage");
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    for (rlim_t limit : {rlim_t(100), rlim_t((smaller + larger) / 2)}) {  // both fail; the larger fails
        dialogs.messages.clear();
        rlimit small = old;
        small.rlim_cur = limit;
        setrlimit(RLIMIT_FSIZE, &small);
        create(file("mine.pdb"));
        setrlimit(RLIMIT_FSIZE, &old);
        ASSERT_FALSE(dialogs.messages.empty());
        for (const QString& text : dialogs.texts()) EXPECT_TRUE(text.contains("Disk full")) << text.toStdString();
        if (limit == 100) EXPECT_EQ(ReadTextFile(file("mine.pdb")), "my old backimage");
        else EXPECT_EQ(ReadTextFile(file("mine.pdb")).mid(32), ReadTextFile(file("free.pdb")).mid(32)) << "after the name";
    }
    EXPECT_TRUE(QDir(folder).entryList({".*"}, QDir::Hidden | QDir::Files).isEmpty()) << "no partial file";
}

TEST_F(Backimage, TheWarningShowsOncePerSwitchOnUntilTicked) {
    for (int round = 0; round < 2; ++round) {
        click("cmdCompress");
        auto* warning = qobject_cast<QDialog*>(FindForm(QStringLiteral("frmCompressWarn")));
        ASSERT_TRUE(warning && warning->isVisible()) << round;
        EXPECT_EQ(warning->windowTitle(), QStringLiteral("About Backimage Compression"));
        EXPECT_FALSE(program->button("cmdLoadPic")->isEnabled() || program->button("cmdFlip_H")->isEnabled());
        if (round == 1) warning->findChild<QCheckBox*>(QStringLiteral("chkDontShowCompWarn"))->setChecked(true);
        warning->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(program->button("cmdLoadPic")->isEnabled());
        click("cmdCompress");  // off: never a warning
        EXPECT_FALSE(FindForm(QStringLiteral("frmCompressWarn")));
    }
    EXPECT_FALSE(shared().ShowCompressionWarning);
    click("cmdCompress");
    EXPECT_FALSE(FindForm(QStringLiteral("frmCompressWarn")));
    EXPECT_EQ(program->button("cmdCompress")->text(), QStringLiteral("Compression is On"));
    click("cmdExit");
    EXPECT_TRUE(ReadTextFile(file("Mireo.ini")).contains("Show Compression Warning=False"));
}

TEST_F(Backimage, OpensOnlyBackimagesAndSaysWhyNot) {
    QByteArray header(78, '\0');
    header.replace(60, 8, "DATAappl");
    WriteTextFile(file("other.pdb"), header);
    header.replace(60, 8, "BmpLXXXX");
    WriteTextFile(file("creator.pdb"), header);
    WriteTextFile(file("short.pdb"), header.left(67));
    QDir().mkpath(file("folder.pdb"));
    for (const char* name : {"other.pdb", "creator.pdb", "short.pdb", "folder.pdb"}) {
        dialogs.answers << file(QLatin1String(name));
        click("cmdLoadVTPDB");
    }
    EXPECT_EQ(dialogs.texts(), (QStringList{"This file doesn't appear to be a valid Vantrel Backimage",
                                            "This file doesn't appear to be a valid Vantrel Background Image",
                                            "This file doesn't appear to be a valid Vantrel Backimage",
                                            "This file doesn't appear to be a valid Vantrel Backimage"}));
    EXPECT_EQ(dialogs.fileDialogs[0].title, QStringLiteral("Load Vantrel Background File"));
    header.replace(60, 8, "BmpLVTCR");
    WriteTextFile(file("damaged.pdb"), header);
    dialogs.messages.clear();
    dialogs.answers << file("damaged.pdb");
    click("cmdLoadVTPDB");
    ASSERT_EQ(dialogs.texts().size(), 1);
    EXPECT_TRUE(dialogs.texts()[0].startsWith("Error in dll Reading VT BackImage - ")) << dialogs.texts()[0].toStdString();
    EXPECT_FALSE(shared().ImageLoaded);
    EXPECT_TRUE(program->button("cmdLoadPic")->isEnabled());
}

TEST_F(Backimage, ABuiltDatabaseComesBackAsItsPreviewAndSavesAsABmp) {
    click("optNearestCol");
    click("opt4Bit");
    load(stripes(240, 320));
    const QString name = QStringLiteral("A name of thirty-one characters");
    create(file("round.pdb"), name);
    const QByteArray preview = ReadTextFile(program->temp() + "/temp4n.bmp");
    click("opt16Bit");
    program->main->findChild<QLineEdit*>(QStringLiteral("txtPDBname"))->clear();
    dialogs.answers << file("round.pdb");
    click("cmdLoadVTPDB");
    EXPECT_TRUE(program->button("opt4Bit")->isChecked());
    EXPECT_EQ(shared().StoredDepth, 4);
    EXPECT_EQ(program->main->findChild<QLineEdit*>(QStringLiteral("txtPDBname"))->text(), name);
    EXPECT_EQ(program->main->form1().windowTitle(), QStringLiteral("round.pdb"));
    for (const char* kept : {"temp.bmp", "temp4n.bmp", "temp4d.bmp"})
        EXPECT_EQ(ReadTextFile(program->temp() + '/' + kept), preview) << kept;
    dialogs.answers << file("saved.bmp");
    click("cmdExportImg");
    EXPECT_EQ(ReadTextFile(file("saved.bmp")), preview);
    QDir().mkpath(file("folder.bmp"));
    dialogs.answers << file("folder.bmp");
    click("cmdExportImg");
    EXPECT_EQ(dialogs.texts().size(), 1);
    EXPECT_TRUE(QFileInfo(file("folder.bmp")).isDir());
}

// The program and mireo-cli give the same database for the same picture
// and choices.
TEST_F(Backimage, TheProgramBuildsWhatTheCommandLineToolBuilds) {
    shared().ShowCompressionWarning = false;
    const std::tuple<int, const char*, const char*> previews[] = {
        {16, "optDithered", "diffused"}, {8, "optDithered", "diffused"}, {8, "optNearestCol", "nearest"},
        {4, "optDithered", "diffused"},  {4, "optNearestCol", "nearest"}};
    const QImage pictures[] = {stripes(320, 320), stripes(160, 160).mirrored(true, false)};
    for (int p = 0; p < 2; ++p) {
        pictures[p].save(file("in.bmp"));
        for (auto [depth, option, method] : previews)
            for (bool compress : {false, true})
                for (auto [block1, block2] : {std::pair{51200, 30720}, {5120, 5121}}) {
                    click(option);
                    click(depth == 16 ? "opt16Bit" : depth == 8 ? "opt8Bit" : "opt4Bit");
                    compression(compress);
                    shared().Block1Size = block1;
                    shared().Block2Size = block2;
                    dialogs.answers << file("in.bmp");
                    click("cmdLoadPic");
                    create(file("program.pdb"), QStringLiteral("Same"));
                    QProcess cli;
                    QStringList args{"convert", "--size", "keep", "-b", QString::number(depth), "-m", method,
                                     "--block1", QString::number(block1), "--block2", QString::number(block2),
                                     "-n", "Same", "-o", file("cli.pdb"), file("in.bmp")};
                    if (compress) args << "-c";
                    cli.start(QStringLiteral(MIREO_CLI), args);
                    ASSERT_TRUE(cli.waitForFinished(60000));
                    const std::string what = std::to_string(p) + " " + std::to_string(depth) + method +
                                             (compress ? " compressed " : " ") + std::to_string(block1);
                    ASSERT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
                    EXPECT_EQ(ReadTextFile(file("program.pdb")), ReadTextFile(file("cli.pdb"))) << what;
                }
    }
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.texts().join("|").toStdString();
}

} // namespace
