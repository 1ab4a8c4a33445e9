#include "windows/LogAndStatus.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextBlock>

// The log pane and status text, shown late and together.
class TestLogAndStatus : public QObject
{
    Q_OBJECT

    static QStringList paragraphs(const QPlainTextEdit &view)
    {
        QStringList blocks;
        for (QTextBlock b = view.document()->begin(); b.isValid(); b = b.next())
            blocks << b.text();
        return blocks;
    }

private Q_SLOTS:
    // Shown together, lines make exactly the paragraphs that appending them one by one
    // makes, whatever control characters the module's data put into them.
    void sameParagraphsAsSeparateAppends_data()
    {
        QTest::addColumn<QByteArrayList>("lines");
        QTest::newRow("plain") << QByteArrayList{"Command: FF 00 01 93 94", "Response: FF 00 02 93 4C E2"};
        QTest::newRow("empty first") << QByteArrayList{"", "", "a"};
        QTest::newRow("empty between") << QByteArrayList{"a", "", "b"};
        QTest::newRow("carriage return at end") << QByteArrayList{"a\r", "b"};
        QTest::newRow("line feed inside") << QByteArrayList{"x", "a\r", "\nb"};
        QTest::newRow("CR LF") << QByteArrayList{"a\r\n", "b"};
        QTest::newRow("bytes 80..FF and controls") << QByteArrayList{"\xe9\x01\x7f\xff", "b\t"};
    }
    void sameParagraphsAsSeparateAppends()
    {
        QFETCH(QByteArrayList, lines);
        QPlainTextEdit oneByOne;
        for (const QByteArray &line : lines)
            oneByOne.appendPlainText(QString::fromLatin1(line));

        QPlainTextEdit view;
        QLabel status;
        LogAndStatus log(&view, &status);
        for (const QByteArray &line : lines)
            log.appendLine(line);
        QVERIFY(view.document()->isEmpty()); // not shown yet
        QCoreApplication::processEvents();
        QCOMPARE(paragraphs(view), paragraphs(oneByOne));
        QCOMPARE(log.lines(), oneByOne.toPlainText().toLatin1().split('\n'));
    }

    // lines() and status() answer with what was set before it is shown.
    void answersBeforeShowing()
    {
        QPlainTextEdit view;
        QLabel status;
        LogAndStatus log(&view, &status);
        log.appendLine("one");
        log.setStatus("Tag Selected");
        QCOMPARE(log.status(), QByteArray("Tag Selected"));
        QVERIFY(status.text().isEmpty());
        QCOMPARE(log.lines(), (QByteArrayList{"one"}));
        QCoreApplication::processEvents();
        QCOMPARE(status.text(), QStringLiteral("Tag Selected"));

        log.appendLine("two");
        log.clearLog();
        QCOMPARE(log.lines(), QByteArrayList{});
        QCoreApplication::processEvents();
        QVERIFY(view.document()->isEmpty());
    }
};

QTEST_MAIN(TestLogAndStatus)
#include "tst_logandstatus.moc"
