#include "FileTestBench.h"

#include "files/TextArea.h"

#include <QtTest>

using namespace Qt::StringLiterals;

// Text export, import and view: the text area of each card type, the zero-byte rule
// and the Ultralight one-page shift.
class TextFilesTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Zero bytes are left out, everything else is written as it stands, then CR LF.
    void exportWritesTheTextWithoutZeroBytes_data()
    {
        QTest::addColumn<QByteArray>("block1");
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("zero inside") << "410042"_ba << "AB\r\n"_ba;
        QTest::newRow("line ends kept") << "410D0A42"_ba << "A\r\nB\r\n"_ba;
        QTest::newRow("high bytes") << "80C3A9FF"_ba << "\x80\xc3\xa9\xff\r\n"_ba;
    }
    void exportWritesTheTextWithoutZeroBytes()
    {
        QFETCH(QByteArray, block1);
        QFETCH(QByteArray, file);
        FileTestBench bench;
        GridLayout::fillDefaults(bench.grid1);
        setBlockHex(bench.grid1, 1, block1.leftJustified(32, '0'));
        bench.ascii = true;
        bench.dialogs.fileNames << bench.path(u"hello"_s);
        bench.commands().exportText();
        const QString name = bench.path(u"hello.txt"_s);
        QCOMPARE(bench.readFile(name), file);
        QVERIFY(!bench.ascii);
        QCOMPARE(bench.dialogs.shown.first().text, u"*.txt"_s);
        QCOMPARE(bench.log, (QByteArrayList{">>>>>>Exported text to " + name.toLocal8Bit() + ">>>>>", file}));
    }

    // The text and a CR LF fill the area from its start, the rest of the area becomes
    // 00; block 0 and the trailers keep what they held.
    void importFillsTheAreaAndZeroesTheRest_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("block1");
        QTest::newRow("empty") << QByteArray() << QByteArray(32, '0');
        QTest::newRow("CR and LF lines") << "A\rB\nC\r\n"_ba << "410D0A420D0A430D0A00000000000000"_ba;
        QTest::newRow("high bytes") << "\x80\xff"_ba << "80FF0D0A000000000000000000000000"_ba;
    }
    void importFillsTheAreaAndZeroesTheRest()
    {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, block1);
        FileTestBench bench;
        fillPattern(bench.grid1, 11);
        CardGridModel before(CardType::Mifare1K);
        fillPattern(before, 11);
        const QString name = bench.path(u"in.txt"_s);
        bench.writeFile(name, file);
        bench.dialogs.fileNames << name;
        bench.commands().importText();
        QCOMPARE(blockText(bench.grid1, 1), block1);
        QCOMPARE(blockText(bench.grid1, 2), QByteArray(32, '0'));
        QCOMPARE(blockText(bench.grid1, 62), QByteArray(32, '0'));
        for (int block : {0, 3, 7, 63})
            QCOMPARE(blockText(bench.grid1, block), blockText(before, block));
        QCOMPARE(bench.log.size(), 2);
        QCOMPARE(bench.log.first(), ">>>>>>Imported text from " + name.toLocal8Bit() + ">>>>>");
    }

    // Longer text fills all 752 cells and stops; an unreadable file changes nothing.
    void importLimits()
    {
        FileTestBench bench;
        GridLayout::fillDefaults(bench.grid1);
        QByteArray text;
        for (int i = 0; i < 800; ++i)
            text += char('a' + i % 26);
        const QString name = bench.path(u"long.txt"_s);
        bench.writeFile(name, text);
        bench.dialogs.fileNames << name;
        bench.commands().importText();
        QCOMPARE(TextArea::gridText(bench.grid1, TextArea::Use::ImportOrView), text.left(752));
        QCOMPARE(blockText(bench.grid1, 63), DefaultTrailer);

        const QString folder = bench.path(u"folder.txt"_s);
        QVERIFY(QDir(bench.dir.path()).mkdir(u"folder.txt"_s));
        bench.log.clear();
        bench.dialogs.fileNames << folder;
        bench.commands().importText();
        QCOMPARE(TextArea::gridText(bench.grid1, TextArea::Use::ImportOrView), text.left(752));
        QVERIFY(bench.log.isEmpty());
        QVERIFY(bench.lastShown().contains(folder));
    }

    // Export starts at page 4, import at page 3: the text moves down one page.
    void ultralightTextMovesDownOnePageThroughExportAndImport()
    {
        FileTestBench bench;
        bench.selected = CardType::MifareUL;
        GridLayout::fillDefaults(bench.gridUL);
        setBlockHex(bench.gridUL, 3, "4F545021"); // OTP: not exported
        setBlockHex(bench.gridUL, 4, "41424344");
        setBlockHex(bench.gridUL, 5, "45460000");
        const QString name = bench.path(u"ul.txt"_s);
        bench.dialogs.fileNames << name << name;
        bench.commands().exportText();
        QCOMPARE(bench.readFile(name), "ABCDEF\r\n"_ba);
        bench.commands().importText();
        QCOMPARE(blockText(bench.gridUL, 3), "41424344"_ba);
        QCOMPARE(blockText(bench.gridUL, 4), "45460D0A"_ba);
        QCOMPARE(blockText(bench.gridUL, 5), "00000000"_ba);
    }

    void textViewLogsTheTextOfTheAreaIncludingUltralightPage3()
    {
        FileTestBench bench;
        bench.selected = CardType::MifareUL;
        GridLayout::fillDefaults(bench.gridUL);
        setBlockHex(bench.gridUL, 3, "4F000000");
        setBlockHex(bench.gridUL, 15, "00004B00");
        bench.ascii = true;
        bench.commands().showDataAsText();
        QVERIFY(!bench.ascii);
        QCOMPARE(bench.log, (QByteArrayList{">>>>>>Text view of Mifare Data above>>>>>", "OK\r\n"}));
    }
};

QTEST_GUILESS_MAIN(TextFilesTest)
#include "tst_TextFiles.moc"
