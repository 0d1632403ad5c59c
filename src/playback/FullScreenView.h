#pragma once

#include <QPointer>

class MediaEngine;
class VideoStage;

// The full-screen view of an engine's video: a VideoStage as a window of its own, covering the
// screen. Esc closes it (VideoStage); the window's commands keep working over it because their
// shortcuts are application-wide.
class FullScreenView {
public:
    ~FullScreenView() { close(); }

    bool isShown() const;
    // Throws EngineError without a widget application.
    void show(MediaEngine* engine);
    void close();

private:
    QPointer<VideoStage> stage_;
};
