#include "TagTestRig.h"

#include "PtySimulator.h"

#include "app/KeyByteEdit.h"
#include "link/ModuleAnswers.h"
#include "tag/KeyPanel.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QByteArray SelectedStatus = "TAG TYPE:02 | TAG SERIAL # A1B2C3D4"_ba;

void chooseSource(MainWindowUi &ui, int source)
{
    ui.authSource->button(source)->click();
}

void chooseKeyType(MainWindowUi &ui, int type)
{
    ui.keyType->button(type)->click();
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

// The authentication command for each key source, and the key panel around it: its
// enabled states, the key fields' typing rules and the settings each control writes.
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
        QTest::addColumn<QByteArray>("storedKeyB15");
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QByteArray>("column");
        QTest::addColumn<bool>("ok");
        const QStringList defaultKeys(6, u"5C"_s);
        const QByteArray stored(6, '\x5C');
        QTest::newRow("default key, block 4")
            << 0 << 1 << 15 << QStringList {u"01"_s, u"02"_s, u"03"_s, u"04"_s, u"05"_s, u"06"_s} << stored
            << "FF00038504FF8B"_ba << QByteArray() << true;
        QTest::newRow("typed key A") << 1 << 0 << 0 << defaultKeys << stored << "FF00098504AA5C5C5C5C5C5C64"_ba
                                     << "\\\\\\\\\\\\"_ba << true;
        QTest::newRow("typed key B") << 1 << 1 << 0 << defaultKeys << stored << "FF00098504BB5C5C5C5C5C5C75"_ba
                                     << "\\\\\\\\\\\\"_ba << true;
        // Zero key bytes are left out of the request column.
        QTest::newRow("wrong typed key") << 1 << 0 << 0
                                         << QStringList {u"01"_s, u"00"_s, u"a2"_s, u"03"_s, u"00"_s, u"05"_s}
                                         << stored << "FF00098504AA0100A2030005E7"_ba << "\x01\xA2\x03\x05"_ba
                                         << false;
        QTest::newRow("key store slot 15 type B") << 2 << 1 << 15 << defaultKeys << stored << "FF000385042FBB"_ba
                                                  << QByteArray() << true;
        QTest::newRow("key store slot 3 type A") << 2 << 0 << 3 << defaultKeys << stored << "FF00038504139F"_ba
                                                 << QByteArray() << true;
        QTest::newRow("key store holds a wrong key") << 2 << 1 << 15 << defaultKeys << QByteArray(6, '\x11')
                                                     << "FF000385042FBB"_ba << QByteArray() << false;
    }
    void sources()
    {
        QFETCH(int, source);
        QFETCH(int, keyType);
        QFETCH(int, slot);
        QFETCH(QStringList, keys);
        QFETCH(QByteArray, storedKeyB15);
        QFETCH(QByteArray, frame);
        QFETCH(QByteArray, column);
        QFETCH(bool, ok);
        PtySimulator sim;
        sim.setStoredKey(15, KeyType::B, storedKeyB15);
        QVERIFY(sim.start());
        TagTestRig rig(sim.portPath());
        MainWindowUi &ui = rig.main().ui();
        chooseSource(ui, source);
        chooseKeyType(ui, keyType);
        chooseIndex(ui.cmb_ebn, slot);
        setKeys(ui, keys);

        QByteArray result;
        rig.tags().SelectTag(result);
        (void)rig.newLines();
        rig.tags().Authenticate(4, result);

        const QByteArray request = QByteArray::fromHex(frame);
        QCOMPARE(request.back(), char(Frame::checksum(request)));
        QCOMPARE(sim.receivedFrames().value(1), request);
        QCOMPARE(rig.newLines(),
                 (QByteArrayList {TagTestRig::tx(request, "(Authentication Command)", column),
                                  TagTestRig::rx(sim.sentFrames().value(1),
                                                 ok ? "AUTHENTICATION OK" : "AUTHENTICATION FAILED")}));
        QCOMPARE(result, ok ? QByteArray() : "error"_ba);
        QCOMPARE(rig.main().status(),
                 SelectedStatus + (ok ? " | Authentication is OK!" : " | Authentication is failed!"));
        QCOMPARE(rig.link().tagStatusText, SelectedStatus);
    }

    // Only the single status "L" is success: no tag, other statuses and data frames fail.
    void onlyStatusLIsSuccess()
    {
        PtySimulator sim;
        sim.setTagPresent(false);
        QVERIFY(sim.start());
        TagTestRig rig(sim.portPath());
        QByteArray result;
        rig.tags().SelectTag(result);
        QCOMPARE(result, "error"_ba);
        result.clear();
        (void)rig.newLines();

        rig.tags().Authenticate(4, result);
        QCOMPARE(result, "error"_ba);
        const QByteArray answer = sim.sentFrames().value(1);
        QCOMPARE(answer, TagTestRig::answer(0x85, QByteArray(1, ModuleAnswers::NoTag)));
        QCOMPARE(rig.newLines().value(1), TagTestRig::rx(answer, "AUTHENTICATION FAILED"));
        QCOMPARE(rig.main().status(), "NO TAG FOUND | Authentication is failed!"_ba);
    }

    void noSourceSendsNothing()
    {
        PtySimulator sim;
        QVERIFY(sim.start());
        TagTestRig rig(sim.portPath());
        QButtonGroup *group = rig.main().ui().authSource;
        group->setExclusive(false);
        group->checkedButton()->setChecked(false);
        QByteArray result;
        rig.tags().Authenticate(4, result);
        QCOMPARE(result, "error"_ba);
        QVERIFY(rig.newLines().isEmpty());
        QVERIFY(sim.receivedFrames().isEmpty());
    }

    // The button authenticates the block chosen in the Mifare Block list, which also
    // chooses the read block.
    void buttonUsesChosenBlock()
    {
        PtySimulator sim;
        QVERIFY(sim.start());
        TagTestRig rig(sim.portPath());
        MainWindowUi &ui = rig.main().ui();
        chooseSource(ui, 0);
        chooseIndex(ui.cmb_blka, 37);
        QCOMPARE(ui.cmb_blk->currentIndex(), 37);
        QCOMPARE(rig.program.settings.readFirst("Auth_Block_No1K", ""), "37"_ba);
        QCOMPARE(rig.program.settings.readFirst("Read_Block_No1K", ""), "37"_ba);
        QTest::mouseClick(ui.btn_authenticate, Qt::LeftButton);
        QCOMPARE(sim.receivedFrames().value(0), Frame::request(0x85, "\x25\xFF"_ba));
    }

    void updateAuthControls_data()
    {
        QTest::addColumn<int>("source");
        QTest::addColumn<bool>("keys");
        QTest::addColumn<bool>("keyType");
        QTest::addColumn<bool>("slot");
        QTest::newRow("default") << 0 << false << false << false;
        QTest::newRow("provided key") << 1 << true << true << false;
        QTest::newRow("key store") << 2 << false << true << true;
    }
    void updateAuthControls()
    {
        QFETCH(int, source);
        QFETCH(bool, keys);
        QFETCH(bool, keyType);
        QFETCH(bool, slot);
        TagTestRig rig(u"/dev/null"_s);
        MainWindowUi &ui = rig.main().ui();
        chooseSource(ui, source);
        for (KeyByteEdit *edit : std::as_const(ui.keyEdits))
            QCOMPARE(edit->isEnabled(), keys);
        QCOMPARE(ui.rdb_type->isEnabled(), keyType);
        QCOMPARE(ui.cmb_ebn->isEnabled(), slot);
        QCOMPARE(rig.program.settings.readFirst("Auth_Source1K", ""), QByteArray::number(source));
    }

    // Typing into key1 of the main window, then leaving it for key2; the key byte the
    // next frame carries and the stored keys follow.
    void keyFieldTyping_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QList<int>>("keys");    // Qt keys pressed and released
        QTest::addColumn<QString>("whileTyping");
        QTest::addColumn<QString>("afterLeaving");
        QTest::addColumn<int>("keyByte");
        QTest::newRow("a") << QString() << QList<int> {Qt::Key_A} << u"a"_s << u"0A"_s << 0x0A;
        QTest::newRow("g empties") << u"5"_s << QList<int> {Qt::Key_G} << QString() << u"5C"_s << 0x5C;
        QTest::newRow("Delete empties") << u"7E"_s << QList<int> {Qt::Key_Delete} << QString() << u"5C"_s << 0x5C;
        QTest::newRow("third character cut") << QString() << QList<int> {Qt::Key_1, Qt::Key_F, Qt::Key_3}
                                             << u"1F"_s << u"1F"_s << 0x1F;
        QTest::newRow("lower case upper-cased") << QString() << QList<int> {Qt::Key_B, Qt::Key_E} << u"BE"_s
                                                << u"BE"_s << 0xBE;
        QTest::newRow("arrow keeps") << u"3D"_s << QList<int> {Qt::Key_Left} << u"3D"_s << u"3D"_s << 0x3D;
    }
    void keyFieldTyping()
    {
        QFETCH(QString, start);
        QFETCH(QList<int>, keys);
        QFETCH(QString, whileTyping);
        QFETCH(QString, afterLeaving);
        QFETCH(int, keyByte);
        PtySimulator sim;
        QVERIFY(sim.start());
        TagTestRig rig(sim.portPath());
        MainWindowUi &ui = rig.main().ui();
        chooseSource(ui, 1);
        rig.main().show();
        QVERIFY(QTest::qWaitForWindowActive(&rig.main()));
        KeyByteEdit *key1 = ui.keyEdits.at(0);
        key1->setFocus();
        key1->setText(start);
        key1->end(false);

        for (int key : keys)
            QTest::keyClick(key1, Qt::Key(key)); // letters arrive as lower-case text
        QCOMPARE(key1->text(), whileTyping);

        ui.keyEdits.at(1)->setFocus(Qt::TabFocusReason);
        QCOMPARE(key1->text(), afterLeaving);
        QCOMPARE(rig.program.settings.read("Keys1K", ""),
                 (QByteArrayList {afterLeaving.toLatin1(), "5C", "5C", "5C", "5C", "5C"}));

        QByteArray result;
        rig.tags().Authenticate(0, result);
        QCOMPARE(quint8(sim.receivedFrames().value(0).at(6)), quint8(keyByte));
    }

    // Text pasted with the mouse is kept and stored whole; only its first two
    // characters make the key byte.
    void pastedTextKeptButOnlyTwoDigitsUsed()
    {
        PtySimulator sim;
        QVERIFY(sim.start());
        TagTestRig rig(sim.portPath());
        rig.chooseCardType(CardType::Mifare4K);
        MainWindowUi &ui = rig.main().ui();
        chooseSource(ui, 1);
        rig.main().show();
        QVERIFY(QTest::qWaitForWindowActive(&rig.main()));
        ui.keyEdits.at(2)->setFocus();
        ui.keyEdits.at(2)->setText(u"A1B2C3"_s);
        ui.keyEdits.at(3)->setFocus(Qt::TabFocusReason);
        QCOMPARE(ui.keyEdits.at(2)->text(), u"A1B2C3"_s);
        QCOMPARE(rig.program.settings.read("Keys4K", ""),
                 (QByteArrayList {"5C", "5C", "A1B2C3", "5C", "5C", "5C"}));

        QByteArray result;
        rig.tags().Authenticate(1, result);
        QCOMPARE(sim.receivedFrames().value(0), Frame::request(0x85, QByteArray::fromHex("01AA5C5CA15C5C5C")));
    }

    // A menu command building a frame while a field still holds one character: the
    // field is completed (and stored) as leaving it would.
    void unfinishedFieldCompletedBeforeTheFrame()
    {
        PtySimulator sim;
        QVERIFY(sim.start());
        TagTestRig rig(sim.portPath());
        MainWindowUi &ui = rig.main().ui();
        chooseSource(ui, 1);
        ui.keyEdits.at(5)->setText(u"e"_s);
        ui.keyEdits.at(4)->setText(QString());
        QByteArray result;
        rig.tags().Authenticate(2, result);
        QCOMPARE(sim.receivedFrames().value(0), Frame::request(0x85, QByteArray::fromHex("02AA5C5C5C5C5C0E")));
        QCOMPARE(ui.keyEdits.at(5)->text(), u"0E"_s);
        QCOMPARE(ui.keyEdits.at(4)->text(), u"5C"_s);
        QCOMPARE(rig.program.settings.read("Keys1K", ""), (QByteArrayList {"5C", "5C", "5C", "5C", "5C", "0E"}));
    }

    // Each control writes its setting the moment it changes, for the chosen card type.
    void panelSettings_data()
    {
        QTest::addColumn<CardType>("cardType");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("value");
        QTest::newRow("source 1K") << CardType::Mifare1K << u"rdb_auth_2"_s << "Auth_Source1K"_ba << "2"_ba;
        QTest::newRow("source 4K") << CardType::Mifare4K << u"rdb_auth_1"_s << "Auth_Source4K"_ba << "1"_ba;
        QTest::newRow("key type 1K") << CardType::Mifare1K << u"rdb_type_1"_s << "Key_Type1K"_ba << "1"_ba;
        QTest::newRow("key type 4K") << CardType::Mifare4K << u"rdb_type_1"_s << "Key_Type4K"_ba << "1"_ba;
        QTest::newRow("slot 4K") << CardType::Mifare4K << u"cmb_ebn"_s << "E2prom_Block_No4K"_ba << "9"_ba;
        QTest::newRow("auth block 4K") << CardType::Mifare4K << u"cmb_blka"_s << "Read_Block_No4K"_ba << "9"_ba;
        QTest::newRow("Auto 1K") << CardType::Mifare1K << u"cb_auto"_s << "Auto1K"_ba << "FALSE"_ba;
        QTest::newRow("Auto 4K") << CardType::Mifare4K << u"cb_auto"_s << "Auto4K"_ba << "FALSE"_ba;
        QTest::newRow("Auto UL") << CardType::MifareUL << u"cb_auto"_s << "AutoUL"_ba << "FALSE"_ba;
    }
    void panelSettings()
    {
        QFETCH(CardType, cardType);
        QFETCH(QString, control);
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, value);
        TagTestRig rig(u"/dev/null"_s);
        rig.chooseCardType(cardType);
        chooseSource(rig.main().ui(), 2); // enables the key type and slot controls
        QWidget *widget = rig.main().findChild<QWidget *>(control);
        QVERIFY(widget);
        if (auto *box = qobject_cast<QComboBox *>(widget))
            chooseIndex(box, 9);
        else
            qobject_cast<QAbstractButton *>(widget)->click();
        QCOMPARE(rig.program.settings.readFirst(key, ""), value);
        // The other card type's set is left alone.
        if (cardType != CardType::MifareUL) {
            const QByteArray other = key.chopped(2) + (cardType == CardType::Mifare1K ? "4K" : "1K");
            QVERIFY(rig.program.settings.readFirst(other, "") != value);
        }
    }
};

QTEST_MAIN(TestAuthentication)
#include "tst_authentication.moc"
