// Picking the exact picture on the discs whose frames carry their number: frame steps both ways
// (within and beyond the history) against a reference decode, the last seconds as a series,
// titles and chapters, audio and subtitle tracks, and seeks that land where they were asked to.
#include "EngineFixture.h"
#include "Fixtures.h"
#include "FrameCode.h"
#include "ReferenceDecode.h"
#include "capture/SnapshotWriter.h"
#include "engine/FrameStore.h"
#include "engine/VlcEngine.h"

#include <QDir>
#include <QMap>
#include <QtTest>

class TestPickingE2E : public QObject, private EngineFixture {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY2(missingDisc().isEmpty(), qPrintable(missingDisc())); }
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    // Each saved still is the frame a reference decode gives at the index the steps reach; a
    // frame seen again is the identical picture.
    void stepsSaveTheReferenceFrames() {
        const int start = pauseInTitleOne(kInChapterTwo);
        // Forward (decoding), back within the history, forward through it again, back beyond
        // it (a seek back and steps forward), forward from there.
        const int moves[] = {+5, -3, +3, -60, +1};
        int expected = start;
        QMap<int, QImage> seen;
        for (const int move : moves) {
            for (int i = 0; i < std::abs(move); ++i) {
                expected += move > 0 ? 1 : -1;
                move > 0 ? engine_->stepForward() : engine_->stepBackward();
                QTRY_COMPARE_WITH_TIMEOUT(shownCode(), expected, 10000);
            }
            QVERIFY(!engine_->seekingBack());
            const QImage still = snapshot();
            QCOMPARE(frameCodeOf(still), expected);
            const QImage reference = referenceFrame(titleOneVob(), expected, still.size());
            QVERIFY(!reference.isNull());
            const double difference = meanAbsDifference(still, reference);
            QVERIFY2(difference < kOneFrameTolerance,
                     qPrintable(QStringLiteral("frame %1 differs by %2 from the reference")
                                    .arg(expected)
                                    .arg(difference)));
            if (seen.contains(expected))
                QVERIFY2(seen[expected] == still, "the same frame came back other than it was");
            seen.insert(expected, still);
        }
        QVERIFY(!engine_->playing());
    }

    // The history written as a numbered series: every kept frame once, complete, in order.
    void lastSecondsBecomeANumberedSeries() {
        const int start = pauseInTitleOne(kInChapterTwo);
        const int kept = engine_->frameStore()->historyLength();
        QCOMPARE(kept, 51); // two seconds at 25 fps, both ends included
        engine_->keepRecentFrames();
        QVERIFY(assembly_->writer().waitForIdle(30000));
        const QStringList files = QDir(folder()).entryList(QDir::Files, QDir::Name);
        QCOMPARE(files.size(), kept);
        for (int i = 0; i < files.size(); ++i) {
            QCOMPARE(files[i], QStringLiteral("IMG_%1.png").arg(i + 1, 5, 10, QLatin1Char('0')));
            const QImage still(QDir(folder()).filePath(files[i]));
            QCOMPARE(still.size(), QSize(768, 576));
            QCOMPARE(frameCodeOf(still), start - kept + 1 + i);
        }
    }

    // Every title with its length; choosing title 2 plays it as a title (no end between, so a
    // capture goes on), and the next chapter starts at the chapter's first frame.
    void titlesAndChaptersAreChosen() {
        startSteps();
        QList<qint64> lengths;
        for (const TitleEntry& title : engine_->titles())
            if (!title.menu)
                lengths.append(title.lengthMs);
        QCOMPARE(lengths, (QList<qint64>{12000, 6000}));
        QCOMPARE(engine_->chapters().size(), 3);
        QTRY_VERIFY_WITH_TIMEOUT(shownCode() >= 60, kStartMs);

        engine_->setTitle(2);
        QTRY_COMPARE_WITH_TIMEOUT(engine_->currentTitle(), 2, kStartMs);
        // Title 2's frames are numbered from 0 again.
        bool neverEnded = true;
        QVERIFY(QTest::qWaitFor(
            [&] {
                neverEnded = neverEnded && engine_->phase() == TitleTracker::Phase::Title &&
                             engine_->position() < 1.0f;
                return engine_->length() == 6 && shownCode() >= 0 && shownCode() < 50;
            },
            kStartMs));
        QVERIFY(neverEnded);
        QCOMPARE(engine_->chapters().size(), 2);

        engine_->nextChapter();
        QTRY_COMPARE_WITH_TIMEOUT(engine_->currentChapter(), 1, kStartMs);
        QTRY_VERIFY_WITH_TIMEOUT(shownCode() >= 75 && shownCode() < 75 + 25, kStartMs);
        QCOMPARE(engine_->phase(), TitleTracker::Phase::Title);
    }

    // Both audio tracks and the subtitle stream with their languages; a still holds the
    // subtitle exactly while it is on.
    void tracksAndSubtitlesAreChosen() {
        startSteps();
        const QList<TrackEntry> audio = engine_->audioTracks();
        QCOMPARE(audio.size(), 2);
        QVERIFY2(audio[0].name.contains("English") && audio[1].name.contains("German"),
                 qPrintable(audio[0].name + " / " + audio[1].name));
        engine_->setAudioTrack(audio[1].id);
        QCOMPARE(engine_->audioTrack(), audio[1].id);

        const QList<TrackEntry> subtitles = engine_->subtitleTracks();
        QCOMPARE(subtitles.size(), 1);
        QVERIFY(!subtitleShown(engine_->frameStore()->latest()->image()));
        engine_->setSubtitleTrack(subtitles[0].id);
        QCOMPARE(engine_->subtitleTrack(), subtitles[0].id);
        QTRY_VERIFY_WITH_TIMEOUT(subtitleShown(engine_->frameStore()->latest()->image()), 4000);
        engine_->pause();
        QTRY_VERIFY(!engine_->playing());
        QVERIFY(subtitleShown(snapshot()));

        engine_->setSubtitleTrack(MediaEngine::kTrackOff);
        engine_->play();
        QTRY_VERIFY_WITH_TIMEOUT(!subtitleShown(engine_->frameStore()->latest()->image()), 4000);
        QVERIFY_THROWS_EXCEPTION(EngineError, engine_->setAudioTrack(12345));
    }

    // One click, one second: from anywhere in the three chapters, playing or paused, a shuttle
    // lands within 0.3 s of a second on, and the time shown agrees with the picture's. libVLC's
    // own time seek missed by up to 0.9 s here, or not at all. At the title's ends it stops
    // there: at the first picture, or at the last group's first (libVLC ends a title before it
    // shows the last pictures one by one), and the title goes on.
    void shuttleMovesOneSecond_data() {
        QTest::addColumn<int>("fromMs");
        QTest::addColumn<int>("seconds");
        QTest::addColumn<bool>("playing");
        QTest::addColumn<int>("toleranceMs");
        const struct {
            int fromMs, seconds;
        } rows[] = {{5000, -1},  {12000, -1}, {15000, +1}, {19000, -1},
                    {19000, +1}, {20400, -1}, {25000, +1}, {10000, +1}};
        for (const auto& row : rows)
            for (const bool playing : {false, true})
                QTest::addRow("%s %+d at %.1f s", playing ? "playing" : "paused", row.seconds,
                              row.fromMs / 1000.0)
                    << row.fromMs << row.seconds << playing << kShuttleToleranceMs;
        QTest::addRow("clamped at the start") << 300 << -1 << false << 0;
        QTest::addRow("clamped at the end") << 29500 << +1 << false << kGroupMs;
    }
    void shuttleMovesOneSecond() {
        QFETCH(int, fromMs);
        QFETCH(int, seconds);
        QFETCH(bool, playing);
        QFETCH(int, toleranceMs);
        startShuttle();
        engine_->pause();
        engine_->setPosition(float(fromMs) / kShuttleLengthMs);
        QTRY_VERIFY_WITH_TIMEOUT(!engine_->seeking(), kSeekMs);
        const int from = shownCode();
        QVERIFY2(std::abs(from * kFrameMs - fromMs) <= kShuttleToleranceMs,
                 qPrintable(QStringLiteral("the bar's seek showed frame %1").arg(from)));
        QVERIFY(agreesWithPicture());
        if (playing) {
            engine_->play();
            QTRY_VERIFY_WITH_TIMEOUT(engine_->playing() && shownCode() > from, kStartMs);
        }
        const int before = shownCode();
        engine_->shuttle(seconds);
        QTRY_VERIFY_WITH_TIMEOUT(!engine_->seeking(), kSeekMs);
        const int landed = shownCode();
        const int target = std::clamp(before + seconds * 25, 0, kShuttleLengthMs / kFrameMs - 1);
        QVERIFY2(std::abs(landed - target) * kFrameMs <= toleranceMs,
                 qPrintable(QStringLiteral("from frame %1 the shuttle showed %2, not about %3")
                                .arg(before)
                                .arg(landed)
                                .arg(target)));
        QCOMPARE(engine_->playing(), playing);
        QCOMPARE(engine_->phase(), TitleTracker::Phase::Title);
        QVERIFY(agreesWithPicture());
        if (playing) {
            QTest::qWait(700); // and goes on agreeing as it plays
            QVERIFY(agreesWithPicture());
        }
    }

    // Clicks that come while a seek is on its way add up: three back are three seconds back.
    void quickShuttlesAddUp() {
        startShuttle();
        engine_->setPosition(20000.0f / kShuttleLengthMs);
        QTRY_VERIFY_WITH_TIMEOUT(!engine_->seeking(), kSeekMs);
        QTRY_VERIFY_WITH_TIMEOUT(engine_->playing() && shownCode() > 500, kStartMs);
        const int before = shownCode();
        for (int i = 0; i < 3; ++i)
            engine_->shuttle(-1);
        QTRY_VERIFY_WITH_TIMEOUT(!engine_->seeking(), kSeekMs);
        const int landed = shownCode();
        QVERIFY2(std::abs(landed - (before - 75)) * kFrameMs <= kShuttleToleranceMs,
                 qPrintable(QStringLiteral("from %1 to %2").arg(before).arg(landed)));
        QVERIFY(engine_->playing());
        QVERIFY(agreesWithPicture());
    }

    // The next and previous chapter start at the chapter's first picture, counted from the
    // picture on show, and the time shown is that picture's.
    void chaptersStartAtTheirFirstPicture() {
        startShuttle();
        engine_->pause();
        engine_->setPosition(12000.0f / kShuttleLengthMs);
        QTRY_VERIFY_WITH_TIMEOUT(!engine_->seeking(), kSeekMs);
        const struct {
            bool next;
            int frame;
        } moves[] = {{true, 495}, {false, 255}, {false, 0}, {true, 255}};
        for (const auto& move : moves) {
            move.next ? engine_->nextChapter() : engine_->previousChapter();
            QTRY_VERIFY_WITH_TIMEOUT(!engine_->seeking(), kSeekMs);
            QCOMPARE(shownCode(), move.frame);
            QVERIFY(agreesWithPicture());
        }
    }

private:
    // A one-frame error on this disc differs by 6 or more; the same frame scaled by another
    // scaler by less than 2.
    static constexpr double kOneFrameTolerance = 3.5;
    // libVLC never shows the last picture before a cell boundary (frames 99 and 199 of title 1,
    // before its chapters): the frames stepped through here stay within chapter 2.
    static constexpr int kInChapterTwo = 160;

    QString folder() const { return snapshots_->filePath("STEPS Images"); }
    static QString titleOneVob() { return fixture("STEPS_DVD/VIDEO_TS/VTS_01_1.VOB"); }

    static constexpr int kShuttleLengthMs = 30000;
    static constexpr int kFrameMs = 40;
    static constexpr int kShuttleToleranceMs = 300;
    static constexpr int kGroupMs = 600; // 15 pictures

    // Plays the shuttle disc for a second: a seek in the title's first moments may be lost (libVLC
    // does not know its place on the disc yet) and show a picture from before it.
    void startShuttle() {
        QVERIFY(QDir().mkpath(folder()));
        engine_->addTarget("dvd://H:", itemOptions(folder()), 2, 0);
        engine_->play();
        QTRY_VERIFY_WITH_TIMEOUT(engine_->playing() && shownCode() >= 25 && engine_->length() > 0,
                                 kStartMs);
    }

    // The time shown (to the millisecond, through the position) is the picture's, give or take
    // the frame on its way while playing.
    bool agreesWithPicture() {
        const int code = shownCode();
        const double shownMs = double(engine_->position()) * kShuttleLengthMs;
        const bool agrees = code >= 0 && std::abs(shownMs - code * kFrameMs) <= 2 * kFrameMs;
        if (!agrees)
            qWarning("the time shown is %.0f ms, the picture's %d ms", shownMs, code * kFrameMs);
        return agrees;
    }

    int shownCode() const {
        const auto frame = engine_->frameStore()->latest();
        return frame ? frameCodeOf(frame->image()) : -1;
    }

    void startSteps() {
        QVERIFY(QDir().mkpath(folder()));
        engine_->addTarget("dvd://S:", itemOptions(folder()), 2, 0);
        engine_->play();
        QTRY_VERIFY_WITH_TIMEOUT(engine_->playing() && shownCode() >= 0 && engine_->length() > 0,
                                 kStartMs);
    }

    // Plays title 1 past frame `from` and pauses; the frame on show then.
    int pauseInTitleOne(int from) {
        startSteps();
        if (!QTest::qWaitFor([&] { return shownCode() >= from; }, kStartMs + 8000))
            return -1;
        engine_->pause();
        QTest::qWait(300); // the last pictures on their way arrive
        return shownCode();
    }

    // Takes a snapshot of the frame on show and reads it back.
    QImage snapshot() {
        const QStringList before = QDir(folder()).entryList(QDir::Files);
        pressSnapshot();
        if (!assembly_->writer().waitForIdle(10000))
            return {};
        QStringList after = QDir(folder()).entryList(QDir::Files, QDir::Name);
        for (const QString& name : before)
            after.removeAll(name);
        return after.size() == 1 ? QImage(QDir(folder()).filePath(after[0])) : QImage();
    }

    // The subtitle is a yellow box at 210,476 (300x60) of the 720x576 picture.
    static bool subtitleShown(const QImage& picture) {
        if (picture.isNull())
            return false;
        const QRgb centre = picture.pixel(360 * picture.width() / 720, 506);
        return qRed(centre) > 200 && qGreen(centre) > 200 && qBlue(centre) < 80;
    }
};

QTEST_MAIN(TestPickingE2E)
#include "tst_picking_e2e.moc"
