#pragma once

#include "export/ExportRequest.h"

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

// How far a running export is: the share done, the images written and the time left, with a
// button to stop it. Not modal: the player goes on beside it. Cancel, Esc and the close control
// all ask for the export to stop; the window stays, saying so, until the owner closes it with
// finish() once the export has ended.
class ExportProgressWindow : public QDialog {
    Q_OBJECT
public:
    explicit ExportProgressWindow(int title, QWidget* parent = nullptr);
    ~ExportProgressWindow() override;

    void showProgress(const ExportProgress& progress);
    // The export has ended: the window closes without asking anything more.
    void finish();
    // The user asked the export to stop.
    bool stopping() const { return stopping_; }
    void applyCaptions();

    QProgressBar* shareBar = nullptr;
    QLabel* sharePercent = nullptr;
    QLabel* imagesWritten = nullptr;
    QLabel* timeLeft = nullptr;
    QLabel* stateLabel = nullptr;
    QPushButton* CancelButton = nullptr;

signals:
    void cancelRequested();

protected:
    void reject() override;

private:
    int title_;
    bool stopping_ = false;
    bool finished_ = false;
    QLabel* imagesLabel_ = nullptr;
    QLabel* timeLeftLabel_ = nullptr;
};
