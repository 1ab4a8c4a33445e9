#include "files/DumpFormat.h"
#include "files/MctDumpWriter.h"
#include "files/NfcDumpWriter.h"
#include "files/TextLines.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

CardImage pattern(CardType type, int seed)
{
    CardImage image(type);
    for (int i = 0; i < image.size(); ++i)
        image.setByte(i, quint8(i * 31 + seed));
    return image;
}

std::optional<CardImage> read(DumpFormat format, const QByteArray &data)
{
    QString problem;
    std::optional<CardImage> image = DumpFormats::read(format, data, &problem);
    if (!image)
        qWarning() << problem;
    return image;
}

} // namespace

// The dump readers and writers: file layouts, round trips, unknown bytes, format
// detection and the refusal of malformed files.
class DumpFormatsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Every format and card type it holds: written and read back, also with CR LF.
    void everyFormatRoundTripsEveryByte_data()
    {
        QTest::addColumn<DumpFormat>("format");
        QTest::addColumn<CardType>("type");
        const QList<QPair<DumpFormat, const char *>> formats = {{DumpFormat::Raw, "bin"}, {DumpFormat::Eml, "eml"},
            {DumpFormat::Json, "json"}, {DumpFormat::Mct, "mct"}, {DumpFormat::Nfc, "nfc"}};
        const QList<QPair<CardType, const char *>> types = {
            {CardType::Mifare1K, "1K"}, {CardType::Mifare4K, "4K"}, {CardType::MifareUL, "UL"}};
        for (const auto &format : formats)
            for (const auto &type : types)
                if (DumpFormats::supports(format.first, type.first))
                    QTest::addRow("%s %s", format.second, type.second) << format.first << type.first;
    }
    void everyFormatRoundTripsEveryByte()
    {
        QFETCH(DumpFormat, format);
        QFETCH(CardType, type);
        const CardImage image = pattern(type, 3);
        const QByteArray written = DumpFormats::write(format, image);
        const std::optional<CardImage> back = read(format, written);
        QVERIFY(back);
        QVERIFY(*back == image);
        if (format == DumpFormat::Raw) {
            QCOMPARE(written, image.bytes());
            return;
        }
        if (format == DumpFormat::Eml) { // one line of hex per block
            const QByteArrayList lines = TextLines::split(written);
            QCOMPARE(lines.size(), image.blockCount());
            QCOMPARE(lines.last(), image.block(image.blockCount() - 1).toHex().toUpper());
        }
        QByteArray crlf = written;
        crlf.replace("\n", "\r\n");
        const std::optional<CardImage> fromCrLf = read(format, crlf);
        QVERIFY(fromCrLf);
        QVERIFY(*fromCrLf == image);
    }

    void jsonAndNfcTakeTheCardIdentityFromBlock0()
    {
        QFile file(qEnvironmentVariable("MERLOX_TEST_DATA") + u"/files/sample1k.bin"_s);
        QVERIFY2(file.open(QIODevice::ReadOnly), "MERLOX_TEST_DATA must name tests/data");
        CardImage image(CardType::Mifare1K);
        image.setBytes(file.readAll());
        const QJsonObject card =
            QJsonDocument::fromJson(DumpFormats::write(DumpFormat::Json, image)).object().value("Card"_L1).toObject();
        QCOMPARE(card.value("UID"_L1).toString(), u"A35F129C"_s);
        QCOMPARE(card.value("SAK"_L1).toString(), u"08"_s);
        QCOMPARE(card.value("ATQA"_L1).toString(), u"0400"_s);
        const QByteArrayList nfc = TextLines::split(NfcDumpWriter::write(image));
        QCOMPARE(nfc.first(), "Filetype: Flipper NFC device"_ba);
        QVERIFY(nfc.contains("UID: A3 5F 12 9C"));
        QVERIFY(nfc.contains("Mifare Classic type: 1K"));
        QVERIFY(nfc.contains("Block 1: 4D 45 52 4C 4F 58 20 54 45 53 54 20 43 41 52 44"));
    }

    // An Ultralight .nfc carries the keys the format's readers take, in their order,
    // between the type and the page count.
    void ultralightNfcHasEveryKeyReadersExpect()
    {
        const QByteArrayList lines = TextLines::split(NfcDumpWriter::write(pattern(CardType::MifareUL, 1)));
        const qsizetype type = lines.indexOf("NTAG/Ultralight type: Mifare Ultralight");
        QVERIFY(type > 0);
        const QByteArray zeros32 = QByteArray("00 ").repeated(31) + "00";
        QCOMPARE(lines.mid(type + 1, 10),
                 (QByteArrayList {"Signature: " + zeros32, "Mifare version: 00 00 00 00 00 00 00 00", "Counter 0: 0",
                                  "Tearing 0: 00", "Counter 1: 0", "Tearing 1: 00", "Counter 2: 0", "Tearing 2: 00",
                                  "Pages total: 16", "Pages read: 16"}));
    }

    // The research tool's Ultralight .bin: 56 header bytes, then the 16 pages. The pages
    // are read, the header is described for the log.
    void ultralightBinWithHeader()
    {
        const CardImage pages = pattern(CardType::MifareUL, 5);
        QByteArray signature;
        for (int i = 0; i < 32; ++i)
            signature += char(0xA0 + i);
        const QByteArray header = QByteArray::fromHex("0004030101000B03" "0102" "03" "0F") + signature
            + QByteArray::fromHex("010000BD" "000000BD" "020100BD");
        QCOMPARE(header.size(), 56);
        const QByteArray dump = header + pages.bytes();
        const std::optional<CardImage> image = read(DumpFormat::Raw, dump);
        QVERIFY(image);
        QVERIFY(*image == pages);
        QCOMPARE(DumpFormats::note(DumpFormat::Raw, dump),
                 "Ultralight dump header: version 0004030101000B03, TBO 0102, TBO1 03, pages 15, signature "
                     + signature.toHex().toUpper()
                     + ", counter 0 010000 tearing BD, counter 1 000000 tearing BD, counter 2 020100 tearing BD");
        QVERIFY(DumpFormats::note(DumpFormat::Raw, pages.bytes()).isEmpty());
        QCOMPARE(DumpFormats::detect(u"/x/card"_s, dump, u"*.mtp"_s), DumpFormat::Raw);
    }

    void unknownBytesAreWrittenAndReadAsUnknown()
    {
        CardImage image = pattern(CardType::Mifare4K, 9);
        for (int i = 3 * 16; i < 3 * 16 + 6; ++i) // key A of sector 0
            image.setUnknown(i);
        for (int i = 128 * 16; i < 144 * 16; ++i) // all of sector 32
            image.setUnknown(i);
        const QByteArray mctText = MctDumpWriter::write(image);
        QVERIFY(mctText.contains("\n------------" + image.block(3).mid(6).toHex().toUpper() + "\n"));
        QVERIFY(!mctText.contains("+Sector: 32\n"));
        QVERIFY(mctText.contains("+Sector: 33\n"));
        QVERIFY(NfcDumpWriter::write(image).contains("Block 3: ?? ?? ?? ?? ?? ?? "));
        for (DumpFormat format : {DumpFormat::Mct, DumpFormat::Nfc}) {
            const std::optional<CardImage> back = read(format, DumpFormats::write(format, image));
            QVERIFY(back);
            QCOMPARE(back->unknownCount(), 6 + 256);
            QVERIFY(*back == image);
        }
    }

    // Refused with a message that names the problem and, for text, the line.
    void readersRefuseMalformedFiles_data()
    {
        QTest::addColumn<DumpFormat>("format");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("problem"); // a part of the message
        QTest::newRow("bin odd size") << DumpFormat::Raw << QByteArray(1023, '\0') << u"1023 bytes"_s;
        const QByteArray eml63 = (QByteArray(32, '0') + "\n").repeated(63);
        QTest::newRow("eml bad digit") << DumpFormat::Eml << eml63 + QByteArray(31, '0') + "G\n" << u"line 64: character 31"_s;
        QTest::newRow("json syntax") << DumpFormat::Json << "{\"blocks\": {"_ba << u"not valid JSON"_s;
        const QByteArray sector = (QByteArray(32, 'A') + "\n").repeated(4);
        QTest::newRow("mct duplicate") << DumpFormat::Mct << "+Sector: 0\n" + sector + "+Sector: 1\n" + sector + "+Sector: 0\n" + sector
                                       << u"line 11: sector 0 appears a second time"_s;
        QTest::newRow("nfc file type") << DumpFormat::Nfc << "Filetype: Other\n"_ba << u"line 1: expected \"Filetype"_s;
    }
    void readersRefuseMalformedFiles()
    {
        QFETCH(DumpFormat, format);
        QFETCH(QByteArray, data);
        QFETCH(QString, problem);
        QString message;
        QVERIFY(!DumpFormats::read(format, data, &message));
        QVERIFY2(message.contains(problem), qPrintable(message));
    }

    // A name containing ".mtp" is a template; then the extension, the content, the filter.
    void openingDetectsTheFormat_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<DumpFormat>("format");
        const QString mtp = u"*.mtp"_s;
        QTest::newRow("mtp inside") << u"/x/old.mtp.bak"_s << "{"_ba << mtp << DumpFormat::Template;
        QTest::newRow("json content") << u"/x/card"_s << "  {\"blocks\": {}}"_ba << mtp << DumpFormat::Json;
        QTest::newRow("filter") << u"/x/card"_s << "x"_ba << u"JSON dump (*.json)"_s << DumpFormat::Json;
        QTest::newRow("old template") << u"/x/card"_s << "**MIFARE 4K TEMPLATE**"_ba << mtp << DumpFormat::Template;
    }
    void openingDetectsTheFormat()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, data);
        QFETCH(QString, filter);
        QFETCH(DumpFormat, format);
        QCOMPARE(DumpFormats::detect(name, data, filter), format);
    }
};

QTEST_GUILESS_MAIN(DumpFormatsTest)
#include "tst_DumpFormats.moc"
