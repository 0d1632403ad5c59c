#pragma once

#include <QString>

// Message boxes, modal unless said otherwise. The application uses QtMessageBoxes; tests script the
// answers.
class MessageBoxes {
public:
    enum class Icon { None, Information, Warning, Critical, Question };
    enum class Buttons { Ok, YesNo };
    enum class Answer { Ok, Yes, No };

    virtual ~MessageBoxes() = default;
    virtual Answer show(const QString& text, const QString& title, Icon icon,
                        Buttons buttons = Buttons::Ok) = 0;
    // A message with an OK button that returns at once: the caller, the window's timers and any
    // running capture go on while it is open.
    virtual void notify(const QString& text, const QString& title, Icon icon) = 0;
};
