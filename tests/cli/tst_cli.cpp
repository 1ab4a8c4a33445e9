// merlox-mifare-cli end to end: the program as a process, the module simulator in this
// process on a real pseudo-terminal. Plus the command line itself, parsed in-process.
#include "CliProcess.h"
#include "ClassicCard.h"
#include "PtySimulator.h"
#include "UltralightCard.h"
#include "cli/CardFiles.h"
#include "cli/CliArguments.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int Speed = 115200;

using Run = CliRun;

Run cli(const QStringList &args)
{
    return runCli(args);
}

std::unique_ptr<VirtualCard> cardOf(const QString &kind)
{
    if (kind == QLatin1String("ul"))
        return std::make_unique<UltralightCard>(QByteArray::fromHex("04A1B2C3D4E5F6"));
    return std::make_unique<ClassicCard>(kind == QLatin1String("4k"), QByteArray::fromHex("A1B2C3D4"));
}

// Every byte the card lets a write change given a value of its own, trailers and
// read-only pages left as they are.
QByteArray patterned(QByteArray image, const QString &kind)
{
    const bool classic = kind != QLatin1String("ul");
    const int blockSize = classic ? 16 : 4;
    for (int i = 0; i < image.size(); ++i) {
        const int block = i / blockSize;
        const bool fixed = classic ? block == 0 || CardGeometry::isClassicTrailer(block) : block < 4;
        if (!fixed)
            image[i] = char(i * 7 + 3);
    }
    return image;
}

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<PtySimulator> m_sim;
    QTemporaryDir m_dir;

    QStringList port() const
    {
        return {QStringLiteral("--port"), m_sim->portPath(), QStringLiteral("--baud"), QString::number(Speed)};
    }
    QString path(const QString &name) const { return m_dir.filePath(name); }

private Q_SLOTS:
    void init()
    {
        m_sim = std::make_unique<PtySimulator>();
        QVERIFY(m_sim->setModuleSpeed(Speed));
        m_sim->setCardTimeMs(1);
        QVERIFY(m_sim->start());
    }
    void cleanup() { m_sim.reset(); }

    void parsesKeysAndRefusesBadLines_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("error"); // empty: parsed
        QTest::newRow("key B") << QStringList {"read-block", "-p", "x", "--key", "B:a0a1a2a3a4a5", "4"} << "";
        QTest::newRow("key slot") << QStringList {"read-block", "-p", "x", "--key-slot=B:15", "4"} << "";
        QTest::newRow("short key") << QStringList {"read-block", "-p", "x", "-k", "A:FFFF", "4"}
                                   << "--key A:FFFF: not A: or B: and 12 hexadecimal digits";
        QTest::newRow("slot 16") << QStringList {"read-block", "-p", "x", "--key-slot", "16", "4"}
                                 << "--key-slot 16: not A: or B: and a slot from 0 to 15";
        QTest::newRow("two keys") << QStringList {"read-block", "-p", "x", "--default-key", "-k", "FFFFFFFFFFFF", "4"}
                                  << "give one of --key, --key-slot, --default-key and --key-file";
        QTest::newRow("block of 1K") << QStringList {"read-block", "-p", "x", "64"} << "64: not a block from 0 to 63";
        QTest::newRow("page of UL") << QStringList {"write-block", "-p", "x", "-c", "ul", "4", "00112233"} << "";
        QTest::newRow("page bytes") << QStringList {"write-block", "-p", "x", "-c", "ul", "4", "0011223344"}
                                    << "0011223344: not 4 hexadecimal bytes";
        QTest::newRow("no port") << QStringList {"select"} << "select needs --port";
        QTest::newRow("foreign option") << QStringList {"select", "-p", "x", "--force"} << "select has no option --force";
        QTest::newRow("baud") << QStringList {"select", "-p", "x", "-b", "14400"}
                              << "--baud 14400: not one of 9600, 19200, 38400, 57600, 115200";
        QTest::newRow("PC/SC default key") << QStringList {"read-block", "-p", "PC/SC: R 00 00", "--default-key", "4"}
                                           << "--default-key: a PC/SC reader has no key store or default key of the "
                                              "module; give the key with --key T:KEY or --key-file FILE";
        QTest::newRow("PC/SC key") << QStringList {"read-block", "-p", "PC/SC: R 00 00", "-k", "FFFFFFFFFFFF", "4"} << "";
    }
    void parsesKeysAndRefusesBadLines()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, error);
        QString problem;
        const std::optional<CliOptions> options = CliArguments::parse(args, &problem);
        QCOMPARE(problem, error);
        QCOMPARE(options.has_value(), error.isEmpty());
    }

    void readCardToEachFormat_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("file");
        for (const char *name : {"c.bin", "c.eml", "c.json", "c.mct", "c.nfc", "c.mtp"})
            QTest::newRow(name) << "1k" << name;
        QTest::newRow("4K json") << "4k" << "c4.json";
        QTest::newRow("UL eml") << "ul" << "u.eml";
    }
    void readCardToEachFormat()
    {
        QFETCH(QString, kind);
        QFETCH(QString, file);
        m_sim->setCard(cardOf(kind));
        const QByteArray card = patterned(m_sim->cardImage(), kind);
        QVERIFY(m_sim->setCardImage(card));
        const Run run = cli(QStringList {"read-card", "--card", kind, "--key", "A:5C5C5C5C5C5C", path(file)} + port());
        QVERIFY2(run.status == 0, run.err.constData());
        QVERIFY(run.out.isEmpty());
        QString error;
        const std::optional<CardImage> image = CardFiles::loadImage(path(file), {}, std::nullopt, &error);
        QVERIFY2(image, qPrintable(error));
        // Templates do not hold block 0.
        const int from = file.endsWith(QLatin1String(".mtp")) ? 16 : 0;
        QCOMPARE(image->bytes().mid(from), card.mid(from));
        QCOMPARE(image->unknownCount(), from);
    }

    void findKeysThenReadWithThem()
    {
        QByteArray card = patterned(m_sim->cardImage(), QStringLiteral("1k"));
        card.replace(11 * 16, 6, QByteArray::fromHex("A0A1A2A3A4A5")); // key A of sector 2
        QVERIFY(m_sim->setCardImage(card));
        QFile list(path(QStringLiteral("list.txt")));
        QVERIFY(list.open(QIODevice::WriteOnly));
        list.write("# two keys\nA0A1A2A3A4A5\n5c5c5c5c5c5c\n");
        list.close();
        const Run found = cli(QStringList {"find-keys", "--keys", list.fileName(), "--key-types", "A", "--output",
                                           path(QStringLiteral("found.txt"))} + port());
        QVERIFY2(found.status == 0, found.err.constData());
        QVERIFY2(found.out.contains("A0A1A2A3A4A5"), found.out.constData());
        // The found keys by sector, and the plain list searched first: both read all.
        for (const QString &keys : {path(QStringLiteral("found.txt")), list.fileName()}) {
            const Run run = cli(QStringList {"read-card", "--key-file", keys, path(QStringLiteral("k.mct"))} + port());
            QVERIFY2(run.status == 0, run.err.constData());
            QString error;
            const std::optional<CardImage> image = CardFiles::loadImage(path(QStringLiteral("k.mct")), {}, {}, &error);
            QVERIFY2(image, qPrintable(error));
            QCOMPARE(image->bytes(), card);
        }
    }

    void writeRefusedSendsNothing_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("offset");  // where the file differs from the card
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("force");
        QTest::addColumn<QString>("message");
        // Access bytes whose inverted copies do not match.
        QTest::newRow("invalid trailer, forced") << "1k" << 7 * 16 + 6 << QByteArray::fromHex("000000") << true
                                                 << "Invalid data in sector trailer block! Block will not be programmed";
        // Key A, access bits and key B all frozen.
        QTest::newRow("locking trailer") << "1k" << 7 * 16 + 6 << QByteArray::fromHex("00F0FF") << false
                                         << "You wont be able to change access conditions again";
        QTest::newRow("lock bytes") << "ul" << 2 * 4 + 2 << QByteArray::fromHex("FF") << false << "You wont be able to program Page 4 again";
        QTest::newRow("OTP") << "ul" << 3 * 4 << QByteArray::fromHex("01") << false << "OTP(One Time Programmable)";
    }
    void writeRefusedSendsNothing()
    {
        QFETCH(QString, kind);
        QFETCH(int, offset);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, force);
        QFETCH(QString, message);
        m_sim->setCard(cardOf(kind));
        QByteArray image = m_sim->cardImage();
        image.replace(offset, bytes.size(), bytes);
        QFile file(path(QStringLiteral("w.bin")));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(image) == image.size());
        file.close();
        QStringList args = QStringList {"write-card", file.fileName()} + port();
        if (force)
            args << QStringLiteral("--force");
        const Run run = cli(args);
        QCOMPARE(run.status, 4);
        QVERIFY2(run.err.contains(message.toLatin1()), run.err.constData());
        QVERIFY(m_sim->receivedFrames().isEmpty());
    }

    void writeCardForcedThenReadBack()
    {
        QByteArray image = patterned(m_sim->cardImage(), QStringLiteral("1k"));
        // Sector 1 frozen for good: warnings that --force answers.
        image.replace(7 * 16 + 6, 3, QByteArray::fromHex("00F0FF"));
        QFile file(path(QStringLiteral("w.nfc")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QVERIFY(QFile::remove(file.fileName()));
        CardImage target(CardType::Mifare1K);
        target.setBytes(image);
        QString error;
        QVERIFY2(CardFiles::save(file.fileName(), DumpFormat::Nfc, target, &error), qPrintable(error));
        const Run run = cli(QStringList {"write-card", "--force", "-k", "A:5C5C5C5C5C5C", file.fileName()} + port());
        QVERIFY2(run.status == 0, run.err.constData());
        QVERIFY(run.err.contains("WARNING:"));
        QCOMPARE(m_sim->cardImage().mid(16), image.mid(16)); // block 0 is never written
    }

    void repeatWritesUntilStopped()
    {
        const QByteArray image = patterned(m_sim->cardImage(), QStringLiteral("1k"));
        CardImage target(CardType::Mifare1K);
        target.setBytes(image);
        QString error;
        QVERIFY(CardFiles::save(path("r.bin"), DumpFormat::Raw, target, &error));
        QProcess process;
        process.start(QStringLiteral(MERLOX_CLI_PATH), QStringList {"write-card", "--repeat", path("r.bin")} + port());
        QByteArray out;
        while (!out.contains('\n') && process.waitForReadyRead(10000))
            out += process.readAllStandardOutput();
        QCOMPARE(out, QByteArray("card 1 done: A1B2C3D4\n"));
        process.terminate(); // taken between cards
        QVERIFY(process.waitForFinished(5000));
        QCOMPARE(process.exitCode(), 0);
        QCOMPARE(m_sim->cardImage().mid(16), image.mid(16));
    }

    void exitStatus_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("tag");
        QTest::addColumn<int>("status");
        QTest::newRow("select") << QStringList {"select"} << true << 0;
        QTest::newRow("no tag") << QStringList {"select"} << false << 1;
        QTest::newRow("wrong key") << QStringList {"read-block", "-k", "A:FFFFFFFFFFFF", "4"} << true << 1;
        QTest::newRow("bad option") << QStringList {"select", "--nope"} << true << 2;
        QTest::newRow("missing file") << QStringList {"write-card", "/nonexistent/x.bin"} << true << 3;
        QTest::newRow("format unknown") << QStringList {"read-card", "x.unknown"} << true << 2;
        QTest::newRow("no such port") << QStringList {"select", "--port", "/nonexistent/tty"} << true << 5;
    }
    void exitStatus()
    {
        QFETCH(QStringList, args);
        QFETCH(bool, tag);
        QFETCH(int, status);
        m_sim->setTagPresent(tag);
        // A later --port wins over the simulator's.
        const Run run = cli(port() + args);
        QCOMPARE(run.status, status);
        if (status == 0)
            QCOMPARE(run.out, m_sim->cardUid().toHex().toUpper() + "\n");
    }

    void diffCounts()
    {
        CardImage a(CardType::Mifare1K);
        a.setBytes(QByteArray(1024, '\0'));
        CardImage b = a;
        b.setByte(5 * 16 + 2, 0x42);
        QString error;
        QVERIFY(CardFiles::save(path("a.bin"), DumpFormat::Raw, a, &error));
        QVERIFY(CardFiles::save(path("b.eml"), DumpFormat::Eml, b, &error));
        QCOMPARE(cli({"diff", path("a.bin"), path("a.bin")}).status, 0);
        const Run run = cli({"diff", path("a.bin"), path("b.eml")});
        QCOMPARE(run.status, 1);
        QVERIFY2(run.out.startsWith("1 byte"), run.out.constData());
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
