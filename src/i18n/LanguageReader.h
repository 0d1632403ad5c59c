#pragma once

#include "i18n/CaptionTable.h"

#include <QString>

// The text to show for a caption ID: the value of the chosen language pack
// (Lang/<Settings::current().languageFile> beside the program, section "Stillbeck Language Pack"),
// at most 499 characters, or `defaultText` when the pack, the section or the key is missing.
// The pack is read anew on every call outside a CaptionPass. When the pack exists but cannot be
// read (or is no regular file, or too large), the result is `defaultText` as for a missing pack,
// and the failure goes to the error log once until the pack reads again.
QString SetCaptionfromINI(const QString& id, const QString& defaultText);

// SetCaptionfromINI for an entry of the caption table.
QString caption(const CaptionText& text);

// While one is open, the lookups of its thread read the pack once: a window that puts its
// captions in place asks for dozens of them in a row. Other threads read the pack on every call
// as before; passes may nest (the outermost one holds what was read).
class CaptionPass {
public:
    CaptionPass();
    ~CaptionPass();
    CaptionPass(const CaptionPass&) = delete;
    CaptionPass& operator=(const CaptionPass&) = delete;

private:
    bool outermost_ = false;
};
