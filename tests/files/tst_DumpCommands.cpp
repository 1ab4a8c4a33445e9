#include "FileTestBench.h"

#include "files/DumpFormat.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

QString filterOf(DumpFormat format)
{
    for (const QString &filter : DumpFormats::filters())
        if (DumpFormats::ofFilter(filter) == format)
            return filter;
    return {};
}

} // namespace

// Opening and saving dump formats through the File menu commands.
class DumpCommandsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A raw 1K dump opened while Ultralight is selected: the type changes, the ASCII
    // view goes off, block 0 is filled too, and no template name is remembered. Saved
    // as JSON under a bare name and opened again, every byte comes back.
    void rawDumpOpensAndRoundTripsThroughJson()
    {
        const QString sample = qEnvironmentVariable("MERLOX_TEST_DATA") + u"/files/sample1k.bin"_s;
        QVERIFY2(QFileInfo::exists(sample), "MERLOX_TEST_DATA must name tests/data");
        FileTestBench bench;
        bench.selected = CardType::MifareUL;
        bench.ascii = true;
        bench.open(sample);
        QCOMPARE(bench.typeChanges, QList<CardType>{CardType::Mifare1K});
        QVERIFY(!bench.ascii);
        QCOMPARE(bench.layoutCalls, 1);
        QCOMPARE(blockText(bench.grid1, 0), "A35F129C720804006263646566676869"_ba);
        QCOMPARE(blockText(bench.grid1, 7), "A0A1A2A3A4A578778800B0B1B2B3B4B5"_ba);
        QCOMPARE(bench.dialogs.shown.size(), 1); // the open dialog only
        QCOMPARE(bench.dialogs.shown.first().text,
                 u"All card images (*.mtp *.bin *.mfd *.dump *.eml *.json *.mct *.nfc);;"_s
                     + DumpFormats::filters().join(u";;"_s));
        QVERIFY(bench.dialogs.shown.first().folder.isEmpty());
        QVERIFY(bench.settings.readLastFile(CardType::Mifare1K).isEmpty());

        CardGridModel opened(CardType::Mifare1K);
        for (int block = 0; block < 64; ++block)
            setBlockHex(opened, block, blockText(bench.grid1, block));
        bench.saveAs(bench.path(u"card"_s), filterOf(DumpFormat::Json));
        QVERIFY2(QFileInfo::exists(bench.path(u"card.json"_s)), qPrintable(bench.dialogs.texts().join(u'\n')));
        // Each card image dialog starts where the last one was used.
        QCOMPARE(bench.dialogs.shown.at(1).folder, QFileInfo(sample).absolutePath());
        fillPattern(bench.grid1, 77);
        bench.selected = CardType::MifareUL;
        bench.open(bench.path(u"card.json"_s));
        QCOMPARE(bench.selected, CardType::Mifare1K);
        for (int block = 0; block < 64; ++block)
            QCOMPARE(blockText(bench.grid1, block), blockText(opened, block));
        QCOMPARE(bench.dialogs.shown.size(), 3); // the three file dialogs, no message
        QCOMPARE(bench.dialogs.shown.at(2).folder, bench.dir.path());
        QVERIFY(bench.settings.readLastFile(CardType::Mifare1K).isEmpty());
        QCOMPARE(bench.settings.loadLines().count("LastFolder"), 1);
    }

    // An Ultralight .bin with a 56-byte header: the pages land on the grid, the log
    // says what the header held.
    void ultralightDumpHeaderGoesToTheLog()
    {
        FileTestBench bench;
        const QByteArray pages = QByteArray::fromHex("04A1B2C3").repeated(16);
        bench.writeFile(bench.path(u"ul.bin"_s), QByteArray(11, '\0') + '\x0F' + QByteArray(44, '\0') + pages);
        bench.open(bench.path(u"ul.bin"_s));
        QCOMPARE(bench.selected, CardType::MifareUL);
        QCOMPARE(blockText(bench.gridUL, 9), "04A1B2C3"_ba);
        QCOMPARE(bench.log.size(), 1);
        QVERIFY2(bench.log.first().startsWith("Ultralight dump header: version 0000000000000000, TBO 0000, TBO1 00, "
                                              "pages 15, "),
                 bench.log.first().constData());
    }

    // Bytes a dump leaves unknown keep what the grid held, and a message counts them.
    void unknownBytesKeepTheirCellsAndAreCounted()
    {
        FileTestBench bench;
        fillPattern(bench.grid1, 2);
        CardGridModel before(CardType::Mifare1K);
        fillPattern(before, 2);
        const QString name = bench.path(u"part.mct"_s);
        bench.writeFile(name, "+Sector: 1\n" + QByteArray(32, '1') + "\n" + QByteArray(32, '2') + "\n"
                                  + QByteArray(32, '3') + "\n------------FF078069" + QByteArray(12, '-') + "\n");
        bench.open(name);
        QCOMPARE(blockText(bench.grid1, 4), QByteArray(32, '1'));
        QCOMPARE(blockText(bench.grid1, 7), blockText(before, 7).left(12) + "FF078069" + blockText(before, 7).mid(20));
        QCOMPARE(blockText(bench.grid1, 0), blockText(before, 0));
        QCOMPARE(bench.dialogs.shown.last().kind, u"message"_s);
        QVERIFY(bench.lastShown().startsWith(u"972 of the 1024 bytes in "_s + name));
    }

    void malformedDumpIsRefusedWithNameAndLineBeforeAnythingChanges()
    {
        FileTestBench bench;
        fillPattern(bench.grid1, 2);
        const QByteArray before = blockText(bench.grid1, 4);
        const QString name = bench.path(u"bad.mct"_s);
        bench.writeFile(name, "+Sector: 1\r\n" + QByteArray(32, '1') + "\r\n+Sector: 1\r\n");
        bench.open(name);
        QVERIFY(bench.typeChanges.isEmpty());
        QCOMPARE(bench.layoutCalls, 0);
        QCOMPARE(blockText(bench.grid1, 4), before);
        QVERIFY2(bench.lastShown().contains(name) && bench.lastShown().contains(u"line 1: sector 1 has 1 of its 4"_s),
                 qPrintable(bench.lastShown()));
    }

    // A grid the format cannot hold is refused with the reason; the old file stays.
    void saveRefusesWhatTheFormatCannotHold_data()
    {
        QTest::addColumn<DumpFormat>("format");
        QTest::addColumn<CardType>("type");
        QTest::addColumn<QByteArray>("badCell"); // written into block 5 byte 3 (page 5 byte 3)
        QTest::addColumn<QString>("problem");
        QTest::newRow("bin with empty block 0") << DumpFormat::Raw << CardType::Mifare1K << "00"_ba
                                                << u"block 0, byte 0 is empty"_s;
        QTest::newRow("nfc one digit") << DumpFormat::Nfc << CardType::MifareUL << "A"_ba
                                       << u"page 5, byte 3 holds \"A\""_s;
        QTest::newRow("mct Ultralight") << DumpFormat::Mct << CardType::MifareUL << "00"_ba
                                        << u"Mifare Classic cards only"_s;
    }
    void saveRefusesWhatTheFormatCannotHold()
    {
        QFETCH(DumpFormat, format);
        QFETCH(CardType, type);
        QFETCH(QByteArray, badCell);
        QFETCH(QString, problem);
        FileTestBench bench;
        bench.selected = type;
        CardGridModel &grid = bench.grid(type);
        fillPattern(grid, 0);
        if (format == DumpFormat::Raw)
            setBlockHex(grid, 0, QByteArray()); // never read from a card
        grid.setCell(byteColumn(grid, 3), 7, badCell);
        const QString name = bench.path(u"out"_s) + DumpFormats::extension(format);
        bench.writeFile(name, "previous");
        bench.saveAs(name, filterOf(format));
        QCOMPARE(bench.readFile(name), "previous"_ba);
        QVERIFY2(bench.lastShown().contains(problem) && bench.lastShown().contains(name), qPrintable(bench.lastShown()));
    }
};

QTEST_GUILESS_MAIN(DumpCommandsTest)
#include "tst_DumpCommands.moc"
