#include "player/DriveEnumerator.h"
#include "support/FakeDriveSource.h"

#include <QTest>

#include <memory>

class TestDriveEnumerator : public QObject {
    Q_OBJECT

    FakeDriveSource drives;
    QString insertDvd;
    std::unique_ptr<DriveEnumerator> enumerator;
    QStringList captions;

    // Lists the drives into `captions`; returns how many there are.
    int list() { return enumerator->ListDvdDrives(captions); }

private slots:
    void init() {
        drives = FakeDriveSource();
        insertDvd = QStringLiteral("<Please insert a DVD>");
        enumerator = std::make_unique<DriveEnumerator>(drives, [this] { return insertDvd; });
        captions.clear();
    }

    void labelledDiscInOneOfTwoDrives() {
        drives.insertDisc("D:", "MOVIE");
        drives.addDrive("E:");
        QCOMPARE(list(), 2);
        QCOMPARE(captions, QStringList({"MOVIE (D:)", "<Please insert a DVD> (E:)"}));
        QCOMPARE(enumerator->driveRoots, QStringList({"D:", ""}));

        // Listing again shows the drives of that moment.
        drives.ejectDisc("D:");
        drives.insertDisc("E:", "HOLIDAY");
        QCOMPARE(list(), 2);
        QCOMPARE(captions, QStringList({"<Please insert a DVD> (D:)", "HOLIDAY (E:)"}));
        QCOMPARE(enumerator->driveRoots[1], QString("E:"));
    }

    void fewerDrivesCutTheRootsOff() {
        drives.insertDisc("D:", "A");
        drives.insertDisc("E:", "B");
        drives.insertDisc("F:", "C");
        QCOMPARE(list(), 3);
        drives.removeDrive("E:");
        drives.removeDrive("F:");
        QCOMPARE(list(), 1);
        QCOMPARE(captions, QStringList({"A (D:)"}));
        QCOMPARE(enumerator->driveRoots, QStringList({"D:"}));
    }

    void drivesGoingAwayLeaveNoCaptionsAndKeepTheRoots() {
        drives.insertDisc("D:", "MOVIE");
        drives.insertDisc("E:", "OTHER");
        QCOMPARE(list(), 2);
        drives.removeDrive("D:");
        drives.removeDrive("E:");
        QCOMPARE(list(), 0);
        QVERIFY(captions.isEmpty());
        QCOMPARE(enumerator->driveRoots, QStringList({"D:", "E:"}));
    }

    void noDrivesAtAll() {
        captions = QStringList{"stale"}; // the caller's list is replaced, not extended
        QCOMPARE(list(), 0);
        QVERIFY(captions.isEmpty());
        QVERIFY(enumerator->driveRoots.isEmpty());
    }

    void discWithoutLabelStartsWithTheBlank() {
        drives.insertDisc("D:", QString());
        QCOMPARE(list(), 1);
        QCOMPARE(captions, QStringList({" (D:)"}));
        QCOMPARE(enumerator->driveRoots, QStringList({"D:"}));
    }

    void labelEndsAtItsFirstNul() {
        drives.insertDisc("D:", QString("MOVIE") + QChar(0) + QString("JUNK"));
        list();
        QCOMPARE(captions, QStringList({"MOVIE (D:)"}));
    }

    void insertDvdTextIsLookedUpOnEveryListing() {
        drives.addDrive("D:");
        list();
        QCOMPARE(captions, QStringList({"<Please insert a DVD> (D:)"}));
        insertDvd = QStringLiteral("<Bitte eine DVD einlegen>");
        list();
        QCOMPARE(captions, QStringList({"<Bitte eine DVD einlegen> (D:)"}));
    }

    void labelFromCaption_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("label");
        const auto row = [](const char* name, const QString& caption, const QString& label) {
            QTest::newRow(name) << caption << label;
        };
        row("labelled", "MOVIE (D:)", "MOVIE");
        row("no label", " (D:)", "");
        row("parentheses in label", "A (B) (Z:)", "A (B)");
        row("trailing blank in label", "MOVIE  (D:)", "MOVIE ");
        row("non-latin label", QString::fromUtf8("Фильм (F:)"), QString::fromUtf8("Фильм"));
        row("empty", "", "");
        row("shorter than the tail", "(D:)", "");
        row("one character", "M", "");
    }
    void labelFromCaption() {
        QFETCH(QString, caption);
        QFETCH(QString, label);
        QCOMPARE(DriveEnumerator::labelFromCaption(caption), label);
    }
};

QTEST_GUILESS_MAIN(TestDriveEnumerator)
#include "tst_driveenumerator.moc"
