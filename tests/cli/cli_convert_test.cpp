// mireo-cli convert as a subprocess: usage errors, the size rules and
// their messages, failures that replace nothing, batches in parallel that
// give what a serial batch gives, and standard input and output.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli_harness.h"

namespace fs = std::filesystem;

namespace mireo::test {
namespace {

const std::map<QString, QString> kFixedTime{{"SOURCE_DATE_EPOCH", "1700000000"}};

TEST(CliUsage, HelpVersionAndUsageErrors) {
    CliResult help = runCli({"--help"}), version = runCli({"--version"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(holds(help.out, "mireo-cli convert [options] INPUT..."));
    for (const QStringList& asked : {QStringList{"convert", "--help"}, QStringList{"convert", "a.jpg", "-h"},
                                     QStringList{"open", "--help"}, QStringList{"info", "-h"}}) {
        CliResult r = runCli(asked);
        EXPECT_EQ(r.exitCode, 0) << asked.join(' ').toStdString();
        EXPECT_EQ(r.out, help.out);
    }
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "mireo-cli 1.0.0\n");

    // Each wrong command line, with the message before the hint where there is one.  A custom size breaking the
    // resize rules is refused before any picture is read (the rules themselves are the library's).
    const std::pair<QStringList, std::string> usageErrors[] = {
        {{}, ""}, {{"paint"}, ""}, {{"convert"}, ""}, {{"convert", "--frobnicate", "a.jpg"}, ""},
        {{"convert", "a.jpg", "--size"}, ""}, {{"convert", "-s", "huge", "a.jpg"}, ""},
        {{"convert", "-b", "7", "a.jpg"}, ""}, {{"convert", "-m", "random", "a.jpg"}, ""},
        {{"convert", "-f", "zoom", "a.jpg"}, ""}, {{"convert", "--border", "12345G", "a.jpg"}, ""},
        {{"convert", "--block1", "5119", "a.jpg"}, ""}, {{"convert", "--block1", "51201", "a.jpg"}, ""},
        {{"convert", "--block2", "5120", "a.jpg"}, ""}, {{"convert", "-o", "x.pdb", "a.jpg", "b.jpg"}, ""},
        {{"convert", "-d", "/nonexistent/folder", "a.jpg"}, ""}, {{"open", "only-one.pdb"}, ""},
        {{"info"}, ""}, {{"info", "a.pdb", "--yaml"}, ""}, {{"convert", "--border", "#12345", "a.jpg"}, ""},
        {{"convert", "--preview", "one.png", "a.jpg", "b.jpg"}, "--preview for several inputs must name an existing folder"},
        {{"convert", "-o", "x.PNG", "a.jpg"}, "the output of convert is a .pdb database, not 'x.PNG'; use --preview for a picture"},
        {{"convert", "-s", "49x100", "a.bmp"}, "49x100: Width is too small."},
        {{"convert", "-s", "249x500", "a.bmp"}, "249x500: Incorrect aspect ratio! Must be less then 2:1."}};
    for (const auto& [args, message] : usageErrors) {
        CliResult r = runCli(args);
        EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(holds(r.err, message + "\nTry 'mireo-cli --help'.\n"));
    }
}

TEST_F(CliTest, OnePictureIsConvertedOrRefusedWithoutReplacingAnything) {
    struct Case {
        QSize picture;
        QStringList options;
        int status;
        std::string problem;  // reported under the input's name ("IN" stands for it)
        std::string output = "out.pdb";
        QSize built = {};
        unsigned depth = 16;
        std::string name = "out";
    };
    const std::string keep = " (50 to 600 pixels a side, at most 2:1)";
    const Case cases[] = {
        // Without --size only the seven Palm screen sizes are taken.
        {{320, 450}, {}, 0, "", "out.pdb", {320, 450}},
        {{450, 320}, {}, 1, "IN is 450 x 320, not a Palm screen size: give --size (for example --size 320x320)"},
        // Custom sizes and both block sizes at their limits; the depth and the name.
        {{700, 500}, {"-s", "600x300"}, 0, "", "out.pdb", {600, 300}},
        {{700, 500}, {"-s50x50", "-b", "4", "-n", "  Beach.jpg "}, 0, "", "out.pdb", {50, 50}, 4, "Beach"},
        {{160, 160}, {"-c", "--block1=5120", "--block2", "51200", "-b8", "--name=" + QString(40, 'q')}, 0, "",
         "Sunset.pdb", {160, 160}, 8, std::string(31, 'q')},
        // keep applies the custom size rules to the picture.
        {{300, 200}, {"-s", "keep"}, 0, "", "Sunset.pdb", {300, 200}, 16, "Sunset"},
        {{700, 400}, {"-s", "keep"}, 1, "IN is 700 x 400, which --size keep cannot take: width is too large" + keep},
        {{500, 200}, {"-s", "keep"}, 1,
         "IN is 500 x 200, which --size keep cannot take: incorrect aspect ratio! Must be less then 2:1" + keep},
        // The limits of the picture, inclusive: camera sizes are taken.
        {{6000, 50}, {"-s", "160x160", "-f", "pad", "--border", "#00ff00"}, 0, "", "out.pdb", {160, 160}},
        {{20001, 60}, {"-s", "160x160"}, 1,
         "picture too large: 20001 x 60 (the limit is 20000 pixels a side and 200 megapixels)"},
        {{49, 300}, {"-s", "160x160", "-c"}, 1, "picture too small: 49 x 300 (the limit is 50 pixels a side)"}};
    const std::vector<uint8_t> old{7, 7, 7};
    for (const Case& c : cases) {
        fs::remove(dir.file("Sunset.pdb"));
        writeFile(dir.file("out.pdb"), old);
        const QString input = picture("in.bmp", c.picture.width(), c.picture.height());
        const std::vector<uint8_t> inputBytes = readFile(input.toStdString());
        CliResult r = runCli(QStringList{"convert"} + c.options + QStringList{"-o", path(c.output), input});
        SCOPED_TRACE(c.options.join(' ').toStdString() + " of " + std::to_string(c.picture.width()));
        ASSERT_EQ(r.exitCode, c.status) << r.err;
        if (c.status == 0) {
            DatabaseFacts made = facts(c.output);
            EXPECT_EQ(QSize(int(made.image.width), int(made.image.height)), c.built);
            EXPECT_EQ(made.image.depth, c.depth);
            EXPECT_EQ(made.name, c.name);
            continue;
        }
        const std::string in = input.toStdString();
        std::string problem = c.problem;
        if (problem.starts_with("IN ")) problem.replace(0, 2, in);
        EXPECT_TRUE(holds(r.err, "mireo-cli: " + in + ": " + problem + "\n"));
        EXPECT_EQ(readFile(dir.file("out.pdb")), old);
        EXPECT_EQ(readFile(input.toStdString()), inputBytes);
        EXPECT_EQ(fileNames(dir.path()), (std::vector<std::string>{"in.bmp", "out.pdb"}));
    }
}

TEST_F(CliTest, ParallelBatchGoesOnAfterFailuresAndGivesTheSerialReportsAndFiles) {
    // A large first picture finishes last when the others run beside it.
    QStringList inputs{picture("in0.png", 3000, 2000)};
    for (int i = 1; i < 5; ++i)  // widths apart, so that a database under another input's name shows
        inputs << picture("in" + std::to_string(i) + (i % 2 ? ".jpg" : ".png"), 190 + 10 * i, 160);
    writeFile(dir.file("bad.jpg"), {0xFF, 0xD8, 0xFF, 0xE0, 1, 2});
    inputs.insert(2, path("bad.jpg"));
    inputs.insert(4, picture("in1.bmp", 160, 160));  // in1.pdb again
    std::map<std::string, CliResult> runs;
    std::map<std::string, std::vector<uint8_t>> serialFiles;
    for (const QString jobs : {"1", "3"}) {
        fs::remove_all(dir.path() / "out");
        fs::create_directory(dir.path() / "out");
        QStringList args{"convert", "-s", "160x160", "-f", "pad", "-b", "8", "-c", "-j", jobs, "-d", path("out")};
        CliResult& r = runs[jobs.toStdString()] = runCli(args + inputs, kFixedTime);
        EXPECT_EQ(r.exitCode, 1) << r.err;
        EXPECT_EQ(fileNames(dir.path() / "out"),
                  (std::vector<std::string>{"in0.pdb", "in1.pdb", "in2.pdb", "in3.pdb", "in4.pdb"}));
        for (const std::string& name : fileNames(dir.path() / "out")) {
            std::vector<uint8_t> bytes = readFile((dir.path() / "out" / name).string());
            if (jobs == "1") serialFiles[name] = bytes;
            else EXPECT_EQ(bytes, serialFiles[name]) << name;
        }
    }
    const CliResult& parallel = runs["3"];
    EXPECT_EQ(parallel.out, runs["1"].out);
    EXPECT_EQ(parallel.err, runs["1"].err);
    // The reports follow the inputs.
    EXPECT_TRUE(holds(parallel.err, dir.file("bad.jpg") + ": damaged picture: "));
    EXPECT_TRUE(holds(parallel.err, "in1.bmp: an earlier input of this batch was already written to"));
    EXPECT_LT(parallel.err.find("bad.jpg"), parallel.err.find("in1.bmp"));
    std::size_t last = 0;
    for (int i = 0; i < 5; ++i) {
        std::size_t at = parallel.out.find("in" + std::to_string(i) + ".");
        ASSERT_NE(at, std::string::npos) << i;
        EXPECT_GE(at, last) << parallel.out;
        last = at;
    }
    EXPECT_TRUE(holds(parallel.out, "5 of 7 pictures converted, 2 failed\n"));
}

TEST_F(CliTest, StandardInputGivesTheFilesDatabaseOnStandardOutputInAnyTimeZone) {
    // Noise makes files of several hundred kilobytes: many reads of a pipe.
    QImage noise(600, 400, QImage::Format_RGB32);
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 600; ++x) noise.setPixel(x, y, qRgb(x * 7919 % 251, y * 104729 % 241, (x ^ y) & 0xFF));
    for (const std::string name : {"in.jpg", "in.png"}) {
        const std::vector<uint8_t> bytes = readFile(savePicture(noise, dir.file(name)));
        std::map<QString, QString> tokyo = kFixedTime, utc = kFixedTime;
        tokyo["TZ"] = "Asia/Tokyo", utc["TZ"] = "UTC";
        const QStringList options{"convert", "-s", "160x160", "-b", "8", "-c"};
        CliResult piped = runCli(options + QStringList{"-"}, tokyo, std::string(bytes.begin(), bytes.end()));
        ASSERT_EQ(piped.exitCode, 0) << piped.err;
        EXPECT_TRUE(holds(piped.err, "- -> - ("));
        ASSERT_EQ(runCli(options + QStringList{"-n", "Untitled", "-o", path("file.pdb"), path(name)}, utc).exitCode, 0);
        const std::vector<uint8_t> file = readFile(dir.file("file.pdb"));
        EXPECT_EQ(piped.out, std::string(file.begin(), file.end())) << name;
    }
    CliResult empty = runCli({"convert", "-s", "160x160", "-o", path("none.pdb"), "-"});
    EXPECT_EQ(empty.exitCode, 1);
    EXPECT_FALSE(fs::exists(dir.file("none.pdb")));
}

}  // namespace
}  // namespace mireo::test

namespace mireo::test {
namespace {

// At 4 bits each colour keeps its brightness: the picture is turned into
// luminance grey, (299 R + 587 G + 114 B + 500) / 1000, before either grey
// reduction; nearest gives the closest of the greys 255 - 17 i, diffusion
// keeps the band's mean.  A pure colour must never come out black or white.
TEST_F(CliTest, FourBitsKeepTheBrightnessOfEachColourAndOfTheBorder) {
    const QRgb bands[] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255),
                          qRgb(255, 255, 0), qRgb(0, 255, 255), qRgb(255, 0, 255)};
    const int luminance[] = {76, 150, 29, 226, 179, 105}, nearest[] = {68, 153, 34, 221, 187, 102};
    QImage picture(192, 80, QImage::Format_RGB32);
    for (int x = 0; x < 192; ++x)
        for (int y = 0; y < 80; ++y) picture.setPixel(x, y, bands[x / 32]);
    savePicture(picture, dir.file("bands.png"));
    for (const QString method : {"nearest", "diffused"}) {
        CliResult built = runCli({"convert", "-b", "4", "-m", method, "-s", "192x192", "-f", "pad", "--border",
                                  "#00FF00", "--preview", path("grey.png"), "-o", path("grey.pdb"), path("bands.png")});
        ASSERT_EQ(built.exitCode, 0) << built.err;
        const QImage grey = QImage(path("grey.png")).convertToFormat(QImage::Format_RGB32);
        for (int band = 0; band < 6; ++band) {
            long sum = 0, count = 0;
            for (int x = band * 32 + 4; x < band * 32 + 28; ++x)
                for (int y = 60; y < 132; ++y, ++count) sum += qGreen(grey.pixel(x, y));
            if (method == "nearest") {
                EXPECT_EQ(qGreen(grey.pixel(band * 32 + 16, 96)), nearest[band]) << band;
            } else {
                EXPECT_NEAR(double(sum) / double(count), luminance[band], 6.0) << band;
            }
        }
        // The green border above and below the picture is green's grey.
        if (method == "nearest") { EXPECT_EQ(qGreen(grey.pixel(96, 10)), 153); }
    }
}

}  // namespace
}  // namespace mireo::test
