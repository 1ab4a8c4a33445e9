#include "workflows/CardImageDiff.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

CardImage filled(CardType type, char byte)
{
    CardImage image(type);
    image.setBytes(QByteArray(CardImage::byteCountOf(type), byte));
    return image;
}

} // namespace

// Two card images compared: what differs, counted per block and sector, walked through.
class TestCardCompare : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // One byte in a trailer and one in a data block; unknown against known differs,
    // unknown against unknown does not.
    void trailerAndDataByte()
    {
        CardImage a = filled(CardType::Mifare4K, '\x11');
        CardImage b = a;
        b.setByte(7 * 16 + 7, 0x0F);  // sector 1 trailer, access byte 7
        b.setByte(200 * 16 + 0, 0x12); // block 200, sector 36
        a.setUnknown(200 * 16 + 1);
        a.setUnknown(10);
        b.setUnknown(10);
        const CardImageDiff diff = CardImageDiff::compare(a, b);
        QVERIFY(!diff.identical());
        QCOMPARE(diff.bytes(), (QList<int>{119, 3200, 3201}));
        QCOMPARE(diff.blocks(), (QList<int>{7, 200}));
        QCOMPARE(diff.sectors(), (QList<CardImageDiff::SectorSummary>{{1, {7}, 1}, {36, {200}, 2}}));
        QVERIFY(diff.differs(3201) && !diff.differs(10));

        QCOMPARE(diff.next(-1), 119);
        QCOMPARE(diff.next(119), 3200);
        QCOMPARE(diff.next(3201), -1);
        QCOMPARE(diff.previous(a.size()), 3201);
        QCOMPARE(diff.previous(3200), 119);
        QCOMPARE(diff.previous(119), -1);

        const QString text = diff.summaryText();
        QVERIFY(text.startsWith(u"3 bytes differ in 2 blocks.\nsector 1: block 7 (1 byte)\nsector 36: block 200 (2 bytes)\n"_s));
        QVERIFY(text.contains(u"block 7 (trailer):\n"
                              "  A: 11 11 11 11 11 11 11 11 11 11 11 11 11 11 11 11\n"
                              "  B: 11 11 11 11 11 11 11 0F 11 11 11 11 11 11 11 11\n"
                              "                          ^^\n"_s));
        QVERIFY(text.contains(u"  A: 11 ?? 11"_s));
    }

    void identicalAndOtherTypes()
    {
        const CardImage ul = filled(CardType::MifareUL, '\0');
        QVERIFY(CardImageDiff::compare(ul, ul).identical());
        QCOMPARE(CardImageDiff::compare(ul, ul).summaryText(), u"The card images are identical.\n"_s);

        CardImage page = ul;
        page.setByte(4 * 4 + 3, 1);
        const CardImageDiff pages = CardImageDiff::compare(ul, page);
        QVERIFY(pages.sectors().isEmpty());
        QVERIFY(pages.summaryText().startsWith(u"1 byte differs in 1 page.\npage 4:\n"_s));

        const CardImageDiff types = CardImageDiff::compare(ul, filled(CardType::Mifare1K, '\0'));
        QVERIFY(types.typesDiffer() && !types.identical() && types.bytes().isEmpty());
        QCOMPARE(types.summaryText(), u"The card images are of different card types: Mifare UL and Mifare 1K.\n"_s);
    }
};

QTEST_GUILESS_MAIN(TestCardCompare)
#include "tst_cardcompare.moc"
