#include "ui/GlyphButton.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QStyleOptionButton>
#include <QStylePainter>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

enum class Icon {
    None,
    Rewind,
    Play,
    Pause,
    Stop,
    FastForward,
    FullScreen,
    SoundOn,
    Muted,
    Snapshot,
    ContinuousSnapshots,
    TimedSnapshots,
};

Icon iconFor(const QString& family, const QString& glyph) {
    if (glyph.size() != 1)
        return Icon::None;
    char16_t code = glyph[0].unicode();
    // Symbol fonts are also addressed through the private-use block U+F000..U+F0FF.
    if (code >= 0xF000 && code <= 0xF0FF)
        code -= 0xF000;

    if (family.compare(QLatin1String("Webdings"), Qt::CaseInsensitive) == 0) {
        switch (code) {
        case u'7':
            return Icon::Rewind;
        case u'4':
            return Icon::Play;
        case u';':
            return Icon::Pause;
        case u'<':
            return Icon::Stop;
        case u'8':
            return Icon::FastForward;
        case u'1':
            return Icon::FullScreen;
        case u'U':
            return Icon::SoundOn;
        case u'V':
            return Icon::Muted;
        case 0xB5:
            return Icon::Snapshot;
        case 0xB9:
            return Icon::ContinuousSnapshots;
        default:
            return Icon::None;
        }
    }
    if (family.compare(QLatin1String("Wingdings"), Qt::CaseInsensitive) == 0 && code == 0xC0)
        return Icon::TimedSnapshots;
    return Icon::None;
}

// Icons are drawn as filled paths on a 100 × 100 design square; lines become filled outlines so
// that every icon is one path of one colour, holes included.
QPainterPath stroked(const QPainterPath& path, qreal width, Qt::PenCapStyle cap = Qt::RoundCap) {
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setCapStyle(cap);
    stroker.setJoinStyle(Qt::RoundJoin);
    return stroker.createStroke(path);
}

QPainterPath polygon(std::initializer_list<QPointF> points) {
    QPainterPath path;
    path.addPolygon(QPolygonF(QList<QPointF>(points)));
    path.closeSubpath();
    // A thin round outline softens the corners of the triangles.
    return path.united(stroked(path, 4));
}

QPainterPath line(QPointF from, QPointF to) {
    QPainterPath path(from);
    path.lineTo(to);
    return path;
}

QPainterPath roundedRect(const QRectF& r, qreal radius) {
    QPainterPath path;
    path.addRoundedRect(r, radius, radius);
    return path;
}

QPainterPath ellipse(QPointF centre, qreal radius) {
    QPainterPath path;
    path.addEllipse(centre, radius, radius);
    return path;
}

QPainterPath camera(const QRectF& box) {
    // Designed on a 100 × 100 square, then fitted into box.
    QPainterPath body = roundedRect(QRectF(6, 30, 88, 56), 10);
    body = body.united(roundedRect(QRectF(30, 18, 32, 18), 5));
    QPainterPath shape = body.subtracted(ellipse(QPointF(50, 58), 20));
    shape = shape.united(ellipse(QPointF(50, 58), 12));
    shape = shape.subtracted(ellipse(QPointF(80, 42), 4));
    QTransform fit;
    fit.translate(box.left(), box.top());
    fit.scale(box.width() / 100.0, box.height() / 100.0);
    return fit.map(shape);
}

QPainterPath speaker() {
    return polygon({{8, 36}, {26, 36}, {48, 16}, {48, 84}, {26, 64}, {8, 64}});
}

QPainterPath iconPath(Icon icon) {
    switch (icon) {
    case Icon::Rewind:
        return polygon({{50, 20}, {50, 80}, {8, 50}})
            .united(polygon({{92, 20}, {92, 80}, {50, 50}}));
    case Icon::FastForward:
        return polygon({{8, 20}, {8, 80}, {50, 50}})
            .united(polygon({{50, 20}, {50, 80}, {92, 50}}));
    case Icon::Play:
        return polygon({{24, 12}, {24, 88}, {86, 50}});
    case Icon::Pause:
        return roundedRect(QRectF(20, 14, 22, 72), 4)
            .united(roundedRect(QRectF(58, 14, 22, 72), 4));
    case Icon::Stop:
        return roundedRect(QRectF(16, 16, 68, 68), 6);
    case Icon::FullScreen: {
        // A maximised window: frame, title bar and a small restore corner.
        QPainterPath frame = stroked(roundedRect(QRectF(10, 16, 80, 68), 6), 8);
        frame = frame.united(roundedRect(QRectF(10, 16, 80, 18), 6));
        QPainterPath arrow = line({34, 70}, {62, 44});
        arrow.moveTo(48, 44);
        arrow.lineTo(62, 44);
        arrow.lineTo(62, 58);
        return frame.united(stroked(arrow, 7));
    }
    case Icon::SoundOn: {
        QPainterPath waves;
        for (const qreal radius : {16.0, 32.0}) {
            const QRectF arc(48 - radius, 50 - radius, 2 * radius, 2 * radius);
            waves.arcMoveTo(arc, -45);
            waves.arcTo(arc, -45, 90);
        }
        return speaker().united(stroked(waves, 7));
    }
    case Icon::Muted: {
        QPainterPath cross = line({62, 36}, {90, 64});
        cross.addPath(line({62, 64}, {90, 36}));
        return speaker().united(stroked(cross, 8));
    }
    case Icon::Snapshot:
        return camera(QRectF(0, 0, 100, 100));
    case Icon::ContinuousSnapshots: {
        // A camera before a stack of frames: the frames are cut back around the camera so that
        // they never show through its lens.
        const QRectF front(0, 22, 78, 78);
        QPainterPath frames = stroked(roundedRect(QRectF(28, 8, 68, 48), 6), 6);
        frames = frames.united(stroked(roundedRect(QRectF(16, 18, 68, 48), 6), 6));
        const QPainterPath cam = camera(front);
        const QPainterPath clearance =
            stroked(roundedRect(QRectF(2, 43, 74, 47), 8), 10)
                .united(roundedRect(QRectF(2, 43, 74, 47), 8))
                .united(stroked(roundedRect(QRectF(23, 35, 26, 16), 4), 10));
        return frames.subtracted(clearance).united(cam);
    }
    case Icon::TimedSnapshots: {
        QPainterPath face = stroked(ellipse(QPointF(50, 50), 40), 8);
        for (int hour = 0; hour < 12; hour += 3) {
            const qreal a = hour * std::numbers::pi / 6;
            face = face.united(stroked(line({50 + 30 * std::sin(a), 50 - 30 * std::cos(a)},
                                            {50 + 24 * std::sin(a), 50 - 24 * std::cos(a)}),
                                       5));
        }
        // Hands at ten o'clock.
        const qreal hour = 10 * std::numbers::pi / 6;
        QPainterPath hands = line({50, 50}, {50 + 20 * std::sin(hour), 50 - 20 * std::cos(hour)});
        hands.addPath(line({50, 50}, {50, 22}));
        return face.united(stroked(hands, 7)).united(ellipse(QPointF(50, 50), 6));
    }
    case Icon::None:
        break;
    }
    return {};
}

// Paths are built once per icon: painting happens on every hover and state change.
const QPainterPath& cachedIconPath(Icon icon) {
    static QHash<Icon, QPainterPath> cache;
    auto it = cache.find(icon);
    if (it == cache.end())
        it = cache.insert(icon, iconPath(icon));
    return *it;
}

} // namespace

GlyphButton::GlyphButton(QWidget* parent) : QPushButton(parent) {}

void GlyphButton::setGlyph(const QString& glyph) {
    if (glyph_ == glyph)
        return;
    glyph_ = glyph;
    update();
    emit glyphChanged();
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
    option.icon = QIcon();
    painter.drawControl(QStyle::CE_PushButton, option);

    QColor color = palette().color(QPalette::Active, QPalette::ButtonText);
    if (!isEnabled()) {
        const QColor disabled = palette().color(QPalette::Disabled, QPalette::ButtonText);
        if (disabled != color) {
            color = disabled;
        } else {
            color.setAlphaF(color.alphaF() * 0.4f);
        }
    }

    // The whole button, not the style's content rectangle: text padding from a skin would
    // otherwise shrink the icon to nothing on these small square buttons.
    QRectF area = rect();
    if (isDown() || isChecked()) {
        area.translate(style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &option, this),
                       style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &option, this));
    }

    const QPainterPath& path = cachedIconPath(iconFor(glyphFont_, glyph_));
    if (path.isEmpty()) {
        painter.setPen(color);
        painter.drawText(area, Qt::AlignCenter, glyph_);
        return;
    }

    // The icon fills most of the button's shorter side, so it scales with the button.
    const qreal side = std::min(area.width(), area.height()) * 0.6;
    const QPointF centre = area.center();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(centre.x() - side / 2, centre.y() - side / 2);
    painter.scale(side / 100.0, side / 100.0);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawPath(path);
}
