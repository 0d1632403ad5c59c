#include "platform/ErrorLog.h"
#include "platform/ProgramFolder.h"
#include "support/TestFiles.h"

#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString today() {
    return QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat);
}

} // namespace

// The error log of failed lookups, and the log of the layout numbers.
class TestErrorLog : public QObject {
    Q_OBJECT

    QTemporaryDir folder;
    QString log;

private slots:
    void init() {
        QVERIFY(folder.isValid());
        platform::setProgramFolder(folder.path());
        // A user folder that cannot be made (below a plain file): a program folder that cannot
        // be written then leaves the logs nowhere to go.
        QVERIFY(writeFile(folder.filePath(QStringLiteral("plain")), {}));
        platform::setUserFolder(folder.filePath(QStringLiteral("plain/config")));
        log = folder.filePath(QStringLiteral("errorlog.txt"));
        QFile::remove(log);
        QFile::remove(folder.filePath(QStringLiteral("logerror.txt")));
    }

    void recordsAreAppendedUnescaped() {
        const QString dayBefore = today();
        const QString first = QStringLiteral("Error Description: a \"quoted\", text, Error "
                                             "Number: 5, Method: SetCaptionfromINI");
        WriteErrorLog(first);
        const QByteArray afterFirst = readFile(log);
        WriteErrorLog(QStringLiteral("second, \"one\""));
        const QString dayAfter = today();
        const QByteArray all = readFile(log);

        // The second record follows the first one's final CR LF directly.
        QVERIFY(all.startsWith(afterFirst));
        static const QRegularExpression record(
            QStringLiteral("\\A\"\r\nDate: ([^\r\n]*)\",\"Time: ([^\r\n]*)\",\"(.*)\"\r\n\\z"),
            QRegularExpression::DotMatchesEverythingOption);
        const auto one = record.match(QString::fromLocal8Bit(afterFirst));
        QVERIFY2(one.hasMatch(), afterFirst.constData());
        QCOMPARE(one.captured(3), first);
        QVERIFY(one.captured(1) == dayBefore || one.captured(1) == dayAfter);
        // The local time as the long format shows it, but no zone name ("UTC", "CET").
        const QString time = one.captured(2);
        QVERIFY(!time.isEmpty());
        const QString zone = QDateTime::currentDateTime().timeZoneAbbreviation();
        QVERIFY2(zone.isEmpty() || !time.contains(zone), qPrintable(time));
        QVERIFY2(!time.endsWith(u' ') && !time.contains(QStringLiteral("  ")), qPrintable(time));

        const auto two = record.match(QString::fromLocal8Bit(all.mid(afterFirst.size())));
        QVERIFY2(two.hasMatch(), all.constData());
        QCOMPARE(two.captured(3), QStringLiteral("second, \"one\""));
    }

    void number_data() {
        QTest::addColumn<float>("value");
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("expected");
        const QLocale english(QLocale::English, QLocale::UnitedStates);
        const QLocale german(QLocale::German, QLocale::Germany);
        QTest::newRow("fraction") << 60.5f << english << " 60.5 ";
        QTest::newRow("whole, no group separator") << 4829.0f << english << " 4829 ";
        QTest::newRow("negative") << -3.25f << english << "-3.25 ";
        QTest::newRow("negative zero") << -0.0f << english << " 0 ";
        QTest::newRow("single precision noise hidden") << 0.1f << english << " 0.1 ";
        QTest::newRow("rounded to seven digits") << 1234567.8f << english << " 1234568 ";
        QTest::newRow("decimal comma") << -3.25f << german << "-3,25 ";
        QTest::newRow("whole, no German group separator") << 4829.0f << german << " 4829 ";
    }
    void number() {
        QFETCH(float, value);
        QFETCH(QLocale, locale);
        QFETCH(QString, expected);
        QCOMPARE(layoutLogNumber(value, locale), expected);
    }

    void fourLinesPerRecord() {
        const QString log = folder.filePath(QStringLiteral("logerror.txt"));
        QVERIFY(writeLayoutLog(60.5f, 0.0f, 4829.0f, -3.25f));
        QVERIFY(writeLayoutLog(1.0f, 2.0f, 3.0f, 4.0f));
        const QStringList values{"60.5", "0", "4829", "3.25", "1", "2", "3", "4"};
        QByteArray expected;
        for (const QString& v : values) {
            const QString local = QString(v).replace(u'.', QLocale::system().decimalPoint());
            expected += (v == "3.25" ? "-" : " ") + local.toLocal8Bit() + " \r\n";
        }
        QCOMPARE(readFile(log), expected);
    }

    void unwritableLogReportsFailure() {
        platform::setProgramFolder(folder.filePath(QStringLiteral("missing")));
        QVERIFY(!writeLayoutLog(1, 2, 3, 4));
        platform::setProgramFolder(folder.path());
        QVERIFY(QDir(folder.path()).mkpath(QStringLiteral("logerror.txt")));
        QVERIFY(!writeLayoutLog(1, 2, 3, 4));
        QVERIFY(QDir(folder.filePath(QStringLiteral("logerror.txt"))).removeRecursively());
    }
};

QTEST_GUILESS_MAIN(TestErrorLog)
#include "tst_errorlog.moc"
