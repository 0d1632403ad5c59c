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

// Every entry of the caption table with its ID and built-in text written out, so that a typo in
// the table shows here rather than being compared with itself.
struct PinnedCaption {
    CaptionText text;
    const char* id;
    const char* defaultText;
};

// clang-format off
const PinnedCaption allCaptions[] = {
    {Caption::MediaActions, "01", "Media Actions"},
    {Caption::MediaTools, "02", "Media Tools"},
    {Caption::Ok, "03", "&OK"},
    {Caption::Cancel, "04", "&Cancel"},
    {Caption::NoDvdDrives, "05", "<No DVD drives were found>"},
    {Caption::InsertDvd, "06", "<Please insert a DVD>"},
    {Caption::InvalidDvd, "07", "Please insert a valid DVD."},
    {Caption::ConfigError, "08", "Error in the configuration file."},
    {Caption::ConfigRecreated, "09", "A new one was created with the defaults."},
    {Caption::ErrorTitle, "010", "Error"},
    {Caption::ReloadQuestion, "012", "Some changes need the video to be reloaded. Do you want to reload the video?"},
    {Caption::WarningTitle, "013", "Warning"},
    {Caption::OptionsIntervalInvalid, "014", "Please enter a valid numeric time ranging from 1000 - 60000."},
    {Caption::PrefixInvalid, "015", "Please enter a valid snapshot prefix."},
    {Caption::PromptIntervalInvalid, "016", "Value should be numeric and between 1000 - 60000."},
    {Caption::UpdaterFailed, "018", "Can't run the updates checker."},
    {Caption::HelpMissing, "019", "Can't find the help file."},
    {Caption::UpdatesFromPackages, "036", "Updates for Stillbeck come with your system's package manager."},
    {Caption::Loading, "020", "LOADING..."},
    {Caption::HintSingleSnapshot, "021", "Single Snapshot"},
    {Caption::HintContinuousSnapshots, "022", "Continuous Snapshots"},
    {Caption::HintTimedSnapshots, "023", "Timed Snapshots"},
    {Caption::HintFullScreen, "024", "Full Screen"},
    {Caption::HintRewind, "025", "Rewind"},
    {Caption::HintPlay, "026", "Play"},
    {Caption::HintPause, "027", "Pause"},
    {Caption::HintStop, "028", "Stop"},
    {Caption::HintFastForward, "029", "Fast Forward"},
    {Caption::HintMute, "030", "Mute"},
    {Caption::HintSound, "031", "Sound"},
    {Caption::HintVolume, "032", "Volume"},
    {Caption::PositionBarName, "035", "Position"},
    {Caption::PrefixTooLong, "033", "Prefix should not be greater than 4 characters."},
    {Caption::AlreadyRunning, "034", "The application is already running."},
    {Caption::FileMenu, "10", "&File"},
    {Caption::OpenMenu, "11", "&Open"},
    {Caption::ExitCommand, "12", "E&xit"},
    {Caption::EditMenu, "20", "&Edit"},
    {Caption::SnapshotCommand, "21", "&Snapshot"},
    {Caption::ContinuousSnapshots, "22", "&Continuous Snapshots"},
    {Caption::TimedSnapshots, "23", "&Timed Snapshots"},
    {Caption::FullScreenMenu, "24", "&Full Screen"},
    {Caption::ToolsMenu, "30", "&Tools"},
    {Caption::OptionsMenuCommand, "31", "&Options"},
    {Caption::HelpMenu, "40", "&Help"},
    {Caption::HowToUseMenu, "41", "&How To Use?"},
    {Caption::CheckUpdates, "42", "&Check For Updates"},
    {Caption::AboutMenu, "43", "&About"},
    {Caption::AboutTitle, "51", "About"},
    {Caption::AboutVersion, "52", "Version"},
    {Caption::AboutDescription, "53", "Use this easy-to-use application to easily and effectively extract or capture images from your favorite DVD-Video discs. You can extract one image while playing your favorite movie ad also you can extract a portion of the DVD-Video."},
    {Caption::OptionsTitle, "70", "Options"},
    {Caption::LanguageFrame, "71", "Language"},
    {Caption::LanguageLabel, "72", "Select Language:"},
    {Caption::SnapshotsFrame, "73", "Snapshots"},
    {Caption::ImageFormatLabel, "74", "Image Format:"},
    {Caption::SnapshotsPathLabel, "75", "Snapshots Path:"},
    {Caption::SnapshotsBrowse, "76", "&Browse..."},
    {Caption::PrefixLabel, "77", "Snapshot Prefix:"},
    {Caption::InputBoxCheck, "78", "Do not show \"Timed Snapshot\"input box again"},
    {Caption::ValueTitle, "79", "Use this value instead:"},
    {Caption::MillisecondsLabel, "80", "milliseconds."},
    {Caption::TimedSnapshotsTitle, "90", "Timed Snapshots"},
    {Caption::RequestLabel, "91", "Capture a snapshot every"},
    {Caption::Check1, "92", "Do not show this again and  use this value as the default."},
    {Caption::OpenImageOrFolder, "93", "DVD &Image or Folder..."},
    {Caption::ImagesNotSaved, "94", "The images could not be saved in this folder:"},
    {Caption::ConfigNotWritten, "95", "A new one could not be written to:"},
    {Caption::SettingsNotSaved, "96", "The settings could not be saved to:"},
    {Caption::TitleEntryName, "037", "Title %1"},
    {Caption::ChapterEntryName, "038", "Chapter %1"},
    {Caption::TrackEntryName, "039", "Track %1"},
    {Caption::HintNextFrame, "040", "Shows the next picture"},
    {Caption::HintPreviousFrame, "041", "Shows the previous picture"},
    {Caption::HintKeepLastSeconds, "042", "Saves the pictures of the last two seconds"},
    {Caption::HintCopyPicture, "043", "Copies the picture to the clipboard"},
    {Caption::HintNextChapter, "044", "Goes to the next chapter"},
    {Caption::HintPreviousChapter, "045", "Goes to the previous chapter"},
    {Caption::HintListEntry, "046", "Plays this title, chapter or track"},
    {Caption::KeepLastSeconds, "25", "&Keep Last Seconds"},
    {Caption::CopyPicture, "26", "Co&py Picture"},
    {Caption::PlaybackMenu, "60", "&Playback"},
    {Caption::TitleMenu, "61", "&Title"},
    {Caption::ChapterMenu, "62", "&Chapter"},
    {Caption::AudioMenu, "63", "&Audio"},
    {Caption::SubtitlesMenu, "64", "&Subtitles"},
    {Caption::NextFrame, "65", "Next &Frame"},
    {Caption::PreviousFrame, "66", "Pre&vious Frame"},
    {Caption::NextChapter, "67", "&Next Chapter"},
    {Caption::PreviousChapter, "68", "P&revious Chapter"},
    {Caption::SubtitlesOff, "69", "Off"},
    {Caption::ExportTitleCommand, "100", "Export &Title..."},
    {Caption::HintExportTitle, "101", "Saves a whole title as still images"},
    {Caption::ExportDialogTitle, "102", "Export Title"},
    {Caption::ExportTitleLabel, "103", "&Title:"},
    {Caption::ExportChaptersLabel, "104", "C&hapters:"},
    {Caption::ExportChaptersTo, "105", "to"},
    {Caption::ExportImagesFrame, "106", "Images"},
    {Caption::ExportEveryInterval, "107", "One image &every"},
    {Caption::ExportSeconds, "108", "seconds"},
    {Caption::ExportEveryFrame, "109", "Every &distinct picture"},
    {Caption::ExportPerShot, "110", "The first picture of each &shot"},
    {Caption::ExportSheetOnly, "111", "A contact sheet o&nly"},
    {Caption::ExportAddSheet, "112", "&Add a contact sheet"},
    {Caption::ExportSheetColumns, "113", "Col&umns:"},
    {Caption::ExportSheetRows, "114", "&Rows:"},
    {Caption::ExportSheetWidth, "115", "&Width (pixels):"},
    {Caption::ExportProgressTitle, "116", "Exporting Title %1"},
    {Caption::ExportImagesWritten, "117", "Images written:"},
    {Caption::ExportTimeLeft, "118", "Time left:"},
    {Caption::ExportStopping, "119", "Stopping..."},
    {Caption::ExportDone, "120", "The export is finished."},
    {Caption::ExportStopped, "121", "The export was stopped."},
    {Caption::ExportSectorsSkipped, "122", "Unreadable sectors skipped:"},
    {Caption::ExportEncrypted, "123", "This title is encrypted and no library to decrypt it is installed, so it cannot be exported."},
    {Caption::ExportUnreadable, "124", "The disc's title tables could not be read."},
    {Caption::ExitWhileExporting, "125", "An export is running. Stop it and quit?"},
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
        // A caption added to the table without its pin here fails.
        QCOMPARE(std::size(allCaptions), std::size(Caption::All));
        for (const PinnedCaption& pinned : allCaptions) {
            QCOMPARE(pinned.text.id, pinned.id);
            QCOMPARE(caption(pinned.text), QString::fromUtf8(pinned.defaultText));
        }
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

    void passReadsThePackOnceAndFollowsTheChosenPack() {
        writePack(QStringLiteral("Test.ini"), "028=Halt\r\n");
        writePack(QStringLiteral("Other.ini"), "028=Stopp\r\n");
        {
            const CaptionPass pass;
            QCOMPARE(caption(Caption::HintStop), QStringLiteral("Halt"));
            writePack(QStringLiteral("Test.ini"), "028=Anhalten\r\n");
            QCOMPARE(caption(Caption::HintStop), QStringLiteral("Halt"));
            // A pack chosen during the pass is the one read.
            Settings::current().languageFile = QStringLiteral("Other.ini");
            QCOMPARE(caption(Caption::HintStop), QStringLiteral("Stopp"));
            Settings::current().languageFile = QStringLiteral("Test.ini");
            { const CaptionPass inner; }
            // The inner pass ending leaves the outer one's reading in place.
            QCOMPARE(caption(Caption::HintStop), QStringLiteral("Halt"));
        }
        QCOMPARE(caption(Caption::HintStop), QStringLiteral("Anhalten"));
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
        for (const PinnedCaption& pinned : allCaptions) {
            const QString id = QString::fromUtf8(pinned.id);
            QVERIFY2(!tableIds.contains(id), qPrintable(id));
            tableIds.insert(id);
            // A text unknown to the pack would come back as the default as well; the
            // lookup with a marker default shows that the pack itself supplies it.
            QCOMPARE(SetCaptionfromINI(id, QStringLiteral("<missing>")),
                     QString::fromUtf8(pinned.defaultText));
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
