#pragma once

#include <QString>

// Gives the application its look from a skin file, which is a Qt style sheet. The engine is told
// what to skin and whether skinning is on, is given the skin file, and then applies it.
class SkinEngine {
public:
    // What is skinned.
    enum Target : int {
        NoWindows = 0,
        // Every top-level window of the application, present and future.
        AllTopLevelWindows = 2,
    };

    // Selects what is skinned (a Target value; 2 = all top-level windows).
    void setTarget(int target);
    // Switches skinning on (non-zero) or off (0).
    void setEnabled(int enabled);

    // Reads a skin file. A missing, unreadable or malformed file, or one Qt's style sheet parser
    // rejects, is refused: the result is false and no skin is held, so applySkin leaves the
    // application unskinned.
    bool loadSkin(const QString& path);
    // Makes the application's look match the configuration: the held skin when skinning is on for
    // all top-level windows, otherwise no skin of ours.
    void applySkin();

    bool hasSkin() const { return !styleSheet_.isEmpty(); }
    QString styleSheet() const { return styleSheet_; }

    // Cheap plausibility check of style sheet text: something besides comments, at least one
    // rule, balanced braces outside comments and strings, no NUL character anywhere.
    static bool looksLikeStyleSheet(const QString& text);

private:
    int target_ = NoWindows;
    bool enabled_ = false;
    QString styleSheet_;
    bool applied_ = false;
};
