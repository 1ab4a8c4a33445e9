#include "FileTestBench.h"

#include "files/TemplateReader.h"
#include "files/TemplateWriter.h"
#include "files/TextLines.h"

#include <QtTest>

#include <memory>

// Template files (.mtp): saving, opening, start-up loading and damaged files.
class TemplateFilesTest : public QObject
{
    Q_OBJECT

private:
    static CardGridModel &gridOf(FileTestBench &bench, CardType type)
    {
        return type == CardType::Mifare1K ? bench.grid1 : type == CardType::Mifare4K ? bench.grid4 : bench.gridUL;
    }

private Q_SLOTS:
    void savedTemplateHasOneCrLfLinePerStoredBlock_data()
    {
        QTest::addColumn<CardType>("type");
        QTest::addColumn<int>("lines");
        QTest::addColumn<QByteArray>("header");
        QTest::addColumn<int>("dataLineLength");
        QTest::newRow("1K") << CardType::Mifare1K << 64 << QByteArray("**MIFARE 1K TEMPLATE**") << 48;
        QTest::newRow("4K") << CardType::Mifare4K << 256 << QByteArray("**MIFARE 4K TEMPLATE**") << 48;
        QTest::newRow("UL") << CardType::MifareUL << 15 << QByteArray("**MIFARE ULTRALIGHT TEMPLATE**") << 12;
    }
    void savedTemplateHasOneCrLfLinePerStoredBlock()
    {
        QFETCH(CardType, type);
        QFETCH(int, lines);
        QFETCH(QByteArray, header);
        QFETCH(int, dataLineLength);
        FileTestBench bench;
        bench.selected = type;
        FileTestBench::fillDefaults(gridOf(bench, type));
        bench.dialogs.fileNames << bench.path(QStringLiteral("card"));
        FileCommands(bench.context()).saveAs();

        const QByteArray data = bench.readFile(bench.path(QStringLiteral("card.mtp")));
        QCOMPARE(data.count("\r\n"), lines);
        QCOMPARE(data.count('\r') + data.count('\n'), 2 * lines);
        const QByteArrayList split = TextLines::split(data);
        QCOMPARE(split.size(), lines);
        QCOMPARE(split.first(), header);
        for (int i = 1; i < lines; ++i) {
            const int expected = (type == CardType::MifareUL && i == 1) ? 8 : dataLineLength;
            QCOMPARE(split.at(i).size(), expected);
            QVERIFY(split.at(i).endsWith(','));
        }
        if (type == CardType::MifareUL)
            QCOMPARE(split.at(1), QByteArray(",,00,00,"));
        else
            QCOMPARE(split.at(3), QByteArray("5C,5C,5C,5C,5C,5C,FF,07,80,69,5C,5C,5C,5C,5C,5C,")); // block 3
        QCOMPARE(bench.settings.readLastFile(type), bench.path(QStringLiteral("card.mtp")));
    }

    void saveThenOpenReproducesEveryStoredCell_data()
    {
        QTest::addColumn<CardType>("type");
        QTest::newRow("1K") << CardType::Mifare1K;
        QTest::newRow("4K") << CardType::Mifare4K;
        QTest::newRow("UL") << CardType::MifareUL;
    }
    void saveThenOpenReproducesEveryStoredCell()
    {
        QFETCH(CardType, type);
        FileTestBench bench;
        bench.selected = type;
        CardGridModel &grid = gridOf(bench, type);
        FileTestBench::fillPattern(grid, 1);
        CardGridModel saved(type);
        FileTestBench::fillPattern(saved, 1);
        bench.dialogs.fileNames << bench.path(QStringLiteral("round.mtp"));
        FileCommands commands(bench.context());
        commands.saveAs();

        FileTestBench::fillPattern(grid, 99); // something else everywhere
        bench.dialogs.fileNames << bench.path(QStringLiteral("round.mtp"));
        commands.openFile();
        CardGridModel other(type);
        FileTestBench::fillPattern(other, 99);
        for (int block = 0; block < FileTestBench::blocksOf(grid); ++block) {
            for (int j = 0; j < FileTestBench::bytesPerBlock(grid); ++j) {
                const bool stored = type == CardType::MifareUL ? (block > 2 || (block == 2 && j >= 2)) : block > 0;
                QCOMPARE(FileTestBench::byteCell(grid, block, j), FileTestBench::byteCell(stored ? saved : other, block, j));
            }
        }
        QCOMPARE(bench.typeChanges, QList<CardType>{type});
        QVERIFY(bench.dialogs.shown.size() == 2); // the two file dialogs, no message
    }

    void saveAddsTheExtensionOnlyWhenMtpIsNowhereInTheName_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("saved");
        QTest::newRow("no extension") << QStringLiteral("card") << QStringLiteral("card.mtp");
        QTest::newRow("upper case") << QStringLiteral("card.MTP") << QStringLiteral("card.MTP.mtp");
        QTest::newRow("mtp inside") << QStringLiteral("old.mtp.bak") << QStringLiteral("old.mtp.bak");
        QTest::newRow("already mtp") << QStringLiteral("x.mtp") << QStringLiteral("x.mtp");
    }
    void saveAddsTheExtensionOnlyWhenMtpIsNowhereInTheName()
    {
        QFETCH(QString, typed);
        QFETCH(QString, saved);
        FileTestBench bench;
        FileTestBench::fillDefaults(bench.grid1);
        bench.dialogs.fileNames << bench.path(typed);
        FileCommands(bench.context()).saveAs();
        QVERIFY(QFileInfo::exists(bench.path(saved)));
        QCOMPARE(QDir(bench.dir.path()).entryList({QStringLiteral("*mtp*")}, QDir::Files).size(), 1);
        QCOMPARE(bench.settings.readLastFile(CardType::Mifare1K), bench.path(saved));
        QVERIFY(bench.dialogs.shown.first().text.startsWith(QStringLiteral("*.mtp;;")));
    }

    void cancelledSaveStillSwitchesTheAsciiViewOff()
    {
        FileTestBench bench;
        bench.ascii = true;
        FileCommands(bench.context()).saveAs();
        QVERIFY(!bench.ascii);
        QCOMPARE(bench.asciiOffCalls, 1);
        QVERIFY(QDir(bench.dir.path()).entryList({QStringLiteral("*.mtp")}).isEmpty());
        QVERIFY(bench.settings.readLastFile(CardType::Mifare1K).isEmpty());
    }

    void declinedOverwriteKeepsFileAndSettings_data()
    {
        QTest::addColumn<bool>("answer");
        QTest::newRow("no") << false;
        QTest::newRow("yes") << true;
    }
    void declinedOverwriteKeepsFileAndSettings()
    {
        QFETCH(bool, answer);
        FileTestBench bench;
        FileTestBench::fillDefaults(bench.grid1);
        const QString name = bench.path(QStringLiteral("old.mtp"));
        bench.writeFile(name, "previous");
        bench.dialogs.fileNames << name;
        bench.dialogs.answers << answer;
        FileCommands(bench.context()).saveAs();
        QCOMPARE(bench.dialogs.shown.at(1).kind, QStringLiteral("question"));
        QCOMPARE(bench.dialogs.shown.at(1).caption, QStringLiteral("WARNING"));
        QCOMPARE(bench.dialogs.shown.at(1).text, QStringLiteral("Do you want to overwrite existing file?"));
        QCOMPARE(bench.readFile(name) == "previous", !answer);
        QCOMPARE(bench.settings.readLastFile(CardType::Mifare1K).isEmpty(), !answer);
    }

    void failedSaveReportsTheNameAndStoresNoSetting()
    {
        FileTestBench bench;
        FileTestBench::fillDefaults(bench.grid1);
        const QString name = bench.path(QStringLiteral("missing/folder/card.mtp"));
        bench.dialogs.fileNames << name;
        FileCommands(bench.context()).saveAs();
        QCOMPARE(bench.dialogs.shown.last().kind, QStringLiteral("error"));
        QVERIFY(bench.dialogs.shown.last().text.contains(name));
        QVERIFY(bench.settings.readLastFile(CardType::Mifare1K).isEmpty());
    }

    void opening4KTemplateWhile1KIsSelectedSwitchesTo4K()
    {
        FileTestBench bench;
        FileTestBench::fillPattern(bench.grid1, 5);
        CardGridModel grid1Before(CardType::Mifare1K);
        FileTestBench::fillPattern(grid1Before, 5);
        QByteArray file = TemplateWriter::header(CardType::Mifare4K) + "\r\n";
        for (int block = 1; block < 256; ++block)
            file += QByteArray("AB,").repeated(16) + "\r\n";
        const QString name = bench.path(QStringLiteral("four.mtp"));
        bench.writeFile(name, file);
        bench.dialogs.fileNames << name;
        FileCommands(bench.context()).openFile();

        QCOMPARE(bench.selected, CardType::Mifare4K);
        QCOMPARE(bench.typeChanges, QList<CardType>{CardType::Mifare4K});
        QCOMPARE(bench.settings.readLastFile(CardType::Mifare4K), name);
        QVERIFY(bench.settings.readLastFile(CardType::Mifare1K).isEmpty());
        QCOMPARE(FileTestBench::blockText(bench.grid4, 255), QByteArray("AB").repeated(16));
        QCOMPARE(FileTestBench::blockText(bench.grid4, 0), QByteArray(""));
        for (int block = 0; block < 64; ++block)
            QCOMPARE(FileTestBench::blockText(bench.grid1, block), FileTestBench::blockText(grid1Before, block));
        QVERIFY(bench.layoutCalls >= 1);
    }

    void ultralightLine2SetsOnlyTheLockBytes()
    {
        FileTestBench bench;
        FileTestBench::setBlockHex(bench.gridUL, 2, "11223344");
        const QString name = bench.path(QStringLiteral("ul.mtp"));
        bench.writeFile(name, "**MIFARE ULTRALIGHT TEMPLATE**\r\n,,0F,00,\r\n");
        bench.dialogs.fileNames << name;
        FileCommands(bench.context()).openFile();
        QCOMPARE(bench.selected, CardType::MifareUL);
        QCOMPARE(FileTestBench::blockText(bench.gridUL, 2), QByteArray("11220F00"));
    }

    void headerNamingNoTypeLoadsNothingButChangesCardType()
    {
        FileTestBench bench;
        FileTestBench::fillPattern(bench.grid1, 3);
        const QByteArray before = FileTestBench::blockText(bench.grid1, 1);
        const QString name = bench.path(QStringLiteral("odd.mtp"));
        bench.writeFile(name, "**MIFARE TEMPLATE**\r\n" + QByteArray("00,").repeated(16) + "\r\n");
        bench.dialogs.fileNames << name;
        FileCommands(bench.context()).openFile();
        QCOMPARE(bench.typeChanges.size(), 1);
        QCOMPARE(FileTestBench::blockText(bench.grid1, 1), before);
        for (CardType type : {CardType::Mifare1K, CardType::Mifare4K, CardType::MifareUL})
            QVERIFY(bench.settings.readLastFile(type).isEmpty());
        QCOMPARE(bench.dialogs.shown.last().kind, QStringLiteral("message"));
    }

    void unreadableOrEmptyFileChangesNothing_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("unreadable") << 0;
        QTest::newRow("empty") << 1;
        QTest::newRow("far too large") << 2;
    }
    void unreadableOrEmptyFileChangesNothing()
    {
        QFETCH(int, kind);
        FileTestBench bench;
        const QString name = bench.path(QStringLiteral("bad.mtp"));
        if (kind == 0) {
            QVERIFY(QDir(bench.dir.path()).mkdir(QStringLiteral("bad.mtp")));
        } else {
            bench.writeFile(name, "");
            QVERIFY(QFile::resize(name, kind == 2 ? 17 * 1024 * 1024 : 0));
        }
        bench.dialogs.fileNames << name;
        FileCommands(bench.context()).openFile();
        QVERIFY(bench.typeChanges.isEmpty());
        QCOMPARE(bench.layoutCalls, 0);
        QCOMPARE(bench.dialogs.shown.last().kind, QStringLiteral("message"));
        QVERIFY(bench.dialogs.shown.last().text.contains(name));
    }

    void startUpFillsEachGridFromItsLastTemplateOrDefaults()
    {
        FileTestBench bench;
        // 1K: a template that exists; 4K: none; UL: a template deleted since.
        const QString oneK = bench.path(QStringLiteral("one.mtp"));
        QByteArray file = TemplateWriter::header(CardType::Mifare1K) + "\r\n";
        for (int block = 1; block < 64; ++block)
            file += QByteArray("A1,").repeated(16) + "\r\n";
        bench.writeFile(oneK, file);
        bench.settings.writeLastFile(CardType::Mifare1K, oneK);
        bench.settings.writeLastFile(CardType::MifareUL, bench.path(QStringLiteral("gone.mtp")));
        FileTestBench::setBlockHex(bench.gridUL, 5, "12345678");

        FileCommands(bench.context()).loadLastTemplates();
        QCOMPARE(bench.layoutCalls, 3);
        QCOMPARE(FileTestBench::blockText(bench.grid1, 63), QByteArray("A1").repeated(16));
        QCOMPARE(FileTestBench::blockText(bench.grid4, 4), QByteArray(32, '0'));
        QCOMPARE(FileTestBench::blockText(bench.grid4, 7), QByteArray("5C5C5C5C5C5CFF0780695C5C5C5C5C5C"));
        QCOMPARE(FileTestBench::blockText(bench.gridUL, 5), QByteArray("12345678"));
        QCOMPARE(bench.dialogs.texts(), QStringList{QStringLiteral("There is no such file")});
        QCOMPARE(bench.selected, CardType::MifareUL);
    }

    void startUpWithoutLastFileKeysFillsAllThreeWithDefaults()
    {
        FileTestBench bench;
        FileCommands(bench.context()).loadLastTemplates();
        QCOMPARE(FileTestBench::blockText(bench.grid1, 3), QByteArray("5C5C5C5C5C5CFF0780695C5C5C5C5C5C"));
        QCOMPARE(FileTestBench::blockText(bench.grid4, 255), QByteArray("5C5C5C5C5C5CFF0780695C5C5C5C5C5C"));
        QCOMPARE(FileTestBench::blockText(bench.gridUL, 15), QByteArray("00000000"));
        QCOMPARE(FileTestBench::blockText(bench.grid1, 0), QByteArray());
        QVERIFY(bench.dialogs.shown.isEmpty());
    }

    void truncatedTemplateAtStartUpLoadsWhatIsThereWithOneMessage()
    {
        FileTestBench bench;
        const QString name = bench.path(QStringLiteral("short.mtp"));
        // Header, two full lines, one cut inside field 5, then nothing.
        bench.writeFile(name, "**MIFARE 1K TEMPLATE**\r\n" + QByteArray("01,").repeated(16) + "\n"
                                  + QByteArray("02,").repeated(16) + "\r" + "03,03,03,03,03,0");
        bench.settings.writeLastFile(CardType::Mifare1K, name);
        FileTestBench::fillPattern(bench.grid1, 7);
        const QByteArray before3 = FileTestBench::blockText(bench.grid1, 3);
        FileCommands(bench.context()).loadLastTemplates();
        QCOMPARE(FileTestBench::blockText(bench.grid1, 1), QByteArray("01").repeated(16));
        QCOMPARE(FileTestBench::blockText(bench.grid1, 2), QByteArray("02").repeated(16));
        QCOMPARE(FileTestBench::blockText(bench.grid1, 3).left(10), QByteArray("0303030303"));
        QCOMPARE(FileTestBench::blockText(bench.grid1, 3).mid(10), before3.mid(10));
        QCOMPARE(bench.dialogs.shown.size(), 1);
        QVERIFY(bench.dialogs.shown.first().text.contains(name));
        QVERIFY(bench.dialogs.shown.first().text.contains(QStringLiteral("60 of its 63")));
        // Start-up went on with the other card types.
        QCOMPARE(FileTestBench::blockText(bench.gridUL, 3), QByteArray("00000000"));
    }

    void readerNeverReadsPastLineOrList_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("loaded");
        QTest::addColumn<int>("missingLines");
        QTest::addColumn<int>("shortLines");
        QTest::newRow("header only") << QByteArray("**MIFARE 4K TEMPLATE**") << 1 << 0 << 255 << 0;
        QTest::newRow("nothing") << QByteArray() << 0 << 0 << 63 << 0;
        QTest::newRow("UL lock line cut") << QByteArray("UL\r\n,,0F,0") << 2 << 1 << 13 << 1;
        QTest::newRow("UL lock line empty") << QByteArray("UL\r\n\r\n") << 2 << 0 << 13 << 1;
        QTest::newRow("binary junk") << QByteArray("1K\r\n\x00\xff\x01\x80\x00", 9) << 0 << 2 << 62 << 1;
        QTest::newRow("no commas needed") << QByteArray("1K\n") + QByteArray(47, 'x') << 0 << 16 << 62 << 0;
    }
    void readerNeverReadsPastLineOrList()
    {
        QFETCH(QByteArray, data);
        QFETCH(int, type);
        QFETCH(int, loaded);
        QFETCH(int, missingLines);
        QFETCH(int, shortLines);
        // Copy into a buffer of exactly the data's size so a read past it is caught by the sanitizer.
        std::unique_ptr<char[]> exact(new char[size_t(data.size()) + 1]);
        memcpy(exact.get(), data.constData(), size_t(data.size()));
        const QByteArrayList lines = TextLines::split(QByteArray::fromRawData(exact.get(), data.size()));
        const TemplateReader::Content content = TemplateReader::read(lines, CardType(type));
        QCOMPARE(content.cells.size(), loaded);
        QCOMPARE(content.missingLines, missingLines);
        QCOMPARE(content.shortLines, shortLines);
        for (const TemplateReader::CellText &cell : content.cells)
            QCOMPARE(cell.text.size(), 2);
    }
};

QTEST_GUILESS_MAIN(TemplateFilesTest)
#include "tst_TemplateFiles.moc"
