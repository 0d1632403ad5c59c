#include "engine/FrameScale.h"

#include "engine/FrameStore.h"

#include <QPainter>

namespace {
// Qt 6 spreads a fill over its thread pool from 96 rows on; bands of 64 rows stay on this
// thread, and the bilinear samples still come from the whole picture, so no seams show.
constexpr int kBandRows = 64;
} // namespace

void FrameScale::scaleInto(const QImage& source, QImage& target) {
    if (source.isNull() || target.isNull())
        return;
    QPainter painter(&target);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRect whole = target.rect();
    for (int top = 0; top < whole.height(); top += kBandRows) {
        painter.setClipRect(QRect(0, top, whole.width(), kBandRows));
        painter.drawImage(whole, source);
    }
}

QImage FrameScale::scaled(const QImage& source, QSize size) {
    if (source.isNull() || size.isEmpty())
        return {};
    if (source.size() == size)
        return source;
    QImage target(size, source.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                 : QImage::Format_RGB32);
    if (target.isNull())
        return {};
    scaleInto(source, target);
    return target;
}

QImage FrameScale::still(const VideoFrame& frame, qint64* scaledElsewhereNs) {
    if (scaledElsewhereNs)
        *scaledElsewhereNs = 0;
    const QImage image = frame.image();
    if (!frame.displaySize.isValid() || frame.displaySize == image.size())
        return image;
    if (frame.shown.size() == frame.displaySize && !image.hasAlphaChannel() &&
        frame.shown.format() == QImage::Format_RGB32) {
        if (scaledElsewhereNs)
            *scaledElsewhereNs = frame.shownCpuNs;
        return frame.shown;
    }
    return scaled(image, frame.displaySize);
}
