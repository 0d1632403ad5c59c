// Puts the static captions of the windows in place from the chosen language pack.
#include "app/MainForm.h"

#include "app/ExportFlow.h"
#include "app/PlaybackMenu.h"
#include "i18n/LanguageReader.h"
#include "i18n/QtTranslations.h"
#include "ui/AboutForm.h"
#include "ui/OptionsDialog.h"
#include "ui/TimedSnapshotsDialog.h"

#include <QAction>
#include <QLabel>
#include <QMenu>

void MainForm::ApplyCaptions() {
    const CaptionPass pass;
    // Qt's own texts follow the pack, in the dialogs and boxes made from now on.
    applyQtTranslations();
    mediaActionsTitle->setText(caption(Caption::MediaActions));
    editTitle->setText(caption(Caption::MediaTools));
    applyAccessibleNames();

    fileMenu->setTitle(caption(Caption::FileMenu));
    openMenu->setTitle(caption(Caption::OpenMenu));
    openImageOrFolder->setText(caption(Caption::OpenImageOrFolder));
    exitCommand->setText(caption(Caption::ExitCommand));
    editMenu->setTitle(caption(Caption::EditMenu));
    snapshotCommand->setText(caption(Caption::SnapshotCommand));
    continuousSnapshots->setText(caption(Caption::ContinuousSnapshots));
    timedSnapshots->setText(caption(Caption::TimedSnapshots));
    fullScreenMenu->setText(caption(Caption::FullScreenMenu));
    toolsMenu->setTitle(caption(Caption::ToolsMenu));
    optionsMenuCommand->setText(caption(Caption::OptionsMenuCommand));
    helpMenu->setTitle(caption(Caption::HelpMenu));
    howToUseMenu->setText(caption(Caption::HowToUseMenu));
    checkUpdates->setText(caption(Caption::CheckUpdates));
    aboutMenu->setText(caption(Caption::AboutMenu));
    playbackMenu_->applyCaptions();
    exportFlow_->applyCaptions();

    // Touching the about box loads it, hidden, and its load step reads its own texts.
    aboutForm()->applyCaptions();
    optionsDialog()->applyCaptions();
    timedSnapshotsDialog()->applyCaptions();
}
