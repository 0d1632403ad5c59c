#include "ui/VolumeSlider.h"

#include "ui/MouseArgs.h"

#include <QWheelEvent>

VolumeSlider::VolumeSlider(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
    setRange(0, 100);
    setMouseTracking(true); // moves without a button show the hint
}

void VolumeSlider::setSelLength(int length) {
    selLength_ = length;
    setProperty("selLength", length);
}

void VolumeSlider::mouseMoveEvent(QMouseEvent* event) {
    QSlider::mouseMoveEvent(event);
    const QPointF p = event->position();
    emit mouseMoved(mouseButtonWord(event->buttons()), shiftWord(event->modifiers()),
                    static_cast<float>(p.x()), static_cast<float>(p.y()));
}

void VolumeSlider::wheelEvent(QWheelEvent* event) {
    emit wheelTurned(event->angleDelta().y());
    event->accept();
}
