#include "FileTestBench.h"

#include <QDir>
#include <QtTest>

using namespace Qt::StringLiterals;

// Card images written by other card tools, opened through "Open File" from where they
// are kept (MERLOX_INTEROP_SAMPLES), never copied into the project.
class InteropSamplesTest : public QObject
{
    Q_OBJECT

    static QString sample(const QString &name)
    {
        return QDir(qEnvironmentVariable("MERLOX_INTEROP_SAMPLES")).filePath(name);
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (!QFileInfo(sample(u"SOURCES.md"_s)).isFile())
            QSKIP("the interop samples are not beside this checkout (../shared/interop-samples)");
    }

    // Each file lands in the grid of its card type; unknown bytes (the .nfc's key B) keep
    // the cells' previous contents and are counted in a message.
    void eachSampleOpens_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("block");
        QTest::addColumn<QByteArray>("hex"); // "." keeps the cell's previous byte
        QTest::addColumn<int>("unknown");
        QTest::newRow("bin, block 0") << u"pm3-hf-mf-2D96E03B-dump.bin"_s << 0
                                          << "2D96E03B6008040005F20D10DA966990"_ba << 0;
        QTest::newRow("json, trailer") << u"pm3-hf-mf-2D96E03B-dump.json"_s << 3
                                           << "68EB3979AC958787876986E9053EC1EE"_ba << 0;
        QTest::newRow("nfc, block 0") << u"flipper-ABS-GF_1.nfc"_s << 0
                                              << "5182D8030808040004F00E2C9EC5C998"_ba << 96;
        QTest::newRow("nfc, trailer, key B unknown") << u"flipper-ABS-GF_1.nfc"_s << 3
                                              << "54B69E1026BD87878769............"_ba << 96;
        QTest::newRow("mct, last trailer") << u"mct-example-dump-file.mct"_s << 63
                                           << "FFFFFFFFFFFFFF0780BCFFFFFFFFFFFF"_ba << 0;
        QTest::newRow("mct, block 0") << u"mct-example-dump-file.mct"_s << 0 << QByteArray(32, '0') << 0;
    }
    void eachSampleOpens()
    {
        QFETCH(QString, file);
        QFETCH(int, block);
        QFETCH(QByteArray, hex);
        QFETCH(int, unknown);
        FileTestBench bench;
        bench.selected = CardType::MifareUL;
        fillPattern(bench.grid1, 4);
        const QByteArray before = blockText(bench.grid1, block);
        bench.open(sample(file));
        QCOMPARE(bench.selected, CardType::Mifare1K);
        QByteArray expected = hex;
        for (qsizetype i = 0; i < expected.size(); ++i) {
            if (expected.at(i) == '.')
                expected[i] = before.at(i);
        }
        QCOMPARE(blockText(bench.grid1, block), expected);
        if (unknown == 0) {
            QCOMPARE(bench.dialogs.shown.size(), 1); // the open dialog only
        } else {
            QVERIFY2(bench.lastShown().startsWith(u"%1 of the 1024 bytes in "_s.arg(unknown)), qPrintable(bench.lastShown()));
        }
    }

    // The research tool's binary and JSON dumps of one card give the same grid.
    void binaryAndJsonOfOneCardAgree()
    {
        FileTestBench fromBin;
        fromBin.open(sample(u"pm3-hf-mf-2D96E03B-dump.bin"_s));
        FileTestBench fromJson;
        fromJson.open(sample(u"pm3-hf-mf-2D96E03B-dump.json"_s));
        for (int block = 0; block < 64; ++block)
            QCOMPARE(blockText(fromJson.grid1, block), blockText(fromBin.grid1, block));
    }
};

QTEST_GUILESS_MAIN(InteropSamplesTest)
#include "tst_InteropSamples.moc"
