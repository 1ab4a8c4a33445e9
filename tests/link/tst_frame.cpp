#include "link/Frame.h"

#include <QTest>

// The echo and data texts of an answer and the log column padding. (Request bytes
// and checksums are checked byte for byte wherever a command is tested; the echo of a
// request and the data of a status answer and of an empty one in tst_exchange.)
class TestFrame : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void dataText()
    {
        // Zero bytes are left out; Length 1 gives no data.
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
};

QTEST_GUILESS_MAIN(TestFrame)
#include "tst_frame.moc"
