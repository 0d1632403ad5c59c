#pragma once

#include <QDialog>

#include <memory>
#include <optional>

class QLabel;
class QPushButton;

namespace Ui {
class AboutForm;
}

// The about box: icon, title, version, description and the maker's web and e-mail links. It
// destroys itself when closed, so every new instance reads its texts anew in Form_Load.
class AboutForm : public QDialog {
    Q_OBJECT
public:
    explicit AboutForm(QWidget* parent = nullptr);
    ~AboutForm() override;

    void Form_Load();
    void Form_Paint();
    void SCLabel1_GotFocus();
    void SCLabel2_GotFocus();
    void cmdOK_Click();
    // The captions the main window's ApplyCaptions gives the about box.
    void applyCaptions();

    QLabel* picIcon = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblDescription = nullptr;
    QLabel* SCLabel1 = nullptr; // the maker's web address
    QLabel* SCLabel2 = nullptr; // the maker's support e-mail address, without "mailto:"
    QPushButton* cmdOK = nullptr;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::unique_ptr<Ui::AboutForm> ui_;
    std::optional<qint64> shownIcon_;
    QLabel* openedOnFocus_ = nullptr;
};
