// Controlling the simulator: the port link for the program's port list, and the
// line commands of mifare-sim.
#include "PortPublisher.h"
#include "PtySimulator.h"
#include "SimConsole.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

class TestSimControl : public QObject
{
    Q_OBJECT

private slots:
    void publishesLinkAndRemovesIt()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("ports"));
        {
            PortPublisher publisher(folder);
            QString error;
            QVERIFY2(publisher.publish(QStringLiteral("mifare-sim"), QStringLiteral("/dev/pts/77"), &error), qPrintable(error));
            QCOMPARE(publisher.linkPath(), folder + QStringLiteral("/mifare-sim"));
            QCOMPARE(QFileInfo(publisher.linkPath()).symLinkTarget(), QStringLiteral("/dev/pts/77"));
            // The program lists links only; the lock file is hidden beside it.
            QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot), QStringList{QStringLiteral("mifare-sim")});
        }
        QVERIFY(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot).isEmpty());
    }

    // A name in use by a live simulator gets a suffix; a link left by a killed one is taken over.
    void liveNameGetsSuffixStaleLinkIsReplaced()
    {
        QTemporaryDir dir;
        QVERIFY(QFile::link(QStringLiteral("/dev/pts/99"), dir.filePath(QStringLiteral("sim")))); // no lock holder
        PortPublisher first(dir.path());
        PortPublisher second(dir.path());
        QVERIFY(first.publish(QStringLiteral("sim"), QStringLiteral("/dev/pts/1")));
        QCOMPARE(first.publishedName(), QStringLiteral("sim"));
        QCOMPARE(QFileInfo(first.linkPath()).symLinkTarget(), QStringLiteral("/dev/pts/1"));
        QVERIFY(second.publish(QStringLiteral("sim"), QStringLiteral("/dev/pts/2")));
        QCOMPARE(second.publishedName(), QStringLiteral("sim-2"));
        QCOMPARE(QFileInfo(dir.filePath(QStringLiteral("sim-2"))).symLinkTarget(), QStringLiteral("/dev/pts/2"));
    }

    void refusesBadNames()
    {
        for (const QString &name : {QStringLiteral(".sim"), QStringLiteral("../sim")}) {
            QTemporaryDir dir;
            PortPublisher publisher(dir.path());
            QString error;
            QVERIFY(!publisher.publish(name, QStringLiteral("/dev/pts/1"), &error));
            QVERIFY(!error.isEmpty());
            QVERIFY(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
        }
    }

    // "load" reads regular files only, and no more than a card holds: a FIFO would
    // block the simulator, a device never end.
    void consoleLoadsOnlyCardSizedFiles()
    {
        PtySimulator simulator;
        SimConsole console(simulator);
        QTemporaryDir dir;
        const QString fifo = dir.filePath(QStringLiteral("fifo"));
        QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QCOMPARE(console.execute(QStringLiteral("load ") + fifo), QStringLiteral("cannot read %1: not a regular file").arg(fifo));
        QVERIFY(console.execute(QStringLiteral("load /dev/zero")).endsWith(QLatin1String("not a regular file")));
        QFile big(dir.filePath(QStringLiteral("big.bin")));
        QVERIFY(big.open(QIODevice::WriteOnly) && big.write(QByteArray(4097, '\0')) == 4097);
        big.close();
        QCOMPARE(console.execute(QStringLiteral("load ") + big.fileName()),
                 QStringLiteral("%1 is larger than any card (4096 bytes)").arg(big.fileName()));
        QByteArray image = simulator.cardImage();
        image[20] = '\x5A';
        QFile card(dir.filePath(QStringLiteral("card.bin")));
        QVERIFY(card.open(QIODevice::WriteOnly) && card.write(image) == image.size());
        card.close();
        QVERIFY(console.execute(QStringLiteral("load ") + card.fileName()).startsWith(QLatin1String("image loaded")));
        QCOMPARE(simulator.cardImage(), image);
    }

    void consoleCommands()
    {
        PtySimulator simulator;
        SimConsole console(simulator);
        (void)console.execute(QStringLiteral("remove"));
        QVERIFY(!simulator.tagPresent());
        (void)console.execute(QStringLiteral("pins 3"));
        (void)console.execute(QStringLiteral("speed 9600"));
        (void)console.execute(QStringLiteral("fault checksum 2"));
        (void)console.execute(QStringLiteral("fault write-x"));
        // Bad arguments get the usage text and change nothing.
        for (const char *bad : {"pins 4", "speed 1234", "fault sometimes", "fault late 0", "swap 2k"})
            QVERIFY(console.execute(QLatin1String(bad)).startsWith(QLatin1String("usage")));
        int faults = 0;
        quint8 pins = 0;
        simulator.withModule([&](VirtualModule &module) {
            faults = module.pendingFaultCount();
            pins = module.inputPins();
        });
        QCOMPARE(faults, 3);
        QCOMPARE(pins, quint8(3));
        QCOMPARE(simulator.moduleSpeed(), 9600);

        QVERIFY(console.execute(QStringLiteral("swap ul 0102")).contains(QLatin1String("7 bytes")));
        QCOMPARE(simulator.cardKind(), CardKind::Classic1K);
        (void)console.execute(QStringLiteral("swap ul 01020304050607"));
        QCOMPARE(simulator.cardKind(), CardKind::Ultralight);
        QCOMPARE(simulator.cardUid(), QByteArray::fromHex("01020304050607"));
        QVERIFY(console.execute(QStringLiteral("dump")).startsWith(QLatin1String("page  0  01 02 03")));
        (void)console.execute(QStringLiteral("quit"));
        QVERIFY(console.quitRequested());
    }
};

QTEST_GUILESS_MAIN(TestSimControl)
#include "tst_sim_control.moc"
