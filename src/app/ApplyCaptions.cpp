// Puts the static captions of the windows in place from the chosen language pack.
#include "app/MainForm.h"

#include "i18n/LanguageReader.h"
#include "ui/AboutForm.h"
#include "ui/OptionsDialog.h"
#include "ui/TimedSnapshotsDialog.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

void MainForm::ApplyCaptions() {
    mediaActionsTitle->setText(caption(Caption::MediaActions));
    editTitle->setText(caption(Caption::MediaTools));
    applyAccessibleNames();
    const QString okText = caption(Caption::Ok);
    const QString cancelText = caption(Caption::Cancel);

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

    // Touching the about box loads it, hidden, and its load step reads its own texts.
    aboutForm()->cmdOK->setText(okText);

    OptionsDialog* options = optionsDialog();
    options->OKButton->setText(okText);
    options->CancelButton->setText(cancelText);
    options->setWindowTitle(caption(Caption::OptionsTitle));
    options->languageFrame->setTitle(caption(Caption::LanguageFrame));
    options->languageLabel->setText(caption(Caption::LanguageLabel));
    options->snapshotsFrame->setTitle(caption(Caption::SnapshotsFrame));
    options->imageFormatLabel->setText(caption(Caption::ImageFormatLabel));
    options->snapshotsPathLabel->setText(caption(Caption::SnapshotsPathLabel));
    options->snapshotsBrowse->setText(caption(Caption::SnapshotsBrowse));
    options->prefixLabel->setText(caption(Caption::PrefixLabel));
    options->inputBoxCheck->setText(caption(Caption::InputBoxCheck));
    options->valueTitle->setText(caption(Caption::ValueTitle));
    options->millisecondsLabel->setText(caption(Caption::MillisecondsLabel));

    TimedSnapshotsDialog* prompt = timedSnapshotsDialog();
    prompt->setWindowTitle(caption(Caption::TimedSnapshotsTitle));
    prompt->requestLabel->setText(caption(Caption::RequestLabel));
    prompt->Check1->setText(caption(Caption::Check1));
    prompt->millisecondsLabel->setText(caption(Caption::MillisecondsLabel));
    prompt->OKButton->setText(okText);
    prompt->CancelButton->setText(cancelText);
}
