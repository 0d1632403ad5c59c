// The Help menu: the help file of the chosen language, the update checker and the about box.
#include "app/MainForm.h"

#include "i18n/LanguageReader.h"
#include "platform/Launcher.h"
#include "platform/MessageBoxes.h"
#include "platform/ProgramFolder.h"
#include "settings/Settings.h"
#include "ui/AboutForm.h"
#include "ui/HelpWindow.h"

#include <QFileInfo>

namespace {
#ifdef Q_OS_WIN
constexpr const char* kHelpExtension = ".chm";
constexpr const char* kUpdateChecker = "Update.exe";
#else
constexpr const char* kHelpExtension = ".html";
constexpr const char* kUpdateChecker = "Update";
#endif
// The pack's extension, ".ini", that the help file's name drops.
constexpr qsizetype kPackExtensionLength = 4;
} // namespace

AboutForm* MainForm::aboutForm() {
    if (!aboutForm_)
        aboutForm_ = new AboutForm(this);
    return aboutForm_;
}

void MainForm::unloadAboutForm() {
    // Destroyed at once, not later: the next aboutForm() must find it gone.
    delete aboutForm_.data();
}

void MainForm::aboutMenu_Click() {
    AboutForm* about = aboutForm();
    about->setWindowIcon(windowIcon());
    about->exec();
}

void MainForm::howToUseMenu_Click() {
    const QString& pack = Settings::current().languageFile;
    if (pack.size() >= kPackExtensionLength) {
        const QString page = platform::programFile(pack.chopped(kPackExtensionLength) +
                                                   QString::fromLatin1(kHelpExtension));
        if (platform::openDocument(page))
            return;
        // The page is there but the desktop has nothing to open it with: show it ourselves.
        if (HelpWindow::canShow(page)) {
            delete helpWindow_.data();
            helpWindow_ = new HelpWindow(page, this);
            helpWindow_->show();
            helpWindow_->raise();
            helpWindow_->activateWindow();
            return;
        }
    }
    boxes.show(caption(Caption::HelpMissing), caption(Caption::ErrorTitle),
               MessageBoxes::Icon::Critical);
}

void MainForm::checkUpdates_Click() {
    const QString checker = platform::programFile(QString::fromLatin1(kUpdateChecker));
#ifndef Q_OS_WIN
    // An installed copy has no checker of its own: updates come through the package manager,
    // whose software centre opens at our entry where the desktop has one.
    if (!QFileInfo(checker).isFile()) {
        if (platform::canOpenScheme(QStringLiteral("appstream")) &&
            platform::openDocument(QStringLiteral("appstream:") +
                                   QString::fromLatin1(STILLBECK_APP_ID)))
            return;
        boxes.show(caption(Caption::UpdatesFromPackages), QString::fromLatin1(FixedText::AppTitle),
                   MessageBoxes::Icon::Information);
        return;
    }
#endif
    if (!platform::startProgram(checker))
        boxes.show(caption(Caption::UpdaterFailed), caption(Caption::ErrorTitle),
                   MessageBoxes::Icon::Critical);
}
