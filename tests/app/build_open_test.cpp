// Create Backimage, Open Backimage and Save Image: the name, the builds and
// the file kept, the compression warning, and databases read back.
#include <QCheckBox>
#include <QDialog>

#include "app_test_support.h"

namespace {

QImage stripes(int width, int height) {
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) picture.setPixel(x, y, qRgb((x * 7) % 256, (y * 3) % 256, (x + y) % 256));
    return picture;
}

struct Backimage : ProgramTest {
    void compression(bool on) {
        shared().ShowCompressionWarning = false;
        if (program->button("cmdCompress")->isChecked() != on) click("cmdCompress");
    }
    void open(const QString& path) {  // Open Backimage
        dialogs.answers << path;
        click("cmdLoadVTPDB");
    }
};

// The name is typed or, with the box blank, taken from the file name; the
// database holds it in the Palm's character set, Windows-1252, cut at 31
// characters, and opening shows it as text again, an unassigned byte as U+FFFD.
TEST_F(Backimage, TheNameIsTypedOrTakenFromTheFileAndComesBackOnOpening) {
    program->main->cmdCreatePDB_Click();  // the button itself is disabled until a picture is loaded
    form().ExportImg();
    EXPECT_EQ(takeMessages(), (QStringList{"No file loaded.", "No file loaded."}));
    load(stripes(160, 160));
    const auto text = [](const char* utf8) { return QString::fromUtf8(utf8); };
    const QString accents(40, QChar(0xE9));  // é, two bytes in UTF-8
    const std::tuple<QString, QString, QByteArray, QString> cases[] = {  // typed, file, stored, shown
        {"   ", "Dunes.pdb", "Dunes", "Dunes"}, {"", accents + ".pdb", QByteArray(31, '\xE9'), accents.left(31)},
        {text("Café “Œuvre” – 5 €"), "b.pdb", "Caf\xE9 \x93\x8Cuvre\x94 \x96 5 \x80", text("Café “Œuvre” – 5 €")},
        {"", text("Plage d’été.pdb"), "Plage d\x92\xE9t\xE9", text("Plage d’été")},
        {text("Smile 😀 Ελλάδα"), "c.pdb", "Smile ? ??????", "Smile ? ??????"},
        {"  Sunset.jpg  ", "a.pdb", "Sunset", "Sunset"}};
    for (const auto& [typed, output, stored, shown] : cases) {
        create(file(output), typed);
        EXPECT_EQ(ReadTextFile(file(output)).left(32), stored.leftJustified(32, '\0')) << typed << output;
        EXPECT_EQ(shared().PdbSize, 160 + 51200) << "the file's length: its header and one block of 160 x 160 at 16 bits";
        program->main->setBackimageNameText({});
        open(file(output));
        EXPECT_EQ(program->main->backimageNameText(), shown);
    }
    const FileDialogSetup& asked = dialogs.fileDialogs.end()[-2];  // the save dialog of the last case
    EXPECT_EQ(std::tuple(asked.fileName, asked.title, asked.defaultExtension),
              std::tuple("Sunset", "Create VT Background Image", ".pdb"));
    WriteTextFile(file("a.pdb"), ReadTextFile(file("a.pdb")).replace(0, 4, QByteArray("\x81Z\x9F\0", 4)));
    open(file("a.pdb"));
    EXPECT_EQ(program->main->backimageNameText(), text("\uFFFDZŸ"));
    create(QStringLiteral("   "));
    click("cmdCreatePDB");  // cancelled: nothing at all
    EXPECT_EQ(takeMessages(), QStringList{"No Filename Specified!'"});
    QFile::remove(temp("temp24bit.bmp"));
    create(file("x.pdb"));
    EXPECT_EQ(takeMessages(), QStringList{"Error finding temporary image file!"});
    EXPECT_TRUE(program->button("cmdLoadPic")->isEnabled());
}

// temp1.bin is built with Block2, temp2.bin with Block1; the smaller is
// moved over the file, the Block2 one on a tie. A candidate that could not
// be written never wins: with the disk full for both the user's old file
// stays, with room for the smaller only the smaller is kept.
TEST_F(Backimage, CompressionKeepsTheSmallerCandidateAndNeverAFailedOne) {
    compression(true);
    click("opt8Bit");
    load(stripes(160, 160));
    create(file("tie.pdb"));  // 25600 bytes: one block either way, so the candidates are equal
    EXPECT_FALSE(QFile::exists(temp("temp1.bin")));
    EXPECT_EQ(ReadTextFile(temp("temp2.bin")), ReadTextFile(file("tie.pdb")));
    shared().Block2Size = 5121;  // five blocks compress worse than one
    create(file("small.pdb"));
    const qint64 smaller = QFileInfo(file("small.pdb")).size(), larger = QFileInfo(temp("temp1.bin")).size();
    ASSERT_LT(smaller, larger);
    EXPECT_FALSE(QFile::exists(temp("temp2.bin")));
    WriteTextFile(file("mine.pdb"), "my old backimage");
    for (rlim_t limit : {rlim_t(100), rlim_t((smaller + larger) / 2)}) {
        WithFileSizeLimit(limit, [this] { create(file("mine.pdb")); });
        const QStringList shown = takeMessages();
        ASSERT_FALSE(shown.isEmpty());
        for (const QString& text : shown) EXPECT_TRUE(text.contains("Disk full")) << text;
        if (limit == 100) EXPECT_EQ(ReadTextFile(file("mine.pdb")), "my old backimage");
        else EXPECT_EQ(ReadTextFile(file("mine.pdb")).mid(32), ReadTextFile(file("small.pdb")).mid(32)) << "after the name";
    }
    EXPECT_TRUE(QDir(folder).entryList({".*"}, QDir::Hidden | QDir::Files).isEmpty()) << "no partial file";
}

TEST_F(Backimage, TheWarningShowsOncePerSwitchOnUntilTicked) {
    for (int round = 0; round < 2; ++round) {
        click("cmdCompress");
        auto* warning = qobject_cast<QDialog*>(FindForm(QStringLiteral("frmCompressWarn")));
        ASSERT_TRUE(warning && warning->isVisible() && warning->windowTitle() == "About Backimage Compression") << round;
        EXPECT_FALSE(program->button("cmdLoadPic")->isEnabled() || program->button("cmdFlip_H")->isEnabled());
        if (round == 1) warning->findChild<QCheckBox*>(QStringLiteral("chkDontShowCompWarn"))->setChecked(true);
        warning->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(program->button("cmdLoadPic")->isEnabled());
        click("cmdCompress");  // off: never a warning
        EXPECT_FALSE(FindForm(QStringLiteral("frmCompressWarn")));
    }
    click("cmdCompress");
    EXPECT_FALSE(shared().ShowCompressionWarning || FindForm(QStringLiteral("frmCompressWarn")));
    EXPECT_EQ(program->button("cmdCompress")->text(), QStringLiteral("Compression is On"));
    click("cmdExit");
    EXPECT_TRUE(ReadTextFile(file("Mireo.ini")).contains("Show Compression Warning=False"));
}

// The type (offset 60) and creator (64) are read by the program itself, a
// damaged database is reported by the library.
TEST_F(Backimage, OpensOnlyBackimagesAndABuiltOneComesBackAsItsPreview) {
    const auto head = [](const char* typeAndCreator, int size = 78) {
        return QByteArray(78, '\0').replace(60, 8, typeAndCreator).left(size);
    };
    const char* const backimage = "This file doesn't appear to be a valid Vantrel Backimage";
    const std::tuple<const char*, QByteArray, const char*> cases[] = {
        {"other.pdb", head("DATAappl"), backimage},
        {"creator.pdb", head("BmpLXXXX"), "This file doesn't appear to be a valid Vantrel Background Image"},
        {"short.pdb", head("BmpLVTCR", 67), backimage}, {"folder.pdb", QByteArray(), backimage},
        {"damaged.pdb", head("BmpLVTCR"), "Error in dll Reading VT BackImage - "}};
    for (const auto& [name, content, message] : cases) {
        if (content.isNull()) QDir().mkpath(file(QLatin1String(name)));
        else WriteTextFile(file(QLatin1String(name)), content);
        open(file(QLatin1String(name)));
        const QString shown = takeMessages().join('|');
        EXPECT_EQ(name == std::string("damaged.pdb") ? shown.left(qstrlen(message)) : shown, QLatin1String(message));
        EXPECT_TRUE(!shared().ImageLoaded && program->button("cmdLoadPic")->isEnabled());
    }
    EXPECT_EQ(dialogs.fileDialogs[0].title, QStringLiteral("Load Vantrel Background File"));
    // A database of the program comes back at its depth and name, in all
    // three working files; Save Image into a folder's place fails with a message.
    for (const char* name : {"optNearestCol", "opt4Bit"}) click(name);
    load(stripes(240, 320));
    create(file("round.pdb"));
    const QByteArray preview = ReadTextFile(temp("temp4n.bmp"));
    click("opt16Bit");
    open(file("round.pdb"));
    EXPECT_EQ(std::tuple(program->button("opt4Bit")->isChecked(), shared().StoredDepth, program->main->backimageNameText(),
                         form().windowTitle()), std::tuple(true, 4, "round", "round.pdb"));
    for (const char* kept : {"temp.bmp", "temp4n.bmp", "temp4d.bmp"}) EXPECT_EQ(ReadTextFile(temp(kept)), preview) << kept;
    QDir().mkpath(file("folder.bmp"));
    dialogs.answers << file("folder.bmp");
    click("cmdExportImg");
    EXPECT_TRUE(takeMessages().size() == 1 && QFileInfo(file("folder.bmp")).isDir());
}

// The program and mireo-cli build the same database from the same choices.
TEST_F(Backimage, TheProgramBuildsWhatTheCommandLineToolBuilds) {
    const std::tuple<int, const char*, const char*> previews[] = {
        {16, "optDithered", "diffused"}, {8, "optDithered", "diffused"}, {8, "optNearestCol", "nearest"},
        {4, "optDithered", "diffused"},  {4, "optNearestCol", "nearest"}};
    for (const QImage& picture : {stripes(320, 320), stripes(160, 160).mirrored(true, false)})
        for (auto [depth, option, method] : previews)
            for (bool compress : {false, true})
                for (auto [block1, block2] : {std::pair{51200, 30720}, {5120, 5121}}) {
                    click(option);
                    click(depth == 16 ? "opt16Bit" : depth == 8 ? "opt8Bit" : "opt4Bit");
                    compression(compress);
                    shared().Block1Size = block1;
                    shared().Block2Size = block2;
                    load(picture);
                    create(file("program.pdb"), QStringLiteral("Same"));
                    QStringList args{"convert", "--size", "keep", "-b", QString::number(depth), "-m", method,
                                     "--block1", QString::number(block1), "--block2", QString::number(block2),
                                     "-n", "Same", file("in.bmp")};
                    if (compress) args << "-c";
                    EXPECT_EQ(ReadTextFile(file("program.pdb")), CliDatabase(args, file("cli.pdb")))
                        << picture.width() << " " << depth << method << (compress ? " compressed " : " ") << block1;
                }
}

} // namespace
