#include "player/EngineOptions.h"

#include "capture/SnapshotFolder.h"

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
