#include "YuvFill.h"

#include <algorithm>
#include <cmath>

namespace {
uchar clamped(double value) {
    return uchar(std::clamp(std::lround(value), 0L, 255L));
}
} // namespace

void fillI420(const QImage& rgb, void* const planes[3], const unsigned pitches[3]) {
    const QImage source = rgb.convertToFormat(QImage::Format_RGB32);
    auto* luma = static_cast<uchar*>(planes[0]);
    for (int y = 0; y < source.height(); ++y)
        for (int x = 0; x < source.width(); ++x) {
            const QRgb p = source.pixel(x, y);
            luma[y * qsizetype(pitches[0]) + x] =
                clamped(16 + (65.481 * qRed(p) + 128.553 * qGreen(p) + 24.966 * qBlue(p)) / 255);
        }
    for (int y = 0; y < (source.height() + 1) / 2; ++y)
        for (int x = 0; x < (source.width() + 1) / 2; ++x) {
            double r = 0, g = 0, b = 0;
            int n = 0;
            for (int dy = 0; dy < 2; ++dy)
                for (int dx = 0; dx < 2; ++dx)
                    if (2 * x + dx < source.width() && 2 * y + dy < source.height()) {
                        const QRgb p = source.pixel(2 * x + dx, 2 * y + dy);
                        r += qRed(p), g += qGreen(p), b += qBlue(p), ++n;
                    }
            r /= n, g /= n, b /= n;
            static_cast<uchar*>(planes[1])[y * qsizetype(pitches[1]) + x] =
                clamped(128 + (-37.797 * r - 74.203 * g + 112.0 * b) / 255);
            static_cast<uchar*>(planes[2])[y * qsizetype(pitches[2]) + x] =
                clamped(128 + (112.0 * r - 93.786 * g - 18.214 * b) / 255);
        }
}
