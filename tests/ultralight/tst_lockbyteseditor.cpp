#include "ultralight/LockBytesEditor.h"
#include "view/CardGridModel.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTest>

// The lock bytes editor driven as a user does it: opened from page 2 of gridUL,
// boxes clicked, "Generate Lock Config Bytes" pressed.
class TestLockBytesEditor : public QObject
{
    Q_OBJECT

private:
    static constexpr int Row = 4;       // page 2
    static constexpr int Lock0Col = 3;  // byte 2
    static constexpr int Lock1Col = 4;  // byte 3

    CardGridModel *m_grid = nullptr;
    LockBytesEditor *m_editor = nullptr;

    QCheckBox *box(const char *name) const
    {
        auto *b = m_editor->findChild<QCheckBox *>(QLatin1String(name));
        Q_ASSERT(b);
        return b;
    }

    void activate()
    {
        QEvent event(QEvent::WindowActivate);
        QCoreApplication::sendEvent(m_editor, &event);
    }

    void open(const QByteArray &l0, const QByteArray &l1)
    {
        m_grid->setCell(Lock0Col, Row, l0);
        m_grid->setCell(Lock1Col, Row, l1);
        m_editor->openFromGrid();
        activate();
        QVERIFY(m_editor->isVisible());
    }

    void generate()
    {
        QTest::mouseClick(m_editor->findChild<QPushButton *>(QStringLiteral("btn_generate")), Qt::LeftButton);
    }

    QStringList checkedBoxes() const
    {
        QStringList names;
        for (QCheckBox *b : m_editor->findChildren<QCheckBox *>()) {
            if (b->isChecked())
                names << b->objectName();
        }
        names.sort();
        return names;
    }

    QStringList disabledBoxes() const
    {
        QStringList names;
        for (QCheckBox *b : m_editor->findChildren<QCheckBox *>()) {
            if (!b->isEnabled())
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

    static QStringList pageBoxes(int from, int to)
    {
        QStringList names;
        for (int p = from; p <= to; ++p)
            names << QStringLiteral("cb_p%1").arg(p);
        return names;
    }

private Q_SLOTS:
    void init()
    {
        m_grid = new CardGridModel(CardType::MifareUL);
        m_editor = new LockBytesEditor(m_grid);
    }

    void cleanup()
    {
        delete m_editor;
        delete m_grid;
    }

    void windowAndBoxesInOrder()
    {
        QCOMPARE(m_editor->objectName(), QStringLiteral("TForm5"));
        QCOMPARE(m_editor->windowTitle(), QStringLiteral("Set bytes for lock configuration"));
        m_editor->show();
        const QStringList order = {QStringLiteral("OTP"), QStringLiteral("Page 4"), QStringLiteral("Page 5"),
                                   QStringLiteral("Page 6"), QStringLiteral("Page 7"), QStringLiteral("Page 8"),
                                   QStringLiteral("Page 9"), QStringLiteral("Page 10"), QStringLiteral("Page 11"),
                                   QStringLiteral("Page 12"), QStringLiteral("Page 13"), QStringLiteral("Page 14"),
                                   QStringLiteral("Page 15"), QStringLiteral("Froze config for OTP"),
                                   QStringLiteral("Froze config for P9 - P4"), QStringLiteral("Froze config for P15 - P10")};
        QList<QCheckBox *> boxes = m_editor->findChildren<QCheckBox *>();
        std::sort(boxes.begin(), boxes.end(), [](QCheckBox *a, QCheckBox *b) {
            return a->mapToGlobal(QPoint()).y() < b->mapToGlobal(QPoint()).y();
        });
        QStringList captions;
        for (QCheckBox *b : boxes)
            captions << b->text();
        QCOMPARE(captions, order);
        QVERIFY(!m_editor->findChild<QWidget *>(QStringLiteral("L0"))->isVisible());
    }

    void openAndGenerate_data()
    {
        QTest::addColumn<QByteArray>("l0");
        QTest::addColumn<QByteArray>("l1");
        QTest::addColumn<QStringList>("checked");
        QTest::addColumn<QStringList>("disabled");

        const QStringList freezes = {QStringLiteral("cb_fotp"), QStringLiteral("cb_fp94"), QStringLiteral("cb_fp150")};
        QTest::newRow("00 00") << QByteArray("00") << QByteArray("00") << QStringList() << QStringList();
        QTest::newRow("10 80") << QByteArray("10") << QByteArray("80")
                               << QStringList{QStringLiteral("cb_p4"), QStringLiteral("cb_p15")} << QStringList();
        QTest::newRow("07 00") << QByteArray("07") << QByteArray("00") << freezes
                               << QStringList{QStringLiteral("cb_otp")} + pageBoxes(4, 15);
        QTest::newRow("FF FF") << QByteArray("FF") << QByteArray("FF")
                               << freezes + QStringList{QStringLiteral("cb_otp")} + pageBoxes(4, 15)
                               << QStringList{QStringLiteral("cb_otp")} + pageBoxes(4, 15);
        QTest::newRow("02 lower-case 0a") << QByteArray("02") << QByteArray("0a")
                                          << QStringList{QStringLiteral("cb_fp94"), QStringLiteral("cb_p9"), QStringLiteral("cb_p11")}
                                          << pageBoxes(4, 9);
    }

    void openAndGenerate()
    {
        QFETCH(QByteArray, l0);
        QFETCH(QByteArray, l1);
        QFETCH(QStringList, checked);
        QFETCH(QStringList, disabled);

        open(l0, l1);
        QCOMPARE(checkedBoxes(), sorted(checked));
        QCOMPARE(disabledBoxes(), sorted(disabled));

        // Disabled boxes still count: generating again gives the same bytes back.
        generate();
        QCOMPARE(m_grid->cell(Lock0Col, Row), l0.toUpper());
        QCOMPARE(m_grid->cell(Lock1Col, Row), l1.toUpper());
        QVERIFY(!m_editor->isVisible());
    }

    // Grid text that is not a hexadecimal byte sets no box rather than bits of garbage.
    void nonHexTextSetsNoBox_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("ZZ") << QByteArray("ZZ");
        QTest::newRow("G1") << QByteArray("G1");
        QTest::newRow("1G") << QByteArray("1G");
        QTest::newRow("single 7") << QByteArray("7");
        QTest::newRow("empty") << QByteArray();
    }

    void nonHexTextSetsNoBox()
    {
        QFETCH(QByteArray, text);
        open(text, text);
        QCOMPARE(checkedBoxes(), QStringList());
        generate();
        QCOMPARE(m_grid->cell(Lock0Col, Row), QByteArray("00"));
        QCOMPARE(m_grid->cell(Lock1Col, Row), QByteArray("00"));
    }

    void clickingBoxesComposesBytes()
    {
        open("00", "00");
        QTest::mouseClick(box("cb_p4"), Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseClick(box("cb_p15"), Qt::LeftButton, {}, QPoint(5, 5));
        generate();
        QCOMPARE(m_grid->cell(Lock0Col, Row), QByteArray("10"));
        QCOMPARE(m_grid->cell(Lock1Col, Row), QByteArray("80"));
    }

    void freezeBoxesDisableWhatTheyGovern()
    {
        open("00", "00");
        box("cb_p5")->setChecked(true);
        box("cb_fp94")->click();
        QCOMPARE(disabledBoxes(), pageBoxes(4, 9));
        QVERIFY(box("cb_p5")->isChecked());
        box("cb_fp150")->click();
        box("cb_fotp")->click();
        QCOMPARE(disabledBoxes(), sorted(QStringList{QStringLiteral("cb_otp")} + pageBoxes(4, 15)));
        box("cb_fp94")->click();
        QCOMPARE(disabledBoxes(), sorted(QStringList{QStringLiteral("cb_otp")} + pageBoxes(10, 15)));
    }

    void clearThenGenerateWritesZeros()
    {
        open("FF", "FF");
        QTest::mouseClick(m_editor->findChild<QPushButton *>(QStringLiteral("btn_clear")), Qt::LeftButton);
        QCOMPARE(checkedBoxes(), QStringList());
        QCOMPARE(disabledBoxes(), QStringList());
        generate();
        QCOMPARE(m_grid->cell(Lock0Col, Row), QByteArray("00"));
        QCOMPARE(m_grid->cell(Lock1Col, Row), QByteArray("00"));
    }

    // Boxes changed without generating are set back from L0/L1 on the next activation;
    // after generating, the generated bytes are what comes back.
    void reactivationRebuildsFromLockFields()
    {
        open("10", "00");
        box("cb_p4")->click();
        box("cb_p8")->click();
        activate();
        QCOMPARE(checkedBoxes(), QStringList{QStringLiteral("cb_p4")});

        box("cb_p8")->click();
        generate();
        m_editor->show();
        activate();
        QCOMPARE(checkedBoxes(), sorted({QStringLiteral("cb_p4"), QStringLiteral("cb_p8")}));
    }
};

QTEST_MAIN(TestLockBytesEditor)
#include "tst_lockbyteseditor.moc"
