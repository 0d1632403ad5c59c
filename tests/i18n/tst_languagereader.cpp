#include "i18n/CaptionTable.h"
#include "i18n/LanguageReader.h"
#include "i18n/ProfileReader.h"
#include "platform/ProgramFolder.h"
#include "settings/Settings.h"
#include "support/TestFiles.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {

// clang-format off
const CaptionText allCaptions[] = {
    Caption::MediaActions, Caption::MediaTools, Caption::Ok, Caption::Cancel, Caption::NoDvdDrives,
    Caption::InsertDvd, Caption::InvalidDvd, Caption::ConfigError, Caption::ConfigRecreated,
    Caption::ErrorTitle, Caption::ReloadQuestion, Caption::WarningTitle,
    Caption::OptionsIntervalInvalid, Caption::PrefixInvalid, Caption::PromptIntervalInvalid,
    Caption::UpdaterFailed, Caption::HelpMissing, Caption::Loading, Caption::HintSingleSnapshot,
    Caption::HintContinuousSnapshots, Caption::HintTimedSnapshots, Caption::HintFullScreen,
    Caption::HintRewind, Caption::HintPlay, Caption::HintPause, Caption::HintStop,
    Caption::HintFastForward, Caption::HintMute, Caption::HintSound, Caption::HintVolume,
    Caption::PrefixTooLong, Caption::AlreadyRunning, Caption::FileMenu, Caption::OpenMenu,
    Caption::ExitCommand, Caption::EditMenu, Caption::SnapshotCommand, Caption::ContinuousSnapshots,
    Caption::TimedSnapshots, Caption::FullScreenMenu, Caption::ToolsMenu,
    Caption::OptionsMenuCommand, Caption::HelpMenu, Caption::HowToUseMenu, Caption::CheckUpdates,
    Caption::AboutMenu, Caption::AboutTitle, Caption::AboutVersion, Caption::AboutDescription,
    Caption::OptionsTitle, Caption::LanguageFrame, Caption::LanguageLabel, Caption::SnapshotsFrame,
    Caption::ImageFormatLabel, Caption::SnapshotsPathLabel, Caption::SnapshotsBrowse,
    Caption::PrefixLabel, Caption::InputBoxCheck, Caption::ValueTitle, Caption::MillisecondsLabel,
    Caption::TimedSnapshotsTitle, Caption::RequestLabel, Caption::Check1, Caption::ImagesNotSaved,
    Caption::ConfigNotWritten, Caption::SettingsNotSaved,
};
// clang-format on

// An existing file whose reading fails: the memory of the reading process at address 0.
bool makeUnreadable(const QString& link) {
    return QFileInfo(QStringLiteral("/proc/self/mem")).isFile() &&
           QFile::link(QStringLiteral("/proc/self/mem"), link);
}

} // namespace

// Reading one value of a profile file, and the caption lookup in the chosen language pack.
class TestLanguageReader : public QObject {
    Q_OBJECT

    QTemporaryDir folder;
    QString lang;

    void writePack(const QString& name, const QByteArray& body) {
        QVERIFY(writeFile(lang + u'/' + name, "[Stillbeck Language Pack]\r\n" + body));
    }

    QString errorLog() const { return folder.filePath(QStringLiteral("errorlog.txt")); }

private slots:
    void readString_data() {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("fallback");
        QTest::addColumn<QString>("expected");
        auto row = [](const char* name, const QByteArray& ini, const QString& key,
                      const QString& fallback, const QString& expected) {
            QTest::newRow(name) << ini << key << fallback << expected;
        };
        const QByteArray head = "[Pack]\r\n";

        row("value", head + "10=&Datei\r\n", "10", "&File", "&Datei");
        row("leading zero is another key", head + "10=&Datei\r\n", "010", "Error", "Error");
        row("section name ignores case", "[pACK]\r\n21=Bild\r\n", "21", "x", "Bild");
        row("key ignores case", head + "aBc=v\r\n", "AbC", "x", "v");
        row("empty value is used", head + "21=\r\n", "21", "&Snapshot", "");
        row("blanks around key and value", head + "  \t21 \t=  \t Bild mit  Rand \t \r\n", "21",
            "x", "Bild mit  Rand");
        row("double quotes removed", head + "28=\" Stop \"\r\n", "28", "x", " Stop ");
        row("single quotes removed", head + "28='Stop'\r\n", "28", "x", "Stop");
        row("only one pair removed", head + "28=\"\"Stop\"\"\r\n", "28", "x", "\"Stop\"");
        row("unpaired quotes kept", head + "28=\"Stop'\r\n", "28", "x", "\"Stop'");
        row("value after the first equals sign", head + "k = a = b\r\n", "k", "x", "a = b");
        row("first match wins across repeated sections",
            head + "k=one\r\n[Other]\r\nk=other\r\n[pack]\r\nk=two\r\n", "k", "x", "one");
        row("key of another section", "[Other]\r\nk=v\r\n[Pack]\r\nj=w\r\n", "k", "x", "x");
        row("renamed section", "[Old Pack]\r\nk=v\r\n", "k", "x", "x");
        row("LF line ends", "[Pack]\nk=v\nj=w\n", "j", "x", "w");
        row("default loses trailing blanks", head, "k", "  Stop \t ", "  Stop");
        row("long quoted value cut", head + "k=\"" + QByteArray(600, 'a') + "\"\r\n", "k", "x",
            QString(499, u'a'));
        const QString umlauts = QStringLiteral("Gr\u00f6\u00dfe");
        row("UTF-8 text", head + "k=" + umlauts.toUtf8() + "\r\n", "k", "x", umlauts);
        row("byte order mark before the section", "\xef\xbb\xbf" + head + "k=v\r\n", "k", "x", "v");
    }
    void readString() {
        QFETCH(QByteArray, ini);
        QFETCH(QString, key);
        QFETCH(QString, fallback);
        QFETCH(QString, expected);
        const QString path = folder.filePath(QStringLiteral("pack.ini"));
        QVERIFY(writeFile(path, ini));
        const auto found = ProfileReader::readString("Pack", key, fallback, 500, path);
        QVERIFY(!found.failed);
        QCOMPARE(found.text, expected);
    }

    void missingFileGivesDefault_data() {
        QTest::addColumn<QString>("path");
        QTest::newRow("no such file") << folder.filePath("none.ini");
        QTest::newRow("a folder") << folder.path();
    }
    void missingFileGivesDefault() {
        QFETCH(QString, path);
        const auto found = ProfileReader::readString("Pack", "k", "Stop  ", 500, path);
        QVERIFY(!found.failed);
        QCOMPARE(found.text, QStringLiteral("Stop"));
    }

    void unreadableFileIsAFailure() {
        const QString path = folder.filePath(QStringLiteral("broken.ini"));
        if (!makeUnreadable(path))
            QSKIP("no /proc/self/mem to stand for an unreadable file");
        const auto found = ProfileReader::readString("Pack", "k", "default", 500, path);
        QVERIFY(found.failed);
        QCOMPARE(found.text, QStringLiteral("default"));
        QVERIFY(!found.errorDescription.isEmpty());
        QVERIFY(found.errorNumber != 0);
    }

    void init() {
        QVERIFY(folder.isValid());
        platform::setProgramFolder(folder.path());
        lang = folder.filePath(QStringLiteral("Lang"));
        QDir(lang).removeRecursively();
        QFile::remove(errorLog());
        Settings::current().languageFile = QStringLiteral("Test.ini");
    }

    void noLangFolderGivesEveryDefault() {
        for (const CaptionText& text : allCaptions)
            QCOMPARE(caption(text), QString::fromUtf8(text.defaultText));
        QVERIFY(!QFile::exists(errorLog()));
    }

    void emptyPackNameGivesDefault() {
        writePack(QStringLiteral("Test.ini"), "034=Schon gestartet.\r\n");
        Settings::current().languageFile.clear();
        QCOMPARE(caption(Caption::AlreadyRunning),
                 QStringLiteral("The application is already running."));
        QVERIFY(!QFile::exists(errorLog()));
    }

    void packTextsAndDefaults() {
        writePack(QStringLiteral("Test.ini"), "10=&Datei\r\n21=\r\n26=\"  Abspielen  \"\r\n91=" +
                                                  QByteArray(600, 'w') + "\r\n");
        QCOMPARE(caption(Caption::FileMenu), QStringLiteral("&Datei"));
        QCOMPARE(caption(Caption::ErrorTitle), QStringLiteral("Error"));
        QCOMPARE(caption(Caption::SnapshotCommand), QString());
        QCOMPARE(SetCaptionfromINI("26", "Play"), QStringLiteral("Abspielen  "));
        QCOMPARE(caption(Caption::RequestLabel), QString(499, u'w'));
        QVERIFY(!QFile::exists(errorLog()));
    }

    void packIsReadOnEveryCall() {
        writePack(QStringLiteral("Test.ini"), "028=Halt\r\n");
        QCOMPARE(caption(Caption::HintStop), QStringLiteral("Halt"));
        writePack(QStringLiteral("Test.ini"), "028=Anhalten\r\n");
        QCOMPARE(caption(Caption::HintStop), QStringLiteral("Anhalten"));
        writePack(QStringLiteral("Other.ini"), "028=Stopp\r\n");
        Settings::current().languageFile = QStringLiteral("Other.ini");
        QCOMPARE(caption(Caption::HintStop), QStringLiteral("Stopp"));
    }

    void unreadablePackIsLogged() {
        QVERIFY(QDir().mkpath(lang));
        if (!makeUnreadable(lang + QStringLiteral("/Test.ini")))
            QSKIP("no /proc/self/mem to stand for an unreadable file");
        // The default texts, as for a missing pack; one record however many lookups.
        QCOMPARE(caption(Caption::HintPlay), QStringLiteral("Play"));
        QCOMPARE(caption(Caption::FileMenu), QStringLiteral("&File"));

        const QString log = QString::fromLocal8Bit(readFile(errorLog()));
        static const QRegularExpression record(QStringLiteral(
            "\\A\"\r\nDate: [^\r\n]+\",\"Time: [^\r\n]+\",\"Error Description: ([^\r\n]+), "
            "Error Number: ([1-9][0-9]*), Method: SetCaptionfromINI\"\r\n\\z"));
        const auto match = record.match(log);
        QVERIFY2(match.hasMatch(), qPrintable(log));
        QVERIFY(!match.captured(1).isEmpty());
    }

    // Named as the pack, but nothing a pack reader should read or wait on.
    void specialPackGivesDefaults_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("device") << "device";
        QTest::newRow("FIFO") << "fifo";
        QTest::newRow("10 MB") << "huge";
    }
    void specialPackGivesDefaults() {
        QFETCH(QString, kind);
        // A pack that reads (or is missing) first: a failure is logged again after it.
        QCOMPARE(caption(Caption::HintPause), QStringLiteral("Pause"));
        QVERIFY(QDir().mkpath(lang));
        const QString pack = lang + QStringLiteral("/Test.ini");
        if (kind == u"device")
            QVERIFY(QFile::link(QStringLiteral("/dev/zero"), pack));
        else if (kind == u"fifo")
            QVERIFY(::mkfifo(QFile::encodeName(pack).constData(), 0600) == 0);
        else
            writePack(QStringLiteral("Test.ini"), "027=Pause!\r\n" + QByteArray(10 << 20, ';'));
        QCOMPARE(caption(Caption::HintPause), QStringLiteral("Pause"));
        QCOMPARE(caption(Caption::FileMenu), QStringLiteral("&File"));
        QCOMPARE(readFile(errorLog()).count("Method: SetCaptionfromINI"), 1);
    }

    // Windows tools write packs in Windows-1252, others in UTF-8; old Mac editors end lines in CR.
    void packEncodingsReadAlike_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("UTF-8") << QByteArray("10=&Fichier \xc3\xa9t\xc3\xa9 \xe2\x82\xac\r\n");
        QTest::newRow("Windows-1252") << QByteArray("10=&Fichier \xe9t\xe9 \x80\r\n");
        QTest::newRow("CR line ends") << QByteArray("\r10=&Fichier \xe9t\xe9 \x80\r21=x\r");
    }
    void packEncodingsReadAlike() {
        QFETCH(QByteArray, body);
        writePack(QStringLiteral("Test.ini"), body);
        QCOMPARE(caption(Caption::FileMenu), QStringLiteral("&Fichier \u00e9t\u00e9 \u20ac"));
        QCOMPARE(caption(Caption::ErrorTitle), QStringLiteral("Error"));
        QVERIFY(!QFile::exists(errorLog()));
    }

    void shippedEnglishPackGivesEveryDefault() {
        const QString shipped = QFINDTESTDATA("../../data/Lang/English.ini");
        QVERIFY(!shipped.isEmpty());
        QVERIFY(QDir().mkpath(lang));
        QVERIFY(QFile::copy(shipped, lang + QStringLiteral("/English.ini")));
        Settings::current().languageFile = QStringLiteral("English.ini");

        QSet<QString> tableIds;
        for (const CaptionText& text : allCaptions) {
            const QString id = QString::fromUtf8(text.id);
            QVERIFY2(!tableIds.contains(id), qPrintable(id));
            tableIds.insert(id);
            // A text unknown to the pack would come back as the default as well; the
            // lookup with a marker default shows that the pack itself supplies it.
            QCOMPARE(SetCaptionfromINI(id, QStringLiteral("<missing>")),
                     QString::fromUtf8(text.defaultText));
        }

        QSet<QString> packIds;
        const QStringList lines =
            QString::fromLocal8Bit(readFile(shipped)).split(QStringLiteral("\r\n"));
        for (const QString& line : lines) {
            if (line.contains(u'='))
                packIds.insert(line.section(u'=', 0, 0));
        }
        QCOMPARE(packIds, tableIds);
        QVERIFY(!QFile::exists(errorLog()));
    }
};

QTEST_GUILESS_MAIN(TestLanguageReader)
#include "tst_languagereader.moc"
