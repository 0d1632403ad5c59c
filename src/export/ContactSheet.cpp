#include "export/ContactSheet.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace ContactSheet {

namespace {

constexpr QRgb kBackground = 0xff262626;
constexpr QRgb kBand = 0xff101010;
constexpr QRgb kPlaceholder = 0xff161616;
constexpr QRgb kPlaceholderEdge = 0xff383838;
constexpr QRgb kText = 0xfff2f2f2;
// Disc labels are at most 32 characters (ISO 9660) or 126 (UDF); anything longer is elided
// anyway, and measuring a huge string would take long.
constexpr int kLabelLimit = 256;

// The sheet's parts for thumbnails cellWidth pixels wide.
struct Metrics {
    int cellWidth, pictureHeight, band, timeCodePixels, height;
};

Metrics metricsFor(int cellWidth, double aspect, int rows, int margin, int gap, int headerHeight) {
    Metrics m{};
    m.cellWidth = cellWidth;
    m.pictureHeight = std::max(1, int(std::lround(cellWidth * aspect)));
    // Readable beside the thumbnail, yet "10:00:00" (about 4 em) within its width.
    m.timeCodePixels =
        std::max(1, std::min(std::clamp(cellWidth / 14, 10, 64), (cellWidth - 4) / 4));
    m.band = m.timeCodePixels * 8 / 5;
    m.height =
        2 * margin + headerHeight + gap + rows * (m.pictureHeight + m.band) + (rows - 1) * gap;
    return m;
}

QString cleanLabel(const QString& label) {
    QString clean;
    clean.reserve(std::min<qsizetype>(label.size(), kLabelLimit));
    for (qsizetype i = 0; i < label.size() && clean.size() < kLabelLimit; ++i) {
        const QChar c = label.at(i);
        if (c.isHighSurrogate() && i + 1 < label.size() && label.at(i + 1).isLowSurrogate()) {
            const char32_t ucs = QChar::surrogateToUcs4(c, label.at(i + 1));
            if (QChar::category(ucs) != QChar::Other_Format)
                clean += QStringView(label).mid(i, 2);
            ++i;
            continue;
        }
        switch (c.category()) {
        case QChar::Other_Control:
        case QChar::Separator_Line:
        case QChar::Separator_Paragraph:
            clean += QLatin1Char(' ');
            break;
        case QChar::Other_Format:    // direction overrides, zero-width characters
        case QChar::Other_Surrogate: // half a character
            break;
        default:
            clean += c;
        }
    }
    clean = clean.simplified();
    if (clean.size() >= kLabelLimit - 1 && label.size() > kLabelLimit)
        clean += QChar(0x2026); // cut here, so elided even when the rest would fit
    return clean;
}

// A rectangle of the given aspect, as large as fits within bounds, centred in it.
QRect fitted(QSize size, const QRect& bounds) {
    const QSize scaled = size.scaled(bounds.size(), Qt::KeepAspectRatio).expandedTo({1, 1});
    return QRect(bounds.x() + (bounds.width() - scaled.width()) / 2,
                 bounds.y() + (bounds.height() - scaled.height()) / 2, scaled.width(),
                 scaled.height());
}

} // namespace

SheetLayout clamped(const SheetLayout& layout) {
    return {std::clamp(layout.columns, 1, kMaxColumns), std::clamp(layout.rows, 1, kMaxRows),
            std::clamp(layout.width, kMinWidth, kMaxWidth)};
}

std::vector<qint64> times(int count, qint64 lengthMs) {
    if (count <= 0 || lengthMs <= 0)
        return {};
    count = std::min(count, kMaxColumns * kMaxRows);
    std::vector<qint64> out;
    out.reserve(count);
    // (2i + 1) * length / (2 count), exactly and without overflowing for any length: with
    // length = q * 2 count + r, it is (2i + 1) q + (2i + 1) r / (2 count).
    const qint64 slices = 2 * qint64(count);
    const qint64 q = lengthMs / slices, r = lengthMs % slices;
    for (qint64 odd = 1; odd < slices; odd += 2)
        out.push_back(odd * q + odd * r / slices);
    return out;
}

QString timeCode(qint64 ms) {
    const qint64 seconds = std::max<qint64>(ms, 0) / 1000;
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600)
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

Geometry geometry(const SheetLayout& requested, QSize pictureSize) {
    const SheetLayout layout = clamped(requested);
    if (pictureSize.isEmpty())
        pictureSize = {4, 3};
    const double aspect = std::clamp(double(pictureSize.height()) / pictureSize.width(), 0.25, 4.0);

    const int margin = std::max(6, layout.width / 96);
    const int gap = std::max(3, margin / 2);
    Geometry g;
    g.headerPixels = std::clamp(layout.width / 64, 12, 72);
    const int headerHeight = g.headerPixels * 2;

    const int widest =
        (layout.width - 2 * margin - (layout.columns - 1) * gap) / layout.columns; // at least 12
    auto fits = [&](const Metrics& m) {
        const int width = std::max(kMinWidth, 2 * margin + layout.columns * m.cellWidth +
                                                  (layout.columns - 1) * gap);
        return m.height <= kMaxHeight && qint64(width) * m.height <= kMaxPixels;
    };
    Metrics m = metricsFor(widest, aspect, layout.rows, margin, gap, headerHeight);
    if (!fits(m)) {
        // The widest thumbnails that fit; one pixel wide always does within the bounds.
        int low = 1, high = widest;
        while (low < high) {
            const int mid = (low + high + 1) / 2;
            if (fits(metricsFor(mid, aspect, layout.rows, margin, gap, headerHeight)))
                low = mid;
            else
                high = mid - 1;
        }
        m = metricsFor(low, aspect, layout.rows, margin, gap, headerHeight);
    }
    const int gridWidth = layout.columns * m.cellWidth + (layout.columns - 1) * gap;
    const int width =
        m.cellWidth == widest ? layout.width : std::max(kMinWidth, gridWidth + 2 * margin);

    g.size = QSize(width, m.height);
    g.timeCodePixels = m.timeCodePixels;
    g.header = QRect(margin, margin, width - 2 * margin, headerHeight);
    const int left = (width - gridWidth) / 2;
    const int top = margin + headerHeight + gap;
    g.pictures.reserve(size_t(layout.columns) * layout.rows);
    g.timeCodes.reserve(g.pictures.capacity());
    for (int row = 0; row < layout.rows; ++row)
        for (int column = 0; column < layout.columns; ++column) {
            const int x = left + column * (m.cellWidth + gap);
            const int y = top + row * (m.pictureHeight + m.band + gap);
            g.pictures.emplace_back(x, y, m.cellWidth, m.pictureHeight);
            g.timeCodes.emplace_back(x, y + m.pictureHeight, m.cellWidth, m.band);
        }
    return g;
}

QFont font(int pixels, bool bold) {
    QFont f(QStringLiteral("Liberation Sans"));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(std::max(1, pixels));
    f.setBold(bold);
    return f;
}

QString heading(const QFont& font, int width, const QString& label, int title, qint64 lengthMs,
                const QString& titleName) {
    const QFontMetrics metrics(font);
    const QString dash = QStringLiteral(" \u2014 ");
    const QString name =
        cleanLabel(titleName.isEmpty() ? QStringLiteral("Title %1").arg(title) : titleName);
    const QString rest = name + dash + timeCode(lengthMs);
    const QString clean = cleanLabel(label);
    const int room = width - metrics.horizontalAdvance(dash + rest);
    const QString shown =
        clean.isEmpty() || room <= 0 ? QString() : metrics.elidedText(clean, Qt::ElideRight, room);
    const QString text = shown.isEmpty() ? rest : shown + dash + rest;
    // Too narrow even for the title and length: they are cut too.
    return metrics.elidedText(text, Qt::ElideRight, width);
}

QImage compose(const SheetLayout& layout, QSize pictureSize, const QString& label, int title,
               qint64 lengthMs, const std::vector<QImage>& thumbnails,
               const std::vector<qint64>& timesMs, const QString& titleName) {
    const Geometry g = geometry(layout, pictureSize);
    QImage sheet(g.size, QImage::Format_RGB32);
    if (sheet.isNull())
        return {};
    sheet.fill(kBackground);
    QPainter painter(&sheet);
    painter.setRenderHint(QPainter::TextAntialiasing);

    const QFont codeFont = font(g.timeCodePixels);
    for (size_t i = 0; i < g.pictures.size(); ++i) {
        const QRect& cell = g.pictures[i];
        const QImage* thumbnail =
            i < thumbnails.size() && !thumbnails[i].isNull() ? &thumbnails[i] : nullptr;
        if (thumbnail) {
            painter.fillRect(cell, Qt::black);
            const QRect target = fitted(thumbnail->size(), cell);
            // QImage's smooth scaling averages the pixels it drops; the painter's would sample.
            painter.drawImage(
                target.topLeft(),
                thumbnail->scaled(target.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        } else {
            painter.fillRect(cell, QColor::fromRgb(kPlaceholder));
            painter.setPen(QColor::fromRgb(kPlaceholderEdge));
            painter.drawRect(cell.adjusted(0, 0, -1, -1));
        }
        painter.fillRect(g.timeCodes[i], QColor::fromRgb(kBand));
        if (i < timesMs.size()) {
            painter.setFont(codeFont);
            painter.setPen(QColor::fromRgb(kText));
            painter.drawText(g.timeCodes[i], Qt::AlignCenter, timeCode(timesMs[i]));
        }
    }

    const QFont headFont = font(g.headerPixels, true);
    painter.setFont(headFont);
    painter.setPen(QColor::fromRgb(kText));
    painter.drawText(g.header, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     heading(headFont, g.header.width(), label, title, lengthMs, titleName));
    return sheet;
}

} // namespace ContactSheet
