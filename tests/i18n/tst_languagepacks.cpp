// The shipped language packs: complete, with usable mnemonics, and every caption fitting its
// control at design size.
#include "MainFormHarness.h"

#include "i18n/CaptionTable.h"
#include "i18n/LanguageReader.h"
#include "i18n/ProfileReader.h"
#include "support/ExportTitles.h"
#include "support/TestFiles.h"
#include "ui/AboutForm.h"
#include "ui/ExportDialog.h"
#include "ui/ExportProgressWindow.h"
#include "ui/OptionsDialog.h"
#include "ui/TimedSnapshotsDialog.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLibraryInfo>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QStyle>
#include <QTest>
#include <QTranslator>

namespace {

const QString Section = QStringLiteral("Stillbeck Language Pack");

QString packsFolder() {
    return QStringLiteral(STILLBECK_DATA_DIR "/Lang");
}

QString packValue(const QString& pack, const char* id) {
    return ProfileReader::readString(Section, QString::fromLatin1(id), QStringLiteral("\x01"), 500,
                                     packsFolder() + u'/' + pack)
        .text;
}

// The accelerator letters a caption marks with "&" ("&&" is a literal ampersand).
QString mnemonics(const QString& text) {
    QString letters;
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != u'&')
            continue;
        if (text[i + 1] != u'&')
            letters += text[i + 1].toUpper();
        ++i;
    }
    return letters;
}

QString withoutMnemonic(QString text) {
    return text.remove(QRegularExpression(QStringLiteral("&(?!&)")));
}

// Every captioned control of a window whose text must fit the control's own width.
QStringList overflowing(QWidget* window) {
    QStringList found;
    window->ensurePolished();
    for (QWidget* w : window->findChildren<QWidget*>()) {
        w->ensurePolished();
        QString text;
        int needed = 0;
        int room = w->width();
        if (auto* label = qobject_cast<QLabel*>(w)) {
            text = label->text();
            if (text.isEmpty())
                continue;
            if (label->wordWrap()) {
                if (label->heightForWidth(label->width()) > label->height())
                    found << label->objectName() + QStringLiteral(": ") + text;
                continue;
            }
            // A label leading to a field shows its "&" as the underline of the key letter.
            needed = label->fontMetrics().horizontalAdvance(label->buddy() ? withoutMnemonic(text)
                                                                           : text) +
                     2 * label->margin();
        } else if (auto* check = qobject_cast<QCheckBox*>(w)) {
            text = check->text();
            needed = check->sizeHint().width();
        } else if (auto* button = qobject_cast<QPushButton*>(w)) {
            text = button->text();
            needed = button->fontMetrics().horizontalAdvance(withoutMnemonic(text)) +
                     2 * button->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button);
        } else if (auto* frame = qobject_cast<QGroupBox*>(w)) {
            text = frame->title();
            needed = frame->minimumSizeHint().width();
        } else {
            continue;
        }
        if (!text.isEmpty() && needed > room)
            found << QStringLiteral("%1: \"%2\" needs %3 px, has %4")
                         .arg(w->objectName(), text)
                         .arg(needed)
                         .arg(room);
    }
    return found;
}

// One row per shipped pack: English and at least eight translations.
void packRows() {
    QTest::addColumn<QString>("pack");
    const QStringList packs =
        QDir(packsFolder()).entryList({QStringLiteral("*.ini")}, QDir::Files, QDir::Name);
    QVERIFY2(packs.size() >= 9, qPrintable(packs.join(u' ')));
    for (const QString& pack : packs)
        QTest::newRow(qPrintable(pack)) << pack;
}

// A main window on fakes whose program folder holds this one pack, captions applied.
MainForm& startIn(MainFormHarness& h, const QString& pack) {
    QDir().mkpath(h.programDir.filePath(QStringLiteral("Lang")));
    QFile::copy(packsFolder() + u'/' + pack, h.programDir.filePath(QStringLiteral("Lang/") + pack));
    MainForm& form = h.start();
    Settings::current().languageFile = pack;
    form.unloadAboutForm();
    form.ApplyCaptions();
    return form;
}

} // namespace

class LanguagePacksTest : public QObject {
    Q_OBJECT
private slots:

    // Each translation names a locale Qt has its own texts for; English names none.
    void everyPackNamesALocaleQtTranslates_data() { packRows(); }
    void everyPackNamesALocaleQtTranslates() {
        QFETCH(QString, pack);
        const QString locale = packValue(pack, "Locale");
        if (pack == QLatin1String("English.ini")) {
            QCOMPARE(locale, QStringLiteral("\x01"));
            return;
        }
        QTranslator qt;
        QVERIFY2(qt.load(QLocale(locale), QStringLiteral("qt"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)),
                 qPrintable(locale));
    }

    // Qt's own buttons follow the chosen pack at once, and back.
    void qtTextsFollowThePack() {
        MainFormHarness h;
        MainForm& form = startIn(h, QStringLiteral("Deutsch.ini"));
        const auto qtTexts = [] {
            QMessageBox question(QMessageBox::Question, QString(), QString(),
                                 QMessageBox::Yes | QMessageBox::No);
            QFileDialog files;
            files.setOption(QFileDialog::DontUseNativeDialog);
            const auto* buttons = files.findChild<QDialogButtonBox*>();
            return QStringList{withoutMnemonic(question.button(QMessageBox::Yes)->text()),
                               withoutMnemonic(question.button(QMessageBox::No)->text()),
                               buttons ? buttons->button(QDialogButtonBox::Cancel)->text()
                                       : QString()};
        };
        QCOMPARE(qtTexts(), (QStringList{"Ja", "Nein", "Abbrechen"}));
        Settings::current().languageFile = QStringLiteral("English.ini");
        form.ApplyCaptions();
        QCOMPARE(qtTexts(), (QStringList{"Yes", "No", "Cancel"}));
    }

    void everyCaptionIsThereInUtf8WithItsMnemonic_data() { packRows(); }
    void everyCaptionIsThereInUtf8WithItsMnemonic() {
        QFETCH(QString, pack);
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString decoded = utf8(readFile(packsFolder() + u'/' + pack));
        QVERIFY2(!utf8.hasError(), "not UTF-8");
        QVERIFY(!decoded.startsWith(QChar(0xFEFF)));
        // Help page beside the program, named like the pack.
        QVERIFY(QFileInfo::exists(QStringLiteral(STILLBECK_DATA_DIR "/") + pack.chopped(4) +
                                  QStringLiteral(".html")));

        for (const CaptionText& text : Caption::All) {
            const QString value = packValue(pack, text.id);
            const QString id = QString::fromLatin1(text.id);
            QVERIFY2(value != QStringLiteral("\x01"), qPrintable(id + QStringLiteral(" missing")));
            QVERIFY2(!value.trimmed().isEmpty(), qPrintable(id + QStringLiteral(" empty")));
            // A caption with an accelerator keeps exactly one; the others get none.
            QCOMPARE(mnemonics(value).size(),
                     mnemonics(QString::fromUtf8(text.defaultText)).size());
            // The figure a caption is given ("Title %1") has its place in every language.
            QVERIFY2(value.count(QStringLiteral("%1")) ==
                         QString::fromUtf8(text.defaultText).count(QStringLiteral("%1")),
                     qPrintable(id + QStringLiteral(" places its figure differently")));
        }
    }

    void mnemonicsAreUniqueWithinEachMenuAndDialog_data() { packRows(); }
    void mnemonicsAreUniqueWithinEachMenuAndDialog() {
        QFETCH(QString, pack);
        MainFormHarness h;
        MainForm& form = startIn(h, pack);
        QCOMPARE(probe(form).fileMenu->title(), packValue(pack, Caption::FileMenu.id));

        QList<QStringList> groups;
        QStringList bar;
        for (QAction* top : form.menuBar()->actions()) {
            bar << top->text();
            if (QMenu* menu = top->menu()) {
                QStringList entries;
                for (QAction* entry : menu->actions())
                    entries << entry->text();
                groups << entries;
            }
        }
        groups << bar;
        for (QWidget* dialog : QList<QWidget*>{form.optionsDialog(), form.timedSnapshotsDialog()}) {
            QStringList buttons;
            for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>())
                buttons << button->text();
            groups << buttons;
        }
        // The export dialog's labels lead to their fields as well.
        ExportDialog exportDialog(exportTitles(), &form);
        QStringList exportKeys;
        for (QAbstractButton* button : exportDialog.findChildren<QAbstractButton*>())
            exportKeys << button->text();
        for (QLabel* label : exportDialog.findChildren<QLabel*>())
            exportKeys << label->text();
        groups << exportKeys;
        for (const QStringList& group : groups) {
            QString seen;
            for (const QString& text : group) {
                for (QChar letter : mnemonics(text)) {
                    QVERIFY2(!seen.contains(letter),
                             qPrintable(QStringLiteral("%1 repeats \"%2\" in: %3")
                                            .arg(text, letter, group.join(QStringLiteral(" | ")))));
                    seen += letter;
                }
            }
        }
        // The shortcuts stay those of the design whatever the language.
        QCOMPARE(probe(form).snapshotCommand->shortcut(), QKeySequence(QStringLiteral("Ctrl+F1")));
        QCOMPARE(probe(form).fullScreenMenu->shortcut(), QKeySequence(QStringLiteral("Ctrl+F4")));
    }

    void everyCaptionFitsItsControlAtDesignSize_data() { packRows(); }
    void everyCaptionFitsItsControlAtDesignSize() {
        QFETCH(QString, pack);
        MainFormHarness h;
        MainForm& form = startIn(h, pack);
        QCOMPARE(form.optionsDialog()->windowTitle(), packValue(pack, Caption::OptionsTitle.id));
        if (form.logicalDpiX() != 96)
            QSKIP("design sizes hold at 96 dpi");

        QStringList failures;
        for (QWidget* window :
             QList<QWidget*>{form.optionsDialog(), form.timedSnapshotsDialog(), form.aboutForm()})
            failures << overflowing(window);
        // The main window's title lines; "Media Actions" shares its line with the time display.
        failures << overflowing(form.centralWidget());
        // The export's windows are laid out for their texts; laid out, nothing is cut.
        ExportDialog exportDialog(exportTitles(), &form);
        ExportProgressWindow exportProgress(4, &form);
        for (QDialog* window : QList<QDialog*>{&exportDialog, &exportProgress}) {
            window->layout()->activate();
            failures << overflowing(window);
        }
        const int titleRoom = probe(form).timeElapsed->x() - probe(form).mediaActionsTitle->x();
        if (probe(form).mediaActionsTitle->fontMetrics().horizontalAdvance(
                probe(form).mediaActionsTitle->text()) > titleRoom)
            failures << QStringLiteral("mediaActionsTitle runs into the time display");
        // Texts that appear later in the time display and the hint line.
        const QFontMetrics timeFont = probe(form).timeElapsed->fontMetrics();
        if (timeFont.horizontalAdvance(caption(Caption::Loading)) >
            probe(form).timeElapsed->width())
            failures << QStringLiteral("020 overflows the time display");
        for (const CaptionText& hint :
             {Caption::HintSingleSnapshot, Caption::HintContinuousSnapshots,
              Caption::HintTimedSnapshots, Caption::HintFullScreen, Caption::HintRewind,
              Caption::HintPlay, Caption::HintPause, Caption::HintStop, Caption::HintFastForward,
              Caption::HintMute, Caption::HintSound, Caption::HintVolume})
            if (probe(form).toolTips->fontMetrics().horizontalAdvance(caption(hint)) >
                probe(form).toolTips->width())
                failures << QString::fromLatin1(hint.id) +
                                QStringLiteral(" overflows the hint line");
        // All four menus in one row of the menu bar.
        if (form.menuBar()->sizeHint().width() > form.width())
            failures
                << QStringLiteral("menu bar needs %1 px").arg(form.menuBar()->sizeHint().width());
        QVERIFY2(failures.isEmpty(), qPrintable(failures.join(u'\n')));
    }
};

QTEST_MAIN(LanguagePacksTest)
#include "tst_languagepacks.moc"
