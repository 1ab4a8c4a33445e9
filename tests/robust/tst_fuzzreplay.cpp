// Replays every stored fuzz input (the seed corpora and every crash reproducer) through
// the same target functions the libFuzzer programs run. A broken invariant aborts, so
// the test fails loudly on the input that is reported last.
#include "FuzzTargets.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QtTest>

namespace {

using Target = int (*)(const uint8_t *, size_t);

struct NamedTarget {
    const char *name;
    Target function;
};

const NamedTarget Targets[] = {
    {"response_reader", fuzzResponseReader},
    {"template_reader", fuzzTemplateReader},
    {"text_import", fuzzTextImport},
    {"settings_file", fuzzSettingsFile},
    {"tag_report", fuzzTagReport},
    {"value_echo", fuzzValueEcho},
    {"dump_readers", fuzzDumpReaders},
    {"card_runs", fuzzCardRuns},
};

QStringList storedInputs(const QString &folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden);
    while (it.hasNext())
        files << it.next();
    files.sort();
    return files;
}

} // namespace

class TestFuzzReplay : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void replay_data()
    {
        QTest::addColumn<int>("target");
        for (int i = 0; i < int(std::size(Targets)); ++i)
            QTest::newRow(Targets[i].name) << i;
    }

    // Seeds and reproducers of one target; every target has seeds.
    void replay()
    {
        QFETCH(int, target);
        const NamedTarget &t = Targets[target];
        const QString root = QStringLiteral(MERLOX_FUZZ_DIR);
        const QStringList seeds = storedInputs(root + "/corpus/" + t.name);
        QVERIFY2(!seeds.isEmpty(), qPrintable("no seeds for " + QString::fromLatin1(t.name)));
        const QStringList inputs = seeds + storedInputs(root + "/crashes/" + t.name);
        for (const QString &path : inputs) {
            QFile file(path);
            QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
            const QByteArray data = file.readAll();
            qInfo("%s", qPrintable(QDir(root).relativeFilePath(path)));
            QCOMPARE(t.function(reinterpret_cast<const uint8_t *>(data.constData()), size_t(data.size())), 0);
        }
    }

    // The readers take the empty input and the largest libFuzzer gives them.
    void edgeInputs_data() { replay_data(); }
    void edgeInputs()
    {
        QFETCH(int, target);
        const QByteArray big(70000, '\xFF');
        QCOMPARE(Targets[target].function(nullptr, 0), 0);
        QCOMPARE(Targets[target].function(reinterpret_cast<const uint8_t *>(big.constData()), size_t(big.size())), 0);
    }
};

QTEST_MAIN(TestFuzzReplay)
#include "tst_fuzzreplay.moc"
