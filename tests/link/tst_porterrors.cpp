#include "ScriptedPeer.h"

#include "link/ComPort.h"
#include "link/EComPort.h"

#include <QTest>

#include <cerrno>

using namespace Qt::StringLiterals;

// The port error box: the fixed message line, then the system's reason and a hint.
class TestPortErrors : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void boxTextPerSystemError_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("systemError");
        QTest::addColumn<QString>("box");
        QTest::newRow("permission") << int(EComPort::OpenFailed) << EACCES
            << u"Unable to open com port (win error code: 13)\nPermission denied. Serial ports belong to the group "
               "dialout: join it (sudo adduser $USER dialout) and log in again."_s;
        QTest::newRow("busy") << int(EComPort::OpenFailed) << EBUSY
            << u"Unable to open com port (win error code: 16)\nDevice or resource busy. Another program holds the "
               "port (ModemManager, a terminal program or a second copy of this one): close it, or wait until it "
               "lets go."_s;
        QTest::newRow("missing") << int(EComPort::OpenFailed) << ENOENT
            << u"Unable to open com port (win error code: 2)\nNo such file or directory. The reader was unplugged "
               "(or the port name is wrong): plug it in again and choose its port in the Com Port box."_s;
        QTest::newRow("unplugged while open") << int(EComPort::ReadFailed) << ENXIO
            << u"ReadFile function failed (win error code: 6)\nNo such device or address. The reader was unplugged "
               "(or the port name is wrong): plug it in again and choose its port in the Com Port box."_s;
        QTest::newRow("write time-out") << int(EComPort::WriteFailed) << ETIMEDOUT
            << u"WriteFile function failed (win error code: 110)\nConnection timed out. The module took no bytes in "
               "time: check its power and cable."_s;
        QTest::newRow("other") << int(EComPort::SetStateFailed) << EINVAL
            << u"SetCommState function failed (win error code: 22)\nInvalid argument."_s;
        QTest::newRow("no number") << int(EComPort::PurgeFailed) << 0 << u"PurgeComm function failed (win error code: 0)"_s;
    }
    void boxTextPerSystemError()
    {
        QFETCH(int, code);
        QFETCH(int, systemError);
        QFETCH(QString, box);
        const EComPort error(EComPort::Code(code), systemError);
        QCOMPARE(error.boxText(), box);
        // The message itself stays the one line it always was.
        QCOMPARE(QString::fromLatin1(error.what()), box.section(u'\n', 0, 0));
    }

    // A port another program holds is "busy", not "permission denied".
    void portHeldElsewhereIsBusy()
    {
        ScriptedPeer peer;
        ComPort first;
        first.setPortName(peer.portPath());
        first.open();
        ComPort second;
        second.setPortName(peer.portPath());
        try {
            second.open();
            QFAIL("opened a port that is in use");
        } catch (const EComPort &error) {
            QCOMPARE(error.systemError(), EBUSY);
            QVERIFY2(error.boxText().contains(u"Another program holds the port"_s), qPrintable(error.boxText()));
        }
        QVERIFY(!second.isOpen());
        QVERIFY(first.isOpen());
    }
};

QTEST_GUILESS_MAIN(TestPortErrors)
#include "tst_porterrors.moc"
