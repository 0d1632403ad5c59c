// The options dialog on its own: loading, the checks of OK, saving, the reload question, browse
// and the dialog's life cycle.
#include "ui/OptionsDialog.h"

#include "controls/folder_picker/FolderBrowse.h"
#include "platform/ProgramFolder.h"
#include "settings/Settings.h"
#include "settings/SettingsFile.h"
#include "support/ScriptedMessageBoxes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <functional>

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool writeFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

} // namespace

class OptionsDialogTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void windowFrameAndPlace();
    void controls_data();
    void controls();
    void tabOrderAndButtons();
    void loadFillsControlsFromSettings();
    void checkBoxEnablesIntervalField();
    void languageList_data();
    void languageList();
    void okWithoutPacksKeepsLanguage();
    void intervalChecked_data();
    void intervalChecked();
    void prefixChecked_data();
    void prefixChecked();
    void prefixNamingExistingFileIsAcceptedAndKept();
    void prefixNamingFolderIsRejected();
    void unwritableCurrentFolderStillAcceptsGoodPrefix();
    void okCopiesControlsAndWritesFile();
    void failedSaveKeepsDialogOpen_data();
    void failedSaveKeepsDialogOpen();
    void reloadQuestion_data();
    void reloadQuestion();
    void browsePicksFolder();
    void browseCancelledKeepsPath();
    void pathFieldIsReadOnly();
    void okHidesAndKeepsControls();
    void cancelUnloads_data();
    void cancelUnloads();
    void enterPressesOk();

private:
    OptionsDialog* makeDialog();
    void addPacks(const QStringList& names);
    QString configPath() const { return programDir->filePath(QStringLiteral("Config.cfg")); }
    // Shows the dialog modally, runs script inside the modal loop once the window is active, and
    // reports whether the modal loop ended. A dialog left open is hidden after a few seconds.
    bool runModal(OptionsDialog& dialog, const std::function<void()>& script);

    std::unique_ptr<QTemporaryDir> programDir;
    std::unique_ptr<QTemporaryDir> currentDir;
    QString previousCurrent;
    ScriptedMessageBoxes boxes;
    QString drive;
    bool coverShown = true;
    QList<QPointer<OptionsDialog>> dialogs;
};

void OptionsDialogTest::init() {
    programDir = std::make_unique<QTemporaryDir>();
    currentDir = std::make_unique<QTemporaryDir>();
    platform::setProgramFolder(programDir->path());
    previousCurrent = QDir::currentPath();
    QDir::setCurrent(currentDir->path());
    Settings::current() = Settings::defaults();
    Settings::current().snapshotsPath = QStringLiteral("/srv/shots/");
    boxes = ScriptedMessageBoxes();
    drive.clear();
    coverShown = true;
    modBrowse::setBrowseDialogHook([](const modBrowse::BrowseInfo&) {
        qWarning("a real folder dialog was asked for");
        return QString();
    });
}

void OptionsDialogTest::cleanup() {
    for (const QPointer<OptionsDialog>& dialog : dialogs)
        delete dialog.data();
    dialogs.clear();
    modBrowse::setBrowseDialogHook({});
    QDir::setCurrent(previousCurrent);
    platform::setProgramFolder(QString());
    currentDir.reset();
    programDir.reset();
}

OptionsDialog* OptionsDialogTest::makeDialog() {
    OptionsDialogHost host;
    host.currentDrive = [this] { return drive; };
    host.logoHideVisible = [this] { return coverShown; };
    auto* dialog = new OptionsDialog(boxes, host);
    dialogs.append(dialog);
    return dialog;
}

void OptionsDialogTest::addPacks(const QStringList& names) {
    QDir(programDir->path()).mkpath(QStringLiteral("Lang"));
    for (const QString& name : names)
        QVERIFY(writeFile(programDir->filePath(QStringLiteral("Lang/") + name),
                          "[Stillbeck Language Pack]\r\n"));
}

bool OptionsDialogTest::runModal(OptionsDialog& dialog, const std::function<void()>& script) {
    bool forced = false;
    QTimer::singleShot(0, &dialog, [&] {
        if (QTest::qWaitForWindowActive(&dialog))
            script();
    });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, &dialog, [&] {
        forced = true;
        dialog.hide();
    });
    watchdog.start(5000);
    dialog.showModal();
    watchdog.stop();
    return !forced;
}

void OptionsDialogTest::windowFrameAndPlace() {
    OptionsDialog* dialog = makeDialog();
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Options"));
    const Qt::WindowFlags flags = dialog->windowFlags();
    QCOMPARE(flags & Qt::WindowType_Mask, Qt::Dialog);
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QCOMPARE(dialog->minimumSize(), QSize(402, 280));
    QCOMPARE(dialog->maximumSize(), QSize(402, 280));

    const QPoint origin = QGuiApplication::primaryScreen()->geometry().topLeft();
    QRect shownAt;
    bool modal = false;
    QVERIFY(runModal(*dialog, [&] {
        shownAt = dialog->geometry();
        modal = QApplication::activeModalWidget() == dialog;
        QTest::mouseClick(dialog->OKButton, Qt::LeftButton);
    }));
    QVERIFY(modal);
    QCOMPARE(shownAt, QRect(origin + QPoint(184, 250), QSize(402, 280)));
}

void OptionsDialogTest::controls_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("container");
    QTest::addColumn<QRect>("rect");
    QTest::addColumn<QString>("text");
    const QString window = QStringLiteral("OptionsDialog");
    const QString language = QStringLiteral("languageFrame");
    const QString snapshots = QStringLiteral("snapshotsFrame");
    QTest::newRow("languageFrame")
        << "languageFrame" << window << QRect(8, 8, 385, 57) << "Language";
    QTest::newRow("languageLabel")
        << "languageLabel" << language << QRect(8, 24, 81, 13) << "Select Language";
    QTest::newRow("availableLanguages")
        << "availableLanguages" << language << QRect(112, 24, 121, 21) << "";
    QTest::newRow("snapshotsFrame")
        << "snapshotsFrame" << window << QRect(8, 72, 385, 169) << "Snapshots";
    QTest::newRow("imageFormatLabel")
        << "imageFormatLabel" << snapshots << QRect(19, 24, 67, 13) << "Image Format:";
    QTest::newRow("imageFormats") << "imageFormats" << snapshots << QRect(96, 20, 89, 21) << "PNG";
    QTest::newRow("snapshotsPathLabel")
        << "snapshotsPathLabel" << snapshots << QRect(8, 56, 78, 13) << "Snapshots Path:";
    QTest::newRow("snapshotPath") << "snapshotPath" << snapshots << QRect(96, 53, 209, 19)
                                  << "/srv/shots/";
    QTest::newRow("snapshotsBrowse")
        << "snapshotsBrowse" << snapshots << QRect(312, 53, 65, 19) << "&Browse...";
    QTest::newRow("prefixLabel") << "prefixLabel" << snapshots << QRect(9, 88, 77, 13)
                                 << "Snapshot Prefix:";
    QTest::newRow("snapshotPrefix")
        << "snapshotPrefix" << snapshots << QRect(96, 85, 209, 19) << "IMG_";
    QTest::newRow("inputBoxCheck") << "inputBoxCheck" << snapshots << QRect(8, 112, 369, 17)
                                   << "Do not show \"Timed Snapshot\"input box again";
    QTest::newRow("valueTitle") << "valueTitle" << snapshots << QRect(32, 136, 107, 13)
                                << "Use this value instead:";
    QTest::newRow("milliseconds") << "milliseconds" << snapshots << QRect(144, 133, 65, 19)
                                  << "5000";
    QTest::newRow("millisecondsLabel")
        << "millisecondsLabel" << snapshots << QRect(216, 134, 65, 17) << "milliseconds.";
    QTest::newRow("OKButton") << "OKButton" << window << QRect(224, 248, 81, 25) << "OK";
    QTest::newRow("CancelButton") << "CancelButton" << window << QRect(312, 248, 81, 25)
                                  << "Cancel";
}

void OptionsDialogTest::controls() {
    QFETCH(QString, name);
    QFETCH(QString, container);
    QFETCH(QRect, rect);
    QFETCH(QString, text);
    OptionsDialog* dialog = makeDialog();
    auto* widget = dialog->findChild<QWidget*>(name);
    QVERIFY(widget);
    QCOMPARE(widget->parentWidget()->objectName(), container);
    QCOMPARE(widget->geometry(), rect);
    QString shown;
    if (auto* frame = qobject_cast<QGroupBox*>(widget))
        shown = frame->title();
    else if (auto* list = qobject_cast<QComboBox*>(widget))
        shown = list->currentText();
    else
        shown = widget->property("text").toString();
    QCOMPARE(shown, text);
}

void OptionsDialogTest::tabOrderAndButtons() {
    OptionsDialog* dialog = makeDialog();
    QList<QWidget*> chain;
    for (QWidget* w = dialog->nextInFocusChain(); w != dialog && chain.size() < 40;
         w = w->nextInFocusChain()) {
        if (w->focusPolicy() & Qt::TabFocus)
            chain.append(w);
    }
    const QList<QWidget*> expected{
        dialog->availableLanguages, dialog->imageFormats,   dialog->snapshotPath,
        dialog->snapshotsBrowse,    dialog->snapshotPrefix, dialog->inputBoxCheck,
        dialog->milliseconds,       dialog->OKButton,       dialog->CancelButton};
    QCOMPARE(chain, expected);
    QVERIFY(dialog->OKButton->isDefault());
    QCOMPARE(dialog->imageFormats->count(), 2);
    QCOMPARE(dialog->imageFormats->itemText(0), QStringLiteral("PNG"));
    QCOMPARE(dialog->imageFormats->itemText(1), QStringLiteral("JPG"));
    QVERIFY(!dialog->availableLanguages->isEditable());
    QVERIFY(!dialog->imageFormats->isEditable());
    // The picker keeps every default.
    QVERIFY(dialog->FolderBrowse1);
    QCOMPARE(dialog->FolderBrowse1->flags(), quint32(0x0022));
    QCOMPARE(dialog->FolderBrowse1->Caption(), QStringLiteral("Folder Browser"));
}

void OptionsDialogTest::loadFillsControlsFromSettings() {
    Settings& s = Settings::current();
    s.imageFormat = 1;
    s.snapshotsPath = QStringLiteral("/srv/a, \"b\"/");
    s.snapshotPrefix = QStringLiteral("TOOLONG"); // edited by hand: shown as it is
    s.hideIntervalPrompt = 1;
    s.snapshotInterval = 500;
    OptionsDialog* dialog = makeDialog();
    QCOMPARE(dialog->imageFormats->currentIndex(), 1);
    QCOMPARE(dialog->snapshotPath->text(), s.snapshotsPath);
    QCOMPARE(dialog->snapshotPrefix->text(), QStringLiteral("TOOLONG"));
    QVERIFY(dialog->inputBoxCheck->isChecked());
    QCOMPARE(dialog->milliseconds->text(), QStringLiteral("500"));
    QVERIFY(dialog->tag.isEmpty());

    // Any format other than 0 means JPG; any other prompt setting than 0 means skip it.
    s.imageFormat = 7;
    s.hideIntervalPrompt = 2;
    OptionsDialog* other = makeDialog();
    QCOMPARE(other->imageFormats->currentIndex(), 1);
    QVERIFY(other->inputBoxCheck->isChecked());
}

void OptionsDialogTest::checkBoxEnablesIntervalField() {
    Settings::current().hideIntervalPrompt = 0;
    OptionsDialog* dialog = makeDialog();
    const QList<QWidget*> interval{dialog->valueTitle, dialog->milliseconds,
                                   dialog->millisecondsLabel};
    for (QWidget* w : interval)
        QVERIFY(!w->isEnabled());
    dialog->show();
    QTest::mouseClick(dialog->inputBoxCheck, Qt::LeftButton);
    for (QWidget* w : interval)
        QVERIFY(w->isEnabled());
    QTest::mouseClick(dialog->inputBoxCheck, Qt::LeftButton);
    for (QWidget* w : interval)
        QVERIFY(!w->isEnabled());

    Settings::current().hideIntervalPrompt = 1;
    OptionsDialog* checked = makeDialog();
    QVERIFY(checked->milliseconds->isEnabled());
}

void OptionsDialogTest::languageList_data() {
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("languageFile");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QString>("languageAfter");
    const QStringList three{"Francais.ini", "English.ini", "Deutsch.ini"};
    const QStringList threeEntries{"Deutsch", "English", "Francais"};
    QTest::newRow("current pack selected")
        << three << "Francais.ini" << threeEntries << 2 << "Francais.ini";
    QTest::newRow("letter case differs: English")
        << three << "english.ini" << threeEntries << 1 << "English.ini";
    QTest::newRow("missing pack: English")
        << three << "Klingon.ini" << threeEntries << 1 << "English.ini";
    QTest::newRow("missing pack, no English: first")
        << QStringList{"Francais.ini", "Deutsch.ini"} << "Klingon.ini"
        << QStringList{"Deutsch", "Francais"} << 0 << "English.ini";
    QTest::newRow("sorted without regard to case")
        << QStringList{"English.ini", "deutsch.ini", "Zulu.ini"} << "Zulu.ini"
        << QStringList{"deutsch", "English", "Zulu"} << 2 << "Zulu.ini";
    QTest::newRow("only names ending in .ini")
        << QStringList{"English.ini", "Espanol.INI", "notes.txt", "Greek.ini.bak"} << "Espanol.INI"
        << QStringList{"English"} << 0 << "English.ini";
    QTest::newRow("no packs") << QStringList{} << "Deutsch.ini" << QStringList{} << -1
                              << "English.ini";
}

void OptionsDialogTest::languageList() {
    QFETCH(QStringList, files);
    QFETCH(QString, languageFile);
    QFETCH(QStringList, entries);
    QFETCH(int, selected);
    QFETCH(QString, languageAfter);
    addPacks(files);
    QVERIFY(QDir(programDir->path()).mkpath(QStringLiteral("Lang/Folder.ini")));
    Settings::current().languageFile = languageFile;
    OptionsDialog* dialog = makeDialog();
    QStringList shown;
    for (int i = 0; i < dialog->availableLanguages->count(); ++i)
        shown.append(dialog->availableLanguages->itemText(i));
    QCOMPARE(shown, entries);
    QCOMPARE(dialog->availableLanguages->currentIndex(), selected);
    QCOMPARE(Settings::current().languageFile, languageAfter);
}

void OptionsDialogTest::okWithoutPacksKeepsLanguage() {
    // No "Lang" folder at all.
    Settings::current().languageFile = QStringLiteral("Deutsch.ini");
    OptionsDialog* dialog = makeDialog();
    QCOMPARE(dialog->availableLanguages->count(), 0);
    dialog->OKButton_Click();
    QVERIFY(boxes.shown.isEmpty());
    QCOMPARE(Settings::current().languageFile, QStringLiteral("English.ini"));
    QVERIFY(readAll(configPath()).endsWith("\r\nEnglish.ini\r\n"));
}

void OptionsDialogTest::intervalChecked_data() {
    QTest::addColumn<bool>("promptSkipped");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<int>("stored");
    QTest::newRow("500 with the field disabled") << false << "500" << false << 0;
    QTest::newRow("500 with the field enabled") << true << "500" << false << 0;
    QTest::newRow("leading zero") << true << "05000" << false << 0;
    QTest::newRow("blank after") << true << "5000 " << false << 0;
    QTest::newRow("empty") << true << "" << false << 0;
    QTest::newRow("above range") << true << "60001" << false << 0;
    QTest::newRow("lowest") << true << "1000" << true << 1000;
    QTest::newRow("highest") << false << "60000" << true << 60000;
    QTest::newRow("half to even, down") << true << "1500.5" << true << 1500;
    QTest::newRow("half to even, up") << true << "1501.5" << true << 1502;
}

void OptionsDialogTest::intervalChecked() {
    QFETCH(bool, promptSkipped);
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    QFETCH(int, stored);
    Settings::current().hideIntervalPrompt = promptSkipped ? 1 : 0;
    const Settings before = Settings::current();
    OptionsDialog* dialog = makeDialog();
    dialog->show();
    dialog->milliseconds->setText(text);
    dialog->snapshotPrefix->setText(QStringLiteral("TOOLONG")); // would be the next complaint
    if (accepted)
        dialog->snapshotPrefix->setText(QStringLiteral("SHOT"));
    dialog->OKButton_Click();
    if (!accepted) {
        QCOMPARE(boxes.shown.size(), 1);
        QCOMPARE(boxes.shown[0].text,
                 QStringLiteral("Please enter a valid numeric time ranging from 1000 - 60000."));
        QCOMPARE(boxes.shown[0].title, QStringLiteral("Error"));
        QCOMPARE(boxes.shown[0].icon, MessageBoxes::Icon::Critical);
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->milliseconds->text(), text);
        QVERIFY(Settings::current() == before);
        QVERIFY(!QFile::exists(configPath()));
    } else {
        QVERIFY(boxes.shown.isEmpty());
        QVERIFY(!dialog->isVisible());
        QCOMPARE(Settings::current().snapshotInterval, stored);
    }
}

void OptionsDialogTest::prefixChecked_data() {
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("message"); // empty: accepted
    const QString tooLong = QStringLiteral("Prefix should not be greater than 4 characters.");
    const QString invalid = QStringLiteral("Please enter a valid snapshot prefix.");
    QTest::newRow("four") << "IMG_"
                          << "";
    QTest::newRow("one") << "a"
                         << "";
    QTest::newRow("blank inside") << "a b"
                                  << "";
    QTest::newRow("non-ASCII") << QStringLiteral("Bild") << "";
    QTest::newRow("five") << "IMAGE" << tooLong;
    QTest::newRow("five, also unusable: length first") << "A*B?C" << tooLong;
    QTest::newRow("empty") << "" << invalid;
    QTest::newRow("star") << "*" << invalid;
    QTest::newRow("question mark") << "?" << invalid;
    QTest::newRow("slash") << "a/b" << invalid;
    QTest::newRow("backslash") << "a\\b" << invalid;
    QTest::newRow("colon") << "C:" << invalid;
    QTest::newRow("quote") << "\"" << invalid;
    QTest::newRow("less") << "<" << invalid;
    QTest::newRow("greater") << ">" << invalid;
    QTest::newRow("bar") << "|" << invalid;
    QTest::newRow("tab") << "\t" << invalid;
    QTest::newRow("NUL") << QString(QChar(0)) << invalid;
    QTest::newRow("dot") << "." << invalid;
    QTest::newRow("dot dot") << ".." << invalid;
}

void OptionsDialogTest::prefixChecked() {
    QFETCH(QString, prefix);
    QFETCH(QString, message);
    const Settings before = Settings::current();
    OptionsDialog* dialog = makeDialog();
    dialog->show();
    dialog->snapshotPrefix->setText(prefix);
    dialog->OKButton_Click();
    // The file test leaves nothing behind in the current folder.
    QCOMPARE(QDir::current().entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList());
    if (message.isEmpty()) {
        QVERIFY(boxes.shown.isEmpty());
        QCOMPARE(Settings::current().snapshotPrefix, prefix);
        QVERIFY(!dialog->isVisible());
        return;
    }
    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(boxes.shown[0].text, message);
    QCOMPARE(boxes.shown[0].title, QStringLiteral("Error"));
    QCOMPARE(boxes.shown[0].icon, MessageBoxes::Icon::Critical);
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->snapshotPrefix->text(), prefix);
    QVERIFY(Settings::current() == before);
    QVERIFY(!QFile::exists(configPath()));
}

void OptionsDialogTest::prefixNamingExistingFileIsAcceptedAndKept() {
    QVERIFY(writeFile(QDir::current().filePath(QStringLiteral("SHOT")), "keep me"));
    OptionsDialog* dialog = makeDialog();
    dialog->snapshotPrefix->setText(QStringLiteral("SHOT"));
    dialog->OKButton_Click();
    QVERIFY(boxes.shown.isEmpty());
    QCOMPARE(Settings::current().snapshotPrefix, QStringLiteral("SHOT"));
    QCOMPARE(readAll(QDir::current().filePath(QStringLiteral("SHOT"))), QByteArray("keep me"));
}

void OptionsDialogTest::prefixNamingFolderIsRejected() {
    QVERIFY(QDir::current().mkdir(QStringLiteral("SUB")));
    OptionsDialog* dialog = makeDialog();
    dialog->snapshotPrefix->setText(QStringLiteral("SUB"));
    dialog->OKButton_Click();
    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(boxes.shown[0].text, QStringLiteral("Please enter a valid snapshot prefix."));
    QVERIFY(QFileInfo(QDir::current().filePath(QStringLiteral("SUB"))).isDir());
}

void OptionsDialogTest::unwritableCurrentFolderStillAcceptsGoodPrefix() {
    QFile::setPermissions(currentDir->path(), QFile::ReadOwner | QFile::ExeOwner);
    const bool writable = QFileInfo(currentDir->path()).isWritable();
    if (writable) {
        QFile::setPermissions(currentDir->path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QSKIP("this user can write to any folder");
    }
    OptionsDialog* dialog = makeDialog();
    dialog->snapshotPrefix->setText(QStringLiteral("IMG_"));
    dialog->OKButton_Click();
    QFile::setPermissions(currentDir->path(),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(boxes.shown.isEmpty());
    QCOMPARE(Settings::current().snapshotPrefix, QStringLiteral("IMG_"));
}

void OptionsDialogTest::okCopiesControlsAndWritesFile() {
    addPacks({"Deutsch.ini", "English.ini"});
    OptionsDialog* dialog = makeDialog();
    QCOMPARE(dialog->availableLanguages->currentText(), QStringLiteral("English"));
    dialog->show();
    dialog->availableLanguages->setCurrentIndex(0);
    dialog->imageFormats->setCurrentIndex(1);
    dialog->snapshotPath->setText(QStringLiteral("/media/shots, \"best\""));
    dialog->snapshotPrefix->setText(QStringLiteral("SHOT"));
    dialog->inputBoxCheck->setChecked(true);
    dialog->milliseconds->setText(QStringLiteral("2500"));
    dialog->OKButton_Click();

    QVERIFY(boxes.shown.isEmpty());
    Settings expected;
    expected.imageFormat = 1;
    expected.snapshotsPath = QStringLiteral("/media/shots, \"best\"");
    expected.snapshotPrefix = QStringLiteral("SHOT");
    expected.hideIntervalPrompt = 1;
    expected.snapshotInterval = 2500;
    expected.languageFile = QStringLiteral("Deutsch.ini");
    QVERIFY(Settings::current() == expected);
    QCOMPARE(readAll(configPath()), QByteArray(" 1 \r\n/media/shots, \"best\"\r\nSHOT\r\n"
                                               " 1 \r\n 2500 \r\nDeutsch.ini\r\n"));
    Settings readBack;
    QVERIFY(SettingsFile::read(configPath(), readBack));
    QVERIFY(readBack == expected);

    // Everything as loaded: the numbers still carry their blanks.
    Settings::current() = Settings::defaults();
    Settings::current().snapshotsPath = QStringLiteral("/srv/");
    makeDialog()->OKButton_Click();
    QCOMPARE(readAll(configPath()),
             QByteArray(" 0 \r\n/srv/\r\nIMG_\r\n 0 \r\n 5000 \r\nEnglish.ini\r\n"));
    QVERIFY(SettingsFile::read(configPath(), readBack));
    QVERIFY(readBack == Settings::current());
}

void OptionsDialogTest::failedSaveKeepsDialogOpen_data() {
    QTest::addColumn<bool>("configIsFolder");
    QTest::addColumn<QString>("path");
    QTest::newRow("file cannot be written") << true << "/srv/new/";
    QTest::newRow("path with a line break") << false << "/srv/two\nlines/";
}

void OptionsDialogTest::failedSaveKeepsDialogOpen() {
    QFETCH(bool, configIsFolder);
    QFETCH(QString, path);
    if (configIsFolder)
        QVERIFY(QDir(programDir->path()).mkdir(QStringLiteral("Config.cfg")));
    else
        QVERIFY(writeFile(configPath(), "old"));
    const Settings before = Settings::current();
    OptionsDialog* dialog = makeDialog();
    dialog->show();
    dialog->snapshotPath->setText(path);
    drive = QStringLiteral("D:");
    coverShown = false;
    dialog->OKButton_Click();

    QCOMPARE(boxes.shown.size(), 1);
    QVERIFY(boxes.shown[0].text.contains(QStringLiteral("Config.cfg")));
    QCOMPARE(boxes.shown[0].title, QStringLiteral("Error"));
    QCOMPARE(boxes.shown[0].icon, MessageBoxes::Icon::Critical);
    QVERIFY(dialog->isVisible());
    QVERIFY(Settings::current() == before);
    if (!configIsFolder)
        QCOMPARE(readAll(configPath()), QByteArray("old"));
}

void OptionsDialogTest::reloadQuestion_data() {
    QTest::addColumn<QString>("currentDrive");
    QTest::addColumn<bool>("cover");
    QTest::addColumn<QList<MessageBoxes::Answer>>("answers");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<QString>("result");
    using A = MessageBoxes::Answer;
    QTest::newRow("playing, Yes") << "D:" << false << QList<A>{A::Yes} << true << "Reload";
    QTest::newRow("playing, No") << "D:" << false << QList<A>{A::No} << true << "";
    QTest::newRow("no disc ever opened") << "" << false << QList<A>{} << false << "";
    QTest::newRow("cover shown") << "D:" << true << QList<A>{} << false << "";
}

void OptionsDialogTest::reloadQuestion() {
    QFETCH(QString, currentDrive);
    QFETCH(bool, cover);
    QFETCH(QList<MessageBoxes::Answer>, answers);
    QFETCH(bool, asked);
    QFETCH(QString, result);
    OptionsDialog* dialog = makeDialog();
    dialog->tag = QStringLiteral("Reload"); // from an earlier confirmation
    drive = currentDrive;
    coverShown = cover;
    boxes.answers = answers;
    bool savedBeforeQuestion = false;
    boxes.onShow = [&](const ScriptedMessageBoxes::Box&) {
        savedBeforeQuestion = QFile::exists(configPath());
    };
    dialog->show();
    dialog->OKButton_Click();
    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->tag, result);
    QCOMPARE(boxes.shown.size(), asked ? 1 : 0);
    if (asked) {
        const ScriptedMessageBoxes::Box expected{
            QStringLiteral(
                "Some changes need the video to be reloaded. Do you want to reload the video?"),
            QStringLiteral("Warning"), MessageBoxes::Icon::Question, MessageBoxes::Buttons::YesNo};
        QCOMPARE(boxes.shown[0], expected);
        QVERIFY(savedBeforeQuestion);
    }
}

void OptionsDialogTest::browsePicksFolder() {
    OptionsDialog* dialog = makeDialog();
    dialog->show();
    QList<modBrowse::BrowseInfo> requests;
    bool disabledMeanwhile = false;
    modBrowse::setBrowseDialogHook([&](const modBrowse::BrowseInfo& info) {
        requests.append(info);
        disabledMeanwhile = !dialog->isEnabled();
        return QStringLiteral("/media/pictures");
    });
    QTest::mouseClick(dialog->snapshotsBrowse, Qt::LeftButton);
    QCOMPARE(requests.size(), 1);
    QCOMPARE(requests[0].owner, dialog);
    QCOMPARE(requests[0].title, QStringLiteral("Folder Browser"));
    QCOMPARE(requests[0].flags, quint32(0x0022));
    QVERIFY(disabledMeanwhile);
    QVERIFY(dialog->isEnabled());
    QCOMPARE(dialog->snapshotPath->text(), QStringLiteral("/media/pictures"));
}

void OptionsDialogTest::browseCancelledKeepsPath() {
    OptionsDialog* dialog = makeDialog();
    dialog->show();
    modBrowse::setBrowseDialogHook([](const modBrowse::BrowseInfo&) { return QString(); });
    dialog->snapshotsBrowse_Click();
    QCOMPARE(dialog->snapshotPath->text(), QStringLiteral("/srv/shots/"));
    QVERIFY(dialog->isEnabled());
}

void OptionsDialogTest::pathFieldIsReadOnly() {
    OptionsDialog* dialog = makeDialog();
    dialog->show();
    QVERIFY(QTest::qWaitForWindowActive(dialog));
    dialog->snapshotPath->setFocus();
    QTest::keyClicks(dialog->snapshotPath, QStringLiteral("xyz"));
    QTest::keyClick(dialog->snapshotPath, Qt::Key_Backspace);
    QCOMPARE(dialog->snapshotPath->text(), QStringLiteral("/srv/shots/"));
    QVERIFY(dialog->snapshotPath->isReadOnly());
}

void OptionsDialogTest::okHidesAndKeepsControls() {
    OptionsDialog* dialog = makeDialog();
    QVERIFY(runModal(*dialog, [&] {
        dialog->snapshotPrefix->setText(QStringLiteral("ONE"));
        QTest::mouseClick(dialog->OKButton, Qt::LeftButton);
    }));
    QVERIFY(!dialog->isUnloaded());
    QCOMPARE(Settings::current().snapshotPrefix, QStringLiteral("ONE"));

    // Settings changed elsewhere meanwhile are not shown, and a later OK writes over them.
    Settings::current().snapshotInterval = 9000;
    Settings::current().hideIntervalPrompt = 1;
    QString shownInterval;
    QVERIFY(runModal(*dialog, [&] {
        shownInterval = dialog->milliseconds->text();
        QTest::mouseClick(dialog->OKButton, Qt::LeftButton);
    }));
    QCOMPARE(shownInterval, QStringLiteral("5000"));
    QCOMPARE(Settings::current().snapshotInterval, 5000);
    QCOMPARE(Settings::current().hideIntervalPrompt, quint8(0));
}

void OptionsDialogTest::cancelUnloads_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("Cancel button") << "button";
    QTest::newRow("Esc") << "escape";
    QTest::newRow("close control") << "close";
}

void OptionsDialogTest::cancelUnloads() {
    QFETCH(QString, how);
    const Settings before = Settings::current();
    QPointer<OptionsDialog> dialog = makeDialog();
    QVERIFY(runModal(*dialog, [&] {
        dialog->snapshotPrefix->setText(QStringLiteral("NEW"));
        dialog->inputBoxCheck->setChecked(true);
        if (how == "button")
            QTest::mouseClick(dialog->CancelButton, Qt::LeftButton);
        else if (how == "escape")
            QTest::keyClick(dialog->snapshotPrefix, Qt::Key_Escape);
        else
            dialog->windowHandle()->close();
    }));
    QVERIFY(dialog);
    QVERIFY(dialog->isUnloaded());
    QVERIFY(!dialog->isVisible());
    QVERIFY(dialog->tag.isEmpty());
    QVERIFY(boxes.shown.isEmpty());
    QVERIFY(Settings::current() == before);
    QVERIFY(!QFile::exists(configPath()));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!dialog);
}

void OptionsDialogTest::enterPressesOk() {
    OptionsDialog* dialog = makeDialog();
    QVERIFY(runModal(*dialog, [&] {
        dialog->snapshotPrefix->setFocus();
        dialog->snapshotPrefix->setText(QStringLiteral("KEY"));
        QTest::keyClick(dialog->snapshotPrefix, Qt::Key_Return);
    }));
    QVERIFY(!dialog->isUnloaded());
    QCOMPARE(Settings::current().snapshotPrefix, QStringLiteral("KEY"));
}

QTEST_MAIN(OptionsDialogTest)
#include "tst_optionsdialog.moc"
