// The engine's outputs beside the picture: snapshot requests to the sink, the full-screen
// surface and the DVD menu keys.
#include "engine/VlcEngine.h"

#include "engine/FullScreenSurface.h"

#include <vlc/vlc.h>

void VlcEngine::setVariable(const QString& name, qint32 value) {
    if (name == QLatin1String("key-snapshot")) {
        snapshotKey_ = value;
    } else if (name == QLatin1String("key-pressed")) {
        if (snapshotKey_ != 0 && value == snapshotKey_ && snapshots_)
            snapshots_->snapshotRequested(frames_.latest());
    } else {
        throw EngineError(QStringLiteral("unknown variable %1").arg(name).toStdString());
    }
}

void VlcEngine::setSnapshotSink(SnapshotSink* sink) {
    snapshots_ = sink;
    if (snapshots_)
        snapshots_->setOptions(snapshotOptions_);
}

void VlcEngine::setFullScreenSurface(FullScreenSurface* surface) {
    closeFullScreen();
    fullScreen_ = surface;
}

bool VlcEngine::isFullScreen() const {
    return fullScreen_ && fullScreen_->isShown();
}

void VlcEngine::closeFullScreen() {
    if (fullScreen_)
        fullScreen_->close();
}

void VlcEngine::navigate(DvdNavigation direction) {
    if (!media_)
        return;
    unsigned mode = libvlc_navigate_activate;
    switch (direction) {
    case DvdNavigation::Up:
        mode = libvlc_navigate_up;
        break;
    case DvdNavigation::Down:
        mode = libvlc_navigate_down;
        break;
    case DvdNavigation::Left:
        mode = libvlc_navigate_left;
        break;
    case DvdNavigation::Right:
        mode = libvlc_navigate_right;
        break;
    case DvdNavigation::Activate:
        mode = libvlc_navigate_activate;
        break;
    }
    libvlc_media_player_navigate(player_, mode);
}

void VlcEngine::fullscreen() {
    if (!fullScreen_)
        throw EngineError("full screen: no surface to show the video on");
    if (fullScreen_->isShown())
        fullScreen_->close();
    else
        fullScreen_->show();
}
