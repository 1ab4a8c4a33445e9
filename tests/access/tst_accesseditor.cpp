#include "access/AccessBits.h"
#include "windows/AccessEditor.h"
#include "windows/KeyByteEdit.h"
#include "base/SettingsFile.h"
#include "card/Hex.h"
#include "view/CardGridModel.h"

#include "ScriptedDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

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

const QByteArray TransportTrailer = "5C 5C 5C 5C 5C 5C FF 07 80 FF 5C 5C 5C 5C 5C 5C";

QByteArray rowText(const CardGridModel &grid, int block)
{
    QByteArrayList cells;
    for (int j = 0; j < 16; ++j)
        cells << grid.cell(2 + j, block + 2);
    return cells.join(' ');
}

// Blocks whose byte cells the editor has written (the grids start empty).
QList<int> filledBlocks(const CardGridModel &grid)
{
    QList<int> blocks;
    for (int block = 0; block < grid.rows() - 2; ++block)
        if (!rowText(grid, block).trimmed().isEmpty())
            blocks << block;
    return blocks;
}

QStringList radios(int k0, int k1, int k2, int k3)
{
    return {u"r0_%1"_s.arg(k0), u"r1_%1"_s.arg(k1), u"r2_%1"_s.arg(k2), u"r3_%1"_s.arg(k3)};
}

// Trailer bytes 6 to 8 as the grid shows them.
QByteArray accessText(int k0, int k1, int k2, int k3)
{
    const AccessBytes b = EncodeAccessBits(k0, k1, k2, k3);
    return Hex::pair(b.byte6) + ' ' + Hex::pair(b.byte7) + ' ' + Hex::pair(b.byte8);
}

} // namespace

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
    void reactivate(const std::function<void()> &meanwhile)
    {
        m_mainWindow->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_mainWindow.get()));
        meanwhile();
        m_editor->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_editor.get()));
    }

    void clickOk() { QTest::mouseClick(child<QPushButton>(u"btn_ok"_s), Qt::LeftButton); }

    QByteArray setting(const QByteArray &key) const
    {
        const QByteArrayList lines = m_settings->loadLines();
        return lines.value(lines.indexOf(key) + 1);
    }

    QStringList checkedRadios() const
    {
        QStringList names;
        for (QRadioButton *radio : m_editor->findChildren<QRadioButton *>())
            if (radio->isChecked())
                names << radio->objectName();
        names.sort();
        return names;
    }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_settings = std::make_unique<SettingsFile>(m_dir->filePath(u"cnf.txt"_s));
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

    // With no settings yet the editor offers the transport trailer and stores it;
    // "same for all sectors" writes every trailer of the card type, and only those.
    void sameForAllSectors_data()
    {
        QTest::addColumn<CardType>("type");
        QTest::addColumn<QList<int>>("trailers");
        QList<int> trailers;
        for (int s = 0; s < 32; ++s)
            trailers << 4 * s + 3;
        for (int block = 143; block <= 255; block += 16)
            trailers << block;
        QTest::newRow("1K") << CardType::Mifare1K << trailers.mid(0, 16);
        QTest::newRow("4K") << CardType::Mifare4K << trailers;
    }
    void sameForAllSectors()
    {
        QFETCH(CardType, type);
        QFETCH(QList<int>, trailers);
        open(type, 7);
        QCOMPARE(checkedRadios(), radios(0, 0, 0, 1));
        QCOMPARE(setting("KeyConfig"), "0,0,0,1,"_ba);
        QCOMPARE(setting("KeyAB"), "5C5C5C5C5C5C,5C5C5C5C5C5C,FF,"_ba);
        QTest::mouseClick(child<QCheckBox>(u"cb_same"_s), Qt::LeftButton, {}, QPoint(5, 5));
        clickOk();
        QVERIFY(!m_editor->isVisible());
        const bool large = type == CardType::Mifare4K;
        QCOMPARE(filledBlocks(large ? *m_grid4 : *m_grid1), trailers);
        QCOMPARE(rowText(large ? *m_grid4 : *m_grid1, trailers.last()), TransportTrailer);
        QVERIFY(filledBlocks(large ? *m_grid1 : *m_grid4).isEmpty());
    }

    // The sector of the opening block is chosen (sector 32 for block 143); another
    // chosen sector is written alone. A 4K sector still listed after the main window
    // switched to 1K, or any sector under Mifare UL, is written nowhere: OK says why
    // and the window stays open.
    void chosenSectorOnly()
    {
        open(CardType::Mifare4K, 143);
        auto *sectors = child<QComboBox>(u"cmb_sector"_s);
        QCOMPARE(sectors->count(), 40);
        QCOMPARE(sectors->currentText(), u"32"_s);
        QCOMPARE(child<QLabel>(u"lbl_title2"_s)->text(), u"Description for Block 10-11-12-13-14 of the selected Sector"_s);
        sectors->setCurrentIndex(33);
        clickOk();
        QCOMPARE(filledBlocks(*m_grid4), QList<int>{159});
        open(CardType::Mifare4K, 255);
        m_type = CardType::Mifare1K;
        clickOk();
        m_type = CardType::MifareUL;
        clickOk();
        QVERIFY(filledBlocks(*m_grid1).isEmpty());
        QCOMPARE(filledBlocks(*m_grid4), QList<int>{159});
        QVERIFY(m_editor->isVisible());
        QCOMPARE(m_dialogs.texts(),
                 (QStringList{u"A Mifare 1K card has no sector 39 (its sectors are 0 to 15). Nothing was written; "
                              u"choose another sector."_s,
                              u"A Mifare UL card has no sector trailers. Nothing was written; choose Mifare 1K or "
                              u"4K in the main window first."_s}));
    }

    // Choices are stored as they are made: a radio button at once, a typed byte
    // (completed to two digits) on leaving its edit. Pressing OK leaves the edit first,
    // so its byte is in the trailer.
    void choicesAreStoredAndReachTheTrailer()
    {
        open(CardType::Mifare1K, 3);
        child<QRadioButton>(u"r1_5"_s)->click();
        QCOMPARE(setting("KeyConfig"), "0,5,0,1,"_ba);
        QCOMPARE(child<QLabel>(u"lbl_desc1_1"_s)->text(), u"!!! Block data can (Never) be modified/written !!!"_s);
        auto *key1 = child<KeyByteEdit>(u"key1"_s);
        key1->setFocus();
        key1->clear();
        QTest::keyClicks(key1, u"a"_s);
        QTest::keyClick(key1, Qt::Key_Tab);
        QCOMPARE(setting("KeyAB"), "0A5C5C5C5C5C,5C5C5C5C5C5C,FF,"_ba);
        auto *udata = child<KeyByteEdit>(u"udata"_s);
        udata->setFocus();
        udata->clear();
        QTest::keyClicks(udata, u"7"_s);
        clickOk();
        QCOMPARE(rowText(*m_grid1, 3), "0A 5C 5C 5C 5C 5C " + accessText(0, 5, 0, 1) + " 07 5C 5C 5C 5C 5C 5C");
    }

    // Short KeyAB values leave edits short or empty; "OK" refuses them. Closing the
    // message returns to the editor as the user left it, "same for all sectors" still on.
    void shortKeyABIsRefusedAtOk()
    {
        QVERIFY(m_settings->append("KeyAB", "5C5C5,5C5C5C5C5C5C,,") > 0);
        open(CardType::Mifare1K, 3);
        QCOMPARE(child<KeyByteEdit>(u"key3"_s)->text(), u"5"_s);
        QCOMPARE(child<KeyByteEdit>(u"key4"_s)->text(), QString());
        child<QCheckBox>(u"cb_same"_s)->click();
        clickOk();
        QCOMPARE(m_dialogs.texts(), QStringList{u"Keys should be entered with hexadecimal numbers!"_s});
        QVERIFY(filledBlocks(*m_grid1).isEmpty());
        QVERIFY(m_editor->isVisible());

        QEvent activate(QEvent::WindowActivate);
        QCoreApplication::sendEvent(m_editor.get(), &activate);
        QVERIFY(child<QCheckBox>(u"cb_same"_s)->isChecked());
        for (const char *name : {"key3", "key4", "key5", "key6", "udata"})
            child<KeyByteEdit>(QLatin1String(name))->setText(u"01"_s);
        clickOk();
        QCOMPARE(filledBlocks(*m_grid1).size(), 16);
    }

    // Coming back to the editor reloads everything from the settings file. A damaged
    // KeyConfig value picks the transport row of its own group (data groups index 0,
    // trailer index 1), never a button of another group.
    void reactivationReloadsSettings_data()
    {
        QTest::addColumn<QByteArray>("keyConfig");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("changed meanwhile") << "4,6,2,3,"_ba << radios(4, 6, 2, 3);
        QTest::newRow("out of range") << "9,8,12,-1,"_ba << radios(0, 0, 0, 1);
        QTest::newRow("not numbers") << "x,3,,1a,"_ba << radios(0, 3, 0, 1);
        QTest::newRow("too short") << "5,6,"_ba << radios(5, 6, 0, 1);
    }
    void reactivationReloadsSettings()
    {
        QFETCH(QByteArray, keyConfig);
        QFETCH(QStringList, expected);
        QVERIFY(m_settings->append("KeyConfig", "3,3,3,3,") > 0); // so a kept old row would show
        open(CardType::Mifare1K, 3);
        child<QCheckBox>(u"cb_same"_s)->click();
        reactivate([&] {
            m_settings->write("KeyAB", {"112233445566", "AABBCCDDEEFF", "01"});
            QByteArrayList lines = m_settings->loadLines();
            lines[lines.indexOf("KeyConfig") + 1] = keyConfig;
            m_settings->saveLines(lines);
        });
        QVERIFY(!child<QCheckBox>(u"cb_same"_s)->isChecked());
        QCOMPARE(checkedRadios(), expected);
        clickOk();
        const auto k = [&expected](int g) { return expected.at(g).right(1).toInt(); };
        QCOMPARE(rowText(*m_grid1, 3), "11 22 33 44 55 66 " + accessText(k(0), k(1), k(2), k(3)) + " 01 AA BB CC DD EE FF");
    }
};

QTEST_MAIN(TestAccessEditor)
#include "tst_accesseditor.moc"
