#pragma once

#include "platform/DriveSource.h"

#include <QMap>

// Drives described by the test: a name, and optionally a disc (label and the path the engine
// opens, usually the authored DVD image).
class FakeDriveSource : public DriveSource {
public:
    struct Drive {
        bool hasDisc = false;
        QString label;
        QString mediaPath;
    };

    void addDrive(const QString& name) { drives_[name] = Drive{}; }
    void insertDisc(const QString& name, const QString& label, const QString& mediaPath = {}) {
        drives_[name] = Drive{true, label, mediaPath};
    }
    void ejectDisc(const QString& name) { drives_[name] = Drive{}; }
    void removeDrive(const QString& name) { drives_.remove(name); }

    QStringList cdDrives() override { return drives_.keys(); }
    bool volumeLabel(const QString& drive, QString* label) override {
        auto it = drives_.constFind(drive);
        if (it == drives_.constEnd() || !it->hasDisc)
            return false;
        *label = it->label;
        return true;
    }
    QString mediaPath(const QString& drive) override { return drives_.value(drive).mediaPath; }

private:
    QMap<QString, Drive> drives_;
};
