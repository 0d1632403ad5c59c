#include "platform/posix/CdromDriveSource.h"
#include "support/TestFiles.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QtConcurrent/QtConcurrentRun>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray infoText(const QByteArray& names) {
    return "CD-ROM information, Id: cdrom.c 3.20 2003/12/17\n\n"
           "drive name:\t\t" +
           names +
           "\n"
           "drive speed:\t\t24\t24\n"
           "drive # of slots:\t1\t1\n"
           "Can close tray:\t\t1\t1\n";
}

} // namespace

class TestCdromDriveSource : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString devices_;
    QString genisoimage_;

    QString infoPath() const { return dir_.filePath("info"); }

    // Authors a small ISO image; an empty label gives a disc without one.
    bool makeIso(const QString& path, const QString& label) {
        const QString content = dir_.filePath("content");
        writeFile(content + "/VIDEO_TS/README.TXT", "still frames\n");
        QProcess process;
        process.start(genisoimage_, {"-quiet", "-udf", "-V", label, "-o", path, content});
        return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit &&
               process.exitCode() == 0;
    }

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        devices_ = dir_.filePath("dev");
        QVERIFY(QDir().mkpath(devices_));
        genisoimage_ = QStandardPaths::findExecutable("genisoimage");
    }

    void drivesAreNamedInDeviceOrder_data() {
        QTest::addColumn<QByteArray>("row");
        QTest::addColumn<QStringList>("devices");
        QTest::newRow("kernel order") << QByteArray("sr1\tsr0") << QStringList{"sr0", "sr1"};
        QTest::newRow("numbers compare by value")
            << QByteArray("sr10\tsr2\tsr1") << QStringList{"sr1", "sr2", "sr10"};
        QTest::newRow("blanks and tabs")
            << QByteArray("  sr0 \t\t sr1  \t") << QStringList{"sr0", "sr1"};
        QTest::newRow("duplicates once") << QByteArray("sr0\tsr0") << QStringList{"sr0"};
        QTest::newRow("names leaving the device folder are ignored")
            << QByteArray("../etc/passwd\t..\t.\tsr0") << QStringList{"sr0"};
        QTest::newRow("empty row") << QByteArray("") << QStringList{};
    }

    void drivesAreNamedInDeviceOrder() {
        QFETCH(QByteArray, row);
        QFETCH(QStringList, devices);
        QVERIFY(writeFile(infoPath(), infoText(row)));
        CdromDriveSource source(infoPath(), devices_);

        const QStringList drives = source.cdDrives();
        QCOMPARE(drives.size(), devices.size());
        for (qsizetype i = 0; i < drives.size(); ++i) {
            QCOMPARE(drives[i], QString(QChar('D' + int(i))) + ':');
            QCOMPARE(source.mediaPath(drives[i]), devices_ + "/" + devices[i]);
        }
    }

    void noInformationMeansNoDrives_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("absent file") << "absent" << QByteArray();
        QTest::newRow("unreadable (a folder)") << "folder" << QByteArray();
        QTest::newRow("no drive row") << "norow" << QByteArray("CD-ROM information\n\n");
        QTest::newRow("row name only as a value")
            << "value" << QByteArray("names:\tdrive name: sr0\n");
    }

    void noInformationMeansNoDrives() {
        QFETCH(QString, path);
        QFETCH(QByteArray, content);
        const QString full = dir_.filePath("noinfo-" + path);
        if (path == "folder")
            QVERIFY(QDir().mkpath(full));
        else if (path != "absent")
            QVERIFY(writeFile(full, content));

        CdromDriveSource source(full, devices_);
        QVERIFY(source.cdDrives().isEmpty());
        QString label = "untouched";
        QVERIFY(!source.volumeLabel("D:", &label));
        QVERIFY(source.mediaPath("D:").isEmpty());
    }

    void atMostTheLettersDToZ() {
        QByteArray row;
        for (int i = 0; i < 30; ++i)
            row += "sr" + QByteArray::number(i) + '\t';
        QVERIFY(writeFile(infoPath(), infoText(row)));
        CdromDriveSource source(infoPath(), devices_);

        const QStringList drives = source.cdDrives();
        QCOMPARE(drives.size(), 23);
        QCOMPARE(drives.last(), QString("Z:"));
        QCOMPARE(source.mediaPath("Z:"), devices_ + "/sr22");
    }

    void labelsOfTheDiscs() {
        if (genisoimage_.isEmpty())
            QSKIP("genisoimage is not installed");
        QVERIFY(makeIso(devices_ + "/sr0", "MOVIE"));
        QVERIFY(makeIso(devices_ + "/sr2", ""));
        QVERIFY(writeFile(devices_ + "/sr3", ""));                             // an empty medium
        QVERIFY(writeFile(devices_ + "/sr4", QByteArray(512 * 1024, '\x5a'))); // no file system
        // sr1 has no device node at all.
        QVERIFY(writeFile(infoPath(), infoText("sr4\tsr3\tsr2\tsr1\tsr0")));
        CdromDriveSource source(infoPath(), devices_);
        // Read before any listing: the source finds the drive itself.
        QString label;
        QVERIFY(source.volumeLabel("D:", &label));
        QCOMPARE(label, QString("MOVIE"));
        QCOMPARE(source.cdDrives(), QStringList({"D:", "E:", "F:", "G:", "H:"}));
        QVERIFY(source.volumeLabel("d:", &label));
        QCOMPARE(label, QString("MOVIE"));

        label = "stale";
        QVERIFY(source.volumeLabel("F:", &label));
        QVERIFY2(label.isEmpty(), qPrintable(label));

        QVERIFY(!source.volumeLabel("E:", &label));
        QVERIFY(!source.volumeLabel("G:", &label));
        QVERIFY(!source.volumeLabel("H:", &label));
        QVERIFY(!source.volumeLabel("I:", &label));
        QVERIFY(!source.volumeLabel("D", &label));
        QVERIFY(!source.volumeLabel("", &label));
        QVERIFY(source.mediaPath("I:").isEmpty());
    }

    void aDeviceThatWouldBlockIsNoDisc() {
        // Opening a pipe for reading waits for a writer unless the open does not block.
        QVERIFY(writeFile(infoPath(), infoText("sr0")));
        const QString folder = devices_ + "/pipe";
        const QByteArray pipe = QFile::encodeName(folder + "/sr0");
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(::mkfifo(pipe.constData(), 0600) == 0);
        CdromDriveSource source(infoPath(), folder);
        source.cdDrives();

        QFuture<bool> probe = QtConcurrent::run([&source] {
            QString label;
            return source.volumeLabel("D:", &label);
        });
        QDeadlineTimer deadline(2000);
        while (!probe.isFinished() && !deadline.hasExpired())
            QThread::msleep(10);
        const bool blocked = !probe.isFinished();
        if (blocked) {
            // Release the waiting open so that the test can end.
            const int writer = ::open(pipe.constData(), O_WRONLY);
            probe.waitForFinished();
            ::close(writer);
        }
        QVERIFY2(!blocked, "reading the label blocked");
        QVERIFY(!probe.result());
    }

    void eachListingRereadsTheDrives() {
        QVERIFY(writeFile(infoPath(), infoText("sr0")));
        CdromDriveSource source(infoPath(), devices_);
        QCOMPARE(source.cdDrives(), QStringList({"D:"}));
        QVERIFY(writeFile(infoPath(), infoText("sr1\tsr0")));
        QCOMPARE(source.cdDrives(), QStringList({"D:", "E:"}));
        QCOMPARE(source.mediaPath("E:"), devices_ + "/sr1");
        QFile::remove(infoPath());
        QVERIFY(source.cdDrives().isEmpty());
        QVERIFY(source.mediaPath("D:").isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestCdromDriveSource)
#include "tst_cdromdrivesource.moc"
