#include "controls/folder_picker/BrowseProperties.h"

#include "controls/folder_picker/FolderBrowse.h"
#include "ui_BrowseProperties.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

namespace {
Qt::CheckState checkState(bool value) {
    return value ? Qt::Checked : Qt::Unchecked;
}
bool isChecked(const QCheckBox* box) {
    return box->checkState() == Qt::Checked;
}
} // namespace

BrowseProperties::BrowseProperties(QWidget* parent)
    : QWidget(parent), ui_(std::make_unique<Ui::BrowseProperties>()) {
    ui_->setupUi(this);
    chkEnabled = ui_->chkEnabled;
    lblStartDirectory = ui_->lblStartDirectory;
    txtStartDirectory = ui_->txtStartDirectory;
    lblCaption = ui_->lblCaption;
    txtCaption = ui_->txtCaption;
    chkOnlyFileSystemDirectories = ui_->chkOnlyFileSystemDirectories;
    chkDontGoBelowDomain = ui_->chkDontGoBelowDomain;
    chkAllowEditBox = ui_->chkAllowEditBox;
    chkValidateSelection = ui_->chkValidateSelection;
    chkUseNewUI = ui_->chkUseNewUI;
    chkBrowseForComputer = ui_->chkBrowseForComputer;
    chkBrowseForPrinter = ui_->chkBrowseForPrinter;
    chkIncludeFiles = ui_->chkIncludeFiles;

    // Any change of what a box shows, typed or loaded, marks the page as having edits.
    const auto edited = [this] { setChanged(true); };
    for (QCheckBox* box : {chkEnabled, chkOnlyFileSystemDirectories, chkDontGoBelowDomain,
                           chkAllowEditBox, chkValidateSelection, chkUseNewUI, chkBrowseForComputer,
                           chkBrowseForPrinter, chkIncludeFiles})
        connect(box, &QCheckBox::stateChanged, this, edited);
    for (QLineEdit* field : {txtCaption, txtStartDirectory})
        connect(field, &QLineEdit::textChanged, this, edited);
}

BrowseProperties::~BrowseProperties() = default;

void BrowseProperties::setChanged(bool changed) {
    if (changed_ == changed)
        return;
    changed_ = changed;
    emit changedChanged(changed);
}

void BrowseProperties::SelectionChanged(const QList<FolderBrowse*>& selectedControls) {
    selected_.clear();
    for (FolderBrowse* control : selectedControls)
        selected_.append(control);
    if (selected_.isEmpty() || !selected_.first())
        return;
    const FolderBrowse& control = *selected_.first();
    chkIncludeFiles->setCheckState(checkState(control.IncludeFiles()));
    chkBrowseForPrinter->setCheckState(checkState(control.BrowseForPrinter()));
    chkBrowseForComputer->setCheckState(checkState(control.BrowseForComputer()));
    chkUseNewUI->setCheckState(checkState(control.UseNewUI()));
    chkValidateSelection->setCheckState(checkState(control.ValidateSelection()));
    chkAllowEditBox->setCheckState(checkState(control.AllowEditBox()));
    chkDontGoBelowDomain->setCheckState(checkState(control.DontGoBelowDomain()));
    chkOnlyFileSystemDirectories->setCheckState(checkState(control.OnlyFileSystemDirectories()));
    txtCaption->setText(control.Caption());
    txtStartDirectory->setText(control.StartDirectory());
    chkEnabled->setCheckState(checkState(control.Enabled()));
}

void BrowseProperties::ApplyChanges() {
    if (selected_.isEmpty() || !selected_.first())
        return;
    FolderBrowse& control = *selected_.first();
    control.setIncludeFiles(isChecked(chkIncludeFiles));
    control.setBrowseForPrinter(isChecked(chkBrowseForPrinter));
    control.setBrowseForComputer(isChecked(chkBrowseForComputer));
    control.setUseNewUI(isChecked(chkUseNewUI));
    control.setValidateSelection(isChecked(chkValidateSelection));
    control.setAllowEditBox(isChecked(chkAllowEditBox));
    control.setDontGoBelowDomain(isChecked(chkDontGoBelowDomain));
    control.setOnlyFileSystemDirectories(isChecked(chkOnlyFileSystemDirectories));
    control.setCaption(txtCaption->text());
    control.setStartDirectory(txtStartDirectory->text());
    control.setEnabled(isChecked(chkEnabled));
    // The edits are now the control's own.
    setChanged(false);
}
