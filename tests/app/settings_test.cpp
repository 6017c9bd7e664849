// Reading and writing Mireo.ini: defaults, range rules, letter case and
// values that are not numbers.
#include <QApplication>
#include <QButtonGroup>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <QToolButton>

#include "app_test_support.h"
#include "c_inifile.h"
#include "form1.h"
#include "shared_state.h"

class SettingsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<RecordingDialogs> dialogs;
    std::unique_ptr<StartedProgram> program;

    Form1& form() { return program->main->form1(); }
    void store(const QByteArray& ini) { WriteTextFile(program->ini(), ini); }
    QByteArray stored(const char* section, const char* key) {
        cInifile ini;
        ini.setPath(program->ini());
        ini.setSection(QLatin1String(section));
        ini.setKey(QLatin1String(key));
        ini.setDefault(QStringLiteral("<missing>"));
        return ini.Value().toUtf8();
    }

private slots:
    void init() {
        dialogs = std::make_unique<RecordingDialogs>();
        program = std::make_unique<StartedProgram>();
    }
    void cleanup() {
        program.reset();
        dialogs.reset();
    }

    void customSizesOutsideFiftyToSixHundredReadAs320_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("expected");
        QTest::newRow("49") << QByteArray("49") << 320;
        QTest::newRow("50") << QByteArray("50") << 50;
        QTest::newRow("600") << QByteArray("600") << 600;
        QTest::newRow("601") << QByteArray("601") << 320;
        QTest::newRow("-400") << QByteArray("-400") << 320;
        QTest::newRow("not a number") << QByteArray("wide") << 320;
        QTest::newRow("empty") << QByteArray("") << 320;
    }

    void customSizesOutsideFiftyToSixHundredReadAs320() {
        QFETCH(QByteArray, text);
        QFETCH(int, expected);
        store("[Custom Size]\nWidth=" + text + "\nHeight=" + text + "\n");
        form().ReadINI();
        QCOMPARE(CustomWidth, expected);
        QCOMPARE(CustomHeight, expected);
        QVERIFY(dialogs->messages.empty());
    }

    void blockSizesAreReadWithoutARangeTest() {
        store("[Image Block Size]\nBlock1=100\nBlock2=999999\n");
        form().ReadINI();
        QCOMPARE(Block1Size, 100);
        QCOMPARE(Block2Size, 999999);
        store("[Image Block Size]\nBlock1=lots\nBlock2=\n");
        form().ReadINI();
        QCOMPARE(Block1Size, 51200);
        QCOMPARE(Block2Size, 30720);
    }

    void compressionFlagsIgnoreLetterCaseAndOtherWords() {
        store("[Compression]\nUse Backimage Compression=TRUE\nShow Compression Warning=false\n");
        form().ReadINI();
        QVERIFY(UseCompression);
        QVERIFY(!ShowCompressionWarning);
        store("[compression]\nuse backimage compression=yes\nShow Compression Warning=maybe\n");
        form().ReadINI();
        QVERIFY(UseCompression);
        QVERIFY(!ShowCompressionWarning);
        UseCompression = false;
        form().ReadINI();
        QVERIFY(!UseCompression);
    }

    void reductionMethodSelectsItsOption() {
        store("[Color Reduction Method]\nType=nearest color\n");
        form().ReadINI();
        QVERIFY(program->main->optNearestCol->isChecked());
        store("[Color Reduction Method]\nType=DITHERED\n");
        form().ReadINI();
        QVERIFY(program->main->optDithered->isChecked());
        store("[Color Reduction Method]\nType=Sharp\n");
        form().ReadINI();
        QVERIFY(program->main->optDithered->isChecked());
    }

    void depthTextIsKeptAsStored() {
        store("[Color Depth]\nDefault Color Depth=8-bit\n");
        form().ReadINI();
        QCOMPARE(DefaultColorDepth, QStringLiteral("8-bit"));
    }

    void writesTheOptionsAndSettings() {
        program->main->opt4Bit->setChecked(true);
        program->main->optNearestCol->setChecked(true);
        CustomWidth = 600;
        CustomHeight = 50;
        UseCompression = true;
        ShowCompressionWarning = false;
        Block1Size = 5120;
        Block2Size = 51200;
        form().WriteINI();
        QCOMPARE(stored("Color Depth", "Default Color Depth"), QByteArray("4-Bit"));
        QCOMPARE(stored("Color Reduction Method", "Type"), QByteArray("Nearest Color"));
        QCOMPARE(stored("Custom Size", "Width"), QByteArray("600"));
        QCOMPARE(stored("Custom Size", "Height"), QByteArray("50"));
        QCOMPARE(stored("Compression", "Use Backimage Compression"), QByteArray("True"));
        QCOMPARE(stored("Compression", "Show Compression Warning"), QByteArray("False"));
        QCOMPARE(stored("Image Block Size", "Block1"), QByteArray("5120"));
        QCOMPARE(stored("Image Block Size", "Block2"), QByteArray("51200"));
        QVERIFY(Opt4Selected && !Opt8Selected && !Opt16Selected);
        QVERIFY(dialogs->messages.empty());
    }

    void outOfRangeValuesAreWrittenAsDefaults() {
        CustomWidth = 601;
        CustomHeight = 49;
        Block1Size = 5119;
        Block2Size = 5120;
        form().WriteINI();
        QCOMPARE(stored("Custom Size", "Width"), QByteArray("320"));
        QCOMPARE(stored("Custom Size", "Height"), QByteArray("320"));
        QCOMPARE(stored("Image Block Size", "Block1"), QByteArray("51200"));
        QCOMPARE(stored("Image Block Size", "Block2"), QByteArray("30720"));
        Block1Size = 51201;
        Block2Size = 51201;
        form().WriteINI();
        QCOMPARE(stored("Image Block Size", "Block1"), QByteArray("51200"));
        QCOMPARE(stored("Image Block Size", "Block2"), QByteArray("30720"));
    }

    void nothingSelectedWritesNoMethod() {
        store("[Program]\nName=Mireo\n");
        program->main->methodOptions->setExclusive(false);
        program->main->optDithered->setChecked(false);
        program->main->optNearestCol->setChecked(false);
        form().WriteINI();
        QCOMPARE(stored("Color Reduction Method", "Type"), QByteArray("<missing>"));
    }

    void writingAndReadingRoundTrips() {
        program->main->opt8Bit->setChecked(true);
        CustomWidth = 480;
        Block2Size = 20000;
        form().WriteINI();
        CustomWidth = 0;
        Block2Size = 0;
        form().ReadINI();
        QCOMPARE(DefaultColorDepth, QStringLiteral("8-Bit"));
        QCOMPARE(CustomWidth, 480);
        QCOMPARE(Block2Size, 20000);
    }

    void aFailedWriteIsReportedOnceAndTheFileKept() {
        QFile::remove(program->ini());
        QVERIFY(QDir().mkpath(program->ini()));
        form().WriteINI();
        QCOMPARE(dialogs->texts(), QStringList{"Failed to save value to Mireo.ini file."});
        QCOMPARE(dialogs->messages[0].icon, MessageIcon::Information);
        QVERIFY(QFileInfo(program->ini()).isDir());
        form().ReadINI();
        QCOMPARE(dialogs->texts().last(), QStringLiteral("Failed to get value from Mireo.ini."));
    }
};

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    SettingsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "settings_test.moc"
