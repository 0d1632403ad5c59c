#include "i18n/QtTranslations.h"

#include "i18n/LanguageReader.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QTranslator>

QString packLocale() {
    return SetCaptionfromINI(QStringLiteral("Locale"), QString()).trimmed();
}

bool applyQtTranslations() {
    static QPointer<QTranslator> installed;
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return false;
    if (installed) {
        QCoreApplication::removeTranslator(installed);
        delete installed.data();
    }
    const QString locale = packLocale();
    if (locale.isEmpty())
        return false;
    auto* translator = new QTranslator(app);
    // "qt_<locale>.qm" gathers Qt's modules (qtbase, …) for the locale, trying "pt_BR" then "pt".
    if (!translator->load(QLocale(locale), QStringLiteral("qt"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    installed = translator;
    return true;
}
