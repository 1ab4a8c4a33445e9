#include "TagTestRig.h"

#include "PtySimulator.h"

#include "windows/KeyByteEdit.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QByteArray SelectedStatus = "TAG TYPE:02 | TAG SERIAL # A1B2C3D4"_ba;

void chooseSource(MainWindowUi &ui, int source)
{
    ui.authSource->button(source)->click();
}

void chooseIndex(QComboBox *box, int index)
{
    box->setCurrentIndex(index);
    Q_EMIT box->activated(index);
}

void setKeys(MainWindowUi &ui, const QStringList &texts)
{
    for (int i = 0; i < 6; ++i)
        ui.keyEdits.at(i)->setText(texts.at(i));
}

} // namespace

// The authentication command for each key source, and the key panel around it: key
// field completion and the settings each control writes.
class TestAuthentication : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sources_data()
    {
        QTest::addColumn<int>("source");
        QTest::addColumn<int>("keyType");
        QTest::addColumn<int>("slot");
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QByteArray>("column");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QByteArray>("tagStatus"); // after the select
        const QStringList defaultKeys(6, u"5C"_s);
        QTest::newRow("default key, block 4")
            << 0 << 1 << 15 << QStringList {u"01"_s, u"02"_s, u"03"_s, u"04"_s, u"05"_s, u"06"_s}
            << "FF00038504FF8B"_ba << QByteArray() << true << SelectedStatus;
        QTest::newRow("typed key A") << 1 << 0 << 0 << defaultKeys << "FF00098504AA5C5C5C5C5C5C64"_ba
                                     << "\\\\\\\\\\\\"_ba << true << SelectedStatus;
        QTest::newRow("typed key B") << 1 << 1 << 0 << defaultKeys << "FF00098504BB5C5C5C5C5C5C75"_ba
                                     << "\\\\\\\\\\\\"_ba << true << SelectedStatus;
        // Zero key bytes are left out of the request column.
        QTest::newRow("wrong typed key") << 1 << 0 << 0
                                         << QStringList {u"01"_s, u"00"_s, u"a2"_s, u"03"_s, u"00"_s, u"05"_s}
                                         << "FF00098504AA0100A2030005E7"_ba << "\x01\xA2\x03\x05"_ba
                                         << false << SelectedStatus;
        QTest::newRow("key store slot 3 type A") << 2 << 0 << 3 << defaultKeys << "FF00038504139F"_ba
                                                 << QByteArray() << true << SelectedStatus;
        QTest::newRow("key store holds a wrong key") << 2 << 1 << 14 << defaultKeys << "FF000385042EBA"_ba
                                                     << QByteArray() << false << SelectedStatus;
        // An "N" answer (no tag in the field) fails the authentication.
        QTest::newRow("no tag") << 0 << 0 << 0 << defaultKeys << "FF00038504FF8B"_ba << QByteArray() << false
                                << "NO TAG FOUND"_ba;
    }
    void sources()
    {
        QFETCH(int, source);
        QFETCH(int, keyType);
        QFETCH(int, slot);
        QFETCH(QStringList, keys);
        QFETCH(QByteArray, frame);
        QFETCH(QByteArray, column);
        QFETCH(bool, ok);
        QFETCH(QByteArray, tagStatus);
        PtySimulator sim;
        sim.setTagPresent(tagStatus == SelectedStatus);
        sim.setStoredKey(14, KeyType::B, QByteArray(6, '\x11'));
        QVERIFY(sim.start());
        TagTestRig rig(sim.portPath());
        MainWindowUi &ui = rig.main().ui();
        chooseSource(ui, source);
        ui.keyType->button(keyType)->click();
        chooseIndex(ui.cmb_ebn, slot);
        setKeys(ui, keys);

        QByteArray result;
        rig.tags().SelectTag(result);
        (void)rig.newLines();
        rig.tags().Authenticate(4, result);

        const QByteArray request = QByteArray::fromHex(frame);
        QCOMPARE(sim.receivedFrames().value(1), request);
        QCOMPARE(rig.newLines(),
                 (QByteArrayList {TagTestRig::tx(request, "(Authentication Command)", column),
                                  TagTestRig::rx(sim.sentFrames().value(1),
                                                 ok ? "AUTHENTICATION OK" : "AUTHENTICATION FAILED")}));
        QCOMPARE(result, ok ? QByteArray() : "error"_ba);
        QCOMPARE(rig.main().status(), tagStatus + (ok ? " | Authentication is OK!" : " | Authentication is failed!"));
        QCOMPARE(rig.link().tagStatusText, tagStatus);
    }

    // The button authenticates the block chosen in the Mifare Block list, which also
    // chooses the read block. Key fields are completed before a frame is built, as
    // leaving them would (and stored); pasted text is kept whole but only its first
    // two digits make the byte.
    void buttonCompletesKeysAndUsesChosenBlock()
    {
        PtySimulator sim;
        QVERIFY(sim.start());
        TagTestRig rig(sim.portPath());
        MainWindowUi &ui = rig.main().ui();
        chooseSource(ui, 1);
        chooseIndex(ui.cmb_blka, 37);
        QCOMPARE(ui.cmb_blk->currentIndex(), 37);
        setKeys(ui, {u"5C"_s, u"5C"_s, u"A1B2C3"_s, u"5C"_s, QString(), u"e"_s});
        QTest::mouseClick(ui.btn_authenticate, Qt::LeftButton);
        QCOMPARE(sim.receivedFrames().value(0), QByteArray::fromHex("FF00098525AA5C5CA15C5C0E7C"));
        QCOMPARE(ui.keyEdits.at(5)->text(), u"0E"_s);
        QCOMPARE(ui.keyEdits.at(2)->text(), u"A1B2C3"_s);
        QCOMPARE(rig.program.settings.read("Keys1K", ""), (QByteArrayList {"5C", "5C", "A1B2C3", "5C", "5C", "0E"}));
    }

    // Each control writes its setting the moment it changes, for the chosen card type
    // only.
    void panelSettings()
    {
        TagTestRig rig(u"/dev/null"_s);
        rig.chooseCardType(CardType::Mifare4K);
        MainWindowUi &ui = rig.main().ui();
        chooseSource(ui, 2); // enables the key type and slot controls
        ui.keyType->button(1)->click();
        chooseIndex(ui.cmb_ebn, 9);
        chooseIndex(ui.cmb_blka, 9);
        chooseIndex(ui.cmb_blk, 8);
        ui.cb_getdata->click();
        ui.cb_auto->click();
        const QList<std::pair<QByteArray, QByteArray>> expected = {
            {"Auth_Source", "2"}, {"Key_Type", "1"}, {"E2prom_Block_No", "9"}, {"Auth_Block_No", "9"},
            {"Read_Block_No", "8"}, {"Get_Grid_Data", "FALSE"}, {"Auto", "FALSE"}};
        for (const auto &[key, value] : expected) {
            QCOMPARE(rig.program.settings.readFirst(key + "4K", ""), value);
            QVERIFY(rig.program.settings.readFirst(key + "1K", "") != value);
        }
    }
};

QTEST_MAIN(TestAuthentication)
#include "tst_authentication.moc"
