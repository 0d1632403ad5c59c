#pragma once

#include <QString>

// Modal message boxes. The application uses QtMessageBoxes; tests script the answers.
class MessageBoxes {
public:
    enum class Icon { None, Information, Warning, Critical, Question };
    enum class Buttons { Ok, YesNo };
    enum class Answer { Ok, Yes, No };

    virtual ~MessageBoxes() = default;
    virtual Answer show(const QString& text, const QString& title, Icon icon,
                        Buttons buttons = Buttons::Ok) = 0;
};
