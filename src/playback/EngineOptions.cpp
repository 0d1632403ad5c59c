#include "playback/EngineOptions.h"

#include <QDir>

namespace {

bool unsafeInName(QChar c) {
    if (c.category() == QChar::Other_Control || c == u'/' || c == u'\\')
        return true;
#ifdef Q_OS_WIN
    return QStringView(u":*?\"<>|").contains(c);
#else
    return false;
#endif
}

} // namespace

QString safeLabelComponent(const QString& label) {
    QString name = label.trimmed();
    for (QChar& c : name) {
        if (unsafeInName(c))
            c = u'_';
    }
    for (qsizetype i = 0; i < name.size() && name[i] == u'.'; ++i)
        name[i] = u'_';
    for (qsizetype i = name.size() - 1; i >= 0 && name[i] == u'.'; --i)
        name[i] = u'_';
    return name;
}

QString snapshotFolder(const Settings& settings, const QString& discLabel) {
    return settings.snapshotsPath + QDir::separator() + safeLabelComponent(discLabel) +
           QStringLiteral(" Images");
}

QString snapshotPathOption(const Settings& settings, const QString& discLabel) {
    return QStringLiteral("snapshot-path=") + snapshotFolder(settings, discLabel);
}

QStringList buildEngineOptions(const Settings& settings, const QString& discLabel) {
    const QString format =
        settings.imageFormat == 0 ? QStringLiteral("PNG") : QStringLiteral("JPG");
    return {QStringLiteral("snapshot-prefix=") + settings.snapshotPrefix,
            snapshotPathOption(settings, discLabel), QStringLiteral("snapshot-format=") + format,
            QStringLiteral("snapshot-sequential"), QStringLiteral("no-snapshot-preview")};
}
