#include "link/Frame.h"
#include "link/Hex.h"

#include <QTest>

// Frame building, checksums, the data text and the log column padding.
class TestFrame : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void requestChecksums_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QByteArray>("frame");
        QTest::newRow("version") << 0x81 << QByteArray() << QByteArray::fromHex("FF00018182");
        QTest::newRow("reset") << 0x80 << QByteArray() << QByteArray::fromHex("FF00018081");
        QTest::newRow("rf off") << 0x90 << QByteArray::fromHex("00") << QByteArray::fromHex("FF0002900092");
        QTest::newRow("rf on") << 0x90 << QByteArray::fromHex("01") << QByteArray::fromHex("FF0002900193");
        QTest::newRow("auth default block 4")
            << 0x85 << QByteArray::fromHex("04FF") << QByteArray::fromHex("FF00038504FF8B");
        QTest::newRow("increment block 5 by 1")
            << 0x8D << QByteArray::fromHex("0501000000") << QByteArray::fromHex("FF00068D0501000000" "99");
        QTest::newRow("baud 115200") << 0x94 << QByteArray::fromHex("04") << QByteArray::fromHex("FF000294049A");
        // The sum wraps at 256.
        QTest::newRow("wrap") << 0xFF << QByteArray::fromHex("FFFF") << QByteArray::fromHex("FF0003FFFFFF" "00");
    }
    void requestChecksums()
    {
        QFETCH(int, command);
        QFETCH(QByteArray, data);
        QFETCH(QByteArray, frame);
        QCOMPARE(Frame::request(quint8(command), data).toHex(' ').toUpper(), frame.toHex(' ').toUpper());
    }

    void echoText()
    {
        const QByteArray echo = Hex::echo(QByteArray::fromHex("FF00018182"));
        QCOMPARE(echo, QByteArray("FF 00 01 81 82 "));
        QCOMPARE(echo.size(), 15);
    }

    void dataText()
    {
        // Zero bytes are left out; Length 0 or 1 gives no data.
        QCOMPARE(Frame::dataText(QByteArray::fromHex("FF000390004C" "DF")), QByteArray("L"));
        QCOMPARE(Frame::dataText(QByteArray::fromHex("FF000000")), QByteArray());
        QCOMPARE(Frame::dataText(QByteArray::fromHex("FF00019192")), QByteArray());
        QCOMPARE(Frame::dataText(QByteArray::fromHex("FF0004860041420000")), QByteArray("AB"));
    }

    void padColumns_data()
    {
        QTest::addColumn<int>("firstLength");
        QTest::addColumn<int>("secondLength");
        QTest::addColumn<int>("tabsAfterFirst");
        QTest::addColumn<int>("tabsAfterSecond");
        QTest::addColumn<int>("paddedFirst");
        // A 15-character echo gets a space, then 16 div 8 = 2, so 6 tabs.
        QTest::newRow("15 chars") << 15 << 0 << 6 << 3 << 16;
        QTest::newRow("16 chars") << 16 << 0 << 6 << 3 << 16;
        QTest::newRow("18 chars") << 18 << 1 << 6 << 3 << 18;
        QTest::newRow("63 chars") << 63 << 7 << 1 << 3 << 63;
        QTest::newRow("64 chars: one tab") << 64 << 8 << 1 << 2 << 64;
        QTest::newRow("72 chars: none") << 72 << 15 << 0 << 2 << 72;
        QTest::newRow("second 16: two tabs") << 18 << 16 << 6 << 2 << 18;
        QTest::newRow("second 23: two tabs") << 18 << 23 << 6 << 2 << 18;
        QTest::newRow("second 24: none") << 18 << 24 << 6 << 0 << 18;
    }
    void padColumns()
    {
        QFETCH(int, firstLength);
        QFETCH(int, secondLength);
        QFETCH(int, tabsAfterFirst);
        QFETCH(int, tabsAfterSecond);
        QFETCH(int, paddedFirst);
        const QByteArray first(firstLength, 'x');
        const QByteArray second(secondLength, 'y');
        const QByteArray expected = QByteArray(paddedFirst - firstLength, ' ').prepend(first)
            + QByteArray(tabsAfterFirst, '\t') + second + QByteArray(tabsAfterSecond, '\t');
        QCOMPARE(Frame::PadColumns(first, second), expected);
    }

    void rfOnLogLine()
    {
        // The request line of the RF field on command: echo, 9 tabs, label.
        const QByteArray echo = Hex::echo(Frame::request(0x90, QByteArray(1, '\x01')));
        QCOMPARE("TX > " + Frame::PadColumns(echo, {}) + "(Switch on RF field)",
                 QByteArray("TX > FF 00 02 90 01 93 \t\t\t\t\t\t\t\t\t(Switch on RF field)"));
    }

    void hexPairs()
    {
        QCOMPARE(Hex::pairValue("0f"), quint8(15));
        QCOMPARE(Hex::pairValue("F0"), quint8(240));
        QCOMPARE(Hex::pairValue("a7"), quint8(0xA7));
        QCOMPARE(Hex::pairValue("A"), quint8(0xA0));
        QCOMPARE(Hex::pairValue(""), quint8(0));
        QVERIFY(Hex::startsWithUpperDigits("0A1B", 4));
        QVERIFY(!Hex::startsWithUpperDigits("0a", 2));
        QVERIFY(!Hex::startsWithUpperDigits("0", 2));
    }
};

QTEST_GUILESS_MAIN(TestFrame)
#include "tst_frame.moc"
