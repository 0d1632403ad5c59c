#pragma once

#include "export/ExportRequest.h"

#include <QDialog>

#include <vector>

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;

// Asks what to export of a disc: the title (the longest one first), a range of its chapters (the
// whole title unless narrowed), what images to write and whether to add a contact sheet. The
// controls never allow a choice the exporter would refuse: the range ends at or after its start,
// the numbers stay within their bounds, and "a contact sheet only" always includes the sheet.
class ExportDialog : public QDialog {
    Q_OBJECT
public:
    // titles: the disc's titles as listed; at least one.
    explicit ExportDialog(std::vector<TitleSummary> titles, QWidget* parent = nullptr);
    ~ExportDialog() override;

    // The choices as a request: title, chapters, mode, interval and sheet. Medium, label, folder,
    // prefix and format are the caller's.
    ExportRequest request() const;
    // Starts from an earlier request's mode, interval and sheet (the title and chapters stay as
    // listed).
    void preset(const ExportRequest& earlier);
    // The texts in the chosen language; the lists keep what is selected.
    void applyCaptions();

    QComboBox* titleList = nullptr;
    QComboBox* firstChapter = nullptr;
    QComboBox* lastChapter = nullptr;
    QRadioButton* everyInterval = nullptr;
    QSpinBox* intervalSeconds = nullptr;
    QRadioButton* everyFrame = nullptr;
    QRadioButton* perShot = nullptr;
    QRadioButton* sheetOnly = nullptr;
    QCheckBox* sheetCheck = nullptr;
    QSpinBox* sheetColumns = nullptr;
    QSpinBox* sheetRows = nullptr;
    QSpinBox* sheetWidth = nullptr;
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;

private:
    const TitleSummary& chosenTitle() const;
    // The chapter lists of the chosen title; the range starts over as the whole title.
    void fillChapters();
    // The end list holds the chapters from the chosen start on; its choice is kept when it still
    // lies in the range, otherwise it becomes the start.
    void fillLastChapters();
    void chapterTexts(QComboBox* list) const;
    void updateEnabled();

    std::vector<TitleSummary> titles_;
    // What the check box said before "a contact sheet only" checked and locked it.
    bool sheetWanted_ = false;
    QLabel* titleLabel_ = nullptr;
    QLabel* chaptersLabel_ = nullptr;
    QLabel* toLabel_ = nullptr;
    QGroupBox* imagesFrame_ = nullptr;
    QLabel* secondsLabel_ = nullptr;
    QLabel* columnsLabel_ = nullptr;
    QLabel* rowsLabel_ = nullptr;
    QLabel* widthLabel_ = nullptr;
};
