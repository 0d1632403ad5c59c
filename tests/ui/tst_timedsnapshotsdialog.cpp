#include "ui/TimedSnapshotsDialog.h"

#include "settings/Settings.h"
#include "support/ModalRun.h"
#include "support/ScriptedMessageBoxes.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QWindow>

#include <functional>

namespace {

const QString StillOpen = QStringLiteral("<dialog did not close>");
const QString NeverActive = QStringLiteral("<dialog never became active>");

// Shows the dialog through its modal entry point, runs script inside the modal loop once the
// window is active, and returns the result (NeverActive if it did not become active). A dialog the
// script leaves open is closed after a few seconds and reported as StillOpen, so a fault cannot
// hang the test run.
QString runPrompt(TimedSnapshotsDialog& dialog, const std::function<void()>& script) {
    QString result;
    const ModalRun run =
        runModal([&] { result = dialog.showPrompt(); }, [&](QWidget&) { script(); });
    return !run.shown ? NeverActive : run.forcedClosed ? StillOpen : result;
}

// Replaces the field's text as typed, then clicks a button (none when null).
QString answer(TimedSnapshotsDialog& dialog, const QString& text, QPushButton* button) {
    return runPrompt(dialog, [&] {
        dialog.milliseconds->selectAll();
        QTest::keyClicks(dialog.milliseconds, text);
        if (button)
            QTest::mouseClick(button, Qt::LeftButton);
    });
}

quint8 promptHidden() {
    return Settings::current().hideIntervalPrompt;
}

} // namespace

class TimedSnapshotsDialogTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        Settings::current() = Settings::defaults();
        Settings::current().snapshotInterval = 5000;
        Settings::current().hideIntervalPrompt = 0;
        boxes = ScriptedMessageBoxes();
    }

    void firstShowingHoldsSettingSelected() {
        QWidget owner;
        owner.setGeometry(600, 400, 500, 300);
        owner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&owner));
        TimedSnapshotsDialog dialog(boxes, &owner);
        // Loading happens hidden, at start-up: no focus is given away yet.
        QVERIFY(!dialog.focusWidget());
        bool modal = false;
        QRect shownAt;
        QString text, selected;
        QWidget* focus = nullptr;
        const QString result = runPrompt(dialog, [&] {
            modal = QApplication::activeModalWidget() == &dialog;
            shownAt = dialog.geometry();
            text = dialog.milliseconds->text();
            selected = dialog.milliseconds->selectedText();
            (void)QTest::qWaitFor([] { return QApplication::focusWidget() != nullptr; }, 2000);
            focus = QApplication::focusWidget();
            QTest::keyClick(&dialog, Qt::Key_Escape);
        });
        QCOMPARE(result, QStringLiteral("1"));
        QVERIFY(modal);
        // Placed, not centred on the screen or the owner.
        const QPoint origin = QGuiApplication::primaryScreen()->geometry().topLeft();
        QCOMPARE(shownAt, QRect(origin + QPoint(184, 250), QSize(402, 98)));
        QCOMPARE(text, QStringLiteral("5000"));
        QCOMPARE(selected, QStringLiteral("5000"));
        QCOMPARE(focus, dialog.OKButton);
    }

    void formLoadWhileVisibleFocusesField() {
        TimedSnapshotsDialog dialog(boxes);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        Settings::current().snapshotInterval = 12345;
        dialog.Form_Load();
        QCOMPARE(dialog.milliseconds->selectedText(), QStringLiteral("12345"));
        QCOMPARE(QApplication::focusWidget(), dialog.milliseconds);
        dialog.hide();
    }

    void okReturnsTextAsTypedAndKeepsIt() {
        TimedSnapshotsDialog dialog(boxes);
        QCOMPARE(answer(dialog, QStringLiteral("2500"), dialog.OKButton), QStringLiteral("2500"));
        QCOMPARE(dialog.tag, QStringLiteral("2500"));
        QVERIFY(boxes.shown.isEmpty());
        // Storing the interval is the caller's business.
        QCOMPARE(Settings::current().snapshotInterval, 5000);

        // Another interval saved meanwhile (by the options dialog) does not reach the field, and a
        // fraction comes back as typed.
        Settings::current().snapshotInterval = 9000;
        QString shownNext;
        const QString result = runPrompt(dialog, [&] {
            shownNext = dialog.milliseconds->text();
            dialog.milliseconds->setText(QStringLiteral("1500.5"));
            QTest::mouseClick(dialog.OKButton, Qt::LeftButton);
        });
        QCOMPARE(shownNext, QStringLiteral("2500"));
        QCOMPARE(result, QStringLiteral("1500.5"));
    }

    void cancelKeepsTypedText() {
        TimedSnapshotsDialog dialog(boxes);
        QCOMPARE(answer(dialog, QStringLiteral("abc"), dialog.CancelButton), QStringLiteral("1"));
        QCOMPARE(dialog.tag, QStringLiteral("1"));
        QVERIFY(boxes.shown.isEmpty());
        QCOMPARE(dialog.milliseconds->text(), QStringLiteral("abc")); // the next showing has it
    }

    void invalidTextKeepsDialogOpen_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("letters") << "abc";
        QTest::newRow("too small") << "999";
    }
    void invalidTextKeepsDialogOpen() {
        QFETCH(QString, text);
        TimedSnapshotsDialog dialog(boxes);
        dialog.tag = QStringLiteral("2500"); // left over from an earlier showing
        bool openDuringBox = false;
        boxes.onShow = [&](const ScriptedMessageBoxes::Box&) {
            openDuringBox = dialog.isVisible();
        };
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
        const ScriptedMessageBoxes::Box expected{
            QStringLiteral("Value should be numeric and between 1000 - 60000."),
            QStringLiteral("Error"), MessageBoxes::Icon::Critical, MessageBoxes::Buttons::Ok};
        QCOMPARE(boxes.shown, QList<ScriptedMessageBoxes::Box>{expected});
        QVERIFY(openDuringBox);
        QVERIFY(openAfter);
        QCOMPARE(textAfter, text);
        QCOMPARE(tagAfter, QStringLiteral("2500"));
        QCOMPARE(promptHidden(), quint8(0));
        QCOMPARE(result, QStringLiteral("1"));
    }

    void checkBoxWrittenOnlyByValidOk() {
        TimedSnapshotsDialog dialog(boxes);
        QString result = runPrompt(dialog, [&] {
            QTest::mouseClick(dialog.Check1, Qt::LeftButton);
            QTest::keyClick(dialog.milliseconds, Qt::Key_Escape); // Esc presses Cancel
        });
        QCOMPARE(result, QStringLiteral("1"));
        QCOMPARE(promptHidden(), quint8(0));

        bool stillChecked = false;
        result = runPrompt(dialog, [&] {
            stillChecked = dialog.Check1->isChecked();
            dialog.milliseconds->setFocus();
            QTest::keyClick(dialog.milliseconds, Qt::Key_Return); // Enter presses OK
        });
        QVERIFY(stillChecked);
        QCOMPARE(result, QStringLiteral("5000"));
        QCOMPARE(promptHidden(), quint8(1));

        // OK writes the box's state either way.
        result = runPrompt(dialog, [&] {
            QTest::mouseClick(dialog.Check1, Qt::LeftButton);
            QTest::mouseClick(dialog.OKButton, Qt::LeftButton);
        });
        QCOMPARE(result, QStringLiteral("5000"));
        QCOMPARE(promptHidden(), quint8(0));
    }

    void closedOrHiddenWithoutAnswerCancels() {
        TimedSnapshotsDialog dialog(boxes);
        QCOMPARE(answer(dialog, QStringLiteral("2500"), dialog.OKButton), QStringLiteral("2500"));

        // The close control cancels; the text stays for the next showing, as after Cancel.
        const QString closed = runPrompt(dialog, [&] {
            dialog.milliseconds->setText(QStringLiteral("4000"));
            dialog.Check1->setChecked(true);
            dialog.windowHandle()->close();
        });
        QCOMPARE(closed, QStringLiteral("1"));
        QVERIFY(!dialog.isVisible());
        QCOMPARE(promptHidden(), quint8(0));
        QCOMPARE(dialog.milliseconds->text(), QStringLiteral("4000"));

        // Hidden from outside, say while the main window shuts down: no interval from last time.
        QCOMPARE(answer(dialog, QStringLiteral("2500"), dialog.OKButton), QStringLiteral("2500"));
        QCOMPARE(runPrompt(dialog, [&] { dialog.hide(); }), QStringLiteral("1"));
    }

private:
    ScriptedMessageBoxes boxes;
};

QTEST_MAIN(TimedSnapshotsDialogTest)
#include "tst_timedsnapshotsdialog.moc"
