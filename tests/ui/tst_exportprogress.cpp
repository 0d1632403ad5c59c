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

    void timeLeft_data() {
        QTest::addColumn<qint64>("ms");
        QTest::addColumn<QString>("left");
        QTest::newRow("unknown") << qint64(-1) << "-";
        QTest::newRow("part of a second left counts whole") << qint64(400) << "0:01";
        QTest::newRow("just short of a minute") << qint64(59'999) << "1:00";
        QTest::newRow("rounds up into the hour") << qint64(3'599'500) << "1:00:00";
        QTest::newRow("ten hours and more") << qint64(36'125'000) << "10:02:05";
    }
    void timeLeft() {
        QFETCH(qint64, ms);
        QFETCH(QString, left);
        QCOMPARE(timeLeftText(ms), left);
    }

    void figuresOfAReport_data() {
        QTest::addColumn<double>("share");
        QTest::addColumn<int>("bar");
        QTest::addColumn<QString>("percent");
        // clang-format off
        QTest::newRow("a third done") << 0.37 << 370 << "37%";
        QTest::newRow("not quite done is not 100%") << 0.9996 << 1000 << "99%";
        QTest::newRow("past the end is held at it") << 1.7 << 1000 << "100%";
        QTest::newRow("no number at all") << std::numeric_limits<double>::quiet_NaN() << 0 << "0%";
        // clang-format on
    }
    void figuresOfAReport() {
        QFETCH(double, share);
        QFETCH(int, bar);
        QFETCH(QString, percent);
        ExportProgressWindow w(2);
        w.showProgress(ExportProgress{share, 1234, 754'000});
        QCOMPARE((QStringList{QString::number(w.shareBar->value()), w.sharePercent->text(),
                              w.imagesWritten->text(), w.timeLeft->text()}),
                 (QStringList{QString::number(bar), percent, "1234", "12:34"}));
    }

    // The button, Esc and the close control each ask once; the window stays, saying it is
    // stopping, until the export has ended.
    void stoppingIsAskedOnceAndShown_data() {
        QTest::addColumn<int>("way");
        QTest::newRow("Cancel button") << 0;
        QTest::newRow("Esc") << 1;
        QTest::newRow("close control") << 2;
    }
    void stoppingIsAskedOnceAndShown() {
        QFETCH(int, way);
        ExportProgressWindow w(2);
        QSignalSpy cancel(&w, &ExportProgressWindow::cancelRequested);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        for (int i = 0; i < 2; ++i) {
            if (way == 0)
                QTest::mouseClick(w.CancelButton, Qt::LeftButton);
            else if (way == 1)
                QTest::keyClick(&w, Qt::Key_Escape);
            else
                w.close();
        }
        QCOMPARE(cancel.count(), 1);
        QVERIFY(w.isVisible() && !w.CancelButton->isEnabled());
        QCOMPARE(w.stateLabel->text(), QStringLiteral("Stopping..."));
        w.finish();
        QVERIFY(!w.isVisible());
        QCOMPARE(cancel.count(), 1);
    }
};

QTEST_MAIN(ExportProgressTest)
#include "tst_exportprogress.moc"
