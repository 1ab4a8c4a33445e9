#include "FuzzTargets.h"

#include "base/SettingsError.h"
#include "base/SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

QString settingsPath()
{
    static QTemporaryDir dir;
    FUZZ_CHECK(dir.isValid());
    return dir.filePath(QStringLiteral("merlox_mifare_cnf.txt"));
}

} // namespace

// A settings file of any content: every key the program reads is read (missing ones
// appended), then every key it writes is written and read back.
int fuzzSettingsFile(const uint8_t *data, size_t size)
{
    fuzzEnsureApplication();
    const QString path = settingsPath();
    {
        QFile file(path);
        FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        FUZZ_CHECK(file.write(reinterpret_cast<const char *>(data), qint64(size)) == qint64(size));
    }
    const SettingsFile settings(path);
    try {
        settings.createIfMissing();
        (void)settings.readIndex("ComPort", 0);
        (void)settings.readIndex("Baud", 1);
        (void)settings.readFlag("ONLINE", false);
        (void)settings.readFlag("Auto", false);
        const QByteArrayList keys = settings.read("Keys", "FFFFFFFFFFFF,");
        FUZZ_CHECK(keys.size() <= SettingsFile::MaxValues);
        const QByteArrayList iKeys = settings.read("IKeys", "5C,5C,5C,5C,5C,5C,");
        FUZZ_CHECK(iKeys.size() <= SettingsFile::MaxValues);
        for (CardType type : {CardType::Mifare1K, CardType::Mifare4K, CardType::MifareUL})
            (void)settings.readLastFile(type);

        const qsizetype linesBefore = settings.loadLines().size();
        settings.writeIndex("Baud", 3);
        settings.writeIndex("ComPort", 7);
        settings.writeFlag("ONLINE", true);
        settings.write("IKeys", {"A0", "A1", "A2", "A3", "A4", "A5"});
        // What a damaged file means is open (a key may stand where a value belongs); what
        // must hold is that nothing fails and no value list grows past its limit.
        FUZZ_CHECK(settings.read("IKeys", {}).size() <= SettingsFile::MaxValues);
        FUZZ_CHECK(settings.loadLines().size() <= linesBefore + 1);
        settings.writeLastFile(CardType::Mifare4K, QStringLiteral("card.mtp"));
        (void)settings.readLastFile(CardType::Mifare4K);
    } catch (const SettingsError &) {
        fuzzFailure("a readable, writable settings file gave an I/O error", __FILE__, __LINE__);
    }
    return 0;
}
