#include "windows/LockBytesEditor.h"
#include "view/CardGridModel.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

// The lock bytes editor driven as a user does it: opened from page 2 of gridUL (row
// 4, bytes 2 and 3 in columns 3 and 4), boxes clicked, bytes generated.
class TestLockBytesEditor : public QObject
{
    Q_OBJECT

private:
    CardGridModel m_grid{CardType::MifareUL};
    std::unique_ptr<LockBytesEditor> m_editor;

    QCheckBox *box(const QString &name) const { return m_editor->findChild<QCheckBox *>(name); }
    void click(const char *button) { QTest::mouseClick(m_editor->findChild<QPushButton *>(QLatin1String(button)), Qt::LeftButton); }
    QByteArray lockBytes() const { return m_grid.cell(3, 4) + ' ' + m_grid.cell(4, 4); }

    void open(const QByteArray &l0, const QByteArray &l1)
    {
        m_grid.setCell(3, 4, l0);
        m_grid.setCell(4, 4, l1);
        m_editor->openFromGrid();
        activate();
    }
    void activate()
    {
        QEvent event(QEvent::WindowActivate);
        QCoreApplication::sendEvent(m_editor.get(), &event);
    }

    // Names of the checked (or the disabled) boxes, sorted.
    QStringList boxes(bool checked) const
    {
        QStringList names;
        for (QCheckBox *b : m_editor->findChildren<QCheckBox *>())
            if (checked ? b->isChecked() : !b->isEnabled())
                names << b->objectName();
        names.sort();
        return names;
    }

private Q_SLOTS:
    void init() { m_editor = std::make_unique<LockBytesEditor>(&m_grid); }

    // The boxes show the lock bytes; a freeze bit disables the boxes it governs, which
    // keep their state and still count: generating gives the bytes back. Text that is
    // not a hex byte sets no box.
    void openAndGenerate_data()
    {
        QTest::addColumn<QByteArray>("l0");
        QTest::addColumn<QByteArray>("l1");
        QTest::addColumn<QStringList>("checked");
        QTest::addColumn<QStringList>("disabled");
        QTest::addColumn<QByteArray>("generated");
        const QStringList freezes = {u"cb_fotp"_s, u"cb_fp150"_s, u"cb_fp94"_s};
        QStringList governed = {u"cb_otp"_s};
        for (int page = 4; page <= 15; ++page)
            governed << u"cb_p%1"_s.arg(page);
        QStringList all = freezes + governed;
        all.sort();
        governed.sort();
        QTest::newRow("10 80") << "10"_ba << "80"_ba << QStringList{u"cb_p15"_s, u"cb_p4"_s} << QStringList() << "10 80"_ba;
        QTest::newRow("07 00") << "07"_ba << "00"_ba << freezes << governed << "07 00"_ba;
        QTest::newRow("FF FF") << "FF"_ba << "FF"_ba << all << governed << "FF FF"_ba;
        QStringList pages4to9 = {u"cb_p4"_s, u"cb_p5"_s, u"cb_p6"_s, u"cb_p7"_s, u"cb_p8"_s, u"cb_p9"_s};
        QTest::newRow("02 0a") << "02"_ba << "0a"_ba << QStringList{u"cb_fp94"_s, u"cb_p11"_s, u"cb_p9"_s} << pages4to9
                               << "02 0A"_ba;
        QTest::newRow("not hex") << "G1"_ba << "7"_ba << QStringList() << QStringList() << "00 00"_ba;
    }
    void openAndGenerate()
    {
        QFETCH(QByteArray, l0);
        QFETCH(QByteArray, l1);
        QFETCH(QStringList, checked);
        QFETCH(QStringList, disabled);
        QFETCH(QByteArray, generated);
        open(l0, l1);
        QCOMPARE(boxes(true), checked);
        QCOMPARE(boxes(false), disabled);
        click("btn_generate");
        QCOMPARE(lockBytes(), generated);
        QVERIFY(!m_editor->isVisible());
    }

    void clickedBoxesThenClear()
    {
        open("00", "00");
        QTest::mouseClick(box(u"cb_p4"_s), Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseClick(box(u"cb_p15"_s), Qt::LeftButton, {}, QPoint(5, 5));
        click("btn_generate");
        QCOMPARE(lockBytes(), "10 80"_ba);

        open("FF", "FF");
        click("btn_clear");
        QCOMPARE(boxes(false), QStringList());
        click("btn_generate");
        QCOMPARE(lockBytes(), "00 00"_ba);
    }

    // Boxes changed without generating are set back from L0/L1 on the next activation.
    void reactivationRebuildsFromLockFields()
    {
        open("10", "00");
        box(u"cb_p4"_s)->click();
        box(u"cb_fp94"_s)->click();
        activate();
        QCOMPARE(boxes(true), QStringList{u"cb_p4"_s});
        QCOMPARE(boxes(false), QStringList());
    }

    // A desktop that keeps the focus elsewhere never activates the window: the boxes
    // still match L0/L1 when it is shown again, and when it is opened again while shown.
    void showWithoutActivationRebuilds()
    {
        const auto openQuietly = [this](const QByteArray &l0, const QByteArray &l1) {
            m_grid.setCell(3, 4, l0);
            m_grid.setCell(4, 4, l1);
            m_editor->openFromGrid();
        };
        openQuietly("10", "00");
        QCOMPARE(boxes(true), QStringList{u"cb_p4"_s});
        box(u"cb_p5"_s)->click(); // changed, never generated
        m_editor->hide();
        openQuietly("00", "80");
        QCOMPARE(boxes(true), QStringList{u"cb_p15"_s});
        openQuietly("00", "40");
        QCOMPARE(boxes(true), QStringList{u"cb_p14"_s});
    }
};

QTEST_MAIN(TestLockBytesEditor)
#include "tst_lockbyteseditor.moc"
