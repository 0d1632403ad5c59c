// The export dialog on its own: what it lists, how the choices become the request, the chapter
// range and the contact sheet's controls, and which caption lands where.
#include "ui/ExportDialog.h"

#include "platform/ProgramFolder.h"
#include "settings/Settings.h"
#include "support/ExportTitles.h"
#include "support/TestFiles.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(ExportMode)

namespace {

QStringList entries(const QComboBox* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->itemText(i);
    return texts;
}

QList<int> chapterNumbers(const QComboBox* list) {
    QList<int> numbers;
    for (int i = 0; i < list->count(); ++i)
        numbers << list->itemData(i).toInt();
    return numbers;
}

// Picks an entry by what it stands for (a title's or chapter's number), as a user would.
void pick(QComboBox* list, int number) {
    const int index = list->findData(number);
    QVERIFY2(index >= 0, qPrintable(QStringLiteral("no entry %1").arg(number)));
    list->setCurrentIndex(index);
}

QRadioButton* modeButton(ExportDialog& d, ExportMode mode) {
    switch (mode) {
    case ExportMode::EveryInterval:
        return d.everyInterval;
    case ExportMode::EveryFrame:
        return d.everyFrame;
    case ExportMode::PerShot:
        return d.perShot;
    case ExportMode::SheetOnly:
        return d.sheetOnly;
    }
    return nullptr;
}

} // namespace

class ExportDialogTest : public QObject {
    Q_OBJECT
private slots:
    void init() { Settings::current() = Settings::defaults(); }

    void listsEachTitleWithItsLengthTheLongestChosen() {
        ExportDialog d(exportTitles());
        QCOMPARE(entries(d.titleList),
                 (QStringList{"Title 1 (0:01:35)", "Title 2 (0:44:12)", "Title 4 (1:02:05)"}));
        QCOMPARE(d.titleList->currentText(), QStringLiteral("Title 4 (1:02:05)"));
        QCOMPARE(entries(d.firstChapter), (QStringList{"Chapter 1 (0:00:00)", "Chapter 2 (0:10:00)",
                                                       "Chapter 3 (0:21:01)"}));
        QCOMPARE(d.lastChapter->currentText(), QStringLiteral("Chapter 3 (0:21:01)"));
    }

    void choicesBecomeTheRequest_data() {
        QTest::addColumn<int>("title");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<ExportMode>("mode");
        QTest::addColumn<int>("interval");
        QTest::addColumn<bool>("sheet");
        QTest::addColumn<QList<int>>("layout");
        // What the request says: first and last chapter (0: to the end) and whether a sheet comes.
        QTest::addColumn<int>("firstChapter");
        QTest::addColumn<int>("lastChapter");
        QTest::addColumn<bool>("requestSheet");

        const QList<int> standard{6, 8, 1920};
        // 0 for title, from or to: left as the dialog opened.
        QTest::newRow("as opened: the longest title, whole, every 10 s")
            << 0 << 0 << 0 << ExportMode::EveryInterval << 10 << false << standard << 1 << 0
            << false;
        QTest::newRow("chapters 2 to 4 of title 2, every 30 s")
            << 2 << 2 << 4 << ExportMode::EveryInterval << 30 << false << standard << 2 << 4
            << false;
        QTest::newRow("from chapter 3 to the last chapter: to the end")
            << 2 << 3 << 5 << ExportMode::EveryInterval << 10 << false << standard << 3 << 0
            << false;
        QTest::newRow("one chapter alone")
            << 2 << 5 << 5 << ExportMode::EveryFrame << 10 << false << standard << 5 << 0 << false;
        QTest::newRow("every distinct picture and a sheet of 4 x 5 at 1280")
            << 4 << 0 << 2 << ExportMode::EveryFrame << 10 << true << QList<int>{4, 5, 1280} << 1
            << 2 << true;
        QTest::newRow("one per shot, interval kept as set")
            << 1 << 0 << 0 << ExportMode::PerShot << 600 << false << standard << 1 << 0 << false;
        QTest::newRow("a contact sheet only always holds the sheet")
            << 0 << 0 << 0 << ExportMode::SheetOnly << 10 << false << QList<int>{20, 30, 7680} << 1
            << 0 << true;
    }

    void choicesBecomeTheRequest() {
        QFETCH(int, title);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(ExportMode, mode);
        QFETCH(int, interval);
        QFETCH(bool, sheet);
        QFETCH(QList<int>, layout);
        QFETCH(int, firstChapter);
        QFETCH(int, lastChapter);
        QFETCH(bool, requestSheet);

        ExportDialog d(exportTitles());
        if (title)
            pick(d.titleList, title);
        if (from)
            pick(d.firstChapter, from);
        if (to)
            pick(d.lastChapter, to);
        d.intervalSeconds->setValue(interval);
        d.sheetCheck->setChecked(sheet);
        d.sheetColumns->setValue(layout[0]);
        d.sheetRows->setValue(layout[1]);
        d.sheetWidth->setValue(layout[2]);
        QTest::mouseClick(modeButton(d, mode), Qt::LeftButton);

        const ExportRequest r = d.request();
        QCOMPARE(r.title, title ? title : 4);
        QCOMPARE(r.firstChapter, firstChapter);
        QCOMPARE(r.lastChapter, lastChapter);
        QCOMPARE(r.mode, mode);
        QCOMPARE(r.intervalSeconds, interval);
        QCOMPARE(r.sheet, requestSheet);
        QCOMPARE((QList<int>{r.sheetLayout.columns, r.sheetLayout.rows, r.sheetLayout.width}),
                 layout);
    }

    // The end of the range is chosen among the chapters from its start on, and a new title
    // starts over with the whole of it.
    void chapterRangeStaysWithinTheTitle() {
        ExportDialog d(exportTitles());
        pick(d.titleList, 2);
        QCOMPARE(chapterNumbers(d.firstChapter), (QList<int>{1, 2, 3, 4, 5}));
        QCOMPARE(chapterNumbers(d.lastChapter), (QList<int>{1, 2, 3, 4, 5}));
        QCOMPARE(d.lastChapter->currentData().toInt(), 5);

        pick(d.lastChapter, 3);
        pick(d.firstChapter, 2);
        QCOMPARE(chapterNumbers(d.lastChapter), (QList<int>{2, 3, 4, 5}));
        QCOMPARE(d.lastChapter->currentData().toInt(), 3); // still in the range: kept
        pick(d.firstChapter, 4);
        QCOMPARE(chapterNumbers(d.lastChapter), (QList<int>{4, 5}));
        QCOMPARE(d.lastChapter->currentData().toInt(), 4); // before the start: moved to it
        QCOMPARE(d.request().firstChapter, 4);
        QCOMPARE(d.request().lastChapter, 4);

        pick(d.titleList, 4);
        QCOMPARE(chapterNumbers(d.firstChapter), (QList<int>{1, 2, 3}));
        QCOMPARE(d.firstChapter->currentData().toInt(), 1);
        QCOMPARE(d.lastChapter->currentData().toInt(), 3);
        QVERIFY(d.firstChapter->isEnabled());

        // A single chapter leaves nothing to narrow.
        pick(d.titleList, 1);
        QCOMPARE(chapterNumbers(d.lastChapter), (QList<int>{1}));
        QVERIFY(!d.firstChapter->isEnabled());
        QVERIFY(!d.lastChapter->isEnabled());
    }

    // The numbers offered are the ones the exporter takes.
    void numbersStayWithinTheirBounds_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QList<int>>("minDefaultMax");
        QTest::newRow("seconds") << "intervalSeconds" << QList<int>{1, 10, 600};
        QTest::newRow("columns") << "sheetColumns" << QList<int>{1, 6, 20};
        QTest::newRow("rows") << "sheetRows" << QList<int>{1, 8, 30};
        QTest::newRow("width") << "sheetWidth" << QList<int>{320, 1920, 7680};
    }
    void numbersStayWithinTheirBounds() {
        QFETCH(QString, box);
        QFETCH(QList<int>, minDefaultMax);
        ExportDialog d(exportTitles());
        const auto* spin = d.findChild<QSpinBox*>(box);
        QVERIFY(spin);
        QCOMPARE((QList<int>{spin->minimum(), spin->value(), spin->maximum()}), minDefaultMax);
    }

    // What each mode leaves to set: the seconds only for the interval, the sheet's numbers only
    // with a sheet; "a contact sheet only" holds the check box on and gives back the user's own
    // choice when another mode is picked.
    void controlsFollowTheMode_data() {
        QTest::addColumn<bool>("wanted");
        QTest::newRow("no sheet wanted") << false;
        QTest::newRow("sheet wanted") << true;
    }
    void controlsFollowTheMode() {
        QFETCH(bool, wanted);
        ExportDialog d(exportTitles());
        d.sheetCheck->setChecked(wanted);
        QVERIFY(d.intervalSeconds->isEnabled());
        QCOMPARE(d.sheetColumns->isEnabled(), wanted);

        QTest::mouseClick(d.sheetOnly, Qt::LeftButton);
        QVERIFY(d.sheetCheck->isChecked());
        QVERIFY(!d.sheetCheck->isEnabled());
        QVERIFY(!d.intervalSeconds->isEnabled());
        for (QSpinBox* box : {d.sheetColumns, d.sheetRows, d.sheetWidth})
            QVERIFY(box->isEnabled());

        QTest::mouseClick(d.perShot, Qt::LeftButton);
        QCOMPARE(d.sheetCheck->isChecked(), wanted);
        QVERIFY(d.sheetCheck->isEnabled());
        QCOMPARE(d.sheetWidth->isEnabled(), wanted);
        QCOMPARE(d.request().sheet, wanted);
        QVERIFY(!d.intervalSeconds->isEnabled());
    }

    // The next export starts from the choices of the last one.
    void presetTakesTheEarlierChoices() {
        ExportRequest earlier;
        earlier.mode = ExportMode::PerShot;
        earlier.intervalSeconds = 42;
        earlier.sheet = true;
        earlier.sheetLayout = {3, 4, 800};
        ExportDialog d(exportTitles());
        d.preset(earlier);
        const ExportRequest r = d.request();
        QCOMPARE(r.mode, ExportMode::PerShot);
        QCOMPARE(r.intervalSeconds, 42);
        QVERIFY(r.sheet);
        QCOMPARE((QList<int>{r.sheetLayout.columns, r.sheetLayout.rows, r.sheetLayout.width}),
                 (QList<int>{3, 4, 800}));
        QCOMPARE(r.title, 4); // the title is the listed one, not the earlier's

        // The sheet of "a contact sheet only" was not a choice of its own.
        earlier.mode = ExportMode::SheetOnly;
        d.preset(earlier);
        QVERIFY(d.sheetOnly->isChecked());
        QTest::mouseClick(d.everyFrame, Qt::LeftButton);
        QVERIFY(!d.request().sheet);
    }

    // Under a pack whose every text is its own ID, each control shows the ID it is meant to.
    void everyControlShowsItsCaption() {
        QTemporaryDir program;
        platform::setProgramFolder(program.path());
        const QList<QByteArray> ids{"03",  "04",  "037", "038", "102", "103", "104", "105", "106",
                                    "107", "108", "109", "110", "111", "112", "113", "114", "115"};
        QByteArray pack = "[Stillbeck Language Pack]\r\n";
        for (const QByteArray& id : ids)
            pack += id + '=' + id + (id == "037" || id == "038" ? " %1" : "") + "\r\n";
        QVERIFY(writeFile(program.filePath(QStringLiteral("Lang/Marker.ini")), pack));
        Settings::current().languageFile = QStringLiteral("Marker.ini");

        ExportDialog d(exportTitles());
        QStringList shown{d.OKButton->text(), d.CancelButton->text(), d.titleList->itemText(0),
                          d.firstChapter->itemText(0), d.windowTitle()};
        for (const QLabel* label : d.findChildren<QLabel*>())
            shown << label->text();
        shown << d.findChild<QGroupBox*>()->title();
        for (const QAbstractButton* button : QList<QAbstractButton*>{
                 d.everyInterval, d.everyFrame, d.perShot, d.sheetOnly, d.sheetCheck})
            shown << button->text();
        platform::setProgramFolder(QString());

        QCOMPARE(shown, (QStringList{"03", "04", "037 1 (0:01:35)", "038 1 (0:00:00)", "102", "103",
                                     "104", "105", "108", "113", "114", "115", "106", "107", "109",
                                     "110", "111", "112"}));
    }
};

QTEST_MAIN(ExportDialogTest)
#include "tst_exportdialog.moc"
