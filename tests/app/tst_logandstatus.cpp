#include "windows/LogAndStatus.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
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

    // The pane follows new lines, also after the window was made smaller or larger,
    // but not while the user reads further up.
    void followsNewLinesUnlessScrolledUp()
    {
        QPlainTextEdit view;
        QLabel status;
        LogAndStatus log(&view, &status);
        view.resize(400, 300);
        view.show();
        QScrollBar *bar = view.verticalScrollBar();
        const auto command = [&log](int n) {
            for (int i = 0; i < 3; ++i)
                log.appendLine("TX > FF 00 02 86 " + QByteArray::number(n * 3 + i));
            log.flush();
        };
        for (int n = 0; n < 40; ++n)
            command(n);
        QCOMPARE(bar->value(), bar->maximum());

        for (const QSize size : {QSize(400, 120), QSize(400, 500), QSize(400, 200)}) {
            view.resize(size);
            QCoreApplication::processEvents();
            command(1);
            QCOMPARE(bar->value(), bar->maximum());
        }

        bar->setValue(bar->maximum() / 2);
        const int reading = bar->value();
        view.resize(400, 150);
        QCoreApplication::processEvents();
        command(2);
        QCOMPARE(bar->value(), reading);
    }
};

QTEST_MAIN(TestLogAndStatus)
#include "tst_logandstatus.moc"
