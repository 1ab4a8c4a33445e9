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
    if (answers.size() != 1)
        return {};
    return answers.first();
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
    void tagReportShowsUidReversed_data();
    void tagReportShowsUidReversed();
    void noActiveTagAnswersN();
    void haltedCardIsWokenBySelect();
    void authenticationKeyCodes_data();
    void authenticationKeyCodes();
    void keyStoreWrite();
    void seekWaitsForTag();
    void seekEndsWithNextCommand();
    void resetAnswersVersion();
    void baudChange();
    void rfFieldAndPins();
    void readWriteAndValueFrames();
    void ultralightPages();
    void answerFaults_data();
    void answerFaults();
    void writeStatusFaults_data();
    void writeStatusFaults();
    void badRequestsAreRefused_data();
    void badRequestsAreRefused();
};

void TestSimModule::tagReportShowsUidReversed_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("uid");
    QTest::addColumn<int>("typeCode");
    QTest::newRow("1k") << int(CardKind::Classic1K) << hex("0A1B2C3D") << 0x02;
    QTest::newRow("4k") << int(CardKind::Classic4K) << hex("01020304") << 0x03;
    QTest::newRow("ul") << int(CardKind::Ultralight) << hex("04A1B2C3D4E5F6") << 0x01;
}

void TestSimModule::tagReportShowsUidReversed()
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
        const QByteArray inMemory = kind == int(CardKind::Ultralight) ? image.left(3) + image.mid(4, 4) : image.left(4);
        QCOMPARE(shown, inMemory);
        QCOMPARE(shown, uid);
    }
}

void TestSimModule::noActiveTagAnswersN()
{
    VirtualModule module;
    QCOMPARE(answer(module, Read, hex("04")), status(Read, 'N')); // powered, never selected
    module.setTagPresent(false);
    QCOMPARE(answer(module, Select), status(Select, 'N'));
    QCOMPARE(answer(module, Halt), status(Halt, 'N'));
    module.setTagPresent(true);
    QCOMPARE(quint8(answer(module, Select).at(2)), quint8(6));
    QCOMPARE(answer(module, RfField, hex("00")), status(RfField, 0x00));
    QCOMPARE(answer(module, Authenticate, hex("04FF")), status(Authenticate, 'N'));
    QCOMPARE(answer(module, Select), status(Select, 'N'));
    QCOMPARE(answer(module, RfField, hex("01")), status(RfField, 0x01));
    QCOMPARE(quint8(answer(module, Select).at(2)), quint8(6));
}

void TestSimModule::haltedCardIsWokenBySelect()
{
    VirtualModule module;
    haltSelectAuth(module, 4);
    QCOMPARE(answer(module, Halt), status(Halt, 'L'));
    QCOMPARE(answer(module, Read, hex("04")), status(Read, 'N'));
    QCOMPARE(answer(module, Authenticate, hex("04FF")), status(Authenticate, 'N'));
    QCOMPARE(answer(module, Select).size(), 10);
    // The select ended the old authentication.
    QCOMPARE(answer(module, Read, hex("04")), status(Read, 'F'));
}

void TestSimModule::authenticationKeyCodes_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<char>("expected");
    const QByteArray keyA = hex("A0A1A2A3A4A5");
    QTest::newRow("default key, sector with own keys") << hex("04FF") << 'F';
    QTest::newRow("given key A") << hex("04AA") + keyA << 'L';
    QTest::newRow("given key A, wrong") << hex("04AA5C5C5C5C5C5D") << 'F';
    QTest::newRow("given key B") << hex("04BBB0B1B2B3B4B5") << 'L';
    QTest::newRow("slot 3 key A") << hex("0413") << 'L';
    QTest::newRow("slot 15 key B") << hex("042F") << 'L';
    QTest::newRow("slot 0 key A, default") << hex("0410") << 'F';
    QTest::newRow("default key, other sector") << hex("08FF") << 'L';
    QTest::newRow("unknown key code") << hex("0430") << 'F';
    QTest::newRow("given key, short") << hex("04AA5C5C") << 'F';
}

void TestSimModule::authenticationKeyCodes()
{
    QFETCH(QByteArray, request);
    QFETCH(char, expected);
    VirtualModule module;
    ClassicCard *card = module.classicCard();
    QVERIFY(card);
    card->setBlock(7, hex("A0A1A2A3A4A5") + hex("7F078869") + hex("B0B1B2B3B4B5")); // trailer 011: key B secret
    module.setStoredKey(3, KeyType::A, hex("A0A1A2A3A4A5"));
    module.setStoredKey(15, KeyType::B, hex("B0B1B2B3B4B5"));
    module.setStoredKey(0, KeyType::A, hex("000000000000"));
    (void)answer(module, Select);
    QCOMPARE(answer(module, Authenticate, request), status(Authenticate, expected));
}

void TestSimModule::keyStoreWrite()
{
    VirtualModule module;
    for (int slot = 0; slot < VirtualModule::KeySlots; ++slot) {
        QCOMPARE(module.storedKey(slot, KeyType::A), VirtualModule::defaultKey());
        QCOMPARE(module.storedKey(slot, KeyType::B), VirtualModule::defaultKey());
    }
    QCOMPARE(answer(module, WriteKey, hex("05BB010203040506")), status(WriteKey, 'L'));
    QCOMPARE(module.storedKey(5, KeyType::B), hex("010203040506"));
    QCOMPARE(module.storedKey(5, KeyType::A), VirtualModule::defaultKey());
    QCOMPARE(answer(module, WriteKey, hex("10AA010203040506")), status(WriteKey, 'N')); // slot 16
    QCOMPARE(answer(module, WriteKey, hex("05CC010203040506")), status(WriteKey, 'N'));
    // The stored key authenticates once the card carries it.
    module.classicCard()->setBlock(3, VirtualModule::defaultKey() + hex("7F078869") + hex("010203040506"));
    (void)answer(module, Select);
    QCOMPARE(answer(module, Authenticate, hex("0125")), status(Authenticate, 'L'));
}

void TestSimModule::seekWaitsForTag()
{
    VirtualModule module;
    module.setTagPresent(false);
    const SimAnswer first = exchange(module, Seek);
    QCOMPARE(first.bytes, status(Seek, 'L'));
    QVERIFY(first.delayMs <= VirtualModule::ModuleTimeMs);
    QVERIFY(module.seekPending());
    QVERIFY(module.takeUnsolicited().isEmpty());

    module.setTagPresent(true);
    const QList<SimAnswer> reports = module.takeUnsolicited();
    QCOMPARE(reports.size(), 1);
    QCOMPARE(reports.first().bytes, SimFrame::build(Seek, hex("02D4C3B2A1")));
    QVERIFY(module.card().isActive());
    // One report only.
    module.setTagPresent(false);
    module.setTagPresent(true);
    QVERIFY(module.takeUnsolicited().isEmpty());
}

void TestSimModule::seekEndsWithNextCommand()
{
    VirtualModule module;
    module.setTagPresent(false);
    (void)answer(module, Seek);
    (void)answer(module, Version);
    module.setTagPresent(true);
    QVERIFY(module.takeUnsolicited().isEmpty());

    // A halted card on the reader is found at once: seek wakes it like select.
    (void)answer(module, Select);
    (void)answer(module, Halt);
    QCOMPARE(answer(module, Seek).size(), 10);

    // A card swapped in completes a waiting seek too.
    module.setTagPresent(false);
    (void)answer(module, Seek);
    module.setCard(VirtualCard::create(CardKind::Ultralight));
    QCOMPARE(module.takeUnsolicited().size(), 0); // still no tag in the field
    module.setTagPresent(true);
    QCOMPARE(module.takeUnsolicited().first().bytes.size(), 13);
}

void TestSimModule::resetAnswersVersion()
{
    VirtualModule module;
    haltSelectAuth(module, 4);
    const SimAnswer reset = exchange(module, Reset);
    QCOMPARE(reset.bytes, SimFrame::build(Reset, VirtualModule::versionText()));
    QVERIFY(reset.bytes.size() >= 7);
    QCOMPARE(reset.delayMs, VirtualModule::ResetTimeMs);
    QVERIFY(!module.card().isActive()); // the card lost power with the field
    QCOMPARE(answer(module, Version), SimFrame::build(Version, VirtualModule::versionText()));

    module.setResetLate(true);
    module.setLateDelayMs(1800);
    QCOMPARE(exchange(module, Reset).delayMs, 1800);
}

void TestSimModule::baudChange()
{
    VirtualModule module;
    const SimAnswer changed = exchange(module, SetBaud, hex("04"));
    QCOMPARE(changed.bytes, status(SetBaud, 'L'));
    QCOMPARE(changed.delayMs, VirtualModule::BaudAnswerDelayMs);
    QCOMPARE(module.speed(), 115200);
    QCOMPARE(answer(module, SetBaud, hex("05")), status(SetBaud, 'F'));
    QCOMPARE(module.speed(), 115200);
    QVERIFY(!module.setSpeed(12345));
    QVERIFY(module.setSpeed(9600));
}

void TestSimModule::rfFieldAndPins()
{
    VirtualModule module;
    QCOMPARE(answer(module, RfField, hex("01")), hex("FF0002900193"));
    QCOMPARE(answer(module, RfField, hex("00")), hex("FF0002900092"));
    QVERIFY(!module.rfFieldOn());
    QCOMPARE(answer(module, RfField, hex("02")), status(RfField, 'F'));
    module.setInputPins(3);
    QCOMPARE(answer(module, ReadInputs), status(ReadInputs, 3));
    QCOMPARE(answer(module, WriteOutputs, hex("02")), status(WriteOutputs, 2));
    QCOMPARE(module.outputPins(), quint8(2));
    QCOMPARE(answer(module, Sleep), status(Sleep, 'L'));
    QVERIFY(module.asleep());
    QCOMPARE(answer(module, ReadInputs), status(ReadInputs, 3)); // any frame wakes it
    QVERIFY(!module.asleep());
}

void TestSimModule::readWriteAndValueFrames()
{
    VirtualModule module;
    haltSelectAuth(module, 4);
    const QByteArray data = hex("00112233445566778899AABBCCDDEEFF");
    QCOMPARE(answer(module, Write, hex("05") + data), SimFrame::build(Write, hex("05") + data));
    QCOMPARE(answer(module, Read, hex("05")), SimFrame::build(Read, hex("05") + data));
    QCOMPARE(answer(module, ReadValue, hex("05")), status(ReadValue, 'I'));
    QCOMPARE(answer(module, WriteValue, hex("0600010000")), SimFrame::build(WriteValue, hex("0600010000")));
    QCOMPARE(answer(module, Increment, hex("0601000000")), SimFrame::build(Increment, hex("0601010000")));
    QCOMPARE(answer(module, Decrement, hex("0602000000")), SimFrame::build(Decrement, hex("06FF000000")));
    QCOMPARE(answer(module, ReadValue, hex("06")), hex("FF000687") + hex("06FF000000") + char(0x92));
    // Trailer reads show key A as zeros.
    QCOMPARE(answer(module, Read, hex("07")).mid(5, 16), QByteArray(6, 0) + hex("FF078069") + VirtualModule::defaultKey());
    QCOMPARE(answer(module, WritePage, hex("0501020304")), status(WritePage, 'F')); // no pages on a Classic card
}

void TestSimModule::ultralightPages()
{
    VirtualModule module(VirtualCard::create(CardKind::Ultralight));
    QCOMPARE(answer(module, Read, hex("04")), status(Read, 'N'));
    (void)answer(module, Halt);
    (void)answer(module, Select);
    QCOMPARE(answer(module, WritePage, hex("0FCAFEBABE")), SimFrame::build(WritePage, hex("0FCAFEBABE")));
    const QByteArray read = answer(module, Read, hex("0F"));
    QCOMPARE(read.size(), 22);
    QCOMPARE(read.mid(4, 5), hex("0FCAFEBABE"));
    QCOMPARE(read.mid(9, 8), module.card().image().left(8)); // pages 0 and 1 after 15
    QCOMPARE(answer(module, WritePage, hex("0001020304")), status(WritePage, 'F'));
    QCOMPARE(answer(module, Authenticate, hex("04FF")), status(Authenticate, 'F'));
}

void TestSimModule::answerFaults_data()
{
    QTest::addColumn<int>("fault");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("delayMs");
    const QByteArray clean = SimFrame::build(Version, VirtualModule::versionText());
    QByteArray badSum = clean;
    badSum.back() = char(quint8(badSum.back()) + 1);
    QTest::newRow("no answer") << int(SimFault::NoAnswer) << QByteArray() << 1;
    QTest::newRow("bad checksum") << int(SimFault::BadChecksum) << badSum << 1;
    QTest::newRow("truncated") << int(SimFault::Truncated) << clean.left(clean.size() - 2) << 1;
    QTest::newRow("oversize") << int(SimFault::OversizeLength)
                              << SimFrame::build(Version, VirtualModule::versionText().leftJustified(79, char(0))) << 1;
    QTest::newRow("garbage") << int(SimFault::Garbage) << hex("3CA502") + clean << 1;
    QTest::newRow("late") << int(SimFault::Late) << clean << 1 + VirtualModule::DefaultLateDelayMs;
}

void TestSimModule::answerFaults()
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
    if (SimFault(fault) == SimFault::OversizeLength) {
        QCOMPARE(quint8(bytes.at(2)), quint8(80));
        QVERIFY(SimFrame::isWellFormed(bytes)); // only its size is wrong
    }
    QCOMPARE(module.pendingFaultCount(), 0);
    QCOMPARE(answer(module, Version), SimFrame::build(Version, VirtualModule::versionText()));
}

void TestSimModule::writeStatusFaults_data()
{
    QTest::addColumn<int>("fault");
    QTest::addColumn<char>("statusByte");
    QTest::newRow("U") << int(SimFault::WriteStatusU) << 'U';
    QTest::newRow("X") << int(SimFault::WriteStatusX) << 'X';
}

void TestSimModule::writeStatusFaults()
{
    QFETCH(int, fault);
    QFETCH(char, statusByte);
    VirtualModule module;
    module.injectFault(SimFault(fault));
    (void)answer(module, Select);
    // Reads and refused writes leave the fault waiting for a write that happens.
    QCOMPARE(answer(module, Write, hex("04") + QByteArray(16, 'a')), status(Write, 'F'));
    QCOMPARE(answer(module, Authenticate, hex("04FF")), status(Authenticate, 'L'));
    QCOMPARE(answer(module, Read, hex("04")).size(), 22);
    QCOMPARE(answer(module, Write, hex("04") + QByteArray(16, 'b')), status(Write, statusByte));
    QCOMPARE(module.classicCard()->block(4), QByteArray(16, 'b')); // the write was done
    QCOMPARE(answer(module, Write, hex("04") + QByteArray(16, 'c')).size(), 22);

    VirtualModule ultralight(VirtualCard::create(CardKind::Ultralight));
    ultralight.injectFault(SimFault(fault));
    (void)answer(ultralight, Select);
    QCOMPARE(answer(ultralight, WritePage, hex("0401020304")), status(WritePage, statusByte));
    QCOMPARE(ultralight.ultralightCard()->page(4), hex("01020304"));
}

void TestSimModule::badRequestsAreRefused_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<QByteArray>("data");
    QTest::newRow("unknown command") << 0x99 << QByteArray();
    QTest::newRow("read without block") << int(Read) << QByteArray();
    QTest::newRow("write of 15 bytes") << int(Write) << hex("04") + QByteArray(15, 0);
    QTest::newRow("increment without amount") << int(Increment) << hex("04");
    QTest::newRow("select with data") << int(Select) << hex("00");
}

void TestSimModule::badRequestsAreRefused()
{
    QFETCH(int, command);
    QFETCH(QByteArray, data);
    VirtualModule module;
    haltSelectAuth(module, 4);
    const QByteArray before = module.card().image();
    QCOMPARE(answer(module, quint8(command), data), status(quint8(command), 'F'));
    QCOMPARE(module.card().image(), before);
}

QTEST_APPLESS_MAIN(TestSimModule)
#include "tst_sim_module.moc"
