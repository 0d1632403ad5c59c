#pragma once

#include <QDialog>
#include <QString>

#include <functional>
#include <memory>

class FolderBrowse;
class MessageBoxes;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace Ui {
class OptionsDialog;
}

// What the options dialog reads of the main window.
struct OptionsDialogHost {
    // Drive name of the disc last opened; empty until one is opened.
    std::function<QString()> currentDrive;
    // Whether the cover panel is shown over the video (it is hidden while a title plays or is
    // paused).
    std::function<bool()> logoHideVisible;
};

// Edits and saves the six persistent settings. The controls are filled from the settings when
// the dialog is created, never again: OK hides it and keeps it as it is; Cancel unloads it, so
// the next access creates a new one from the settings as they are then.
class OptionsDialog : public QDialog {
    Q_OBJECT
public:
    OptionsDialog(MessageBoxes& boxes, OptionsDialogHost host, QWidget* parent = nullptr);
    ~OptionsDialog() override;

    // The result, read after the dialog has closed: "Reload" when the user asked at this
    // confirmation to reload the video, otherwise empty.
    QString tag;

    void Form_Load();
    void FillLanguageList();
    void inputBoxCheck_Click();
    void snapshotsBrowse_Click();
    void OKButton_Click();
    void CancelButton_Click();
    // The dialog's static captions from the chosen language pack (the main window's
    // ApplyCaptions).
    void applyCaptions();

    // Shows the dialog modally and returns once it has been hidden or unloaded.
    void showModal();

    // Hides the dialog and destroys it once control is back in the event loop. From then on the
    // owner must create a new one for the next access.
    void unload();
    bool isUnloaded() const { return unloaded_; }

    // The pack files of the "Lang" folder beside the program, in the order the list shows them.
    static QStringList languagePackFiles();

    QGroupBox* languageFrame = nullptr;
    QLabel* languageLabel = nullptr;
    QComboBox* availableLanguages = nullptr;
    QGroupBox* snapshotsFrame = nullptr;
    QLabel* imageFormatLabel = nullptr;
    QComboBox* imageFormats = nullptr;
    QLabel* snapshotsPathLabel = nullptr;
    QLineEdit* snapshotPath = nullptr;
    QPushButton* snapshotsBrowse = nullptr;
    QLabel* prefixLabel = nullptr;
    QLineEdit* snapshotPrefix = nullptr;
    QCheckBox* inputBoxCheck = nullptr;
    QLabel* valueTitle = nullptr;
    QLineEdit* milliseconds = nullptr;
    QLabel* millisecondsLabel = nullptr;
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;
    FolderBrowse* FolderBrowse1 = nullptr;

    // Esc and the window's close control both answer like the Cancel button.
    void reject() override;

private:
    std::unique_ptr<Ui::OptionsDialog> ui_;
    MessageBoxes& boxes_;
    OptionsDialogHost host_;
    bool unloaded_ = false;
};
