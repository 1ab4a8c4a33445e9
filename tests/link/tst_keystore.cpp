#include "ProgramRig.h"
#include "ScriptedPeer.h"

#include "windows/KeyByteEdit.h"
#include "windows/KeyStoreWindow.h"

#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
#include <QPushButton>
#include <QTest>

// The module key store window: its settings, and the write-key command against a
// scripted far end.
class TestKeyStore : public QObject
{
    Q_OBJECT

    static void pointAt(MainWindow &main, const QString &path)
    {
        main.ui().cmb_port->addItem(path);
        main.ui().cmb_port->setCurrentIndex(main.ui().cmb_port->count() - 1);
        main.ui().cmb_baud->setCurrentIndex(1); // 19200, the module's speed
    }

    static void setKey(KeyStoreWindow &window, const QByteArray &hex)
    {
        for (int i = 0; i < 6; ++i)
            window.keyEdits.at(i)->setText(QString::fromLatin1(hex.mid(2 * i, 2)));
    }

private Q_SLOTS:
    void entriesLoadFromSettingsAndAreStoredOnChange()
    {
        ProgramRig rig;
        rig.writeSettingsBytes("h1\r\nh2\r\nIKeys\r\nA0,A1,zz,0F,FF,12,\r\nIKey_Type\r\n1,\r\n"
                               "IE2prom_Block_No\r\n9,\r\n");
        rig.start();
        KeyStoreWindow &window = rig.windows->keyStore();
        QStringList texts;
        for (KeyByteEdit *edit : window.keyEdits)
            texts << edit->text();
        QCOMPARE(texts.join(QLatin1Char(',')), QStringLiteral("A0,A1,zz,0F,FF,12"));
        QCOMPARE(window.keyType->checkedId(), 1);
        QCOMPARE(window.cmb_ebn->count(), 16);
        QCOMPARE(window.cmb_ebn->itemText(15), QStringLiteral("15"));
        QCOMPARE(window.cmb_ebn->currentIndex(), 9);

        window.keyType->button(0)->click();
        QCOMPARE(rig.settings.readIndex("IKey_Type", 9), 0);
        window.cmb_ebn->setCurrentIndex(4);
        Q_EMIT window.cmb_ebn->activated(4);
        QCOMPARE(rig.settings.readIndex("IE2prom_Block_No", 9), 4);

        // Closing (button or Escape) stores the fields as they are.
        window.keyEdits.at(5)->setText(QStringLiteral("34"));
        rig.main().ui().writeE2promKey->trigger();
        QVERIFY(window.isVisible());
        QTest::keyClick(&window, Qt::Key_Escape);
        QVERIFY(!window.isVisible());
        QCOMPARE(rig.settings.read("IKeys", {}).join(','), QByteArray("A0,A1,zz,0F,FF,34"));
    }

    // A field still being typed in when Enter or a click sends the write is completed first.
    void unfinishedFieldIsCompletedBeforeSending()
    {
        ProgramRig rig;
        rig.start();
        KeyStoreWindow &window = rig.windows->keyStore();
        setKey(window, "010203040506");
        window.keyEdits.at(1)->setText(QStringLiteral("7"));
        window.keyEdits.at(4)->clear();
        QCOMPARE(window.writeKeyRequest().mid(6, 6), QByteArray::fromHex("01070304" "5C06"));
    }

    void answers_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QByteArray>("rxLine");
        QTest::addColumn<QByteArray>("status");
        QTest::newRow("L") << QByteArray::fromHex("FF00028C4CDA")
                           << QByteArray("RX <FF 00 02 8C 4C DA \t\t\t\t\t\tL\t\t\tWRITE KEY OK")
                           << QByteArray(" | Write Key Ok!");
        QTest::newRow("N") << QByteArray::fromHex("FF00028C4EDC")
                           << QByteArray("RX <FF 00 02 8C 4E DC \t\t\t\t\t\tN\t\t\tWRITE KEY FAILED")
                           << QByteArray(" | Write Key is failed!");
        QTest::newRow("7-byte answer") << QByteArray::fromHex("FF00038C4C310C")
                                       << QByteArray("RX <FF 00 03 8C 4C 31 0C \t\t\t\t\t\tL1\t\t\tWRITE KEY FAILED")
                                       << QByteArray(" | Write Key is failed L1");
        QTest::newRow("F: no line") << QByteArray::fromHex("FF00028C46D4") << QByteArray() << QByteArray("before");
        // A time-out no longer leaves the last status on screen.
        QTest::newRow("no answer") << QByteArray() << QByteArray("***Timeout.No Response***")
                                   << QByteArray("***Timeout.No Response*** Check the Com Port, the baud rate and the "
                                                 "module's power.");
    }
    void answers()
    {
        QFETCH(QByteArray, answer);
        QFETCH(QByteArray, rxLine);
        QFETCH(QByteArray, status);
        ScriptedPeer peer;
        peer.answer(answer);
        ProgramRig rig;
        rig.start();
        pointAt(rig.main(), peer.portPath());
        rig.main().link().exchange().setResponseTimeout(300);
        rig.main().link().tagStatusText = "tag";
        rig.main().setStatus("before");
        KeyStoreWindow &window = rig.windows->keyStore();
        setKey(window, "00112233445A");
        window.keyType->button(1)->setChecked(true);
        window.cmb_ebn->setCurrentIndex(15);

        window.Button1->click();
        // Key B into block 15; the zero key byte is left out of the request column.
        QCOMPARE(peer.requests().value(0), QByteArray::fromHex("FF00098C0FBB00112233445A63"));
        const QByteArrayList lines = rig.main().logLines();
        QCOMPARE(lines.value(0), QByteArray("TX > FF 00 09 8C 0F BB 00 11 22 33 44 5A 63 \t\t\t\t"
                                            "\x0F\xBB\x11\x22\x33\x44\x5A\t\t\t(Write Key , E2PROM Block15 )"));
        QCOMPARE(lines.size(), rxLine.isEmpty() ? 1 : 2);
        QCOMPARE(lines.value(1), rxLine);
        QCOMPARE(rig.main().status(), status.startsWith(" | ") ? "tag" + status : status);
        QVERIFY(rig.dialogs.shown.isEmpty());
        // The port was opened through the Open Port action.
        QVERIFY(rig.main().ui().close_c->isVisibleTo(&rig.main()));
    }
};

QTEST_MAIN(TestKeyStore)
#include "tst_keystore.moc"
