#include "ultralight/UltralightLockWarnings.h"

#include <QTest>

class TestLockWarnings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void warnings_data()
    {
        QTest::addColumn<int>("lock0");
        QTest::addColumn<int>("lock1");
        QTest::addColumn<QStringList>("lines");

        // Table order: lock byte 0 bit 7 first, lock byte 1 bit 0 last.
        QStringList all;
        for (const char *what : {"program Page 7", "program Page 6", "program Page 5", "program Page 4", "program OTP",
                                 "change lock settings of Page 15 - Page 10", "change lock settings of Page 9- Page 4",
                                 "change lock settings of OTP", "program Page 15", "program Page 14", "program Page 13",
                                 "program Page 12", "program Page 11", "program Page 10", "program Page 9", "program Page 8"})
            all << QStringLiteral("*You wont be able to %1 again").arg(QLatin1String(what));
        QTest::newRow("00 00") << 0x00 << 0x00 << QStringList();
        QTest::newRow("FF FF") << 0xFF << 0xFF << all;
        QTest::newRow("10 80") << 0x10 << 0x80 << QStringList{all.at(3), all.at(8)};
        QTest::newRow("07 00") << 0x07 << 0x00 << all.mid(5, 3);
        QTest::newRow("08 01") << 0x08 << 0x01 << QStringList{all.at(4), all.at(15)};
    }

    void warnings()
    {
        QFETCH(int, lock0);
        QFETCH(int, lock1);
        QFETCH(QStringList, lines);
        const WarningCheck check = UltralightLockWarnings(quint8(lock0), quint8(lock1));
        QCOMPARE(check.status, lines.isEmpty() ? QStringLiteral("ok") : QStringLiteral("warn"));
        QCOMPARE(check.warnings, lines.isEmpty() ? QString() : lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
    }
};

QTEST_APPLESS_MAIN(TestLockWarnings)
#include "tst_lockwarnings.moc"
