#include "platform/ProgramFolder.h"
#include "platform/TextFiles.h"
#include "settings/Settings.h"
#include "settings/SettingsFile.h"
#include "support/TestFiles.h"

#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

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

// A record no read could produce, to see whether a failed read touched it.
const Settings Sentinel = make(7, "untouched", "U", 9, -77, "Untouched.ini");
const QByteArray Previous = "0\r\n/p\r\nA\r\n0\r\n2000\r\nx.ini\r\n";

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

    // A missing or damaged file fails to read and is replaced by the default file, which then
    // reads as the defaults.
    void damagedFileIsReplaced_data() {
        QTest::addColumn<QByteArray>("content"); // null: no file
        QTest::newRow("no file (first start)") << QByteArray();
        QTest::newRow("empty file") << QByteArray("");
        QTest::newRow("five lines") << QByteArray("1\r\n/p\r\nA\r\n1\r\n2000\r\n");
        QTest::newRow("format 300") << QByteArray("300\r\n/p\r\nA\r\n1\r\n2000\r\nx.ini\r\n");
        QTest::newRow("prompt flag 256") << QByteArray("0\r\n/p\r\nA\r\n256\r\n2000\r\nx.ini\r\n");
        QTest::newRow("interval above int32")
            << QByteArray("0\r\n/p\r\nA\r\n0\r\n2147483648\r\nx.ini\r\n");
    }
    void damagedFileIsReplaced() {
        QFETCH(QByteArray, content);
        QCOMPARE(file, folder.path() + QStringLiteral("/Config.cfg"));
        if (!content.isNull())
            QVERIFY(writeFile(file, content));
        Settings record = Sentinel;
        QVERIFY(!SettingsFile::read(file, record));
        QCOMPARE(record, Sentinel);
        QVERIFY(SettingsFile::recover(file, record));
        QCOMPARE(record, Settings::defaults());
        QCOMPARE(readFile(file), defaultFile());
        Settings again = Sentinel;
        QVERIFY(SettingsFile::read(file, again));
        QCOMPARE(again, Settings::defaults());
    }

    void readValues_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<Settings>("expected");
        const QByteArray tail = "/p\r\nA\r\n0\r\n2000\r\nx.ini\r\n";
        const auto format = [&](const char* name, const QByteArray& line, quint8 value) {
            QTest::newRow(name) << line + "\r\n" + tail << make(value, "/p", "A", 0, 2000, "x.ini");
        };
        format("no number", "abc", 0);
        format("trailing characters", "12abc", 12);
        format("half rounds to even", "2.5", 2);
        format("blanks and tabs", " \t 42 \t", 42);
        format("blank inside number", "1 2", 12);
        format("upper bound", "255", 255);
        const auto row = [](const char* name, const QByteArray& content, const Settings& s) {
            QTest::newRow(name) << content << s;
        };
        row("written by the options dialog",
            " 1 \r\n/home/u/Pictures\r\nSNAP\r\n 1 \r\n 60000 \r\nDeutsch.ini\r\n",
            make(1, "/home/u/Pictures", "SNAP", 1, 60000, "Deutsch.ini"));
        row("texts as they stand", "0\r\n  /a b/c, \"d\"  \r\n\r\n0\r\n2000\r\n x.ini \r\n",
            make(0, "  /a b/c, \"d\"  ", "", 0, 2000, " x.ini "));
        row("LF line ends", "1\n/p\nA\n1\n3000\nx.ini\n", make(1, "/p", "A", 1, 3000, "x.ini"));
        row("lines after the sixth ignored", "1\r\n/p\r\nA\r\n1\r\n3000\r\nx.ini\r\n999\r\ngarbage",
            make(1, "/p", "A", 1, 3000, "x.ini"));
        row("empty sixth line", "0\r\n/p\r\nA\r\n0\r\n2000\r\n\r\n",
            make(0, "/p", "A", 0, 2000, "English.ini"));
        row("CR line ends", "1\r/p\rA\r1\r3000\rx.ini\r", make(1, "/p", "A", 1, 3000, "x.ini"));
        row("a CR inside a CR LF line is text", "0\r\n/a\rb\r\nA\r\n0\r\n2000\r\nx.ini\r\n",
            make(0, "/a\rb", "A", 0, 2000, "x.ini"));
        // Windows tools write Windows-1252; both spellings give the same characters.
        const Settings cafe = make(0, QStringLiteral("/caf\u00e9 \u20ac"), "A", 0, 2000, "x.ini");
        row("Windows-1252 text", "0\r\n/caf\xe9 \x80\r\nA\r\n0\r\n2000\r\nx.ini\r\n", cafe);
        row("UTF-8 text", "0\r\n/caf\xc3\xa9 \xe2\x82\xac\r\nA\r\n0\r\n2000\r\nx.ini\r\n", cafe);
    }
    void readValues() {
        QFETCH(QByteArray, content);
        QFETCH(Settings, expected);
        QVERIFY(writeFile(file, content));
        Settings record = Sentinel;
        QVERIFY(SettingsFile::read(file, record));
        QCOMPARE(record, expected);
        // Reading never rewrites the file, not even for the pack name fallback.
        QCOMPARE(readFile(file), content);
    }

    void writtenFileReadsBack() {
        QVERIFY(writeFile(file, QByteArray(200, 'x') + "\r\nold content longer than the new one"));
        const Settings record =
            make(1, "/home/u/a, \"quoted\" folder/", "a,\"b", 1, 60000, "Deutsch.ini");
        QVERIFY(SettingsFile::write(file, record));
        QCOMPARE(readFile(file), QByteArray(" 1 \r\n/home/u/a, \"quoted\" folder/\r\na,\"b\r\n"
                                            " 1 \r\n 60000 \r\nDeutsch.ini\r\n"));
        Settings back = Sentinel;
        QVERIFY(SettingsFile::read(file, back));
        QCOMPARE(back, record);
    }

    void lineBreakInTextIsRefused_data() {
        QTest::addColumn<Settings>("record");
        QTest::newRow("path") << make(0, "/a\r\n/b", "IMG_", 0, 5000, "English.ini");
        QTest::newRow("prefix") << make(0, "/p", "I\nM", 0, 5000, "English.ini");
        QTest::newRow("pack") << make(0, "/p", "IMG_", 0, 5000, "En\nglish.ini");
    }

    // What was read can be saved again: a CR inside a line, characters read as Windows-1252
    // (written back as UTF-8, never as replacement characters).
    void readValuesSaveAndReadBack() {
        QVERIFY(writeFile(file, "0\r\n/a\rb\xe9\r\nA\r\n0\r\n2000\r\nx.ini\r\n"));
        Settings record = Sentinel;
        QVERIFY(SettingsFile::read(file, record));
        QVERIFY(SettingsFile::write(file, record));
        QCOMPARE(readFile(file),
                 QByteArray(" 0 \r\n/a\rb\xc3\xa9\r\nA\r\n 0 \r\n 2000 \r\nx.ini\r\n"));
        Settings back = Sentinel;
        QVERIFY(SettingsFile::read(file, back));
        QCOMPARE(back, record);
    }

    // A settings file name given to something else is not read, nor waited on: the recovery
    // takes over, and never writes through a link into what it names.
    void specialFileIsNotRead_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("device") << "device";
        QTest::newRow("FIFO") << "fifo";
        QTest::newRow("link to a FIFO") << "link";
        QTest::newRow("huge") << "huge";
    }
    void specialFileIsNotRead() {
        QFETCH(QString, kind);
        const QString fifo = folder.filePath(QStringLiteral("fifo"));
        if (kind == u"fifo" || kind == u"link")
            QVERIFY(::mkfifo(QFile::encodeName(kind == u"fifo" ? file : fifo).constData(), 0600) ==
                    0);
        if (kind == u"device")
            QVERIFY(QFile::link(QStringLiteral("/dev/zero"), file));
        else if (kind == u"link")
            QVERIFY(QFile::link(fifo, file));
        else if (kind == u"huge")
            QVERIFY(writeFile(file, Previous + QByteArray(10 << 20, 'x')));
        Settings record = Sentinel;
        QVERIFY(!SettingsFile::read(file, record));
        QCOMPARE(record, Sentinel);
        if (kind == u"device")
            return; // a recovery that went wrong would replace the system's /dev/zero
        const bool written = SettingsFile::recover(file, record);
        QCOMPARE(record, Settings::defaults());
        if (kind == u"link") {
            QVERIFY(!written);
            QVERIFY(QFileInfo(fifo).exists() && !TextFiles::isRegularFile(fifo));
            QFile::remove(fifo);
        } else {
            QVERIFY(written);
            QCOMPARE(readFile(file), defaultFile());
        }
    }

    void interruptedSaveLeftoversAreRemoved() {
        QVERIFY(writeFile(file, Previous));
        const QStringList others{"Config.cfg.bak", "Config.cfg.Ab12Cd7", "Other.cfg.Ab12Cd"};
        for (const QString& name : others + QStringList{"Config.cfg.Ab12Cd", "Config.cfg.zz99ZZ"})
            QVERIFY(writeFile(folder.filePath(name), "half a save"));
        QVERIFY(SettingsFile::write(file, Settings::defaults()));
        QStringList expected = others + QStringList{"Config.cfg"};
        expected.sort();
        QStringList left = QDir(folder.path()).entryList(QDir::Files | QDir::Hidden);
        left.sort();
        QCOMPARE(left, expected);
        for (const QString& name : others)
            QFile::remove(folder.filePath(name));
    }
    void lineBreakInTextIsRefused() {
        QFETCH(Settings, record);
        QVERIFY(writeFile(file, Previous));
        QVERIFY(!SettingsFile::write(file, record));
        QCOMPARE(readFile(file), Previous);
    }

    void failedWriteKeepsPreviousFile() {
        // A file size limit makes the write come up short, as a full disk would.
        QVERIFY(writeFile(file, Previous));
        const Settings record = make(1, QString(300, u'p'), "IMG_", 1, 3000, "English.ini");
        rlimit saved{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        rlimit small = saved;
        small.rlim_cur = 16;
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        const bool written = SettingsFile::write(file, record);
        Settings recovered = Sentinel;
        const bool recoveredWritten = SettingsFile::recover(file, recovered);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);

        QVERIFY(!written);
        QVERIFY(!recoveredWritten);
        QCOMPARE(recovered, Settings::defaults());
        QCOMPARE(readFile(file), Previous);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{"Config.cfg"});
    }

    void writeWhereNoFileCanBe_data() {
        QTest::addColumn<bool>("folderMissing");
        QTest::newRow("Config.cfg is a folder") << false;
        QTest::newRow("program folder missing") << true;
    }
    void writeWhereNoFileCanBe() {
        QFETCH(bool, folderMissing);
        QString target = file;
        if (folderMissing)
            target = folder.path() + QStringLiteral("/gone/Config.cfg");
        else
            QVERIFY(QDir(folder.path()).mkpath("Config.cfg/inside"));
        QVERIFY(!SettingsFile::write(target, Settings::defaults()));
        Settings record = Sentinel;
        QVERIFY(!SettingsFile::read(target, record));
        QCOMPARE(record, Sentinel);
        QVERIFY(!SettingsFile::recover(target, record));
        QCOMPARE(record, Settings::defaults());
        QCOMPARE(QFileInfo(target).isDir(), !folderMissing);
        QVERIFY(QDir(folder.path()).removeRecursively());
        QVERIFY(QDir().mkpath(folder.path()));
    }
};

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
