#include "app/KeyByteEdit.h"
#include "app/KeyByteRules.h"

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

        QTest::newRow("digit keeps one char") << int(Qt::Key_5) << QByteArray("5") << QByteArray("5");
        QTest::newRow("lower-case pair upper-cased") << int(Qt::Key_C) << QByteArray("ac") << QByteArray("AC");
        QTest::newRow("third char cut") << int(Qt::Key_7) << QByteArray("1A7") << QByteArray("1A");
        QTest::newRow("G empties") << int(Qt::Key_G) << QByteArray("1g") << QByteArray();
        QTest::newRow("Delete empties") << int(Qt::Key_Delete) << QByteArray("5C") << QByteArray();
        QTest::newRow("space empties") << int(Qt::Key_Space) << QByteArray("5 ") << QByteArray();
        QTest::newRow("Z empties") << int(Qt::Key_Z) << QByteArray("z") << QByteArray();
        QTest::newRow("arrow keeps") << int(Qt::Key_Left) << QByteArray("5C") << QByteArray("5C");
        QTest::newRow("backspace keeps") << int(Qt::Key_Backspace) << QByteArray("5") << QByteArray("5");
        QTest::newRow("shift with bad pair empties") << int(Qt::Key_Shift) << QByteArray("X1") << QByteArray();
        QTest::newRow("second char bad") << int(Qt::Key_Return) << QByteArray("1X") << QByteArray();
        QTest::newRow("Home keeps pasted") << int(Qt::Key_Home) << QByteArray("abcd") << QByteArray("AB");
    }

    void keyRelease()
    {
        QFETCH(int, key);
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, after);
        QCOMPARE(KeyByteRules::afterKeyRelease(key, text), after);
    }

    void acceptedKeys()
    {
        const QList<int> accepted = {Qt::Key_Backspace, Qt::Key_Tab, Qt::Key_Enter, Qt::Key_Return, Qt::Key_Shift,
                                     Qt::Key_Control, Qt::Key_Alt, Qt::Key_CapsLock, Qt::Key_PageUp,
                                     Qt::Key_PageDown, Qt::Key_End, Qt::Key_Home, Qt::Key_Left, Qt::Key_Up,
                                     Qt::Key_Right, Qt::Key_Down, Qt::Key_0, Qt::Key_9, Qt::Key_A, Qt::Key_F};
        for (int key : accepted)
            QVERIFY2(KeyByteRules::isAcceptedKey(key), qPrintable(QString::number(key, 16)));
        const QList<int> refused = {Qt::Key_Delete, Qt::Key_Insert, Qt::Key_Escape, Qt::Key_G, Qt::Key_Space,
                                    Qt::Key_Minus, Qt::Key_F1, Qt::Key_Meta, Qt::Key_Exclam, Qt::Key_Z};
        for (int key : refused)
            QVERIFY2(!KeyByteRules::isAcceptedKey(key), qPrintable(QString::number(key, 16)));
    }

    void completed_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("empty") << QByteArray() << QByteArray("5C");
        QTest::newRow("single a") << QByteArray("a") << QByteArray("0A");
        QTest::newRow("single 7") << QByteArray("7") << QByteArray("07");
        QTest::newRow("single g") << QByteArray("g") << QByteArray("5C");
        QTest::newRow("G1") << QByteArray("G1") << QByteArray("5C");
        QTest::newRow("1G") << QByteArray("1G") << QByteArray("5C");
        QTest::newRow("lower pair") << QByteArray("ab") << QByteArray("5C");
        QTest::newRow("good") << QByteArray("F0") << QByteArray("F0");
        QTest::newRow("pasted kept whole") << QByteArray("A1B2C3") << QByteArray("A1B2C3");
        QTest::newRow("pasted bad start") << QByteArray("xA1B2") << QByteArray("5C");
    }

    void completed()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, after);
        QCOMPARE(KeyByteRules::completed(text), after);
        QVERIFY(KeyByteRules::isComplete(KeyByteRules::completed(text)));
    }

    // The widget as a user meets it: typing, then tabbing away to the next field.
    void typingAndLeaving_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("whileTyping");
        QTest::addColumn<QString>("afterLeaving");
        QTest::newRow("a") << QStringLiteral("a") << QStringLiteral("a") << QStringLiteral("0A");
        QTest::newRow("g") << QStringLiteral("g") << QString() << QStringLiteral("5C");
        QTest::newRow("3f") << QStringLiteral("3f") << QStringLiteral("3F") << QStringLiteral("3F");
        QTest::newRow("1g") << QStringLiteral("1g") << QString() << QStringLiteral("5C");
        QTest::newRow("nothing") << QString() << QString() << QStringLiteral("5C");
    }

    void typingAndLeaving()
    {
        QFETCH(QString, typed);
        QFETCH(QString, whileTyping);
        QFETCH(QString, afterLeaving);

        QWidget window;
        auto *layout = new QVBoxLayout(&window);
        auto *edit = new KeyByteEdit(2, &window);
        auto *next = new QPushButton(QStringLiteral("next"), &window);
        layout->addWidget(edit);
        layout->addWidget(next);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        edit->setFocus();
        edit->clear();
        QSignalSpy left(edit, &KeyByteEdit::left);

        QTest::keyClicks(edit, typed);
        QCOMPARE(edit->text(), whileTyping);
        QCOMPARE(left.count(), 0);

        next->setFocus(Qt::TabFocusReason);
        QCOMPARE(edit->text(), afterLeaving);
        QCOMPARE(left.count(), 1);
    }

    void deleteKeyEmptiesAndLimitHolds()
    {
        KeyByteEdit edit(2, nullptr);
        edit.setText(QStringLiteral("5C"));
        QTest::keyClick(&edit, Qt::Key_Delete);
        QCOMPARE(edit.text(), QString());
        QTest::keyClicks(&edit, QStringLiteral("123"));
        QCOMPARE(edit.text(), QStringLiteral("12"));
    }

    // Main window fields have no length limit: text pasted with the mouse is kept.
    void unlimitedFieldKeepsPastedText()
    {
        KeyByteEdit edit;
        QCOMPARE(edit.text(), QStringLiteral("5C"));
        edit.setText(QStringLiteral("A1B2C3"));
        QCOMPARE(edit.complete(), QByteArray("A1B2C3"));
        edit.setText(QStringLiteral("b"));
        QCOMPARE(edit.complete(), QByteArray("0B"));
    }
};

QTEST_MAIN(TestKeyByteEdit)
#include "tst_keybyteedit.moc"
