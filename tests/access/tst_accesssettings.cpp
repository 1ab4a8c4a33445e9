#include "access/AccessSettings.h"

#include <QTest>

// KeyConfig and KeyAB come from a file that can be edited by hand.
class TestAccessSettings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void splitKeyAB_data()
    {
        QTest::addColumn<QByteArrayList>("values");
        QTest::addColumn<QByteArrayList>("texts");
        const QByteArrayList six5C(6, "5C");
        QTest::newRow("default") << QByteArrayList{"5C5C5C5C5C5C", "5C5C5C5C5C5C", "FF"} << six5C + six5C + QByteArrayList{"FF"};
        QTest::newRow("short key A")
            << QByteArrayList{"0102030", "5C5C5C5C5C5C", "FF"}
            << QByteArrayList{"01", "02", "03", "0", "", ""} + six5C + QByteArrayList{"FF"};
        QTest::newRow("long values cut")
            << QByteArrayList{"0102030405060708", "5C5C5C5C5C5C5C", "ABC"}
            << QByteArrayList{"01", "02", "03", "04", "05", "06"} + six5C + QByteArrayList{"AB"};
        QTest::newRow("missing values") << QByteArrayList{"5C5C5C5C5C5C"} << six5C + QByteArrayList(7, QByteArray());
        QTest::newRow("no values") << QByteArrayList() << QByteArrayList(13, QByteArray());
    }

    void splitKeyAB()
    {
        QFETCH(QByteArrayList, values);
        QFETCH(QByteArrayList, texts);
        QCOMPARE(AccessSettings::splitKeyAB(values), texts);
    }

    void keyABRoundTrip()
    {
        const QByteArrayList values = {"112233445566", "AABBCCDDEEFF", "07"};
        QCOMPARE(AccessSettings::keyABValues(AccessSettings::splitKeyAB(values)), values);
    }

    void keyConfigWritesEmptyForNoChoice()
    {
        QCOMPARE(AccessSettings::keyConfigValues({0, -1, 7, 1}), (QByteArrayList{"0", "", "7", "1"}));
        QCOMPARE(AccessSettings::parseKeyConfig(AccessSettings::keyConfigValues({0, -1, 7, 3})), (std::array<int, 4>{0, 0, 7, 3}));
    }
};

QTEST_APPLESS_MAIN(TestAccessSettings)
#include "tst_accesssettings.moc"
