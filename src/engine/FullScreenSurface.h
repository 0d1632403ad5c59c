#pragma once

// Where the engine shows its video full screen: a window covering the screen, provided by the
// video widgets above the engine. Closing it (the command again, Esc) returns to the window.
class FullScreenSurface {
public:
    virtual ~FullScreenSurface() = default;

    virtual bool isShown() const = 0;
    // Throws EngineError when it cannot be shown (no widget application).
    virtual void show() = 0;
    virtual void close() = 0;
};
