#pragma once

#include "engine/FullScreenSurface.h"

#include <QPointer>

class MediaEngine;
class VideoStage;

// The full-screen view of an engine's video: a VideoStage as a window of its own, covering the
// screen. Esc closes it (VideoStage); the window's commands keep working over it because their
// shortcuts are application-wide.
class FullScreenView : public FullScreenSurface {
public:
    explicit FullScreenView(MediaEngine& engine) : engine_(engine) {}
    ~FullScreenView() override { close(); }

    bool isShown() const override;
    // Throws EngineError without a widget application.
    void show() override;
    void close() override;

private:
    MediaEngine& engine_;
    QPointer<VideoStage> stage_;
};
