#include "ProgramRig.h"

#include "base/SettingsError.h"
#include "base/SettingsFile.h"

#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// The settings file: format, the four routines, first start, damaged and unwritable files.
class TestSettingsFile : public QObject
{
    Q_OBJECT

    // A settings file of its own in a temporary folder, created with its two header lines.
    struct Scratch {
        QTemporaryDir dir;
        SettingsFile settings {dir.filePath(QStringLiteral("s.txt"))};
        Scratch() { settings.createIfMissing(); }
    };

    static QByteArray crlf(const QByteArrayList &lines)
    {
        QByteArray out;
        for (const QByteArray &line : lines)
            out += line + "\r\n";
        return out;
    }

private Q_SLOTS:
    void firstStartWritesTheThirtyFourLines()
    {
        ProgramRig rig;
        rig.start();
        const QByteArray expected = crlf({
            "**MERLOX MIFARE V1.0 CONFIGURATION FILE", "**This file keeps parameters of MERLOX MIFARE",
            "ComPort", "0,", "Baud", "1,", "Tag_Type", "0,", "Seek_For_Tag", "FALSE,", "ONLINE", "FALSE,",
            "Auth_Source1K", "0,", "Keys1K", "5C,5C,5C,5C,5C,5C,", "Key_Type1K", "0,", "Auth_Block_No1K", "0,",
            "Read_Block_No1K", "0,", "E2prom_Block_No1K", "0,", "Auto1K", "TRUE,", "Get_Grid_Data1K", "TRUE,",
            "IKeys", "5C,5C,5C,5C,5C,5C,", "IKey_Type", "0,", "IE2prom_Block_No", "0,"});
        QCOMPARE(rig.settingsBytes(), expected);
        QCOMPARE(rig.settingsBytes().count("\r\n"), 34);
        // Readable by the user only: it holds card keys.
        QCOMPARE(QFile::permissions(rig.settings.path()) & (QFile::ReadOther | QFile::ReadGroup),
                 QFile::Permissions());
        QCOMPARE(rig.main().ui().cmb_baud->currentIndex(), 1);
        QCOMPARE(rig.main().ui().cmb_tag_type->currentIndex(), 0);
        QVERIFY(!rig.main().port().isOpen());
    }

    void valueLines_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QByteArrayList>("values");
        QTest::newRow("two values") << QByteArray("A,B,") << QByteArrayList {"A", "B"};
        QTest::newRow("text after the last comma is ignored") << QByteArray("A,B") << QByteArrayList {"A"};
        QTest::newRow("no comma, no value") << QByteArray("AB") << QByteArrayList {};
        QTest::newRow("empty line") << QByteArray() << QByteArrayList {};
        QTest::newRow("empty values") << QByteArray(",,0F,") << QByteArrayList {"", "", "0F"};
        QByteArray many;
        QByteArrayList first32;
        for (int i = 0; i < 40; ++i) {
            many += QByteArray::number(i) + ',';
            if (i < 32)
                first32 << QByteArray::number(i);
        }
        QTest::newRow("more than 32 values are cut") << many << first32;
    }
    void valueLines()
    {
        QFETCH(QByteArray, line);
        QFETCH(QByteArrayList, values);
        Scratch scratch;
        SettingsFile &settings = scratch.settings;
        QCOMPARE(settings.append("Key", line), 2);
        QCOMPARE(settings.readValues(2), values);
    }

    void keysMatchWholeLinesCaseSensitively()
    {
        Scratch scratch;
        SettingsFile &settings = scratch.settings;
        settings.append("Baud ", "4,");
        QCOMPARE(settings.findKey("Baud"), 0);
        settings.append("Baud", "3,");
        QCOMPARE(settings.findKey("baud"), 0);
        QCOMPARE(settings.findKey("Baud"), 4);
        QCOMPARE(settings.readIndex("Baud", 1), 3);
    }

    // A write replaces only the value line of its key, and nothing for a key not in
    // the file. Pasted key text with a comma and a line break stays one value.
    void writingReplacesOnlyTheValueLine()
    {
        Scratch scratch;
        SettingsFile &settings = scratch.settings;
        (void)settings.readFlag("AutoUL", true);
        (void)settings.read("Keys1K", "5C,5C,5C,5C,5C,5C,");
        settings.writeFlag("AutoUL", false);
        settings.write("Missing", {"X"});
        settings.write("Keys1K", {"A,B", "C\r\nD", "5C", "5C", "5C", "5C"});
        QCOMPARE(settings.loadLines(),
                 (QByteArrayList {"**MERLOX MIFARE V1.0 CONFIGURATION FILE",
                                  "**This file keeps parameters of MERLOX MIFARE", "AutoUL", "FALSE,", "Keys1K",
                                  "AB,CD,5C,5C,5C,5C,"}));
    }

    void lineEndsOfAnyKindAreRead()
    {
        QTemporaryDir dir;
        SettingsFile settings(dir.filePath(QStringLiteral("s.txt")));
        QFile file(settings.path());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("h1\rh2\nBaud\r\n2,\nTag_Type\r1,");
        file.close();
        QCOMPARE(settings.readIndex("Baud", 1), 2);
        QCOMPARE(settings.readIndex("Tag_Type", 0), 1);
        // The rewrite uses CR LF everywhere.
        settings.writeIndex("Baud", 4);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("h1\r\nh2\r\nBaud\r\n4,\r\nTag_Type\r\n1,\r\n"));
    }

    void lastFileKeysAreAppendedOnlyByTheirWriter()
    {
        Scratch scratch;
        SettingsFile &settings = scratch.settings;
        QCOMPARE(settings.readLastFile(CardType::Mifare4K), QString());
        QCOMPARE(settings.findKey("LastFile4K"), 0);
        settings.writeLastFile(CardType::Mifare4K, QStringLiteral("/tmp/a,b.mtp"));
        // A comma in the name cuts it when read back.
        QCOMPARE(settings.readLastFile(CardType::Mifare4K), QStringLiteral("/tmp/a"));
        settings.writeLastFile(CardType::Mifare4K, QStringLiteral("/tmp/c.mtp"));
        QCOMPARE(settings.readLastFile(CardType::Mifare4K), QStringLiteral("/tmp/c.mtp"));
        QCOMPARE(settings.loadLines().size(), 4);
    }

    void damagedFileStartsTheProgramAnyway()
    {
        ProgramRig rig;
        QByteArray junk = "h1\r\nh2\r\nBaud\r\nxyz,\r\nTag_Type\r\n77,\r\nComPort\r\n";
        for (int i = 0; i < 300; ++i)
            junk.append(char(i * 37));
        junk += "\r\nKeys1K\r\n" + QByteArray(5000, ',') + "\r\n";
        rig.writeSettingsBytes(junk);
        rig.start();
        // Not a number and out of range: no selection, no crash.
        QCOMPARE(rig.main().ui().cmb_baud->currentIndex(), -1);
        QCOMPARE(rig.main().ui().cmb_tag_type->currentIndex(), -1);
        QVERIFY(rig.dialogs.shown.isEmpty());
    }

    // Key lines without their value lines: a write puts the value line in instead of
    // overwriting the next key, and a key line is never read as a value.
    void keyLinesAreNeverValues()
    {
        Scratch scratch;
        SettingsFile &settings = scratch.settings;
        QByteArrayList lines = settings.loadLines();
        settings.saveLines(lines + QByteArrayList{"Tag_Type", "Seek_For_Tag", "Auth_Source4K", "Keys4K"});
        settings.writeIndex("Tag_Type", 2);
        settings.writeIndex("Auth_Source4K", 1);
        settings.write("Keys4K", {"11", "22", "33", "44", "55", "66"});
        QVERIFY(settings.read("Seek_For_Tag", "FALSE,").isEmpty());
        QCOMPARE(settings.loadLines().mid(2), (QByteArrayList{"Tag_Type", "2,", "Seek_For_Tag", "Auth_Source4K", "1,",
                                                              "Keys4K", "11,22,33,44,55,66,"}));
    }

    // An empty file, or one that starts with keys (no header, so the key on line 0
    // was never found and appended again at each start), is repaired at the next
    // start: header first, each key once with its first value; later starts leave it.
    void damagedStartIsRepairedOnce_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("baud");
        QTest::newRow("empty") << QByteArray() << 1;
        QTest::newRow("keys first, appended again")
            << crlf({"Baud", "4,", "Tag_Type", "0,", "Keys4K", "Baud", "1,", "Baud", "1,"}) << 4;
    }
    void damagedStartIsRepairedOnce()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, baud);
        ProgramRig rig;
        rig.writeSettingsBytes(file);
        rig.start();
        QCOMPARE(rig.main().ui().cmb_baud->currentIndex(), baud);
        const QByteArray repaired = rig.settingsBytes();
        QVERIFY(repaired.startsWith(crlf({"**MERLOX MIFARE V1.0 CONFIGURATION FILE",
                                          "**This file keeps parameters of MERLOX MIFARE", file.isEmpty() ? "ComPort" : "Baud"})));
        QCOMPARE(repaired.count("\r\nBaud\r\n"), 1);
        QCOMPARE(repaired.contains("Keys4K"), false);
        rig.windows.reset();
        rig.start();
        QCOMPARE(rig.settingsBytes(), repaired);
    }

    // A save killed between linking its new file under the settings name plus six
    // characters and renaming it over the settings file leaves that file behind; the
    // next start removes such files, unless one is so recent that another copy of the
    // program may be saving at that moment.
    void staleTemporaryFilesAreRemovedAtStart()
    {
        ProgramRig rig;
        const auto leave = [&rig](const char *suffix, int ageSeconds) {
            QFile file(rig.settings.path() + QLatin1String(suffix));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("**MERLOX MIFARE V1.0 CONFIGURATION FILE\r\n");
            QVERIFY(file.flush());
            QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-ageSeconds), QFileDevice::FileModificationTime));
        };
        leave(".GqhBEB", 3600);
        leave(".a1b2c3", 120);
        leave(".Zz9Yy8", 0);     // being saved right now
        leave(".bak", 3600);     // not a temporary
        leave(".GqhBEBx", 3600); // nor this
        rig.start();
        QStringList left = QDir(rig.dir.path()).entryList({QStringLiteral("merlox_mifare_cnf.txt.*")}, QDir::Files);
        left.sort();
        QCOMPARE(left, (QStringList{QStringLiteral("merlox_mifare_cnf.txt.GqhBEBx"), QStringLiteral("merlox_mifare_cnf.txt.Zz9Yy8"),
                                    QStringLiteral("merlox_mifare_cnf.txt.bak")}));
    }

    // A missing folder, or a plain file where the folder should be: every access
    // throws, for root too. (What the user then sees is tested with the port faults.)
    void unreachableFileThrows()
    {
        QTemporaryDir dir;
        QVERIFY_THROWS_EXCEPTION(SettingsError, (void)SettingsFile(dir.filePath(QStringLiteral("gone/s.txt"))).findKey("Baud"));
        QFile blocker(dir.filePath(QStringLiteral("blocker")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        SettingsFile broken(dir.filePath(QStringLiteral("blocker/s.txt")));
        QVERIFY_THROWS_EXCEPTION(SettingsError, broken.writeIndex("Baud", 3));
        QVERIFY_THROWS_EXCEPTION(SettingsError, broken.createIfMissing());
    }
};

QTEST_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
