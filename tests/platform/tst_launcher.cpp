// What reaches the desktop when a file or a link is handed to it, and what fails first.
#include "platform/Launcher.h"

#include "support/RecordingLauncher.h"
#include "support/TestFiles.h"

#include <QTemporaryDir>
#include <QTest>

class LauncherTest : public QObject {
    Q_OBJECT
private slots:
    void openDocument_data() {
        // "@" in a target is replaced by a temporary folder.
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("present");  // file to create first, empty for none
        QTest::addColumn<QString>("expected"); // URL the desktop gets, empty when it is not asked
        QTest::newRow("web link as given")
            << "https://stillbeck.example.org/help?page=1#top" << QString()
            << "https://stillbeck.example.org/help?page=1#top";
        QTest::newRow("present file") << "@/English.html"
                                      << "English.html"
                                      << "file://@/English.html";
        QTest::newRow("file name that looks like a URL") << "@/How to #1?.html"
                                                         << "How to #1?.html"
                                                         << "file://@/How%20to%20%231%3F.html";
        QTest::newRow("missing file") << "@/English.html" << QString() << QString();
        QTest::newRow("file URL to a present file") << "file://@/Deutsch.html"
                                                    << "Deutsch.html"
                                                    << "file://@/Deutsch.html";
        QTest::newRow("file URL to a missing file")
            << "file://@/Deutsch.html" << QString() << QString();
        QTest::newRow("nothing") << QString() << QString() << QString();
    }
    void openDocument() {
        QFETCH(QString, target);
        QFETCH(QString, present);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        target.replace(QLatin1Char('@'), dir.path());
        expected.replace(QLatin1Char('@'), dir.path());
        if (!present.isEmpty())
            QVERIFY(writeFile(dir.filePath(present), "<html></html>"));

        RecordingLauncher desktop;
        const bool opened = platform::openDocument(target);

        QCOMPARE(opened, !expected.isEmpty());
        QCOMPARE(desktop.openedUrls,
                 expected.isEmpty() ? QList<QUrl>() : QList<QUrl>{QUrl(expected)});
        QVERIFY(desktop.startedPrograms.isEmpty());
    }
};

QTEST_GUILESS_MAIN(LauncherTest)
#include "tst_launcher.moc"
