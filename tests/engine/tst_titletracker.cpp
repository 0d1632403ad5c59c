// The title tracker's reading of libVLC's events: which moves of a disc end the title.
#include "engine/TitleTracker.h"

#include <QTest>

namespace {
using Phase = TitleTracker::Phase;

// Events as letters: o open, p playing, m<n> menu n, t<n> title n, e end of input, x error,
// s stopped, r play on after an end, c<n> title n chosen by the user.
Phase replay(const QString& events, TitleTracker& tracker) {
    for (const QString& event : events.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QChar kind = event[0];
        const int number = event.mid(1).toInt();
        if (kind == 'o')
            tracker.open();
        else if (kind == 'p')
            tracker.playing();
        else if (kind == 'm')
            tracker.titleChanged(number, true);
        else if (kind == 't')
            tracker.titleChanged(number, false);
        else if (kind == 'e')
            tracker.endReached();
        else if (kind == 'x')
            tracker.error();
        else if (kind == 's')
            tracker.stopped();
        else if (kind == 'r')
            tracker.playOn();
        else if (kind == 'c')
            tracker.titleChosen(number);
    }
    return tracker.phase();
}
} // namespace

class TestTitleTracker : public QObject {
    Q_OBJECT
private slots:
    void discMoves_data() {
        QTest::addColumn<QString>("events");
        QTest::addColumn<Phase>("phase");
        QTest::addColumn<int>("endedTitle");
        // libVLC names the first program before it reports playing.
        QTest::newRow("single title plays") << "o t1 p" << Phase::Title << -1;
        QTest::newRow("single title ends") << "o t1 p e" << Phase::Ended << 1;
        QTest::newRow("first-play into the title is no end") << "o m0 p t1" << Phase::Title << -1;
        QTest::newRow("menu loops, chapters repeat the title")
            << "o m0 p m0 m0 t1 t1 t1" << Phase::Title << -1;
        QTest::newRow("title back to the menu ends it") << "o m0 p t1 m0" << Phase::Ended << 1;
        QTest::newRow("title into the next title ends it") << "o t1 p t2" << Phase::Ended << 1;
        QTest::newRow("chain stays ended") << "o t1 p t2 t3" << Phase::Ended << 1;
        QTest::newRow("menu after the end, title chosen") << "o m0 p t1 m0 t1" << Phase::Title << 1;
        QTest::newRow("play on after a chain") << "o t1 p t2 r" << Phase::Title << 1;
        QTest::newRow("play on in the menu after the end") << "o m0 p t1 m0 r" << Phase::Menu << 1;
        QTest::newRow("end of input in the menu after the end")
            << "o m0 p t1 m0 e" << Phase::Ended << 1;
        QTest::newRow("title chosen is no end") << "o t1 p c2 t2" << Phase::Title << -1;
        QTest::newRow("after a chosen title the disc moving on ends it")
            << "o t1 p c2 t2 t3" << Phase::Ended << 2;
        QTest::newRow("a choice the disc did not follow is forgotten")
            << "o t1 p c3 t2 t3" << Phase::Ended << 1;
        QTest::newRow("not a DVD: error while opening") << "o x" << Phase::Failed << -1;
        QTest::newRow("not a DVD: stopped while opening") << "o s" << Phase::Failed << -1;
        QTest::newRow("not a DVD: end while opening") << "o e" << Phase::Failed << -1;
        QTest::newRow("disc removed while playing") << "o t1 p x" << Phase::Failed << -1;
        QTest::newRow("events before open are ignored") << "t1 p e" << Phase::Idle << -1;
        QTest::newRow("open starts afresh") << "o t1 p t2 o" << Phase::Opening << -1;
    }
    void discMoves() {
        QFETCH(QString, events);
        QFETCH(Phase, phase);
        QFETCH(int, endedTitle);
        TitleTracker tracker;
        QCOMPARE(replay(events, tracker), phase);
        QCOMPARE(tracker.endedTitle(), endedTitle);
    }
};

QTEST_APPLESS_MAIN(TestTitleTracker)
#include "tst_titletracker.moc"
