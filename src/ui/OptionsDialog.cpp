#include "ui/OptionsDialog.h"

#include "ui/FixedDialog.h"
#include "ui_OptionsDialog.h"

#include "capture/CaptureInterval.h"
#include "controls/folder_picker/FolderBrowse.h"
#include "i18n/LanguageReader.h"
#include "platform/MessageBoxes.h"
#include "platform/ProgramFolder.h"
#include "settings/Settings.h"
#include "settings/SettingsFile.h"
#include "ui/SnapshotPrefix.h"

#include <QDir>

namespace {
// Where the client area sits on the screen, in pixels (2760, 3750 twips at 15 twips per pixel).
constexpr QPoint ClientPosition(184, 250);
constexpr int MaxPrefixLength = 4;
const QString PackExtension = QStringLiteral(".ini");
const QString FallbackPack = QStringLiteral("English.ini");
} // namespace

OptionsDialog::OptionsDialog(MessageBoxes& boxes, OptionsDialogHost host, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::OptionsDialog>()), boxes_(boxes),
      host_(std::move(host)) {
    ui_->setupUi(this);
    languageFrame = ui_->languageFrame;
    languageLabel = ui_->languageLabel;
    availableLanguages = ui_->availableLanguages;
    snapshotsFrame = ui_->snapshotsFrame;
    imageFormatLabel = ui_->imageFormatLabel;
    imageFormats = ui_->imageFormats;
    snapshotsPathLabel = ui_->snapshotsPathLabel;
    snapshotPath = ui_->snapshotPath;
    snapshotsBrowse = ui_->snapshotsBrowse;
    prefixLabel = ui_->prefixLabel;
    snapshotPrefix = ui_->snapshotPrefix;
    inputBoxCheck = ui_->inputBoxCheck;
    valueTitle = ui_->valueTitle;
    milliseconds = ui_->milliseconds;
    millisecondsLabel = ui_->millisecondsLabel;
    OKButton = ui_->OKButton;
    CancelButton = ui_->CancelButton;
    FolderBrowse1 = new FolderBrowse(this);
    FolderBrowse1->setObjectName(QStringLiteral("FolderBrowse1"));

    makeFixedDialog(this, ClientPosition);

    connect(inputBoxCheck, &QCheckBox::toggled, this, &OptionsDialog::inputBoxCheck_Click);
    connect(snapshotsBrowse, &QPushButton::clicked, this, &OptionsDialog::snapshotsBrowse_Click);
    connect(OKButton, &QPushButton::clicked, this, &OptionsDialog::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &OptionsDialog::CancelButton_Click);

    Form_Load();
}

OptionsDialog::~OptionsDialog() = default;

QStringList OptionsDialog::languagePackFiles() {
    const QDir lang(platform::programFile(QStringLiteral("Lang")));
    // Only names that end in exactly ".ini": the list drops those four characters and OK adds
    // ".ini" again, which has to name the same file where names are case-sensitive.
    return lang.entryList({QStringLiteral("*") + PackExtension}, QDir::Files | QDir::CaseSensitive,
                          QDir::Name | QDir::IgnoreCase);
}

void OptionsDialog::FillLanguageList() {
    const QStringList files = languagePackFiles();
    availableLanguages->clear();
    Settings& settings = Settings::current();
    qsizetype selected = -1;
    for (qsizetype i = 0; i < files.size(); ++i) {
        if (files[i] == settings.languageFile)
            selected = i;
        availableLanguages->addItem(files[i].chopped(PackExtension.size()));
    }
    if (selected < 0) {
        settings.languageFile = FallbackPack;
        selected = files.indexOf(FallbackPack);
        if (selected < 0 && !files.isEmpty())
            selected = 0;
    }
    // Without any pack nothing is selected, and OK leaves the language setting alone.
    availableLanguages->setCurrentIndex(static_cast<int>(selected));
}

void OptionsDialog::Form_Load() {
    FillLanguageList();
    const Settings& settings = Settings::current();
    // Any format but 0 is JPG, the same reading the engine options make of it.
    imageFormats->setCurrentIndex(settings.imageFormat == 0 ? 0 : 1);
    snapshotPath->setText(settings.snapshotsPath);
    snapshotPrefix->setText(settings.snapshotPrefix);
    inputBoxCheck->setChecked(settings.hideIntervalPrompt != 0);
    milliseconds->setText(QString::number(settings.snapshotInterval));
    tag.clear();
    inputBoxCheck_Click();
}

void OptionsDialog::inputBoxCheck_Click() {
    // The interval is used only while the prompt is skipped.
    const bool skipPrompt = inputBoxCheck->isChecked();
    valueTitle->setEnabled(skipPrompt);
    milliseconds->setEnabled(skipPrompt);
    millisecondsLabel->setEnabled(skipPrompt);
}

void OptionsDialog::snapshotsBrowse_Click() {
    setEnabled(false);
    FolderBrowse1->setInitialFolder(snapshotPath->text());
    if (FolderBrowse1->Browse())
        snapshotPath->setText(FolderBrowse1->FullName());
    setEnabled(true);
    activateWindow();
    setFocus();
}

void OptionsDialog::OKButton_Click() {
    // Checked even while the field is disabled: a bad value from the settings file must not be
    // saved back.
    if (!CaptureIntervalValid(milliseconds->text())) {
        boxes_.show(caption(Caption::OptionsIntervalInvalid), caption(Caption::ErrorTitle),
                    MessageBoxes::Icon::Critical);
        return;
    }
    const QString prefix = snapshotPrefix->text();
    if (prefix.size() > MaxPrefixLength) {
        boxes_.show(caption(Caption::PrefixTooLong), QString::fromLatin1(FixedText::ErrorTitle),
                    MessageBoxes::Icon::Critical);
        return;
    }
    if (!SnapshotPrefix::usableAsFileName(prefix, SnapshotPrefix::testFolder())) {
        boxes_.show(caption(Caption::PrefixInvalid), QString::fromLatin1(FixedText::ErrorTitle),
                    MessageBoxes::Icon::Critical);
        return;
    }

    Settings updated = Settings::current();
    if (availableLanguages->currentIndex() >= 0)
        updated.languageFile = availableLanguages->currentText() + PackExtension;
    updated.imageFormat = static_cast<quint8>(imageFormats->currentIndex());
    updated.snapshotsPath = snapshotPath->text();
    updated.snapshotPrefix = prefix;
    updated.hideIntervalPrompt = inputBoxCheck->isChecked() ? 1 : 0;
    updated.snapshotInterval = intervalFromText(milliseconds->text());
    // The record changes only together with the file, so a failed save leaves both as they were
    // and the user can try again or cancel.
    const QString file = SettingsFile::path();
    if (!SettingsFile::write(file, updated)) {
        boxes_.show(caption(Caption::SettingsNotSaved) + QStringLiteral("\n\n") +
                        QDir::toNativeSeparators(file),
                    QString::fromLatin1(FixedText::ErrorTitle), MessageBoxes::Icon::Critical);
        return;
    }
    Settings::current() = updated;

    tag.clear();
    const QString drive = host_.currentDrive ? host_.currentDrive() : QString();
    const bool coverShown = host_.logoHideVisible ? host_.logoHideVisible() : true;
    if (!drive.isEmpty() && !coverShown) {
        const auto answer =
            boxes_.show(caption(Caption::ReloadQuestion), caption(Caption::WarningTitle),
                        MessageBoxes::Icon::Question, MessageBoxes::Buttons::YesNo);
        if (answer == MessageBoxes::Answer::Yes)
            tag = QStringLiteral("Reload");
    }
    hide();
}

void OptionsDialog::CancelButton_Click() {
    unload();
}

void OptionsDialog::reject() {
    CancelButton_Click();
}

void OptionsDialog::unload() {
    if (unloaded_)
        return;
    unloaded_ = true;
    hide();
    deleteLater();
}

void OptionsDialog::showModal() {
    if (!unloaded_)
        exec();
}

void OptionsDialog::applyCaptions() {
    OKButton->setText(caption(Caption::Ok));
    CancelButton->setText(caption(Caption::Cancel));
    setWindowTitle(caption(Caption::OptionsTitle));
    languageFrame->setTitle(caption(Caption::LanguageFrame));
    languageLabel->setText(caption(Caption::LanguageLabel));
    snapshotsFrame->setTitle(caption(Caption::SnapshotsFrame));
    imageFormatLabel->setText(caption(Caption::ImageFormatLabel));
    snapshotsPathLabel->setText(caption(Caption::SnapshotsPathLabel));
    snapshotsBrowse->setText(caption(Caption::SnapshotsBrowse));
    prefixLabel->setText(caption(Caption::PrefixLabel));
    inputBoxCheck->setText(caption(Caption::InputBoxCheck));
    valueTitle->setText(caption(Caption::ValueTitle));
    millisecondsLabel->setText(caption(Caption::MillisecondsLabel));
}
