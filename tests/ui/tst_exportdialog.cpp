// The export dialog on its own: what it lists, how the choices become the request, the chapter
// range and the contact sheet's check box.
#include "ui/ExportDialog.h"

#include "settings/Settings.h"
#include "support/ExportTitles.h"

#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

namespace {
QStringList entries(const QComboBox* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->itemText(i);
    return texts;
}
// Picks the entry of a title's or chapter's number, as a user would; 0 leaves the list as it is.
void pick(QComboBox* list, int number) {
    if (number)
        list->setCurrentIndex(list->findData(number));
}
} // namespace

class ExportDialogTest : public QObject {
    Q_OBJECT
private slots:
    void init() { Settings::current() = Settings::defaults(); }

    void listsTitlesWithTheirLengthsTheLongestChosen() {
        ExportDialog d(exportTitles());
        QCOMPARE(entries(d.titleList),
                 (QStringList{"Title 1 (0:01:35)", "Title 2 (0:44:12)", "Title 4 (1:02:05)"}));
        QCOMPARE(d.titleList->currentIndex(), 2);
        QCOMPARE(entries(d.firstChapter), (QStringList{"Chapter 1 (0:00:00)", "Chapter 2 (0:10:00)",
                                                       "Chapter 3 (0:21:01)"}));
        QCOMPARE(d.lastChapter->currentText(), QStringLiteral("Chapter 3 (0:21:01)"));
    }

    void choicesBecomeTheRequest_data() {
        // Picked: title, first and last chapter (0: as opened), the mode's button, the seconds,
        // the sheet's check box; the request's title, chapters (0: to the end) and sheet.
        QTest::addColumn<QList<int>>("picked");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<bool>("check");
        QTest::addColumn<QList<int>>("request");
        QTest::addColumn<bool>("sheet");
        // clang-format off
        QTest::newRow("as opened: the longest title, whole") << QList<int>{0, 0, 0, 10} << "everyInterval" << false << QList<int>{4, 1, 0} << false;
        QTest::newRow("chapters 2 to 4, every 30 s") << QList<int>{2, 2, 4, 30} << "everyInterval" << false << QList<int>{2, 2, 4} << false;
        QTest::newRow("to the last chapter: to the end") << QList<int>{2, 3, 5, 10} << "everyFrame" << true << QList<int>{2, 3, 0} << true;
        QTest::newRow("one title of one chapter") << QList<int>{1, 0, 0, 600} << "perShot" << false << QList<int>{1, 1, 0} << false;
        QTest::newRow("a contact sheet only holds the sheet") << QList<int>{0, 0, 2, 10} << "sheetOnly" << false << QList<int>{4, 1, 2} << true;
        // clang-format on
    }
    void choicesBecomeTheRequest() {
        QFETCH(QList<int>, picked);
        QFETCH(QString, mode);
        QFETCH(bool, check);
        QFETCH(QList<int>, request);
        QFETCH(bool, sheet);
        ExportDialog d(exportTitles());
        pick(d.titleList, picked[0]);
        pick(d.firstChapter, picked[1]);
        pick(d.lastChapter, picked[2]);
        d.intervalSeconds->setValue(picked[3]);
        d.sheetCheck->setChecked(check);
        d.sheetColumns->setValue(4);
        QTest::mouseClick(d.findChild<QRadioButton*>(mode), Qt::LeftButton);

        const ExportRequest r = d.request();
        QCOMPARE((QList<int>{r.title, r.firstChapter, r.lastChapter}), request);
        QCOMPARE(modeName(r.mode), mode);
        QCOMPARE(r.intervalSeconds, picked[3]);
        QCOMPARE(r.sheet, sheet);
        QCOMPARE(r.sheetLayout.columns, 4);
    }

    // The end is chosen among the chapters from the start on; a new title starts over whole.
    void chapterRangeStaysWithinTheTitle() {
        ExportDialog d(exportTitles());
        pick(d.titleList, 2);
        pick(d.lastChapter, 3);
        pick(d.firstChapter, 2);
        QCOMPARE(d.lastChapter->count(), 4); // chapters 2 to 5
        QCOMPARE(d.lastChapter->currentData().toInt(), 3);
        pick(d.firstChapter, 4);
        QCOMPARE(d.lastChapter->count(), 2);
        QCOMPARE(d.lastChapter->currentData().toInt(), 4); // was before the start
        pick(d.titleList, 4);
        QCOMPARE((QList<int>{d.firstChapter->currentData().toInt(),
                             d.lastChapter->currentData().toInt(), d.lastChapter->count()}),
                 (QList<int>{1, 3, 3}));
        pick(d.titleList, 1); // a single chapter leaves nothing to narrow
        QVERIFY(!d.firstChapter->isEnabled() && !d.lastChapter->isEnabled());
    }

    // "A contact sheet only" holds the check box on; another mode gives the user's choice back.
    void sheetOnlyHoldsTheCheckBox_data() {
        QTest::addColumn<bool>("wanted");
        QTest::newRow("no sheet wanted") << false;
        QTest::newRow("sheet wanted") << true;
    }
    void sheetOnlyHoldsTheCheckBox() {
        QFETCH(bool, wanted);
        ExportDialog d(exportTitles());
        d.sheetCheck->setChecked(wanted);
        QCOMPARE(d.sheetWidth->isEnabled(), wanted);
        QTest::mouseClick(d.sheetOnly, Qt::LeftButton);
        QVERIFY(d.sheetCheck->isChecked() && !d.sheetCheck->isEnabled());
        QVERIFY(d.sheetWidth->isEnabled() && !d.intervalSeconds->isEnabled());
        QTest::mouseClick(d.perShot, Qt::LeftButton);
        QCOMPARE(d.sheetCheck->isChecked(), wanted);
        QCOMPARE(d.sheetWidth->isEnabled(), wanted);
        QCOMPARE(d.request().sheet, wanted);
    }

private:
    static QString modeName(ExportMode mode) {
        const char* names[] = {"everyInterval", "everyFrame", "perShot", "sheetOnly"};
        return QLatin1String(names[int(mode)]);
    }
};

QTEST_MAIN(ExportDialogTest)
#include "tst_exportdialog.moc"
