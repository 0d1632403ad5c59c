#include "capture/CaptureInterval.h"

#include <QLocale>
#include <QTest>

#include <limits>

class CaptureIntervalTest : public QObject {
    Q_OBJECT
private slots:
    void validity_data();
    void validity();
    void validityIgnoresLocale();
    void conversion_data();
    void conversion();
    void clamp_data();
    void clamp();
};

void CaptureIntervalTest::validity_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");

    QTest::newRow("typical") << "5000" << true;
    QTest::newRow("lowest") << "1000" << true;
    QTest::newRow("highest") << "60000" << true;
    QTest::newRow("fraction") << "1500.5" << true;
    QTest::newRow("fraction below highest") << "59999.75" << true;
    QTest::newRow("15 significant digits") << "1234.56789012345" << true;

    QTest::newRow("empty") << "" << false;
    QTest::newRow("letters") << "abc" << false;
    QTest::newRow("leading zero") << "05000" << false;
    QTest::newRow("blank before") << " 5000" << false;
    QTest::newRow("blank after") << "5000 " << false;
    QTest::newRow("tab before") << "\t5000" << false;
    QTest::newRow("blank inside") << "50 00" << false;
    QTest::newRow("thousands separator") << "5,000" << false;
    QTest::newRow("exponent") << "5e3" << false;
    QTest::newRow("exponent with fraction") << "1.5E3" << false;
    QTest::newRow("trailing zero after point") << "5000.0" << false;
    QTest::newRow("trailing zero in fraction") << "1500.50" << false;
    QTest::newRow("bare point") << "5000." << false;
    QTest::newRow("plus sign") << "+5000" << false;
    QTest::newRow("minus sign") << "-5000" << false;
    QTest::newRow("trailing letters") << "5000abc" << false;
    QTest::newRow("just below lowest") << "999" << false;
    QTest::newRow("fraction below lowest") << "999.5" << false;
    QTest::newRow("just above highest") << "60001" << false;
    QTest::newRow("fraction above highest") << "60000.5" << false;
    QTest::newRow("16 significant digits") << "1234.567890123456" << false;
    QTest::newRow("comma as point") << "1500,5" << false;
    QTest::newRow("full-width digits") << QStringLiteral("\uFF15\uFF10\uFF10\uFF10") << false;
    QTest::newRow("huge exponent") << "1e400" << false;
}

void CaptureIntervalTest::validity() {
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QCOMPARE(CaptureIntervalValid(text), valid);
}

void CaptureIntervalTest::validityIgnoresLocale() {
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

void CaptureIntervalTest::conversion_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint32>("ms");

    QTest::newRow("whole") << "5000" << 5000;
    QTest::newRow("half to even below") << "2500.5" << 2500;
    QTest::newRow("half to even, also below") << "1500.5" << 1500;
    QTest::newRow("half to even above") << "1501.5" << 1502;
    QTest::newRow("odd half up") << "2499.5" << 2500;
    QTest::newRow("quarter down") << "1000.25" << 1000;
    QTest::newRow("three quarters up") << "1000.75" << 1001;
    QTest::newRow("just over half") << "1500.5000001" << 1501;
    QTest::newRow("negative half to even") << "-2.5" << -2;
    QTest::newRow("no number") << "abc" << 0;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("blanks skipped") << " 2 500" << 2500;
    QTest::newRow("stops at letters") << "5000ms" << 5000;
    QTest::newRow("stops at second point") << "13.5.3" << 14;
    QTest::newRow("exponent") << "1.5e3" << 1500;
    QTest::newRow("exponent letter without digits") << "1500e" << 1500;
    QTest::newRow("saturates high") << "1e400" << std::numeric_limits<qint32>::max();
    QTest::newRow("saturates low") << "-99999999999" << std::numeric_limits<qint32>::min();
}

void CaptureIntervalTest::conversion() {
    QFETCH(QString, text);
    QFETCH(qint32, ms);
    QCOMPARE(intervalFromText(text), ms);
}

void CaptureIntervalTest::clamp_data() {
    QTest::addColumn<qint32>("in");
    QTest::addColumn<qint32>("out");

    QTest::newRow("zero") << 0 << 1000;
    QTest::newRow("negative") << -5 << 1000;
    QTest::newRow("just below") << 999 << 1000;
    QTest::newRow("lowest") << 1000 << 1000;
    QTest::newRow("inside") << 5000 << 5000;
    QTest::newRow("highest") << 60000 << 60000;
    QTest::newRow("just above") << 60001 << 60000;
    QTest::newRow("above the timer's limit") << 70000 << 60000;
    QTest::newRow("largest") << std::numeric_limits<qint32>::max() << 60000;
    QTest::newRow("smallest") << std::numeric_limits<qint32>::min() << 1000;
}

void CaptureIntervalTest::clamp() {
    QFETCH(qint32, in);
    QFETCH(qint32, out);
    QCOMPARE(clampInterval(in), out);
}

QTEST_APPLESS_MAIN(CaptureIntervalTest)
#include "tst_captureinterval.moc"
