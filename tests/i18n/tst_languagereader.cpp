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

namespace {

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
        QCOMPARE(found.text, QString());
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
        for (const CaptionText& text : Caption::All)
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
        QCOMPARE(caption(Caption::HintPlay), QString());

        const QString log = QString::fromLocal8Bit(readFile(errorLog()));
        static const QRegularExpression record(QStringLiteral(
            "\\A\"\r\nDate: [^\r\n]+\",\"Time: [^\r\n]+\",\"Error Description: ([^\r\n]+), "
            "Error Number: ([1-9][0-9]*), Method: SetCaptionfromINI\"\r\n\\z"));
        const auto match = record.match(log);
        QVERIFY2(match.hasMatch(), qPrintable(log));
        QVERIFY(!match.captured(1).isEmpty());
    }

    void shippedEnglishPackGivesEveryDefault() {
        const QString shipped = QFINDTESTDATA("../../data/Lang/English.ini");
        QVERIFY(!shipped.isEmpty());
        QVERIFY(QDir().mkpath(lang));
        QVERIFY(QFile::copy(shipped, lang + QStringLiteral("/English.ini")));
        Settings::current().languageFile = QStringLiteral("English.ini");

        QSet<QString> tableIds;
        for (const CaptionText& text : Caption::All) {
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
