// The export's progress window and the times it shows: the figures of a progress report, and
// the ways of asking a running export to stop.
#include "ui/DurationText.h"
#include "ui/ExportProgressWindow.h"

#include "settings/Settings.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <limits>

class ExportProgressTest : public QObject {
    Q_OBJECT
private slots:
    void init() { Settings::current() = Settings::defaults(); }

    void timesAsListedAndLeft_data() {
        QTest::addColumn<qint64>("ms");
        QTest::addColumn<QString>("length");
        QTest::addColumn<QString>("left");
        QTest::newRow("unknown") << qint64(-1) << "0:00:00"
                                 << "-";
        QTest::newRow("nothing") << qint64(0) << "0:00:00"
                                 << "0:00";
        QTest::newRow("part of a second left counts whole") << qint64(400) << "0:00:00"
                                                            << "0:01";
        QTest::newRow("just short of a minute") << qint64(59'999) << "0:00:59"
                                                << "1:00";
        QTest::newRow("a minute and a second") << qint64(61'000) << "0:01:01"
                                               << "1:01";
        QTest::newRow("last second below the hour") << qint64(3'599'000) << "0:59:59"
                                                    << "59:59";
        QTest::newRow("left rounds up into the hour") << qint64(3'599'500) << "0:59:59"
                                                      << "1:00:00";
        QTest::newRow("over an hour") << qint64(3'725'000) << "1:02:05"
                                      << "1:02:05";
        QTest::newRow("ten hours") << qint64(36'000'000) << "10:00:00"
                                   << "10:00:00";
    }
    void timesAsListedAndLeft() {
        QFETCH(qint64, ms);
        QFETCH(QString, length);
        QFETCH(QString, left);
        QCOMPARE(lengthText(ms), length);
        QCOMPARE(timeLeftText(ms), left);
    }

    void figuresOfAReport_data() {
        QTest::addColumn<double>("share");
        QTest::addColumn<qint64>("msLeft");
        QTest::addColumn<int>("bar");
        QTest::addColumn<QString>("percent");
        QTest::addColumn<QString>("left");
        QTest::newRow("a third done") << 0.37 << qint64(754'000) << 370 << "37%"
                                      << "12:34";
        QTest::newRow("not quite done is not 100%") << 0.9996 << qint64(200) << 1000 << "99%"
                                                    << "0:01";
        QTest::newRow("done") << 1.0 << qint64(0) << 1000 << "100%"
                              << "0:00";
        QTest::newRow("time left unknown") << 0.0 << qint64(-1) << 0 << "0%"
                                           << "-";
        QTest::newRow("a share past the end is held at it") << 1.7 << qint64(-1) << 1000 << "100%"
                                                            << "-";
        QTest::newRow("a negative share is held at 0") << -0.2 << qint64(-1) << 0 << "0%"
                                                       << "-";
        QTest::newRow("no number at all")
            << std::numeric_limits<double>::quiet_NaN() << qint64(-1) << 0 << "0%"
            << "-";
    }
    void figuresOfAReport() {
        QFETCH(double, share);
        QFETCH(qint64, msLeft);
        QFETCH(int, bar);
        QFETCH(QString, percent);
        QFETCH(QString, left);
        ExportProgressWindow w(2);
        QCOMPARE(w.timeLeft->text(), QStringLiteral("-"));
        w.showProgress(ExportProgress{share, 1234, msLeft});
        QCOMPARE(w.shareBar->value(), bar);
        QCOMPARE(w.sharePercent->text(), percent);
        QCOMPARE(w.imagesWritten->text(), QStringLiteral("1234"));
        QCOMPARE(w.timeLeft->text(), left);
    }

    // The button, Esc and the close control all ask once; the window stays, saying it is
    // stopping, until the export has ended.
    void stoppingIsAskedOnceAndShown_data() {
        QTest::addColumn<QString>("way");
        QTest::newRow("Cancel button") << "button";
        QTest::newRow("Esc") << "escape";
        QTest::newRow("close control") << "close";
    }
    void stoppingIsAskedOnceAndShown() {
        QFETCH(QString, way);
        ExportProgressWindow w(2);
        QCOMPARE(w.windowTitle(), QStringLiteral("Exporting Title 2"));
        QSignalSpy cancel(&w, &ExportProgressWindow::cancelRequested);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const auto ask = [&] {
            if (way == u"button")
                QTest::mouseClick(w.CancelButton, Qt::LeftButton);
            else if (way == u"escape")
                QTest::keyClick(&w, Qt::Key_Escape);
            else
                w.close();
        };
        ask();
        QCOMPARE(cancel.count(), 1);
        QVERIFY(w.isVisible());
        QVERIFY(w.stopping());
        QVERIFY(!w.CancelButton->isEnabled());
        QCOMPARE(w.stateLabel->text(), QStringLiteral("Stopping..."));
        ask();
        QCOMPARE(cancel.count(), 1);

        w.finish();
        QVERIFY(!w.isVisible());
        QCOMPARE(cancel.count(), 1);
    }

    // An export that ends on its own closes the window without a request to stop.
    void finishClosesWithoutAsking() {
        ExportProgressWindow w(1);
        QSignalSpy cancel(&w, &ExportProgressWindow::cancelRequested);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.finish();
        QVERIFY(!w.isVisible());
        QCOMPARE(cancel.count(), 0);
    }
};

QTEST_MAIN(ExportProgressTest)
#include "tst_exportprogress.moc"
