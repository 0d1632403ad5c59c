#include "ui/HelpWindow.h"

#include "i18n/LanguageReader.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

HelpWindow::HelpWindow(const QString& pagePath, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("helpWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setWindowTitle(caption(Caption::HowToUseMenu).remove(QLatin1Char('&')) + QStringLiteral(" - ") +
                   QString::fromLatin1(FixedText::AppTitle));

    browser_ = new QTextBrowser(this);
    // Links to the web or to mail go to the desktop; the page's own links stay in the window.
    browser_->setOpenExternalLinks(true);
    browser_->setSource(QUrl::fromLocalFile(QFileInfo(pagePath).absoluteFilePath()));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(browser_);
    layout->addWidget(buttons);
    resize(560, 480);
}

bool HelpWindow::canShow(const QString& pagePath) {
    const QFileInfo page(pagePath);
    const QString suffix = page.suffix().toLower();
    return page.isFile() && page.isReadable() &&
           (suffix == QLatin1String("html") || suffix == QLatin1String("htm"));
}
