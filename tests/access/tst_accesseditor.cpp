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

// Message boxes that take the focus from the editor, as a real modal box does.
class FocusTakingDialogs : public ScriptedDialogs
{
public:
    QWidget *owner = nullptr;
    void showMessage(const QString &text) override
    {
        ScriptedDialogs::showMessage(text);
        QEvent deactivate(QEvent::WindowDeactivate);
        QCoreApplication::sendEvent(owner, &deactivate);
    }
};

static const QByteArray TransportTrailer = "5C 5C 5C 5C 5C 5C FF 07 80 FF 5C 5C 5C 5C 5C 5C";

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

    template<typename T = QWidget> T *child(const QString &name) const
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

    // A click into the main window, then back into the editor.
    void reactivate(const std::function<void()> &meanwhile = {})
    {
        m_mainWindow->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_mainWindow.get()));
        if (meanwhile)
            meanwhile();
        m_editor->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_editor.get()));
    }

    void clickOk() { QTest::mouseClick(child<QPushButton>(QStringLiteral("btn_ok")), Qt::LeftButton); }

    QByteArray setting(const QByteArray &key) const
    {
        const QByteArrayList lines = m_settings->loadLines();
        return lines.value(lines.indexOf(key) + 1);
    }

    void setKeyConfigLine(const QByteArray &line)
    {
        QByteArrayList lines = m_settings->loadLines();
        lines[lines.indexOf("KeyConfig") + 1] = line;
        m_settings->saveLines(lines);
    }

    static QByteArray rowText(const CardGridModel &grid, int block)
    {
        QByteArrayList cells;
        for (int j = 0; j < 16; ++j)
            cells << grid.cell(2 + j, block + 2);
        return cells.join(' ');
    }

    // Blocks whose byte cells the editor has written (the grids start empty).
    static QList<int> filledBlocks(const CardGridModel &grid)
    {
        QList<int> blocks;
        for (int block = 0; block < grid.rows() - 2; ++block) {
            if (!rowText(grid, block).trimmed().isEmpty())
                blocks << block;
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

    static QStringList radios(int k0, int k1, int k2, int k3)
    {
        return {QStringLiteral("r0_%1").arg(k0), QStringLiteral("r1_%1").arg(k1), QStringLiteral("r2_%1").arg(k2),
                QStringLiteral("r3_%1").arg(k3)};
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
        QCOMPARE(checkedRadios(), radios(0, 0, 0, 1));
        QCOMPARE(setting("KeyConfig"), QByteArray("0,0,0,1,"));
        QCOMPARE(setting("KeyAB"), QByteArray("5C5C5C5C5C5C,5C5C5C5C5C5C,FF,"));
        clickOk();
        QCOMPARE(rowText(*m_grid1, 3), TransportTrailer);
        QCOMPARE(filledBlocks(*m_grid1), QList<int>{3});
        QVERIFY(!m_editor->isVisible());
    }

    void openingSetsCaptionsAndSector_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("block");
        QTest::addColumn<int>("sector");
        QTest::addColumn<QString>("trailerTab");
        QTest::newRow("1K block 63") << 0 << 63 << 15 << QStringLiteral("Block 3 (Sector Trailer)");
        QTest::newRow("4K block 127") << 1 << 127 << 31 << QStringLiteral("Block 3 (Sector Trailer)");
        QTest::newRow("4K block 143") << 1 << 143 << 32 << QStringLiteral("Block 15 (Sector Trailer)");
    }

    void openingSetsCaptionsAndSector()
    {
        QFETCH(int, type);
        QFETCH(int, block);
        QFETCH(int, sector);
        QFETCH(QString, trailerTab);
        open(CardType(type), block);
        const bool large = block >= 128;
        auto *tabs = child<QTabWidget>(QStringLiteral("PageControl1"));
        QCOMPARE(tabs->tabText(3), trailerTab);
        QCOMPARE(child<QLabel>(QStringLiteral("lbl_title2"))->text(),
                 large ? QStringLiteral("Description for Block 10-11-12-13-14 of the selected Sector")
                       : QStringLiteral("Description for Block 2 of the selected Sector"));
        auto *sectors = child<QComboBox>(QStringLiteral("cmb_sector"));
        QCOMPARE(sectors->count(), type == 0 ? 16 : 40);
        QCOMPARE(sectors->currentText(), QString::number(sector));
    }

    void sameForAllSectors_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QList<int>>("trailers");
        QList<int> trailers;
        for (int s = 0; s < 32; ++s)
            trailers << 4 * s + 3;
        for (int block = 143; block <= 255; block += 16)
            trailers << block;
        QTest::newRow("1K") << 0 << trailers.mid(0, 16);
        QTest::newRow("4K") << 1 << trailers;
    }

    void sameForAllSectors()
    {
        QFETCH(int, type);
        QFETCH(QList<int>, trailers);
        open(CardType(type), 7);
        QTest::mouseClick(child<QCheckBox>(QStringLiteral("cb_same")), Qt::LeftButton, {}, QPoint(5, 5));
        clickOk();
        const CardGridModel &grid = type == 0 ? *m_grid1 : *m_grid4;
        QCOMPARE(filledBlocks(grid), trailers);
        QCOMPARE(rowText(grid, trailers.last()), TransportTrailer);
        QVERIFY(filledBlocks(type == 0 ? *m_grid4 : *m_grid1).isEmpty());
    }

    // A 4K sector list still shown after the main window switched to 1K: a sector the
    // card lacks is written nowhere.
    void chosenSectorOnly()
    {
        open(CardType::Mifare4K, 23);
        child<QComboBox>(QStringLiteral("cmb_sector"))->setCurrentIndex(33);
        clickOk();
        QCOMPARE(filledBlocks(*m_grid4), QList<int>{159});
        open(CardType::Mifare4K, 255);
        m_type = CardType::Mifare1K;
        clickOk();
        QVERIFY(filledBlocks(*m_grid1).isEmpty());
    }

    void radioChoicesAreStoredDescribedAndEncoded()
    {
        open(CardType::Mifare1K, 7);
        child<QRadioButton>(QStringLiteral("r3_3"))->click();
        QCOMPARE(setting("KeyConfig"), QByteArray("0,0,0,3,"));
        QCOMPARE(child<QLabel>(QStringLiteral("lbl_desc3_1"))->text(), QStringLiteral("Key A can be modified/written with only (Key B) password"));
        QCOMPARE(child<QLabel>(QStringLiteral("lbl_desc3_4"))->text(), QStringLiteral("Key B can (Never) be read"));
        child<QRadioButton>(QStringLiteral("r1_5"))->click();
        QCOMPARE(setting("KeyConfig"), QByteArray("0,5,0,3,"));
        QCOMPARE(child<QLabel>(QStringLiteral("lbl_desc1_1"))->text(), QStringLiteral("!!! Block data can (Never) be modified/written !!!"));

        QTest::mouseClick(child<QPushButton>(QStringLiteral("btn_cancel")), Qt::LeftButton);
        QVERIFY(filledBlocks(*m_grid1).isEmpty());
        open(CardType::Mifare1K, 7);
        clickOk();
        QCOMPARE(rowText(*m_grid1, 7).mid(18, 8), accessText(0, 5, 0, 3));
    }

    // Top to bottom the buttons follow the table rows, k = 0, 2, 4, 6, 1, 3, 5, 7; the
    // trailer rows in which Key B is readable (k = 0, 2, 1) are silver.
    void buttonsInDisplayOrder()
    {
        for (int group = 0; group < 4; ++group) {
            QList<QRadioButton *> buttons = child(QStringLiteral("table%1").arg(group))->parentWidget()->findChildren<QRadioButton *>();
            std::sort(buttons.begin(), buttons.end(), [](QWidget *a, QWidget *b) { return a->y() < b->y(); });
            QStringList names;
            for (QWidget *button : buttons)
                names << button->objectName().right(1);
            QCOMPARE(names.join(QString()), QStringLiteral("02461357"));
        }
        auto *trailer = child<QTableWidget>(QStringLiteral("table3"));
        for (int row = 0; row < 8; ++row)
            QCOMPARE(trailer->item(2 + row, 5)->background().color() == QColor(192, 192, 192), row == 0 || row == 1 || row == 4);
    }

    void byteEditsFollowTheHexRules()
    {
        open(CardType::Mifare1K, 3);
        child<QTabWidget>(QStringLiteral("PageControl1"))->setCurrentIndex(3);
        auto *key1 = child<KeyByteEdit>(QStringLiteral("key1"));
        key1->setFocus();
        key1->clear();
        QTest::keyClick(key1, Qt::Key_G);
        QCOMPARE(key1->text(), QString());
        QTest::keyClicks(key1, QStringLiteral("a"));
        QTest::keyClick(key1, Qt::Key_Tab);
        QCOMPARE(key1->text(), QStringLiteral("0A"));
        QCOMPARE(setting("KeyAB"), QByteArray("0A5C5C5C5C5C,5C5C5C5C5C5C,FF,"));

        auto *udata = child<KeyByteEdit>(QStringLiteral("udata"));
        udata->setFocus();
        udata->clear();
        QTest::keyClicks(udata, QStringLiteral("7"));
        clickOk(); // pressing the button leaves the edit first
        QCOMPARE(rowText(*m_grid1, 3), QByteArray("0A 5C 5C 5C 5C 5C FF 07 80 07 5C 5C 5C 5C 5C 5C"));
    }

    // Short KeyAB values leave edits short or empty; "OK" refuses them. Closing the
    // message returns to the editor as the user left it, "same for all sectors" still on.
    void shortKeyABIsRefusedAtOk()
    {
        QVERIFY(m_settings->append("KeyAB", "5C5C5,5C5C5C5C5C5C,,") > 0);
        open(CardType::Mifare1K, 3);
        QCOMPARE(child<KeyByteEdit>(QStringLiteral("key3"))->text(), QStringLiteral("5"));
        QCOMPARE(child<KeyByteEdit>(QStringLiteral("key4"))->text(), QString());
        child<QCheckBox>(QStringLiteral("cb_same"))->click();
        clickOk();
        QCOMPARE(m_dialogs.texts(), QStringList{QStringLiteral("Keys should be entered with hexadecimal numbers!")});
        QVERIFY(filledBlocks(*m_grid1).isEmpty());
        QVERIFY(m_editor->isVisible());

        QEvent activate(QEvent::WindowActivate);
        QCoreApplication::sendEvent(m_editor.get(), &activate);
        QVERIFY(child<QCheckBox>(QStringLiteral("cb_same"))->isChecked());
        for (const char *name : {"key3", "key4", "key5", "key6", "udata"})
            child<KeyByteEdit>(QLatin1String(name))->setText(QStringLiteral("01"));
        clickOk();
        QCOMPARE(filledBlocks(*m_grid1).size(), 16);
    }

    void reactivationResetsFromSettings()
    {
        open(CardType::Mifare1K, 3);
        child<QCheckBox>(QStringLiteral("cb_same"))->click();
        reactivate([this] {
            m_settings->write("KeyAB", {"112233445566", "AABBCCDDEEFF", "01"});
            m_settings->write("KeyConfig", {"4", "6", "2", "3"});
        });
        QVERIFY(!child<QCheckBox>(QStringLiteral("cb_same"))->isChecked());
        QCOMPARE(checkedRadios(), radios(4, 6, 2, 3));
        clickOk();
        QCOMPARE(rowText(*m_grid1, 3), "11 22 33 44 55 66 " + accessText(4, 6, 2, 3) + " 01 AA BB CC DD EE FF");
    }

    // A damaged KeyConfig value picks the transport row of its own group (data groups
    // index 0, trailer index 1), never a button of another group.
    void damagedKeyConfigFallsBackPerGroup_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("out of range") << QByteArray("9,8,12,-1,") << radios(0, 0, 0, 1);
        QTest::newRow("not numbers") << QByteArray("x,3,,1a,") << radios(0, 3, 0, 1);
        QTest::newRow("too short") << QByteArray("5,6,") << radios(5, 6, 0, 1);
        QTest::newRow("no comma") << QByteArray("7777") << radios(0, 0, 0, 1);
        QTest::newRow("too long") << QByteArray("7,6,5,4,3,2,1,0,") << radios(7, 6, 5, 4);
    }

    void damagedKeyConfigFallsBackPerGroup()
    {
        QFETCH(QByteArray, line);
        QFETCH(QStringList, expected);
        QVERIFY(m_settings->append("KeyConfig", "3,3,3,3,") > 0); // so a kept old row would show
        open(CardType::Mifare1K, 3);
        reactivate([&] { setKeyConfigLine(line); });
        QCOMPARE(checkedRadios(), expected);
        clickOk();
        auto k = [&expected](int g) { return expected.at(g).right(1).toInt(); };
        QCOMPARE(rowText(*m_grid1, 3).mid(18, 8), accessText(k(0), k(1), k(2), k(3)));
    }
};

QTEST_MAIN(TestAccessEditor)
#include "tst_accesseditor.moc"
