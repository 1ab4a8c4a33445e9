// The virtual module without a line: card presence, key codes, the key store,
// write-status faults and refused requests. Tag reports, seeks and answer faults are
// checked through the program's own tests.
#include "ClassicCard.h"
#include "ModuleCommand.h"
#include "SimFrame.h"
#include "VirtualModule.h"

#include <QTest>

using namespace ModuleCommand;

namespace {
QByteArray answer(VirtualModule &module, quint8 command, const QByteArray &data = {})
{
    const QList<SimAnswer> answers = module.handleFrame(SimFrame::build(command, data));
    return answers.size() == 1 ? answers.first().bytes : QByteArray();
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
    // "N" while no card is selected: never selected, removed, RF off, halted; a
    // seek finds a halted card at once and the old authentication is gone.
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
        QCOMPARE(answer(module, Seek).size(), 10);
        QCOMPARE(answer(module, Read, hex("04")), status(Read, 'F'));
    }

    void authenticationKeyCodes_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<char>("expected");
        // The codes the program sends (default key, typed key, slot) are checked
        // through the program's authentication tests; these are the ones it never sends.
        QTest::newRow("given key B") << hex("04BBB0B1B2B3B4B5") << 'L';
        QTest::newRow("unknown key code") << hex("0430") << 'F';
        QTest::newRow("given key, short") << hex("04AA5C5C") << 'F';
    }
    void authenticationKeyCodes()
    {
        QFETCH(QByteArray, request);
        QFETCH(char, expected);
        VirtualModule module;
        module.classicCard()->setBlock(7, hex("A0A1A2A3A4A5") + hex("7F078869") + hex("B0B1B2B3B4B5")); // key B secret
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

    void sleepAndBadRfState()
    {
        VirtualModule module;
        QCOMPARE(answer(module, RfField, hex("02")), status(RfField, 'F'));
        QCOMPARE(answer(module, Sleep), status(Sleep, 'L'));
        QVERIFY(module.asleep());
        QCOMPARE(answer(module, ReadInputs), status(ReadInputs, 0)); // any frame wakes it
        QVERIFY(!module.asleep());
    }

    // A write-status fault answers the next write that happens (reads and refused
    // writes leave it waiting), once; the data is written all the same.
    void writeStatusFaults_data()
    {
        QTest::addColumn<int>("fault");
        QTest::addColumn<char>("answerStatus");
        QTest::newRow("U") << int(SimFault::WriteStatusU) << 'U';
        QTest::newRow("X") << int(SimFault::WriteStatusX) << 'X';
    }
    void writeStatusFaults()
    {
        QFETCH(int, fault);
        QFETCH(char, answerStatus);
        VirtualModule module;
        module.injectFault(SimFault(fault));
        (void)answer(module, Select);
        QCOMPARE(answer(module, Write, hex("04") + QByteArray(16, 'a')), status(Write, 'F'));
        QCOMPARE(answer(module, Authenticate, hex("04FF")), status(Authenticate, 'L'));
        QCOMPARE(answer(module, Read, hex("04")).size(), 22);
        QCOMPARE(answer(module, Write, hex("04") + QByteArray(16, 'b')), status(Write, answerStatus));
        QCOMPARE(module.classicCard()->block(4), QByteArray(16, 'b'));
        QCOMPARE(answer(module, Write, hex("04") + QByteArray(16, 'c')).size(), 22);
    }

    void badRequestsAreRefused_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<QByteArray>("data");
        QTest::newRow("unknown command") << 0x99 << QByteArray();
        QTest::newRow("write of 15 bytes") << int(Write) << hex("04") + QByteArray(15, 0);
        QTest::newRow("increment without amount") << int(Increment) << hex("04");
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
