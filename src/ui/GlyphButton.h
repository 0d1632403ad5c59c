#pragma once

#include <QPushButton>

// A push button whose logical caption is a single glyph of a symbol font (Webdings, Wingdings).
// Those fonts are absent on Linux, so the button keeps the glyph as its identity (code compares
// it, e.g. "U"/"V" for the sound state) and paints a matching icon instead of the character.
class GlyphButton : public QPushButton {
    Q_OBJECT
    Q_PROPERTY(QString glyph READ glyph WRITE setGlyph)
    Q_PROPERTY(QString glyphFont READ glyphFont WRITE setGlyphFont)
public:
    explicit GlyphButton(QWidget* parent = nullptr);

    QString glyph() const { return glyph_; }
    void setGlyph(const QString& glyph);
    QString glyphFont() const { return glyphFont_; }
    void setGlyphFont(const QString& family);

signals:
    void glyphChanged();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString glyph_;
    QString glyphFont_ = QStringLiteral("Webdings");
};
