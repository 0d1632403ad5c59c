#include "ui/ExportProgressWindow.h"

#include "i18n/LanguageReader.h"
#include "ui/DurationText.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {
// Steps of the bar: a tenth of a percent, so long exports still move it.
constexpr int kBarSteps = 1000;

QString percentText(int percent) {
    return QString::number(percent) + u'%';
}
} // namespace

ExportProgressWindow::ExportProgressWindow(int title, QWidget* parent)
    : QDialog(parent), title_(title) {
    setObjectName(QStringLiteral("ExportProgressWindow"));
    setModal(false);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    shareBar = new QProgressBar(this);
    shareBar->setObjectName(QStringLiteral("shareBar"));
    shareBar->setRange(0, kBarSteps);
    shareBar->setValue(0);
    shareBar->setMinimumWidth(320);
    // The skin draws bars slim and without text: the share is told beside it.
    shareBar->setTextVisible(false);
    sharePercent = new QLabel(percentText(0), this);
    sharePercent->setObjectName(QStringLiteral("sharePercent"));
    sharePercent->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    sharePercent->setMinimumWidth(sharePercent->fontMetrics().horizontalAdvance(percentText(100)));
    imagesLabel_ = new QLabel(this);
    imagesWritten = new QLabel(QStringLiteral("0"), this);
    imagesWritten->setObjectName(QStringLiteral("imagesWritten"));
    timeLeftLabel_ = new QLabel(this);
    timeLeft = new QLabel(timeLeftText(-1), this);
    timeLeft->setObjectName(QStringLiteral("timeLeft"));
    stateLabel = new QLabel(this);
    stateLabel->setObjectName(QStringLiteral("stateLabel"));
    CancelButton = new QPushButton(this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setMinimumSize(88, 24);
    connect(CancelButton, &QPushButton::clicked, this, &ExportProgressWindow::reject);

    auto* figures = new QFormLayout;
    figures->addRow(imagesLabel_, imagesWritten);
    figures->addRow(timeLeftLabel_, timeLeft);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(stateLabel, 1);
    buttons->addWidget(CancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    auto* bar = new QHBoxLayout;
    bar->addWidget(shareBar, 1);
    bar->addWidget(sharePercent);
    layout->addLayout(bar);
    layout->addLayout(figures);
    layout->addSpacing(6);
    layout->addLayout(buttons);
    applyCaptions();
}

ExportProgressWindow::~ExportProgressWindow() = default;

void ExportProgressWindow::showProgress(const ExportProgress& progress) {
    const double share = std::isfinite(progress.share) ? std::clamp(progress.share, 0.0, 1.0) : 0.0;
    shareBar->setValue(int(std::lround(share * kBarSteps)));
    // Whole percent, rounded down: "100%" only once all is done.
    sharePercent->setText(percentText(int(std::floor(share * 100))));
    imagesWritten->setText(QString::number(progress.images));
    timeLeft->setText(timeLeftText(progress.msLeft));
}

void ExportProgressWindow::finish() {
    finished_ = true;
    done(QDialog::Accepted);
}

void ExportProgressWindow::reject() {
    if (finished_) {
        QDialog::reject();
        return;
    }
    if (stopping_)
        return;
    stopping_ = true;
    CancelButton->setEnabled(false);
    stateLabel->setText(caption(Caption::ExportStopping));
    emit cancelRequested();
}

void ExportProgressWindow::applyCaptions() {
    setWindowTitle(caption(Caption::ExportProgressTitle).arg(title_));
    imagesLabel_->setText(caption(Caption::ExportImagesWritten));
    timeLeftLabel_->setText(caption(Caption::ExportTimeLeft));
    CancelButton->setText(caption(Caption::Cancel));
    if (stopping_)
        stateLabel->setText(caption(Caption::ExportStopping));
}
