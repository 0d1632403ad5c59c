// The disc's own map of a title's groups of pictures: read alike from an image and a folder,
// exact to the group, and silent (no seek point, no crash) on what is not a readable DVD.
#include "Fixtures.h"
#include "engine/DiscMap.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

namespace {
// steps.iso's groups hold 15 pictures (0.6 s); its chapters start a cell, on a group.
constexpr qint64 kGroupMs = 600;

// A copy of the steps disc's folder whose file `name` keeps only its first `bytes` bytes, or
// holds them in reverse; a table's backup copy (.BUP, which libdvdread reads in its place) alike.
bool damagedCopy(const QString& to, const QString& name, qint64 bytes, bool reversed) {
    const QDir from(fixture("STEPS_DVD/VIDEO_TS"));
    if (!QDir().mkpath(to + "/VIDEO_TS"))
        return false;
    for (const QString& file : from.entryList(QDir::Files)) {
        QFile source(from.filePath(file));
        QFile copy(to + "/VIDEO_TS/" + file);
        if (!source.open(QIODevice::ReadOnly) || !copy.open(QIODevice::WriteOnly))
            return false;
        QByteArray data = source.readAll();
        if (QFileInfo(file).completeBaseName() == QFileInfo(name).completeBaseName() &&
            (file == name || file.endsWith(".BUP"))) {
            data.truncate(bytes);
            if (reversed)
                std::reverse(data.begin(), data.end());
        }
        if (copy.write(data) != data.size())
            return false;
    }
    return true;
}
} // namespace

class TestDiscMap : public QObject {
    Q_OBJECT
private slots:
    // Each seek point is the group at or before the time asked for; the image and the folder
    // give the same one, and later times never give an earlier position.
    void seekPointsAreTheGroupsBeforeTheTime_data() {
        QTest::addColumn<int>("title");
        QTest::addColumn<int>("timeMs");
        QTest::addColumn<int>("groupMs");
        QTest::addColumn<bool>("last");
        QTest::newRow("the start") << 1 << 0 << 0 << false;
        QTest::newRow("in a group") << 1 << 1300 << 1200 << false;
        QTest::newRow("a group's first picture") << 1 << 4600 << 4600 << false;
        QTest::newRow("a chapter's first picture") << 1 << 8000 << 8000 << false;
        QTest::newRow("before a chapter") << 1 << 7990 << 7600 << false;
        QTest::newRow("in the last group") << 1 << 11990 << 11600 << true;
        QTest::newRow("past the end") << 1 << 99000 << 11600 << true;
        QTest::newRow("title 2, chapter 2") << 2 << 3100 << 3000 << false;
    }
    void seekPointsAreTheGroupsBeforeTheTime() {
        QFETCH(int, title);
        QFETCH(int, timeMs);
        QFETCH(int, groupMs);
        QFETCH(bool, last);
        DiscMap image(fixture("steps.iso"));
        DiscMap folder(fixture("STEPS_DVD"));
        const auto point = image.seekPoint(title, timeMs);
        QVERIFY(point);
        QCOMPARE(point->timeMs, qint64(groupMs));
        QCOMPARE(point->last, last);
        QCOMPARE(point->frameRate, 25.0);
        QVERIFY(point->position >= 0 && point->position < 1);
        const auto fromFolder = folder.seekPoint(title, timeMs);
        QVERIFY(fromFolder);
        QCOMPARE(fromFolder->position, point->position);
        QCOMPARE(fromFolder->timeMs, point->timeMs);
        const auto later = image.seekPoint(title, groupMs + kGroupMs);
        QVERIFY(later);
        QVERIFY(last ? later->position == point->position : later->position > point->position);
    }

    // What is not a DVD-Video, a title the disc does not have and damaged tables give no seek
    // point (the engine then seeks as libVLC does).
    void unreadableDiscsGiveNoSeekPoint_data() {
        QTest::addColumn<QString>("damagedFile");
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<bool>("reversed");
        QTest::addColumn<int>("title");
        QTest::newRow("a missing path") << QString() << qint64(-1) << false << 1;
        QTest::newRow("a data disc") << QStringLiteral("notdvd.iso") << qint64(-1) << false << 1;
        QTest::newRow("title 0") << QString() << qint64(0) << false << 0;
        QTest::newRow("title 3 of 2") << QString() << qint64(0) << false << 3;
        QTest::newRow("a truncated title set table")
            << QStringLiteral("VTS_01_0.IFO") << qint64(300) << false << 1;
        QTest::newRow("a scrambled title set table")
            << QStringLiteral("VTS_01_0.IFO") << qint64(1 << 20) << true << 1;
        QTest::newRow("a truncated disc table")
            << QStringLiteral("VIDEO_TS.IFO") << qint64(100) << false << 1;
        QTest::newRow("the pictures cut short")
            << QStringLiteral("VTS_01_1.VOB") << qint64(64 * 2048) << false << 1;
    }
    void unreadableDiscsGiveNoSeekPoint() {
        QFETCH(QString, damagedFile);
        QFETCH(qint64, bytes);
        QFETCH(bool, reversed);
        QFETCH(int, title);
        QTemporaryDir work;
        QString medium = work.filePath("nothing here");
        if (damagedFile.endsWith(".iso")) {
            medium = fixture(damagedFile);
        } else if (bytes >= 0) {
            medium = work.filePath("DISC");
            QVERIFY(damagedCopy(medium, damagedFile, bytes, reversed));
        }
        DiscMap map(medium);
        // Into the third chapter: the groups looked at are beyond the cut in the pictures.
        QVERIFY(!map.seekPoint(title, 9000));
        QVERIFY(!map.seekPoint(title, 9000)); // and again, from what was cached
    }
};

QTEST_MAIN(TestDiscMap)
#include "tst_discmap.moc"
