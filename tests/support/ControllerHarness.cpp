#include "ControllerHarness.h"

#include "platform/DiskSpace.h"
#include "platform/ProgramFolder.h"
#include "platform/Sleep.h"
#include "settings/Settings.h"

ControllerHarness::ControllerHarness()
    : capture(
          engine, boxes, view,
          [this](const QString& path, qint64* bytes) {
              freeSpaceQueries.append(path);
              if (realFreeSpace)
                  return platform::freeBytesAvailable(path, bytes);
              if (freeSpaceQueryFails)
                  return false;
              *bytes = freeBytes;
              return true;
          },
          [this] {
              ++intervalPrompts;
              return intervalAnswers.isEmpty() ? QStringLiteral("1") : intervalAnswers.takeFirst();
          }),
      session(engine, drives, boxes, capture, view) {
    platform::setProgramFolder(programDir.path());
    platform::setSleepHook([this](int ms) { sleeps.append(ms); });
    Settings& settings = Settings::current();
    settings = Settings::defaults();
    settings.snapshotsPath = programDir.path() + QLatin1Char('/');
    settings.snapshotPrefix = QStringLiteral("IMG_");
    settings.snapshotInterval = 5000;
    session.enableControls(false);
    session.BuildEngineOptions();
    view.log.clear();
}

ControllerHarness::~ControllerHarness() {
    platform::setSleepHook({});
    platform::setProgramFolder(QString());
}

void ControllerHarness::openMovie() {
    drives.insertDisc(QStringLiteral("D:"), QStringLiteral("MOVIE"));
    session.listDrives();
    session.openDrive(0);
    engine.loadTitle();
    tick();
}

void ControllerHarness::startBothCaptures() {
    Settings::current().hideIntervalPrompt = 1;
    capture.toggleContinuous();
    capture.toggleTimed();
}

void ControllerHarness::tick(int n) {
    for (int i = 0; i < n; ++i)
        session.tick();
}
