#pragma once

#include <QDialog>
#include <QString>

#include <memory>

class MessageBoxes;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace Ui {
class TimedSnapshotsDialog;
}

// Asks for the interval of timed capture. Created once at start-up and kept: every showing finds
// the field, the check box and the result as the previous one left them.
class TimedSnapshotsDialog : public QDialog {
    Q_OBJECT
public:
    explicit TimedSnapshotsDialog(MessageBoxes& boxes, QWidget* parent = nullptr);
    ~TimedSnapshotsDialog() override;

    // The result: "1" when cancelled, otherwise the accepted interval text exactly as typed.
    QString tag;

    void Form_Load();
    void OKButton_Click();
    void CancelButton_Click();
    // The prompt's static captions from the chosen language pack (the main window's
    // ApplyCaptions).
    void applyCaptions();

    // Shows the dialog modally and returns the result once it has closed.
    QString showPrompt();

    QLabel* requestLabel = nullptr;
    QLineEdit* milliseconds = nullptr;
    QLabel* millisecondsLabel = nullptr;
    QCheckBox* Check1 = nullptr;
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;

    // Esc and the window's close control both answer like the Cancel button.
    void reject() override;

private:
    std::unique_ptr<Ui::TimedSnapshotsDialog> ui_;
    MessageBoxes& boxes_;
    bool answered_ = false;
};
