#include "ui/GlyphButton.h"

#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>

GlyphButton::GlyphButton(QWidget* parent) : QPushButton(parent) {}

void GlyphButton::setGlyph(const QString& glyph) {
    glyph_ = glyph;
    update();
}

void GlyphButton::setGlyphFont(const QString& family) {
    glyphFont_ = family;
    update();
}

void GlyphButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);
    painter.drawText(rect(), Qt::AlignCenter, glyph_);
}
