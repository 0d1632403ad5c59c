// The folder picker control: its dialog request, results, flag word and saved properties.
#include "controls/folder_picker/FolderBrowse.h"

#include "support/TestFiles.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <optional>

class FolderBrowseTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        requests.clear();
        pick.reset();
        modBrowse::setBrowseDialogHook([this](const modBrowse::BrowseInfo& info) {
            requests.append(info);
            return pick.value_or(QString());
        });
    }

    void cleanup() { modBrowse::setBrowseDialogHook({}); }

    void defaultsRequestTitledDialogAtDesktop() {
        QWidget host;
        FolderBrowse picker(&host);
        pick = QStringLiteral("/srv/pictures");
        QVERIFY(picker.Browse());
        QCOMPARE(requests.size(), 1);
        QCOMPARE(requests[0].title, QStringLiteral("Folder Browser"));
        QCOMPARE(requests[0].flags, quint32(0x0022));
        QVERIFY(requests[0].root.isEmpty());
        QCOMPARE(requests[0].owner, &host);
    }

    void eachOptionSetsItsBit() {
        const QList<QPair<const char*, quint32>> bits{{"OnlyFileSystemDirectories", 0x0001},
                                                      {"DontGoBelowDomain", 0x0002},
                                                      {"AllowEditBox", 0x0010},
                                                      {"ValidateSelection", 0x0020},
                                                      {"UseNewUI", 0x0040},
                                                      {"BrowseForComputer", 0x1000},
                                                      {"BrowseForPrinter", 0x2000},
                                                      {"IncludeFiles", 0x4000}};
        FolderBrowse all;
        for (const auto& [name, bit] : bits) {
            FolderBrowse picker;
            const quint32 before = picker.flags();
            QVERIFY(picker.setProperty(name, (before & bit) == 0)); // flipped from its default
            QCOMPARE(picker.flags(), before ^ bit);
            picker.Browse();
            QCOMPARE(requests.last().flags, before ^ bit);
            all.setProperty(name, true);
        }
        QCOMPARE(all.flags(), quint32(0x7073));
    }

    void pickThenCancel() {
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

    void computersAndPrintersGiveNothing() {
        for (const char* property : {"BrowseForComputer", "BrowseForPrinter"}) {
            FolderBrowse picker;
            pick = QStringLiteral("/srv/one");
            QVERIFY(picker.Browse());
            picker.setProperty(property, true);
            pick = QStringLiteral("/srv/two");
            const qsizetype asked = requests.size();
            QVERIFY2(!picker.Browse(), property);
            QVERIFY(picker.FullName().isEmpty());
            QCOMPARE(requests.size(), asked + 1); // the dialog was still shown
        }
    }

    void settablePropertiesNotifyTheHost() {
        FolderBrowse picker;
        QSignalSpy changed(&picker, &FolderBrowse::propertyChanged);
        // Stored as given, and reported even when the value does not change.
        QVERIFY(picker.setProperty("Caption", QStringLiteral("Pick a folder")));
        QVERIFY(picker.setProperty("DontGoBelowDomain", true));
        QVERIFY(picker.setProperty("Enabled", false));
        QStringList names;
        for (const QList<QVariant>& call : changed)
            names.append(call.at(0).toString());
        QCOMPARE(names, (QStringList{"Caption", "DontGoBelowDomain", "Enabled"}));
        QVERIFY(!picker.Enabled());
        // Enabled is kept only; the dialog still opens, where it is asked to start.
        picker.setStartDirectory(QStringLiteral("/no/such/folder"));
        pick = QStringLiteral("/srv");
        QVERIFY(picker.Browse());
        QCOMPARE(requests.last().root, QStringLiteral("/no/such/folder"));
        QCOMPARE(requests.last().title, QStringLiteral("Pick a folder"));
        QVERIFY(!requests.last().owner);
    }

    void propertyBagKeepsOnlyWhatDiffers() {
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

    void propertyBagRoundTrip() {
        // A saved form may hold values for the read-only properties too; they are loaded as saved.
        const QVariantMap saved{{QStringLiteral("Enabled"), false},
                                {QStringLiteral("FullName"), QStringLiteral("/srv/Pictures")},
                                {QStringLiteral("FileHidden"), true},
                                {QStringLiteral("Caption"), QStringLiteral("Where to?")},
                                {QStringLiteral("ValidateSelection"), false},
                                {QStringLiteral("UseNewUI"), true}};
        FolderBrowse picker;
        picker.UserControl_ReadProperties(saved);
        QVERIFY(!picker.Enabled());
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

    void realDialogTakesWhatTheFlagsAllow() {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("movie.txt"));
        const QString folder = dir.filePath(QStringLiteral("shots"));
        QVERIFY(writeFile(file, ""));
        QVERIFY(QDir().mkdir(folder));
        modBrowse::BrowseInfo info;
        info.root = dir.path();
        info.title = QStringLiteral("Pick");
        // Whether the dialog, made with these flags, accepts the path when the user confirms it.
        const auto accepts = [&](quint32 flags, const QString& path) {
            info.flags = flags;
            auto dialog = modBrowse::createBrowseDialog(info);
            dialog->setResult(QDialog::Rejected);
            dialog->selectFile(path);
            static_cast<QDialog&>(*dialog).accept(); // QFileDialog keeps accept() protected
            return dialog->result() == QDialog::Accepted &&
                   dialog->selectedFiles() == QStringList{path};
        };
        QVERIFY(accepts(0x0022, folder));
        QVERIFY(!accepts(0x0022, file));
        QVERIFY(accepts(0x4022, folder));
        QVERIFY(accepts(0x4022, file));

        auto dialog = modBrowse::createBrowseDialog(info);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Pick"));
        QCOMPARE(dialog->directory().absolutePath(), QDir(dir.path()).absolutePath());
    }

    void startFolder_data() {
        QTest::addColumn<QString>("root");    // StartDirectory: "", "other"
        QTest::addColumn<QString>("initial"); // the host's folder: "existing", "missing"
        QTest::addColumn<QString>("opensIn"); // "existing", "other", "elsewhere"
        QTest::newRow("host's folder exists") << ""
                                              << "existing"
                                              << "existing";
        QTest::newRow("host's folder missing") << ""
                                               << "missing"
                                               << "elsewhere";
        QTest::newRow("StartDirectory comes first") << "other"
                                                    << "existing"
                                                    << "other";
    }
    void startFolder() {
        QFETCH(QString, root);
        QFETCH(QString, initial);
        QFETCH(QString, opensIn);
        QTemporaryDir dir;
        const QString existing = dir.filePath(QStringLiteral("shots"));
        const QString other = dir.filePath(QStringLiteral("other"));
        QVERIFY(QDir().mkdir(existing) && QDir().mkdir(other));
        // The control hands the host's folder on to the dialog.
        FolderBrowse picker;
        picker.setInitialFolder(initial == QLatin1String("existing") ? existing
                                                                     : dir.filePath("missing"));
        if (!root.isEmpty())
            picker.setStartDirectory(other);
        pick = QString();
        picker.Browse();
        auto dialog = modBrowse::createBrowseDialog(requests.last());
        const QString shown = dialog->directory().absolutePath();
        if (opensIn == QLatin1String("elsewhere"))
            QVERIFY(!shown.startsWith(dir.path()) && QFileInfo(shown).isDir());
        else
            QCOMPARE(shown, opensIn == QLatin1String("existing") ? existing : other);
    }

    void keepsTheDesktopFontUnderACompactOwner() {
        QDialog owner;
        owner.setStyleSheet(QStringLiteral("* { font-size: 5pt; }"));
        modBrowse::BrowseInfo info;
        info.owner = &owner;
        auto dialog = modBrowse::createBrowseDialog(info);
        auto* list = dialog->findChild<QAbstractItemView*>();
        QVERIFY(list);
        list->ensurePolished();
        QCOMPARE(list->font().pointSizeF(), QApplication::font().pointSizeF());
    }

    void dialogUsableUnderDisabledOwner() {
        // The options dialog disables itself while the folder dialog is open.
        QWidget owner;
        owner.setEnabled(false);
        modBrowse::BrowseInfo info;
        info.owner = &owner;
        auto dialog = modBrowse::createBrowseDialog(info);
        QCOMPARE(dialog->parentWidget(), &owner);
        QVERIFY(dialog->isEnabled());
    }

private:
    QList<modBrowse::BrowseInfo> requests;
    std::optional<QString> pick; // empty optional: the dialog must not be asked
};

QTEST_MAIN(FolderBrowseTest)
#include "tst_folderbrowse.moc"
