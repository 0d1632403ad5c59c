// The page that edits a folder picker's settable properties.
#include "controls/folder_picker/BrowseProperties.h"
#include "controls/folder_picker/FolderBrowse.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

namespace {
QList<QCheckBox*> optionBoxes(const BrowseProperties& page) {
    return {page.chkOnlyFileSystemDirectories, page.chkDontGoBelowDomain, page.chkAllowEditBox,
            page.chkValidateSelection,         page.chkUseNewUI,          page.chkBrowseForComputer,
            page.chkBrowseForPrinter,          page.chkIncludeFiles};
}
} // namespace

class BrowsePropertiesTest : public QObject {
    Q_OBJECT
private slots:
    void loadingDefaultsChecksThreeBoxes();
    void loadingWhatIsShownChangesNothing();
    void editsMarkThePage();
    void applyWritesAllElevenInOrder();
    void grayedCountsAsUnchecked();
    void emptyCaptionReachesTheDialog();
    void onlyTheFirstSelectedControl();
};

void BrowsePropertiesTest::loadingDefaultsChecksThreeBoxes() {
    FolderBrowse picker;
    BrowseProperties page;
    page.SelectionChanged({&picker});
    QCOMPARE(page.chkDontGoBelowDomain->checkState(), Qt::Checked);
    QCOMPARE(page.chkValidateSelection->checkState(), Qt::Checked);
    QCOMPARE(page.chkEnabled->checkState(), Qt::Checked);
    for (QCheckBox* box :
         {page.chkOnlyFileSystemDirectories, page.chkAllowEditBox, page.chkUseNewUI,
          page.chkBrowseForComputer, page.chkBrowseForPrinter, page.chkIncludeFiles})
        QCOMPARE(box->checkState(), Qt::Unchecked);
    QCOMPARE(page.txtCaption->text(), QStringLiteral("Folder Browser"));
    QVERIFY(page.txtStartDirectory->text().isEmpty());
    // Loading differs from the empty page, so there is something to apply.
    QVERIFY(page.Changed());
}

void BrowsePropertiesTest::loadingWhatIsShownChangesNothing() {
    FolderBrowse picker;
    picker.UserControl_ReadProperties({{QStringLiteral("DontGoBelowDomain"), false},
                                       {QStringLiteral("ValidateSelection"), false},
                                       {QStringLiteral("Enabled"), false},
                                       {QStringLiteral("Caption"), QString()}});
    BrowseProperties page;
    QSignalSpy marked(&page, &BrowseProperties::changedChanged);
    page.SelectionChanged({&picker});
    QVERIFY(!page.Changed());
    QVERIFY(marked.isEmpty());
}

void BrowsePropertiesTest::editsMarkThePage() {
    FolderBrowse picker;
    BrowseProperties page;
    page.SelectionChanged({&picker});
    page.ApplyChanges();
    QVERIFY(!page.Changed());

    QTest::mouseClick(page.chkUseNewUI, Qt::LeftButton);
    QVERIFY(page.Changed());
    page.ApplyChanges();
    QVERIFY(picker.UseNewUI());
    QVERIFY(!page.Changed());

    QTest::keyClicks(page.txtStartDirectory, QStringLiteral("/srv"));
    QVERIFY(page.Changed());
    page.ApplyChanges();
    QCOMPARE(picker.StartDirectory(), QStringLiteral("/srv"));
}

void BrowsePropertiesTest::applyWritesAllElevenInOrder() {
    FolderBrowse picker;
    BrowseProperties page;
    page.SelectionChanged({&picker});
    QSignalSpy written(&picker, &FolderBrowse::propertyChanged);
    page.ApplyChanges();
    QStringList names;
    for (const QList<QVariant>& call : written)
        names.append(call.at(0).toString());
    const QStringList expected{"IncludeFiles",
                               "BrowseForPrinter",
                               "BrowseForComputer",
                               "UseNewUI",
                               "ValidateSelection",
                               "AllowEditBox",
                               "DontGoBelowDomain",
                               "OnlyFileSystemDirectories",
                               "Caption",
                               "StartDirectory",
                               "Enabled"};
    QCOMPARE(names, expected);
    // Untouched values go back as they were.
    QCOMPARE(picker.flags(), quint32(0x0022));
    QCOMPARE(picker.Caption(), QStringLiteral("Folder Browser"));
    QVERIFY(picker.Enabled());

    // Each box reaches its own property.
    for (QCheckBox* box : optionBoxes(page))
        box->setCheckState(box->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    page.chkEnabled->setCheckState(Qt::Unchecked);
    page.txtCaption->setText(QStringLiteral("Pick"));
    page.txtStartDirectory->setText(QStringLiteral("/home"));
    page.ApplyChanges();
    QCOMPARE(picker.flags(), quint32(0x7051));
    QVERIFY(!picker.Enabled());
    QCOMPARE(picker.Caption(), QStringLiteral("Pick"));
    QCOMPARE(picker.StartDirectory(), QStringLiteral("/home"));
}

void BrowsePropertiesTest::grayedCountsAsUnchecked() {
    FolderBrowse picker;
    BrowseProperties page;
    page.SelectionChanged({&picker});
    for (QCheckBox* box : optionBoxes(page))
        box->setCheckState(Qt::PartiallyChecked);
    page.chkEnabled->setCheckState(Qt::PartiallyChecked);
    page.ApplyChanges();
    QCOMPARE(picker.flags(), quint32(0));
    QVERIFY(!picker.Enabled());
}

void BrowsePropertiesTest::emptyCaptionReachesTheDialog() {
    FolderBrowse picker;
    BrowseProperties page;
    page.SelectionChanged({&picker});
    page.txtCaption->clear();
    page.ApplyChanges();
    QCOMPARE(picker.Caption(), QString());

    QString title = QStringLiteral("<not asked>");
    modBrowse::setBrowseDialogHook([&](const modBrowse::BrowseInfo& info) {
        title = info.title;
        return QString();
    });
    picker.Browse();
    modBrowse::setBrowseDialogHook({});
    QCOMPARE(title, QString());
}

void BrowsePropertiesTest::onlyTheFirstSelectedControl() {
    FolderBrowse first, second;
    second.setCaption(QStringLiteral("Second"));
    second.setIncludeFiles(true);
    BrowseProperties page;
    page.SelectionChanged({&first, &second});
    QCOMPARE(page.txtCaption->text(), QStringLiteral("Folder Browser"));
    QCOMPARE(page.chkIncludeFiles->checkState(), Qt::Unchecked);

    QSignalSpy secondWritten(&second, &FolderBrowse::propertyChanged);
    page.txtCaption->setText(QStringLiteral("First"));
    page.ApplyChanges();
    QCOMPARE(first.Caption(), QStringLiteral("First"));
    QCOMPARE(second.Caption(), QStringLiteral("Second"));
    QVERIFY(secondWritten.isEmpty());
}

QTEST_MAIN(BrowsePropertiesTest)
#include "tst_browseproperties.moc"
