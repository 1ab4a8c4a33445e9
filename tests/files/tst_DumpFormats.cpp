#include "files/DumpFormat.h"
#include "files/JsonDumpWriter.h"
#include "files/MctDumpWriter.h"
#include "files/NfcDumpWriter.h"
#include "files/TextLines.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

// The dump readers and writers: shapes of the written files, round trips, unknown
// bytes, and the refusal of malformed files.
class DumpFormatsTest : public QObject
{
    Q_OBJECT

private:
    static CardImage pattern(CardType type, int seed)
    {
        CardImage image(type);
        for (int i = 0; i < image.size(); ++i)
            image.setByte(i, quint8(i * 31 + seed));
        return image;
    }

    static QByteArray sample1K()
    {
        QFile file(qEnvironmentVariable("MERLOX_TEST_DATA") + QStringLiteral("/files/sample1k.bin"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static std::optional<CardImage> read(DumpFormat format, const QByteArray &data)
    {
        QString problem;
        std::optional<CardImage> image = DumpFormats::read(format, data, &problem);
        if (!image)
            qWarning() << problem;
        return image;
    }

    // A 1K sector text dump whose sectors are given as (number, block lines).
    static QByteArray mct(const QList<int> &sectors, int linesPerSector = -1)
    {
        QByteArray out;
        for (int sector : sectors) {
            out += "+Sector: " + QByteArray::number(sector) + "\n";
            const int lines = linesPerSector >= 0 ? linesPerSector : (sector < 32 ? 4 : 16);
            for (int i = 0; i < lines; ++i)
                out += QByteArray(32, 'A') + "\n";
        }
        return out;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(QFileInfo::exists(qEnvironmentVariable("MERLOX_TEST_DATA") + QStringLiteral("/files/sample1k.bin")),
                 "MERLOX_TEST_DATA must name tests/data");
    }

    void everyFormatRoundTripsEveryByte_data()
    {
        QTest::addColumn<DumpFormat>("format");
        QTest::addColumn<CardType>("type");
        const QList<QPair<DumpFormat, const char *>> formats = {{DumpFormat::Raw, "bin"},  {DumpFormat::Eml, "eml"},
                                                                 {DumpFormat::Json, "json"}, {DumpFormat::Mct, "mct"},
                                                                 {DumpFormat::Nfc, "nfc"}};
        const QList<QPair<CardType, const char *>> types = {
            {CardType::Mifare1K, "1K"}, {CardType::Mifare4K, "4K"}, {CardType::MifareUL, "UL"}};
        for (const auto &format : formats) {
            for (const auto &type : types) {
                if (DumpFormats::supports(format.first, type.first))
                    QTest::addRow("%s %s", format.second, type.second) << format.first << type.first;
            }
        }
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
        // Text readers accept CR LF line ends as well as the LF the writers use.
        if (format == DumpFormat::Raw)
            return;
        QByteArray crlf = written;
        crlf.replace("\n", "\r\n");
        const std::optional<CardImage> fromCrLf = read(format, crlf);
        QVERIFY(fromCrLf);
        QVERIFY(*fromCrLf == image);
    }

    void writtenFilesHaveTheirSizes_data()
    {
        QTest::addColumn<CardType>("type");
        QTest::addColumn<int>("rawSize");
        QTest::addColumn<int>("emlLines");
        QTest::addColumn<int>("emlLineLength");
        QTest::newRow("1K") << CardType::Mifare1K << 1024 << 64 << 32;
        QTest::newRow("4K") << CardType::Mifare4K << 4096 << 256 << 32;
        QTest::newRow("UL") << CardType::MifareUL << 64 << 16 << 8;
    }
    void writtenFilesHaveTheirSizes()
    {
        QFETCH(CardType, type);
        QFETCH(int, rawSize);
        QFETCH(int, emlLines);
        QFETCH(int, emlLineLength);
        const CardImage image = pattern(type, 0);
        const QByteArray raw = DumpFormats::write(DumpFormat::Raw, image);
        QCOMPARE(raw.size(), rawSize);
        QCOMPARE(quint8(raw.at(rawSize - 1)), image.byte(rawSize - 1));
        const QByteArrayList eml = TextLines::split(DumpFormats::write(DumpFormat::Eml, image));
        QCOMPARE(eml.size(), emlLines);
        for (const QByteArray &line : eml)
            QCOMPARE(line.size(), emlLineLength);

    }

    void jsonAndNfcTakeTheCardIdentityFromBlock0()
    {
        CardImage image(CardType::Mifare1K);
        image.setBytes(sample1K());
        const QJsonObject card = QJsonDocument::fromJson(JsonDumpWriter::write(image))
                                     .object()
                                     .value(QLatin1String("Card"))
                                     .toObject();
        QCOMPARE(card.value(QLatin1String("UID")).toString(), QStringLiteral("A35F129C"));
        QCOMPARE(card.value(QLatin1String("SAK")).toString(), QStringLiteral("08"));
        QCOMPARE(card.value(QLatin1String("ATQA")).toString(), QStringLiteral("0400"));
        const QByteArrayList nfc = TextLines::split(NfcDumpWriter::write(image));
        QVERIFY(nfc.contains("UID: A3 5F 12 9C"));
        QVERIFY(nfc.contains("Mifare Classic type: 1K"));
        QVERIFY(nfc.contains("Block 1: 4D 45 52 4C 4F 58 20 54 45 53 54 20 43 41 52 44"));
        QCOMPARE(nfc.first(), QByteArray("Filetype: Flipper NFC device"));
    }

    void unknownBytesAreWrittenAndReadAsUnknown()
    {
        CardImage image = pattern(CardType::Mifare4K, 9);
        for (int i = 3 * 16; i < 3 * 16 + 6; ++i) // key A of sector 0
            image.setUnknown(i);
        for (int i = 128 * 16; i < 144 * 16; ++i) // all of sector 32
            image.setUnknown(i);
        const QByteArray mct = MctDumpWriter::write(image);
        QVERIFY(mct.contains("\n------------" + image.block(3).mid(6).toHex().toUpper() + "\n"));
        QVERIFY(!mct.contains("+Sector: 32\n"));
        QVERIFY(mct.contains("+Sector: 33\n"));
        for (DumpFormat format : {DumpFormat::Mct, DumpFormat::Nfc}) {
            const std::optional<CardImage> back = read(format, DumpFormats::write(format, image));
            QVERIFY(back);
            QCOMPARE(back->unknownCount(), 6 + 256);
            QVERIFY(*back == image);
        }
        QVERIFY(NfcDumpWriter::write(image).contains("Block 3: ?? ?? ?? ?? ?? ?? "));
    }

    void readersTakeTheCommonVariants_data()
    {
        QTest::addColumn<DumpFormat>("format");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<CardType>("type");
        QTest::addColumn<int>("unknown");
        QByteArray eml = "# dumped elsewhere\r\n";
        for (int i = 0; i < 64; ++i)
            eml += (i == 10 ? QByteArray("# half way\r\n") : QByteArray()) + QByteArray(32, 'f') + "\r\n";
        QTest::newRow("eml comments, lower case") << DumpFormat::Eml << eml << CardType::Mifare1K << 0;
        QByteArray ul;
        for (int i = 0; i < 16; ++i)
            ul += "0400" + QByteArray::number(i + 10) + "00\n";
        QTest::newRow("eml Ultralight") << DumpFormat::Eml << ul << CardType::MifareUL << 0;
        QTest::newRow("json extra fields")
            << DumpFormat::Json
            << QByteArray("{\"Created\": \"other\", \"FileType\": \"mfcard\", \"Extra\": [1, 2],"
                          " \"SectorKeys\": {\"0\": {\"KeyA\": \"FFFFFFFFFFFF\"}},"
                          " \"blocks\": {\"0\": \"00112233445566778899AABBCCDDEEFF\", \"63\": \"FFFFFFFFFFFFFF078069FFFFFFFFFFFF\"}}")
            << CardType::Mifare1K << 62 * 16;
        QTest::newRow("json 4K by block number")
            << DumpFormat::Json << QByteArray("{\"blocks\": {\"200\": \"00112233445566778899AABBCCDDEEFF\"}}")
            << CardType::Mifare4K << 255 * 16;
        QTest::newRow("mct missing sectors") << DumpFormat::Mct << mct({0, 15}) << CardType::Mifare1K << 14 * 64;
        QTest::newRow("mct 4K sector 39") << DumpFormat::Mct << mct({39, 2}) << CardType::Mifare4K << 4096 - 256 - 64;
        QTest::newRow("nfc comments and blanks")
            << DumpFormat::Nfc
            << QByteArray("Filetype: Flipper NFC device\r\nVersion: 4\r\n# comment\r\n\r\nDevice type: Mifare Classic\r\n"
                          "Mifare Classic type: 4K\r\nBlock 255: 00 11 22 33 44 55 66 77 88 99 AA BB CC DD ?? ??\r\n")
            << CardType::Mifare4K << 4096 - 14;
        QTest::newRow("nfc Ultralight")
            << DumpFormat::Nfc
            << QByteArray("Filetype: Flipper NFC device\nVersion: 2\nDevice type: Mifare Ultralight\nPage 0: 04 11 22 ??\n")
            << CardType::MifareUL << 64 - 3;
    }
    void readersTakeTheCommonVariants()
    {
        QFETCH(DumpFormat, format);
        QFETCH(QByteArray, data);
        QFETCH(CardType, type);
        QFETCH(int, unknown);
        const std::optional<CardImage> image = read(format, data);
        QVERIFY(image);
        QCOMPARE(image->type(), type);
        QCOMPARE(image->unknownCount(), unknown);
    }

    void readersRefuseMalformedFiles_data()
    {
        QTest::addColumn<DumpFormat>("format");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("problem"); // a part of the message

        QTest::newRow("bin Mini") << DumpFormat::Raw << QByteArray(320, '\0') << QStringLiteral("Mini");
        QTest::newRow("bin 2K") << DumpFormat::Raw << QByteArray(2048, '\0') << QStringLiteral("2K");
        QTest::newRow("bin odd size") << DumpFormat::Raw << QByteArray(1023, '\0') << QStringLiteral("1023 bytes");

        QByteArray eml63;
        for (int i = 0; i < 63; ++i)
            eml63 += QByteArray(32, '0') + "\n";
        QTest::newRow("eml 63 lines") << DumpFormat::Eml << eml63 << QStringLiteral("63 blocks");
        QTest::newRow("eml bad digit") << DumpFormat::Eml << eml63 + QByteArray(31, '0') + "G\n"
                                       << QStringLiteral("line 64: character 31");
        QTest::newRow("eml mixed lengths") << DumpFormat::Eml << QByteArray(32, '0') + "\n" + QByteArray(8, '0')
                                           << QStringLiteral("line 2: expected 32");
        QTest::newRow("eml too many") << DumpFormat::Eml << QByteArray(8, '0').append('\n').repeated(17)
                                      << QStringLiteral("line 17: more than 16 pages");

        QTest::newRow("json syntax") << DumpFormat::Json << QByteArray("{\"blocks\": {") << QStringLiteral("not valid JSON");
        QTest::newRow("json file type") << DumpFormat::Json << QByteArray("{\"FileType\": \"iclass\", \"blocks\": {}}")
                                        << QStringLiteral("iclass");
        QTest::newRow("json block 256")
            << DumpFormat::Json << QByteArray("{\"blocks\": {\"256\": \"00112233445566778899AABBCCDDEEFF\"}}")
            << QStringLiteral("block \"256\"");
        QTest::newRow("json block name")
            << DumpFormat::Json << QByteArray("{\"blocks\": {\"01\": \"00112233445566778899AABBCCDDEEFF\"}}")
            << QStringLiteral("block \"01\"");
        QTest::newRow("json short block") << DumpFormat::Json << QByteArray("{\"blocks\": {\"1\": \"0011\"}}")
                                          << QStringLiteral("block 1: expected 32");

        QTest::newRow("mct duplicate") << DumpFormat::Mct << mct({0, 1, 0}) << QStringLiteral("line 11: sector 0 appears a second time");
        QTest::newRow("mct sector 40") << DumpFormat::Mct << mct({40}) << QStringLiteral("line 1: expected a sector number");
        QTest::newRow("mct three blocks") << DumpFormat::Mct << mct({0}, 3) + mct({1}) << QStringLiteral("line 1: sector 0 has 3 of its 4");
        QTest::newRow("mct sector 32 short") << DumpFormat::Mct << mct({32}, 4) << QStringLiteral("sector 32 has 4 of its 16");
        QTest::newRow("mct five blocks") << DumpFormat::Mct << mct({0}, 5) << QStringLiteral("line 6: sector 0 has only 4");
        QTest::newRow("mct no header") << DumpFormat::Mct << QByteArray(32, '0') << QStringLiteral("line 1: expected \"+Sector");
        QTest::newRow("mct half unknown") << DumpFormat::Mct << "+Sector: 0\n" + QByteArray(31, '0') + "-\n"
                                          << QStringLiteral("line 2: character 31");

        const QByteArray nfcHead = "Filetype: Flipper NFC device\nVersion: 4\nDevice type: Mifare Classic\n";
        QTest::newRow("nfc file type") << DumpFormat::Nfc << QByteArray("Filetype: Other\n") << QStringLiteral("line 1: expected \"Filetype");
        QTest::newRow("nfc Mini") << DumpFormat::Nfc << nfcHead + "Mifare Classic type: MINI\n" << QStringLiteral("MINI");
        QTest::newRow("nfc no type") << DumpFormat::Nfc << nfcHead << QStringLiteral("Mifare Classic type");
        QTest::newRow("nfc block 64 in 1K") << DumpFormat::Nfc << nfcHead + "Mifare Classic type: 1K\nBlock 64: " + QByteArray("00 ").repeated(16)
                                            << QStringLiteral("line 5: block number out of range");
        QTest::newRow("nfc duplicate") << DumpFormat::Nfc << nfcHead + "Mifare Classic type: 1K\nBlock 1: " + QByteArray("00 ").repeated(16) + "\nBlock 1: " + QByteArray("00 ").repeated(16)
                                       << QStringLiteral("line 6: block 1 appears a second time");
        QTest::newRow("nfc 15 bytes") << DumpFormat::Nfc << nfcHead + "Mifare Classic type: 1K\nBlock 1: " + QByteArray("00 ").repeated(15)
                                      << QStringLiteral("line 5: expected 16 bytes");
        QTest::newRow("nfc bad byte") << DumpFormat::Nfc << nfcHead + "Mifare Classic type: 1K\nBlock 1: ?0 " + QByteArray("00 ").repeated(15)
                                      << QStringLiteral("line 5: byte 0");
        QTest::newRow("nfc page 16") << DumpFormat::Nfc << QByteArray("Filetype: Flipper NFC device\nDevice type: NTAG/Ultralight\nPage 16: 00 00 00 00\n")
                                     << QStringLiteral("line 3: page number out of range");
    }
    void readersRefuseMalformedFiles()
    {
        QFETCH(DumpFormat, format);
        QFETCH(QByteArray, data);
        QFETCH(QString, problem);
        QString message;
        const std::optional<CardImage> image = DumpFormats::read(format, data, &message);
        QVERIFY(!image);
        QVERIFY2(message.contains(problem), qPrintable(message));
    }

    void openingDetectsTheFormat_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<DumpFormat>("format");
        const QString mtp = QStringLiteral("*.mtp");
        QTest::newRow("mtp") << QStringLiteral("/x/card.mtp") << QByteArray("**MIFARE 1K TEMPLATE**") << mtp << DumpFormat::Template;
        QTest::newRow("mtp inside") << QStringLiteral("/x/old.mtp.bak") << QByteArray("{") << mtp << DumpFormat::Template;
        QTest::newRow("MFD upper case") << QStringLiteral("/x/card.MFD") << QByteArray(1024, 'A') << mtp << DumpFormat::Raw;
        QTest::newRow("json content") << QStringLiteral("/x/card") << QByteArray("  {\"blocks\": {}}") << mtp << DumpFormat::Json;
        QTest::newRow("nfc content") << QStringLiteral("/x/card.txt") << QByteArray("Filetype: Flipper NFC device") << mtp << DumpFormat::Nfc;
        QTest::newRow("mct content") << QStringLiteral("/x/card") << QByteArray("+Sector: 0") << mtp << DumpFormat::Mct;
        QTest::newRow("eml content") << QStringLiteral("/x/card") << QByteArray("#c\n0123456789abcdef0123456789ABCDEF") << mtp << DumpFormat::Eml;
        QTest::newRow("binary 1K") << QStringLiteral("/x/card") << QByteArray(1024, '\x01') << mtp << DumpFormat::Raw;
        QTest::newRow("filter") << QStringLiteral("/x/card") << QByteArray("x") << QStringLiteral("JSON dump (*.json)") << DumpFormat::Json;
        QTest::newRow("old template") << QStringLiteral("/x/card") << QByteArray("**MIFARE 4K TEMPLATE**") << mtp << DumpFormat::Template;
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
