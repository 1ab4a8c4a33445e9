#include "files/CardImage.h"
#include "workflows/KeyDictionary.h"
#include "workflows/KeyFileReader.h"
#include "workflows/KeyFileWriter.h"
#include "workflows/KeySearch.h"
#include "workflows/SectorKeyPlan.h"

#include <QHash>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

ClassicKey key(const char *hex)
{
    return *ClassicKey::fromHex(QByteArrayView(hex));
}

QStringList hexes(const QList<ClassicKey> &keys)
{
    QStringList out;
    for (const ClassicKey &k : keys)
        out << QString::fromLatin1(k.toHex());
    return out;
}

const ClassicKey Factory = key("FFFFFFFFFFFF");
const ClassicKey Transport = key("B0B1B2B3B4B5");
const ClassicKey Secret = key("0123456789AB");

// A card whose sectors use different keys: every key is Factory except sector 1 A
// (Secret: only B found), sector 2 (Secret: nothing found) and sector 3 B (Transport).
struct FakeCard {
    QList<KeyAttempt> attempts;

    AttemptResult attempt(const KeyAttempt &a)
    {
        attempts << a;
        const bool b = a.type == KeyType::B;
        const ClassicKey &right = a.sector == 2 || (a.sector == 1 && !b) ? Secret
                                  : a.sector == 3 && b                  ? Transport
                                                                        : Factory;
        return a.key == right ? AttemptResult::Authenticated : AttemptResult::Refused;
    }
};

} // namespace

// Key files in and out, the shipped dictionary, the search over an attempt function,
// and what it hands to Read All and the grid.
class TestKeySearch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void keyFiles_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QStringList>("problems");
        QTest::newRow("comments, blanks, case, CRLF, BOM, duplicates")
            << "\xEF\xBB\xBF# heading\r\nffffffffffff\r\n\r\n  a0A1a2A3a4A5  # after a key\n#B0B1B2B3B4B5\nFFFFFFFFFFFF"_ba
            << QStringList{u"FFFFFFFFFFFF"_s, u"A0A1A2A3A4A5"_s} << QStringList();
        QTest::newRow("bad lines by number, quoted printably")
            << "FFFFFFFFFFF\nFFFFFFFFFFFF\nFF FF FF FF FF FF\nGGGGGGGGGGGG\n\x01\x7F"_ba << QStringList{u"FFFFFFFFFFFF"_s}
            << QStringList{u"line 1: \"FFFFFFFFFFF\" is not a key of 12 hexadecimal digits"_s,
                           u"line 3: \"FF FF FF FF FF FF\" is not a key of 12 hexadecimal digits"_s,
                           u"line 4: \"GGGGGGGGGGGG\" is not a key of 12 hexadecimal digits"_s,
                           u"line 5: \"??\" is not a key of 12 hexadecimal digits"_s};
    }
    void keyFiles()
    {
        QFETCH(QByteArray, data);
        QFETCH(QStringList, keys);
        QFETCH(QStringList, problems);
        const KeyFileContents contents = KeyFileReader::parse(data);
        QCOMPARE(hexes(contents.keys), keys);
        QCOMPARE(contents.problems, problems);
    }

    // Junk is counted but only a few lines listed, with long lines cut; files that are
    // not regular or too large are refused unread.
    void hostileKeyFiles()
    {
        QByteArray junk;
        for (int i = 0; i < 1000; ++i)
            junk += QByteArray(100, char(i)) + '\n';
        const KeyFileContents contents = KeyFileReader::parse(junk);
        QVERIFY(contents.keys.isEmpty() && contents.badLines > 900);
        QCOMPARE(contents.problems.size(), KeyFileReader::MaxListedProblems);
        QVERIFY(contents.problems.at(0).size() < 100);

        QTemporaryDir dir;
        QString error;
        const QString fifo = dir.filePath(u"fifo"_s);
        QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QVERIFY(!KeyFileReader::readFile(fifo, &error));
        QVERIFY(error.contains(u"not a regular file"_s));
        QFile big(dir.filePath(u"big.keys"_s));
        QVERIFY(big.open(QIODevice::WriteOnly) && big.write(QByteArray(KeyFileReader::MaxFileSize + 1, '#')));
        big.close();
        QVERIFY(!KeyFileReader::readFile(big.fileName(), &error));
        QVERIFY(error.contains(u"larger than"_s));
    }

    void defaultDictionary()
    {
        const KeyDictionary defaults = KeyDictionary::defaults();
        QCOMPARE(defaults.keys().first(), Factory);
        for (const char *published : {"000000000000", "A0A1A2A3A4A5", "B0B1B2B3B4B5", "D3F7D3F7D3F7", "5C5C5C5C5C5C",
                                      "4D3A99C351DD", "1A982C7E459A", "AABBCCDDEEFF", "714C5C886E97", "587EE5F9350F",
                                      "A0478CC39091", "533CB6C723F6", "8FD0A4F256E9"})
            QVERIFY2(defaults.contains(key(published)), published);
    }

    // The table is exact; a (sector, type) stops at its key; every attempt authenticates
    // the sector's first block. The found keys go to a key file, a Read All plan and
    // the trailers.
    void mixedCard()
    {
        FakeCard card;
        const KeySearchRequest request{CardType::Mifare1K, 0, 3, KeyTypeChoice::Both, {Transport, Factory}};
        const KeySearchResult result = KeySearch::run(request, [&](const KeyAttempt &a) { return card.attempt(a); });
        QVERIFY(result.complete());
        QCOMPARE(result.tableText(), u"Sector  Key A         Key B\n"
                                     "     0  FFFFFFFFFFFF  FFFFFFFFFFFF\n"
                                     "     1  not found     FFFFFFFFFFFF\n"
                                     "     2  not found     not found\n"
                                     "     3  FFFFFFFFFFFF  B0B1B2B3B4B5\n"_s);
        QCOMPARE(result.attempts, 15); // 4 + 4 + 4 + 3
        QCOMPARE(card.attempts.size(), 15);
        QCOMPARE(card.attempts.last().block, 12);

        QTemporaryDir dir;
        QString error;
        const QByteArray file = KeyFileWriter::write(result);
        QVERIFY(file.contains("FFFFFFFFFFFF # 0A 0B 1B 3A\nB0B1B2B3B4B5 # 3B\n"));
        QVERIFY(KeyFileWriter::save(dir.filePath(u"found.keys"_s), file, &error));
        const std::optional<KeyFileContents> back = KeyFileReader::readFile(dir.filePath(u"found.keys"_s), &error);
        QVERIFY(back && back->problems.isEmpty());
        QCOMPARE(back->keys, (QList<ClassicKey>{Factory, Transport}));

        const SectorKeyPlan plan = SectorKeyPlan::fromSearch(result);
        QCOMPARE(plan.forSector(0), (SectorAuth{KeyType::A, Factory}));
        QCOMPARE(plan.alternative(0), (SectorAuth{KeyType::B, Factory}));
        QCOMPARE(plan.forBlock(7), (SectorAuth{KeyType::B, Factory}));
        QVERIFY(!plan.forSector(2) && !plan.alternative(1));

        CardImage image(CardType::Mifare1K);
        QCOMPARE(KeySearch::fillTrailerKeys(image, result), 5);
        QCOMPARE(image.block(15).mid(10), Transport.toBytes());
        QVERIFY(!image.isKnown(11 * 16)); // sector 2 keeps its unknown key A
    }

    // Cancel is honoured between attempts; an attempt that stops (no card) ends the
    // search; what was not reached shows as not searched.
    void cancelAndStop()
    {
        FakeCard card;
        const KeySearchRequest request{CardType::Mifare4K, 38, -1, KeyTypeChoice::B, {Transport, Secret, Factory}};
        QList<KeySearchProgress> seen;
        const KeySearchResult cancelled = KeySearch::run(
            request, [&](const KeyAttempt &a) { return card.attempt(a); },
            [&](const KeySearchProgress &p) {
                seen << p;
                return seen.size() < 5;
            });
        QVERIFY(cancelled.cancelled);
        QCOMPARE(card.attempts.size(), 4);
        QCOMPARE(card.attempts.at(0).block, 224);
        const KeySearchProgress &last = seen.last();
        QCOMPARE((QList<int>{last.sector, last.sectorNumber, last.sectorTotal, last.keysTried, last.keysFound}),
                 (QList<int>{39, 2, 2, 4, 1}));
        QCOMPARE(cancelled.sectors.at(1).text(KeyType::B), u"-"_s);
        QCOMPARE(cancelled.sectors.at(0).text(KeyType::A), u"-"_s);

        int calls = 0;
        const KeySearchResult stopped = KeySearch::run(request, [&](const KeyAttempt &) {
            return ++calls == 2 ? AttemptResult::Stop : AttemptResult::Refused;
        });
        QVERIFY(stopped.stopped && stopped.attempts == 1);
    }

    // A whole 4K card; requests that cannot run make no attempt.
    void requests()
    {
        const auto run = [](const KeySearchRequest &request) {
            return KeySearch::run(request, [](const KeyAttempt &) { return AttemptResult::Authenticated; });
        };
        QCOMPARE(run({CardType::Mifare4K, 0, -1, KeyTypeChoice::Both, {Factory}}).attempts, 80);
        for (const KeySearchRequest &bad : {KeySearchRequest{CardType::Mifare1K, 0, 16, KeyTypeChoice::A, {Factory}},
                                            KeySearchRequest{CardType::Mifare1K, 5, 4, KeyTypeChoice::A, {Factory}},
                                            KeySearchRequest{CardType::Mifare1K, 0, -1, KeyTypeChoice::A, {}},
                                            KeySearchRequest{CardType::MifareUL, 0, -1, KeyTypeChoice::A, {Factory}}}) {
            QVERIFY(!KeySearch::problem(bad).isEmpty());
            QVERIFY(run(bad).sectors.isEmpty() && run(bad).attempts == 0);
        }
    }
};

QTEST_GUILESS_MAIN(TestKeySearch)
#include "tst_keysearch.moc"
