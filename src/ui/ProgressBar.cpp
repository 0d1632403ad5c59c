#include "ui/ProgressBar.h"

#include "ui/MouseArgs.h"

#include <cmath>

namespace {
constexpr int kSteps = 10000; // resolution of the drawn bar

int stepsOf(float value) {
    return static_cast<int>(std::lround(std::clamp(value, 0.0f, 100.0f) * (kSteps / 100)));
}
} // namespace

ProgressBar::ProgressBar(QWidget* parent) : QProgressBar(parent) {
    setRange(0, kSteps);
    setTextVisible(false);
    QProgressBar::setValue(0);
}

void ProgressBar::setFloatValue(float value) {
    value_ = value;
    const int steps = stepsOf(value);
    if (steps != 0 && steps != kSteps && pixelOf(steps) == pixelOf(QProgressBar::value()))
        return;
    QProgressBar::setValue(steps);
}

int ProgressBar::pixelOf(int steps) const {
    return static_cast<int>(qint64(steps) * width() / kSteps);
}

void ProgressBar::resizeEvent(QResizeEvent* event) {
    QProgressBar::resizeEvent(event);
    QProgressBar::setValue(stepsOf(value_));
}

void ProgressBar::mousePressEvent(QMouseEvent* event) {
    const QPointF p = event->position();
    emit mouseDown(mouseButtonWord(event->button()), shiftWord(event->modifiers()),
                   static_cast<float>(p.x()), static_cast<float>(p.y()));
    QProgressBar::mousePressEvent(event);
}
