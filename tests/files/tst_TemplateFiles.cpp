#include "FileTestBench.h"

#include "files/TemplateWriter.h"
#include "files/TextLines.h"

#include <QtTest>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

// Template files (.mtp): saving, opening, start-up loading and damaged files.
class TemplateFilesTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A header, then one CR LF line of "XX," fields per stored block; Ultralight stores
    // only the lock bytes of page 2. ".mtp" is added only when it is nowhere in the
    // name (case-sensitive); the saved name is remembered for the card type. Opened
    // with another type selected, the type switches, every stored cell comes back,
    // block 0 (pages 0, 1 and bytes 0, 1 of page 2) keep what they held.
    void saveThenOpen_data()
    {
        QTest::addColumn<CardType>("type");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("saved");
        QTest::addColumn<int>("lines");
        QTest::addColumn<QByteArray>("header");
        QTest::newRow("1K") << CardType::Mifare1K << u"card.MTP"_s << u"card.MTP.mtp"_s << 64
                            << "**MIFARE 1K TEMPLATE**"_ba;
        QTest::newRow("4K") << CardType::Mifare4K << u"old.mtp.bak"_s << u"old.mtp.bak"_s << 256
                            << "**MIFARE 4K TEMPLATE**"_ba;
        QTest::newRow("UL") << CardType::MifareUL << u"card"_s << u"card.mtp"_s << 15
                            << "**MIFARE ULTRALIGHT TEMPLATE**"_ba;
    }
    void saveThenOpen()
    {
        QFETCH(CardType, type);
        QFETCH(QString, typed);
        QFETCH(QString, saved);
        QFETCH(int, lines);
        QFETCH(QByteArray, header);
        FileTestBench bench;
        bench.selected = type;
        CardGridModel &grid = bench.grid(type);
        fillPattern(grid, 1);
        bench.saveAs(bench.path(typed));
        QVERIFY(bench.dialogs.shown.first().text.startsWith(u"*.mtp;;"_s));
        QCOMPARE(QDir(bench.dir.path()).entryList({u"*mtp*"_s}, QDir::Files), QStringList{saved});
        QCOMPARE(bench.settings.readLastFile(type), bench.path(saved));
        const QByteArray data = bench.readFile(bench.path(saved));
        QCOMPARE(data.count("\r\n"), lines);
        QCOMPARE(data.count('\r') + data.count('\n'), 2 * lines);
        const QByteArrayList split = TextLines::split(data);
        QCOMPARE(split.size(), lines);
        QCOMPARE(split.first(), header);
        const bool ul = type == CardType::MifareUL;
        QByteArray line1 = ul ? ",,"_ba : ""_ba; // block 1 (page 2)
        for (int j = ul ? 2 : 0; j < bytesPerBlock(grid); ++j)
            line1 += byteCell(grid, ul ? 2 : 1, j) + ',';
        QCOMPARE(split.at(1), line1);
        for (int i = 2; i < lines; ++i)
            QCOMPARE(split.at(i).size(), 3 * bytesPerBlock(grid));

        fillPattern(grid, 99);
        const CardType other = type == CardType::Mifare4K ? CardType::Mifare1K : CardType::Mifare4K;
        fillPattern(bench.grid(other), 5);
        bench.selected = other;
        bench.open(bench.path(saved));
        QCOMPARE(bench.typeChanges, QList<CardType>{type});
        QCOMPARE(bench.settings.readLastFile(type), bench.path(saved));
        QVERIFY(bench.settings.readLastFile(other).isEmpty());
        CardGridModel written(type), overwritten(type), untouched(other);
        fillPattern(written, 1);
        fillPattern(overwritten, 99);
        fillPattern(untouched, 5);
        for (int block = 0; block < blocksOf(grid); ++block) {
            for (int j = 0; j < bytesPerBlock(grid); ++j) {
                const bool stored = ul ? (block > 2 || (block == 2 && j >= 2)) : block > 0;
                QCOMPARE(byteCell(grid, block, j), byteCell(stored ? written : overwritten, block, j));
            }
        }
        for (int block = 0; block < blocksOf(untouched); ++block)
            QCOMPARE(blockText(bench.grid(other), block), blockText(untouched, block));
        QCOMPARE(bench.dialogs.shown.size(), 2); // the two file dialogs, no message
    }

    // "No" to the overwrite question keeps the file and the remembered name; a file
    // that cannot be written is reported by name and not remembered.
    void refusedSavesKeepFileAndSettings_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("exists");
        QTest::newRow("overwrite declined") << u"old.mtp"_s << true;
        QTest::newRow("folder missing") << u"missing/folder/card.mtp"_s << false;
    }
    void refusedSavesKeepFileAndSettings()
    {
        QFETCH(QString, name);
        QFETCH(bool, exists);
        FileTestBench bench;
        GridLayout::fillDefaults(bench.grid1);
        const QString path = bench.path(name);
        if (exists)
            bench.writeFile(path, "previous");
        bench.dialogs.answers << false;
        bench.saveAs(path);
        if (exists) {
            QCOMPARE(bench.dialogs.shown.at(1).kind, u"question"_s);
            QCOMPARE(bench.readFile(path), "previous"_ba);
        } else {
            QCOMPARE(bench.dialogs.shown.last().kind, u"error"_s);
            QVERIFY(bench.lastShown().contains(path));
        }
        QVERIFY(bench.settings.readLastFile(CardType::Mifare1K).isEmpty());
    }

    // Files that cannot be loaded leave the grids and the layouts alone; a header that
    // names no card type still runs the card-type change.
    void unloadableFileChangesNothing_data()
    {
        QTest::addColumn<int>("size"); // -1: a folder
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("typeChanges");
        QTest::newRow("unreadable") << -1 << QByteArray() << 0;
        QTest::newRow("empty") << 0 << QByteArray() << 0;
        QTest::newRow("far too large") << 17 * 1024 * 1024 << QByteArray() << 0;
        QTest::newRow("no card type") << 0 << "**MIFARE TEMPLATE**\r\n"_ba + "00,"_ba.repeated(16) + "\r\n" << 1;
    }
    void unloadableFileChangesNothing()
    {
        QFETCH(int, size);
        QFETCH(QByteArray, data);
        QFETCH(int, typeChanges);
        FileTestBench bench;
        fillPattern(bench.grid1, 3);
        const QByteArray before = blockText(bench.grid1, 1);
        const QString name = bench.path(u"bad.mtp"_s);
        if (size < 0)
            QVERIFY(QDir(bench.dir.path()).mkdir(u"bad.mtp"_s));
        else
            bench.writeFile(name, data);
        if (size > 0)
            QVERIFY(QFile::resize(name, size));
        bench.open(name);
        QCOMPARE(bench.typeChanges.size(), typeChanges);
        QCOMPARE(blockText(bench.grid1, 1), before);
        QCOMPARE(bench.dialogs.shown.last().kind, u"message"_s);
        if (typeChanges == 0) {
            QCOMPARE(bench.layoutCalls, 0);
            QVERIFY(bench.lastShown().contains(name));
        }
        QVERIFY(bench.settings.readLastFile(CardType::Mifare1K).isEmpty());
    }

    // A remembered or chosen name that is a device or a FIFO (which would block, or
    // never end: it reports size 0) is refused at once with a message; nothing is read.
    void onlyRegularFilesAreRead_data()
    {
        QTest::addColumn<QString>("name"); // empty: a FIFO
        QTest::addColumn<bool>("atStart");
        QTest::newRow("device remembered") << u"/dev/zero"_s << true;
        QTest::newRow("FIFO remembered") << QString() << true;
        QTest::newRow("FIFO opened") << QString() << false;
    }
    void onlyRegularFilesAreRead()
    {
        QFETCH(QString, name);
        QFETCH(bool, atStart);
        FileTestBench bench;
        if (name.isEmpty()) {
            name = bench.path(u"fifo.mtp"_s);
            QCOMPARE(mkfifo(QFile::encodeName(name).constData(), 0600), 0);
        }
        fillPattern(bench.grid1, 5);
        const QByteArray before = blockText(bench.grid1, 1);
        if (atStart) {
            bench.settings.writeLastFile(CardType::Mifare1K, name);
            bench.commands().loadLastTemplates();
        } else {
            bench.open(name);
        }
        QCOMPARE(blockText(bench.grid1, 1), before);
        QVERIFY(bench.dialogs.texts().contains(u"Cannot read the file %1: it is not a regular file"_s.arg(name)));
    }

    // Start-up: 1K from a template cut short (what is there is loaded, one message
    // says what is missing), 4K with no name gets defaults, UL's template has gone (the
    // grid is kept); the last type loaded stays selected.
    void startUpFillsEachGridFromItsLastTemplateOrDefaults()
    {
        FileTestBench bench;
        const QString oneK = bench.path(u"short.mtp"_s);
        bench.writeFile(oneK, TemplateWriter::header(CardType::Mifare1K) + "\r\n" + "01,"_ba.repeated(16) + "\n"
                                  + "02,"_ba.repeated(16) + "\r" + "03,03,03,03,03,0");
        bench.settings.writeLastFile(CardType::Mifare1K, oneK);
        bench.settings.writeLastFile(CardType::MifareUL, bench.path(u"gone.mtp"_s));
        fillPattern(bench.grid1, 7);
        const QByteArray before3 = blockText(bench.grid1, 3);
        setBlockHex(bench.gridUL, 5, "12345678");

        bench.commands().loadLastTemplates();
        QCOMPARE(bench.layoutCalls, 3);
        QCOMPARE(blockText(bench.grid1, 1), "01"_ba.repeated(16));
        QCOMPARE(blockText(bench.grid1, 2), "02"_ba.repeated(16));
        QCOMPARE(blockText(bench.grid1, 3), "0303030303" + before3.mid(10));
        QCOMPARE(blockText(bench.grid4, 4), QByteArray(32, '0'));
        QCOMPARE(blockText(bench.grid4, 7), DefaultTrailer);
        QCOMPARE(blockText(bench.gridUL, 5), "12345678"_ba);
        QCOMPARE(bench.dialogs.shown.size(), 2);
        QVERIFY(bench.dialogs.shown.first().text.contains(oneK));
        QVERIFY(bench.dialogs.shown.first().text.contains(u"60 of its 63"_s));
        QCOMPARE(bench.lastShown(), u"There is no such file"_s);
        QCOMPARE(bench.selected, CardType::MifareUL);
    }
};

QTEST_GUILESS_MAIN(TemplateFilesTest)
#include "tst_TemplateFiles.moc"
