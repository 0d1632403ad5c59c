#include "playback/DriveEnumerator.h"
#include "support/FakeDriveSource.h"

#include <QTest>

namespace {
const QString insertDvd = QStringLiteral("<Please insert a DVD>");
}

class TestDriveEnumerator : public QObject {
    Q_OBJECT

private slots:
    void labelledDiscInOneOfTwoDrives() {
        FakeDriveSource drives;
        drives.insertDisc("D:", "MOVIE");
        drives.addDrive("E:");
        DriveEnumerator enumerator(drives, [] { return insertDvd; });

        QStringList captions;
        QCOMPARE(enumerator.ListDvdDrives(captions), 2);
        QCOMPARE(captions, QStringList({"MOVIE (D:)", "<Please insert a DVD> (E:)"}));
        QCOMPARE(enumerator.driveRoots.size(), 2);
        QCOMPARE(enumerator.driveRoots[0], QString("D:"));
        QVERIFY(enumerator.driveRoots[1].isEmpty());
    }

    void listingAgainShowsTheDrivesOfThatMoment() {
        FakeDriveSource drives;
        drives.insertDisc("D:", "MOVIE");
        drives.addDrive("E:");
        DriveEnumerator enumerator(drives, [] { return insertDvd; });
        QStringList captions;
        enumerator.ListDvdDrives(captions);

        drives.ejectDisc("D:");
        drives.insertDisc("E:", "HOLIDAY");
        QCOMPARE(enumerator.ListDvdDrives(captions), 2);
        QCOMPARE(captions, QStringList({"<Please insert a DVD> (D:)", "HOLIDAY (E:)"}));
        QCOMPARE(enumerator.driveRoots[1], QString("E:"));
    }

    void callerCaptionsAreReplacedNotExtended() {
        FakeDriveSource drives;
        drives.insertDisc("D:", "MOVIE");
        DriveEnumerator enumerator(drives, [] { return insertDvd; });
        QStringList captions{"OLD (D:)", "OLD (E:)", "OLD (F:)"};
        QCOMPARE(enumerator.ListDvdDrives(captions), 1);
        QCOMPARE(captions, QStringList({"MOVIE (D:)"}));
    }

    void fewerDrivesCutTheRootsOff() {
        FakeDriveSource drives;
        drives.insertDisc("D:", "A");
        drives.insertDisc("E:", "B");
        drives.insertDisc("F:", "C");
        DriveEnumerator enumerator(drives, [] { return insertDvd; });
        QStringList captions;
        QCOMPARE(enumerator.ListDvdDrives(captions), 3);

        drives.removeDrive("E:");
        drives.removeDrive("F:");
        QCOMPARE(enumerator.ListDvdDrives(captions), 1);
        QCOMPARE(captions, QStringList({"A (D:)"}));
        QCOMPARE(enumerator.driveRoots, QStringList({"D:"}));
    }

    void drivesGoingAwayLeaveNoCaptionsAndKeepTheRoots() {
        FakeDriveSource drives;
        drives.insertDisc("D:", "MOVIE");
        drives.insertDisc("E:", "OTHER");
        DriveEnumerator enumerator(drives, [] { return insertDvd; });
        QStringList captions;
        QCOMPARE(enumerator.ListDvdDrives(captions), 2);

        drives.removeDrive("D:");
        drives.removeDrive("E:");
        QCOMPARE(enumerator.ListDvdDrives(captions), 0);
        QVERIFY(captions.isEmpty());
        QCOMPARE(enumerator.driveRoots, QStringList({"D:", "E:"}));
    }

    void noDrivesAtAll() {
        FakeDriveSource drives;
        DriveEnumerator enumerator(drives, [] { return insertDvd; });
        QStringList captions{"stale"};
        QCOMPARE(enumerator.ListDvdDrives(captions), 0);
        QVERIFY(captions.isEmpty());
        QVERIFY(enumerator.driveRoots.isEmpty());
    }

    void discWithoutLabelStartsWithTheBlank() {
        FakeDriveSource drives;
        drives.insertDisc("D:", QString());
        DriveEnumerator enumerator(drives, [] { return insertDvd; });
        QStringList captions;
        QCOMPARE(enumerator.ListDvdDrives(captions), 1);
        QCOMPARE(captions, QStringList({" (D:)"}));
        QCOMPARE(enumerator.driveRoots, QStringList({"D:"}));
        QCOMPARE(DriveEnumerator::labelFromCaption(captions[0]), QString());
    }

    void labelEndsAtItsFirstNul() {
        FakeDriveSource drives;
        drives.insertDisc("D:", QString("MOVIE") + QChar(0) + QString("JUNK"));
        DriveEnumerator enumerator(drives, [] { return insertDvd; });
        QStringList captions;
        enumerator.ListDvdDrives(captions);
        QCOMPARE(captions, QStringList({"MOVIE (D:)"}));
    }

    void insertDvdTextIsLookedUpOnEveryListing() {
        FakeDriveSource drives;
        drives.addDrive("D:");
        QString text = insertDvd;
        DriveEnumerator enumerator(drives, [&text] { return text; });
        QStringList captions;
        enumerator.ListDvdDrives(captions);
        QCOMPARE(captions, QStringList({"<Please insert a DVD> (D:)"}));

        text = QStringLiteral("<Bitte eine DVD einlegen>");
        enumerator.ListDvdDrives(captions);
        QCOMPARE(captions, QStringList({"<Bitte eine DVD einlegen> (D:)"}));
    }

    void labelFromCaption_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("label");
        QTest::newRow("labelled") << "MOVIE (D:)"
                                  << "MOVIE";
        QTest::newRow("no label") << " (D:)"
                                  << "";
        QTest::newRow("no disc") << "<Please insert a DVD> (E:)"
                                 << "<Please insert a DVD>";
        QTest::newRow("parentheses in label") << "A (B) (Z:)"
                                              << "A (B)";
        QTest::newRow("trailing blank in label") << "MOVIE  (D:)"
                                                 << "MOVIE ";
        QTest::newRow("non-latin label")
            << QString::fromUtf8("Фильм (F:)") << QString::fromUtf8("Фильм");
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("shorter than the tail") << "(D:)"
                                               << "";
        QTest::newRow("one character") << "M"
                                       << "";
    }

    void labelFromCaption() {
        QFETCH(QString, caption);
        QFETCH(QString, label);
        QCOMPARE(DriveEnumerator::labelFromCaption(caption), label);
    }
};

QTEST_GUILESS_MAIN(TestDriveEnumerator)
#include "tst_driveenumerator.moc"
