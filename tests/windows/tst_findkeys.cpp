#include "../view/CardRunRig.h"

#include "access/AccessBits.h"
#include "windows/FindKeysWindow.h"

#include <QTableWidget>
#include <QTest>

// Key search through the program's reader against the simulator, on a card whose
// sectors use different keys: sector 0 the factory keys, sector 1 the transport pair,
// sector 2 an unknown key A and a dictionary key B, sector 3 no dictionary key at all.
namespace {

void setTrailer(QByteArray &image, int sector, const QByteArray &keyA, const QByteArray &keyB, const AccessBytes &bits)
{
    const QByteArray trailer = QByteArray::fromHex(keyA) + char(bits.byte6) + char(bits.byte7) + char(bits.byte8)
                               + char(0x69) + QByteArray::fromHex(keyB);
    image.replace((sector * 4 + 3) * 16, 16, trailer);
}

} // namespace

class TestFindKeys : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void tableReadAllAndCancel()
    {
        CardRunRig rig;
        QVERIFY(rig.start(CardType::Mifare1K));
        QByteArray image = rig.sim.cardImage();
        const AccessBytes transport = EncodeAccessBits(0, 0, 0, 1);
        const AccessBytes keyBHidden = EncodeAccessBits(0, 0, 0, 3); // key B not readable
        setTrailer(image, 0, "FFFFFFFFFFFF", "FFFFFFFFFFFF", transport);
        setTrailer(image, 1, "A0A1A2A3A4A5", "B0B1B2B3B4B5", transport);
        setTrailer(image, 2, "123456789ABC", "D3F7D3F7D3F7", keyBHidden);
        setTrailer(image, 3, "0F1E2D3C4B5A", "5A4B3C2D1E0F", transport);
        image.replace(5 * 16, 16, QByteArray(16, '\x1C'));
        image.replace(9 * 16, 16, QByteArray(16, '\x2A'));
        image.replace(13 * 16, 16, QByteArray(16, '\x3B'));
        QVERIFY(rig.sim.setCardImage(image));

        auto *window = rig.main().findChild<FindKeysWindow *>();
        QVERIFY(window);
        window->setSectorRange(0, 3);
        rig.sim.clearTraffic();
        QVERIFY(window->search());
        const auto *table = window->findChild<QTableWidget *>(QStringLiteral("keyTable"));
        QStringList rows;
        for (int row = 0; row < table->rowCount(); ++row)
            rows << table->item(row, 0)->text() + u'|' + table->item(row, 1)->text() + u'|' + table->item(row, 2)->text();
        QCOMPARE(rows, (QStringList{QStringLiteral("0|FFFFFFFFFFFF|FFFFFFFFFFFF"), QStringLiteral("1|A0A1A2A3A4A5|B0B1B2B3B4B5"),
                                    QStringLiteral("2|not found|D3F7D3F7D3F7"), QStringLiteral("3|not found|not found")}));
        // Each attempt is halt, select and authenticate, nothing more.
        QCOMPARE(rig.frames().size(), 3 * window->attempts());

        QCOMPARE(window->fillTrailers(), 5);
        QCOMPARE(rig.grid(CardType::Mifare1K).cell(12, 11 + 2), QByteArray("D3"));

        window->readAllWithFoundKeys();
        CardGridModel &grid = rig.grid(CardType::Mifare1K);
        QCOMPARE(grid.cell(2, 5 + 2), QByteArray("1C"));
        QCOMPARE(grid.cell(2, 9 + 2), QByteArray("2A"));
        QVERIFY(grid.cell(2, 13 + 2) != "3B");

        window->setCancelBeforeAttempt(4);
        QVERIFY(window->search());
        QVERIFY(window->cancelled());
        QCOMPARE(window->attempts(), 3);
    }
};

QTEST_MAIN(TestFindKeys)
#include "tst_findkeys.moc"
