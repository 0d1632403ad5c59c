#include "ui/TimedSnapshotsDialog.h"

#include "ui/FixedDialog.h"
#include "ui_TimedSnapshotsDialog.h"

#include "capture/CaptureInterval.h"
#include "i18n/LanguageReader.h"
#include "platform/MessageBoxes.h"
#include "settings/Settings.h"

namespace {
// Where the client area sits on the screen, in pixels (2760, 3750 twips at 15 twips per pixel).
constexpr QPoint ClientPosition(184, 250);
} // namespace

TimedSnapshotsDialog::TimedSnapshotsDialog(MessageBoxes& boxes, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TimedSnapshotsDialog>()), boxes_(boxes) {
    ui_->setupUi(this);
    requestLabel = ui_->requestLabel;
    milliseconds = ui_->milliseconds;
    millisecondsLabel = ui_->millisecondsLabel;
    Check1 = ui_->Check1;
    OKButton = ui_->OKButton;
    CancelButton = ui_->CancelButton;

    makeFixedDialog(this, ClientPosition);

    connect(OKButton, &QPushButton::clicked, this, &TimedSnapshotsDialog::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &TimedSnapshotsDialog::CancelButton_Click);

    Form_Load();
}

TimedSnapshotsDialog::~TimedSnapshotsDialog() = default;

void TimedSnapshotsDialog::Form_Load() {
    milliseconds->setText(QString::number(Settings::current().snapshotInterval));
    milliseconds->selectAll();
    // At start-up the dialog is hidden: the first showing then starts on the first tab stop.
    if (isVisible())
        milliseconds->setFocus();
}

void TimedSnapshotsDialog::OKButton_Click() {
    const QString text = milliseconds->text();
    if (!CaptureIntervalValid(text)) {
        boxes_.show(caption(Caption::PromptIntervalInvalid), caption(Caption::ErrorTitle),
                    MessageBoxes::Icon::Critical);
        return;
    }
    tag = text;
    Settings::current().hideIntervalPrompt = Check1->isChecked() ? 1 : 0;
    answered_ = true;
    hide();
}

void TimedSnapshotsDialog::CancelButton_Click() {
    tag = QStringLiteral("1");
    answered_ = true;
    hide();
}

void TimedSnapshotsDialog::reject() {
    CancelButton_Click();
}

QString TimedSnapshotsDialog::showPrompt() {
    answered_ = false;
    exec();
    // Hidden by anything but OK or Cancel (say, by the main window closing): the caller must not
    // take an interval left over from an earlier showing.
    if (!answered_)
        tag = QStringLiteral("1");
    return tag;
}

void TimedSnapshotsDialog::applyCaptions() {
    setWindowTitle(caption(Caption::TimedSnapshotsTitle));
    requestLabel->setText(caption(Caption::RequestLabel));
    Check1->setText(caption(Caption::Check1));
    millisecondsLabel->setText(caption(Caption::MillisecondsLabel));
    OKButton->setText(caption(Caption::Ok));
    CancelButton->setText(caption(Caption::Cancel));
}
