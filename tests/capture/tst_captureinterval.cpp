#include "capture/CaptureInterval.h"

#include <QLocale>
#include <QTest>

#include <limits>

class CaptureIntervalTest : public QObject {
    Q_OBJECT
private slots:
    void validity_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        const auto row = [](const char* text, bool valid) { QTest::newRow(text) << text << valid; };
        // Only the shortest plain form of a number from 1000 to 60000 is valid.
        for (const char* text : {"5000", "1000", "60000", "1500.5", "1234.56789012345"})
            row(text, true);
        for (const char* text :
             {"", "abc", "05000", " 5000", "5000 ", "5,000", "5e3", "5000.0", "5000.", "+5000",
              "5000abc", "999", "999.5", "60001", "1234.567890123456"})
            row(text, false);
        QTest::newRow("full-width digits") << QStringLiteral("\uFF15\uFF10\uFF10\uFF10") << false;
    }
    void validity() {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QCOMPARE(CaptureIntervalValid(text), valid);
    }

    void validityIgnoresLocale() {
        const QLocale saved;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const bool point = CaptureIntervalValid(QStringLiteral("1500.5"));
        const bool comma = CaptureIntervalValid(QStringLiteral("1500,5"));
        const bool separated = CaptureIntervalValid(QStringLiteral("5.000"));
        const qint32 converted = intervalFromText(QStringLiteral("2500.75"));
        QLocale::setDefault(saved);
        QVERIFY(point);
        QVERIFY(!comma);
        QVERIFY(!separated);
        QCOMPARE(converted, 2501);
    }

    void conversion_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint32>("ms");
        const auto row = [](const char* text, qint32 ms) { QTest::newRow(text) << text << ms; };
        row("5000", 5000);
        // Halves go to the even neighbour.
        row("2500.5", 2500);
        row("1500.5", 1500);
        row("1501.5", 1502);
        row("1000.75", 1001);
        row("-2.5", -2);
        row("abc", 0);
        row(" 2 500", 2500); // blanks skipped
        row("5000ms", 5000);
        row("13.5.3", 14);
        row("1.5e3", 1500);
        row("1e400", std::numeric_limits<qint32>::max());
        row("-99999999999", std::numeric_limits<qint32>::min());
    }
    void conversion() {
        QFETCH(QString, text);
        QFETCH(qint32, ms);
        QCOMPARE(intervalFromText(text), ms);
    }
};

QTEST_APPLESS_MAIN(CaptureIntervalTest)
#include "tst_captureinterval.moc"
