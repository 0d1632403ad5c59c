#include "capture/SnapshotFolder.h"

#include "settings/Settings.h"

#include <QDir>
#include <QFileInfo>

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

// A prefix must not lead the file out of its folder.
QString safePrefix(QString prefix) {
    prefix.replace(QLatin1Char('/'), QLatin1Char('_'));
#ifdef Q_OS_WIN
    prefix.replace(QLatin1Char('\\'), QLatin1Char('_'));
    prefix.replace(QLatin1Char(':'), QLatin1Char('_'));
#endif
    prefix.remove(QChar(0));
    return prefix;
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

QString prepareSnapshotFolder(const QString& folder) {
    if (folder.isEmpty())
        return QStringLiteral("No snapshot folder was given.");
    // mkdir may lose a race with another creator: what counts is a folder being there after.
    if (QFileInfo(folder).isDir() || QDir().mkdir(folder) || QFileInfo(folder).isDir())
        return QString();
    return QFileInfo(folder).exists()
               ? QStringLiteral("It is not a folder.")
               : QStringLiteral("The folder does not exist and cannot be created.");
}

QString snapshotFileName(const QString& prefix, int number, SnapshotFormat format) {
    return safePrefix(prefix) + QStringLiteral("%1").arg(number, 5, 10, QLatin1Char('0')) +
           (format == SnapshotFormat::Jpg ? QStringLiteral(".jpg") : QStringLiteral(".png"));
}
