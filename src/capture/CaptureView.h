#pragma once

// What the capture controller tells the window: while a capture mode runs, the single snapshot
// and the other mode's button are off.
class CaptureView {
public:
    virtual ~CaptureView() = default;

    virtual void continuousCaptureChanged(bool running) = 0;
    virtual void timedCaptureChanged(bool running) = 0;
};
