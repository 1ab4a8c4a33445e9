#include "access/AccessBits.h"
#include "access/AccessTables.h"
#include "access/ClassicTrailerWarnings.h"

#include <QTest>

// The descriptions and the lock warnings are written out separately from the tables;
// these tests hold all three to the same facts.
// Bytes 6 to 8 as raw bytes.
static QByteArray bytesOf(const AccessBytes &bytes)
{
    QByteArray out(3, '\0');
    out[0] = char(bytes.byte6);
    out[1] = char(bytes.byte7);
    out[2] = char(bytes.byte8);
    return out;
}

class TestAccessTables : public QObject
{
    Q_OBJECT

private:
    // Who the first sentence of a description names: "Key A", "Key B", "Key A/B" or "Never".
    static QString rightsNamedBy(const QString &description)
    {
        const QString sentence = description.section(QLatin1Char('.'), 0, 0);
        if (sentence.contains(QLatin1String("(Never)")))
            return QStringLiteral("Never");
        const bool a = sentence.contains(QLatin1String("(Key A)"));
        const bool b = sentence.contains(QLatin1String("(Key B)"));
        return a && b ? QStringLiteral("Key A/B") : a ? QStringLiteral("Key A") : b ? QStringLiteral("Key B") : QString();
    }

private Q_SLOTS:
    void displayOrderFollowsC1C2C3()
    {
        for (int row = 0; row < 8; ++row) {
            const int k = AccessTables::DisplayOrder[row];
            QCOMPARE(AccessTables::displayRowOf(k), row);
            // Rows count C1C2C3 = 000, 010, 100, 110, 001, ...: C3 is the slowest bit.
            const QStringList cells = AccessTables::dataRow(k);
            QCOMPARE(k, 4 * ((row >> 1) & 1) + 2 * (row & 1) + (row >> 2));
            QCOMPARE(cells.at(0).toInt() * 4 + cells.at(1).toInt() * 2 + cells.at(2).toInt(), k);
            QCOMPARE(AccessTables::trailerRow(k).mid(0, 3), cells.mid(0, 3));
        }
    }

    void descriptionsAgreeWithTables_data()
    {
        QTest::addColumn<int>("group");
        QTest::addColumn<int>("k");
        for (int group : {0, 3}) {
            for (int k : AccessTables::DisplayOrder)
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
            QCOMPARE(texts.at(column).contains(QLatin1String("(Never)")), cells.at(column) == QLatin1String("Never"));
            QCOMPARE(rightsNamedBy(texts.at(column)), cells.at(column));
        }
        // Data groups 1 and 2 show the same texts as group 0.
        if (group == 0) {
            QCOMPARE(AccessTables::AccessDescriptionTexts(1, k), texts);
            QCOMPARE(AccessTables::AccessDescriptionTexts(2, k), texts);
        }
    }

    void trailerIndex3Texts()
    {
        QCOMPARE(AccessTables::AccessDescriptionTexts(3, 3),
                 (QStringList{QStringLiteral("Key A can (Never) be read"),
                              QStringLiteral("Key A can be modified/written with only (Key B) password"),
                              QStringLiteral("Access Bits can be read  with (Key A) or (Key B) passwords"),
                              QStringLiteral("Access Bits can be modified/written only with (Key B) password"),
                              QStringLiteral("Key B can (Never) be read"),
                              QStringLiteral("Key B can be modified/written only with (Key B) password")}));
    }

    // A warning stands exactly where a write column of the tables says "Never".
    void warningsFollowTheWriteColumns()
    {
        const QString never = QStringLiteral("Never");
        for (int k = 0; k < 8; ++k) {
            for (int g = 0; g < 3; ++g) {
                int indices[4] = {0, 0, 0, 1};
                indices[g] = k;
                const AccessBytes bytes = EncodeAccessBits(indices[0], indices[1], indices[2], indices[3]);
                const WarningCheck check = ClassicTrailerWarnings(QByteArray(6, '\0') + bytesOf(bytes), 3);
                QCOMPARE(check.warnings.contains(QStringLiteral("Block %1 ").arg(g)), AccessTables::dataRow(k).at(4) == never);
            }
            const AccessBytes bytes = EncodeAccessBits(0, 0, 0, k);
            const WarningCheck check = ClassicTrailerWarnings(QByteArray(6, '\0') + bytesOf(bytes), 3);
            const QStringList row = AccessTables::trailerRow(k);
            QCOMPARE(check.warnings.contains(QLatin1String("Key A again")), row.at(4) == never);
            QCOMPARE(check.warnings.contains(QLatin1String("access conditions")), row.at(6) == never);
            QCOMPARE(check.warnings.contains(QLatin1String("Key B again")), row.at(8) == never);
            QCOMPARE(check.status, check.warnings.isEmpty() ? QStringLiteral("ok") : QStringLiteral("warn"));
        }
    }

    void keyBReadableRowsAreTheShadedOnes()
    {
        for (int k = 0; k < 8; ++k)
            QCOMPARE(AccessTables::keyBReadable(k), k == 0 || k == 2 || k == 1);
    }
};

QTEST_APPLESS_MAIN(TestAccessTables)
#include "tst_accesstables.moc"
