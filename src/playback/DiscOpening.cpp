// The File menu's drive list and opening the chosen disc (or disc image or folder) with the
// snapshot options.
#include "app/MainForm.h"

#include "i18n/LanguageReader.h"
#include "platform/MessageBoxes.h"
#include "platform/Sleep.h"
#include "playback/DiscImage.h"
#include "playback/DriveEnumerator.h"
#include "playback/EngineOptions.h"
#include "playback/MediaEngine.h"
#include "settings/Settings.h"
#include "ui/OptionsDialog.h"

#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QMenu>

namespace {
constexpr int kAddTargetMode = 2;
constexpr int kAddTargetPosition = 0;
} // namespace

QString MainForm::dvdsListCaption(const QAction* item) {
    return item->data().toString();
}

void MainForm::setDvdsListCaption(QAction* item, const QString& caption) {
    // The shown text escapes "&" so that a label like "TOM & JERRY" is not read as a mnemonic.
    item->setData(caption);
    item->setText(QString(caption).replace(QLatin1Char('&'), QStringLiteral("&&")));
}

void MainForm::fileMenu_Click() {
    const int count = driveEnumerator_->ListDvdDrives(driveMenuCaptions);
    // Back to the design item alone before the new list is shown.
    while (dvdsList.size() > 1)
        delete dvdsList.takeLast();
    if (count == 0) {
        setDvdsListCaption(dvdsList[0], caption(Caption::NoDvdDrives));
        return;
    }
    setDvdsListCaption(dvdsList[0], driveMenuCaptions[0]);
    // The drive items come first, above the separator and the entry for images and folders.
    const QList<QAction*> entries = openMenu->actions();
    QAction* below = entries.value(entries.indexOf(dvdsList[0]) + 1);
    for (int i = 1; i < driveMenuCaptions.size(); ++i) {
        auto* item = new QAction(openMenu);
        setDvdsListCaption(item, driveMenuCaptions[i]);
        openMenu->insertAction(below, item);
        connect(item, &QAction::triggered, this, [this, i] { dvdsList_Click(i); });
        dvdsList.append(item);
    }
}

void MainForm::BuildEngineOptions() {
    engineOptions = buildEngineOptions(Settings::current(), currentDiscLabel);
}

void MainForm::dvdsList_Click(int index) {
    if (index < 0 || index >= dvdsList.size())
        return;
    if (dvdsListCaption(dvdsList[0]) == caption(Caption::NoDvdDrives))
        return;
    const QString chosen = dvdsListCaption(dvdsList[index]);
    if (chosen.startsWith(caption(Caption::InsertDvd)))
        return;
    openDisc(driveEnumerator_->driveRoots.value(index), DriveEnumerator::labelFromCaption(chosen));
}

void MainForm::openImageOrFolder_Click() {
    // The dialog is named like the entry, without its mnemonic and trailing dots.
    QString title = caption(Caption::OpenImageOrFolder).remove(QLatin1Char('&')).trimmed();
    while (title.endsWith(u'.') || title.endsWith(QChar(0x2026)))
        title.chop(1);
    const QString picked = services_.chooseDisc(this, title);
    if (picked.isEmpty())
        return;
    const QString disc = discPathOf(picked);
    openDisc(disc, discLabelOf(disc));
}

void MainForm::openDisc(const QString& drive, const QString& label) {
    try {
        stop();
        engine.playlistClear();
        logoHide->show();
        platform::sleepMs(500);
        showLoading();
        currentDrive = drive;
        currentDiscLabel = label;
        loadDisc(QStringLiteral("dvd://") + currentDrive);
    } catch (const EngineError&) {
        reportInvalidDvd();
    }
}

void MainForm::reloadDisc() {
    // The same disc again, so that changed snapshot options reach the engine. A refusal is
    // reported like a failed opening.
    try {
        stop();
        logoHide->show();
        platform::sleepMs(500);
        engine.playlistClear();
        showLoading();
        loadDisc(currentDrive);
    } catch (const EngineError&) {
        reportInvalidDvd();
    }
}

void MainForm::showLoading() {
    timeElapsed->setText(caption(Caption::Loading));
    // The waits of the open sequence block the window for a moment: show the state before.
    logoHide->repaint();
    timeElapsed->repaint();
}

void MainForm::loadDisc(const QString& target) {
    engineOptions[1] = snapshotPathOption(Settings::current(), currentDiscLabel);
    engine.addTarget(target, engineOptions, kAddTargetMode, kAddTargetPosition);
    platform::sleepMs(500);
    play();
}

// Also reached from the position timer when the engine finds, after the open sequence, that the
// medium cannot be played; emptying the loading text first keeps the ticks that run under the
// message box from reporting it again.
void MainForm::reportInvalidDvd() {
    timeElapsed->setText(QString());
    boxes.show(caption(Caption::InvalidDvd), QString::fromLatin1(FixedText::AppTitle),
               MessageBoxes::Icon::Critical);
}

void MainForm::optionsMenuCommand_Click() {
    optionsDialog()->showModal();
    BuildEngineOptions();
    // Loaded anew by ApplyCaptions, so the about box follows a change of language.
    unloadAboutForm();
    ApplyCaptions();
    // A cancelled dialog was unloaded; the one ApplyCaptions created in its place answers "".
    if (optionsDialog()->tag == QStringLiteral("Reload"))
        reloadDisc();
}
