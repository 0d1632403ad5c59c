// The folder picker control: its dialog request, results, flag word and saved properties.
#include "controls/folder_picker/FolderBrowse.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <optional>

namespace {
// The accept button; QFileDialog keeps accept() protected, QDialog has it public.
void pressAccept(QDialog& dialog) {
    dialog.accept();
}
} // namespace

class FolderBrowseTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void defaultsRequestTitledDialogAtDesktop();
    void flagWord_data();
    void flagWord();
    void pickThenCancel();
    void computersAndPrintersGiveNothing_data();
    void computersAndPrintersGiveNothing();
    void readOnlyPropertiesRefuseAssignment_data();
    void readOnlyPropertiesRefuseAssignment();
    void settablePropertiesNotifyTheHost();
    void propertyBagKeepsOnlyWhatDiffers();
    void propertyBagRoundTrip();
    void folderDialogTakesFoldersOnly();
    void dialogWithFilesTakesFilesAndFolders();
    void dialogUsableUnderDisabledOwner();

private:
    QList<modBrowse::BrowseInfo> requests;
    std::optional<QString> pick; // empty optional: the dialog must not be asked
};

void FolderBrowseTest::init() {
    requests.clear();
    pick.reset();
    modBrowse::setBrowseDialogHook([this](const modBrowse::BrowseInfo& info) {
        requests.append(info);
        return pick.value_or(QString());
    });
}

void FolderBrowseTest::cleanup() {
    modBrowse::setBrowseDialogHook({});
}

void FolderBrowseTest::defaultsRequestTitledDialogAtDesktop() {
    QWidget host;
    FolderBrowse picker(&host);
    QCOMPARE(picker.flags(), quint32(0x0022));
    pick = QStringLiteral("/srv/pictures");
    QVERIFY(picker.Browse());
    QCOMPARE(requests.size(), 1);
    QCOMPARE(requests[0].title, QStringLiteral("Folder Browser"));
    QCOMPARE(requests[0].flags, quint32(0x0022));
    QVERIFY(requests[0].root.isEmpty());
    QCOMPARE(requests[0].owner, &host);
}

void FolderBrowseTest::flagWord_data() {
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<bool>("value");
    QTest::addColumn<quint32>("word");
    QTest::newRow("OnlyFileSystemDirectories")
        << QByteArray("OnlyFileSystemDirectories") << true << quint32(0x0023);
    QTest::newRow("DontGoBelowDomain off")
        << QByteArray("DontGoBelowDomain") << false << quint32(0x0020);
    QTest::newRow("AllowEditBox") << QByteArray("AllowEditBox") << true << quint32(0x0032);
    QTest::newRow("ValidateSelection off")
        << QByteArray("ValidateSelection") << false << quint32(0x0002);
    QTest::newRow("UseNewUI") << QByteArray("UseNewUI") << true << quint32(0x0062);
    QTest::newRow("BrowseForComputer")
        << QByteArray("BrowseForComputer") << true << quint32(0x1022);
    QTest::newRow("BrowseForPrinter") << QByteArray("BrowseForPrinter") << true << quint32(0x2022);
    QTest::newRow("IncludeFiles") << QByteArray("IncludeFiles") << true << quint32(0x4022);
}

void FolderBrowseTest::flagWord() {
    QFETCH(QByteArray, property);
    QFETCH(bool, value);
    QFETCH(quint32, word);
    FolderBrowse picker;
    QVERIFY(picker.setProperty(property.constData(), value));
    QCOMPARE(picker.flags(), word);
    picker.Browse();
    QCOMPARE(requests.last().flags, word);

    FolderBrowse all;
    for (const char* name : {"OnlyFileSystemDirectories", "AllowEditBox", "UseNewUI",
                             "BrowseForComputer", "BrowseForPrinter", "IncludeFiles"})
        all.setProperty(name, true);
    QCOMPARE(all.flags(), quint32(0x7073));
}

void FolderBrowseTest::pickThenCancel() {
    FolderBrowse picker;
    pick = QStringLiteral("/home/ann/Pictures");
    QVERIFY(picker.Browse());
    QCOMPARE(picker.FullName(), QStringLiteral("/home/ann/Pictures"));
    // Only FullName receives results.
    QVERIFY(picker.FolderName().isEmpty());
    QVERIFY(picker.FileName().isEmpty());
    QVERIFY(picker.DisplayName().isEmpty());
    QVERIFY(!picker.FileReadOnly() && !picker.FileHidden() && !picker.FileSystem() &&
            !picker.FileCompressed() && !picker.FileArchived());

    pick = QString(); // cancelled
    QVERIFY(!picker.Browse());
    QVERIFY(picker.FullName().isEmpty());
}

void FolderBrowseTest::computersAndPrintersGiveNothing_data() {
    QTest::addColumn<QByteArray>("property");
    QTest::newRow("computers") << QByteArray("BrowseForComputer");
    QTest::newRow("printers") << QByteArray("BrowseForPrinter");
}

void FolderBrowseTest::computersAndPrintersGiveNothing() {
    QFETCH(QByteArray, property);
    FolderBrowse picker;
    pick = QStringLiteral("/srv/one");
    QVERIFY(picker.Browse());
    picker.setProperty(property.constData(), true);
    pick = QStringLiteral("/srv/two");
    QVERIFY(!picker.Browse());
    QVERIFY(picker.FullName().isEmpty());
    QCOMPARE(requests.size(), 2); // the dialog was still shown
}

void FolderBrowseTest::readOnlyPropertiesRefuseAssignment_data() {
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<QVariant>("value");
    for (const char* name : {"FolderName", "FileName", "FullName", "DisplayName"})
        QTest::newRow(name) << QByteArray(name) << QVariant(QStringLiteral("/tmp"));
    for (const char* name :
         {"FileReadOnly", "FileHidden", "FileSystem", "FileCompressed", "FileArchived"})
        QTest::newRow(name) << QByteArray(name) << QVariant(true);
}

void FolderBrowseTest::readOnlyPropertiesRefuseAssignment() {
    QFETCH(QByteArray, property);
    QFETCH(QVariant, value);
    FolderBrowse picker;
    pick = QStringLiteral("/srv/pictures");
    picker.Browse();
    const QVariant before = picker.property(property.constData());
    QSignalSpy changed(&picker, &FolderBrowse::propertyChanged);
    QVERIFY(!picker.setProperty(property.constData(), value));
    QCOMPARE(picker.property(property.constData()), before);
    QVERIFY(changed.isEmpty());
    QVERIFY(picker.dynamicPropertyNames().isEmpty());
}

void FolderBrowseTest::settablePropertiesNotifyTheHost() {
    FolderBrowse picker;
    QSignalSpy changed(&picker, &FolderBrowse::propertyChanged);
    // Stored as given, and reported even when the value does not change.
    QVERIFY(picker.setProperty("Caption", QStringLiteral("Pick a folder")));
    QVERIFY(picker.setProperty("DontGoBelowDomain", true));
    QVERIFY(picker.setProperty("Enabled", false));
    QCOMPARE(changed.size(), 3);
    QCOMPARE(changed[0][0].toString(), QStringLiteral("Caption"));
    QCOMPARE(changed[1][0].toString(), QStringLiteral("DontGoBelowDomain"));
    QCOMPARE(changed[2][0].toString(), QStringLiteral("Enabled"));
    QCOMPARE(picker.Caption(), QStringLiteral("Pick a folder"));
    QVERIFY(!picker.Enabled());
    // Enabled is kept only; the dialog still opens, where it is asked to start.
    picker.setStartDirectory(QStringLiteral("/no/such/folder"));
    pick = QStringLiteral("/srv");
    QVERIFY(picker.Browse());
    QCOMPARE(requests.last().root, QStringLiteral("/no/such/folder"));
    QCOMPARE(requests.last().title, QStringLiteral("Pick a folder"));
    QVERIFY(!requests.last().owner);
}

void FolderBrowseTest::propertyBagKeepsOnlyWhatDiffers() {
    FolderBrowse picker;
    QVariantMap bag;
    picker.UserControl_WriteProperties(bag);
    QVERIFY(bag.isEmpty());

    picker.setCaption(QString());
    picker.setDontGoBelowDomain(false);
    picker.setIncludeFiles(true);
    picker.setStartDirectory(QStringLiteral("/srv"));
    picker.UserControl_WriteProperties(bag);
    const QVariantMap expected{{QStringLiteral("Caption"), QString()},
                               {QStringLiteral("DontGoBelowDomain"), false},
                               {QStringLiteral("IncludeFiles"), true},
                               {QStringLiteral("StartDirectory"), QStringLiteral("/srv")}};
    QCOMPARE(bag, expected);
    QCOMPARE(bag.value(QStringLiteral("IncludeFiles")).typeId(), QMetaType::Bool);
}

void FolderBrowseTest::propertyBagRoundTrip() {
    // A saved form may hold values for the read-only properties too; they are loaded as saved.
    const QVariantMap saved{{QStringLiteral("Enabled"), false},
                            {QStringLiteral("FolderName"), QStringLiteral("Pictures")},
                            {QStringLiteral("FullName"), QStringLiteral("/srv/Pictures")},
                            {QStringLiteral("FileHidden"), true},
                            {QStringLiteral("Caption"), QStringLiteral("Where to?")},
                            {QStringLiteral("ValidateSelection"), false},
                            {QStringLiteral("UseNewUI"), true}};
    FolderBrowse picker;
    picker.UserControl_ReadProperties(saved);
    QVERIFY(!picker.Enabled());
    QCOMPARE(picker.FolderName(), QStringLiteral("Pictures"));
    QCOMPARE(picker.FullName(), QStringLiteral("/srv/Pictures"));
    QVERIFY(picker.FileHidden());
    QCOMPARE(picker.Caption(), QStringLiteral("Where to?"));
    QCOMPARE(picker.flags(), quint32(0x0042));
    QVariantMap written;
    picker.UserControl_WriteProperties(written);
    QCOMPARE(written, saved);

    // What the bag lacks takes its default, whatever the control held before.
    picker.UserControl_ReadProperties({});
    QCOMPARE(picker.Caption(), QStringLiteral("Folder Browser"));
    QCOMPARE(picker.flags(), quint32(0x0022));
    QVERIFY(picker.Enabled());
    QVERIFY(picker.FullName().isEmpty());

    picker.setUseNewUI(true);
    picker.UserControl_InitProperties();
    QCOMPARE(picker.flags(), quint32(0x0022));
}

void FolderBrowseTest::folderDialogTakesFoldersOnly() {
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("movie.txt")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("shots")));

    modBrowse::BrowseInfo info;
    info.root = dir.path();
    info.title = QStringLiteral("Folder Browser");
    info.flags = 0x0022;
    auto dialog = modBrowse::createBrowseDialog(info);
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Folder Browser"));
    QCOMPARE(dialog->directory().absolutePath(), QDir(dir.path()).absolutePath());
    QCOMPARE(dialog->fileMode(), QFileDialog::Directory);
    QVERIFY(dialog->testOption(QFileDialog::ShowDirsOnly));

    dialog->selectFile(dir.filePath(QStringLiteral("shots")));
    pressAccept(*dialog);
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QCOMPARE(dialog->selectedFiles(), QStringList{dir.filePath(QStringLiteral("shots"))});

    auto second = modBrowse::createBrowseDialog(info);
    second->setResult(QDialog::Rejected);
    second->selectFile(file.fileName());
    pressAccept(*second);
    QCOMPARE(second->result(), int(QDialog::Rejected));
}

void FolderBrowseTest::dialogWithFilesTakesFilesAndFolders() {
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("movie.txt")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("shots")));

    modBrowse::BrowseInfo info;
    info.root = dir.path();
    info.flags = 0x4022;
    for (const QString& path : {file.fileName(), dir.filePath(QStringLiteral("shots"))}) {
        auto dialog = modBrowse::createBrowseDialog(info);
        QVERIFY(!dialog->testOption(QFileDialog::ShowDirsOnly));
        dialog->setResult(QDialog::Rejected);
        dialog->selectFile(path);
        pressAccept(*dialog);
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        QCOMPARE(dialog->selectedFiles(), QStringList{path});
    }
}

void FolderBrowseTest::dialogUsableUnderDisabledOwner() {
    // The options dialog disables itself while the folder dialog is open.
    QWidget owner;
    owner.setEnabled(false);
    modBrowse::BrowseInfo info;
    info.owner = &owner;
    auto dialog = modBrowse::createBrowseDialog(info);
    QCOMPARE(dialog->parentWidget(), &owner);
    QVERIFY(dialog->isEnabled());
}

QTEST_MAIN(FolderBrowseTest)
#include "tst_folderbrowse.moc"
