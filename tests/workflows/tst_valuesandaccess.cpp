#include "files/CardImage.h"
#include "workflows/CardSectors.h"
#include "workflows/SectorAccessWords.h"
#include "workflows/ValueBlock.h"
#include "workflows/ValueInput.h"

#include <QTest>

using namespace Qt::StringLiterals;

// What a row shows at a glance: the value of a value block, the access conditions of
// a trailer; and the value fields' decimal input.
class TestValuesAndAccess : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void valueBlocks_data()
    {
        QTest::addColumn<QByteArray>("block");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("address");
        const QByteArray plus300 = QByteArray::fromHex("2C010000D3FEFFFF2C01000005FA05FA");
        QTest::newRow("300 at 05") << plus300 << true << 300 << 5;
        QTest::newRow("-1 at 00") << QByteArray::fromHex("FFFFFFFF00000000FFFFFFFF00FF00FF") << true << -1 << 0;
        QTest::newRow("minimum") << ValueBlock::encode({INT32_MIN, 0x80}) << true << INT32_MIN << 0x80;
        for (int i : {0, 5, 9, 12, 13, 14, 15}) {
            QByteArray broken = plus300;
            broken[i] = char(broken.at(i) ^ 0x01);
            QTest::addRow("byte %d broken", i) << broken << false << 0 << 0;
        }
        QTest::newRow("short") << plus300.left(15) << false << 0 << 0;
        QTest::newRow("zeros") << QByteArray(16, '\0') << false << 0 << 0;
    }
    void valueBlocks()
    {
        QFETCH(QByteArray, block);
        QFETCH(bool, valid);
        const std::optional<ValueBlockContents> contents = ValueBlock::decode(block);
        QCOMPARE(contents.has_value(), valid);
        if (!valid)
            return;
        QFETCH(int, value);
        QFETCH(int, address);
        QCOMPARE(*contents, (ValueBlockContents{value, quint8(address)}));
        QCOMPARE(ValueBlock::encode(*contents), block);
    }

    // From an image: trailers and unknown bytes show no value.
    void valueBlocksInImage()
    {
        CardImage image(CardType::Mifare1K);
        const QByteArray minus5 = ValueBlock::encode({-5, 3});
        for (int block : {5, 7}) {
            for (int i = 0; i < 15; ++i)
                image.setByte(block * 16 + i, quint8(minus5.at(i)));
        }
        QVERIFY(!ValueBlock::decode(image, 5));
        image.setByte(5 * 16 + 15, quint8(minus5.at(15)));
        image.setByte(7 * 16 + 15, quint8(minus5.at(15)));
        QCOMPARE(ValueBlock::text(*ValueBlock::decode(image, 5)), u"Value -5, address 03"_s);
        QVERIFY(!ValueBlock::decode(image, 7));
    }

    void valueInput_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("field");
        QTest::addColumn<QByteArray>("operand"); // empty: refused
        const int value = int(ValueField::Value);
        const int amount = int(ValueField::Amount);
        QTest::newRow("hex") << "0000012C"_ba << value << QByteArray::fromHex("2C010000");
        QTest::newRow("hex, tail not examined") << "FFFFFFFBxy"_ba << amount << QByteArray::fromHex("FBFFFFFF");
        QTest::newRow("hex lower case") << "0000012c"_ba << value << QByteArray();
        QTest::newRow("decimal blanks, sign") << " # +300 "_ba << amount << QByteArray::fromHex("2C010000");
        QTest::newRow("decimal negative") << "#-5"_ba << value << QByteArray::fromHex("FBFFFFFF");
        QTest::newRow("decimal minimum") << "#-2147483648"_ba << value << QByteArray::fromHex("00000080");
        QTest::newRow("decimal maximum, zeros") << "#0002147483647"_ba << amount << QByteArray::fromHex("FFFFFF7F");
        QTest::newRow("value too large") << "#2147483648"_ba << value << QByteArray();
        QTest::newRow("negative amount") << "#-1"_ba << amount << QByteArray();
        QTest::newRow("huge") << "#99999999999999999999999"_ba << value << QByteArray();
        QTest::newRow("not a number") << "#12a"_ba << value << QByteArray();
        QTest::newRow("sign alone") << "#-"_ba << value << QByteArray();
    }
    void valueInput()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, operand);
        QFETCH(int, field);
        const ValueOperand parsed = ValueInput::parse(text, ValueField(field));
        QCOMPARE(parsed.bytes, operand);
        QCOMPARE(parsed.ok(), !operand.isEmpty());
        if (!parsed.ok() && !ValueInput::isDecimal(text))
            QVERIFY(parsed.error.endsWith(u"should be consist of hex numbers!"_s));
        if (!parsed.ok() && ValueInput::isDecimal(text))
            QVERIFY(parsed.error.startsWith(u"A decimal"_s));
    }

    void accessWords()
    {
        const SectorAccessWords transport = SectorAccessWords::describe(AccessBytes{0xFF, 0x07, 0x80}, 1);
        QCOMPARE(transport.state(), SectorAccessWords::State::Valid);
        const QStringList lines = transport.text().split(u'\n');
        QCOMPARE(lines.size(), 4 + 3 * 4 + 6);
        QCOMPARE(lines.at(0), u"Block 4: C1C2C3 = 000"_s);
        QCOMPARE(lines.at(1), u"  Block data can be read with (Key A) or (Key B)* passwords"_s);
        QCOMPARE(lines.at(15), u"Trailer (block 7): C1C2C3 = 001"_s);
        QCOMPARE(lines.at(16), u"  Key A can (Never) be read"_s);
        QCOMPARE(lines.at(17), u"  Key A can be modified/written with only (Key A) password"_s);

        // Read-only everywhere (data 010, trailer 110) in a large sector of a 4K card.
        const SectorAccessWords readOnly = SectorAccessWords::describe(EncodeAccessBits(2, 2, 2, 6), 33);
        QCOMPARE(readOnly.groups().at(1).blocks, u"Blocks 149-153"_s);
        QCOMPARE(readOnly.groups().at(3).blocks, u"Trailer (block 159)"_s);
        QCOMPARE(readOnly.groups().at(0).texts.at(1), u"!!! Block data can (Never) be modified/written !!!"_s);
        QCOMPARE(readOnly.groups().at(3).accessIndex, 6);
        QCOMPARE((QList<int>{CardSectors::accessGroupOfBlock(5), CardSectors::accessGroupOfBlock(149),
                             CardSectors::accessGroupOfBlock(159)}),
                 (QList<int>{1, 1, 3}));

        const SectorAccessWords invalid = SectorAccessWords::describe(AccessBytes{0xFF, 0x07, 0x81}, 0);
        QCOMPARE(invalid.state(), SectorAccessWords::State::Invalid);
        QVERIFY(invalid.groups().isEmpty());
        QCOMPARE(invalid.text(), u"invalid access bits: sector unusable"_s);

        CardImage image(CardType::Mifare1K);
        QCOMPARE(SectorAccessWords::describe(image, 0).state(), SectorAccessWords::State::Unknown);
        for (int i = 0; i < 3; ++i)
            image.setByte(3 * 16 + 6 + i, quint8("\xFF\x07\x80"[i]));
        QCOMPARE(SectorAccessWords::describe(image, 0).groups().at(0).blocks, u"Block 0"_s);
    }
};

QTEST_GUILESS_MAIN(TestValuesAndAccess)
#include "tst_valuesandaccess.moc"
