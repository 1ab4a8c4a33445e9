#include "ProgramRig.h"
#include "ScriptedPeer.h"

#include "PortPublisher.h"

#include "app/MainWindow.h"
#include "view/CardGridModel.h"
#include "windows/CardGrids.h"
#include "windows/PortComboBox.h"
#include "windows/QtUserDialogs.h"
#include "app/ProgramIdentity.h"
#include "link/PortList.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

// The main window's controls, menus, port buttons and boxes.
class TestMainWindow : public QObject
{
    Q_OBJECT

    static QStringList itemsOf(QComboBox *box)
    {
        QStringList items;
        for (int i = 0; i < box->count(); ++i)
            items << box->itemText(i);
        return items;
    }

    // An entry's text as shown, without its mnemonic mark.
    static QString shown(const QAction *action) { return QString(action->text()).remove(QLatin1Char('&')); }

    // A menu's entries joined by "|", separators as "-".
    static QString menuTexts(QMenu *menu)
    {
        QStringList texts;
        const QList<QAction *> actions = menu->actions();
        for (QAction *a : actions)
            texts << (a->isSeparator() ? QStringLiteral("-") : shown(a));
        return texts.join(QLatin1Char('|'));
    }

    static void usePort(MainWindow &main, const QString &path)
    {
        main.ui().cmb_port->addItem(path);
        main.ui().cmb_port->setCurrentIndex(main.ui().cmb_port->count() - 1);
    }

private Q_SLOTS:
    void controlsCaptionsAndMenus()
    {
        ProgramRig rig;
        MainWindow &main = rig.start().main();
        QCOMPARE(main.windowTitle(), QStringLiteral("MERLOX MIFARE V1.0"));
        QCOMPARE(itemsOf(main.ui().cmb_baud),
                 (QStringList {"9600bps", "19200bps", "38400bps", "57600bps", "115200bps"}));
        QCOMPARE(itemsOf(main.ui().cmb_tag_type), (QStringList {"Mifare 1K", "Mifare 4K", "Mifare UL"}));
        QCOMPARE(itemsOf(main.ui().cmb_blk).size(), 64);
        QCOMPARE(itemsOf(main.ui().cmb_ebn).last(), QStringLiteral("15"));
        QVERIFY(main.ui().cb_auto->isChecked());
        QVERIFY(main.ui().cb_getdata->isChecked());
        QVERIFY(!main.ui().cb_ascii->isChecked());
        // The log's clear button.
        main.appendLine("first");
        main.SpeedButton1Click();
        QVERIFY(main.logLines().isEmpty());

        QList<QAction *> top = main.menuBar()->actions();
        QCOMPARE(top.size(), 5);
        QCOMPARE(shown(top.at(0)) + u':' + menuTexts(top.at(0)->menu()),
                 QStringLiteral("File:Open File (Mifare format)|Save As   (Mifare format)|-|Import ( Text file )|"
                                "Export ( Text file )|-|Compare with...|Compare two files...|-|Recent Files|-|Quit"));
        QCOMPARE(shown(top.at(1)) + u':' + menuTexts(top.at(1)->menu()), QStringLiteral("Edit:Undo|Redo"));
        top.removeAt(1);
        QCOMPARE(shown(top.at(1)) + u':' + menuTexts(top.at(1)->menu()),
                 QStringLiteral("Tools:Read All Blocks|Write All Blocks|-|Show Data as Text|-|Find Keys...|"
                                "Write to Many Cards..."));
        QCOMPARE(shown(top.at(3)) + u':' + menuTexts(top.at(3)->menu()),
                 QStringLiteral("Help:MERLOX MIFARE Help|About MERLOX MIFARE"));
        QCOMPARE(shown(top.at(2)) + u':' + menuTexts(top.at(2)->menu()),
                 QStringLiteral("Hardware Commands:Write E2PROM key|-|Switch ON RF Field|Switch OFF RF field|-|Read Port|"
                                "Write Port|-|Reset Module|Read Firmware Version|Sleep|-|Change Baud Rate"));
        QCOMPARE(menuTexts(top.at(2)->menu()->actions().at(6)->menu()),
                 QStringLiteral("(00) Output2 OFF Output1 OFF|(01) Output2 OFF Output 1 ON|(10) Output2 ON Output1 OFF|"
                                "(11) Output 2 ON Output 1 ON"));
        QCOMPARE(menuTexts(main.findChild<QMenu *>(QStringLiteral("PopupMenu1"))), QStringLiteral("ASCII / HEX"));
    }

    // A typed byte is marked and undone by Ctrl+Z; quitting over an unsaved edit asks,
    // Cancel keeps the window open and Discard lets it close.
    void unsavedEditsAreNeverLostSilently()
    {
        ProgramRig rig;
        MainWindow &main = rig.start().main();
        main.show();
        CardGridModel &grid = main.grids().model(CardType::Mifare1K);
        const QByteArray before = grid.cell(2, 3);
        grid.setCell(2, 3, before == "AB" ? "CD" : "AB");
        QTest::qWait(1);
        QCOMPARE(grid.byteMark(2, 3), int(CardGridModel::Changed));

        rig.dialogs.choices.enqueue(UserDialogs::Choice::Cancel);
        QVERIFY(!main.close());
        QCOMPARE(rig.dialogs.shown.last().kind, QStringLiteral("choice"));
        QVERIFY(main.isVisible());

        main.findChild<QAction *>(QStringLiteral("Undo1"))->trigger();
        QCOMPARE(grid.cell(2, 3), before);
        QCOMPARE(grid.byteMark(2, 3), int(CardGridModel::NoMark));
        main.findChild<QAction *>(QStringLiteral("Redo1"))->trigger();
        rig.dialogs.choices.enqueue(UserDialogs::Choice::Discard);
        QVERIFY(main.close());
    }

    void portButtonsSwapInOnePlace()
    {
        ScriptedPeer peer;
        ProgramRig rig;
        MainWindow &main = rig.start().main();
        usePort(main, peer.portPath());
        main.show();
        QVERIFY(main.ui().open_c->isVisible());
        QVERIFY(!main.ui().close_c->isVisible());
        const QRect place = main.ui().open_c->geometry();
        main.open_cClick();
        QVERIFY(main.port().isOpen());
        QCOMPARE(main.link().linkMode, QByteArray("listen"));
        QVERIFY(!main.ui().open_c->isVisible());
        QVERIFY(main.ui().close_c->isVisible());
        QCOMPARE(main.ui().close_c->geometry(), place);

        // A new speed closes the port; "Close Port" stays; the next open uses the speed.
        main.ui().cmb_baud->setCurrentIndex(4);
        main.cmb_baudChange();
        QVERIFY(!main.port().isOpen());
        QVERIFY(main.ui().close_c->isVisible());
        QCOMPARE(main.port().baudIndex(), 4);
        QCOMPARE(rig.settings.readIndex("Baud", 1), 4);

        main.close_cClick();
        QVERIFY(main.ui().open_c->isVisible());
        QVERIFY(!main.ui().close_c->isVisible());
        QVERIFY(rig.dialogs.shown.isEmpty());
    }

    void failedOpenShowsThePortErrorAndKeepsOpenPort()
    {
        ProgramRig rig;
        MainWindow &main = rig.start().main();
        usePort(main, QStringLiteral("/dev/no-such-serial-port"));
        main.show();
        main.open_cClick();
        QCOMPARE(rig.dialogs.shown.size(), 1);
        QCOMPARE(rig.dialogs.shown.first().kind, QStringLiteral("error"));
        // The message, then the system's reason and what to do.
        QCOMPARE(rig.dialogs.shown.first().text.section(u'\n', 0, 0), QStringLiteral("Unable to open com port (win error code: 2)"));
        QVERIFY(rig.dialogs.shown.first().text.section(u'\n', 1).startsWith(QStringLiteral("No such file or directory.")));
        QVERIFY(main.ui().open_c->isVisible());
        QVERIFY(!main.port().isOpen());
        // The link mode has already become "listen".
        QCOMPARE(main.link().linkMode, QByteArray("listen"));
    }

    // Ports published after the start are offered when the box opens, sorted among the
    // others; the choice stays chosen, even once its port has gone.
    void portBoxRefreshesWhenOpened()
    {
        QStringList names {QStringLiteral("COM2"), QStringLiteral("com10"), QStringLiteral("COM1"),
                           QStringLiteral("COM3")};
        PortList::sortNames(names);
        QCOMPARE(names, (QStringList {"COM1", "com10", "COM2", "COM3"}));

        ProgramRig rig;
        MainWindow &main = rig.start().main();
        auto *box = qobject_cast<PortComboBox *>(main.ui().cmb_port);
        QVERIFY(box);
        ScriptedPeer peerA;
        ScriptedPeer peerB;
        PortPublisher a(PortList::simulatorFolder());
        QVERIFY(a.publish(QStringLiteral("tst-refresh-a"), peerA.portPath()));
        QCOMPARE(PortList::devicePath(a.publishedName()), peerA.portPath());
        QCOMPARE(box->findText(a.publishedName()), -1);
        box->showPopup();
        box->hidePopup();
        QVERIFY(box->findText(a.publishedName()) >= 0);
        const QString chosen = a.publishedName();
        box->setCurrentIndex(box->findText(chosen));

        PortPublisher b(PortList::simulatorFolder());
        QVERIFY(b.publish(QStringLiteral("tst-refresh-b"), peerB.portPath()));
        a.unpublish();
        QVERIFY(!PortList::names().contains(chosen));
        box->refresh();
        QVERIFY(box->findText(b.publishedName()) >= 0);
        QCOMPARE(box->currentText(), chosen);
        QCOMPARE(box->findText(chosen), box->currentIndex());
    }

    void classicControlsFollowTheCardType()
    {
        ProgramRig rig;
        MainWindow &main = rig.start().main();
        main.ui().cmb_tag_type->setCurrentIndex(2);
        main.tag_changeClick();
        QVERIFY(!main.ui().btn_authenticate->isEnabled());
        QVERIFY(!main.ui().BitBtn1->isEnabled());
        QVERIFY(!main.ui().cmb_blk->isEnabled());
        QVERIFY(main.ui().cb_auto->isEnabled());
        QCOMPARE(rig.settings.readIndex("Tag_Type", 0), 2);
        // The Ultralight set is appended at its first use, Get_Grid_DataUL first.
        const QByteArrayList lines = rig.settings.loadLines();
        QCOMPARE(lines.mid(lines.size() - 4),
                 (QByteArrayList {"Get_Grid_DataUL", "TRUE,", "AutoUL", "TRUE,"}));

        main.ui().cmb_tag_type->setCurrentIndex(1);
        main.tag_changeClick();
        QVERIFY(main.ui().btn_authenticate->isEnabled());
        QCOMPARE(main.ui().cmb_blka->count(), 256);
    }

    // The icon comes with the program; the display name is left unset, so the desktop
    // shows each title as the window sets it.
    void programIdentity()
    {
        applyProgramIdentity();
        QVERIFY(!QApplication::windowIcon().pixmap(64, 64).isNull());
        QCOMPARE(QGuiApplication::desktopFileName(), QStringLiteral("merlox-mifare"));
        QCOMPARE(QGuiApplication::applicationDisplayName(), QGuiApplication::applicationName());
    }

    // The real Yes/No boxes: Enter takes the default button, Escape answers No.
    void questionBoxesDefaultAndEscape_data()
    {
        QTest::addColumn<bool>("irreversible");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("yes");
        QTest::newRow("ordinary, Enter") << false << int(Qt::Key_Return) << true;
        QTest::newRow("irreversible, Enter") << true << int(Qt::Key_Return) << false;
        QTest::newRow("irreversible, Escape") << true << int(Qt::Key_Escape) << false;
    }
    void questionBoxesDefaultAndEscape()
    {
        QFETCH(bool, irreversible);
        QFETCH(int, key);
        QFETCH(bool, yes);
        QtUserDialogs dialogs;
        QTimer::singleShot(0, [key] {
            if (QWidget *box = QApplication::activeModalWidget())
                QTest::keyClick(box, Qt::Key(key));
        });
        const QString caption = QStringLiteral("WARNING");
        const QString text = QStringLiteral("Do you want to continue?");
        QCOMPARE(irreversible ? dialogs.askBeforeIrreversible(caption, text) : dialogs.askYesNo(caption, text), yes);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
