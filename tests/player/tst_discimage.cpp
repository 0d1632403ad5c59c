// What a path picked for the File menu's image/folder entry opens, and the label its snapshots
// are filed under.
#include "player/DiscImage.h"
#include "support/TestFiles.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

class TestDiscImage : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QVERIFY(root_.isValid());
        QDir dir(root_.path());
        QVERIFY(dir.mkpath(QStringLiteral("My Film/VIDEO_TS")));
        QVERIFY(writeFile(dir.filePath(QStringLiteral("My Film/VIDEO_TS/VIDEO_TS.IFO")), "IFO"));
        QVERIFY(dir.mkpath(QStringLiteral("rip/video_ts")));
        QVERIFY(dir.mkpath(QStringLiteral("Holiday")));
        QVERIFY(writeFile(dir.filePath(QStringLiteral("notes.iso")), "not a disc\n"));
        // Images with and without a volume label.
        const QString genisoimage = QStandardPaths::findExecutable(QStringLiteral("genisoimage"));
        QVERIFY2(!genisoimage.isEmpty(), "genisoimage is not installed");
        for (const auto& [name, label] : {std::pair{"movie.iso", "MOVIE"}, {"blank.iso", ""}}) {
            QProcess process;
            process.start(genisoimage, {"-quiet", "-udf", "-V", label, "-o", dir.filePath(name),
                                        dir.filePath(QStringLiteral("Holiday"))});
            QVERIFY(process.waitForFinished(30000) && process.exitCode() == 0);
        }
    }

    void pickedPathOpensTheDiscUnderItsLabel_data() {
        QTest::addColumn<QString>("picked"); // relative to the test folder
        QTest::addColumn<QString>("disc");
        QTest::addColumn<QString>("label");
        QTest::newRow("VIDEO_TS folder") << "My Film/VIDEO_TS"
                                         << "My Film"
                                         << "My Film";
        QTest::newRow("VIDEO_TS folder, trailing separator") << "My Film/VIDEO_TS/"
                                                             << "My Film"
                                                             << "My Film";
        QTest::newRow("VIDEO_TS.IFO in it") << "My Film/VIDEO_TS/VIDEO_TS.IFO"
                                            << "My Film"
                                            << "My Film";
        QTest::newRow("folder holding VIDEO_TS") << "My Film"
                                                 << "My Film"
                                                 << "My Film";
        QTest::newRow("lower-case video_ts") << "rip/video_ts"
                                             << "rip"
                                             << "rip";
        QTest::newRow("any other folder") << "Holiday"
                                          << "Holiday"
                                          << "Holiday";
        QTest::newRow("image: volume label") << "movie.iso"
                                             << "movie.iso"
                                             << "MOVIE";
        QTest::newRow("image without label") << "blank.iso"
                                             << "blank.iso"
                                             << "";
        QTest::newRow("file with no disc in it") << "notes.iso"
                                                 << "notes.iso"
                                                 << "";
    }
    void pickedPathOpensTheDiscUnderItsLabel() {
        QFETCH(QString, picked);
        QFETCH(QString, disc);
        QFETCH(QString, label);
        const QString opened = discPathOf(QDir(root_.path()).filePath(picked));
        QCOMPARE(opened, QDir(root_.path()).filePath(disc));
        QCOMPARE(discLabelOf(opened), label);
    }

    // The engine tells a path from a drive name by its being absolute.
    void aRelativePickBecomesAbsolute() {
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(root_.path()));
        const QString opened = discPathOf(QStringLiteral("My Film/VIDEO_TS"));
        QDir::setCurrent(before);
        QCOMPARE(opened, QDir(root_.path()).filePath(QStringLiteral("My Film")));
    }

private:
    QTemporaryDir root_;
};

QTEST_GUILESS_MAIN(TestDiscImage)
#include "tst_discimage.moc"
