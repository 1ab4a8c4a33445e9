#include "windows/KeyByteEdit.h"
#include "card/KeyByteRules.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

class TestKeyByteEdit : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void keyRelease_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("one char kept as typed") << int(Qt::Key_A) << QByteArray("a") << QByteArray("a");
        QTest::newRow("pair upper-cased") << int(Qt::Key_C) << QByteArray("ac") << QByteArray("AC");
        QTest::newRow("third char cut") << int(Qt::Key_7) << QByteArray("1A7") << QByteArray("1A");
        QTest::newRow("G empties") << int(Qt::Key_G) << QByteArray("1g") << QByteArray();
        QTest::newRow("Delete empties") << int(Qt::Key_Delete) << QByteArray("5C") << QByteArray();
        QTest::newRow("space empties") << int(Qt::Key_Space) << QByteArray("5") << QByteArray();
        QTest::newRow("arrow keeps") << int(Qt::Key_Left) << QByteArray("5C") << QByteArray("5C");
        QTest::newRow("Shift with bad pair") << int(Qt::Key_Shift) << QByteArray("X1") << QByteArray();
        QTest::newRow("Enter, bad second") << int(Qt::Key_Return) << QByteArray("1X") << QByteArray();
    }

    void keyRelease()
    {
        QFETCH(int, key);
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, after);
        QCOMPARE(KeyByteRules::afterKeyRelease(key, text), after);
    }

    void leaving_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("empty") << QByteArray() << QByteArray("5C");
        QTest::newRow("a") << QByteArray("a") << QByteArray("0A");
        QTest::newRow("g") << QByteArray("g") << QByteArray("5C");
        QTest::newRow("G1") << QByteArray("G1") << QByteArray("5C");
        QTest::newRow("1G") << QByteArray("1G") << QByteArray("5C");
        QTest::newRow("lower pair") << QByteArray("ab") << QByteArray("5C");
        QTest::newRow("pasted kept whole") << QByteArray("A1B2C3") << QByteArray("A1B2C3");
    }

    void leaving()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, after);
        QCOMPARE(KeyByteRules::completed(text), after);
        KeyByteEdit unlimited; // the main window's kind keeps pasted text
        unlimited.setText(QString::fromLatin1(text));
        QCOMPARE(unlimited.complete(), after);
    }

    // The widget as a user meets it: typing, then tabbing to the next control.
    void typingAndLeaving()
    {
        QWidget window;
        auto *layout = new QVBoxLayout(&window);
        auto *edit = new KeyByteEdit(2, &window);
        auto *next = new QPushButton(QStringLiteral("next"), &window);
        layout->addWidget(edit);
        layout->addWidget(next);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QSignalSpy left(edit, &KeyByteEdit::left);

        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_Delete);
        QCOMPARE(edit->text(), QString());
        QTest::keyClicks(edit, QStringLiteral("3f9"));
        QCOMPARE(edit->text(), QStringLiteral("3F"));
        QTest::keyClick(edit, Qt::Key_Backspace);
        QCOMPARE(left.count(), 0);
        next->setFocus(Qt::TabFocusReason);
        QCOMPARE(edit->text(), QStringLiteral("03"));
        QCOMPARE(left.count(), 1);
    }
};

QTEST_MAIN(TestKeyByteEdit)
#include "tst_keybyteedit.moc"
