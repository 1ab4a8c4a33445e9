#include "FileTestBench.h"

#include "files/TextArea.h"

#include <QtTest>

// Text export, import and view: the text area of each card type, the zero-byte rule
// and the Ultralight one-page shift.
class TextFilesTest : public QObject
{
    Q_OBJECT

private:
    // Card offset of byte j of block b for a card type.
    static int offset(CardType type, int block, int j) { return block * (type == CardType::MifareUL ? 4 : 16) + j; }

private Q_SLOTS:
    void textAreaHoldsTheDataBlocksOnly_data()
    {
        QTest::addColumn<CardType>("type");
        QTest::addColumn<TextArea::Use>("use");
        QTest::addColumn<int>("size");
        QTest::addColumn<QList<int>>("inside");  // blocks (pages) in the area
        QTest::addColumn<QList<int>>("outside"); // blocks (pages) not in it
        QTest::newRow("1K") << CardType::Mifare1K << TextArea::Use::ImportOrView << 752 << QList<int>{1, 2, 4, 62}
                            << QList<int>{0, 3, 7, 63};
        QTest::newRow("4K") << CardType::Mifare4K << TextArea::Use::Export << 3440
                            << QList<int>{1, 126, 128, 135, 142, 144, 254} << QList<int>{0, 127, 143, 159, 255};
        QTest::newRow("UL import") << CardType::MifareUL << TextArea::Use::ImportOrView << 52 << QList<int>{3, 4, 15}
                                   << QList<int>{0, 1, 2};
        QTest::newRow("UL export") << CardType::MifareUL << TextArea::Use::Export << 48 << QList<int>{4, 15}
                                   << QList<int>{0, 1, 2, 3};
    }
    void textAreaHoldsTheDataBlocksOnly()
    {
        QFETCH(CardType, type);
        QFETCH(TextArea::Use, use);
        QFETCH(int, size);
        QFETCH(QList<int>, inside);
        QFETCH(QList<int>, outside);
        const QList<int> area = TextArea::byteIndexes(type, use);
        QCOMPARE(area.size(), size);
        QVERIFY(std::is_sorted(area.begin(), area.end()));
        for (int block : inside)
            QVERIFY2(area.contains(offset(type, block, 0)), qPrintable(QString::number(block)));
        for (int block : outside)
            QVERIFY2(!area.contains(offset(type, block, 0)), qPrintable(QString::number(block)));
    }

    void exportWritesTheTextWithoutZeroBytes_data()
    {
        QTest::addColumn<QByteArray>("block1");
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("HELLO") << QByteArray("48454C4C4F") << QByteArray("HELLO\r\n");
        QTest::newRow("zero inside") << QByteArray("410042") << QByteArray("AB\r\n");
        QTest::newRow("line ends kept") << QByteArray("410D0A42") << QByteArray("A\r\nB\r\n");
        QTest::newRow("high bytes") << QByteArray("80C3A9FF") << QByteArray("\x80\xc3\xa9\xff\r\n");
    }
    void exportWritesTheTextWithoutZeroBytes()
    {
        QFETCH(QByteArray, block1);
        QFETCH(QByteArray, file);
        FileTestBench bench;
        FileTestBench::fillDefaults(bench.grid1);
        FileTestBench::setBlockHex(bench.grid1, 1, block1 + QByteArray(32 - block1.size(), '0'));
        bench.ascii = true;
        bench.dialogs.fileNames << bench.path(QStringLiteral("hello"));
        FileCommands(bench.context()).exportText();
        const QString name = bench.path(QStringLiteral("hello.txt"));
        QCOMPARE(bench.readFile(name), file);
        QVERIFY(!bench.ascii);
        QCOMPARE(bench.dialogs.shown.first().text, QStringLiteral("*.txt"));
        QCOMPARE(bench.log, (QByteArrayList{">>>>>>Exported text to " + name.toLocal8Bit() + ">>>>>", file}));
    }

    void exportNamingAndOverwrite()
    {
        FileTestBench bench;
        FileTestBench::fillDefaults(bench.grid1);
        const QString name = bench.path(QStringLiteral("text.TXT.txt"));
        bench.writeFile(name, "keep");
        bench.dialogs.fileNames << bench.path(QStringLiteral("text.TXT"));
        bench.dialogs.answers << false;
        FileCommands(bench.context()).exportText();
        QCOMPARE(bench.dialogs.shown.at(1).caption, QStringLiteral("WARNING"));
        QCOMPARE(bench.readFile(name), QByteArray("keep"));
        QVERIFY(bench.log.isEmpty());
    }

    void importFillsTheAreaAndZeroesTheRest_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("block1");
        QTest::addColumn<QByteArray>("block2");
        QTest::newRow("HELLO") << QByteArray("HELLO") << QByteArray("48454C4C4F0D0A000000000000000000")
                               << QByteArray(32, '0');
        QTest::newRow("empty") << QByteArray() << QByteArray(32, '0') << QByteArray(32, '0');
        QTest::newRow("CR and LF lines") << QByteArray("A\rB\nC\r\n") << QByteArray("410D0A420D0A430D0A00000000000000")
                                         << QByteArray(32, '0');
        QTest::newRow("high bytes") << QByteArray("\x80\xff") << QByteArray("80FF0D0A000000000000000000000000")
                                    << QByteArray(32, '0');
    }
    void importFillsTheAreaAndZeroesTheRest()
    {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, block1);
        QFETCH(QByteArray, block2);
        FileTestBench bench;
        FileTestBench::fillPattern(bench.grid1, 11);
        CardGridModel before(CardType::Mifare1K);
        FileTestBench::fillPattern(before, 11);
        const QString name = bench.path(QStringLiteral("in.txt"));
        bench.writeFile(name, file);
        bench.dialogs.fileNames << name;
        FileCommands(bench.context()).importText();
        QCOMPARE(FileTestBench::blockText(bench.grid1, 1), block1);
        QCOMPARE(FileTestBench::blockText(bench.grid1, 2), block2);
        QCOMPARE(FileTestBench::blockText(bench.grid1, 62), QByteArray(32, '0'));
        for (int block : {0, 3, 7, 63})
            QCOMPARE(FileTestBench::blockText(bench.grid1, block), FileTestBench::blockText(before, block));
        QCOMPARE(bench.log.size(), 2);
        QCOMPARE(bench.log.first(), ">>>>>>Imported text from " + name.toLocal8Bit() + ">>>>>");
    }

    void importOf800CharactersFillsAll752Cells()
    {
        FileTestBench bench;
        FileTestBench::fillDefaults(bench.grid1);
        QByteArray text;
        for (int i = 0; i < 800; ++i)
            text += char('a' + i % 26);
        const QString name = bench.path(QStringLiteral("long.txt"));
        bench.writeFile(name, text);
        bench.dialogs.fileNames << name;
        FileCommands(bench.context()).importText();
        QCOMPARE(TextArea::gridText(bench.grid1, TextArea::Use::ImportOrView), text.left(752));
        QCOMPARE(FileTestBench::blockText(bench.grid1, 63), QByteArray("5C5C5C5C5C5CFF0780695C5C5C5C5C5C"));
    }

    void unreadableImportChangesNothing()
    {
        FileTestBench bench;
        FileTestBench::fillDefaults(bench.grid1);
        FileTestBench::setBlockHex(bench.grid1, 1, QByteArray("41").repeated(16));
        const QString name = bench.path(QStringLiteral("folder.txt"));
        QVERIFY(QDir(bench.dir.path()).mkdir(QStringLiteral("folder.txt")));
        bench.dialogs.fileNames << name;
        FileCommands(bench.context()).importText();
        QCOMPARE(FileTestBench::blockText(bench.grid1, 1), QByteArray("41").repeated(16));
        QVERIFY(bench.log.isEmpty());
        QVERIFY(bench.dialogs.shown.last().text.contains(name));
    }

    void ultralightTextMovesDownOnePageThroughExportAndImport()
    {
        FileTestBench bench;
        bench.selected = CardType::MifareUL;
        FileTestBench::fillDefaults(bench.gridUL);
        FileTestBench::setBlockHex(bench.gridUL, 3, "4F545021"); // OTP: not exported
        FileTestBench::setBlockHex(bench.gridUL, 4, "41424344");
        FileTestBench::setBlockHex(bench.gridUL, 5, "45460000");
        const QString name = bench.path(QStringLiteral("ul.txt"));
        bench.dialogs.fileNames << name << name;
        FileCommands commands(bench.context());
        commands.exportText();
        QCOMPARE(bench.readFile(name), QByteArray("ABCDEF\r\n"));
        commands.importText();
        QCOMPARE(FileTestBench::blockText(bench.gridUL, 3), QByteArray("41424344"));
        QCOMPARE(FileTestBench::blockText(bench.gridUL, 4), QByteArray("45460D0A"));
        QCOMPARE(FileTestBench::blockText(bench.gridUL, 5), QByteArray("00000000"));
    }

    void textViewLogsTheTextOfTheAreaIncludingUltralightPage3()
    {
        FileTestBench bench;
        bench.selected = CardType::MifareUL;
        FileTestBench::fillDefaults(bench.gridUL);
        FileTestBench::setBlockHex(bench.gridUL, 3, "4F000000");
        FileTestBench::setBlockHex(bench.gridUL, 15, "00004B00");
        bench.ascii = true;
        FileCommands(bench.context()).showDataAsText();
        QVERIFY(!bench.ascii);
        QCOMPARE(bench.log, (QByteArrayList{">>>>>>Text view of Mifare Data above>>>>>", "OK\r\n"}));
    }
};

QTEST_GUILESS_MAIN(TextFilesTest)
#include "tst_TextFiles.moc"
