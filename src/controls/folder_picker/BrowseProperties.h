#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>

#include <memory>

class FolderBrowse;
class QCheckBox;
class QLabel;
class QLineEdit;

namespace Ui {
class BrowseProperties;
}

// A page that edits the settable properties of a FolderBrowse: the eight dialog options,
// Enabled, Caption and StartDirectory. With several controls selected it works on the first.
class BrowseProperties : public QWidget {
    Q_OBJECT
public:
    explicit BrowseProperties(QWidget* parent = nullptr);
    ~BrowseProperties() override;

    // Loads the page from the first selected control.
    void SelectionChanged(const QList<FolderBrowse*>& selectedControls);
    // Writes every property on the page to the first selected control, edited or not, and clears
    // Changed. A grayed check box counts as unchecked.
    void ApplyChanges();

    // True once the page shows something other than what it showed before: there are edits to
    // apply.
    bool Changed() const { return changed_; }
    void setChanged(bool changed);

    QCheckBox* chkEnabled = nullptr;
    QLabel* lblStartDirectory = nullptr;
    QLineEdit* txtStartDirectory = nullptr;
    QLabel* lblCaption = nullptr;
    QLineEdit* txtCaption = nullptr;
    QCheckBox* chkOnlyFileSystemDirectories = nullptr;
    QCheckBox* chkDontGoBelowDomain = nullptr;
    QCheckBox* chkAllowEditBox = nullptr;
    QCheckBox* chkValidateSelection = nullptr;
    QCheckBox* chkUseNewUI = nullptr;
    QCheckBox* chkBrowseForComputer = nullptr;
    QCheckBox* chkBrowseForPrinter = nullptr;
    QCheckBox* chkIncludeFiles = nullptr;

signals:
    void changedChanged(bool changed);

private:
    std::unique_ptr<Ui::BrowseProperties> ui_;
    QList<QPointer<FolderBrowse>> selected_;
    bool changed_ = false;
};
