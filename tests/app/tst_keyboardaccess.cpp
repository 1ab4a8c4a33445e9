#include "ProgramRig.h"

#include "windows/AccessEditor.h"
#include "windows/KeyByteEdit.h"
#include "windows/BaudRateWindow.h"
#include "windows/KeyStoreWindow.h"
#include "windows/LockBytesEditor.h"
#include "view/CardGridModel.h"
#include "windows/CardGridView.h"
#include "windows/CardGrids.h"

#include <QAccessible>
#include <QAccessibleTableInterface>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QScrollArea>
#include <QSignalSpy>
#include <QTest>
#include <QTextBrowser>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

QString nameOf(QObject *object)
{
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(object);
    return face ? face->text(QAccessible::Name) : QString();
}

// The label a screen reader announces for a control (the label relation).
QString labelOf(QWidget *control)
{
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(control);
    if (!face)
        return {};
    const auto relations = face->relations(QAccessible::Label);
    return relations.isEmpty() ? QString() : relations.first().first->text(QAccessible::Name);
}

QString cellName(CardGridView &view, int column, int row)
{
    QAccessibleInterface *table = QAccessible::queryAccessibleInterface(&view);
    QAccessibleInterface *cell = table && table->tableInterface() ? table->tableInterface()->cellAt(row, column)
                                                                  : nullptr;
    return cell ? cell->text(QAccessible::Name) : QString();
}

} // namespace

// What a keyboard user and a screen reader get: names of fields, boxes and action
// cells, the menu shortcuts, the Help menu and Escape in the editors.
class TestKeyboardAccess : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void accessibleNames()
    {
        ProgramRig rig;
        ProgramWindows &windows = rig.start();
        MainWindow &main = windows.main();
        main.show();
        for (int i = 0; i < 6; ++i)
            QCOMPARE(nameOf(main.ui().keyEdits.at(i)), u"Key byte %1"_s.arg(i + 1));
        QCOMPARE(nameOf(main.ui().SpeedButton1), u"Clear the log"_s);

        const QList<std::pair<QComboBox *, QString>> boxes = {
            {main.ui().cmb_port, u"Com Port"_s},
            {main.ui().cmb_tag_type, u"Tag Type"_s},
            {main.ui().cmb_ebn, u"E2prom Block"_s},
            {main.ui().cmb_blka, u"Mifare Block"_s},
            {main.ui().cmb_blk, u"Mifare Block"_s},
            {windows.keyStore().cmb_ebn, u"E2prom Block"_s},
            {windows.baudRate().cmb_port, u"Com Port"_s},
            {windows.baudRate().cmb_baud, u"Current Baud Rate"_s},
            {windows.baudRate().cmb_newbaud, u"New Baud Rate"_s},
            {windows.accessEditor().findChild<QComboBox *>(u"cmb_sector"_s), u"Sector"_s},
        };
        for (const auto &[box, label] : boxes)
            QCOMPARE(labelOf(box), label);

        CardGrids &grids = main.grids();
        QCOMPARE(cellName(grids.view(CardType::Mifare1K), 21, 10), u"Read block 8"_s);
        QCOMPARE(cellName(grids.view(CardType::Mifare1K), 18, 9), u"Set keys of sector 1"_s);
        QCOMPARE(cellName(grids.view(CardType::Mifare1K), 27, 6), u"Decrement value block 4"_s);
        QCOMPARE(cellName(grids.view(CardType::MifareUL), 9, 7), u"Write page 5"_s);
        // A byte cell is read as its text.
        grids.model(CardType::Mifare1K).setCell(5, 10, "A7");
        QCOMPARE(cellName(grids.view(CardType::Mifare1K), 5, 10), u"A7"_s);
    }

    void menuShortcuts_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QKeySequence>("keys");
        QTest::newRow("open") << u"OpenFile1"_s << QKeySequence(u"Ctrl+O"_s);
        QTest::newRow("save as") << u"SaveAs1"_s << QKeySequence(u"Ctrl+Shift+S"_s);
        QTest::newRow("quit") << u"Quit1"_s << QKeySequence(u"Ctrl+Q"_s);
        QTest::newRow("read all") << u"ReadAllBlocks1"_s << QKeySequence(u"Ctrl+R"_s);
        QTest::newRow("write all") << u"WriteAllBlocks1"_s << QKeySequence(u"Ctrl+Shift+W"_s);
        QTest::newRow("help") << u"HelpPage1"_s << QKeySequence(u"F1"_s);
    }
    void menuShortcuts()
    {
        QFETCH(QString, action);
        QFETCH(QKeySequence, keys);
        ProgramRig rig;
        MainWindow &main = rig.start().main();
        main.show();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        auto *item = main.findChild<QAction *>(action);
        QVERIFY(item);
        // Only observed: the action's own work is not wanted here.
        item->disconnect(SIGNAL(triggered(bool)));
        QSignalSpy triggered(item, &QAction::triggered);
        QTest::keySequence(&main, keys);
        QCOMPARE(triggered.size(), 1);
    }

    void helpMenu()
    {
        ProgramRig rig;
        MainWindow &main = rig.start().main();
        main.resize(1024, 400); // short: the help pane is scrolled away
        main.show();
        main.findChild<QAction *>(u"HelpPage1"_s)->trigger();
        QVERIFY(main.ui().WebBrowser1->toPlainText().contains(u"MERLOX MIFARE"_s));
        QVERIFY(!main.ui().WebBrowser1->visibleRegion().isEmpty());
        // Showing the page by the menu does not change the stored choice of the box;
        // the box stores it.
        QCOMPARE(rig.settings.readFlag("ONLINE", false), false);
        main.ui().cb_online->setChecked(true);
        main.cb_onlineClick();
        QCOMPARE(rig.settings.readFlag("ONLINE", false), true);

        main.findChild<QAction *>(u"About1"_s)->trigger();
        QCOMPARE(rig.dialogs.shown.size(), 1);
        QVERIFY(rig.dialogs.shown.first().text.contains(u"Version 1.0"_s));
        QVERIFY(rig.dialogs.shown.first().text.contains(u"MIT"_s));
    }

    // Escape closes the two editors as Cancel does: nothing is written.
    void escapeClosesTheEditors()
    {
        ProgramRig rig;
        ProgramWindows &windows = rig.start();
        CardGridModel &grid1 = windows.main().grids().model(CardType::Mifare1K);
        CardGridModel &gridUL = windows.main().grids().model(CardType::MifareUL);
        const QByteArray trailer = grid1.cell(8, 5);
        const QByteArray lock = gridUL.cell(3, 4);

        windows.accessEditor().openForTrailer(CardType::Mifare1K, 3);
        QVERIFY(QTest::qWaitForWindowActive(&windows.accessEditor()));
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &windows.accessEditor(),
                        Qt::Key_Escape);
        QVERIFY(!windows.accessEditor().isVisible());
        QCOMPARE(grid1.cell(8, 5), trailer);

        windows.lockEditor().openWith("FF", "FF");
        windows.lockEditor().activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), &windows.lockEditor());
        QTest::keyClick(&windows.lockEditor(), Qt::Key_Escape);
        QVERIFY(!windows.lockEditor().isVisible());
        QCOMPARE(gridUL.cell(3, 4), lock);
    }
};

QTEST_MAIN(TestKeyboardAccess)
#include "tst_keyboardaccess.moc"
