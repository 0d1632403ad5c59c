#pragma once

#include "platform/MessageBoxes.h"

// Message boxes as real modal Qt dialogs with no owner window.
class QtMessageBoxes : public MessageBoxes {
public:
    Answer show(const QString& text, const QString& title, Icon icon,
                Buttons buttons = Buttons::Ok) override;
    void notify(const QString& text, const QString& title, Icon icon) override;
};
