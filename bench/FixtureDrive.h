#pragma once

#include "platform/DriveSource.h"

#include <QCoreApplication>
#include <QDir>
#include <QString>

// Drive D: holding the authored disc (label MOVIE).
class FixtureDrive : public DriveSource {
public:
    explicit FixtureDrive(QString iso) : iso_(std::move(iso)) {}
    QStringList cdDrives() override { return {QStringLiteral("D:")}; }
    bool volumeLabel(const QString&, QString* label) override {
        *label = QStringLiteral("MOVIE");
        return true;
    }
    QString mediaPath(const QString& drive) override {
        return drive == QLatin1String("D:") ? iso_ : QString();
    }

private:
    QString iso_;
};

// The folder of the authored discs: STILLBECK_FIXTURE_DIR, else build/fixtures.
inline QString fixtureDir() {
    QString dir = qEnvironmentVariable("STILLBECK_FIXTURE_DIR");
    if (dir.isEmpty())
        dir = QDir(QCoreApplication::applicationDirPath()).filePath("../fixtures");
    return QDir(dir).absolutePath();
}
