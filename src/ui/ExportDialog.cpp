#include "ui/ExportDialog.h"

#include "export/ContactSheet.h"
#include "i18n/LanguageReader.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

namespace {
// The bounds the exporter takes.
constexpr int kMaxIntervalSeconds = 600;
constexpr int kMaxColumns = 20;
constexpr int kMaxRows = 30;
constexpr int kMinSheetWidth = 320;
constexpr int kMaxSheetWidth = 7680;

// A title without a chapter table still is one chapter long.
int chapterCount(const TitleSummary& title) {
    return std::max<int>(1, int(title.chapterStarts.size()));
}

qint64 chapterStart(const TitleSummary& title, int chapter) {
    const auto index = std::size_t(chapter - 1);
    return index < title.chapterStarts.size() ? title.chapterStarts[index] : 0;
}

QSpinBox* spinBox(QWidget* parent, const char* name, int minimum, int maximum, int value) {
    auto* box = new QSpinBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setRange(minimum, maximum);
    box->setValue(value);
    return box;
}
} // namespace

ExportDialog::ExportDialog(std::vector<TitleSummary> titles, QWidget* parent)
    : QDialog(parent), titles_(std::move(titles)) {
    // The window tells an empty list instead of showing the dialog; should one come anyway, the
    // lists hold one empty title rather than nothing to read.
    if (titles_.empty())
        titles_.push_back(TitleSummary{1, 0, {0}, {}, 25});
    setObjectName(QStringLiteral("ExportDialog"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    titleList = new QComboBox(this);
    titleList->setObjectName(QStringLiteral("titleList"));
    firstChapter = new QComboBox(this);
    firstChapter->setObjectName(QStringLiteral("firstChapter"));
    lastChapter = new QComboBox(this);
    lastChapter->setObjectName(QStringLiteral("lastChapter"));
    titleLabel_ = new QLabel(this);
    titleLabel_->setBuddy(titleList);
    chaptersLabel_ = new QLabel(this);
    chaptersLabel_->setBuddy(firstChapter);
    toLabel_ = new QLabel(this);

    imagesFrame_ = new QGroupBox(this);
    everyInterval = new QRadioButton(imagesFrame_);
    everyInterval->setObjectName(QStringLiteral("everyInterval"));
    intervalSeconds = spinBox(imagesFrame_, "intervalSeconds", 1, kMaxIntervalSeconds,
                              ExportRequest().intervalSeconds);
    secondsLabel_ = new QLabel(imagesFrame_);
    everyFrame = new QRadioButton(imagesFrame_);
    everyFrame->setObjectName(QStringLiteral("everyFrame"));
    perShot = new QRadioButton(imagesFrame_);
    perShot->setObjectName(QStringLiteral("perShot"));
    sheetOnly = new QRadioButton(imagesFrame_);
    sheetOnly->setObjectName(QStringLiteral("sheetOnly"));
    auto* modes = new QButtonGroup(this);
    for (QRadioButton* mode : {everyInterval, everyFrame, perShot, sheetOnly})
        modes->addButton(mode);
    everyInterval->setChecked(true);

    const SheetLayout sheet;
    sheetCheck = new QCheckBox(this);
    sheetCheck->setObjectName(QStringLiteral("sheetCheck"));
    sheetColumns = spinBox(this, "sheetColumns", 1, kMaxColumns, sheet.columns);
    sheetRows = spinBox(this, "sheetRows", 1, kMaxRows, sheet.rows);
    sheetWidth = spinBox(this, "sheetWidth", kMinSheetWidth, kMaxSheetWidth, sheet.width);
    sheetWidth->setSingleStep(10);
    columnsLabel_ = new QLabel(this);
    columnsLabel_->setBuddy(sheetColumns);
    rowsLabel_ = new QLabel(this);
    rowsLabel_->setBuddy(sheetRows);
    widthLabel_ = new QLabel(this);
    widthLabel_->setBuddy(sheetWidth);

    auto* buttons = new QDialogButtonBox(this);
    OKButton = buttons->addButton(QString(), QDialogButtonBox::AcceptRole);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    CancelButton = buttons->addButton(QString(), QDialogButtonBox::RejectRole);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    // As wide as the other dialogs' buttons, whatever the language's word.
    for (QPushButton* button : {OKButton, CancelButton})
        button->setMinimumSize(88, 24);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* range = new QHBoxLayout;
    range->addWidget(firstChapter, 1);
    range->addWidget(toLabel_);
    range->addWidget(lastChapter, 1);
    auto* choice = new QFormLayout;
    choice->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    choice->addRow(titleLabel_, titleList);
    choice->addRow(chaptersLabel_, range);

    auto* interval = new QHBoxLayout;
    interval->addWidget(everyInterval);
    interval->addWidget(intervalSeconds);
    interval->addWidget(secondsLabel_);
    interval->addStretch(1);
    auto* images = new QVBoxLayout(imagesFrame_);
    images->addLayout(interval);
    images->addWidget(everyFrame);
    images->addWidget(perShot);
    images->addWidget(sheetOnly);

    auto* sheetGrid = new QGridLayout;
    // Under the check box's text, so the numbers read as belonging to it.
    sheetGrid->setContentsMargins(sheetCheck->sizeHint().height() + 4, 0, 0, 0);
    sheetGrid->addWidget(columnsLabel_, 0, 0);
    sheetGrid->addWidget(sheetColumns, 0, 1);
    sheetGrid->addWidget(rowsLabel_, 0, 2);
    sheetGrid->addWidget(sheetRows, 0, 3);
    sheetGrid->addWidget(widthLabel_, 1, 0, 1, 3, Qt::AlignRight);
    sheetGrid->addWidget(sheetWidth, 1, 3);
    sheetGrid->setColumnStretch(4, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(choice);
    layout->addWidget(imagesFrame_);
    layout->addWidget(sheetCheck);
    layout->addLayout(sheetGrid);
    layout->addSpacing(6);
    layout->addWidget(buttons);

    // The longest title is usually the feature, the one wanted.
    const auto longest =
        std::max_element(titles_.begin(), titles_.end(),
                         [](const auto& a, const auto& b) { return a.lengthMs < b.lengthMs; });
    for (const TitleSummary& title : titles_)
        titleList->addItem(QString(), title.number);
    titleList->setCurrentIndex(int(longest - titles_.begin()));
    fillChapters();
    applyCaptions();
    updateEnabled();

    connect(titleList, &QComboBox::currentIndexChanged, this, &ExportDialog::fillChapters);
    connect(firstChapter, &QComboBox::currentIndexChanged, this, &ExportDialog::fillLastChapters);
    connect(modes, &QButtonGroup::buttonToggled, this, [this](QAbstractButton*, bool on) {
        if (!on)
            return;
        // "A contact sheet only" holds the check box on; leaving it gives back the user's choice.
        if (sheetOnly->isChecked() && sheetCheck->isEnabled()) {
            sheetWanted_ = sheetCheck->isChecked();
            sheetCheck->setChecked(true);
        } else if (!sheetOnly->isChecked() && !sheetCheck->isEnabled()) {
            sheetCheck->setChecked(sheetWanted_);
        }
        updateEnabled();
    });
    connect(sheetCheck, &QCheckBox::toggled, this, &ExportDialog::updateEnabled);
    titleList->setFocus();
}

ExportDialog::~ExportDialog() = default;

const TitleSummary& ExportDialog::chosenTitle() const {
    const auto index = std::size_t(std::max(0, titleList->currentIndex()));
    return titles_[std::min(index, titles_.size() - 1)];
}

void ExportDialog::fillChapters() {
    const int count = chapterCount(chosenTitle());
    {
        const QSignalBlocker quiet(firstChapter);
        firstChapter->clear();
        for (int chapter = 1; chapter <= count; ++chapter)
            firstChapter->addItem(QString(), chapter);
        firstChapter->setCurrentIndex(0);
    }
    chapterTexts(firstChapter);
    lastChapter->clear();
    fillLastChapters();
    lastChapter->setCurrentIndex(lastChapter->count() - 1);
    updateEnabled();
}

void ExportDialog::fillLastChapters() {
    const int count = chapterCount(chosenTitle());
    const int first = std::max(1, firstChapter->currentData().toInt());
    const int kept = lastChapter->count() > 0 ? lastChapter->currentData().toInt() : count;
    lastChapter->clear();
    for (int chapter = first; chapter <= count; ++chapter)
        lastChapter->addItem(QString(), chapter);
    lastChapter->setCurrentIndex(std::max(0, kept - first));
    chapterTexts(lastChapter);
}

// "Chapter 3 (0:12:40)": where it starts in the title.
void ExportDialog::chapterTexts(QComboBox* list) const {
    const TitleSummary& title = chosenTitle();
    for (int i = 0; i < list->count(); ++i) {
        const int chapter = list->itemData(i).toInt();
        list->setItemText(i, caption(Caption::ChapterEntryName).arg(chapter) +
                                 QStringLiteral(" (") +
                                 ContactSheet::timeCode(chapterStart(title, chapter)) + u')');
    }
}

void ExportDialog::updateEnabled() {
    const bool oneChapter = chapterCount(chosenTitle()) < 2;
    firstChapter->setEnabled(!oneChapter);
    lastChapter->setEnabled(!oneChapter);
    intervalSeconds->setEnabled(everyInterval->isChecked());
    sheetCheck->setEnabled(!sheetOnly->isChecked());
    const bool sheet = sheetOnly->isChecked() || sheetCheck->isChecked();
    for (QWidget* w : QList<QWidget*>{sheetColumns, sheetRows, sheetWidth, columnsLabel_,
                                      rowsLabel_, widthLabel_})
        w->setEnabled(sheet);
}

ExportRequest ExportDialog::request() const {
    ExportRequest request;
    const TitleSummary& title = chosenTitle();
    request.title = title.number;
    request.firstChapter = std::max(1, firstChapter->currentData().toInt());
    const int last = lastChapter->currentData().toInt();
    request.lastChapter = last >= chapterCount(title) ? 0 : std::max(last, request.firstChapter);
    request.mode = everyFrame->isChecked()  ? ExportMode::EveryFrame
                   : perShot->isChecked()   ? ExportMode::PerShot
                   : sheetOnly->isChecked() ? ExportMode::SheetOnly
                                            : ExportMode::EveryInterval;
    request.intervalSeconds = intervalSeconds->value();
    request.sheet = request.mode == ExportMode::SheetOnly || sheetCheck->isChecked();
    request.sheetLayout = {sheetColumns->value(), sheetRows->value(), sheetWidth->value()};
    return request;
}

void ExportDialog::preset(const ExportRequest& earlier) {
    intervalSeconds->setValue(earlier.intervalSeconds);
    sheetColumns->setValue(earlier.sheetLayout.columns);
    sheetRows->setValue(earlier.sheetLayout.rows);
    sheetWidth->setValue(earlier.sheetLayout.width);
    // The check box while it is free: choosing "a contact sheet only" then keeps it as the user's
    // own choice for when another mode is picked.
    everyInterval->setChecked(true);
    sheetCheck->setChecked(earlier.sheet && earlier.mode != ExportMode::SheetOnly);
    switch (earlier.mode) {
    case ExportMode::EveryInterval:
        break;
    case ExportMode::EveryFrame:
        everyFrame->setChecked(true);
        break;
    case ExportMode::PerShot:
        perShot->setChecked(true);
        break;
    case ExportMode::SheetOnly:
        sheetOnly->setChecked(true);
        break;
    }
    updateEnabled();
}

void ExportDialog::applyCaptions() {
    setWindowTitle(caption(Caption::ExportDialogTitle));
    titleLabel_->setText(caption(Caption::ExportTitleLabel));
    chaptersLabel_->setText(caption(Caption::ExportChaptersLabel));
    toLabel_->setText(caption(Caption::ExportChaptersTo));
    imagesFrame_->setTitle(caption(Caption::ExportImagesFrame));
    everyInterval->setText(caption(Caption::ExportEveryInterval));
    secondsLabel_->setText(caption(Caption::ExportSeconds));
    intervalSeconds->setAccessibleName(caption(Caption::ExportSeconds));
    everyFrame->setText(caption(Caption::ExportEveryFrame));
    perShot->setText(caption(Caption::ExportPerShot));
    sheetOnly->setText(caption(Caption::ExportSheetOnly));
    sheetCheck->setText(caption(Caption::ExportAddSheet));
    columnsLabel_->setText(caption(Caption::ExportSheetColumns));
    rowsLabel_->setText(caption(Caption::ExportSheetRows));
    widthLabel_->setText(caption(Caption::ExportSheetWidth));
    OKButton->setText(caption(Caption::Ok));
    CancelButton->setText(caption(Caption::Cancel));
    // "Title 2 (0:44:12)": the disc's number and the running time.
    for (int i = 0; i < titleList->count(); ++i)
        titleList->setItemText(
            i, caption(Caption::TitleEntryName).arg(titles_[std::size_t(i)].number) +
                   QStringLiteral(" (") + ContactSheet::timeCode(titles_[std::size_t(i)].lengthMs) +
                   u')');
    chapterTexts(firstChapter);
    chapterTexts(lastChapter);
}
