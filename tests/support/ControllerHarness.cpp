#include "ControllerHarness.h"

#include "platform/DiskSpace.h"
#include "platform/ProgramFolder.h"
#include "platform/Sleep.h"
#include "settings/Settings.h"

namespace {
QString flag(bool on) {
    return on ? QStringLiteral("1") : QStringLiteral("0");
}
} // namespace

void RecordingView::showLoading() {
    timeText = QStringLiteral("LOADING...");
    log.append(QStringLiteral("loading"));
}

void RecordingView::showTimeText(const QString& text) {
    timeText = text;
    log.append(QStringLiteral("time ") + text);
}

void RecordingView::showProgress(float percent) {
    progress = percent;
    log.append(QStringLiteral("progress %1").arg(percent));
}

void RecordingView::showCover(bool shown) {
    cover = shown;
    log.append(QStringLiteral("cover ") + flag(shown));
}

void RecordingView::EnablePlaybackControls(bool enabled) {
    for (int c = Play; c < ControlCount; ++c)
        controls[c] = enabled;
    log.append(QStringLiteral("controls ") + flag(enabled));
}

void RecordingView::enablePauseAndShuttle(bool enabled) {
    controls[Pause] = controls[Rewind] = controls[FastForward] = enabled;
    log.append(QStringLiteral("pauseAndShuttle ") + flag(enabled));
}

void RecordingView::showMuted(bool on, bool paintNow) {
    muted = on;
    log.append(QStringLiteral("muted ") + flag(on) +
               (paintNow ? QStringLiteral(" now") : QString()));
}

void RecordingView::continuousCaptureChanged(bool running) {
    controls[Single] = controls[Timed] = !running;
    log.append(QStringLiteral("continuous ") + flag(running));
}

void RecordingView::timedCaptureChanged(bool running) {
    controls[Single] = controls[Continuous] = !running;
    log.append(QStringLiteral("timed ") + flag(running));
}

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

void ControllerHarness::tick(int n) {
    for (int i = 0; i < n; ++i)
        session.tick();
}
