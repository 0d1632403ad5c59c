#include "platform/ProgramFolder.h"
#include "settings/Settings.h"
#include "settings/SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <signal.h>
#include <sys/resource.h>
#endif

Q_DECLARE_METATYPE(Settings)

// Lets QCOMPARE show both records when they differ.
char* toString(const Settings& s) {
    return QTest::toString(QStringLiteral("{%1, \"%2\", \"%3\", %4, %5, \"%6\"}")
                               .arg(s.imageFormat)
                               .arg(s.snapshotsPath, s.snapshotPrefix)
                               .arg(s.hideIntervalPrompt)
                               .arg(s.snapshotInterval)
                               .arg(s.languageFile));
}

namespace {

QByteArray contentOf(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "<unreadable>";
    return file.readAll();
}

void put(const QString& path, const QByteArray& content) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(content), content.size());
}

// A record no read could produce, to see whether a failed read touched it.
Settings sentinel() {
    Settings s;
    s.imageFormat = 7;
    s.snapshotsPath = QStringLiteral("untouched");
    s.snapshotPrefix = QStringLiteral("U");
    s.hideIntervalPrompt = 9;
    s.snapshotInterval = -77;
    s.languageFile = QStringLiteral("Untouched.ini");
    return s;
}

Settings make(quint8 format, const QString& path, const QString& prefix, quint8 hide,
              qint32 interval, const QString& language) {
    Settings s;
    s.imageFormat = format;
    s.snapshotsPath = path;
    s.snapshotPrefix = prefix;
    s.hideIntervalPrompt = hide;
    s.snapshotInterval = interval;
    s.languageFile = language;
    return s;
}

QByteArray defaultFile() {
    return "0\r\n" + (QDir::homePath() + u'/').toLocal8Bit() +
           "\r\nIMG_\r\n0\r\n5000\r\nEnglish.ini\r\n";
}

} // namespace

class TestSettingsFile : public QObject {
    Q_OBJECT

    QTemporaryDir folder;
    QString file;

private slots:
    void init() {
        QVERIFY(folder.isValid());
        platform::setProgramFolder(folder.path());
        file = SettingsFile::path();
        QFile::remove(file);
    }

    void defaultsAndPath() {
        QCOMPARE(SettingsFile::path(), folder.path() + QStringLiteral("/Config.cfg"));
        QCOMPARE(Settings::defaults(),
                 make(0, QDir::homePath() + u'/', "IMG_", 0, 5000, "English.ini"));
    }

    void firstStartCreatesDefaultFile() {
        Settings record = sentinel();
        QVERIFY(!SettingsFile::read(file, record));
        QCOMPARE(record, sentinel());

        QVERIFY(SettingsFile::recover(file, record));
        QCOMPARE(record, Settings::defaults());
        QCOMPARE(contentOf(file), defaultFile());

        Settings again = sentinel();
        QVERIFY(SettingsFile::read(file, again));
        QCOMPARE(again, Settings::defaults());
    }

    void damagedFileIsReplaced_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("five lines") << QByteArray("1\r\n/p\r\nA\r\n1\r\n2000\r\n");
        QTest::newRow("five lines, last without line end")
            << QByteArray("1\r\n/p\r\nA\r\n1\r\n2000");
        QTest::newRow("format 300") << QByteArray("300\r\n/p\r\nA\r\n1\r\n2000\r\nx.ini\r\n");
        QTest::newRow("format rounds to -1")
            << QByteArray("-0.6\r\n/p\r\nA\r\n1\r\n2000\r\nx.ini\r\n");
        QTest::newRow("prompt flag 256") << QByteArray("0\r\n/p\r\nA\r\n256\r\n2000\r\nx.ini\r\n");
        QTest::newRow("interval above int32")
            << QByteArray("0\r\n/p\r\nA\r\n0\r\n2147483648\r\nx.ini\r\n");
        QTest::newRow("interval of 400 digits")
            << QByteArray("0\r\n/p\r\nA\r\n0\r\n" + QByteArray(400, '9') + "\r\nx.ini\r\n");
    }
    void damagedFileIsReplaced() {
        QFETCH(QByteArray, content);
        put(file, content);
        Settings record = sentinel();
        QVERIFY(!SettingsFile::read(file, record));
        QCOMPARE(record, sentinel());

        QVERIFY(SettingsFile::recover(file, record));
        QCOMPARE(record, Settings::defaults());
        QCOMPARE(contentOf(file), defaultFile());
    }

    void readValues_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<Settings>("expected");
        const QByteArray tail = "/p\r\nA\r\n0\r\n2000\r\nx.ini\r\n";
        auto formatOnly = [](quint8 format) { return make(format, "/p", "A", 0, 2000, "x.ini"); };

        QTest::newRow("no number") << "abc\r\n" + tail << formatOnly(0);
        QTest::newRow("empty number line") << "\r\n" + tail << formatOnly(0);
        QTest::newRow("trailing characters") << "12abc\r\n" + tail << formatOnly(12);
        QTest::newRow("fraction rounds") << "1.6\r\n" + tail << formatOnly(2);
        QTest::newRow("half rounds to even, up") << "1.5\r\n" + tail << formatOnly(2);
        QTest::newRow("half rounds to even, down") << "2.5\r\n" + tail << formatOnly(2);
        QTest::newRow("blanks and tabs") << " \t 42 \t\r\n" + tail << formatOnly(42);
        QTest::newRow("upper bound") << "255\r\n" + tail << formatOnly(255);
        QTest::newRow("blank inside number") << "1 2\r\n" + tail << formatOnly(12);

        QTest::newRow("written by the options dialog")
            << QByteArray(" 1 \r\n/home/u/Pictures\r\nSNAP\r\n 1 \r\n 60000 \r\nDeutsch.ini\r\n")
            << make(1, "/home/u/Pictures", "SNAP", 1, 60000, "Deutsch.ini");
        QTest::newRow("interval limits")
            << QByteArray("0\r\n/p\r\nA\r\n0\r\n-2147483648\r\nx.ini\r\n")
            << make(0, "/p", "A", 0, std::numeric_limits<qint32>::min(), "x.ini");
        QTest::newRow("texts as they stand")
            << QByteArray("0\r\n  /a b/c, \"d\"  \r\n\r\n0\r\n2000\r\n x.ini \r\n")
            << make(0, "  /a b/c, \"d\"  ", "", 0, 2000, " x.ini ");
        QTest::newRow("8-bit locale text")
            << QByteArray("0\r\n/Bilder/\xc3\x84rger\r\nA\r\n0\r\n2000\r\nx.ini\r\n")
            << make(0, QString::fromUtf8("/Bilder/\xc3\x84rger"), "A", 0, 2000, "x.ini");
        QTest::newRow("LF line ends")
            << QByteArray("1\n/p\nA\n1\n3000\nx.ini\n") << make(1, "/p", "A", 1, 3000, "x.ini");
        QTest::newRow("last line without line end")
            << QByteArray("1\r\n/p\r\nA\r\n1\r\n3000\r\nx.ini")
            << make(1, "/p", "A", 1, 3000, "x.ini");
        QTest::newRow("lines after the sixth ignored")
            << QByteArray("1\r\n/p\r\nA\r\n1\r\n3000\r\nx.ini\r\n999\r\ngarbage\r\n")
            << make(1, "/p", "A", 1, 3000, "x.ini");
        QTest::newRow("empty sixth line") << QByteArray("0\r\n/p\r\nA\r\n0\r\n2000\r\n\r\n")
                                          << make(0, "/p", "A", 0, 2000, "English.ini");
        QTest::newRow("blank sixth line") << QByteArray("0\r\n/p\r\nA\r\n0\r\n2000\r\n  \t \r\n")
                                          << make(0, "/p", "A", 0, 2000, "English.ini");
    }
    void readValues() {
        QFETCH(QByteArray, content);
        QFETCH(Settings, expected);
        put(file, content);
        Settings record = sentinel();
        QVERIFY(SettingsFile::read(file, record));
        QCOMPARE(record, expected);
        // Reading never rewrites the file, not even for the pack name fallback.
        QCOMPARE(contentOf(file), content);
    }

    void writtenFileReadsBack() {
        put(file, QByteArray(200, 'x') + "\r\nold content longer than the new one\r\n");
        const Settings record =
            make(1, "/home/u/a, \"quoted\" folder/", "a,\"b", 1, 60000, "Deutsch.ini");
        QVERIFY(SettingsFile::write(file, record));
        QCOMPARE(contentOf(file), QByteArray(" 1 \r\n/home/u/a, \"quoted\" folder/\r\na,\"b\r\n"
                                             " 1 \r\n 60000 \r\nDeutsch.ini\r\n"));
        Settings back = sentinel();
        QVERIFY(SettingsFile::read(file, back));
        QCOMPARE(back, record);
    }

    void writeCreatesMissingFile() {
        const Settings record = make(0, "/p", "IMG_", 0, 5000, "English.ini");
        QVERIFY(SettingsFile::write(file, record));
        QCOMPARE(contentOf(file),
                 QByteArray(" 0 \r\n/p\r\nIMG_\r\n 0 \r\n 5000 \r\nEnglish.ini\r\n"));
    }

    void lineBreakInTextIsRefused_data() {
        QTest::addColumn<Settings>("record");
        QTest::newRow("path") << make(0, "/a\r\n/b", "IMG_", 0, 5000, "English.ini");
        QTest::newRow("prefix") << make(0, "/p", "I\nM", 0, 5000, "English.ini");
        QTest::newRow("pack") << make(0, "/p", "IMG_", 0, 5000, "En\rglish.ini");
    }
    void lineBreakInTextIsRefused() {
        QFETCH(Settings, record);
        const QByteArray previous = "0\r\n/p\r\nA\r\n0\r\n2000\r\nx.ini\r\n";
        put(file, previous);
        QVERIFY(!SettingsFile::write(file, record));
        QCOMPARE(contentOf(file), previous);
    }

    void failedWriteKeepsPreviousFile() {
#ifdef Q_OS_UNIX
        // A file size limit makes the write come up short, as a full disk would.
        const QByteArray previous = "0\r\n/p\r\nA\r\n0\r\n2000\r\nx.ini\r\n";
        put(file, previous);
        const Settings record = make(1, QString(300, u'p'), "IMG_", 1, 3000, "English.ini");

        rlimit saved{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        rlimit small = saved;
        small.rlim_cur = 16;
        const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        const bool written = SettingsFile::write(file, record);
        Settings recovered = sentinel();
        const bool recoveredWritten = SettingsFile::recover(file, recovered);
        setrlimit(RLIMIT_FSIZE, &saved);
        signal(SIGXFSZ, oldHandler);

        QVERIFY(!written);
        QVERIFY(!recoveredWritten);
        QCOMPARE(recovered, Settings::defaults());
        QCOMPARE(contentOf(file), previous);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{"Config.cfg"});
#else
        QSKIP("needs a file size limit");
#endif
    }

    void writeWhereNoFileCanBe_data() {
        QTest::addColumn<bool>("folderMissing");
        QTest::newRow("Config.cfg is a folder") << false;
        QTest::newRow("program folder missing") << true;
    }
    void writeWhereNoFileCanBe() {
        QFETCH(bool, folderMissing);
        QString target = file;
        if (folderMissing) {
            target = folder.path() + QStringLiteral("/gone/Config.cfg");
        } else {
            QVERIFY(QDir(folder.path()).mkpath("Config.cfg/inside"));
        }
        QVERIFY(!SettingsFile::write(target, Settings::defaults()));
        Settings record = sentinel();
        QVERIFY(!SettingsFile::read(target, record));
        QCOMPARE(record, sentinel());
        QVERIFY(!SettingsFile::recover(target, record));
        QCOMPARE(record, Settings::defaults());
        QCOMPARE(QFileInfo(target).isDir(), !folderMissing);
        QVERIFY(QDir(folder.path()).removeRecursively());
        QVERIFY(QDir().mkpath(folder.path()));
    }
};

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
