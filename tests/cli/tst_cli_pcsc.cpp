// merlox-mifare-cli on a PC/SC reader: the program as a process, pcscd's virtual reader
// served by the simulator's card in this process.
#include "CliProcess.h"
#include "PcscCardWait.h"
#include "PcscSimulator.h"
#include "VirtualCard.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString Reader = QStringLiteral("Virtual PCD 00 00");
const QString Entry = QStringLiteral("PC/SC: Virtual PCD 00 00");

using Run = CliRun;

Run cli(const QStringList &args)
{
    return runCli(args);
}

} // namespace

class TestCliPcsc : public QObject
{
    Q_OBJECT

private:
    PcscSimulator m_sim;
    QTemporaryDir m_dir;

private Q_SLOTS:
    void initTestCase()
    {
        QString error;
        QVERIFY2(m_sim.insert(&error, 3000), qPrintable(error + QStringLiteral(" (scripts/start-pcscd.sh starts pcscd)")));
        QVERIFY(waitForPcscCard(Reader, true));
    }
    void cleanupTestCase() { m_sim.remove(); }

    void listsTheReaderAfterTheSerialPorts()
    {
        const Run run = cli({"list-ports"});
        QCOMPARE(run.status, 0);
        const QList<QByteArray> lines = run.out.trimmed().split('\n');
        const qsizetype first = lines.indexOf(Entry.toUtf8());
        QVERIFY2(first >= 0, run.out.constData());
        for (qsizetype i = first; i < lines.size(); ++i)
            QVERIFY(lines.at(i).startsWith("PC/SC: "));
    }

    // The serial is printed as hex text, as over the serial module.
    void selectPrintsTheSerialInHex()
    {
        const Run run = cli({"select", "--port", Entry});
        QVERIFY2(run.status == 0, run.err.constData());
        QCOMPARE(run.out.trimmed(), m_sim.cardImage().left(4).toHex().toUpper());
    }

    void readCardEqualsTheCardImage()
    {
        QByteArray card = m_sim.cardImage();
        for (int i = 16; i < card.size(); ++i) {
            if (i / 16 % 4 != 3) // trailers stay as they are
                card[i] = char(i * 7 + 3);
        }
        QVERIFY(m_sim.setCardImage(card));
        const QString file = m_dir.filePath(QStringLiteral("c.bin"));
        const Run run = cli({"read-card", "--port", Entry, "--key", "A:5C5C5C5C5C5C", file});
        QVERIFY2(run.status == 0, run.err.constData());
        QFile bin(file);
        QVERIFY(bin.open(QIODevice::ReadOnly));
        QCOMPARE(bin.readAll(), card);
    }

    // Refused before a single APDU: module-only key sources, no key, a line speed.
    // A reader pcscd does not know is a port problem with the PC/SC text.
    void refusals_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        QTest::newRow("key slot") << QStringList {"read-block", "--port", Entry, "--key-slot", "A:0", "4"} << 2
                                  << "--key-slot: a PC/SC reader has no key store";
        QTest::newRow("no key") << QStringList {"read-card", "--port", Entry, m_dir.filePath("n.bin")} << 2
                                << "a PC/SC reader has no default key: give the card's key with --key";
        QTest::newRow("baud") << QStringList {"select", "--port", Entry, "--baud", "9600"} << 2
                              << "--baud: a PC/SC reader has no line speed";
        QTest::newRow("unknown reader") << QStringList {"select", "--port", "PC/SC: Nobody 00 00"} << 5
                                        << "PC/SC: Nobody 00 00: ";
    }
    void refusals()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, message);
        const qsizetype before = m_sim.receivedApdus().size();
        const Run run = cli(args);
        QCOMPARE(run.status, status);
        QVERIFY2(run.err.contains(message.toUtf8()), run.err.constData());
        QCOMPARE(m_sim.receivedApdus().size(), before);
    }
};

QTEST_GUILESS_MAIN(TestCliPcsc)
#include "tst_cli_pcsc.moc"
