#pragma once

#include <QDialog>

class QTextBrowser;

// A small window of the program's own that shows a help page, for a desktop that has no program
// to open it. It is not modal and destroys itself when closed.
class HelpWindow : public QDialog {
    Q_OBJECT
public:
    HelpWindow(const QString& pagePath, QWidget* parent = nullptr);

    QTextBrowser* browser() const { return browser_; }

    // Whether the page is one the window can show (HTML, not a compiled help file).
    static bool canShow(const QString& pagePath);

private:
    QTextBrowser* browser_ = nullptr;
};
