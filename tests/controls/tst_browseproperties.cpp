// The page that edits a folder picker's settable properties.
#include "controls/folder_picker/BrowseProperties.h"
#include "controls/folder_picker/FolderBrowse.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {
QList<QCheckBox*> optionBoxes(const BrowseProperties& page) {
    return {page.chkOnlyFileSystemDirectories, page.chkDontGoBelowDomain, page.chkAllowEditBox,
            page.chkValidateSelection,         page.chkUseNewUI,          page.chkBrowseForComputer,
            page.chkBrowseForPrinter,          page.chkIncludeFiles};
}
// The option boxes and the Enabled box.
QList<QCheckBox*> allBoxes(const BrowseProperties& page) {
    return optionBoxes(page) << page.chkEnabled;
}
} // namespace

class BrowsePropertiesTest : public QObject {
    Q_OBJECT
private slots:
    // A new picker with its defaults, loaded into a new page.
    void init() {
        page.reset();
        picker = std::make_unique<FolderBrowse>();
        page = std::make_unique<BrowseProperties>();
        page->SelectionChanged({picker.get()});
    }

    void loadingDefaultsChecksThreeBoxes() {
        QStringList checked;
        for (QCheckBox* box : allBoxes(*page))
            if (box->checkState() == Qt::Checked)
                checked.append(box->objectName());
        QCOMPARE(checked,
                 (QStringList{"chkDontGoBelowDomain", "chkValidateSelection", "chkEnabled"}));
        QCOMPARE(page->txtCaption->text(), QStringLiteral("Folder Browser"));
        QVERIFY(page->txtStartDirectory->text().isEmpty());
        // Loading differs from the empty page, so there is something to apply.
        QVERIFY(page->Changed());
    }

    void loadingWhatIsShownChangesNothing() {
        FolderBrowse other;
        other.UserControl_ReadProperties({{QStringLiteral("DontGoBelowDomain"), false},
                                          {QStringLiteral("ValidateSelection"), false},
                                          {QStringLiteral("Enabled"), false},
                                          {QStringLiteral("Caption"), QString()}});
        BrowseProperties fresh;
        QSignalSpy marked(&fresh, &BrowseProperties::changedChanged);
        fresh.SelectionChanged({&other});
        QVERIFY(!fresh.Changed());
        QVERIFY(marked.isEmpty());
    }

    void editsMarkThePage() {
        page->ApplyChanges();
        QVERIFY(!page->Changed());
        QTest::mouseClick(page->chkUseNewUI, Qt::LeftButton);
        QVERIFY(page->Changed());
        page->ApplyChanges();
        QVERIFY(picker->UseNewUI());
        QVERIFY(!page->Changed());
        QTest::keyClicks(page->txtStartDirectory, QStringLiteral("/srv"));
        QVERIFY(page->Changed());
        page->ApplyChanges();
        QCOMPARE(picker->StartDirectory(), QStringLiteral("/srv"));
    }

    void applyWritesAllElevenInOrder() {
        QSignalSpy written(picker.get(), &FolderBrowse::propertyChanged);
        page->ApplyChanges();
        QStringList names;
        for (const QList<QVariant>& call : written)
            names.append(call.at(0).toString());
        QCOMPARE(names, (QStringList{"IncludeFiles", "BrowseForPrinter", "BrowseForComputer",
                                     "UseNewUI", "ValidateSelection", "AllowEditBox",
                                     "DontGoBelowDomain", "OnlyFileSystemDirectories", "Caption",
                                     "StartDirectory", "Enabled"}));
        // Untouched values go back as they were.
        QCOMPARE(picker->flags(), quint32(0x0022));
        QCOMPARE(picker->Caption(), QStringLiteral("Folder Browser"));
        QVERIFY(picker->Enabled());

        // Each box reaches its own property.
        for (QCheckBox* box : optionBoxes(*page))
            box->setCheckState(box->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
        page->chkEnabled->setCheckState(Qt::Unchecked);
        page->txtCaption->setText(QStringLiteral("Pick"));
        page->txtStartDirectory->setText(QStringLiteral("/home"));
        page->ApplyChanges();
        QCOMPARE(picker->flags(), quint32(0x7051));
        QVERIFY(!picker->Enabled());
        QCOMPARE(picker->Caption(), QStringLiteral("Pick"));
        QCOMPARE(picker->StartDirectory(), QStringLiteral("/home"));
    }

    void grayedCountsAsUnchecked() {
        for (QCheckBox* box : allBoxes(*page))
            box->setCheckState(Qt::PartiallyChecked);
        page->ApplyChanges();
        QCOMPARE(picker->flags(), quint32(0));
        QVERIFY(!picker->Enabled());
    }

    void emptyCaptionReachesTheDialog() {
        page->txtCaption->clear();
        page->ApplyChanges();
        QString title = QStringLiteral("<not asked>");
        modBrowse::setBrowseDialogHook([&](const modBrowse::BrowseInfo& info) {
            title = info.title;
            return QString();
        });
        picker->Browse();
        modBrowse::setBrowseDialogHook({});
        QCOMPARE(title, QString());
    }

    void onlyTheFirstSelectedControl() {
        FolderBrowse second;
        second.setCaption(QStringLiteral("Second"));
        second.setIncludeFiles(true);
        page->SelectionChanged({picker.get(), &second});
        QCOMPARE(page->txtCaption->text(), QStringLiteral("Folder Browser"));
        QCOMPARE(page->chkIncludeFiles->checkState(), Qt::Unchecked);

        QSignalSpy secondWritten(&second, &FolderBrowse::propertyChanged);
        page->txtCaption->setText(QStringLiteral("First"));
        page->ApplyChanges();
        QCOMPARE(picker->Caption(), QStringLiteral("First"));
        QCOMPARE(second.Caption(), QStringLiteral("Second"));
        QVERIFY(secondWritten.isEmpty());
    }

private:
    std::unique_ptr<FolderBrowse> picker;
    std::unique_ptr<BrowseProperties> page;
};

QTEST_MAIN(BrowsePropertiesTest)
#include "tst_browseproperties.moc"
