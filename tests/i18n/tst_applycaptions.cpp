// Which caption ID lands on which control: every window's static captions under a marker pack in
// which each ID's text is the ID itself, so a swapped or mistyped ID shows as the wrong marker.
#include "MainFormHarness.h"

#include "support/TestFiles.h"
#include "ui/AboutForm.h"
#include "ui/OptionsDialog.h"
#include "ui/TimedSnapshotsDialog.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include <functional>

namespace {

struct Shown {
    const char* expected; // the marker, i.e. the caption ID, or a text that is never looked up
    const char* control;
    std::function<QString(MainForm&)> text;
};

QString firstWord(const QString& text) {
    return text.section(u' ', 0, 0);
}

// clang-format off
const Shown everyCaption[] = {
    {"Stillbeck", "MainForm title", [](MainForm& f) { return f.windowTitle(); }},
    {"01", "mediaActionsTitle", [](MainForm& f) { return probe(f).mediaActionsTitle->text(); }},
    {"02", "editTitle", [](MainForm& f) { return probe(f).editTitle->text(); }},
    {"05", "dvdsList without drives", [](MainForm& f) { return MainForm::dvdsListCaption(probe(f).dvdsList[0]); }},
    {"10", "fileMenu", [](MainForm& f) { return probe(f).fileMenu->title(); }},
    {"11", "openMenu", [](MainForm& f) { return probe(f).openMenu->title(); }},
    {"93", "openImageOrFolder", [](MainForm& f) { return probe(f).openImageOrFolder->text(); }},
    {"12", "exitCommand", [](MainForm& f) { return probe(f).exitCommand->text(); }},
    {"20", "editMenu", [](MainForm& f) { return probe(f).editMenu->title(); }},
    {"21", "snapshotCommand", [](MainForm& f) { return probe(f).snapshotCommand->text(); }},
    {"22", "continuousSnapshots", [](MainForm& f) { return probe(f).continuousSnapshots->text(); }},
    {"23", "timedSnapshots", [](MainForm& f) { return probe(f).timedSnapshots->text(); }},
    {"24", "fullScreenMenu", [](MainForm& f) { return probe(f).fullScreenMenu->text(); }},
    {"30", "toolsMenu", [](MainForm& f) { return probe(f).toolsMenu->title(); }},
    {"100", "exportTitle", [](MainForm& f) { return f.findChild<QAction*>(QStringLiteral("exportTitle"))->text(); }},
    {"101", "exportTitle hint", [](MainForm& f) { return f.findChild<QAction*>(QStringLiteral("exportTitle"))->statusTip(); }},
    {"31", "optionsMenuCommand", [](MainForm& f) { return probe(f).optionsMenuCommand->text(); }},
    {"40", "helpMenu", [](MainForm& f) { return probe(f).helpMenu->title(); }},
    {"41", "howToUseMenu", [](MainForm& f) { return probe(f).howToUseMenu->text(); }},
    {"42", "checkUpdates", [](MainForm& f) { return probe(f).checkUpdates->text(); }},
    {"43", "aboutMenu", [](MainForm& f) { return probe(f).aboutMenu->text(); }},

    {"51", "AboutForm title", [](MainForm& f) { return firstWord(f.aboutForm()->windowTitle()); }},
    {"Stillbeck", "AboutForm title, after the ID", [](MainForm& f) { return f.aboutForm()->windowTitle().section(u' ', 1); }},
    {"Stillbeck", "AboutForm lblTitle", [](MainForm& f) { return f.aboutForm()->lblTitle->text(); }},
    {"52", "AboutForm lblVersion", [](MainForm& f) { return firstWord(f.aboutForm()->lblVersion->text()); }},
    {"53", "AboutForm lblDescription", [](MainForm& f) { return f.aboutForm()->lblDescription->text(); }},
    {"03", "AboutForm cmdOK", [](MainForm& f) { return f.aboutForm()->cmdOK->text(); }},

    {"70", "OptionsDialog title", [](MainForm& f) { return f.optionsDialog()->windowTitle(); }},
    {"71", "languageFrame", [](MainForm& f) { return f.optionsDialog()->languageFrame->title(); }},
    {"72", "languageLabel", [](MainForm& f) { return f.optionsDialog()->languageLabel->text(); }},
    {"73", "snapshotsFrame", [](MainForm& f) { return f.optionsDialog()->snapshotsFrame->title(); }},
    {"74", "imageFormatLabel", [](MainForm& f) { return f.optionsDialog()->imageFormatLabel->text(); }},
    {"75", "snapshotsPathLabel", [](MainForm& f) { return f.optionsDialog()->snapshotsPathLabel->text(); }},
    {"76", "snapshotsBrowse", [](MainForm& f) { return f.optionsDialog()->snapshotsBrowse->text(); }},
    {"77", "prefixLabel", [](MainForm& f) { return f.optionsDialog()->prefixLabel->text(); }},
    {"78", "inputBoxCheck", [](MainForm& f) { return f.optionsDialog()->inputBoxCheck->text(); }},
    {"79", "valueTitle", [](MainForm& f) { return f.optionsDialog()->valueTitle->text(); }},
    {"80", "OptionsDialog millisecondsLabel", [](MainForm& f) { return f.optionsDialog()->millisecondsLabel->text(); }},
    {"03", "OptionsDialog OKButton", [](MainForm& f) { return f.optionsDialog()->OKButton->text(); }},
    {"04", "OptionsDialog CancelButton", [](MainForm& f) { return f.optionsDialog()->CancelButton->text(); }},

    {"90", "TimedSnapshotsDialog title", [](MainForm& f) { return f.timedSnapshotsDialog()->windowTitle(); }},
    {"91", "requestLabel", [](MainForm& f) { return f.timedSnapshotsDialog()->requestLabel->text(); }},
    {"92", "Check1", [](MainForm& f) { return f.timedSnapshotsDialog()->Check1->text(); }},
    {"80", "TimedSnapshotsDialog millisecondsLabel", [](MainForm& f) { return f.timedSnapshotsDialog()->millisecondsLabel->text(); }},
    {"03", "TimedSnapshotsDialog OKButton", [](MainForm& f) { return f.timedSnapshotsDialog()->OKButton->text(); }},
    {"04", "TimedSnapshotsDialog CancelButton", [](MainForm& f) { return f.timedSnapshotsDialog()->CancelButton->text(); }},
};
// clang-format on

} // namespace

class TestApplyCaptions : public QObject {
    Q_OBJECT
private slots:
    void everyControlShowsItsId() {
        MainFormHarness h;
        QByteArray pack = "[Stillbeck Language Pack]\r\n";
        for (const Shown& row : everyCaption)
            if (QChar::isDigit(row.expected[0]))
                pack += QByteArray(row.expected) + '=' + row.expected + "\r\n";
        QVERIFY(writeFile(h.programDir.filePath(QStringLiteral("Lang/English.ini")), pack));
        MainForm& form = h.start();
        form.fileMenu_Click();

        QStringList wrong;
        for (const Shown& row : everyCaption) {
            const QString shown = row.text(form);
            if (shown != QLatin1String(row.expected))
                wrong.append(QStringLiteral("%1 shows \"%2\", expected \"%3\"")
                                 .arg(row.control, shown, row.expected));
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(u'\n')));
    }
};

QTEST_MAIN(TestApplyCaptions)
#include "tst_applycaptions.moc"
