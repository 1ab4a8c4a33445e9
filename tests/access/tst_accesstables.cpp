#include "access/AccessBits.h"
#include "access/AccessTables.h"
#include "access/ClassicTrailerWarnings.h"

#include <QTest>

// The descriptions and the lock warnings are written out apart from the tables; these
// tests hold all three to the same facts.
class TestAccessTables : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void descriptionsAgreeWithTables_data()
    {
        QTest::addColumn<int>("group");
        QTest::addColumn<int>("k");
        for (int group : {0, 3}) {
            for (int k = 0; k < 8; ++k)
                QTest::addRow("%s k=%d", group == 3 ? "trailer" : "data", k) << group << k;
        }
    }

    void descriptionsAgreeWithTables()
    {
        QFETCH(int, group);
        QFETCH(int, k);
        const QStringList cells = (group == 3 ? AccessTables::trailerRow(k) : AccessTables::dataRow(k)).mid(3);
        const QStringList texts = AccessTables::AccessDescriptionTexts(group, k);
        QCOMPARE(texts.size(), cells.size());
        for (int column = 0; column < cells.size(); ++column) {
            // The first sentence names who may do it: (Never), (Key A), (Key B) or both.
            const QString sentence = texts.at(column).section(QLatin1Char('.'), 0, 0);
            const bool a = sentence.contains(QLatin1String("(Key A)"));
            const bool b = sentence.contains(QLatin1String("(Key B)"));
            const QString named = sentence.contains(QLatin1String("(Never)")) ? QStringLiteral("Never")
                : a && b ? QStringLiteral("Key A/B") : a ? QStringLiteral("Key A") : QStringLiteral("Key B");
            QCOMPARE(named, cells.at(column));
        }
        QCOMPARE(AccessTables::AccessDescriptionTexts(group == 3 ? 3 : 2, k), texts);
    }

    // A warning stands exactly where a write column of the tables says "Never".
    void warningsFollowTheWriteColumns()
    {
        auto warningsFor = [](const AccessBytes &b) {
            const char bytes[] = {0, 0, 0, 0, 0, 0, char(b.byte6), char(b.byte7), char(b.byte8)};
            return ClassicTrailerWarnings(QByteArray(bytes, 9), 3).warnings;
        };
        for (int k = 0; k < 8; ++k) {
            const bool dataNever = AccessTables::dataRow(k).at(4) == QLatin1String("Never");
            QCOMPARE(warningsFor(EncodeAccessBits(k, 0, 0, 1)).contains(QLatin1String("Block 0 ")), dataNever);
            QCOMPARE(warningsFor(EncodeAccessBits(0, 0, k, 1)).contains(QLatin1String("Block 2 ")), dataNever);
            const QStringList row = AccessTables::trailerRow(k);
            const QString w = warningsFor(EncodeAccessBits(0, 0, 0, k));
            QCOMPARE(w.contains(QLatin1String("Key A again")), row.at(4) == QLatin1String("Never"));
            QCOMPARE(w.contains(QLatin1String("access conditions")), row.at(6) == QLatin1String("Never"));
            QCOMPARE(w.contains(QLatin1String("Key B again")), row.at(8) == QLatin1String("Never"));
        }
    }
};

QTEST_APPLESS_MAIN(TestAccessTables)
#include "tst_accesstables.moc"
