// The virtual module: answers to every command, seek and reset timing, the key store
// and the injected faults, all without a line.
#include "ClassicCard.h"
#include "ModuleCommand.h"
#include "SimFrame.h"
#include "UltralightCard.h"
#include "VirtualModule.h"

#include <QTest>

using namespace ModuleCommand;

namespace {
SimAnswer exchange(VirtualModule &module, quint8 command, const QByteArray &data = {})
{
    const QList<SimAnswer> answers = module.handleFrame(SimFrame::build(command, data));
    return answers.size() == 1 ? answers.first() : SimAnswer{};
}

QByteArray answer(VirtualModule &module, quint8 command, const QByteArray &data = {})
{
    return exchange(module, command, data).bytes;
}

QByteArray status(quint8 command, char statusByte)
{
    return SimFrame::status(command, statusByte);
}

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

// Selects and authenticates block with the default key, as the program's Auto sequence does.
void haltSelectAuth(VirtualModule &module, int block)
{
    (void)answer(module, Halt);
    (void)answer(module, Select);
    QCOMPARE(answer(module, Authenticate, QByteArray(1, char(block)) + char(0xFF)), status(Authenticate, 'L'));
}
} // namespace

class TestSimModule : public QObject
{
    Q_OBJECT

private slots:
    void tagReportShowsUidReversed_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QByteArray>("uid");
        QTest::addColumn<int>("typeCode");
        QTest::newRow("1k") << int(CardKind::Classic1K) << hex("0A1B2C3D") << 0x02;
        QTest::newRow("4k") << int(CardKind::Classic4K) << hex("01020304") << 0x03;
        QTest::newRow("ul") << int(CardKind::Ultralight) << hex("04A1B2C3D4E5F6") << 0x01;
    }
    void tagReportShowsUidReversed()
    {
        QFETCH(int, kind);
        QFETCH(QByteArray, uid);
        QFETCH(int, typeCode);
        VirtualModule module(VirtualCard::create(CardKind(kind), uid));
        for (const quint8 command : {Select, Seek}) {
            const QByteArray report = answer(module, command);
            QVERIFY(SimFrame::isWellFormed(report));
            QCOMPARE(quint8(report.at(3)), command);
            QCOMPARE(quint8(report.at(4)), quint8(typeCode));
            // The program shows bytes 5.. last byte first; that must read as the card's memory holds the UID.
            QByteArray shown = report.mid(5, uid.size());
            std::reverse(shown.begin(), shown.end());
            const QByteArray image = module.card().image();
            QCOMPARE(shown, kind == int(CardKind::Ultralight) ? image.left(3) + image.mid(4, 4) : image.left(4));
            QCOMPARE(shown, uid);
        }
    }

    // "N" while no card is selected: never selected, removed, RF off, halted; a
    // select wakes a halted card and ends the old authentication.
    void noActiveTagAnswersN()
    {
        VirtualModule module;
        QCOMPARE(answer(module, Read, hex("04")), status(Read, 'N'));
        module.setTagPresent(false);
        QCOMPARE(answer(module, Select), status(Select, 'N'));
        QCOMPARE(answer(module, Halt), status(Halt, 'N'));
        module.setTagPresent(true);
        QCOMPARE(answer(module, RfField, hex("00")), status(RfField, 0x00));
        QCOMPARE(answer(module, Select), status(Select, 'N'));
        QCOMPARE(answer(module, RfField, hex("01")), status(RfField, 0x01));

        haltSelectAuth(module, 4);
        QCOMPARE(answer(module, Halt), status(Halt, 'L'));
        QCOMPARE(answer(module, Read, hex("04")), status(Read, 'N'));
        QCOMPARE(answer(module, Authenticate, hex("04FF")), status(Authenticate, 'N'));
        QCOMPARE(answer(module, Select).size(), 10);
        QCOMPARE(answer(module, Read, hex("04")), status(Read, 'F'));
    }

    void authenticationKeyCodes_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<char>("expected");
        QTest::newRow("default key, sector with own keys") << hex("04FF") << 'F';
        QTest::newRow("given key A") << hex("04AAA0A1A2A3A4A5") << 'L';
        QTest::newRow("given key A, wrong") << hex("04AA5C5C5C5C5C5D") << 'F';
        QTest::newRow("given key B") << hex("04BBB0B1B2B3B4B5") << 'L';
        QTest::newRow("slot 3 key A") << hex("0413") << 'L';
        QTest::newRow("slot 15 key B") << hex("042F") << 'L';
        QTest::newRow("slot 0 key A, default") << hex("0410") << 'F';
        QTest::newRow("default key, other sector") << hex("08FF") << 'L';
        QTest::newRow("unknown key code") << hex("0430") << 'F';
        QTest::newRow("given key, short") << hex("04AA5C5C") << 'F';
    }
    void authenticationKeyCodes()
    {
        QFETCH(QByteArray, request);
        QFETCH(char, expected);
        VirtualModule module;
        module.classicCard()->setBlock(7, hex("A0A1A2A3A4A5") + hex("7F078869") + hex("B0B1B2B3B4B5")); // key B secret
        module.setStoredKey(3, KeyType::A, hex("A0A1A2A3A4A5"));
        module.setStoredKey(15, KeyType::B, hex("B0B1B2B3B4B5"));
        module.setStoredKey(0, KeyType::A, hex("000000000000"));
        (void)answer(module, Select);
        QCOMPARE(answer(module, Authenticate, request), status(Authenticate, expected));
    }

    void keyStoreWrite()
    {
        VirtualModule module;
        QCOMPARE(module.storedKey(15, KeyType::B), VirtualModule::defaultKey());
        QCOMPARE(answer(module, WriteKey, hex("05BB010203040506")), status(WriteKey, 'L'));
        QCOMPARE(module.storedKey(5, KeyType::B), hex("010203040506"));
        QCOMPARE(module.storedKey(5, KeyType::A), VirtualModule::defaultKey());
        QCOMPARE(answer(module, WriteKey, hex("10AA010203040506")), status(WriteKey, 'N')); // slot 16
        QCOMPARE(answer(module, WriteKey, hex("05CC010203040506")), status(WriteKey, 'N'));
    }

    // A seek answers "L" at once and reports the tag when one arrives, once; another
    // command ends the wait; a halted card in the field is found at once.
    void seekWaitsForTag()
    {
        VirtualModule module;
        module.setTagPresent(false);
        const SimAnswer first = exchange(module, Seek);
        QCOMPARE(first.bytes, status(Seek, 'L'));
        QVERIFY(first.delayMs <= VirtualModule::ModuleTimeMs);
        QVERIFY(module.takeUnsolicited().isEmpty());
        module.setTagPresent(true);
        const QList<SimAnswer> reports = module.takeUnsolicited();
        QCOMPARE(reports.size(), 1);
        QCOMPARE(reports.first().bytes, SimFrame::build(Seek, hex("02D4C3B2A1")));
        QVERIFY(module.card().isActive());
        module.setTagPresent(false);
        module.setTagPresent(true);
        QVERIFY(module.takeUnsolicited().isEmpty());

        module.setTagPresent(false);
        (void)answer(module, Seek);
        (void)answer(module, Version);
        module.setTagPresent(true);
        QVERIFY(module.takeUnsolicited().isEmpty());

        (void)answer(module, Select);
        QCOMPARE(answer(module, Halt), status(Halt, 'L'));
        QCOMPARE(answer(module, Seek).size(), 10);
    }

    void sleepAndBadRfState()
    {
        VirtualModule module;
        QCOMPARE(answer(module, RfField, hex("02")), status(RfField, 'F'));
        QCOMPARE(answer(module, Sleep), status(Sleep, 'L'));
        QVERIFY(module.asleep());
        QCOMPARE(answer(module, ReadInputs), status(ReadInputs, 0)); // any frame wakes it
        QVERIFY(!module.asleep());
    }

    void answerFaults_data()
    {
        QTest::addColumn<int>("fault");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("delayMs");
        const QByteArray clean = SimFrame::build(Version, VirtualModule::versionText());
        QByteArray badSum = clean;
        badSum.back() = char(quint8(badSum.back()) + 1);
        // The oversize answer is well formed; only its Length (80) is too large.
        const QByteArray oversize = SimFrame::build(Version, VirtualModule::versionText().leftJustified(79, char(0)));
        QTest::newRow("no answer") << int(SimFault::NoAnswer) << QByteArray() << 1;
        QTest::newRow("bad checksum") << int(SimFault::BadChecksum) << badSum << 1;
        QTest::newRow("truncated") << int(SimFault::Truncated) << clean.left(clean.size() - 2) << 1;
        QTest::newRow("oversize") << int(SimFault::OversizeLength) << oversize << 1;
        QTest::newRow("garbage") << int(SimFault::Garbage) << hex("3CA502") + clean << 1;
        QTest::newRow("late") << int(SimFault::Late) << clean << 1 + VirtualModule::DefaultLateDelayMs;
    }
    void answerFaults()
    {
        QFETCH(int, fault);
        QFETCH(QByteArray, bytes);
        QFETCH(int, delayMs);
        VirtualModule module;
        module.injectFault(SimFault(fault), 2);
        for (int i = 0; i < 2; ++i) {
            const SimAnswer spoilt = exchange(module, Version);
            QCOMPARE(spoilt.bytes, bytes);
            QCOMPARE(spoilt.delayMs, delayMs);
        }
        QCOMPARE(module.pendingFaultCount(), 0);
        QCOMPARE(answer(module, Version), SimFrame::build(Version, VirtualModule::versionText()));
    }

    // "U" or "X" to the next write that happens (reads and refused writes leave the
    // fault waiting); the data is written all the same.
    void writeStatusFaults_data()
    {
        QTest::addColumn<int>("fault");
        QTest::addColumn<char>("statusByte");
        QTest::newRow("U") << int(SimFault::WriteStatusU) << 'U';
        QTest::newRow("X") << int(SimFault::WriteStatusX) << 'X';
    }
    void writeStatusFaults()
    {
        QFETCH(int, fault);
        QFETCH(char, statusByte);
        VirtualModule module;
        module.injectFault(SimFault(fault));
        (void)answer(module, Select);
        QCOMPARE(answer(module, Write, hex("04") + QByteArray(16, 'a')), status(Write, 'F'));
        QCOMPARE(answer(module, Authenticate, hex("04FF")), status(Authenticate, 'L'));
        QCOMPARE(answer(module, Read, hex("04")).size(), 22);
        QCOMPARE(answer(module, Write, hex("04") + QByteArray(16, 'b')), status(Write, statusByte));
        QCOMPARE(module.classicCard()->block(4), QByteArray(16, 'b'));
        QCOMPARE(answer(module, Write, hex("04") + QByteArray(16, 'c')).size(), 22);

        VirtualModule ultralight(VirtualCard::create(CardKind::Ultralight));
        ultralight.injectFault(SimFault(fault));
        (void)answer(ultralight, Select);
        QCOMPARE(answer(ultralight, WritePage, hex("0401020304")), status(WritePage, statusByte));
        QCOMPARE(ultralight.ultralightCard()->page(4), hex("01020304"));
    }

    void badRequestsAreRefused_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<QByteArray>("data");
        QTest::newRow("unknown command") << 0x99 << QByteArray();
        QTest::newRow("read without block") << int(Read) << QByteArray();
        QTest::newRow("write of 15 bytes") << int(Write) << hex("04") + QByteArray(15, 0);
        QTest::newRow("increment without amount") << int(Increment) << hex("04");
        QTest::newRow("select with data") << int(Select) << hex("00");
        QTest::newRow("page write to a Classic card") << int(WritePage) << hex("0501020304");
    }
    void badRequestsAreRefused()
    {
        QFETCH(int, command);
        QFETCH(QByteArray, data);
        VirtualModule module;
        haltSelectAuth(module, 4);
        const QByteArray before = module.card().image();
        QCOMPARE(answer(module, quint8(command), data), status(quint8(command), 'F'));
        QCOMPARE(module.card().image(), before);
    }
};

QTEST_APPLESS_MAIN(TestSimModule)
#include "tst_sim_module.moc"
