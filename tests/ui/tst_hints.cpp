// The hint line: pointer moves over the buttons name them for a few seconds.
#include "MainFormHarness.h"

#include "ui/GlyphButton.h"
#include "ui/ProgressBar.h"
#include "ui/VolumeSlider.h"

#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <vector>

namespace {
void movePointerOver(QWidget* w) {
    QMouseEvent move(QEvent::MouseMove, QPointF(3, 3), w->mapToGlobal(QPointF(3, 3)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &move);
}
} // namespace

class TestHints : public QObject {
    Q_OBJECT
private slots:
    void eachButtonShowsItsName();
    void aRunningHideTimerIsNotRestarted();
    void disabledButtonsShowNothing();
    void packTextIsLookedUpEachTime();
    void hintIsDrawnInsideTheVisibleBand_data();
    void hintIsDrawnInsideTheVisibleBand();
    void accessibleNamesFollowTheLanguage();
};

void TestHints::eachButtonShowsItsName() {
    MainFormHarness h;
    MainForm& f = h.start();
    h.openMovie();
    const QList<QPair<QWidget*, QString>> expected{
        {probe(f).snapshotButton, "Single Snapshot"},
        {probe(f).continuousSnapshotsButton, "Continuous Snapshots"},
        {probe(f).timedSnapshotsButton, "Timed Snapshots"},
        {probe(f).fullScreenButton, "Full Screen"},
        {probe(f).rewindButton, "Rewind"},
        {probe(f).playButton, "Play"},
        {probe(f).pauseButton, "Pause"},
        {probe(f).stopButton, "Stop"},
        {probe(f).ffButton, "Fast Forward"},
        {probe(f).muteStatus, "Mute"}};
    for (const auto& [button, text] : expected) {
        movePointerOver(button);
        QCOMPARE(probe(f).toolTips->text(), text);
    }
    f.toolTipTimer_Timer();
    QCOMPARE(probe(f).toolTips->text(), QString());
    QVERIFY(!probe(f).toolTipTimer->isActive());
}

void TestHints::aRunningHideTimerIsNotRestarted() {
    MainFormHarness h;
    MainForm& f = h.start();
    h.openMovie();
    f.toolTipTimer_Timer();
    movePointerOver(probe(f).playButton);
    QVERIFY(probe(f).toolTipTimer->isActive());
    QTest::qWait(300);
    const int left = probe(f).toolTipTimer->remainingTime();
    movePointerOver(probe(f).stopButton);
    QCOMPARE(probe(f).toolTips->text(), QStringLiteral("Stop"));
    QVERIFY(probe(f).toolTipTimer->remainingTime() <= left);
    // The same hint again changes nothing.
    movePointerOver(probe(f).stopButton);
    QVERIFY(probe(f).toolTipTimer->remainingTime() <= left);
}

void TestHints::disabledButtonsShowNothing() {
    MainFormHarness h;
    MainForm& f = h.start();
    f.toolTipTimer_Timer();
    movePointerOver(probe(f).playButton); // disabled at start
    QCOMPARE(probe(f).toolTips->text(), QString());
    QVERIFY(!probe(f).toolTipTimer->isActive());
}

void TestHints::packTextIsLookedUpEachTime() {
    MainFormHarness h;
    MainForm& f = h.start();
    h.openMovie();
    QDir(h.programDir.path()).mkdir(QStringLiteral("Lang"));
    QFile pack(h.programDir.filePath(QStringLiteral("Lang/English.ini")));
    QVERIFY(pack.open(QIODevice::WriteOnly));
    pack.write("[Stillbeck Language Pack]\r\n026=Abspielen\r\n");
    pack.close();
    movePointerOver(probe(f).playButton);
    QCOMPARE(probe(f).toolTips->text(), QStringLiteral("Abspielen"));
    movePointerOver(probe(f).stopButton); // no entry in the pack: the built-in text
    QCOMPARE(probe(f).toolTips->text(), QStringLiteral("Stop"));
}

void TestHints::hintIsDrawnInsideTheVisibleBand_data() {
    QTest::addColumn<QString>("size");
    QTest::newRow("design size") << "design";
    QTest::newRow("larger") << "larger";
    QTest::newRow("maximised") << "maximised";
}

void TestHints::hintIsDrawnInsideTheVisibleBand() {
    QFETCH(QString, size);
    MainFormHarness h;
    MainForm& f = h.start();
    h.openMovie();
    if (size == QLatin1String("maximised")) {
        const QSize screen = f.screen()->availableSize();
        if (screen.width() < f.minimumWidth() || screen.height() < f.minimumHeight())
            QSKIP("The screen is smaller than the window's minimum size");
        f.showMaximized();
    } else {
        if (size == QLatin1String("larger"))
            f.resize(f.width() + 240, f.height() + 160);
        f.show();
    }
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    f.toolTipTimer_Timer();
    const QImage empty = f.grab().toImage();

    movePointerOver(probe(f).playButton);
    QCOMPARE(probe(f).toolTips->text(), QStringLiteral("Play"));
    const QImage hinted = f.grab().toImage();
    QCOMPARE(hinted.size(), empty.size());

    // The part of the hint line that lies inside the client area, in image pixels.
    QWidget* client = probe(f).toolTips->parentWidget();
    const QRect band = probe(f).toolTips->geometry().intersected(client->rect());
    QVERIFY(!band.isEmpty());
    const qreal ratio = hinted.devicePixelRatio();
    const QRect inImage(QPointF(QPointF(client->mapTo(&f, band.topLeft())) * ratio).toPoint(),
                        (QSizeF(band.size()) * ratio).toSize());
    int changed = 0;
    for (int y = inImage.top(); y <= inImage.bottom(); ++y)
        for (int x = inImage.left(); x <= inImage.right(); ++x)
            changed += hinted.pixel(x, y) != empty.pixel(x, y);
    // The four letters leave far more than a few stray pixels.
    QVERIFY2(changed > 40 * ratio * ratio, qPrintable(QString::number(changed)));
}

void TestHints::accessibleNamesFollowTheLanguage() {
    MainFormHarness h;
    MainForm& f = h.start();
    struct Row {
        QWidget* widget;
        const char* english;
        const char* id;
        const char* german;
    };
    const std::vector<Row> rows{
        {probe(f).snapshotButton, "Single Snapshot", "021", "Einzelbild"},
        {probe(f).continuousSnapshotsButton, "Continuous Snapshots", "022", "Fortlaufend"},
        {probe(f).timedSnapshotsButton, "Timed Snapshots", "023", "Zeitgesteuert"},
        {probe(f).fullScreenButton, "Full Screen", "024", "Vollbild"},
        {probe(f).rewindButton, "Rewind", "025", "Zurueck"},
        {probe(f).playButton, "Play", "026", "Abspielen"},
        {probe(f).pauseButton, "Pause", "027", "Anhalten"},
        {probe(f).stopButton, "Stop", "028", "Beenden"},
        {probe(f).ffButton, "Fast Forward", "029", "Vorspulen"},
        {probe(f).muteStatus, "Mute", "030", "Stumm"},
        {probe(f).volumeSlider, "Volume", "032", "Lautstaerke"},
        {probe(f).movieProgress, "Position", "035", "Stelle"},
    };
    QByteArray pack = "[Stillbeck Language Pack]\r\n031=Ton\r\n";
    for (const Row& row : rows) {
        QCOMPARE(row.widget->accessibleName(), QString::fromLatin1(row.english));
        pack += QByteArray(row.id) + '=' + row.german + "\r\n";
    }
    QDir(h.programDir.path()).mkdir(QStringLiteral("Lang"));
    QFile file(h.programDir.filePath(QStringLiteral("Lang/Deutsch.ini")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(pack);
    file.close();
    // What closing the options dialog with another language does.
    Settings::current().languageFile = QStringLiteral("Deutsch.ini");
    f.ApplyCaptions();
    for (const Row& row : rows)
        QCOMPARE(row.widget->accessibleName(), QString::fromLatin1(row.german));
    // The mute button names what a press does, like its hint.
    f.muteStatus_Click();
    QCOMPARE(probe(f).muteStatus->accessibleName(), QStringLiteral("Ton"));
}

QTEST_MAIN(TestHints)
#include "tst_hints.moc"
