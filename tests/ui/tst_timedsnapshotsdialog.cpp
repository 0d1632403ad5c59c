#include "ui/TimedSnapshotsDialog.h"

#include "settings/Settings.h"
#include "support/ScriptedMessageBoxes.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <functional>

namespace {

const QString StillOpen = QStringLiteral("<dialog did not close>");
const QString NeverActive = QStringLiteral("<dialog never became active>");

// Shows the dialog through its modal entry point, runs script inside the modal loop once the
// window is active, and returns the result (NeverActive if it did not become active). A dialog the
// script leaves open is forced shut after a few seconds and reported as StillOpen, so a fault
// cannot hang the test run.
QString runPrompt(TimedSnapshotsDialog& dialog, const std::function<void()>& script) {
    bool forced = false;
    bool inactive = false;
    QTimer::singleShot(0, &dialog, [&] {
        if (!QTest::qWaitForWindowActive(&dialog)) {
            inactive = true;
            dialog.hide();
            return;
        }
        script();
    });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, &dialog, [&] {
        if (dialog.isVisible()) {
            forced = true;
            dialog.hide();
        }
    });
    watchdog.start(5000);
    const QString result = dialog.showPrompt();
    watchdog.stop();
    if (inactive)
        return NeverActive;
    return forced ? StillOpen : result;
}

void typeInterval(TimedSnapshotsDialog& dialog, const QString& text) {
    dialog.milliseconds->selectAll();
    QTest::keyClicks(dialog.milliseconds, text);
}

} // namespace

class TimedSnapshotsDialogTest : public QObject {
    Q_OBJECT
private slots:
    void init();

    void windowFrameAndPlace();
    void placedOnScreenWithParentToo();
    void controls_data();
    void controls();
    void tabOrderAndDefaults();

    void firstShowingHoldsSettingSelected();
    void formLoadWhileVisibleFocusesField();
    void okReturnsTextAsTypedAndKeepsIt();
    void cancelKeepsTypedText();
    void fieldIsNotRefilledFromSettings();
    void invalidTextKeepsDialogOpen_data();
    void invalidTextKeepsDialogOpen();
    void checkBoxWrittenOnlyByValidOk();
    void keyboard_data();
    void keyboard();
    void closeControlCancels();
    void hiddenWithoutAnswerCancels();

private:
    ScriptedMessageBoxes boxes;
};

void TimedSnapshotsDialogTest::init() {
    Settings::current() = Settings::defaults();
    Settings::current().snapshotInterval = 5000;
    Settings::current().hideIntervalPrompt = 0;
    boxes = ScriptedMessageBoxes();
}

void TimedSnapshotsDialogTest::windowFrameAndPlace() {
    TimedSnapshotsDialog dialog(boxes);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Timed Snapshots"));
    QVERIFY(dialog.tag.isEmpty());
    QVERIFY(!dialog.parentWidget());

    const Qt::WindowFlags flags = dialog.windowFlags();
    QCOMPARE(flags & Qt::WindowType_Mask, Qt::Dialog);
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowContextHelpButtonHint));

    QCOMPARE(dialog.minimumSize(), QSize(402, 98));
    QCOMPARE(dialog.maximumSize(), QSize(402, 98));

    // Placed, not centred: the client area stays where it was put once the dialog shows.
    const QPoint origin = QGuiApplication::primaryScreen()->geometry().topLeft();
    const QRect expected(origin + QPoint(184, 250), QSize(402, 98));
    bool modal = false;
    QRect shownAt;
    const QString result = runPrompt(dialog, [&] {
        modal = dialog.isModal() && QApplication::activeModalWidget() == &dialog;
        shownAt = dialog.geometry();
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    QCOMPARE(result, QStringLiteral("1"));
    QVERIFY(modal);
    QCOMPARE(shownAt, expected);
}

void TimedSnapshotsDialogTest::placedOnScreenWithParentToo() {
    QWidget owner;
    owner.setGeometry(600, 400, 500, 300);
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    TimedSnapshotsDialog dialog(boxes, &owner);
    QVERIFY(dialog.isWindow());
    QRect shownAt;
    const QString result = runPrompt(dialog, [&] {
        shownAt = dialog.geometry();
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    QCOMPARE(result, QStringLiteral("1"));
    const QPoint origin = QGuiApplication::primaryScreen()->geometry().topLeft();
    QCOMPARE(shownAt, QRect(origin + QPoint(184, 250), QSize(402, 98)));
}

void TimedSnapshotsDialogTest::controls_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("rect");
    QTest::addColumn<QString>("text");

    QTest::newRow("requestLabel") << "requestLabel" << QRect(8, 16, 121, 13)
                                  << "Capture a snapshot every";
    QTest::newRow("milliseconds") << "milliseconds" << QRect(136, 13, 65, 19) << "5000";
    QTest::newRow("millisecondsLabel")
        << "millisecondsLabel" << QRect(208, 16, 59, 13) << "milliseconds.";
    QTest::newRow("Check1") << "Check1" << QRect(8, 72, 385, 17)
                            << "Do not show this again and  use this value as the default.";
    QTest::newRow("OKButton") << "OKButton" << QRect(312, 8, 81, 25) << "OK";
    QTest::newRow("CancelButton") << "CancelButton" << QRect(312, 40, 81, 25) << "Cancel";
}

void TimedSnapshotsDialogTest::controls() {
    QFETCH(QString, name);
    QFETCH(QRect, rect);
    QFETCH(QString, text);

    TimedSnapshotsDialog dialog(boxes);
    const QHash<QString, QWidget*> members{{"requestLabel", dialog.requestLabel},
                                           {"milliseconds", dialog.milliseconds},
                                           {"millisecondsLabel", dialog.millisecondsLabel},
                                           {"Check1", dialog.Check1},
                                           {"OKButton", dialog.OKButton},
                                           {"CancelButton", dialog.CancelButton}};
    QWidget* widget = members.value(name);
    QVERIFY(widget);
    QCOMPARE(widget->objectName(), name);
    QCOMPARE(widget->parentWidget(), &dialog);
    QCOMPARE(widget->geometry(), rect);
    const QVariant shown = widget->property("text");
    QCOMPARE(shown.toString(), text);
}

void TimedSnapshotsDialogTest::tabOrderAndDefaults() {
    TimedSnapshotsDialog dialog(boxes);
    QList<QWidget*> chain;
    for (QWidget* w = dialog.nextInFocusChain(); w != &dialog && chain.size() < 20;
         w = w->nextInFocusChain()) {
        if (w->focusPolicy() & Qt::TabFocus)
            chain.append(w);
    }
    const QList<QWidget*> expected{dialog.OKButton, dialog.CancelButton, dialog.milliseconds,
                                   dialog.Check1};
    QCOMPARE(chain, expected);
    QVERIFY(dialog.OKButton->isDefault());
    QVERIFY(!dialog.CancelButton->isDefault());
}

void TimedSnapshotsDialogTest::firstShowingHoldsSettingSelected() {
    TimedSnapshotsDialog dialog(boxes);
    // Loading happens hidden, at start-up: no focus is given away yet.
    QVERIFY(!dialog.focusWidget());

    QString text, selected;
    int selectionStart = -1;
    QWidget* focus = nullptr;
    const QString result = runPrompt(dialog, [&] {
        text = dialog.milliseconds->text();
        selected = dialog.milliseconds->selectedText();
        selectionStart = dialog.milliseconds->selectionStart();
        focus = QApplication::focusWidget();
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    QCOMPARE(result, QStringLiteral("1"));
    QCOMPARE(text, QStringLiteral("5000"));
    QCOMPARE(selected, QStringLiteral("5000"));
    QCOMPARE(selectionStart, 0);
    QCOMPARE(focus, dialog.OKButton);
}

void TimedSnapshotsDialogTest::formLoadWhileVisibleFocusesField() {
    TimedSnapshotsDialog dialog(boxes);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QCOMPARE(QApplication::focusWidget(), dialog.OKButton);

    Settings::current().snapshotInterval = 12345;
    dialog.Form_Load();
    QCOMPARE(dialog.milliseconds->text(), QStringLiteral("12345"));
    QCOMPARE(dialog.milliseconds->selectedText(), QStringLiteral("12345"));
    QCOMPARE(QApplication::focusWidget(), dialog.milliseconds);
    dialog.hide();
}

void TimedSnapshotsDialogTest::okReturnsTextAsTypedAndKeepsIt() {
    TimedSnapshotsDialog dialog(boxes);
    QString result = runPrompt(dialog, [&] {
        typeInterval(dialog, QStringLiteral("2500"));
        QTest::mouseClick(dialog.OKButton, Qt::LeftButton);
    });
    QCOMPARE(result, QStringLiteral("2500"));
    QCOMPARE(dialog.tag, QStringLiteral("2500"));
    QVERIFY(!dialog.isVisible());
    QVERIFY(boxes.shown.isEmpty());
    // Storing the interval is the caller's business.
    QCOMPARE(Settings::current().snapshotInterval, 5000);

    QString shownNext;
    result = runPrompt(dialog, [&] {
        shownNext = dialog.milliseconds->text();
        typeInterval(dialog, QStringLiteral("1500.5"));
        QTest::mouseClick(dialog.OKButton, Qt::LeftButton);
    });
    QCOMPARE(shownNext, QStringLiteral("2500"));
    QCOMPARE(result, QStringLiteral("1500.5"));
}

void TimedSnapshotsDialogTest::cancelKeepsTypedText() {
    TimedSnapshotsDialog dialog(boxes);
    QString result = runPrompt(dialog, [&] {
        typeInterval(dialog, QStringLiteral("abc"));
        QTest::mouseClick(dialog.CancelButton, Qt::LeftButton);
    });
    QCOMPARE(result, QStringLiteral("1"));
    QCOMPARE(dialog.tag, QStringLiteral("1"));
    QVERIFY(boxes.shown.isEmpty());

    QString shownNext;
    result = runPrompt(dialog, [&] {
        shownNext = dialog.milliseconds->text();
        QTest::mouseClick(dialog.CancelButton, Qt::LeftButton);
    });
    QCOMPARE(shownNext, QStringLiteral("abc"));
    QCOMPARE(result, QStringLiteral("1"));
}

void TimedSnapshotsDialogTest::fieldIsNotRefilledFromSettings() {
    TimedSnapshotsDialog dialog(boxes);
    runPrompt(dialog, [&] {
        typeInterval(dialog, QStringLiteral("7000"));
        QTest::mouseClick(dialog.OKButton, Qt::LeftButton);
    });
    // Another interval saved meanwhile (by the options dialog) does not reach the field.
    Settings::current().snapshotInterval = 9000;
    QString shownNext;
    const QString result = runPrompt(dialog, [&] {
        shownNext = dialog.milliseconds->text();
        QTest::mouseClick(dialog.OKButton, Qt::LeftButton);
    });
    QCOMPARE(shownNext, QStringLiteral("7000"));
    QCOMPARE(result, QStringLiteral("7000"));
}

void TimedSnapshotsDialogTest::invalidTextKeepsDialogOpen_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("letters") << "abc";
    QTest::newRow("empty") << "";
    QTest::newRow("too small") << "999";
    QTest::newRow("leading zero") << "05000";
    QTest::newRow("trailing blank") << "5000 ";
}

void TimedSnapshotsDialogTest::invalidTextKeepsDialogOpen() {
    QFETCH(QString, text);
    Settings::current().hideIntervalPrompt = 0;
    TimedSnapshotsDialog dialog(boxes);
    dialog.tag = QStringLiteral("2500"); // left over from an earlier showing

    bool openDuringBox = false;
    boxes.onShow = [&](const ScriptedMessageBoxes::Box&) { openDuringBox = dialog.isVisible(); };
    bool openAfter = false;
    QString textAfter, tagAfter;
    const QString result = runPrompt(dialog, [&] {
        dialog.Check1->setChecked(true);
        dialog.milliseconds->clear();
        QTest::keyClicks(dialog.milliseconds, text);
        QTest::mouseClick(dialog.OKButton, Qt::LeftButton);
        openAfter = dialog.isVisible();
        textAfter = dialog.milliseconds->text();
        tagAfter = dialog.tag;
        QTest::keyClick(dialog.milliseconds, Qt::Key_Escape);
    });

    QCOMPARE(boxes.shown.size(), 1);
    const ScriptedMessageBoxes::Box box = boxes.shown.first();
    QCOMPARE(box.text, QStringLiteral("Value should be numeric and between 1000 - 60000."));
    QCOMPARE(box.title, QStringLiteral("Error"));
    QCOMPARE(box.icon, MessageBoxes::Icon::Critical);
    QCOMPARE(box.buttons, MessageBoxes::Buttons::Ok);
    QVERIFY(openDuringBox);
    QVERIFY(openAfter);
    QCOMPARE(textAfter, text);
    QCOMPARE(tagAfter, QStringLiteral("2500"));
    QCOMPARE(Settings::current().hideIntervalPrompt, quint8(0));
    QCOMPARE(result, QStringLiteral("1"));
}

void TimedSnapshotsDialogTest::checkBoxWrittenOnlyByValidOk() {
    TimedSnapshotsDialog dialog(boxes);
    QString result = runPrompt(dialog, [&] {
        QTest::mouseClick(dialog.Check1, Qt::LeftButton);
        QTest::mouseClick(dialog.CancelButton, Qt::LeftButton);
    });
    QCOMPARE(result, QStringLiteral("1"));
    QCOMPARE(Settings::current().hideIntervalPrompt, quint8(0));

    bool stillChecked = false;
    result = runPrompt(dialog, [&] {
        stillChecked = dialog.Check1->isChecked();
        QTest::mouseClick(dialog.OKButton, Qt::LeftButton);
    });
    QVERIFY(stillChecked);
    QCOMPARE(result, QStringLiteral("5000"));
    QCOMPARE(Settings::current().hideIntervalPrompt, quint8(1));

    // OK writes the box's state either way.
    result = runPrompt(dialog, [&] {
        QTest::mouseClick(dialog.Check1, Qt::LeftButton);
        QTest::mouseClick(dialog.OKButton, Qt::LeftButton);
    });
    QCOMPARE(result, QStringLiteral("5000"));
    QCOMPARE(Settings::current().hideIntervalPrompt, quint8(0));
}

void TimedSnapshotsDialogTest::keyboard_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("result");
    QTest::newRow("Return presses OK") << int(Qt::Key_Return) << "3000";
    QTest::newRow("keypad Enter presses OK") << int(Qt::Key_Enter) << "3000";
    QTest::newRow("Esc presses Cancel") << int(Qt::Key_Escape) << "1";
}

void TimedSnapshotsDialogTest::keyboard() {
    QFETCH(int, key);
    QFETCH(QString, result);
    TimedSnapshotsDialog dialog(boxes);
    const QString answer = runPrompt(dialog, [&] {
        dialog.milliseconds->setFocus();
        typeInterval(dialog, QStringLiteral("3000"));
        dialog.Check1->setChecked(true);
        QTest::keyClick(dialog.milliseconds, Qt::Key(key));
    });
    QCOMPARE(answer, result);
    QCOMPARE(Settings::current().hideIntervalPrompt, quint8(result == "1" ? 0 : 1));
}

void TimedSnapshotsDialogTest::closeControlCancels() {
    TimedSnapshotsDialog dialog(boxes);
    QPointer<TimedSnapshotsDialog> alive(&dialog);
    runPrompt(dialog, [&] {
        typeInterval(dialog, QStringLiteral("2500"));
        QTest::mouseClick(dialog.OKButton, Qt::LeftButton);
    });
    QCOMPARE(dialog.tag, QStringLiteral("2500"));

    const QString result = runPrompt(dialog, [&] {
        typeInterval(dialog, QStringLiteral("4000"));
        dialog.Check1->setChecked(true);
        dialog.windowHandle()->close();
    });
    QCOMPARE(result, QStringLiteral("1"));
    QVERIFY(alive);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(Settings::current().hideIntervalPrompt, quint8(0));
    // Kept, like after Cancel: the next showing has the last text.
    QCOMPARE(dialog.milliseconds->text(), QStringLiteral("4000"));
}

void TimedSnapshotsDialogTest::hiddenWithoutAnswerCancels() {
    TimedSnapshotsDialog dialog(boxes);
    runPrompt(dialog, [&] { QTest::mouseClick(dialog.OKButton, Qt::LeftButton); });
    QCOMPARE(dialog.tag, QStringLiteral("5000"));

    // Hidden from outside, say while the main window shuts down: no interval from last time.
    const QString result = runPrompt(dialog, [&] { dialog.hide(); });
    QCOMPARE(result, QStringLiteral("1"));
}

QTEST_MAIN(TimedSnapshotsDialogTest)
#include "tst_timedsnapshotsdialog.moc"
