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
        QTest::addColumn<QString>("status");
        QTest::addColumn<QStringList>("lines");

        const QStringList all = {
            QStringLiteral("*You wont be able to program Page 7 again"),
            QStringLiteral("*You wont be able to program Page 6 again"),
            QStringLiteral("*You wont be able to program Page 5 again"),
            QStringLiteral("*You wont be able to program Page 4 again"),
            QStringLiteral("*You wont be able to program OTP again"),
            QStringLiteral("*You wont be able to change lock settings of Page 15 - Page 10 again"),
            QStringLiteral("*You wont be able to change lock settings of Page 9- Page 4 again"),
            QStringLiteral("*You wont be able to change lock settings of OTP again"),
            QStringLiteral("*You wont be able to program Page 15 again"),
            QStringLiteral("*You wont be able to program Page 14 again"),
            QStringLiteral("*You wont be able to program Page 13 again"),
            QStringLiteral("*You wont be able to program Page 12 again"),
            QStringLiteral("*You wont be able to program Page 11 again"),
            QStringLiteral("*You wont be able to program Page 10 again"),
            QStringLiteral("*You wont be able to program Page 9 again"),
            QStringLiteral("*You wont be able to program Page 8 again"),
        };
        QTest::newRow("00 00") << 0x00 << 0x00 << QStringLiteral("ok") << QStringList();
        QTest::newRow("FF FF") << 0xFF << 0xFF << QStringLiteral("warn") << all;
        QTest::newRow("10 80") << 0x10 << 0x80 << QStringLiteral("warn") << QStringList{all.at(3), all.at(8)};
        QTest::newRow("07 00") << 0x07 << 0x00 << QStringLiteral("warn") << all.mid(5, 3);
        QTest::newRow("00 01") << 0x00 << 0x01 << QStringLiteral("warn") << QStringList{all.at(15)};
        QTest::newRow("08 40") << 0x08 << 0x40 << QStringLiteral("warn") << QStringList{all.at(4), all.at(9)};
    }

    void warnings()
    {
        QFETCH(int, lock0);
        QFETCH(int, lock1);
        QFETCH(QString, status);
        QFETCH(QStringList, lines);
        const WarningCheck check = UltralightLockWarnings(quint8(lock0), quint8(lock1));
        QCOMPARE(check.status, status);
        QCOMPARE(check.warnings, lines.isEmpty() ? QString() : lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
    }
};

QTEST_APPLESS_MAIN(TestLockWarnings)
#include "tst_lockwarnings.moc"
