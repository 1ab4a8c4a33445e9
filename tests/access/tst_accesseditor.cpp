#include "access/AccessBits.h"
#include "access/AccessEditor.h"
#include "app/KeyByteEdit.h"
#include "app/SettingsFile.h"
#include "link/Hex.h"
#include "view/CardGridModel.h"

#include "ScriptedDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <set>

// Error boxes that take the focus from the editor, as a real modal box does.
class FocusTakingDialogs : public ScriptedDialogs
{
public:
    QWidget *owner = nullptr;
    void showError(const QString &text) override
    {
        ScriptedDialogs::showError(text);
        QEvent deactivate(QEvent::WindowDeactivate);
        QCoreApplication::sendEvent(owner, &deactivate);
    }
};

// The access conditions editor driven as a user does it: opened from a trailer row,
// rows chosen with the radio buttons, bytes typed, "OK" pressed.
class TestAccessEditor : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<SettingsFile> m_settings;
    FocusTakingDialogs m_dialogs;
    std::unique_ptr<CardGridModel> m_grid1;
    std::unique_ptr<CardGridModel> m_grid4;
    CardType m_type = CardType::Mifare1K;
    std::unique_ptr<AccessEditor> m_editor;
    std::unique_ptr<QWidget> m_mainWindow;

    template<typename T> T *child(const QString &name) const
    {
        T *widget = m_editor->findChild<T *>(name);
        Q_ASSERT_X(widget, "child", qPrintable(name));
        return widget;
    }

    void open(CardType type, int block)
    {
        m_type = type;
        m_editor->openForTrailer(type, block);
        QVERIFY(QTest::qWaitForWindowActive(m_editor.get()));
    }

    // A click into the main window and back into the editor.
    void reactivate()
    {
        m_mainWindow->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_mainWindow.get()));
        m_editor->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_editor.get()));
    }

    void clickOk() { QTest::mouseClick(child<QPushButton>(QStringLiteral("btn_ok")), Qt::LeftButton); }

    QByteArray setting(const QByteArray &key) const
    {
        const QByteArrayList lines = m_settings->loadLines();
        const int index = int(lines.indexOf(key));
        return index >= 0 && index + 1 < lines.size() ? lines.at(index + 1) : QByteArray("<missing>");
    }

    // The 16 byte cells of a block's row, joined with blanks.
    static QByteArray rowText(const CardGridModel &grid, int block)
    {
        QByteArrayList cells;
        for (int j = 0; j < 16; ++j)
            cells << grid.cell(2 + j, block + 2);
        return cells.join(' ');
    }

    static QList<int> filledBlocks(const CardGridModel &grid)
    {
        QList<int> blocks;
        for (int block = 0; block < grid.rows() - 2; ++block) {
            for (int j = 0; j < 16; ++j) {
                if (!grid.cell(2 + j, block + 2).isEmpty()) {
                    blocks << block;
                    break;
                }
            }
        }
        return blocks;
    }

    QStringList checkedRadios() const
    {
        QStringList names;
        for (QRadioButton *radio : m_editor->findChildren<QRadioButton *>()) {
            if (radio->isChecked())
                names << radio->objectName();
        }
        names.sort();
        return names;
    }

    static QByteArray accessText(int k0, int k1, int k2, int k3)
    {
        const AccessBytes b = EncodeAccessBits(k0, k1, k2, k3);
        return Hex::pair(b.byte6) + ' ' + Hex::pair(b.byte7) + ' ' + Hex::pair(b.byte8);
    }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_settings = std::make_unique<SettingsFile>(m_dir->filePath(QStringLiteral("cnf.txt")));
        m_settings->createIfMissing();
        m_dialogs.shown.clear();
        m_grid1 = std::make_unique<CardGridModel>(CardType::Mifare1K);
        m_grid4 = std::make_unique<CardGridModel>(CardType::Mifare4K);
        m_editor = std::make_unique<AccessEditor>(*m_settings, m_dialogs, m_grid1.get(), m_grid4.get(),
                                                  [this] { return m_type; });
        m_dialogs.owner = m_editor.get();
        m_mainWindow = std::make_unique<QWidget>();
        m_mainWindow->resize(200, 100);
        m_mainWindow->show();
    }

    void cleanup()
    {
        m_editor.reset();
        m_mainWindow.reset();
    }

    void firstUseGivesTransportTrailer()
    {
        open(CardType::Mifare1K, 3);
        QCOMPARE(m_editor->windowTitle(), QStringLiteral("Access Conditions for sector blocks"));
        QCOMPARE(checkedRadios(), (QStringList{QStringLiteral("r0_0"), QStringLiteral("r1_0"), QStringLiteral("r2_0"), QStringLiteral("r3_1")}));
        QCOMPARE(setting("KeyConfig"), QByteArray("0,0,0,1,"));
        QCOMPARE(setting("KeyAB"), QByteArray("5C5C5C5C5C5C,5C5C5C5C5C5C,FF,"));

        clickOk();
        QCOMPARE(rowText(*m_grid1, 3), QByteArray("5C 5C 5C 5C 5C 5C FF 07 80 FF 5C 5C 5C 5C 5C 5C"));
        QCOMPARE(filledBlocks(*m_grid1), QList<int>{3});
        QVERIFY(filledBlocks(*m_grid4).isEmpty());
        QVERIFY(!m_editor->isVisible());
        QVERIFY(m_dialogs.shown.isEmpty());
    }

    void openingSetsCaptionsAndSector_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("block");
        QTest::addColumn<int>("sector");
        QTest::addColumn<int>("sectors");
        QTest::addColumn<QStringList>("blocks");

        const QStringList small = {QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")};
        const QStringList large = {QStringLiteral("0-1-2-3-4"), QStringLiteral("5-6-7-8-9"),
                                   QStringLiteral("10-11-12-13-14"), QStringLiteral("15")};
        QTest::newRow("1K block 3") << 0 << 3 << 0 << 16 << small;
        QTest::newRow("1K block 63") << 0 << 63 << 15 << 16 << small;
        QTest::newRow("4K block 127") << 1 << 127 << 31 << 40 << small;
        QTest::newRow("4K block 143") << 1 << 143 << 32 << 40 << large;
        QTest::newRow("4K block 255") << 1 << 255 << 39 << 40 << large;
    }

    void openingSetsCaptionsAndSector()
    {
        QFETCH(int, type);
        QFETCH(int, block);
        QFETCH(int, sector);
        QFETCH(int, sectors);
        QFETCH(QStringList, blocks);

        // Open once with the other size first: the captions and the list must follow.
        open(type == 0 ? CardType::Mifare4K : CardType::Mifare1K, type == 0 ? 255 : 7);
        open(CardType(type), block);
        auto *tabs = child<QTabWidget>(QStringLiteral("PageControl1"));
        for (int group = 0; group < 4; ++group) {
            const QString kind = group == 3 ? QStringLiteral("(Sector Trailer)") : QStringLiteral("(Data Block)");
            QCOMPARE(tabs->tabText(group), QStringLiteral("Block %1 %2").arg(blocks.at(group), kind));
            QCOMPARE(child<QLabel>(QStringLiteral("lbl_title%1").arg(group))->text(),
                     QStringLiteral("Description for Block %1 of the selected Sector").arg(blocks.at(group)));
        }
        auto *sectorBox = child<QComboBox>(QStringLiteral("cmb_sector"));
        QCOMPARE(sectorBox->count(), sectors);
        QCOMPARE(sectorBox->itemText(sectors - 1), QString::number(sectors - 1));
        QCOMPARE(sectorBox->currentText(), QString::number(sector));
        QVERIFY(m_editor->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    }

    void sameForAllSectors_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QList<int>>("trailers");
        QList<int> small;
        for (int s = 0; s < 16; ++s)
            small << 4 * s + 3;
        QList<int> all4k;
        for (int s = 0; s < 32; ++s)
            all4k << 4 * s + 3;
        for (int block = 143; block <= 255; block += 16)
            all4k << block;
        QTest::newRow("1K") << 0 << small;
        QTest::newRow("4K") << 1 << all4k;
    }

    void sameForAllSectors()
    {
        QFETCH(int, type);
        QFETCH(QList<int>, trailers);
        open(CardType(type), 143 % (type == 0 ? 64 : 256));
        QTest::mouseClick(child<QCheckBox>(QStringLiteral("cb_same")), Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(child<QCheckBox>(QStringLiteral("cb_same"))->isChecked());
        clickOk();
        const CardGridModel &grid = type == 0 ? *m_grid1 : *m_grid4;
        QCOMPARE(filledBlocks(grid), trailers);
        for (int block : trailers)
            QCOMPARE(rowText(grid, block), QByteArray("5C 5C 5C 5C 5C 5C FF 07 80 FF 5C 5C 5C 5C 5C 5C"));
        QVERIFY(filledBlocks(type == 0 ? *m_grid4 : *m_grid1).isEmpty());
    }

    void chosenSectorOnly()
    {
        open(CardType::Mifare4K, 23);
        QCOMPARE(child<QComboBox>(QStringLiteral("cmb_sector"))->currentIndex(), 5);
        child<QComboBox>(QStringLiteral("cmb_sector"))->setCurrentIndex(33);
        clickOk();
        QCOMPARE(filledBlocks(*m_grid4), QList<int>{159});
    }

    // The main window switched to Mifare 1K while a 4K sector list is shown: a sector
    // the 1K card lacks is not written anywhere.
    void sectorMissingOnCurrentCardWritesNothing()
    {
        open(CardType::Mifare4K, 255);
        m_type = CardType::Mifare1K;
        clickOk();
        QVERIFY(filledBlocks(*m_grid1).isEmpty());
        QVERIFY(filledBlocks(*m_grid4).isEmpty());
    }

    void mifareULWritesNoRow()
    {
        open(CardType::Mifare1K, 3);
        m_type = CardType::MifareUL;
        clickOk();
        QVERIFY(filledBlocks(*m_grid1).isEmpty());
        QVERIFY(!m_editor->isVisible());
    }

    void radioChoicesAreStoredDescribedAndEncoded()
    {
        open(CardType::Mifare1K, 7);
        child<QTabWidget>(QStringLiteral("PageControl1"))->setCurrentIndex(3);
        child<QRadioButton>(QStringLiteral("r3_3"))->click();
        QCOMPARE(setting("KeyConfig"), QByteArray("0,0,0,3,"));
        const QStringList expected = {QStringLiteral("Key A can (Never) be read"),
                                      QStringLiteral("Key A can be modified/written with only (Key B) password"),
                                      QStringLiteral("Access Bits can be read  with (Key A) or (Key B) passwords"),
                                      QStringLiteral("Access Bits can be modified/written only with (Key B) password"),
                                      QStringLiteral("Key B can (Never) be read"),
                                      QStringLiteral("Key B can be modified/written only with (Key B) password")};
        for (int i = 0; i < 6; ++i)
            QCOMPARE(child<QLabel>(QStringLiteral("lbl_desc3_%1").arg(i))->text(), expected.at(i));

        child<QTabWidget>(QStringLiteral("PageControl1"))->setCurrentIndex(1);
        child<QRadioButton>(QStringLiteral("r1_5"))->click();
        QCOMPARE(setting("KeyConfig"), QByteArray("0,5,0,3,"));
        QCOMPARE(child<QLabel>(QStringLiteral("lbl_desc1_0"))->text(), QStringLiteral("Block data can be read with (Key B)* password"));
        QCOMPARE(child<QLabel>(QStringLiteral("lbl_desc1_1"))->text(), QStringLiteral("!!! Block data can (Never) be modified/written !!!"));
        QCOMPARE(child<QLabel>(QStringLiteral("lbl_desc0_1"))->text(), QStringLiteral("Block data can be modified/written with (Key A) or (Key B)* passwords"));

        clickOk();
        QCOMPARE(rowText(*m_grid1, 7).mid(18, 8), accessText(0, 5, 0, 3));
    }

    // Top to bottom the buttons follow the table rows: k = 0, 2, 4, 6, 1, 3, 5, 7, each
    // beside its own row.
    void radioButtonsSitBesideTheirRows()
    {
        open(CardType::Mifare1K, 3);
        const int order[8] = {0, 2, 4, 6, 1, 3, 5, 7};
        for (int group = 0; group < 4; ++group) {
            child<QTabWidget>(QStringLiteral("PageControl1"))->setCurrentIndex(group);
            auto *table = child<QTableWidget>(QStringLiteral("table%1").arg(group));
            const int headerRows = group == 3 ? 2 : 1;
            for (int row = 0; row < 8; ++row) {
                auto *radio = child<QRadioButton>(QStringLiteral("r%1_%2").arg(group).arg(order[row]));
                const QRect cell = table->visualItemRect(table->item(headerRows + row, 0));
                const int cellMiddle = table->viewport()->mapTo(m_editor.get(), cell.center()).y();
                const int radioMiddle = radio->mapTo(m_editor.get(), radio->rect().center()).y();
                QVERIFY2(qAbs(cellMiddle - radioMiddle) <= 3, qPrintable(radio->objectName()));
                const QStringList c = {table->item(headerRows + row, 0)->text(), table->item(headerRows + row, 1)->text(),
                                       table->item(headerRows + row, 2)->text()};
                QCOMPARE(c.join(QString()).toInt(nullptr, 2), order[row]);
            }
        }
    }

    void tablesShowCaptionsWidthsAndShading()
    {
        auto *data = child<QTableWidget>(QStringLiteral("table2"));
        QCOMPARE(data->rowCount(), 9);
        QCOMPARE(data->columnCount(), 7);
        const QStringList captions = {QStringLiteral("C1"), QStringLiteral("C2"), QStringLiteral("C3"), QStringLiteral("  Read"),
                                      QStringLiteral("  Write"), QStringLiteral("Increment"), QStringLiteral("Decrement / Transfer / Restore")};
        const QList<int> widths = {22, 22, 22, 45, 45, 60, 192};
        for (int c = 0; c < 7; ++c) {
            QCOMPARE(data->item(0, c)->text(), captions.at(c));
            QCOMPARE(data->columnWidth(c), widths.at(c));
        }
        // Row k=6 (C1C2C3 = 110) is the fourth.
        QStringList row4;
        for (int c = 0; c < 7; ++c)
            row4 << data->item(4, c)->text();
        QCOMPARE(row4, (QStringList{QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("Key A/B"),
                                    QStringLiteral("Key B"), QStringLiteral("Key B"), QStringLiteral("Key A/B")}));

        auto *trailer = child<QTableWidget>(QStringLiteral("table3"));
        QCOMPARE(trailer->rowCount(), 10);
        QCOMPARE(trailer->columnCount(), 9);
        QCOMPARE(trailer->item(0, 3)->text(), QStringLiteral("  Key A"));
        QCOMPARE(trailer->columnSpan(0, 3), 2);
        QCOMPARE(trailer->item(0, 5)->text(), QStringLiteral("   Access Bits"));
        QCOMPARE(trailer->item(0, 7)->text(), QStringLiteral("  Key B"));
        QCOMPARE(trailer->item(1, 5)->text(), QStringLiteral("     Read"));
        const QList<int> trailerWidths = {22, 22, 22, 45, 45, 80, 80, 45, 45};
        for (int c = 0; c < 9; ++c)
            QCOMPARE(trailer->columnWidth(c), trailerWidths.at(c));
        // Key B readable (k = 0, 2, 1: display rows 1, 2, 5) shows silver.
        for (int row = 0; row < 8; ++row) {
            const bool silver = row == 0 || row == 1 || row == 4;
            QCOMPARE(trailer->item(2 + row, 5)->background().color() == QColor(192, 192, 192), silver);
        }
    }

    void byteEditsFollowTheHexRules()
    {
        open(CardType::Mifare1K, 3);
        child<QTabWidget>(QStringLiteral("PageControl1"))->setCurrentIndex(3);
        auto *key1 = child<KeyByteEdit>(QStringLiteral("key1"));
        QCOMPARE(key1->maxLength(), 2);
        key1->setFocus();
        key1->clear();
        QTest::keyClick(key1, Qt::Key_G);
        QCOMPARE(key1->text(), QString());
        QTest::keyClick(key1, Qt::Key_A, Qt::NoModifier);
        QCOMPARE(key1->text(), QStringLiteral("a"));
        QTest::keyClick(key1, Qt::Key_Tab);
        QCOMPARE(key1->text(), QStringLiteral("0A"));
        QCOMPARE(setting("KeyAB"), QByteArray("0A5C5C5C5C5C,5C5C5C5C5C5C,FF,"));

        auto *udata = child<KeyByteEdit>(QStringLiteral("udata"));
        udata->setFocus();
        udata->clear();
        QTest::keyClicks(udata, QStringLiteral("7"));
        clickOk(); // pressing the button leaves the edit first
        QCOMPARE(rowText(*m_grid1, 3), QByteArray("0A 5C 5C 5C 5C 5C FF 07 80 07 5C 5C 5C 5C 5C 5C"));
        QCOMPARE(setting("KeyAB"), QByteArray("0A5C5C5C5C5C,5C5C5C5C5C5C,07,"));
    }

    // KeyAB edited by hand: short values leave edits empty or short; "OK" refuses them
    // with the hexadecimal message and leaves the grid and the window alone.
    void shortKeyABIsRefusedAtOk()
    {
        QVERIFY(m_settings->append("KeyAB", "5C5C5,5C5C5C5C5C5C,,") > 0);
        open(CardType::Mifare1K, 3);
        QCOMPARE(child<KeyByteEdit>(QStringLiteral("key3"))->text(), QStringLiteral("5"));
        QCOMPARE(child<KeyByteEdit>(QStringLiteral("key4"))->text(), QString());
        QCOMPARE(child<KeyByteEdit>(QStringLiteral("udata"))->text(), QString());
        clickOk();
        QCOMPARE(m_dialogs.texts(), QStringList{QStringLiteral("Keys should be entered with hexadecimal numbers!")});
        QVERIFY(filledBlocks(*m_grid1).isEmpty());
        QVERIFY(m_editor->isVisible());
    }

    void reactivationResetsFromSettings()
    {
        open(CardType::Mifare1K, 3);
        QTest::mouseClick(child<QCheckBox>(QStringLiteral("cb_same")), Qt::LeftButton, {}, QPoint(5, 5));
        m_mainWindow->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_mainWindow.get()));
        // The file changes behind the editor's back (by hand, or another copy).
        m_settings->write("KeyAB", {"112233445566", "AABBCCDDEEFF", "01"});
        m_settings->write("KeyConfig", {"4", "6", "2", "3"});
        m_editor->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_editor.get()));

        QVERIFY(!child<QCheckBox>(QStringLiteral("cb_same"))->isChecked());
        QCOMPARE(checkedRadios(), (QStringList{QStringLiteral("r0_4"), QStringLiteral("r1_6"), QStringLiteral("r2_2"), QStringLiteral("r3_3")}));
        clickOk();
        QCOMPARE(rowText(*m_grid1, 3), "11 22 33 44 55 66 " + accessText(4, 6, 2, 3) + " 01 AA BB CC DD EE FF");
    }

    // A damaged KeyConfig value picks the transport row of its own group (data groups
    // index 0, trailer index 1), never a button of another group, and the editor works on.
    void damagedKeyConfigFallsBackPerGroup_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QStringList>("radios");
        auto radios = [](int a, int b, int c, int d) {
            return QStringList{QStringLiteral("r0_%1").arg(a), QStringLiteral("r1_%1").arg(b),
                               QStringLiteral("r2_%1").arg(c), QStringLiteral("r3_%1").arg(d)};
        };
        QTest::newRow("out of range") << QByteArray("9,8,12,-1,") << radios(0, 0, 0, 1);
        QTest::newRow("not numbers") << QByteArray("x,3,,1a,") << radios(0, 3, 0, 1);
        QTest::newRow("too short") << QByteArray("5,6,") << radios(5, 6, 0, 1);
        QTest::newRow("no comma") << QByteArray("7777") << radios(0, 0, 0, 1);
        QTest::newRow("empty") << QByteArray() << radios(0, 0, 0, 1);
        QTest::newRow("too long") << QByteArray("7,6,5,4,3,2,1,0,") << radios(7, 6, 5, 4);
        QTest::newRow("group 1 value 15") << QByteArray("0,15,0,1,") << radios(0, 0, 0, 1);
    }

    void damagedKeyConfigFallsBackPerGroup()
    {
        QFETCH(QByteArray, line);
        QFETCH(QStringList, radios);
        // Start from other rows so a fallback that kept the old row would show.
        QVERIFY(m_settings->append("KeyConfig", "3,3,3,3,") > 0);
        open(CardType::Mifare1K, 3);
        QCOMPARE(checkedRadios(), (QStringList{QStringLiteral("r0_3"), QStringLiteral("r1_3"), QStringLiteral("r2_3"), QStringLiteral("r3_3")}));

        m_mainWindow->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_mainWindow.get()));
        QByteArrayList lines = m_settings->loadLines();
        lines[lines.indexOf("KeyConfig") + 1] = line;
        m_settings->saveLines(lines);
        m_editor->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_editor.get()));

        QCOMPARE(checkedRadios(), radios);
        clickOk();
        auto k = [&radios](int g) { return radios.at(g).right(1).toInt(); };
        QCOMPARE(rowText(*m_grid1, 3).mid(18, 8), accessText(k(0), k(1), k(2), k(3)));
    }

    void cancelLeavesTheGrids()
    {
        open(CardType::Mifare1K, 3);
        child<QRadioButton>(QStringLiteral("r2_7"))->click();
        QTest::mouseClick(child<QPushButton>(QStringLiteral("btn_cancel")), Qt::LeftButton);
        QVERIFY(!m_editor->isVisible());
        QVERIFY(filledBlocks(*m_grid1).isEmpty());
        QCOMPARE(setting("KeyConfig"), QByteArray("0,0,7,1,"));
    }

    // An unreadable settings file is reported once per visit: closing the error box
    // gives the focus back without starting another activation (and another box).
    void settingsErrorIsReportedOncePerVisit()
    {
        m_settings = std::make_unique<SettingsFile>(m_dir->filePath(QStringLiteral("missing/cnf.txt")));
        m_editor = std::make_unique<AccessEditor>(*m_settings, m_dialogs, m_grid1.get(), m_grid4.get(),
                                                  [this] { return m_type; });
        m_dialogs.owner = m_editor.get();
        open(CardType::Mifare1K, 3);
        QCOMPARE(m_dialogs.shown.size(), 1);
        QCOMPARE(m_dialogs.shown.first().kind, QStringLiteral("error"));
        QEvent activate(QEvent::WindowActivate);
        QCoreApplication::sendEvent(m_editor.get(), &activate);
        QCOMPARE(m_dialogs.shown.size(), 1);

        // The editor stays usable with the rows it shows.
        clickOk();
        QCOMPARE(rowText(*m_grid1, 3), QByteArray("5C 5C 5C 5C 5C 5C FF 07 80 FF 5C 5C 5C 5C 5C 5C"));
    }
};

QTEST_MAIN(TestAccessEditor)
#include "tst_accesseditor.moc"
