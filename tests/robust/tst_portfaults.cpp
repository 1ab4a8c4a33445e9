// Faults on the line, through the module simulator on a pseudo-terminal: the far end
// disappearing in the middle of Read All and Write All, each answer fault the
// simulator can inject, a port without permission, and a settings file that can no
// longer be written while the program runs. (A write answered "U" or "X":
// tests/tag/tst_blockcommands and tests/sim/tst_sim_module.)
#include "HookedProgress.h"
#include "ProgramRig.h"
#include "PtySimulator.h"
#include "ScriptedPeer.h"

#include "app/MainWindow.h"
#include "app/MainWindowUi.h"
#include "app/ProgramWindows.h"
#include "link/ComPort.h"
#include "link/EComPort.h"
#include "link/Frame.h"
#include "link/FrameExchange.h"
#include "link/ModuleLink.h"
#include "commands/BlockCommands.h"
#include "commands/TagCommands.h"
#include "commands/CardRun.h"
#include "commands/ReadAllRun.h"
#include "commands/WriteAllRun.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QPushButton>
#include <QFile>
#include <QMap>
#include <QtTest>

#include <functional>
#include <thread>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int TimeoutMs = 300;

// The whole program pointed at a port path, with a short response time-out.
struct Program
{
    ProgramRig rig;

    explicit Program(const QString &portPath)
    {
        rig.start();
        usePort(portPath);
        main().ui().cmb_baud->setCurrentIndex(1); // 19200, the simulator's speed
        main().link().exchange().setResponseTimeout(TimeoutMs);
    }
    MainWindow &main() { return rig.main(); }
    void usePort(const QString &path)
    {
        QComboBox *box = main().ui().cmb_port;
        box->addItem(path);
        box->setCurrentIndex(box->count() - 1);
        main().cmb_portChange();
    }
    void beforeStep(std::function<void(int)> hook)
    {
        auto progress = std::make_unique<HookedProgress>();
        progress->atStep = std::move(hook);
        rig.windows->cardRun().setProgress(std::move(progress));
    }
    QStringList errors() const
    {
        QStringList out;
        for (const ScriptedDialogs::Shown &s : rig.dialogs.shown) {
            if (s.kind == QLatin1String("error"))
                out << s.text;
        }
        return out;
    }
    // Every file of the temporary folder (the settings file among them) with its bytes.
    QMap<QString, QByteArray> files() const
    {
        QMap<QString, QByteArray> out;
        for (const QFileInfo &info : QDir(rig.dir.path()).entryInfoList(QDir::Files | QDir::Hidden)) {
            QFile f(info.filePath());
            out.insert(info.fileName(), f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("?"));
        }
        return out;
    }
    qsizetype txCount() const
    {
        qsizetype n = 0;
        for (const QByteArray &line : rig.windows->main().logLines())
            n += line.startsWith("TX > ") ? 1 : 0;
        return n;
    }
};

} // namespace

class TestPortFaults : public QObject
{
    Q_OBJECT

private:
    // Pulls the far end away before step `at` of a run (or from another thread while
    // the command of that step waits), and checks everything the user must see.
    void loseThePort(bool writeAll, bool whileWaiting)
    {
        PtySimulator sim;
        QVERIFY(sim.start());
        Program program(sim.portPath());
        if (writeAll) {
            // The grid first holds the card, so that the write plan passes its checks.
            program.main().ui().cb_select->setChecked(false);
            program.rig.windows->readAllRun().readAllClick();
            QVERIFY2(program.errors().isEmpty(), qPrintable(program.errors().join('\n')));
        }
        const QMap<QString, QByteArray> filesBefore = program.files();
        const int at = writeAll ? 5 : 9;
        QElapsedTimer sinceLoss;
        qsizetype txAtLoss = -1;
        std::thread puller;
        program.beforeStep([&](int done) {
            if (done != at)
                return;
            txAtLoss = program.txCount();
            if (whileWaiting) {
                sim.setCardTimeMs(TimeoutMs / 2); // the answer is still out when the line goes
                puller = std::thread([&sim] {
                    std::this_thread::sleep_for(std::chrono::milliseconds(TimeoutMs / 6));
                    sim.stop();
                });
            } else {
                sim.stop();
            }
            sinceLoss.start();
        });
        program.rig.dialogs.shown.clear();
        if (writeAll)
            program.rig.windows->writeAllRun().writeAllClick();
        else
            program.rig.windows->readAllRun().readAllClick();
        const qint64 elapsed = sinceLoss.elapsed();
        if (puller.joinable())
            puller.join();
        QVERIFY(txAtLoss >= 0);
        QVERIFY2(elapsed < TimeoutMs + 400, qPrintable(QString::number(elapsed)));

        // One error box, with the port's text; the port is closed and stays closed.
        QCoreApplication::processEvents();
        QTest::qWait(50);
        const QStringList errors = program.errors();
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors.first().contains(QLatin1String("function failed (win error code: ")), qPrintable(errors.first()));
        QVERIFY(!program.main().port().isOpen());
        QVERIFY(program.main().ui().open_c->isVisibleTo(&program.main()));
        QVERIFY(!program.main().ui().close_c->isVisibleTo(&program.main()));
        QVERIFY(!program.rig.windows->cardRun().isActive());
        // At most the request already on its way when the line went; nothing after it.
        QVERIFY2(program.txCount() <= txAtLoss + 1, qPrintable(program.main().logLines().join('\n')));
        QCOMPARE(program.files(), filesBefore);

        // The port comes back (under a new name, as a re-plugged adapter does): the
        // same run works.
        PtySimulator again;
        QVERIFY(again.start());
        program.usePort(again.portPath());
        program.beforeStep([](int) {});
        program.rig.dialogs.shown.clear();
        program.main().ui().cb_select->setChecked(false);
        program.rig.windows->readAllRun().readAllClick();
        QVERIFY2(program.errors().isEmpty(), qPrintable(program.errors().join('\n')));
        QVERIFY(program.main().port().isOpen());
        QVERIFY(again.receivedFrames().size() > 16);
    }

    // Runs one block read against an injected fault; the log lines it wrote.
    QByteArrayList readWithFault(SimFault fault, QStringList *errors)
    {
        PtySimulator sim;
        sim.setLateDelayMs(TimeoutMs * 2);
        if (!sim.start())
            return {"simulator did not start"};
        Program program(sim.portPath());
        QByteArray result;
        program.main().tagCommands().SelectTag(result);
        program.main().tagCommands().Authenticate(4, result);
        const qsizetype before = program.main().logLines().size();
        sim.injectFault(fault);
        program.main().blockCommands().ReadBlockToGrid(4, result);
        const QByteArrayList lines = program.main().logLines().mid(before);
        *errors = program.errors();
        // A late answer arrives after the time-out; the next command must not take it.
        if (fault == SimFault::Late) {
            QTest::qWait(TimeoutMs * 2);
            QByteArray again;
            program.main().blockCommands().ReadBlockToGrid(4, again);
            if (again == "error")
                errors->append(QStringLiteral("the read after the late answer failed"));
        }
        return lines;
    }

private Q_SLOTS:
    void portLostBeforeAReadAllStep() { loseThePort(false, false); }
    void portLostWhileReadAllWaits() { loseThePort(false, true); }
    void portLostBeforeAWriteAllStep() { loseThePort(true, false); }
    void portLostWhileWriteAllWaits() { loseThePort(true, true); }

    // Each answer fault gives its reason in the log and nothing else: no error box,
    // the port stays open, the response line is not written.
    void answerFaults_data()
    {
        QTest::addColumn<int>("fault");
        QTest::addColumn<QByteArray>("reason");
        QTest::newRow("no answer") << int(SimFault::NoAnswer) << QByteArray("***Timeout.No Response***");
        QTest::newRow("bad checksum") << int(SimFault::BadChecksum) << QByteArray("Checksum error in Response Array");
        QTest::newRow("truncated") << int(SimFault::Truncated) << QByteArray("***Timeout.No Response***");
        QTest::newRow("oversize length") << int(SimFault::OversizeLength) << QByteArray("***Invalid Response Length 80***");
        QTest::newRow("garbage first") << int(SimFault::Garbage) << QByteArray("Checksum error in Response Array");
        QTest::newRow("late") << int(SimFault::Late) << QByteArray("***Timeout.No Response***");
    }
    void answerFaults()
    {
        QFETCH(int, fault);
        QFETCH(QByteArray, reason);
        QStringList errors;
        const QByteArrayList lines = readWithFault(SimFault(fault), &errors);
        QVERIFY2(errors.isEmpty(), qPrintable(errors.join('\n')));
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines.at(0).startsWith("TX > "));
        QCOMPARE(lines.at(1), reason);
    }

    // Noise on a healthy line (a module reset, a loose cable): thrown away and logged,
    // the port stays open and the next command works. Idle, and right behind an answer.
    void strayBytesKeepThePortOpen_data()
    {
        QTest::addColumn<bool>("behindAnAnswer");
        QTest::newRow("idle") << false;
        QTest::newRow("right after an answer") << true;
    }
    void strayBytesKeepThePortOpen()
    {
        QFETCH(bool, behindAnAnswer);
        QByteArray selectAnswer = QByteArray::fromHex("FF000683010203040500");
        selectAnswer.back() = char(Frame::checksum(selectAnswer));
        QByteArray noise;
        for (int i = 0; i < 4096; ++i)
            noise.append(char(quint8(i * 151 + 7)));
        ScriptedPeer peer;
        Program program(peer.portPath());
        program.main().open_cClick();
        QVERIFY(program.main().port().isOpen());
        QByteArray result;
        if (behindAnAnswer) {
            peer.answer(selectAnswer + noise);
            program.main().tagCommands().SelectTag(result);
            QCOMPARE(result, QByteArray());
        } else {
            peer.sendNow(noise);
        }
        QTest::qWait(TimeoutMs * 3);
        QVERIFY2(program.errors().isEmpty(), qPrintable(program.errors().join('\n')));
        QVERIFY(program.main().port().isOpen());
        QVERIFY2(program.main().logLines().join('\n').contains("Stray bytes on the line discarded"),
                 program.main().logLines().join('\n').constData());
        peer.answer(selectAnswer);
        result.clear();
        program.main().tagCommands().SelectTag(result);
        QCOMPARE(result, QByteArray());
        QVERIFY(program.main().port().isOpen());
    }

    // A device the user may not open: the error text with system error 13.
    void portWithoutPermission()
    {
        PtySimulator sim;
        QVERIFY(sim.start());
        QVERIFY(::chmod(sim.portPath().toLocal8Bit().constData(), 0) == 0);
        if (geteuid() == 0) {
            // Root may open any device: try it as nobody, in a child process.
            const pid_t child = fork();
            if (child == 0) {
                if (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0)
                    _exit(3);
                ComPort port;
                port.setPortName(sim.portPath());
                try {
                    port.open();
                } catch (const EComPort &error) {
                    _exit(QByteArray(error.what()) == "Unable to open com port (win error code: 13)" ? 0 : 2);
                }
                _exit(1);
            }
            int status = -1;
            QCOMPARE(waitpid(child, &status, 0), child);
            QVERIFY(WIFEXITED(status));
            QCOMPARE(WEXITSTATUS(status), 0);
            return;
        }
        Program program(sim.portPath());
        program.main().open_cClick();
        QCOMPARE(program.errors(), QStringList {QStringLiteral("Unable to open com port (win error code: 13)\n")
                                                + EComPort::explanation(EACCES)});
        QVERIFY(!program.main().port().isOpen());
    }

    // The settings file deleted, then its folder replaced by a plain file (what a
    // read-only folder is to everyone but root): the action that writes a setting shows
    // one message naming the file and stops, the window goes on working, and no
    // half-written file appears.
    void settingsFileGoneOrUnwritable()
    {
        PtySimulator sim;
        QVERIFY(sim.start());
        Program program(sim.portPath());
        const QString path = program.rig.settings.path();
        QVERIFY(program.rig.settingsBytes().contains("Baud"));
        QByteArray result;

        QVERIFY(QFile::remove(path));
        program.main().ui().cmb_baud->setCurrentIndex(2);
        program.main().cmb_baudChange();
        QCOMPARE(program.errors().size(), 1);
        QVERIFY2(program.errors().last().contains(path), qPrintable(program.errors().last()));
        QVERIFY(!QFile::exists(path) || program.rig.settingsBytes().startsWith("**"));
        program.main().ui().cmb_baud->setCurrentIndex(1);
        program.main().cmb_baudChange();
        program.main().tagCommands().SelectTag(result);
        QVERIFY(result != "error");

        const QString folder = QFileInfo(path).absolutePath();
        QVERIFY(QDir(folder).removeRecursively());
        {
            QFile blocker(folder);
            QVERIFY(blocker.open(QIODevice::WriteOnly));
            blocker.write("not a folder");
        }
        const qsizetype errorsBefore = program.errors().size();
        program.main().ui().cmb_baud->setCurrentIndex(2);
        program.main().cmb_baudChange();
        QCOMPARE(program.errors().size(), errorsBefore + 1);
        program.main().ui().cmb_baud->setCurrentIndex(1);
        program.main().cmb_baudChange();
        program.main().tagCommands().SelectTag(result);
        QVERIFY(result != "error");
        QFile blocker(folder);
        QVERIFY(blocker.open(QIODevice::ReadOnly));
        QCOMPARE(blocker.readAll(), QByteArray("not a folder"));
    }
};

QTEST_MAIN(TestPortFaults)
#include "tst_portfaults.moc"
