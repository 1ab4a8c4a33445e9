// Frames on the module's side of the line: cutting the byte stream, and what a
// speed mismatch turns answers into.
#include "FrameReader.h"
#include "LineNoise.h"
#include "SimFrame.h"

#include <QTest>

namespace {
const QByteArray Select = QByteArray::fromHex("FF00018384");
const QByteArray Read4 = QByteArray::fromHex("FF000286048C");

QList<int> kinds(const QList<FrameReader::Event> &events)
{
    QList<int> result;
    for (const auto &event : events)
        result.append(event.kind);
    return result;
}
} // namespace

class TestSimFrames : public QObject
{
    Q_OBJECT

private slots:
    void readerCutsStream_data()
    {
        QTest::addColumn<QByteArray>("stream");
        QTest::addColumn<QList<int>>("events");
        QTest::addColumn<QByteArray>("frame");
        using E = FrameReader::Event;
        QTest::newRow("noise before the header") << QByteArray::fromHex("0013") + Select << QList<int>{E::Skipped, E::Frame} << Select;
        QTest::newRow("bad checksum") << QByteArray::fromHex("FF00018385") << QList<int>{E::BadChecksum} << QByteArray();
        QTest::newRow("length 66") << QByteArray::fromHex("FF0042") + Select << QList<int>{E::BadLength, E::Frame} << Select;
        QTest::newRow("two frames") << Select + Read4 << QList<int>{E::Frame, E::Frame} << Read4;
    }
    void readerCutsStream()
    {
        QFETCH(QByteArray, stream);
        QFETCH(QList<int>, events);
        QFETCH(QByteArray, frame);
        FrameReader reader;
        const auto result = reader.feed(stream, 0);
        QCOMPARE(kinds(result), events);
        if (!frame.isEmpty())
            QCOMPARE(result.last().bytes, frame);
        QVERIFY(!reader.hasPartialFrame());
    }

    // Byte by byte in time the frames come together; a part left too long is dropped.
    void readerJoinsSplitFramesAndDropsStaleParts()
    {
        FrameReader reader;
        QList<QByteArray> frames;
        for (const char byte : Read4 + Select) {
            for (const auto &event : reader.feed(QByteArray(1, byte), 10))
                frames.append(event.bytes);
        }
        QCOMPARE(frames, (QList<QByteArray>{Read4, Select}));

        QVERIFY(reader.feed(Select.left(3), 20).isEmpty());
        const auto events = reader.feed(Select, 20 + FrameReader::StaleAfterMs + 1);
        QCOMPARE(kinds(events), (QList<int>{FrameReader::Event::Stale, FrameReader::Event::Frame}));
        QCOMPARE(events.last().bytes, Select);
    }

    void noiseNeverFormsAFrame_data()
    {
        QTest::addColumn<int>("sender");
        QTest::addColumn<int>("receiver");
        QTest::newRow("receiver faster") << 19200 << 115200;
        QTest::newRow("receiver slower") << 19200 << 9600;
    }
    void noiseNeverFormsAFrame()
    {
        QFETCH(int, sender);
        QFETCH(int, receiver);
        // Answers up to the 84 bytes of the oversize fault, with every byte value: no
        // header survives and every third byte announces more than the burst holds.
        QList<QByteArray> answers = {SimFrame::build(0x86, QByteArray(17, char(0xFF))), SimFrame::status(0x85, 'L')};
        for (int first = 0; first < 256; first += 64) {
            QByteArray values;
            for (int v = first; v < first + 64; ++v)
                values.append(char(v));
            answers.append(SimFrame::build(0x86, values.leftJustified(79, char(0))));
        }
        for (const QByteArray &answer : answers) {
            const QByteArray noise = LineNoise::garble(answer, sender, receiver);
            QVERIFY(!noise.isEmpty());
            QVERIFY(!noise.contains(char(0xFF)));
            for (qsizetype start = 0; start + 2 < noise.size(); ++start)
                QVERIFY(quint8(noise.at(start + 2)) + 4 > noise.size() - start);
        }
    }
};

QTEST_APPLESS_MAIN(TestSimFrames)
#include "tst_sim_frames.moc"
