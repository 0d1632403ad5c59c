#pragma once

#include "engine/FullScreenSurface.h"

#include <QList>
#include <QObject>
#include <QPointer>

class MediaEngine;
class QAction;
class VideoStage;

// The full-screen view of an engine's video: a VideoStage as a window of its own, covering the
// screen. Esc or a double-click closes it (VideoStage); the window's commands keep working over
// it, those with application-wide shortcuts and the actions handed to setWindowActions(), and
// the wheel over it is passed on as over the window's video area.
class FullScreenView : public QObject, public FullScreenSurface {
    Q_OBJECT
public:
    explicit FullScreenView(MediaEngine& engine) : engine_(engine) {}
    ~FullScreenView() override { close(); }

    bool isShown() const override;
    // Throws EngineError without a widget application.
    void show() override;
    void close() override;

    // Actions whose shortcuts (for the window only) also work while the view is shown.
    void setWindowActions(const QList<QAction*>& actions);
    // The window's own stage, covered while the view is shown.
    void setWindowStage(VideoStage* stage);

signals:
    void wheelTurned(int angle);

private:
    MediaEngine& engine_;
    QPointer<VideoStage> stage_;
    const QObject* shown_ = nullptr; // the stage shown last, until it closes; identity only
    QPointer<VideoStage> windowStage_;
    QList<QPointer<QAction>> actions_;
};
