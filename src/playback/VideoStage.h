#pragma once

#include <QWidget>

class MediaEngine;

// The video area: paints the engine's newest frame at its display aspect ratio, black around it,
// and turns the arrow keys and Enter into DVD menu navigation. Shown as a window of its own it is
// the full-screen view, which Esc closes.
class VideoStage : public QWidget {
    Q_OBJECT
public:
    explicit VideoStage(QWidget* parent = nullptr);

    // The engine whose frames this stage shows; null shows black.
    void setEngine(MediaEngine* engine);
    MediaEngine* engine() const { return engine_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    MediaEngine* engine_ = nullptr;
    QMetaObject::Connection frameConnection_;
};
