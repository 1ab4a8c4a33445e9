#include "ultralight/LockBytesEditor.h"
#include "view/CardGridModel.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTest>

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

    QStringList boxes(bool checked) const
    {
        QStringList names;
        for (QCheckBox *b : m_editor->findChildren<QCheckBox *>()) {
            if (checked ? b->isChecked() : !b->isEnabled())
                names << b->objectName();
        }
        names.sort();
        return names;
    }

    static QStringList sorted(QStringList names)
    {
        names.sort();
        return names;
    }

private Q_SLOTS:
    void init() { m_editor = std::make_unique<LockBytesEditor>(&m_grid); }

    void openAndGenerate_data()
    {
        QTest::addColumn<QByteArray>("l0");
        QTest::addColumn<QByteArray>("l1");
        QTest::addColumn<QStringList>("checked");
        QTest::addColumn<QStringList>("disabled");

        const QStringList freezes = {QStringLiteral("cb_fotp"), QStringLiteral("cb_fp94"), QStringLiteral("cb_fp150")};
        QStringList governed = {QStringLiteral("cb_otp")};
        for (int page = 4; page <= 15; ++page)
            governed << QStringLiteral("cb_p%1").arg(page);
        QTest::newRow("00 00") << QByteArray("00") << QByteArray("00") << QStringList() << QStringList();
        QTest::newRow("10 80") << QByteArray("10") << QByteArray("80") << QStringList{QStringLiteral("cb_p4"), QStringLiteral("cb_p15")} << QStringList();
        QTest::newRow("07 00") << QByteArray("07") << QByteArray("00") << freezes << governed;
        QTest::newRow("FF FF") << QByteArray("FF") << QByteArray("FF") << freezes + governed << governed;
        QTest::newRow("02 0a") << QByteArray("02") << QByteArray("0a")
                               << QStringList{QStringLiteral("cb_fp94"), QStringLiteral("cb_p9"), QStringLiteral("cb_p11")}
                               << governed.mid(1, 6);
    }

    // Disabled boxes keep their state and still count: generating gives the bytes back.
    void openAndGenerate()
    {
        QFETCH(QByteArray, l0);
        QFETCH(QByteArray, l1);
        QFETCH(QStringList, checked);
        QFETCH(QStringList, disabled);
        open(l0, l1);
        QCOMPARE(boxes(true), sorted(checked));
        QCOMPARE(boxes(false), sorted(disabled));
        click("btn_generate");
        QCOMPARE(lockBytes(), l0.toUpper() + ' ' + l1.toUpper());
        QVERIFY(!m_editor->isVisible());
    }

    void nonHexTextSetsNoBox()
    {
        for (const QByteArray &text : {QByteArray("ZZ"), QByteArray("G1"), QByteArray("1G"), QByteArray("7"), QByteArray()}) {
            open(text, text);
            QCOMPARE(boxes(true), QStringList());
        }
    }

    void clickedBoxesThenClear()
    {
        open("00", "00");
        QTest::mouseClick(box(QStringLiteral("cb_p4")), Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseClick(box(QStringLiteral("cb_p15")), Qt::LeftButton, {}, QPoint(5, 5));
        click("btn_generate");
        QCOMPARE(lockBytes(), QByteArray("10 80"));

        open("FF", "FF");
        click("btn_clear");
        QCOMPARE(boxes(false), QStringList());
        click("btn_generate");
        QCOMPARE(lockBytes(), QByteArray("00 00"));
    }

    // Boxes changed without generating are set back from L0/L1 on the next activation.
    void reactivationRebuildsFromLockFields()
    {
        open("10", "00");
        box(QStringLiteral("cb_p4"))->click();
        box(QStringLiteral("cb_fp94"))->click();
        activate();
        QCOMPARE(boxes(true), QStringList{QStringLiteral("cb_p4")});
        QCOMPARE(boxes(false), QStringList());
    }
};

QTEST_MAIN(TestLockBytesEditor)
#include "tst_lockbyteseditor.moc"
