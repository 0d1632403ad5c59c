#pragma once

#include <QString>

// Qt's own texts (the buttons of message boxes, file dialogs, text fields' context menus) in the
// language of the chosen pack. A pack names its locale under the key "Locale" of its section
// ("de", "pt_BR"); Qt's translations for it are loaded from Qt's translations folder, in place of
// those of the pack before. A pack without the key, or a locale Qt has no translation for, keeps
// Qt's English, without a message.

// The locale the chosen pack names; empty for none.
QString packLocale();

// Puts Qt's translations for the chosen pack in place; true when a translation is loaded now.
bool applyQtTranslations();
