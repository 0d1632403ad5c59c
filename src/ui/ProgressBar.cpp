#include "ui/ProgressBar.h"

#include "ui/MouseArgs.h"

#include <cmath>

namespace {
constexpr int kSteps = 10000; // resolution of the drawn bar
}

ProgressBar::ProgressBar(QWidget* parent) : QProgressBar(parent) {
    setRange(0, kSteps);
    setTextVisible(false);
    QProgressBar::setValue(0);
}

void ProgressBar::setFloatValue(float value) {
    value_ = value;
    const float clamped = std::clamp(value, 0.0f, 100.0f);
    QProgressBar::setValue(static_cast<int>(std::lround(clamped * (kSteps / 100))));
}

void ProgressBar::mousePressEvent(QMouseEvent* event) {
    const QPointF p = event->position();
    emit mouseDown(mouseButtonWord(event->button()), shiftWord(event->modifiers()),
                   static_cast<float>(p.x()), static_cast<float>(p.y()));
    QProgressBar::mousePressEvent(event);
}
