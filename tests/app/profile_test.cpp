// The profile-file layer and the settings class over it.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScreen>
#include <QTest>
#include <QWidget>
#include <unistd.h>

#include "app_test_support.h"
#include "c_inifile.h"
#include "private_profile.h"

using profile::GetPrivateProfileString;
using profile::WritePrivateProfileString;

class ProfileTest : public QObject {
    Q_OBJECT

    QString file;

    QByteArray get(const char* section, const char* key, int size = 255, const QByteArray& fallback = "none") {
        return GetPrivateProfileString(section ? std::optional<QByteArray>(section) : std::nullopt,
                                       key ? std::optional<QByteArray>(key) : std::nullopt, fallback, size, file);
    }
    bool set(const char* section, const char* key, const char* text) {
        return WritePrivateProfileString(section, key ? std::optional<QByteArray>(key) : std::nullopt,
                                         text ? std::optional<QByteArray>(text) : std::nullopt, file);
    }

private slots:
    void init() { file = ScratchFolder() + QStringLiteral("/Test.ini"); }

    void missingFileReadsTheDefaultAndFirstWriteCreatesIt() {
        QCOMPARE(get("Program", "Name"), QByteArray("none"));
        QVERIFY(!QFile::exists(file));
        QVERIFY(set("Program", "Name", "Mireo"));
        QCOMPARE(ReadTextFile(file), QByteArray("[Program]\nName=Mireo\n"));
        QCOMPARE(get("Program", "Name"), QByteArray("Mireo"));
        QCOMPARE(get("Program", "Other"), QByteArray("none"));
        QCOMPARE(get("Elsewhere", "Name"), QByteArray("none"));
    }

    void namesCompareWithoutLetterCase() {
        QVERIFY(set("Color Depth", "Default Color Depth", "8-Bit"));
        QCOMPARE(get("COLOR DEPTH", "default color depth"), QByteArray("8-Bit"));
        QVERIFY(set("color depth", "DEFAULT COLOR DEPTH", "4-Bit"));
        QCOMPARE(ReadTextFile(file), QByteArray("[Color Depth]\nDefault Color Depth=4-Bit\n"));
    }

    void writesKeepTheRestOfTheFile() {
        WriteTextFile(file, "; my settings\r\n[A]\r\nx = 1\r\n\r\n[B]\r\ny=2\r\n");
        QCOMPARE(get("a", "X"), QByteArray("1"));
        QVERIFY(set("A", "z", "3"));
        QVERIFY(set("B", "y", "two"));
        QVERIFY(set("C", "w", "4"));
        QCOMPARE(ReadTextFile(file), QByteArray("; my settings\n[A]\nx = 1\nz=3\n\n[B]\ny=two\n\n[C]\nw=4\n"));
    }

    void valuesAreCutToTheBuffer() {
        const QByteArray longValue(300, 'v');
        QVERIFY(set("S", "k", longValue.constData()));
        QCOMPARE(get("S", "k"), QByteArray(254, 'v'));
        QCOMPARE(get("S", "k", 301), longValue);
        QCOMPARE(get("S", "missing", 4, "fallback"), QByteArray("fal"));
    }

    void listsKeysAndSectionsEachEndedByANul() {
        set("One", "a", "1");
        set("One", "b", "2");
        set("Two", "c", "3");
        QCOMPARE(get("one", nullptr), QByteArray("a\0b\0", 4));
        QCOMPARE(get(nullptr, nullptr), QByteArray("One\0Two\0", 8));
        QCOMPARE(get("One", nullptr, 4), QByteArray("a\0", 2));
        QCOMPARE(get(nullptr, nullptr, 8192, "x"), QByteArray("One\0Two\0", 8));
    }

    void aLongListIsCutToTheBufferLessTwo() {
        QByteArray content = "[Many]\n";
        for (int i = 0; i < 1500; ++i) content += "key" + QByteArray::number(i) + "=v\n";
        WriteTextFile(file, content);
        const QByteArray list = get("Many", nullptr, 8192);
        QCOMPARE(list.size(), 8190);
        QVERIFY(list.startsWith(QByteArray("key0\0key1\0", 10)));
    }

    void deletesKeysAndSections() {
        set("A", "x", "1");
        set("A", "y", "2");
        set("B", "z", "3");
        QVERIFY(set("a", "X", nullptr));
        QCOMPARE(get("A", "x"), QByteArray("none"));
        QCOMPARE(get("A", "y"), QByteArray("2"));
        QVERIFY(set("A", nullptr, nullptr));
        QCOMPARE(get(nullptr, nullptr), QByteArray("B\0", 2));
        QCOMPARE(get("B", "z"), QByteArray("3"));
    }

    void deletingWhatIsMissingDoesNotCreateTheFile() {
        QVERIFY(set("A", "x", nullptr));
        QVERIFY(set("A", nullptr, nullptr));
        QVERIFY(!QFile::exists(file));
    }

    void namesOrTextsThatWouldBreakTheFileAreRefused() {
        set("A", "x", "1");
        const QByteArray before = ReadTextFile(file);
        QVERIFY(!set("A", "x", "1\n[Evil]\nk=v"));
        QVERIFY(!set("A]", "x", "1"));
        QVERIFY(!set("A", "x=y", "1"));
        QVERIFY(!set("", "x", "1"));
        QCOMPARE(ReadTextFile(file), before);
    }

    void aFileThatCannotBeReplacedFailsAndStaysIntact() {
        // A folder in the file's place cannot be written even by root.
        QVERIFY(QDir().mkpath(file));
        QVERIFY(!set("A", "x", "1"));
        QVERIFY(QFileInfo(file).isDir());
    }

    void anUnreadableFileIsNotOverwritten() {
        if (geteuid() == 0) QSKIP("root reads every file");
        set("A", "x", "1");
        QFile(file).setPermissions(QFileDevice::WriteOwner);
        QVERIFY(!set("A", "y", "2"));
        QFile(file).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QCOMPARE(ReadTextFile(file), QByteArray("[A]\nx=1\n"));
    }
};

class IniClassTest : public QObject {
    Q_OBJECT

    cInifile ini;

private slots:
    void init() {
        ini = cInifile();
        ini.setPath(ScratchFolder() + QStringLiteral("/Mireo.ini"));
        ini.setSection(QStringLiteral("Program"));
        ini.setKey(QStringLiteral("Name"));
        ini.setDefault(QStringLiteral("Mireo"));
    }

    void successFollowsTheLastWriteOnly() {
        QCOMPARE(ini.LastReturnCode(), 0);
        QVERIFY(!ini.Success());
        QCOMPARE(ini.Value(), QStringLiteral("Mireo"));
        QVERIFY(!ini.Success());
        ini.setValue(QStringLiteral("Mireo"));
        QVERIFY(ini.Success());
        ini.setKey(QStringLiteral("Bad=Key"));
        ini.setValue(QStringLiteral("x"));
        QVERIFY(!ini.Success());
        ini.setKey(QStringLiteral("Name"));
        QCOMPARE(ini.Value(), QStringLiteral("Mireo"));
        QVERIFY(!ini.Success());
    }

    void nulCharactersAreStrippedOnWrite() {
        ini.setValue(QStringLiteral("Mi") + QChar(0) + QStringLiteral("re") + QChar(0) + QStringLiteral("o"));
        QVERIFY(ini.Success());
        ini.setDefault(QString());
        QCOMPARE(ini.Value(), QStringLiteral("Mireo"));
        QVERIFY(!ReadTextFile(ini.path()).contains('\0'));
    }

    void enumeratesKeysAndSections() {
        for (const char* key : {"Name", "Version", "Owner"}) {
            ini.setKey(QLatin1String(key));
            ini.setValue(QStringLiteral("v"));
        }
        ini.setSection(QStringLiteral("Second"));
        ini.setValue(QStringLiteral("v"));
        ini.setSection(QStringLiteral("Program"));
        QStringList names{QStringLiteral("stale")};
        int32_t count = -1;
        ini.EnumerateCurrentSection(names, count);
        QCOMPARE(names, (QStringList{"Name", "Version", "Owner"}));
        QCOMPARE(count, 3);
        ini.EnumerateAllSections(names, count);
        QCOMPARE(names, (QStringList{"Program", "Second"}));
        QCOMPARE(count, 2);
        ini.DeleteSection();
        ini.EnumerateCurrentSection(names, count);
        QCOMPARE(count, 0);
    }

    void deleteKeyRemovesOnlyThatKey() {
        ini.setValue(QStringLiteral("Mireo"));
        ini.setKey(QStringLiteral("Other"));
        ini.setValue(QStringLiteral("1"));
        ini.DeleteKey();
        QVERIFY(ini.Success());
        ini.setDefault(QStringLiteral("gone"));
        QCOMPARE(ini.Value(), QStringLiteral("gone"));
        ini.setKey(QStringLiteral("Name"));
        QCOMPARE(ini.Value(), QStringLiteral("Mireo"));
    }

    void convertsNumbersOrFallsBack() {
        QCOMPARE(cInifile::CLngDefault(QStringLiteral("42")), 42);
        QCOMPARE(cInifile::CLngDefault(QStringLiteral(" -7 ")), -7);
        QCOMPARE(cInifile::CLngDefault(QStringLiteral("2.5")), 2);
        QCOMPARE(cInifile::CLngDefault(QStringLiteral("3.5")), 4);
        QCOMPARE(cInifile::CLngDefault(QStringLiteral("FAIL"), 99), 99);
        QCOMPARE(cInifile::CLngDefault(QString(), 5), 5);
        QCOMPARE(cInifile::CLngDefault(QStringLiteral("3000000000"), 1), 1);
        QCOMPARE(cInifile::CLngDefault(QStringLiteral("-2147483648")), INT32_MIN);
    }

    void formPositionRoundTripsAndMissingKeysKeepTheWindow() {
        ini.setSection(QStringLiteral("Window"));
        QWidget window;
        window.setGeometry(40, 50, 300, 200);
        ini.LoadFormPosition(window, 100, 100);
        QCOMPARE(window.geometry(), QRect(40, 50, 300, 200));
        ini.SaveFormPosition(window);
        QCOMPARE(ini.key(), QStringLiteral("Name"));
        window.setGeometry(10, 10, 120, 120);
        ini.LoadFormPosition(window, 100, 100);
        QCOMPARE(window.geometry(), QRect(40, 50, 300, 200));
        QCOMPARE(ini.Default(), QStringLiteral("Mireo"));
    }

    void formPositionIsPulledBackOnScreen() {
        ini.setSection(QStringLiteral("Window"));
        const QSize screen = QApplication::primaryScreen()->geometry().size();
        for (const auto& [key, value] : {std::pair{"Left", -50}, {"Top", 2}, {"Width", 200}, {"Height", 150}}) {
            ini.setKey(QLatin1String(key));
            ini.setValue(QString::number(value));
        }
        QWidget window;
        ini.LoadFormPosition(window, 50, 50);
        QCOMPARE(window.geometry(), QRect(4, 4, 200, 150));
        ini.setKey(QStringLiteral("Left"));
        ini.setValue(QString::number(screen.width()));
        ini.LoadFormPosition(window, 50, 50);
        QCOMPARE(window.geometry().x(), screen.width() - 4 - 200);
    }
};

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    ProfileTest profileTest;
    IniClassTest iniTest;
    return QTest::qExec(&profileTest, argc, argv) | QTest::qExec(&iniTest, argc, argv);
}

#include "profile_test.moc"
