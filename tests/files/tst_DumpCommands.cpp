#include "FileTestBench.h"

#include "files/DumpFormat.h"

#include <QtTest>

// Opening and saving dump formats through the File menu commands.
class DumpCommandsTest : public QObject
{
    Q_OBJECT

private:
    static QString sample1KPath()
    {
        return qEnvironmentVariable("MERLOX_TEST_DATA") + QStringLiteral("/files/sample1k.bin");
    }
    static QString filterOf(DumpFormat format)
    {
        for (const QString &filter : DumpFormats::filters()) {
            if (DumpFormats::ofFilter(filter) == format)
                return filter;
        }
        return {};
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(QFileInfo::exists(qEnvironmentVariable("MERLOX_TEST_DATA") + QStringLiteral("/files/sample1k.bin")),
                 "MERLOX_TEST_DATA must name tests/data");
    }

    void openingARawDumpSwitchesTypeAndFillsBlock0()
    {
        FileTestBench bench;
        bench.selected = CardType::MifareUL;
        bench.ascii = true;
        bench.dialogs.fileNames << sample1KPath();
        FileCommands(bench.context()).openFile();
        QCOMPARE(bench.selected, CardType::Mifare1K);
        QCOMPARE(bench.typeChanges, QList<CardType>{CardType::Mifare1K});
        QVERIFY(!bench.ascii);
        QCOMPARE(bench.layoutCalls, 1);
        QCOMPARE(FileTestBench::blockText(bench.grid1, 0), QByteArray("A35F129C720804006263646566676869"));
        QCOMPARE(FileTestBench::blockText(bench.grid1, 7), QByteArray("A0A1A2A3A4A57877880" "0B0B1B2B3B4B5"));
        QVERIFY(bench.dialogs.texts().size() == 1); // the open dialog only
        // Templates alone are remembered for start-up.
        QVERIFY(bench.settings.readLastFile(CardType::Mifare1K).isEmpty());
        QCOMPARE(bench.dialogs.shown.first().text, DumpFormats::filters().join(QStringLiteral(";;")));
    }

    void savedDumpsOpenToTheSameCells_data()
    {
        QTest::addColumn<DumpFormat>("format");
        QTest::addColumn<CardType>("type");
        QTest::addColumn<QString>("file");
        QTest::newRow("bin 1K") << DumpFormat::Raw << CardType::Mifare1K << QStringLiteral("card.bin");
        QTest::newRow("json UL") << DumpFormat::Json << CardType::MifareUL << QStringLiteral("card.json");
        QTest::newRow("mct 4K") << DumpFormat::Mct << CardType::Mifare4K << QStringLiteral("card.mct");
        QTest::newRow("nfc UL") << DumpFormat::Nfc << CardType::MifareUL << QStringLiteral("card.nfc");
    }
    void savedDumpsOpenToTheSameCells()
    {
        QFETCH(DumpFormat, format);
        QFETCH(CardType, type);
        QFETCH(QString, file);
        FileTestBench bench;
        bench.selected = type;
        CardGridModel &grid = type == CardType::Mifare1K ? bench.grid1 : type == CardType::Mifare4K ? bench.grid4 : bench.gridUL;
        FileTestBench::fillPattern(grid, 4);
        CardGridModel saved(type);
        FileTestBench::fillPattern(saved, 4);
        FileCommands commands(bench.context());
        bench.dialogs.fileNames << bench.path(QStringLiteral("card"));
        bench.dialogs.filters << filterOf(format);
        commands.saveAs();
        QVERIFY2(QFileInfo::exists(bench.path(file)), qPrintable(bench.dialogs.texts().join(QLatin1Char('\n'))));

        FileTestBench::fillPattern(grid, 77);
        bench.selected = type == CardType::MifareUL ? CardType::Mifare1K : CardType::MifareUL;
        bench.dialogs.fileNames << bench.path(file);
        commands.openFile();
        QCOMPARE(bench.selected, type);
        for (int block = 0; block < FileTestBench::blocksOf(grid); ++block)
            QCOMPARE(FileTestBench::blockText(grid, block), FileTestBench::blockText(saved, block));
        QCOMPARE(bench.dialogs.shown.size(), 2);
    }

    void rawDumpSavedAsJsonAndMctGivesTheSameBytes()
    {
        FileTestBench bench;
        FileCommands commands(bench.context());
        bench.dialogs.fileNames << sample1KPath();
        commands.openFile();
        for (DumpFormat format : {DumpFormat::Json, DumpFormat::Mct}) {
            bench.dialogs.fileNames << bench.path(QStringLiteral("via")) + DumpFormats::extension(format);
            bench.dialogs.filters << filterOf(format);
            commands.saveAs();
            FileTestBench::fillPattern(bench.grid1, 1);
            bench.dialogs.fileNames << bench.path(QStringLiteral("via")) + DumpFormats::extension(format);
            commands.openFile();
            bench.dialogs.fileNames << bench.path(QStringLiteral("again.bin"));
            bench.dialogs.filters << filterOf(DumpFormat::Raw);
            commands.saveAs();
            QCOMPARE(bench.readFile(bench.path(QStringLiteral("again.bin"))), bench.readFile(sample1KPath()));
            QVERIFY(QFile::remove(bench.path(QStringLiteral("again.bin"))));
        }
    }

    void unknownBytesKeepTheirCellsAndAreCounted()
    {
        FileTestBench bench;
        FileTestBench::fillPattern(bench.grid1, 2);
        CardGridModel before(CardType::Mifare1K);
        FileTestBench::fillPattern(before, 2);
        const QString name = bench.path(QStringLiteral("part.mct"));
        bench.writeFile(name, "+Sector: 1\n" + QByteArray(32, '1') + "\n" + QByteArray(32, '2') + "\n"
                                  + QByteArray(32, '3') + "\n------------FF078069" + QByteArray(12, '-') + "\n");
        bench.dialogs.fileNames << name;
        FileCommands(bench.context()).openFile();
        QCOMPARE(FileTestBench::blockText(bench.grid1, 4), QByteArray(32, '1'));
        QCOMPARE(FileTestBench::blockText(bench.grid1, 7), FileTestBench::blockText(before, 7).left(12) + "FF078069"
                                                               + FileTestBench::blockText(before, 7).mid(20));
        QCOMPARE(FileTestBench::blockText(bench.grid1, 0), FileTestBench::blockText(before, 0));
        QCOMPARE(bench.dialogs.shown.last().kind, QStringLiteral("message"));
        QVERIFY(bench.dialogs.shown.last().text.startsWith(QStringLiteral("972 of the 1024 bytes in ") + name));
    }

    void malformedDumpIsRefusedWithNameAndLineBeforeAnythingChanges()
    {
        FileTestBench bench;
        FileTestBench::fillPattern(bench.grid1, 2);
        const QByteArray before = FileTestBench::blockText(bench.grid1, 4);
        const QString name = bench.path(QStringLiteral("bad.mct"));
        bench.writeFile(name, "+Sector: 1\r\n" + QByteArray(32, '1') + "\r\n+Sector: 1\r\n");
        bench.dialogs.fileNames << name;
        FileCommands(bench.context()).openFile();
        QVERIFY(bench.typeChanges.isEmpty());
        QCOMPARE(bench.layoutCalls, 0);
        QCOMPARE(FileTestBench::blockText(bench.grid1, 4), before);
        const QString message = bench.dialogs.shown.last().text;
        QVERIFY2(message.contains(name) && message.contains(QStringLiteral("line 1: sector 1 has 1 of its 4")),
                 qPrintable(message));
    }

    void saveRefusesWhatTheFormatCannotHold_data()
    {
        QTest::addColumn<DumpFormat>("format");
        QTest::addColumn<CardType>("type");
        QTest::addColumn<QByteArray>("badCell"); // written into block 5 byte 3 (page 5 byte 3)
        QTest::addColumn<QString>("problem");
        QTest::newRow("bin with empty block 0") << DumpFormat::Raw << CardType::Mifare1K << QByteArray("00")
                                                << QStringLiteral("block 0, byte 0 is empty");
        QTest::newRow("json not hex") << DumpFormat::Json << CardType::Mifare4K << QByteArray("G1")
                                      << QStringLiteral("block 5, byte 3 holds \"G1\"");
        QTest::newRow("nfc one digit") << DumpFormat::Nfc << CardType::MifareUL << QByteArray("A")
                                       << QStringLiteral("page 5, byte 3 holds \"A\"");
        QTest::newRow("mct Ultralight") << DumpFormat::Mct << CardType::MifareUL << QByteArray("00")
                                        << QStringLiteral("Mifare Classic cards only");
    }
    void saveRefusesWhatTheFormatCannotHold()
    {
        QFETCH(DumpFormat, format);
        QFETCH(CardType, type);
        QFETCH(QByteArray, badCell);
        QFETCH(QString, problem);
        FileTestBench bench;
        bench.selected = type;
        CardGridModel &grid = type == CardType::Mifare1K ? bench.grid1 : type == CardType::Mifare4K ? bench.grid4 : bench.gridUL;
        FileTestBench::fillPattern(grid, 0);
        if (format == DumpFormat::Raw)
            FileTestBench::setBlockHex(grid, 0, QByteArray()); // never read from a card
        FileTestBench::setByteCell(grid, 5, 3, badCell);
        const QString name = bench.path(QStringLiteral("out")) + DumpFormats::extension(format);
        bench.writeFile(name, "previous");
        bench.dialogs.fileNames << name;
        bench.dialogs.filters << filterOf(format);
        FileCommands(bench.context()).saveAs();
        QCOMPARE(bench.readFile(name), QByteArray("previous"));
        const QString message = bench.dialogs.shown.last().text;
        QVERIFY2(message.contains(problem) && message.contains(name), qPrintable(message));
    }

    void dumpNamesGetTheExtensionOnlyWhenTheyHaveNone_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("saved");
        QTest::newRow("bare") << QStringLiteral("card") << QStringLiteral("card.json");
        QTest::newRow("other extension") << QStringLiteral("card.dat") << QStringLiteral("card.dat");
        QTest::newRow("own extension") << QStringLiteral("card.json") << QStringLiteral("card.json");
    }
    void dumpNamesGetTheExtensionOnlyWhenTheyHaveNone()
    {
        QFETCH(QString, typed);
        QFETCH(QString, saved);
        FileTestBench bench;
        FileTestBench::fillPattern(bench.grid1, 0);
        bench.dialogs.fileNames << bench.path(typed);
        bench.dialogs.filters << filterOf(DumpFormat::Json);
        FileCommands(bench.context()).saveAs();
        QVERIFY(QFileInfo::exists(bench.path(saved)));
        QVERIFY(bench.settings.readLastFile(CardType::Mifare1K).isEmpty());
    }
};

QTEST_GUILESS_MAIN(DumpCommandsTest)
#include "tst_DumpCommands.moc"
